// SPDX-License-Identifier: GPL-3.0-or-later
#include "boxgrid.h"

#include <algorithm>
#include <cmath>

namespace {

// A crafted board may reach far; an item over this many cells is not filed.
constexpr qint64 mostCells = 4096;
constexpr double farthestCell = 1e12;

bool isFinite(const OutlineBox &box)
{
    return std::isfinite(box.minX) && std::isfinite(box.maxX) && std::isfinite(box.minY)
            && std::isfinite(box.maxY);
}

} // namespace

BoxGrid::Cells BoxGrid::cellsOf(const OutlineBox &box) const
{
    const auto index = [this](double value) {
        return qint64(std::floor(std::clamp(value / cell, -farthestCell, farthestCell)));
    };
    return {index(box.minX), index(box.maxX), index(box.minY), index(box.maxY)};
}

// Each cell the box covers, by its key; nothing when the box is too large to
// file.
template<typename Visit>
bool BoxGrid::forEachCell(const OutlineBox &box, Visit visit) const
{
    if (!isFinite(box) || cellsOf(box).count() > mostCells)
        return false;
    const Cells cells = cellsOf(box);
    for (qint64 x = cells.minX; x <= cells.maxX; ++x) {
        for (qint64 y = cells.minY; y <= cells.maxY; ++y)
            visit((quint64(x) << 32) ^ quint64(quint32(y)));
    }
    return true;
}

void BoxGrid::insert(int item, const OutlineBox &box)
{
    if (item >= seen.size())
        seen.resize(item + 1);
    if (!forEachCell(box, [&](quint64 key) { filed[key].append(item); }))
        everywhere.append(item);
}

QVector<int> BoxGrid::near(const OutlineBox &box) const
{
    ++query;
    QVector<int> items;
    const auto take = [&](int item) {
        if (seen.at(item) != query) {
            seen[item] = query;
            items.append(item);
        }
    };
    for (int item : everywhere)
        take(item);
    const bool filedNear = forEachCell(box, [&](quint64 key) {
        for (int item : filed.value(key))
            take(item);
    });
    if (!filedNear) {
        for (const QVector<int> &list : filed)
            for (int item : list)
                take(item);
    }
    return items;
}
