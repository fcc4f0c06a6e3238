// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDomDocument>
#include <QList>
#include <QString>

// A board of a panel: the text of its file, and where the panel put it.
struct PlacedBoard
{
    QString text;
    double dx = 0.0;
    double dy = 0.0;
};

// Compares every copy on a panel with its board moved, element by element,
// and returns the first difference, or an empty string when each copy is its
// board moved and nothing else. The panel's drawing, libraries, parts and
// signals must hold the copies' entries one after the other, in board order.
//
// A copy may differ from its board only in these ways:
// - coordinates (x, y, x1 ... y3) of its drawing, parts and signals are moved
//   by its shift, as the shift writes them (six significant digits);
// - names and references to them (name, element, library, package, pad,
//   outside attribute keys and settings) are replaced through one one-to-one
//   map per copy, by fresh names "NewName<n>"; the first copy keeps them all,
//   and an empty name stays empty;
// - a part whose name is replaced prints its original name instead of the
//   fresh one: a smashed part's visible "NAME" attribute is hidden, and a
//   part that is not smashed but whose package prints ">NAME" is smashed
//   with one attribute per label text of its package ("NAME" hidden) in place
//   of its attribute children of those names; for each name label hidden, a
//   text printing the original name follows the copy's own drawing, at the
//   place, size, layer and angle of the hidden attribute;
// - a via, pad or SMD may carry its own diameter, shape, alwaysstop or
//   roundness where its board's design rules differ from the panel's, and a
//   signal another net class number where the panel renumbers its class.
QString copiesDifference(const QDomDocument &panel, const QList<PlacedBoard> &boards);
