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
// tabs join boards only to each other.
struct TabArea
{
    double width = 0.0;
    double height = 0.0;
    int frame = 0;
};

enum class TabSide { Left, Right, Bottom, Top };

// Whether a side runs along y, and +1 when it faces growing coordinates.
bool isVertical(TabSide side);
int outward(TabSide side);

// One end of a tab: on a board's outline wire, or on the rail's inner edge
// (board -1, wire the rail's side). `first` and `second` are where the tab's
// two sides meet it.
struct TabEnd
{
    int board = -1;
    int wire = -1;
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

// Places tabs `tabWidth` wide where a board's edge is a straight wire that
// faces a straight wire of its neighbour or the rail across a clear channel:
// about one every 50 mm of the board's box on each side, each side trying at
// least one. Tabs between two boards hold both.
QVector<Tab> planTabs(const QVector<TabbedBoard> &boards, const TabArea &area, double tabWidth);

int tabsHolding(const QVector<Tab> &tabs, int board);
