// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/xml/documenttokens.h"

#include <QHash>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// A net class as a board defines it. Its name aside, the definition is what
// EAGLE routes and checks the class's signals by: the least width, the least
// via drill, the clearance, and its clearances to other classes (by their
// numbers; a class's clearance to itself stands under its own number).
struct NetClass
{
    QString number;
    QString name;
    QString width;
    QString drill;
    QString clearance;
    QMap<QString, QString> clearances; // class number -> value

    // Whether the two route alike, `numbers` taking this class's references to
    // other classes to the other's numbers.
    bool routesAs(const NetClass &other, const QHash<QString, QString> &numbers) const;
};

// Gathers the classes of a board as its "classes" table streams past; the
// reader is shown each start tag inside the table, `level` 1 for a class and
// 2 for its clearances.
class NetClassReader
{
public:
    void startElement(const QStringRef &tag, const DocumentTokens::Attributes &attributes,
                      int level);
    QVector<NetClass> classes;
};

// The classes of a panel, as boards join it: each later board's class keeps
// its number where the panel's class of that number routes alike or the panel
// has none; otherwise it takes the number of a class of the panel that routes
// alike, or else the least number the panel does not use.
class NetClassTable
{
public:
    // EAGLE numbers classes 0 to 15.
    static constexpr int limit = 16;

    // The classes of the first board.
    void setPanelClasses(const QVector<NetClass> &classes);

    struct Admission
    {
        // Each class number of the board, as the panel numbers that class.
        QHash<QString, QString> numbers;
        // The board's numbers of the classes that join the panel's table.
        QStringList joining;
        // The board's classes that found no number below the limit: they
        // share the panel's class of their number.
        QStringList overflow;
    };
    Admission admit(const QVector<NetClass> &classes);

private:
    QVector<NetClass> panel;
};
