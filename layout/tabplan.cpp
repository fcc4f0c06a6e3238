#include "tabplan.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// How far a tab's straight edge must reach past its sides, so that the
// outline keeps a piece of the wire on both sides of the tab.
constexpr double edgeMargin = 0.5;
// The step at which rays probe an edge for straightness and clear channels.
constexpr double probeStep = 0.25;
// Boards whose boxes come this close to a tab's span block it.
constexpr double clearance = 0.5;
// Roughly one tab every so many mm of a board's side.
constexpr double tabSpacing = 50.0;
// A tab meets an edge at most 45 degrees off square.
constexpr double leastAlong = 0.7;
constexpr double tolerance = 1e-6;
// The narrowest channel a tab bridges.
constexpr double leastChannel = 0.1;

// One straight piece of an outline wire; an arc is followed by chords and
// can take no tab.
struct Segment
{
    OutlinePoint from;
    OutlinePoint to;
    int wire = -1;
    bool straight = true;
};

TabSide opposite(TabSide side)
{
    switch (side) {
    case TabSide::Left:
        return TabSide::Right;
    case TabSide::Right:
        return TabSide::Left;
    case TabSide::Bottom:
        return TabSide::Top;
    case TabSide::Top:
        break;
    }
    return TabSide::Bottom;
}

double along(TabSide side, OutlinePoint point)
{
    return isVertical(side) ? point.y : point.x;
}

double across(TabSide side, OutlinePoint point)
{
    return isVertical(side) ? point.x : point.y;
}

OutlinePoint pointAt(TabSide side, double acrossValue, double alongValue)
{
    return isVertical(side) ? OutlinePoint {acrossValue, alongValue}
                            : OutlinePoint {alongValue, acrossValue};
}

double boxSide(const OutlineBox &box, TabSide side)
{
    switch (side) {
    case TabSide::Left:
        return box.minX;
    case TabSide::Right:
        return box.maxX;
    case TabSide::Bottom:
        return box.minY;
    case TabSide::Top:
        break;
    }
    return box.maxY;
}

double alongStart(const OutlineBox &box, TabSide side)
{
    return isVertical(side) ? box.minY : box.minX;
}

double alongEnd(const OutlineBox &box, TabSide side)
{
    return isVertical(side) ? box.maxY : box.maxX;
}

// An arc is followed by chords close enough to block every ray that its
// bulge would; none of them takes a tab.
void appendArc(const OutlineWire &wire, int index, QVector<Segment> &segments)
{
    OutlineArc arc;
    const double curve = wire.curve;
    if (!wireArc(wire.from.x, wire.from.y, wire.to.x, wire.to.y, curve, arc)) {
        segments.append({wire.from, wire.to, index, false});
        return;
    }
    constexpr int chords = 32;
    const double radius = std::hypot(arc.from.x - arc.centre.x, arc.from.y - arc.centre.y);
    const double start = std::atan2(arc.from.y - arc.centre.y, arc.from.x - arc.centre.x);
    OutlinePoint previous = arc.from;
    for (int i = 1; i <= chords; ++i) {
        const double angle = start + arc.sweep * M_PI / 180.0 * i / chords;
        const OutlinePoint next = i == chords
                ? arc.to
                : OutlinePoint {arc.centre.x + radius * std::cos(angle),
                                arc.centre.y + radius * std::sin(angle)};
        segments.append({previous, next, index, false});
        previous = next;
    }
}

QVector<Segment> segmentsOf(const QVector<OutlineWire> &wires)
{
    QVector<Segment> segments;
    for (int i = 0; i < wires.size(); ++i) {
        const OutlineWire &wire = wires.at(i);
        if (wire.straight)
            segments.append({wire.from, wire.to, i, true});
        else
            appendArc(wire, i, segments);
    }
    return segments;
}

struct Hit
{
    int wire = -1;
    bool straight = false;
    double across = 0.0;
    double alongShare = 0.0; // how squarely the ray meets the wire
};

