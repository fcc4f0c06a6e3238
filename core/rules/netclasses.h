// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

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
    template<typename Attributes>
    void startElement(const QStringRef &tag, const Attributes &attributes, int level);
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

template<typename Attributes>
void NetClassReader::startElement(const QStringRef &tag, const Attributes &attributes, int level)
{
    if (level == 1 && tag == QLatin1String("class")) {
        NetClass added;
        added.number = attributes.value(QLatin1String("number")).toString();
        added.name = attributes.value(QLatin1String("name")).toString();
        added.width = attributes.value(QLatin1String("width")).toString();
        added.drill = attributes.value(QLatin1String("drill")).toString();
        added.clearance = attributes.value(QLatin1String("clearance")).toString();
        if (!added.number.isNull())
            classes.append(added);
        else
            classes.append(NetClass {});
    } else if (level == 2 && tag == QLatin1String("clearance") && !classes.isEmpty()) {
        classes.last().clearances.insert(attributes.value(QLatin1String("class")).toString(),
                                         attributes.value(QLatin1String("value")).toString());
    }
}
