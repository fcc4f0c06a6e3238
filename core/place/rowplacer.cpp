// SPDX-License-Identifier: GPL-3.0-or-later
#include "rowplacer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A panel larger than a kilometre is no panel; bounding it keeps every
// position well inside int.
constexpr double largestPanel = 1e6;

double boundedPanelSide(double side)
{
    return std::isfinite(side) ? std::clamp(side, 0.0, largestPanel) : 0.0;
}

// From the outline start, the whole millimetres a board is moved by so that
// it starts inside its slot, and the fraction of a millimetre it then
// reaches beyond its measured size.
struct AxisFit
{
    double reach;
    int inset;
};

AxisFit axisFit(double size, double start)
{
    const double whole = std::floor(start);
    // An outline starting further from the origin than any panel is wide
    // fits nowhere, and its inset would not even be an int.
    if (!(std::abs(whole) <= largestPanel))
        return {std::numeric_limits<double>::infinity(), 0};
    return {size + (start - whole), int(-whole)};
}

} // namespace

RowPlacer::RowPlacer(double panelWidth, double panelHeight)
    : panelWidth(boundedPanelSide(panelWidth))
    , panelHeight(boundedPanelSide(panelHeight))
{ }

bool RowPlacer::fits(double reachX, double reachY) const
{
    // Strict tests; a size that is not finite fails them (NaN compares false).
    return std::isfinite(reachX) && std::isfinite(reachY) && panelWidth > x + reachX
            && panelHeight > y + reachY;
}

std::optional<PanelShift> RowPlacer::place(const BoardFootprint &board)
{
    const AxisFit alongX = axisFit(board.width, board.startX);
    const AxisFit alongY = axisFit(board.height, board.startY);
    if (!fits(alongX.reach, alongY.reach)) {
        // A row that holds no board takes no room, not even its gap.
        if (rowUsed)
            y += rowHeight + rowGap;
        x = 0;
        rowHeight = 0;
        rowUsed = false;
        if (!fits(alongX.reach, alongY.reach))
            return std::nullopt;
    }
    // Inside the panel both reaches are below its bounded size, so these
    // conversions cannot overflow.
    placedWidth = int(std::ceil(alongX.reach));
    placedHeight = int(std::ceil(alongY.reach));
    return PanelShift {x + alongX.inset, y + alongY.inset};
}

void RowPlacer::advance(int offset)
{
    x += placedWidth + offset;
    rowHeight = std::max(rowHeight, placedHeight);
    rowGap = offset;
    rowUsed = true;
}
