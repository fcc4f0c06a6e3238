#include "tabplan.h"

#include "channels.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

// How far a tab's straight edge must reach past its sides, so that the
// outline keeps a piece of the wire on both sides of the tab.
constexpr double edgeMargin = 0.5;
// The step at which rays probe an edge for straightness and clear channels.
constexpr double probeStep = 0.25;
// Boards whose boxes come this close to a ray are looked at for what it
// meets.
constexpr double clearance = 0.5;
// How far a tab may reach past the channel it crosses: where a short
// straight stretch meets a rounded stretch of the channel, the tab's sides
// reach a little farther than its middle.
constexpr double lengthTolerance = 1.0;
// How far from a line a wire may stray and still count as on it.
constexpr double lineTolerance = 1e-3;
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

QVector<Segment> segmentsOf(const QVector<OutlineWire> &wires)
{
    QVector<Segment> segments;
    for (int i = 0; i < wires.size(); ++i) {
        // An arc is followed by chords close enough to block every ray that
        // its bulge would; none of them takes a tab.
        const QVector<OutlinePoint> path = wirePath(wires.at(i));
        for (int j = 1; j < path.size(); ++j)
            segments.append({path.at(j - 1), path.at(j), i, wires.at(i).straight});
    }
    return segments;
}

// A channel's edge is straight from point to point; a segment's wire is the
// index of the point it starts at.
QVector<Segment> segmentsOf(const ChannelEdge &edge)
{
    QVector<Segment> segments;
    for (int i = 0; i < edge.size(); ++i)
        segments.append({edge.at(i), edge.at((i + 1) % edge.size()), i, true});
    return segments;
}

struct Hit
{
    int segment = -1;
    double share = 0.0; // where the ray meets the segment, from its start
    double across = 0.0;
    double alongShare = 0.0; // how squarely the ray meets the segment
};

// The first segment a ray meets, going from `start` across the side's axis in
// `direction` (+1 or -1), at `alongValue`.
std::optional<Hit> firstHit(const QVector<Segment> &segments, TabSide side, double alongValue,
                            double start, int direction)
{
    std::optional<Hit> best;
    for (int i = 0; i < segments.size(); ++i) {
        const Segment &segment = segments.at(i);
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
        best = Hit {i, share, hitAcross, std::abs(a1 - a0) / length};
    }
    return best;
}

// Whether a segment lies on the line through `a` and `b`.
bool onLine(const Segment &segment, OutlinePoint a, OutlinePoint b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = std::hypot(dx, dy);
    const auto distance = [&](OutlinePoint point) {
        return std::abs((point.x - a.x) * dy - (point.y - a.y) * dx) / length;
    };
    return distance(segment.from) < lineTolerance && distance(segment.to) < lineTolerance;
}

// What a ray from a tab's board meets first: a neighbour or a channel's edge.
struct Obstacle
{
    int board = -1;
    int channel = -1;
    Hit hit;

    bool sameAs(const Obstacle &other) const
    {
        return board == other.board && channel == other.channel;
    }
};

