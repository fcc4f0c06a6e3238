// SPDX-License-Identifier: GPL-3.0-or-later
#include "axisfit.h"

#include <algorithm>
#include <cmath>
#include <limits>

double boundedPanelSide(double side)
{
    return std::isfinite(side) ? std::clamp(side, 0.0, largestPanel) : 0.0;
}

AxisFit axisFit(double size, double start)
{
    const double whole = std::floor(start);
    // An outline starting further from the origin than any panel is wide
    // fits nowhere, and its inset would not even be an int.
    if (!(std::abs(whole) <= largestPanel))
        return {std::numeric_limits<double>::infinity(), 0};
    return {size + (start - whole), int(-whole)};
}
