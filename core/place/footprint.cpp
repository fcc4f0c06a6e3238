// SPDX-License-Identifier: GPL-3.0-or-later
#include "footprint.h"

BoardFootprint turnedFootprint(const BoardFootprint &board, int turn)
{
    BoardFootprint turned = board;
    for (int i = 0; i < (turn % 4 + 4) % 4; ++i) {
        // (x, y) goes to (-y, x): the box's top becomes its left side.
        turned = {turned.height, turned.width, -(turned.startY + turned.height), turned.startX};
    }
    return turned;
}
