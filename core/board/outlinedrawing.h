// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "outlineshape.h"

#include <QVector>

struct OutlineLine
{
    OutlinePoint from;
    OutlinePoint to;
};

// A board's outline as it is drawn, for a picture of the board: its layer-20
// wires and circles in board coordinates, those of a package where each part
// that places the package puts them. A circle is an arc of 360 degrees.
struct OutlineDrawing
{
    QVector<OutlineLine> lines;
    QVector<OutlineArc> arcs;
    // A crafted board may draw more than any picture needs: past a budget
    // the rest is left out of the drawing (never out of the measured box).
    bool cut = false;

    bool isEmpty() const { return lines.isEmpty() && arcs.isEmpty(); }
    int size() const { return lines.size() + arcs.size(); }
    // Adds what `package` draws where `part` puts it, as far as `budget`
    // primitives go; false when some were left out.
    bool addPlaced(const OutlineDrawing &package, const PartPlacement &part, int budget);
};
