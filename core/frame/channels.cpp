// SPDX-License-Identifier: GPL-3.0-or-later
#include "channels.h"

#include <polyclipping/clipper.hpp>

#include <cmath>

namespace {

using ClipperLib::cInt;
using ClipperLib::IntPoint;
using ClipperLib::Path;
using ClipperLib::Paths;

// The frame writes a tenth of a micrometre; the geometry works on the same
// grid, in whole units.
constexpr double unitsPerMm = 1e4;
// How far the chords of a grown corner may stray from its arc.
constexpr double arcTolerance = 0.005 * unitsPerMm;
// A board's arcs are followed this closely for the channels.
constexpr int arcChords = 64;

// A crafted board may hold coordinates no panel reaches; the geometry leaves
// them out rather than overflow its integers.
constexpr double farthestMm = 1e6;

bool representable(OutlinePoint point)
{
    return std::abs(point.x) <= farthestMm && std::abs(point.y) <= farthestMm;
}

IntPoint toUnits(OutlinePoint point)
{
    return {cInt(std::llround(point.x * unitsPerMm)), cInt(std::llround(point.y * unitsPerMm))};
}

Path rectangle(double left, double bottom, double right, double top)
{
    return {toUnits({left, bottom}), toUnits({right, bottom}), toUnits({right, top}),
            toUnits({left, top})};
}

Paths grown(const Paths &paths, double by, ClipperLib::EndType ends)
{
    ClipperLib::ClipperOffset offset(2.0, arcTolerance);
    offset.AddPaths(paths, ClipperLib::jtRound, ends);
    Paths result;
    offset.Execute(result, by * unitsPerMm);
    return result;
}

Paths combined(const Paths &subject, const Paths &clip, ClipperLib::ClipType type)
{
    ClipperLib::Clipper clipper;
    clipper.StrictlySimple(true);
    clipper.AddPaths(subject, ClipperLib::ptSubject, true);
    clipper.AddPaths(clip, ClipperLib::ptClip, true);
    Paths result;
    clipper.Execute(type, result, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    return result;
}

// Every board with the channel around it: the band `channel` wide on both
// sides of each outline wire, with whatever the bands enclose (the boards
// themselves, and material that would fall out) filled. A board whose
// outline a package draws has its box routed around instead.
Paths channelled(const QVector<TabbedBoard> &boards, double channel)
{
    Paths wires;
    for (const TabbedBoard &board : boards) {
        if (board.wires.isEmpty() && representable({board.box.minX, board.box.minY})
            && representable({board.box.maxX, board.box.maxY})) {
            const OutlineBox &box = board.box;
            Path around = rectangle(box.minX, box.minY, box.maxX, box.maxY);
            around.push_back(around.front());
            wires.push_back(around);
        }
        for (const OutlineWire &wire : board.wires) {
            Path path;
            for (OutlinePoint point : wirePath(wire, arcChords)) {
                if (representable(point))
                    path.push_back(toUnits(point));
            }
            wires.push_back(path);
        }
    }
    Paths filled;
    for (const Path &contour : grown(wires, channel, ClipperLib::etOpenRound)) {
        if (ClipperLib::Orientation(contour))
            filled.push_back(contour);
    }
    return combined(filled, {}, ClipperLib::ctUnion);
}

ChannelEdge edgeOf(const Path &path)
{
    ChannelEdge edge;
    for (const IntPoint &point : path)
        edge.append({double(point.X) / unitsPerMm, double(point.Y) / unitsPerMm});
    return edge;
}

// The holes of the material's piece that holds the rails. Material the
// channels cut off from the rails would fall out, so it is not kept.
QVector<ChannelEdge> railPieceHoles(const Paths &material)
{
    ClipperLib::Clipper clipper;
    clipper.StrictlySimple(true);
    clipper.AddPaths(material, ClipperLib::ptSubject, true);
    ClipperLib::PolyTree tree;
    clipper.Execute(ClipperLib::ctUnion, tree, ClipperLib::pftNonZero, ClipperLib::pftNonZero);
    const ClipperLib::PolyNode *rails = nullptr;
    for (const ClipperLib::PolyNode *piece : tree.Childs) {
        if (!rails || ClipperLib::Area(piece->Contour) > ClipperLib::Area(rails->Contour))
            rails = piece;
    }
    QVector<ChannelEdge> edges;
    if (!rails)
        return edges;
    for (const ClipperLib::PolyNode *hole : rails->Childs)
        edges.append(edgeOf(hole->Contour));
    return edges;
}

QVector<ChannelEdge> channelEdgesInside(const QVector<TabbedBoard> &boards, const TabArea &area,
                                        const Path &inside)
{
    const Paths routed =
            combined(channelled(boards, area.channel), {inside}, ClipperLib::ctIntersection);
    // The material reaches a channel past the panel's edge, so that opening
    // it never thins the rails themselves.
    const double c = area.channel;
    const Path beyond = rectangle(-c, -c, area.width + c, area.height + c);
    const Paths material = combined({beyond}, routed, ClipperLib::ctDifference);
    // Material thinner than the channel (a wall between two channels, a
    // sliver beside a rail) would break off: an opening by half the channel
    // routes it out with the channels.
    const Paths opened = grown(grown(material, -c / 2, ClipperLib::etClosedPolygon), c / 2,
                               ClipperLib::etClosedPolygon);
    return railPieceHoles(opened);
}

// A place on a channel's edge: the index of a point plus the share of the
// way to the next.
OutlinePoint pointOnEdge(const ChannelEdge &edge, double at)
{
    const int index = int(std::floor(at)) % edge.size();
    const double share = at - std::floor(at);
    return between(edge.at(index), edge.at((index + 1) % edge.size()), share);
}

double stretchLength(const ChannelEdge &edge, double from, double to)
{
    double length = 0.0;
    OutlinePoint previous = pointOnEdge(edge, from);
    for (int index : pointsWithin(edge, from, to)) {
        length += std::hypot(edge.at(index).x - previous.x, edge.at(index).y - previous.y);
        previous = edge.at(index);
    }
    const OutlinePoint end = pointOnEdge(edge, to);
    return length + std::hypot(end.x - previous.x, end.y - previous.y);
}

} // namespace

QVector<ChannelEdge> channelEdges(const QVector<TabbedBoard> &boards, const TabArea &area)
{
    if (area.frame <= 0)
        return {};
    const double f = area.frame;
    const Path inside = rectangle(f, f, area.width - f, area.height - f);
    if (!(area.channel > 0.0))
        return {edgeOf(inside)};
    try {
        return channelEdgesInside(boards, area, inside);
    } catch (const ClipperLib::clipperException &) {
        // Clipper refuses what it cannot compute exactly; routing the whole
        // inside of the rails is always sound.
        return {edgeOf(inside)};
    }
}

bool solidAround(const QVector<ChannelEdge> &edges, OutlinePoint centre, double radius)
{
    for (const ChannelEdge &edge : edges) {
        Path path;
        for (OutlinePoint point : edge)
            path.push_back(toUnits(point));
        if (ClipperLib::PointInPolygon(toUnits(centre), path) != 0)
            return false;
        for (int i = 0; i < edge.size(); ++i) {
            if (distanceToSegment(centre, edge.at(i), edge.at((i + 1) % edge.size())) < radius)
                return false;
        }
    }
    return true;
}

std::pair<double, double> shorterStretch(const ChannelEdge &edge, double a, double b)
{
    if (stretchLength(edge, a, b) <= stretchLength(edge, b, a))
        return {a, b};
    return {b, a};
}

QVector<int> pointsWithin(const ChannelEdge &edge, double from, double to)
{
    const int count = edge.size();
    const auto ahead = [count](double start, double at) {
        const double distance = at - start;
        return distance < 0.0 ? distance + count : distance;
    };
    const double span = ahead(from, to);
    QVector<int> indexes;
    for (int step = 1; step <= count; ++step) {
        const int index = (int(std::floor(from)) + step) % count;
        const double distance = ahead(from, index);
        if (distance <= 0.0 || distance >= span)
            break;
        indexes.append(index);
    }
    return indexes;
}
