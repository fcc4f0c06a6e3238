// SPDX-License-Identifier: GPL-3.0-or-later
#include "tabplan.h"

#include "boxgrid.h"
#include "channels.h"
#include "core/board/outlinechains.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <set>

namespace {

// How far a tab's edge must reach past its sides, so that the outline keeps
// a piece of it on both sides of the tab.
constexpr double edgeMargin = 0.5;
// The step at which a tab's places are tried along an edge, and at which
// lines across a tab probe what it crosses.
constexpr double probeStep = 0.25;
// How far a tab may reach past the channel it crosses: where a short
// stretch of edge meets a rounded stretch of the channel, the tab's sides
// reach a little farther than its middle.
constexpr double lengthTolerance = 1.0;
// Roughly one tab every so many mm of a board's side.
constexpr double tabSpacing = 50.0;
// The narrowest channel a tab bridges.
constexpr double leastChannel = 0.1;
// Below the outermost point of a tab's edge, this deep, nothing but that
// edge may cross the tab: it is what the tab takes out of the outline.
constexpr double band = 0.25;
// How far an edge may bow or lean within a tab, as a share of its width: a
// rounded corner may take a tab where no straight edge can.
constexpr double mostBow = 1.0;
// How many mm farther from its ideal place a straight place may be than one
// whose edge bends by 1 mm.
constexpr double bendCost = 50.0;
// Mouse-bite holes sit this far inside the board's edge, so that breaking
// the tab leaves no stub standing out of the edge.
constexpr double biteInset = 0.25;
// No board's edge runs farther than this, in mm.
constexpr double longestEdge = 1e4;
// The least room between two tabs: a board house's router.
constexpr double leastTabGap = 2.0;
// A cut this close to a wire's end is made at the end.
constexpr double snapDistance = 1e-4;
constexpr double tolerance = 1e-6;

double dot(OutlinePoint a, OutlinePoint b)
{
    return a.x * b.x + a.y * b.y;
}

double distance(OutlinePoint a, OutlinePoint b)
{
    return std::hypot(a.x - b.x, a.y - b.y);
}

bool encloses(const QVector<OutlinePoint> &polygon, OutlinePoint point)
{
    bool inside = false;
    for (int i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const OutlinePoint a = polygon.at(i);
        const OutlinePoint b = polygon.at(j);
        if ((a.y > point.y) != (b.y > point.y)
            && point.x < (b.x - a.x) * (point.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

// How far apart two polygons are: 0 where they overlap.
double polygonDistance(const QVector<OutlinePoint> &a, const QVector<OutlinePoint> &b)
{
    if (encloses(a, b.first()) || encloses(b, a.first()))
        return 0.0;
    double nearest = std::numeric_limits<double>::max();
    for (int i = 0; i < a.size(); ++i) {
        const OutlinePoint a0 = a.at(i);
        const OutlinePoint a1 = a.at((i + 1) % a.size());
        for (int j = 0; j < b.size(); ++j) {
            const OutlinePoint b0 = b.at(j);
            const OutlinePoint b1 = b.at((j + 1) % b.size());
            if (cross(a0, a1, b0) * cross(a0, a1, b1) < 0
                && cross(b0, b1, a0) * cross(b0, b1, a1) < 0)
                return 0.0;
            nearest =
                    std::min({nearest, distanceToSegment(a0, b0, b1), distanceToSegment(a1, b0, b1),
                              distanceToSegment(b0, a0, a1), distanceToSegment(b1, a0, a1)});
        }
    }
    return nearest;
}

enum class Side { Left, Right, Bottom, Top };

// The side of a board's box an outward direction faces most.
Side sideOf(OutlinePoint outward)
{
    if (std::abs(outward.x) >= std::abs(outward.y))
        return outward.x < 0 ? Side::Left : Side::Right;
    return outward.y < 0 ? Side::Bottom : Side::Top;
}

bool isVertical(Side side)
{
    return side == Side::Left || side == Side::Right;
}

// A tab's own axes: `across` from its first side to its second, `out` from
// its board across the channel. u and v are distances along them from
// `origin`, the middle of the tab on the board's edge.
struct TabFrame
{
    OutlinePoint origin;
    OutlinePoint across;
    OutlinePoint out;

    double u(OutlinePoint point) const
    {
        return dot({point.x - origin.x, point.y - origin.y}, across);
    }
    double v(OutlinePoint point) const
    {
        return dot({point.x - origin.x, point.y - origin.y}, out);
    }
    OutlinePoint at(double u, double v) const
    {
        return {origin.x + u * across.x + v * out.x, origin.y + u * across.y + v * out.y};
    }
};

// A straight piece of a board's outline wire, or of a channel's edge from
// its point `index` to the next.
struct Piece
{
    OutlinePoint a;
    OutlinePoint b;
    int board = -1;
    int channel = -1;
    int index = -1; // the board's wire, or the channel edge's point
};

// A piece in a tab's axes.
struct LocalPiece
{
    double ua, va, ub, vb;
    int piece;
};

// Where a line across a tab, at u, meets a piece.
struct Crossing
{
    double v;
    int piece;
    double share; // from the piece's start
};

// A place on a board's edge where a tab may start.
struct Candidate
{
    TabFrame frame; // the tab's axes, were it placed here
    double along; // where along its side of the box
    double bend; // how much shorter than the tab its edge's chord is, in mm
};

// Where the lines across a tab that probe what it crosses lie: `reach` to
// either side of its middle, its own sides among them.
QVector<double> probesOf(double half, double reach)
{
    QVector<double> probes {-half, half, reach};
    for (double u = -reach; u < reach - tolerance; u += probeStep)
        probes.append(u);
    std::sort(probes.begin(), probes.end());
    return probes;
}

class Planner
{
public:
    Planner(const QVector<TabbedBoard> &boards, const QVector<ChannelEdge> &channels,
            const TabArea &area, const FrameSettings &settings)
        : boards(boards)
        , channels(channels)
        , area(area)
        , settings(settings)
        , width(settings.tabWidth)
        , half(width / 2)
    {
        for (int board = 0; board < boards.size(); ++board) {
            const QVector<OutlineWire> &wires = boards.at(board).wires;
            for (int wire = 0; wire < wires.size(); ++wire) {
                const QVector<OutlinePoint> path = wirePath(wires.at(wire));
                for (int i = 1; i < path.size(); ++i)
                    addPiece({path.at(i - 1), path.at(i), board, -1, wire});
            }
            copper.append(BoxGrid());
            for (int i = 0; i < boards.at(board).copper.size(); ++i)
                copper.last().insert(i, boards.at(board).copper.at(i).bounds());
            candidates.append(candidatesOf(boards.at(board)));
        }
        for (int channel = 0; channel < channels.size(); ++channel) {
            const ChannelEdge &edge = channels.at(channel);
            for (int i = 0; i < edge.size(); ++i)
                addPiece({edge.at(i), edge.at((i + 1) % edge.size()), -1, channel, i});
        }
    }

    QVector<Tab> plan()
    {
        for (int board = 0; board < boards.size(); ++board) {
            for (Side side : {Side::Left, Side::Right, Side::Bottom, Side::Top})
                planSide(board, side);
        }
        return tabs;
    }

private:
    void addPiece(const Piece &piece)
    {
        grid.insert(pieces.size(),
                    {std::min(piece.a.x, piece.b.x), std::max(piece.a.x, piece.b.x),
                     std::min(piece.a.y, piece.b.y), std::max(piece.a.y, piece.b.y)});
        pieces.append(piece);
    }

    // Every place along the board's edges, a probe step apart, with the
    // direction square to the edge there: to the chord from half a tab
    // before it to half a tab after, so that a curve or a corner leans the
    // tab no more than its edge does.
    QVector<Candidate> candidatesOf(const TabbedBoard &board) const
    {
        const OutlinePoint centre {(board.box.minX + board.box.maxX) / 2,
                                   (board.box.minY + board.box.maxY) / 2};
        QVector<Candidate> places;
        for (const OutlineChain &chain : OutlineChain::of(board.wires)) {
            // A crafted board may draw an edge no panel holds.
            if (!(chain.length() >= width && chain.length() <= longestEdge))
                continue;
            const double start = chain.isClosed() ? 0.0 : half;
            const double end = chain.isClosed() ? chain.length() : chain.length() - half;
            for (double at = start; at < end + tolerance; at += probeStep) {
                const OutlinePoint before = chain.pointAt(at - half);
                const OutlinePoint after = chain.pointAt(at + half);
                const double chord = distance(before, after);
                if (chord < half)
                    continue;
                const OutlinePoint across {(after.x - before.x) / chord,
                                           (after.y - before.y) / chord};
                const OutlinePoint point = chain.pointAt(at);
                OutlinePoint out {across.y, -across.x};
                const bool flip = chain.isClosed()
                        ? !chain.isCounterclockwise()
                        : dot(out, {point.x - centre.x, point.y - centre.y}) < 0;
                if (flip)
                    out = {-out.x, -out.y};
                const Side side = sideOf(out);
                places.append({{point, across, out},
                               isVertical(side) ? point.y : point.x,
                               width - chord});
            }
        }
        return places;
    }

    void planSide(int board, Side side)
    {
        const OutlineBox &box = boards.at(board).box;
        const double start = isVertical(side) ? box.minY : box.minX;
        const double length = (isVertical(side) ? box.maxY : box.maxX) - start;
        const int wanted = std::max(1, int(std::lround(length / tabSpacing)));
        const int have = int(std::count_if(tabs.cbegin(), tabs.cend(), [&](const Tab &tab) {
            return tab.far.board == board && sideOf({-tab.outward.x, -tab.outward.y}) == side;
        }));
        QVector<const Candidate *> places;
        for (const Candidate &candidate : candidates.at(board)) {
            if (sideOf(candidate.frame.out) == side)
                places.append(&candidate);
        }
        for (int i = have; i < wanted; ++i) {
            const double ideal = start + (i + 0.5) * length / wanted;
            // Straight places first: a tab across a corner is the last resort.
            const auto cost = [ideal](const Candidate *place) {
                return std::abs(place->along - ideal) + bendCost * place->bend;
            };
            std::stable_sort(
                    places.begin(), places.end(),
                    [&cost](const Candidate *a, const Candidate *b) { return cost(a) < cost(b); });
            for (const Candidate *place : std::as_const(places)) {
                if (std::optional<Tab> tab = tabAt(board, *place)) {
                    tabs.append(*tab);
                    break;
                }
            }
        }
    }

    // The pieces near a tab, in its axes: `reach` to either side of its
    // middle, from `depth` inside the board to `far` out.
    QVector<LocalPiece> localPieces(const TabFrame &frame, double reach, double depth,
                                    double far) const
    {
        BoxBuilder around;
        for (OutlinePoint corner : {frame.at(-reach, -depth), frame.at(reach, -depth),
                                    frame.at(-reach, far), frame.at(reach, far)})
            around.add(corner);
        QVector<LocalPiece> local;
        for (int id : grid.near(around.box())) {
            const Piece &piece = pieces.at(id);
            local.append(
                    {frame.u(piece.a), frame.v(piece.a), frame.u(piece.b), frame.v(piece.b), id});
        }
        return local;
    }

    // Where the line across the tab at u meets the pieces; an end shared by
    // two pieces counts once.
    static QVector<Crossing> crossings(const QVector<LocalPiece> &local, double u)
    {
        QVector<Crossing> found;
        for (const LocalPiece &piece : local) {
            const bool meets = (piece.ua <= u && u < piece.ub) || (piece.ub <= u && u < piece.ua);
            if (!meets)
                continue;
            const double share = (u - piece.ua) / (piece.ub - piece.ua);
            found.append({piece.va + share * (piece.vb - piece.va), piece.piece, share});
        }
        return found;
    }

    std::optional<Tab> tabAt(int board, const Candidate &place) const
    {
        const double reach = half + edgeMargin;
        const TabFrame &frame = place.frame;
        const QVector<LocalPiece> local = localPieces(frame, reach + probeStep, width + band,
                                                      2 * area.channel + lengthTolerance + width);
        const QVector<double> probes = probesOf(half, reach);

        // Most places fail at once: the middle of the tab must be the
        // board's outermost point there.
        const std::optional<double> middle = outermost(local, 0.0, board);
        if (!middle || std::abs(*middle) > band)
            return std::nullopt;
        // The board's edge: the outermost it reaches on every probe, bowing
        // or leaning no more than allowed, and the only piece of the board a
        // band below that.
        QVector<double> outer;
        for (double u : probes) {
            const std::optional<double> edge = outermost(local, u, board);
            if (!edge)
                return std::nullopt;
            outer.append(*edge);
        }
        const auto [lowest, highest] = std::minmax_element(outer.cbegin(), outer.cend());
        if (*highest - *lowest > mostBow * width)
            return std::nullopt;
        const double nearLow = *lowest - band;
        for (double u : probes) {
            if (countCrossings(local, u, board, nearLow, *highest + tolerance) != 1)
                return std::nullopt;
        }

        // What the tab crosses to: one channel's edge or one neighbour,
        // beyond the board's edge on every probe within the tab, no farther
        // than a tab may reach.
        const std::optional<Piece> target = crossedTo(local, probes, outer);
        if (!target)
            return std::nullopt;

        std::optional<TabEnd> near = boardEnd(board, frame, local, nearLow, *highest + band, -1);
        if (!near)
            return std::nullopt;
        std::optional<TabEnd> far;
        if (target->board >= 0) {
            const std::optional<double> farHigh = farEdgeHigh(local, probes, outer, target->board);
            if (farHigh)
                far = boardEnd(target->board, frame, local, *lowest, *farHigh + band, 1);
        } else {
            far = channelEnd(target->channel, frame, local, probes, outer);
        }
        if (!far || crossesOtherTabs(*near, *far))
            return std::nullopt;
        return Tab {frame.out, *near, *far};
    }

    std::optional<double> outermost(const QVector<LocalPiece> &local, double u, int board) const
    {
        std::optional<double> found;
        for (const Crossing &crossing : crossings(local, u)) {
            if (pieces.at(crossing.piece).board == board)
                found = std::max(found.value_or(crossing.v), crossing.v);
        }
        return found;
    }

    int countCrossings(const QVector<LocalPiece> &local, double u, int board, double low,
                       double high) const
    {
        QVector<double> depths;
        for (const Crossing &crossing : crossings(local, u)) {
            if (pieces.at(crossing.piece).board == board && crossing.v >= low
                && crossing.v <= high) {
                const bool again = std::any_of(depths.cbegin(), depths.cend(), [&](double v) {
                    return std::abs(v - crossing.v) < tolerance;
                });
                if (!again)
                    depths.append(crossing.v);
            }
        }
        return depths.size();
    }

    // The first piece beyond the board's edge on each probe within the tab,
    // if all of them belong to one channel's edge or one neighbour, each
    // across no longer than a tab may be.
    std::optional<Piece> crossedTo(const QVector<LocalPiece> &local, const QVector<double> &probes,
                                   const QVector<double> &outer) const
    {
        std::optional<Piece> target;
        for (int i = 0; i < probes.size(); ++i) {
            if (std::abs(probes.at(i)) > half + tolerance)
                continue; // outside the tab's own width
            std::optional<Crossing> first;
            for (const Crossing &crossing : crossings(local, probes.at(i))) {
                if (crossing.v > outer.at(i) + tolerance && (!first || crossing.v < first->v))
                    first = crossing;
            }
            if (!first)
                return std::nullopt;
            const Piece &met = pieces.at(first->piece);
            if (target && (met.board != target->board || met.channel != target->channel))
                return std::nullopt;
            // Square to the board's edge where it leans across the tab.
            const int before = std::max(0, i - 1);
            const int after = std::min(int(probes.size()) - 1, i + 1);
            const double slope = (outer.at(after) - outer.at(before))
                    / std::max(tolerance, probes.at(after) - probes.at(before));
            const double length = (first->v - outer.at(i)) / std::hypot(1.0, slope);
            // Two channels to a neighbour, where theirs merge; one to the material.
            const double longest = (met.board >= 0 ? 2 : 1) * area.channel + lengthTolerance;
            if (length < leastChannel || length > longest)
                return std::nullopt;
            target = met;
        }
        return target;
    }

    // The deepest the neighbour's edge lies across the tab, if it is met on
    // every probe, bows no more than the board's own may, and is the only
    // piece of the neighbour a band beyond that.
    std::optional<double> farEdgeHigh(const QVector<LocalPiece> &local,
                                      const QVector<double> &probes, const QVector<double> &outer,
                                      int neighbour) const
    {
        QVector<double> nearest;
        for (int i = 0; i < probes.size(); ++i) {
            std::optional<double> first;
            for (const Crossing &crossing : crossings(local, probes.at(i))) {
                if (pieces.at(crossing.piece).board == neighbour
                    && crossing.v > outer.at(i) + tolerance)
                    first = std::min(first.value_or(crossing.v), crossing.v);
            }
            if (!first)
                return std::nullopt;
            nearest.append(*first);
        }
        const auto [lowest, highest] = std::minmax_element(nearest.cbegin(), nearest.cend());
        if (*highest - *lowest > mostBow * width)
            return std::nullopt;
        for (int i = 0; i < probes.size(); ++i) {
            if (countCrossings(local, probes.at(i), neighbour, outer.at(i) + tolerance,
                               *highest + band)
                != 1)
                return std::nullopt;
        }
        return *highest;
    }

    // Where the tab meets `board`'s edge: the stretches of its wires between
    // the tab's sides at depths from `low` to `high`, cut where the sides
    // meet them, and the mouse bites along them on the board's side
    // (`inward`: -1 below the edge, +1 above it).
    std::optional<TabEnd> boardEnd(int board, const TabFrame &frame,
                                   const QVector<LocalPiece> &local, double low, double high,
                                   int inward) const
    {
        std::set<int> wires;
        for (const LocalPiece &piece : local) {
            if (pieces.at(piece.piece).board == board)
                wires.insert(pieces.at(piece.piece).index);
        }
        TabEnd end;
        end.board = board;
        int firsts = 0;
        int seconds = 0;
        QVector<OutlinePoint> edge;
        for (int index : wires) {
            const OutlineWire &wire = boards.at(board).wires.at(index);
            for (const WireCut &cut : cutsOf(wire, index, frame, low, high)) {
                for (const auto &[share, text] :
                     {std::make_pair(cut.from, cut.fromText), std::make_pair(cut.to, cut.toText)}) {
                    const OutlinePoint point = endPoint(wire, share);
                    const double u = frame.u(point);
                    const bool first = std::abs(u + half) < 2 * snapDistance;
                    if (first || std::abs(u - half) < 2 * snapDistance) {
                        ++(first ? firsts : seconds);
                        (first ? end.first : end.second) = point;
                        (first ? end.firstText : end.secondText) = text;
                    }
                }
                edge += wirePath(wirePiece(wire, cut.from, cut.to, cut.fromText, cut.toText), 16);
                end.cuts.append(cut);
            }
        }
        if (firsts != 1 || seconds != 1)
            return std::nullopt;
        std::sort(edge.begin(), edge.end(),
                  [&frame](OutlinePoint a, OutlinePoint b) { return frame.u(a) < frame.u(b); });
        end.bites = bitesAlong(edge, frame, inward);
        if (!keepsOffCopper(board, end.bites))
            return std::nullopt;
        return end;
    }

    // A wire's end where a share is one, else the point on it.
    static OutlinePoint endPoint(const OutlineWire &wire, double share)
    {
        if (share == 0.0)
            return wire.from;
        return share == 1.0 ? wire.to : wirePoint(wire, share);
    }

    static PointText textAt(const OutlineWire &wire, double share)
    {
        if (share == 0.0)
            return {wire.fromX, wire.fromY};
        if (share == 1.0)
            return {wire.toX, wire.toY};
        return pointText(wirePoint(wire, share));
    }

    // The stretches of a wire that lie between the tab's sides, at depths
    // from `low` to `high`.
    QVector<WireCut> cutsOf(const OutlineWire &wire, int index, const TabFrame &frame, double low,
                            double high) const
    {
        const double middle = dot(frame.origin, frame.across);
        QVector<double> shares {0.0, 1.0};
        for (double side : {middle - half, middle + half}) {
            for (double share : wireCrossings(wire, frame.across, side)) {
                if (distance(wirePoint(wire, share), wire.from) < snapDistance)
                    share = 0.0;
                else if (distance(wirePoint(wire, share), wire.to) < snapDistance)
                    share = 1.0;
                shares.append(share);
            }
        }
        std::sort(shares.begin(), shares.end());
        shares.erase(std::unique(shares.begin(), shares.end()), shares.end());
        QVector<WireCut> cuts;
        for (int i = 1; i < shares.size(); ++i) {
            const OutlinePoint middlePoint = wirePoint(wire, (shares.at(i - 1) + shares.at(i)) / 2);
            const double u = frame.u(middlePoint);
            const double v = frame.v(middlePoint);
            if (std::abs(u) >= half || v < low || v > high)
                continue;
            // A stretch that goes on from the last cut lengthens it.
            if (cuts.isEmpty() || cuts.last().to != shares.at(i - 1))
                cuts.append({index, shares.at(i - 1), 1.0, textAt(wire, shares.at(i - 1)), {}});
            cuts.last().to = shares.at(i);
            cuts.last().toText = textAt(wire, shares.at(i));
        }
        return cuts;
    }

    // Holes a pitch apart along the edge (its points in order across the
    // tab), centred on it, each the inset from the edge on the board's side.
    QVector<OutlinePoint> bitesAlong(const QVector<OutlinePoint> &edge, const TabFrame &frame,
                                     int inward) const
    {
        const QVector<OutlinePoint> inset = insetPath(edge, frame, inward);
        QVector<double> lengths {0.0};
        for (int i = 1; i < inset.size(); ++i)
            lengths.append(lengths.last() + distance(inset.at(i - 1), inset.at(i)));
        const double length = lengths.last();
        if (inset.size() < 2 || length < settings.biteDrill)
            return {};
        const int count = int(std::floor((length - settings.biteDrill) / settings.bitePitch)) + 1;
        const double first = (length - (count - 1) * settings.bitePitch) / 2;
        QVector<OutlinePoint> holes;
        int segment = 1;
        for (int i = 0; i < count; ++i) {
            const double at = first + i * settings.bitePitch;
            while (segment < inset.size() - 1 && lengths.at(segment) < at)
                ++segment;
            const double span = lengths.at(segment) - lengths.at(segment - 1);
            const double share = span > 0.0 ? (at - lengths.at(segment - 1)) / span : 0.0;
            holes.append(between(inset.at(segment - 1), inset.at(segment), share));
        }
        return holes;
    }

    // The line the inset inside the edge: each point moved square to its
    // pieces, by more where the edge bends, so that it keeps the inset
    // from both pieces.
    static QVector<OutlinePoint> insetPath(const QVector<OutlinePoint> &edge, const TabFrame &frame,
                                           int inward)
    {
        QVector<OutlinePoint> points;
        for (OutlinePoint point : edge) {
            if (points.isEmpty() || distance(point, points.last()) > tolerance)
                points.append(point);
        }
        QVector<OutlinePoint> normals;
        for (int i = 1; i < points.size(); ++i) {
            const double length = distance(points.at(i - 1), points.at(i));
            OutlinePoint normal {-(points.at(i).y - points.at(i - 1).y) / length,
                                 (points.at(i).x - points.at(i - 1).x) / length};
            if (dot(normal, frame.out) * inward < 0)
                normal = {-normal.x, -normal.y};
            normals.append(normal);
        }
        QVector<OutlinePoint> inset;
        for (int i = 0; i < points.size() && !normals.isEmpty(); ++i) {
            const OutlinePoint before = normals.at(std::max(0, i - 1));
            const OutlinePoint after = normals.at(std::min(int(normals.size()) - 1, i));
            OutlinePoint miter {before.x + after.x, before.y + after.y};
            const double length = std::hypot(miter.x, miter.y);
            const bool hasMiter = length > tolerance;
            miter = hasMiter ? OutlinePoint {miter.x / length, miter.y / length} : after;
            const double reach =
                    hasMiter ? biteInset / std::max(0.5, dot(miter, after)) : biteInset;
            inset.append({points.at(i).x + miter.x * reach, points.at(i).y + miter.y * reach});
        }
        return inset;
    }

    bool keepsOffCopper(int board, const QVector<OutlinePoint> &holes) const
    {
        const TabbedBoard &tabbed = boards.at(board);
        const double reach = settings.biteDrill / 2 + tabbed.clearance;
        for (OutlinePoint hole : holes) {
            const OutlineBox around {hole.x - reach, hole.x + reach, hole.y - reach,
                                     hole.y + reach};
            for (int shape : copper.at(board).near(around)) {
                if (tabbed.copper.at(shape).distanceTo(hole) < reach)
                    return false;
            }
        }
        return true;
    }

    // Where the tab's sides meet the channel's edge; the stretch of the edge
    // between them must lie within the tab.
    std::optional<TabEnd> channelEnd(int channel, const TabFrame &frame,
                                     const QVector<LocalPiece> &local,
                                     const QVector<double> &probes,
                                     const QVector<double> &outer) const
    {
        TabEnd end;
        end.channel = channel;
        for (int i = 0; i < probes.size(); ++i) {
            const bool first = probes.at(i) == -half;
            if (!first && probes.at(i) != half)
                continue;
            std::optional<Crossing> met;
            for (const Crossing &crossing : crossings(local, probes.at(i))) {
                if (pieces.at(crossing.piece).channel == channel
                    && crossing.v > outer.at(i) + tolerance && (!met || crossing.v < met->v))
                    met = crossing;
            }
            if (!met)
                return std::nullopt;
            const Piece &piece = pieces.at(met->piece);
            const OutlinePoint point = between(piece.a, piece.b, met->share);
            (first ? end.first : end.second) = point;
            (first ? end.firstText : end.secondText) = pointText(point);
            (first ? end.firstAt : end.secondAt) = piece.index + met->share;
        }
        const ChannelEdge &edge = channels.at(channel);
        const auto stretch = shorterStretch(edge, end.firstAt, end.secondAt);
        for (int index : pointsWithin(edge, stretch.first, stretch.second)) {
            if (std::abs(frame.u(edge.at(index))) > half + tolerance)
                return std::nullopt;
        }
        return end;
    }

    // Two tabs must leave the router room to pass between them.
    bool crossesOtherTabs(const TabEnd &near, const TabEnd &far) const
    {
        const double gap = std::clamp(area.channel, 1.0, leastTabGap);
        const QVector<OutlinePoint> tab {near.first, near.second, far.second, far.first};
        return std::any_of(tabs.cbegin(), tabs.cend(), [&](const Tab &other) {
            const QVector<OutlinePoint> otherTab {other.near.first, other.near.second,
                                                  other.far.second, other.far.first};
            return polygonDistance(tab, otherTab) < gap;
        });
    }

    const QVector<TabbedBoard> &boards;
    const QVector<ChannelEdge> &channels;
    TabArea area;
    FrameSettings settings;
    double width;
    double half; // of the width, to either side of a tab's middle
    QVector<Piece> pieces;
    BoxGrid grid;
    QVector<BoxGrid> copper;
    QVector<QVector<Candidate>> candidates;
    QVector<Tab> tabs;
};

} // namespace

QVector<Tab> planTabs(const QVector<TabbedBoard> &boards, const QVector<ChannelEdge> &channels,
                      const TabArea &area, const FrameSettings &settings)
{
    return Planner(boards, channels, area, settings).plan();
}

int tabsHolding(const QVector<Tab> &tabs, int board)
{
    return int(std::count_if(tabs.cbegin(), tabs.cend(), [board](const Tab &tab) {
        return tab.near.board == board || tab.far.board == board;
    }));
}
