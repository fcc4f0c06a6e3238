// SPDX-License-Identifier: GPL-3.0-or-later
#include "gridplacer.h"

#include <algorithm>
#include <cmath>

namespace {

// How many cells of `cell` fit in `room`, a rounding error too few taken
// in; never more than `most`.
int cellsIn(double room, double cell, int most)
{
    if (!(cell > 0.0) || !(room > 0.0))
        return 0;
    return int(std::min(double(most), std::floor(room / cell + 1e-9)));
}

// To the nanometre, so that a shift reads as the decimal it is: a board
// 25.4 mm high moves the fourth row by 76.2 mm, not 76.19999999999999.
double snapped(double millimetres)
{
    return std::round(millimetres * 1e6) / 1e6;
}

} // namespace

QVector<std::optional<PanelShift>> gridShifts(const QVector<BoardFootprint> &boards, double width,
                                              double height)
{
    QVector<std::optional<PanelShift>> shifts(boards.size());
    if (boards.isEmpty())
        return shifts;
    const BoardFootprint &cell = boards.first();
    const int widest = cellsIn(width, cell.width, boards.size());
    const int tallest = cellsIn(height, cell.height, boards.size());
    if (widest == 0 || tallest == 0)
        return shifts;
    const int placed = std::min(boards.size(), widest * tallest);
    const int rows = (placed + widest - 1) / widest;
    const int columns = (placed + rows - 1) / rows;
    for (int k = 0; k < placed; ++k) {
        const BoardFootprint &board = boards.at(k);
        shifts[k] = PanelShift {snapped((k % columns) * cell.width - board.startX),
                                snapped((k / columns) * cell.height - board.startY)};
    }
    return shifts;
}
