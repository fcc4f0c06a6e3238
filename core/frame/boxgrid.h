// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/board/outlineshape.h"

#include <QHash>
#include <QVector>

// Finds the items whose boxes come near a place without looking at all of
// them: each item is filed under the square cells its box covers.
class BoxGrid
{
public:
    explicit BoxGrid(double cellSize = 2.0)
        : cell(cellSize)
    { }

    void insert(int item, const OutlineBox &box);
    // The items whose boxes may meet `box`, each once, in no set order.
    QVector<int> near(const OutlineBox &box) const;

private:
    struct Cells
    {
        qint64 minX, maxX, minY, maxY;
        double count() const { return double(maxX - minX + 1) * double(maxY - minY + 1); }
    };
    Cells cellsOf(const OutlineBox &box) const;
    template<typename Visit>
    bool forEachCell(const OutlineBox &box, Visit visit) const;

    double cell;
    QHash<quint64, QVector<int>> filed;
    // Items too large to file, or with no finite box: always near.
    QVector<int> everywhere;
    mutable QVector<int> seen; // the last query that met each item
    mutable int query = 0;
};
