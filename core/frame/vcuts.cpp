// SPDX-License-Identifier: GPL-3.0-or-later
#include "vcuts.h"

#include <algorithm>
#include <limits>

namespace {

// Coordinates are written to a micrometre or so: edges nearer than this
// are one edge.
constexpr double sameEdge = 1e-3;

bool near(double a, double b)
{
    return std::abs(a - b) <= sameEdge;
}

// The length the wire covers of one side of the box, 0 when it lies
// elsewhere.
double lengthAlong(const OutlineWire &wire, double along, bool vertical)
{
    const double fromAcross = vertical ? wire.from.x : wire.from.y;
    const double toAcross = vertical ? wire.to.x : wire.to.y;
    if (!near(fromAcross, along) || !near(toAcross, along))
        return 0.0;
    return vertical ? std::abs(wire.to.y - wire.from.y) : std::abs(wire.to.x - wire.from.x);
}

void addEdge(QVector<double> &edges, double at, double panelSide)
{
    if (near(at, 0.0) || near(at, panelSide))
        return;
    if (std::none_of(edges.cbegin(), edges.cend(), [at](double edge) { return near(edge, at); }))
        edges.append(at);
}

} // namespace

bool isRectangle(const TabbedBoard &board)
{
    const OutlineBox &box = board.box;
    const double sides[] = {box.minX, box.maxX, box.minY, box.maxY};
    double covered[4] = {};
    for (const OutlineWire &wire : board.wires) {
        if (!wire.straight || wire.curve != 0.0)
            return false;
        bool onSide = false;
        for (int side = 0; side < 4; ++side) {
            const double length = lengthAlong(wire, sides[side], side < 2);
            covered[side] += length;
            onSide = onSide || length > 0.0;
        }
        if (!onSide)
            return false;
    }
    const double width = box.maxX - box.minX;
    const double height = box.maxY - box.minY;
    return covered[0] >= height - sameEdge && covered[1] >= height - sameEdge
            && covered[2] >= width - sameEdge && covered[3] >= width - sameEdge;
}

QVector<VCut> vcutLines(const QVector<TabbedBoard> &boards, const TabArea &area)
{
    QVector<double> xs;
    QVector<double> ys;
    for (const TabbedBoard &board : boards) {
        addEdge(xs, board.box.minX, area.width);
        addEdge(xs, board.box.maxX, area.width);
        addEdge(ys, board.box.minY, area.height);
        addEdge(ys, board.box.maxY, area.height);
    }
    std::sort(xs.begin(), xs.end());
    std::sort(ys.begin(), ys.end());
    QVector<VCut> cuts;
    for (double x : std::as_const(xs))
        cuts.append({true, x});
    for (double y : std::as_const(ys))
        cuts.append({false, y});
    return cuts;
}

double copperToVCuts(const TabbedBoard &board, const QVector<VCut> &cuts)
{
    double nearest = std::numeric_limits<double>::max();
    for (const VCut &cut : cuts) {
        const double low = cut.vertical ? board.box.minX : board.box.minY;
        const double high = cut.vertical ? board.box.maxX : board.box.maxY;
        if (cut.at < low - sameEdge || cut.at > high + sameEdge)
            continue;
        for (const CopperShape &shape : board.copper) {
            const OutlineBox bounds = shape.bounds();
            const double from = cut.vertical ? bounds.minX : bounds.minY;
            const double to = cut.vertical ? bounds.maxX : bounds.maxY;
            nearest = std::min(nearest, std::max({0.0, from - cut.at, cut.at - to}));
        }
    }
    return nearest;
}

// The layer table comes before the board's drawing.
bool definesLayer(const DocumentTokens &board, int layer)
{
    DocumentTokens::Reader reader(board);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("board"))
            return false;
        if (reader.name() == QLatin1String("layer")
            && reader.attributes().value(QLatin1String("number")).toInt() == layer)
            return true;
    }
    return false;
}