// The first segment a ray meets, going from `start` across the side's axis in
// `direction` (+1 or -1), at `alongValue`.
std::optional<Hit> firstHit(const QVector<Segment> &segments, TabSide side, double alongValue,
                            double start, int direction)
{
    std::optional<Hit> best;
    for (const Segment &segment : segments) {
        const double a0 = along(side, segment.from);
        const double a1 = along(side, segment.to);
        if (alongValue < std::min(a0, a1) || alongValue > std::max(a0, a1) || a0 == a1)
            continue;
        const double share = (alongValue - a0) / (a1 - a0);
        const double c0 = across(side, segment.from);
        const double c1 = across(side, segment.to);
        const double hitAcross = c0 + share * (c1 - c0);
        if ((hitAcross - start) * direction < -tolerance)
            continue;
        if (best && (hitAcross - best->across) * direction >= 0.0)
            continue;
        const double length =
                std::hypot(segment.to.x - segment.from.x, segment.to.y - segment.from.y);
        best = Hit {segment.wire, segment.straight, hitAcross, std::abs(a1 - a0) / length};
    }
    return best;
}

// What a tab of a side crosses to.
struct Target
{
    int board = -1; // -1: the rail
    double across = 0.0; // the rail's edge; for a board, its box side
};

class Planner
{
public:
    Planner(const QVector<TabbedBoard> &boards, const TabArea &area, double tabWidth)
        : boards(boards)
        , area(area)
        , width(tabWidth)
    {
        for (const TabbedBoard &board : boards)
            segments.append(segmentsOf(board.wires));
    }

    QVector<Tab> plan()
    {
        for (int board = 0; board < boards.size(); ++board) {
            for (TabSide side : {TabSide::Left, TabSide::Right, TabSide::Bottom, TabSide::Top})
                planSide(board, side);
        }
        return tabs;
    }

private:
    void planSide(int board, TabSide side)
    {
        const OutlineBox &box = boards.at(board).box;
        const double start = alongStart(box, side);
        const double length = alongEnd(box, side) - start;
        const int wanted = std::max(1, int(std::lround(length / tabSpacing)));
        int have = 0;
        for (const Tab &tab : std::as_const(tabs)) {
            if (tab.far.board == board && tab.side == opposite(side))
                ++have;
        }
        for (int i = have; i < wanted; ++i) {
            const double ideal = start + (i + 0.5) * length / wanted;
            if (std::optional<Tab> tab = nearestTab(board, side, ideal))
                tabs.append(*tab);
        }
    }

    // The valid tab closest to `ideal` along the side.
    std::optional<Tab> nearestTab(int board, TabSide side, double ideal) const
    {
        const OutlineBox &box = boards.at(board).box;
        const double low = alongStart(box, side) + width / 2 + edgeMargin;
        const double high = alongEnd(box, side) - width / 2 - edgeMargin;
        const int steps = int((high - low) / probeStep) + 1;
        for (int step = 0; step <= 2 * steps; ++step) {
            const double offset = (step + 1) / 2 * probeStep * (step % 2 ? 1 : -1);
            const double centre = ideal + offset;
            if (centre < low || centre > high)
                continue;
            if (std::optional<Tab> tab = tabAt(board, side, centre))
                return tab;
        }
        return std::nullopt;
    }

    std::optional<Target> targetOf(int board, TabSide side, double low, double high) const
    {
        const int direction = outward(side);
        const double from = boxSide(boards.at(board).box, side);
        std::optional<Target> best;
        if (area.frame > 0) {
            const double rail = direction > 0
                    ? (isVertical(side) ? area.width : area.height) - area.frame
                    : area.frame;
            best = Target {-1, rail};
        }
        for (int other = 0; other < boards.size(); ++other) {
            const OutlineBox &box = boards.at(other).box;
            if (other == board || alongEnd(box, side) < low - clearance
                || alongStart(box, side) > high + clearance)
                continue;
            const double facing = boxSide(box, opposite(side));
            if ((facing - from) * direction < -tolerance)
                continue;
            if (!best || (facing - best->across) * direction < 0.0)
                best = Target {other, facing};
        }
        return best;
    }

