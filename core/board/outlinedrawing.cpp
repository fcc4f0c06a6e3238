// SPDX-License-Identifier: GPL-3.0-or-later
#include "outlinedrawing.h"

#include <algorithm>

bool OutlineDrawing::addPlaced(const OutlineDrawing &package, const PartPlacement &part, int budget)
{
    const int lineCount = std::min(package.lines.size(), std::max(budget, 0));
    for (int i = 0; i < lineCount; ++i) {
        const OutlineLine &line = package.lines.at(i);
        lines.append({placed(part, line.from), placed(part, line.to)});
    }
    const int arcCount = std::min(package.arcs.size(), std::max(budget - lineCount, 0));
    for (int i = 0; i < arcCount; ++i) {
        const OutlineArc &arc = package.arcs.at(i);
        // Mirroring turns the arc's sense around.
        arcs.append({placed(part, arc.from), placed(part, arc.to), placed(part, arc.centre),
                     part.rotation.mirror ? -arc.sweep : arc.sweep});
    }
    return lineCount + arcCount == package.size();
}
