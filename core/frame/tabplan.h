// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/board/copyoutline.h"
#include "core/rules/copycopper.h"
#include "framesettings.h"

#include <QVector>

// A board as the tabs see it: its outline box on the panel, the wires of its
// outline there (those its parts draw among them), and the copper its mouse
// bites keep `clearance` off.
struct TabbedBoard
{
    OutlineBox box;
    QVector<OutlineWire> wires;
    QVector<CopperShape> copper;
    double clearance = 0.0;
    // The package primitives that draw the wires `drawnByPart`: the copy
    // leaves them out, and the panel's drawing takes the wires instead.
    QVector<int> partOutlineTags;
};

// Where the rails' inner edges are: the rectangle the boards and channels
// take, `frame` mm inside the panel's outer edge. Without rails (frame 0)
// tabs join boards only to each other. `channel` is the width the router
// clears around each board.
struct TabArea
{
    double width = 0.0;
    double height = 0.0;
    int frame = 0;
    double channel = 0.0;
};

// A closed polygon, its last point joined to its first.
using ChannelEdge = QVector<OutlinePoint>;

// The stretch of one of a board's outline wires that a tab's end takes out:
// from one share of the way along the wire to another, with the points and
// texts the cut ends are written with.
struct WireCut
{
    int wire = -1;
    double from = 0.0;
    double to = 1.0;
    PointText fromText;
    PointText toText;
};

// One end of a tab: on a board's edge, or on a channel's outer edge (board
// -1). `first` and `second` are where the tab's two sides meet it.
struct TabEnd
{
    int board = -1;
    QVector<WireCut> cuts; // what the tab takes out of the board's outline
    QVector<OutlinePoint> bites; // the mouse-bite holes along the board's edge
    int channel = -1; // the channel's edge, an index into the channels
    // Where `first` and `second` lie on the channel's edge: the index of a
    // point plus the share of the way to the next.
    double firstAt = 0.0;
    double secondAt = 0.0;
    OutlinePoint first;
    OutlinePoint second;
    PointText firstText;
    PointText secondText;
};

// A tab leaves `near`'s board in the direction `outward` (a unit vector,
// square to the board's edge) and crosses the channel to `far`.
struct Tab
{
    OutlinePoint outward;
    TabEnd near;
    TabEnd far;
};

// Places tabs `settings.tabWidth` wide where a board's edge, straight,
// slanted or curved, drawn as one wire or many, faces across one channel
// the channel's outer edge or a neighbour: about one every 50 mm of the
// board's box on each side, each side trying at least one, the nearest
// place to each ideal one whose mouse bites keep off the copper. Square to
// the edge, a tab to the material is at most about the channel long, one to
// a neighbour at most two channels (where theirs merge). Tabs between two
// boards hold both. Only for settings that have tabs (hasTabs).
QVector<Tab> planTabs(const QVector<TabbedBoard> &boards, const QVector<ChannelEdge> &channels,
                      const TabArea &area, const FrameSettings &settings);

int tabsHolding(const QVector<Tab> &tabs, int board);