    // The edge of `board` that rays from `start` meet in `direction` between
    // low and high: one straight wire, met squarely enough, by every ray.
    std::optional<TabEnd> straightEnd(int board, TabSide side, double low, double high,
                                      double start, int direction) const
    {
        TabEnd end;
        end.board = board;
        // One ray first: most places along a side fail it, before the
        // many rays that prove a place.
        const std::optional<Hit> centre =
                firstHit(segments.at(board), side, (low + high) / 2, start, direction);
        if (!centre || !centre->straight || !spans(board, centre->wire, side, low, high))
            return std::nullopt;
        for (double at = low - edgeMargin; at < high + edgeMargin + probeStep; at += probeStep) {
            const double probe = std::min(at, high + edgeMargin);
            const std::optional<Hit> hit =
                    firstHit(segments.at(board), side, probe, start, direction);
            if (!hit || !hit->straight || hit->alongShare < leastAlong
                || (end.wire >= 0 && hit->wire != end.wire))
                return std::nullopt;
            end.wire = hit->wire;
        }
        const std::optional<Hit> first = firstHit(segments.at(board), side, low, start, direction);
        const std::optional<Hit> second =
                firstHit(segments.at(board), side, high, start, direction);
        end.first = pointAt(side, first->across, low);
        end.second = pointAt(side, second->across, high);
        return end;
    }

    // Whether the wire reaches past both sides of a tab from low to high.
    bool spans(int board, int wire, TabSide side, double low, double high) const
    {
        const OutlineWire &edge = boards.at(board).wires.at(wire);
        const double a0 = along(side, edge.from);
        const double a1 = along(side, edge.to);
        return std::min(a0, a1) <= low - edgeMargin && std::max(a0, a1) >= high + edgeMargin;
    }

    std::optional<Tab> tabAt(int board, TabSide side, double centre) const
    {
        const double low = centre - width / 2;
        const double high = centre + width / 2;
        const std::optional<Target> target = targetOf(board, side, low, high);
        if (!target)
            return std::nullopt;
        const int direction = outward(side);
        const double boxEdge = boxSide(boards.at(board).box, side);
        const std::optional<TabEnd> near =
                straightEnd(board, side, low, high, boxEdge + direction * tolerance, -direction);
        if (!near)
            return std::nullopt;
        Tab tab {side, *near, {}};
        if (target->board >= 0) {
            const std::optional<TabEnd> far =
                    straightEnd(target->board, side, low, high, boxEdge, direction);
            if (!far)
                return std::nullopt;
            tab.far = *far;
        } else {
            tab.far = {-1, int(side), pointAt(side, target->across, low),
                       pointAt(side, target->across, high)};
        }
        // Boards that touch leave no channel to bridge.
        if (std::abs(across(side, tab.far.first) - across(side, tab.near.first)) < leastChannel
            || std::abs(across(side, tab.far.second) - across(side, tab.near.second))
                    < leastChannel)
            return std::nullopt;
        if (crossesOtherTabs(tab))
            return std::nullopt;
        return tab;
    }

    static OutlineBox boxOf(const Tab &tab)
    {
        OutlineBox box {tab.near.first.x, tab.near.first.x, tab.near.first.y, tab.near.first.y};
        for (OutlinePoint point : {tab.near.second, tab.far.first, tab.far.second}) {
            box.minX = std::min(box.minX, point.x);
            box.maxX = std::max(box.maxX, point.x);
            box.minY = std::min(box.minY, point.y);
            box.maxY = std::max(box.maxY, point.y);
        }
        return box;
    }

    bool crossesOtherTabs(const Tab &tab) const
    {
        const OutlineBox box = boxOf(tab);
        return std::any_of(tabs.cbegin(), tabs.cend(), [&](const Tab &other) {
            const OutlineBox otherBox = boxOf(other);
            return box.minX < otherBox.maxX + width && otherBox.minX < box.maxX + width
                    && box.minY < otherBox.maxY + width && otherBox.minY < box.maxY + width;
        });
    }

    const QVector<TabbedBoard> &boards;
    TabArea area;
    double width;
    QVector<QVector<Segment>> segments;
    QVector<Tab> tabs;
};

} // namespace

bool isVertical(TabSide side)
{
    return side == TabSide::Left || side == TabSide::Right;
}

int outward(TabSide side)
{
    return side == TabSide::Right || side == TabSide::Top ? 1 : -1;
}

QVector<Tab> planTabs(const QVector<TabbedBoard> &boards, const TabArea &area, double tabWidth)
{
    if (!(tabWidth > 0.0))
        return {};
    return Planner(boards, area, tabWidth).plan();
}

int tabsHolding(const QVector<Tab> &tabs, int board)
{
    return int(std::count_if(tabs.cbegin(), tabs.cend(),
                             [board](const Tab &tab) { return tab.holds(board); }));
}
