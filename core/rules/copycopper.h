// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/board/outlineshape.h"
#include "core/xml/documenttokens.h"
#include "designrules.h"

#include <QVector>

// A piece of a copy's copper as a mouse bite must keep off it: a stroke
// (a track, a via, a round pad: the points within `radius` of the line from
// `from` to `to`) or a turned rectangle (an SMD, a square pad).
struct CopperShape
{
    enum Kind { Stroke, Rectangle };
    Kind kind = Stroke;
    OutlinePoint from; // a rectangle's centre
    OutlinePoint to;
    double radius = 0.0;
    double halfX = 0.0; // a rectangle's half sides before it is turned
    double halfY = 0.0;
    double angle = 0.0; // degrees counterclockwise

    double distanceTo(OutlinePoint point) const; // 0 inside
    OutlineBox bounds() const;
};

// The tracks, vias, pads and SMDs of a copy, where its moved tokens put
// them, sized as its own design rules make them. Polygons are left out:
// EAGLE pours them around whatever the panel drills.
QVector<CopperShape> copperOf(const DocumentTokens &copy, const DesignRules &rules);

// How close a mouse bite may come to the copy's copper: its board's
// copper-to-outline distance, and never less than 0.2 mm.
double copperClearance(const DesignRules &rules);
