#pragma once

#include "catalogue/outlineshape.h"

#include <QString>
#include <QStringList>
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
    int line = -1; // the copy's line that holds the wire
};

// The points of a wire from its start to its end, an arc followed by
// `chords` chords whose ends lie on it.
QVector<OutlinePoint> wirePath(const OutlineWire &wire, int chords = 32);

// The outline wires of a copy's drawing, in document order. Outlines drawn
// by packages or circles are not among them: they stay as they are.
QVector<OutlineWire> drawingOutlineWires(const QString &copy);

// Whether a part of the copy sits on the bottom side (a mirrored part).
bool hasBottomParts(const QString &copy);

// The copy without the given lines (indexes from drawingOutlineWires) and
// with `extra` written at the end of its drawing, indented as the copy's own
// elements are there.
QString editedCopy(const QString &copy, const QVector<int> &droppedLines, const QStringList &extra);
