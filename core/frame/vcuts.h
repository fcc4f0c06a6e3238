// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tabplan.h"

#include <QVector>

// A straight V-cut from one outer edge of the panel to the other: the line
// x = at (vertical) or y = at.
struct VCut
{
    bool vertical = false;
    double at = 0.0;
};

// Whether a copy's outline is its box: straight wires along the box's
// sides that cover them, nothing else, no arcs and no cut-outs.
bool isRectangle(const TabbedBoard &board);

// The V-cuts along every edge of the boards' boxes, those shared by two
// boards once, those on the panel's outer edge left out; in order, the
// vertical first.
QVector<VCut> vcutLines(const QVector<TabbedBoard> &boards, const TabArea &area);

// How near the copy's copper comes to the V-cuts along its edges; a large
// number without copper or cuts.
double copperToVCuts(const TabbedBoard &board, const QVector<VCut> &cuts);

// Whether the board's layer table has the layer.
bool definesLayer(const DocumentTokens &board, int layer);
