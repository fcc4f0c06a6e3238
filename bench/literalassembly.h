// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QIODevice>
#include <QStringList>

// The panel assembly as the program was first described, kept only as the
// benchmark's baseline: DOM trees, a scan of the whole known-name list for
// every name met, and one walk of a later board's whole tree for every entry
// of the duplicate list. None of the program's later mends is in it (fresh
// names may clash, part attribute keys are renamed, net classes and layers
// of later boards are dropped), and its attribute order follows Qt's seeded
// hash, so its output differs from Tavolin's; only its time is of interest.
class LiteralAssembly
{
public:
    // Builds the panel from the shifted board texts and saves it to `file`,
    // which must be open for writing.
    void writePanel(const QStringList &shiftedBoards, QIODevice &file);

    // The three merge operations, public for their tests.
    void collectNames(const QDomElement &element);
    static void replaceAttributeValue(const QDomElement &element, const QString &oldValue,
                                      const QString &newValue);
    static void mergeSection(const QString &tagName, QDomDocument &panel,
                             const QDomElement &source);

    QStringList knownNames;
    QStringList duplicateNames;
};
