// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "partplacement.h"

#include <cmath>
#include <vector>

// The box of a board's outline as it is drawn on the board. A board without
// outline has the empty box at the origin.
struct OutlineBox
{
    double minX = 0.0;
    double maxX = 0.0;
    double minY = 0.0;
    double maxY = 0.0;

    // A range from an infinity to itself, of a crafted board, is 0 wide.
    double width() const { return maxX == minX ? 0.0 : maxX - minX; }
    double height() const { return maxY == minY ? 0.0 : maxY - minY; }
};

// Widens [low, high] to take in `value`. Both tests are strict, so a NaN
// changes nothing.
void extendRange(double value, double &low, double &high);

struct OutlinePoint
{
    double x = 0.0;
    double y = 0.0;
};

// The point `share` of the way from `a` to `b`.
inline OutlinePoint between(OutlinePoint a, OutlinePoint b, double share)
{
    return {a.x + share * (b.x - a.x), a.y + share * (b.y - a.y)};
}

// (a - o) x (b - o): positive where o, a, b turn counterclockwise.
inline double cross(OutlinePoint o, OutlinePoint a, OutlinePoint b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// Where `part` puts a point drawn in its package.
OutlinePoint placed(const PartPlacement &part, OutlinePoint point);

// A wire drawn as an arc, or a circle (a sweep of 360 degrees from `from`
// back to it). A positive sweep runs counterclockwise.
struct OutlineArc
{
    OutlinePoint from;
    OutlinePoint to;
    OutlinePoint centre;
    double sweep = 0.0;

    double radius() const { return std::hypot(from.x - centre.x, from.y - centre.y); }
    // In radians, counterclockwise from the centre's east.
    double startAngle() const { return std::atan2(from.y - centre.y, from.x - centre.x); }
};

// The arc of a wire from (x1, y1) to (x2, y2) whose "curve" is `curve`
// degrees; nothing when the wire is straight (or the curve makes no arc).
bool wireArc(double x1, double y1, double x2, double y2, double curve, OutlineArc &arc);

// Collects the box of outline primitives, which may come in any order. Until
// the first one it is empty.
class BoxBuilder
{
public:
    void add(OutlinePoint point);
    void add(const OutlineArc &arc);
    void add(const BoxBuilder &other);
    void moveBy(double dx, double dy);
    OutlineBox box() const { return extents; }

private:
    bool hasX = false;
    bool hasY = false;
    OutlineBox extents;
};

// The outline primitives a package draws, in package coordinates. The points
// are kept as their convex hull: under any rotation and mirroring its box is
// that of all the points, so a package of many wires costs no more than its
// hull each time a part places it.
class PackageOutline
{
public:
    void add(OutlinePoint point);
    void add(const OutlineArc &arc);
    // Call once all primitives are in, before the boxes are asked for.
    void finish();
    bool isEmpty() const { return points.empty() && arcs.empty(); }
    // How many primitives an exact box under a placement looks at.
    std::size_t cost() const { return points.size() + arcs.size(); }

    // The exact box of the primitives as `rotation` turns and mirrors them
    // about the package origin.
    BoxBuilder placedBox(const Rotation &rotation) const;
    // A box that holds the primitives under every rotation: the square
    // around the disc about the origin that reaches the farthest of them.
    BoxBuilder anyRotationBox() const;

private:
    void reducePoints();

    std::vector<OutlinePoint> points;
    std::vector<OutlineArc> arcs;
    std::size_t hullSize = 0; // the points' count when they were last reduced
    double reach = 0.0; // the farthest any primitive gets from the origin
};
