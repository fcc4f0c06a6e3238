// SPDX-License-Identifier: GPL-3.0-or-later
#include "rowplacer.h"

#include "axisfit.h"

#include <algorithm>
#include <cmath>

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
    return PanelShift {double(x + alongX.inset), double(y + alongY.inset)};
}

void RowPlacer::advance(int offset)
{
    x += placedWidth + offset;
    rowHeight = std::max(rowHeight, placedHeight);
    rowGap = offset;
    rowUsed = true;
}