class Planner
{
public:
    Planner(const QVector<TabbedBoard> &boards, const QVector<ChannelEdge> &channels,
            const TabArea &area, double tabWidth)
        : boards(boards)
        , channels(channels)
        , area(area)
        , width(tabWidth)
    {
        for (const TabbedBoard &board : boards)
            segments.append(segmentsOf(board.wires));
        for (const ChannelEdge &edge : channels)
            channelSegments.append(segmentsOf(edge));
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

    // The places along a tab from low to high that rays probe, both ends
    // included; `margin` reaches past them.
    static QVector<double> probes(double low, double high, double margin = 0.0)
    {
        QVector<double> places;
        for (double at = low - margin; at < high + margin; at += probeStep)
            places.append(at);
        places.append(high + margin);
        return places;
    }

    // The straight stretch of `board`'s edge that rays from `start` meet in
    // `direction` between low and high, reaching a margin past both: one
    // line, met squarely enough, by every ray. It may be drawn as several
    // wires.
    std::optional<TabEnd> straightEnd(int board, TabSide side, double low, double high,
                                      double start, int direction) const
    {
        const QVector<Segment> &own = segments.at(board);
        // One ray first: most places along a side fail it, before the
        // many rays that prove a place.
        const std::optional<Hit> centre = firstHit(own, side, (low + high) / 2, start, direction);
        if (!centre || !own.at(centre->segment).straight || centre->alongShare < leastAlong)
            return std::nullopt;
        const OutlinePoint lineFrom = own.at(centre->segment).from;
        const OutlinePoint lineTo = own.at(centre->segment).to;
        for (double probe : probes(low, high, edgeMargin)) {
            const std::optional<Hit> hit = firstHit(own, side, probe, start, direction);
            if (!hit || !own.at(hit->segment).straight || hit->alongShare < leastAlong
                || !onLine(own.at(hit->segment), lineFrom, lineTo))
                return std::nullopt;
        }
        TabEnd end;
        end.board = board;
        end.first = pointAt(side, firstHit(own, side, low, start, direction)->across, low);
        end.second = pointAt(side, firstHit(own, side, high, start, direction)->across, high);
        for (const Segment &segment : own) {
            const double a0 = along(side, segment.from);
            const double a1 = along(side, segment.to);
            if (segment.straight && onLine(segment, lineFrom, lineTo)
                && std::max(a0, a1) > low + tolerance && std::min(a0, a1) < high - tolerance)
                end.wires.append(segment.wire);
        }
        return end;
    }

    // The nearest thing a ray from `board` meets: another board or a
    // channel's edge.
    std::optional<Obstacle> nearestObstacle(int board, TabSide side, double alongValue,
                                            double start, int direction) const
    {
        std::optional<Obstacle> best;
        const auto consider = [&](int other, int channel, const QVector<Segment> &candidates) {
            const std::optional<Hit> hit = firstHit(candidates, side, alongValue, start, direction);
            if (hit && (!best || (hit->across - best->hit.across) * direction < 0.0))
                best = Obstacle {other, channel, *hit};
        };
        for (int other = 0; other < boards.size(); ++other) {
            const OutlineBox &box = boards.at(other).box;
            if (other == board || alongValue < alongStart(box, side) - clearance
                || alongValue > alongEnd(box, side) + clearance
                || (boxSide(box, side) - start) * direction < 0.0)
                continue;
            consider(other, -1, segments.at(other));
        }
        for (int channel = 0; channel < channels.size(); ++channel)
            consider(-1, channel, channelSegments.at(channel));
        return best;
    }

    // What every ray of the tab meets first: one neighbour or one channel's
    // edge, across a channel no longer than the tab may be.
    std::optional<Obstacle> crossedTo(const TabEnd &near, TabSide side, double low,
                                      double high) const
    {
        const int direction = outward(side);
        // A tab is as long as the channel where it meets the board's edge
        // squarely, longer where it meets it aslant.
        const double squareness = std::abs(along(side, near.second) - along(side, near.first))
                / std::hypot(near.second.x - near.first.x, near.second.y - near.first.y);
        std::optional<Obstacle> target;
        for (double probe : probes(low, high)) {
            const double share = (probe - low) / (high - low);
            const double start = across(side, near.first)
                    + share * (across(side, near.second) - across(side, near.first));
            const std::optional<Obstacle> met =
                    nearestObstacle(near.board, side, probe, start, direction);
            if (!met || (target && !met->sameAs(*target)))
                return std::nullopt;
            const double length = (met->hit.across - start) * direction * squareness;
            const double longest =
                    met->board >= 0 ? longestTabToBoard(area) : longestTabToMaterial(area);
            if (length < leastChannel || length > longest)
                return std::nullopt;
            target = met;
        }
        return target;
    }

    // Where a tab meets a channel's edge; the stretch it cuts out of the
    // edge must lie within the tab.
    std::optional<TabEnd> channelEnd(int channel, TabSide side, double low, double high,
                                     double start, int direction) const
    {
        const QVector<Segment> &edgeSegments = channelSegments.at(channel);
        const std::optional<Hit> first = firstHit(edgeSegments, side, low, start, direction);
        const std::optional<Hit> second = firstHit(edgeSegments, side, high, start, direction);
        if (!first || !second)
            return std::nullopt;
        TabEnd end;
        end.channel = channel;
        end.first = pointAt(side, first->across, low);
        end.second = pointAt(side, second->across, high);
        end.firstAt = first->segment + first->share;
        end.secondAt = second->segment + second->share;
        const ChannelEdge &edge = channels.at(channel);
        const auto stretch = shorterStretch(edge, end.firstAt, end.secondAt);
        for (int index : pointsWithin(edge, stretch.first, stretch.second)) {
            const double at = along(side, edge.at(index));
            if (at < low - tolerance || at > high + tolerance)
                return std::nullopt;
        }
        return end;
    }

    std::optional<Tab> tabAt(int board, TabSide side, double centre) const
    {
        const double low = centre - width / 2;
        const double high = centre + width / 2;
        const int direction = outward(side);
        const double boxEdge = boxSide(boards.at(board).box, side);
        const std::optional<TabEnd> near =
                straightEnd(board, side, low, high, boxEdge + direction * tolerance, -direction);
        if (!near)
            return std::nullopt;
        const std::optional<Obstacle> target = crossedTo(*near, side, low, high);
        if (!target)
            return std::nullopt;
        const double nearest = direction > 0
                ? std::min(across(side, near->first), across(side, near->second))
                : std::max(across(side, near->first), across(side, near->second));
        const std::optional<TabEnd> far = target->board >= 0
                ? straightEnd(target->board, side, low, high, nearest, direction)
                : channelEnd(target->channel, side, low, high, nearest, direction);
        if (!far)
            return std::nullopt;
        const Tab tab {side, *near, *far};
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
    const QVector<ChannelEdge> &channels;
    TabArea area;
    double width;
    QVector<QVector<Segment>> segments;
    QVector<QVector<Segment>> channelSegments;
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

QVector<Tab> planTabs(const QVector<TabbedBoard> &boards, const QVector<ChannelEdge> &channels,
                      const TabArea &area, double tabWidth)
{
    if (!(tabWidth > 0.0))
        return {};
    return Planner(boards, channels, area, tabWidth).plan();
}

double longestTabToMaterial(const TabArea &area)
{
    return area.channel + lengthTolerance;
}

double longestTabToBoard(const TabArea &area)
{
    return 2 * area.channel + lengthTolerance;
}

int tabsHolding(const QVector<Tab> &tabs, int board)
{
    return int(std::count_if(tabs.cbegin(), tabs.cend(),
                             [board](const Tab &tab) { return tab.holds(board); }));
}
