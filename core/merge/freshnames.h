// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "namebook.h"

#include <QHash>
#include <QString>

#include <set>
#include <vector>

// Gives the used names of each later board of a panel fresh names
// "NewName<n>", one number per entry of the duplicate list, counting on from
// board to board.
//
// Every entry of the list, also those recorded for earlier boards, uses up one
// number in each later board, in list order; of several entries with the same
// value the first one gives its name to the board. A number whose name is
// already known (read alike, see NameBook::key) is passed over, and a fresh
// name that was put into the board becomes known, so no fresh name ever reads
// as a name present in the panel.
//
// That last rule is what lets one walk with a value -> fresh name map do the
// work of one walk per entry: a walk per entry could only differ if a later
// entry's value equalled an earlier entry's fresh name (the renamed attributes
// would be renamed again). But every entry is a known name and no fresh name is
// known when it is given, so that never happens, and each attribute ends up
// with the fresh name of the first entry equal to its original value.
class FreshNames
{
public:
    explicit FreshNames(NameBook &names)
        : names(names)
    { }

    // Starts the renaming of a board whose names were collected just before.
    void beginBoard();
    // The fresh name that replaces an attribute `value` of that board: that of
    // the first entry of the duplicate list equal to it; a null string when
    // no entry is.
    QString renamed(const QString &value);
    // Whether renamed() gives `value` a fresh name, without giving it one.
    bool renames(const QString &value) const
    {
        return !value.isEmpty() && firstEntry.contains(value);
    }
    // Ends the board: its entries have used up their numbers.
    void endBoard();

private:
    void indexNewNames();
    std::vector<qint64> takenNumbers() const;
    qint64 number(int entry, const std::vector<qint64> &taken) const;

    NameBook &names;
    qint64 counter = 0;
    // Value of a duplicate entry -> index of the first entry with that value.
    QHash<QString, int> firstEntry;
    int indexedDuplicates = 0;
    // n of every known name of the form "NewName<n>".
    std::set<qint64> knownNumbers;
    int indexedKnown = 0;
    // Of the board being renamed: the numbers taken from the counter on, and
    // the fresh names given so far, by entry.
    std::vector<qint64> taken;
    QHash<int, QString> given;
};
