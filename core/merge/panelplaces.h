// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/rules/netclasses.h"

#include <QLatin1String>
#include <QSet>
#include <QString>
#include <QStringRef>

#include <array>

// The elements of a panel that take in the content of later boards: the four
// sections that travel with a board and the two tables whose entries its
// content refers to by number. In the first board and in each later one, the
// place of a name is the first element of that name below the document's
// root, in document order.
enum class Place { Plain, Libraries, Elements, Signals, Classes, Layers };
constexpr int placeCount = 6;
constexpr int sectionCount = 4; // Plain to Signals

QLatin1String placeTag(int place);
// The entry elements of the Classes and Layers tables ("class", "layer").
QLatin1String tableEntryTag(int place);
// Whether `tag` names `place`; asked of nearly every start tag of a board,
// so the lengths are compared first.
inline bool namesPlace(const QStringRef &tag, int place)
{
    const QLatin1String name = placeTag(place);
    return tag.size() == name.size() && tag == name;
}
// The place `tag` names, or -1.
int placeOf(const QStringRef &tag);

// What the first board of a panel offers the later ones.
struct PanelPlaces
{
    // Depth of each place (the root has depth 1); 0 where the board has none.
    std::array<int, placeCount> depth {};
    // The numbers the panel's class and layer tables define; grows as later
    // boards add the definitions it lacks.
    QSet<QString> classNumbers;
    QSet<QString> layerNumbers;
    // The definitions of the panel's classes, which decide the numbers the
    // classes of later boards take.
    NetClassTable classTable;

    QSet<QString> &numbers(int place)
    {
        return place == int(Place::Classes) ? classNumbers : layerNumbers;
    }
};
