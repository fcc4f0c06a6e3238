// SPDX-License-Identifier: GPL-3.0-or-later
#include "outlinechains.h"

#include <QHash>

#include <algorithm>
#include <cmath>

namespace {

// Ends meet where they round to the same tenth of a micrometre.
using EndKey = QPair<qint64, qint64>;

EndKey keyOf(OutlinePoint point)
{
    return {std::llround(point.x * 1e4), std::llround(point.y * 1e4)};
}

struct Step
{
    int wire;
    bool reversed;
};

class ChainBuilder
{
public:
    explicit ChainBuilder(const QVector<OutlineWire> &wires)
        : wires(wires)
        , used(wires.size())
    {
        for (int i = 0; i < wires.size(); ++i) {
            ends.insert(keyOf(wires.at(i).from), i);
            ends.insert(keyOf(wires.at(i).to), i);
        }
    }

    // The wires that meet the first one, in order along the chain.
    QVector<Step> chainFrom(int first)
    {
        used[first] = true;
        QVector<Step> forward {{first, false}};
        extend(forward, wires.at(first).to);
        QVector<Step> backward;
        extend(backward, wires.at(first).from);
        QVector<Step> chain;
        for (auto step = backward.crbegin(); step != backward.crend(); ++step)
            chain.append({step->wire, !step->reversed});
        return chain + forward;
    }

    bool isUsed(int wire) const { return used.at(wire); }

private:
    void extend(QVector<Step> &steps, OutlinePoint from)
    {
        EndKey at = keyOf(from);
        while (true) {
            int next = -1;
            for (auto it = ends.constFind(at); it != ends.constEnd() && it.key() == at; ++it) {
                if (!used.at(*it)) {
                    next = *it;
                    break;
                }
            }
            if (next < 0)
                return;
            used[next] = true;
            const bool reversed = keyOf(wires.at(next).from) != at;
            steps.append({next, reversed});
            at = keyOf(reversed ? wires.at(next).from : wires.at(next).to);
        }
    }

    const QVector<OutlineWire> &wires;
    QVector<bool> used;
    QMultiHash<EndKey, int> ends;
};

} // namespace

QVector<OutlineChain> OutlineChain::of(const QVector<OutlineWire> &wires)
{
    ChainBuilder builder(wires);
    QVector<OutlineChain> chains;
    for (int first = 0; first < wires.size(); ++first) {
        if (builder.isUsed(first))
            continue;
        OutlineChain chain;
        for (const Step &step : builder.chainFrom(first)) {
            QVector<OutlinePoint> path = wirePath(wires.at(step.wire));
            if (step.reversed)
                std::reverse(path.begin(), path.end());
            for (int i = chain.points.isEmpty() ? 0 : 1; i < path.size(); ++i)
                chain.points.append(path.at(i));
        }
        chain.lengths.append(0.0);
        for (int i = 1; i < chain.points.size(); ++i) {
            const OutlinePoint a = chain.points.at(i - 1);
            const OutlinePoint b = chain.points.at(i);
            chain.lengths.append(chain.lengths.last() + std::hypot(b.x - a.x, b.y - a.y));
            chain.area += a.x * b.y - b.x * a.y;
        }
        chain.closed = chain.points.size() > 2
                && keyOf(chain.points.first()) == keyOf(chain.points.last());
        chains.append(chain);
    }
    return chains;
}

OutlinePoint OutlineChain::pointAt(double distance) const
{
    if (points.size() < 2 || !(length() > 0.0))
        return points.value(0);
    if (closed) {
        distance = std::fmod(distance, length());
        if (distance < 0.0)
            distance += length();
    }
    distance = std::clamp(distance, 0.0, length());
    const int after =
            int(std::lower_bound(lengths.cbegin(), lengths.cend(), distance) - lengths.cbegin());
    if (after == 0)
        return points.first();
    const double span = lengths.at(after) - lengths.at(after - 1);
    const double share = span > 0.0 ? (distance - lengths.at(after - 1)) / span : 0.0;
    return between(points.at(after - 1), points.at(after), share);
}
