// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// A panel larger than a kilometre is no panel; bounding it keeps every
// position well inside int.
constexpr double largestPanel = 1e6;

// The panel side as placements use it: between 0 and largestPanel, 0 when
// it is not finite.
double boundedPanelSide(double side);

// From the outline start, the whole millimetres a board is moved by so that
// it starts inside its slot, and the fraction of a millimetre it then
// reaches beyond its measured size.
struct AxisFit
{
    double reach;
    int inset;
};

AxisFit axisFit(double size, double start);
