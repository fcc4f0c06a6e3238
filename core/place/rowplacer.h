// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "footprint.h"

#include <optional>

// Sets boards side by side in rows (shelves), left to right, bottom to top,
// never reordering them and never going back to a row once left.
//
// Slots are rounded up to whole millimetres: a board's slot is as wide as
// its reach rounded up, so boards of a row stay at least the offset apart,
// and a row is as high as its tallest slot plus the offset, so boards of
// consecutive rows are as far apart as those of a row. Each board is moved
// by the whole millimetres that bring the start of its outline box into its
// slot, wherever on its drawing the outline lies.
class RowPlacer
{
public:
    RowPlacer(double panelWidth, double panelHeight);

    // The shift for the next board in the current row or, failing that, on a
    // new row; nothing when it fits in neither, which also ends the row.
    std::optional<PanelShift> place(const BoardFootprint &board);
    // Moves past the board just placed, leaving `offset` mm free after it
    // and, should the next board open a new row, above the row.
    void advance(int offset);

private:
    bool fits(double reachX, double reachY) const;

    double panelWidth;
    double panelHeight;
    int x = 0;
    int y = 0;
    int rowHeight = 0;
    int rowGap = 0; // the offset given with the row's latest board
    bool rowUsed = false;
    int placedWidth = 0; // of the board just placed, rounded up
    int placedHeight = 0;
};
