#pragma once

#include "copyoutline.h"

#include <QVector>

// A board as the tabs see it: its outline box on the panel and the wires of
// its drawn outline there.
struct TabbedBoard
{
    OutlineBox box;
    QVector<OutlineWire> wires;
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

enum class TabSide { Left, Right, Bottom, Top };

// Whether a side runs along y, and +1 when it faces growing coordinates.
bool isVertical(TabSide side);
int outward(TabSide side);

// One end of a tab: on a straight stretch of a board's outline, or on a
// channel's outer edge (board -1). `first` and `second` are where the tab's
// two sides meet it.
struct TabEnd
{
    int board = -1;
    QVector<int> wires; // the board's outline wires the tab meets
    int channel = -1; // the channel's edge, an index into the channels
    // Where `first` and `second` lie on the channel's edge: the index of a
    // point plus the share of the way to the next.
    double firstAt = 0.0;
    double secondAt = 0.0;
    OutlinePoint first;
    OutlinePoint second;
};

// A tab leaves `near`'s board on its `side` and crosses the channel to `far`.
struct Tab
{
    TabSide side = TabSide::Left;
    TabEnd near;
    TabEnd far;

    bool holds(int board) const { return near.board == board || far.board == board; }
};

// Places tabs `tabWidth` wide where a board's edge is straight and faces,
// across one channel, a straight edge of its neighbour or the channel's
// outer edge: about one every 50 mm of the board's box on each side, each
// side trying at least one. Measured square to the board's edge, a tab to
// the material is at most about the channel long, one to a neighbour at
// most two channels (where theirs merge). Tabs between two boards hold
// both.
QVector<Tab> planTabs(const QVector<TabbedBoard> &boards, const QVector<ChannelEdge> &channels,
                      const TabArea &area, double tabWidth);

// The longest a tab across a channel to the material, and to a neighbour,
// square to the board's edge.
double longestTabToMaterial(const TabArea &area);
double longestTabToBoard(const TabArea &area);

int tabsHolding(const QVector<Tab> &tabs, int board);
