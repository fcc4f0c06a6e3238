// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/xml/documenttokens.h"
#include "outlineshape.h"

#include <QString>
#include <QVector>

// A layer-20 wire of a shifted copy's drawing ("plain"), as the copy writes
// it: the texts of its ends are kept so that an outline drawn to meet them
// meets them exactly.
struct OutlineWire
{
    OutlinePoint from;
    OutlinePoint to;
    QString fromX, fromY, toX, toY;
    QString width;
    double curve = 0.0;
    bool straight = true;
    int tag = -1; // the copy's start tag of the wire (DocumentTokens::Reader::index())
    // Drawn by a part's package, placed where the part puts it: the frame
    // writes it into the panel's drawing whether a tab cuts it or not.
    bool drawnByPart = false;
};

// How far a point lies from the straight piece from `a` to `b`.
double distanceToSegment(OutlinePoint point, OutlinePoint a, OutlinePoint b);

// A point as the panel writes it, the same wherever two wires meet at it.
struct PointText
{
    QString x;
    QString y;

    bool operator==(const PointText &other) const { return x == other.x && y == other.y; }
    bool operator!=(const PointText &other) const { return !(*this == other); }
};
PointText pointText(OutlinePoint point);

// The point `share` of the way along a wire from its start (an arc by its
// sweep).
OutlinePoint wirePoint(const OutlineWire &wire, double share);
// The shares of the way along a wire where it meets the line of the points p
// with p.x * normal.x + p.y * normal.y == offset; `normal` is a unit vector.
QVector<double> wireCrossings(const OutlineWire &wire, OutlinePoint normal, double offset);
// The piece of a wire between two shares of the way along it, written from
// `fromText` to `toText`: a straight piece, or an arc of the same circle.
OutlineWire wirePiece(const OutlineWire &wire, double from, double to, const PointText &fromText,
                      const PointText &toText);

// The points of a wire from its start to its end, an arc followed by
// `chords` chords whose ends lie on it.
QVector<OutlinePoint> wirePath(const OutlineWire &wire, int chords = 32);

// The outline wires of a copy's drawing (its first "plain"), in document
// order. Outlines drawn by packages or circles are not among them: they stay
// as they are.
QVector<OutlineWire> drawingOutlineWires(const DocumentTokens &copy);

// The outline a copy's parts draw: the layer-20 wires and circles of the
// packages its elements place, where each element puts them, and the start
// tags of those package primitives (only of packages some element places),
// sorted. A circle comes as two half-turn arcs through its leftmost and
// rightmost points, so that a tab can cut it like any wire.
struct PartOutline
{
    QVector<OutlineWire> wires;
    QVector<int> packageTags;
};
PartOutline partOutlineWires(const DocumentTokens &copy);

// Whether a part of the copy sits on the bottom side (a mirrored part).
bool hasBottomParts(const DocumentTokens &copy);
