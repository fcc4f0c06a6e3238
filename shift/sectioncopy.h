// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

// Section copies of a board document, streamed token by token from a reader to
// a writer. On entry the reader stands on the section's start tag and the
// caller has written that tag. The copy writes everything up to and including
// the first end tag named `sectionTag` and leaves the reader on it, or returns
// early when the reader fails or runs out of input; the caller then finds the
// reader in error.
//
// Texts that are not whitespace only are copied unchanged (they hold the
// silkscreen labels and the >NAME placeholders of the packages); whitespace,
// comments and processing instructions are dropped and left to the writer's
// own formatting.

// Copies the section with every "x", "x1", "x2" moved by dx and every "y",
// "y1", "y2" moved by dy millimetres.
void copyShifted(QXmlStreamReader &reader, QXmlStreamWriter &writer, const QString &sectionTag,
                 int dx, int dy);
// Copies the section unchanged.
void copyElement(QXmlStreamReader &reader, QXmlStreamWriter &writer, const QString &sectionTag);

// The same copies as part of a whole-document copy: `depth` is the number of
// elements open at the section's start tag, itself included, and is kept up
// to date so that the nesting limit applies to the whole document.
void copyShifted(QXmlStreamReader &reader, QXmlStreamWriter &writer, const QString &sectionTag,
                 int dx, int dy, int &depth);
void copyElement(QXmlStreamReader &reader, QXmlStreamWriter &writer, const QString &sectionTag,
                 int &depth);

// Writes the reader's current Characters token unless it is whitespace only.
void copyText(const QXmlStreamReader &reader, QXmlStreamWriter &writer);
// Writes `attributes` on the element just started, each in its namespace.
void copyAttributes(const QXmlStreamAttributes &attributes, QXmlStreamWriter &writer);
