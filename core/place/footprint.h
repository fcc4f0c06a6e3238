// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the placement needs to know of a catalogue entry: its measured size
// and where its outline box starts on the board's drawing.
struct BoardFootprint
{
    double width = 0.0;
    double height = 0.0;
    double startX = 0.0;
    double startY = 0.0;
};

// Where a copy of a board goes: turned by `turn` quarter turns
// counterclockwise about the board's own origin, then moved along x and y:
// by whole millimetres, but for copies set edge to edge.
struct PanelShift
{
    double dx = 0.0;
    double dy = 0.0;
    int turn = 0; // 0 to 3

    bool operator==(const PanelShift &other) const
    {
        return dx == other.dx && dy == other.dy && turn == other.turn;
    }
};

// The footprint of the board turned by `turn` quarter turns counterclockwise
// about its origin.
BoardFootprint turnedFootprint(const BoardFootprint &board, int turn);
