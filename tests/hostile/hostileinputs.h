// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>

// Board files as they arrive from anywhere: whole, cut off, crafted.

// A small complete EAGLE board: its outline is a 50 by 30 mm rectangle on
// layer 20 at the origin, its drawing holds the text `label`, and it has one
// library, two parts and two signals. Encoded as `encoding` says (UTF-8,
// UTF-16 or ISO-8859-1), which its XML declaration names; its lines end with
// `lineEnd`.
QByteArray handMadeBoard(const QString &label = QStringLiteral("LABEL"),
                         const QByteArray &encoding = QByteArrayLiteral("UTF-8"),
                         const QString &lineEnd = QStringLiteral("\n"));

// handMadeBoard() cut off a little way into the start tag named `tag`.
QByteArray cutInside(const QByteArray &tag);

// `levels` elements, each inside the one before.
QByteArray nestedElements(int levels);

// Ten levels of entities, each made of ten of the one below: a billion
// "lol" once expanded.
QByteArray billionLaughs();

// A board whose label refers to an external entity, the file at `path`.
QByteArray externalEntityBoard(const QString &path);

// A board with a 40 by 20 mm outline and one more outline wire whose
// attributes are `wireAttributes` (written inside its start tag as given).
QByteArray outlineWithWire(const QByteArray &wireAttributes);

// The files of a directory, by name, with their contents.
QMap<QString, QByteArray> filesIn(const QString &dir);
