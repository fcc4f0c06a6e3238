// SPDX-License-Identifier: GPL-3.0-or-later
#include "outlineshape.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double degree = M_PI / 180.0;

// Andrew's monotone chain. Points that are not finite cannot be ordered, so
// they are kept beside the hull as they are.
std::vector<OutlinePoint> convexHull(std::vector<OutlinePoint> points)
{
    const auto finiteEnd = std::partition(points.begin(), points.end(), [](const OutlinePoint &p) {
        return std::isfinite(p.x) && std::isfinite(p.y);
    });
    const std::vector<OutlinePoint> odd(finiteEnd, points.end());
    points.erase(finiteEnd, points.end());
    std::sort(points.begin(), points.end(), [](const OutlinePoint &a, const OutlinePoint &b) {
        return a.x < b.x || (a.x == b.x && a.y < b.y);
    });
    if (points.size() < 3) {
        points.insert(points.end(), odd.begin(), odd.end());
        return points;
    }
    std::vector<OutlinePoint> hull(2 * points.size());
    std::size_t k = 0;
    for (const OutlinePoint &p : points) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], p) <= 0)
            --k;
        hull[k++] = p;
    }
    for (std::size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(hull[k - 2], hull[k - 1], points[i]) <= 0)
            --k;
        hull[k++] = points[i];
    }
    hull.resize(k - 1);
    hull.insert(hull.end(), odd.begin(), odd.end());
    return hull;
}

// tan(curve / 2), exact for the quarter, half and three-quarter turns that
// round corners and round boards are drawn with, so their extreme points
// land exactly where the drawing puts them.
double halfTurnTangent(double curve)
{
    if (std::abs(curve) == 90.0)
        return curve > 0 ? 1.0 : -1.0;
    if (std::abs(curve) == 180.0)
        return std::numeric_limits<double>::infinity();
    if (std::abs(curve) == 270.0)
        return curve > 0 ? -1.0 : 1.0;
    return std::tan(curve * degree / 2.0);
}

} // namespace

OutlinePoint placed(const PartPlacement &part, OutlinePoint point)
{
    const auto [x, y] = part.map(point.x, point.y);
    return {x, y};
}

void extendRange(double value, double &low, double &high)
{
    if (value > high)
        high = value;
    if (value < low)
        low = value;
}

bool wireArc(double x1, double y1, double x2, double y2, double curve, OutlineArc &arc)
{
    const double dx = x2 - x1;
    const double dy = y2 - y1;
    // A curve of a whole turn or more, or between coinciding ends, has no
    // centre: such a wire counts by its ends like a straight one.
    if (!(std::abs(curve) > 0.0 && std::abs(curve) < 360.0) || (dx == 0.0 && dy == 0.0))
        return false;
    // The centre lies on the chord's perpendicular bisector, left of the
    // chord for a counterclockwise arc of less than half a turn.
    const double lean = 0.5 / halfTurnTangent(curve);
    arc.from = {x1, y1};
    arc.to = {x2, y2};
    arc.centre = {(x1 + x2) / 2.0 - dy * lean, (y1 + y2) / 2.0 + dx * lean};
    arc.sweep = curve;
    return true;
}

void BoxBuilder::add(OutlinePoint point)
{
    const auto take = [](double value, bool &has, double &low, double &high) {
        if (std::isnan(value))
            return;
        if (!has)
            low = high = value;
        has = true;
        extendRange(value, low, high);
    };
    take(point.x, hasX, extents.minX, extents.maxX);
    take(point.y, hasY, extents.minY, extents.maxY);
}

// The ends, and the points due east, north, west and south of the centre
// that the arc passes.
void BoxBuilder::add(const OutlineArc &arc)
{
    add(arc.from);
    add(arc.to);
    const double radius = arc.radius();
    const double start = arc.startAngle() / degree;
    if (!std::isfinite(radius) || !std::isfinite(start))
        return;
    const OutlinePoint quadrants[] = {{arc.centre.x + radius, arc.centre.y},
                                      {arc.centre.x, arc.centre.y + radius},
                                      {arc.centre.x - radius, arc.centre.y},
                                      {arc.centre.x, arc.centre.y - radius}};
    // An extreme point at an end is the end itself, which the drawing gives
    // exactly: the one worked out from the centre may be off by a rounding.
    constexpr double atAnEnd = 1e-9;
    for (int i = 0; i < 4; ++i) {
        const double towards = normalisedAngle(arc.sweep > 0 ? 90.0 * i - start : start - 90.0 * i);
        if (towards > atAnEnd && towards < std::abs(arc.sweep) - atAnEnd)
            add(quadrants[i]);
    }
}

// Its corners, an axis without a range as NaN, which add leaves out.
void BoxBuilder::add(const BoxBuilder &other)
{
    const OutlineBox &box = other.extents;
    add(OutlinePoint {other.hasX ? box.minX : NAN, other.hasY ? box.minY : NAN});
    add(OutlinePoint {other.hasX ? box.maxX : NAN, other.hasY ? box.maxY : NAN});
}

// An empty range stays at 0, so that `extents` is always the box.
void BoxBuilder::moveBy(double dx, double dy)
{
    const double byX = hasX ? dx : 0.0;
    const double byY = hasY ? dy : 0.0;
    extents = {extents.minX + byX, extents.maxX + byX, extents.minY + byY, extents.maxY + byY};
}

void PackageOutline::add(OutlinePoint point)
{
    points.push_back(point);
    // Reduced as it grows, so a package of very many wires is held as
    // little more than its hull.
    if (points.size() >= 2 * hullSize + 4096)
        reducePoints();
}

void PackageOutline::add(const OutlineArc &arc)
{
    arcs.push_back(arc);
}

void PackageOutline::finish()
{
    reducePoints();
    reach = 0.0;
    for (const OutlinePoint &point : points)
        reach = std::max(reach, std::hypot(point.x, point.y));
    for (const OutlineArc &arc : arcs)
        reach = std::max(reach, std::hypot(arc.centre.x, arc.centre.y) + arc.radius());
}

void PackageOutline::reducePoints()
{
    points = convexHull(std::move(points));
    points.shrink_to_fit();
    hullSize = points.size();
}

BoxBuilder PackageOutline::placedBox(const Rotation &rotation) const
{
    const PartPlacement placement {0.0, 0.0, rotation};
    BoxBuilder box;
    for (const OutlinePoint &point : points)
        box.add(placed(placement, point));
    for (const OutlineArc &arc : arcs) {
        // Mirroring turns the arc's sense around.
        box.add(OutlineArc {placed(placement, arc.from), placed(placement, arc.to),
                            placed(placement, arc.centre),
                            rotation.mirror ? -arc.sweep : arc.sweep});
    }
    return box;
}

BoxBuilder PackageOutline::anyRotationBox() const
{
    BoxBuilder box;
    box.add(OutlinePoint {-reach, -reach});
    box.add(OutlinePoint {reach, reach});
    return box;
}
