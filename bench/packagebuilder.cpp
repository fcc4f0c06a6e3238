#include "packagebuilder.h"

#include <algorithm>
#include <cstdlib>

namespace benchgen {

PackageBuilder::PackageBuilder(const QByteArray &name, const QByteArray &description)
    : out(package.xml)
{
    package.name = name;
    out.open("package", {{"name", name}});
    if (!description.isEmpty())
        out.textElement("description", {}, description);
}

void PackageBuilder::wire(Point from, Point to, Length width, int layer, const QByteArray &curve)
{
    reach(from, width / 2);
    reach(to, width / 2);
    out.empty("wire",
              {{"x1", len(from.x)},
               {"y1", len(from.y)},
               {"x2", len(to.x)},
               {"y2", len(to.y)},
               {"width", len(width)},
               {"layer", num(layer)},
               {"curve", curve}});
}

void PackageBuilder::box(Point corner, Point opposite, Length width, int layer)
{
    const Point a = corner;
    const Point b = {opposite.x, corner.y};
    const Point c = opposite;
    const Point d = {corner.x, opposite.y};
    wire(a, b, width, layer);
    wire(b, c, width, layer);
    wire(c, d, width, layer);
    wire(d, a, width, layer);
}

void PackageBuilder::smd(const QByteArray &name, Point at, Length dx, Length dy, int roundness,
                         int quarterTurns)
{
    reach(at, std::max(dx, dy) / 2);
    package.pads.append({name, at, false});
    out.empty("smd",
              {{"name", name},
               {"x", len(at.x)},
               {"y", len(at.y)},
               {"dx", len(dx)},
               {"dy", len(dy)},
               {"layer", "1"},
               {"roundness", roundness ? num(roundness) : QByteArray()},
               {"rot", quarterTurns ? "R" + num(quarterTurns * 90) : QByteArray()}});
}

void PackageBuilder::pad(const QByteArray &name, Point at, Length drill, Length diameter,
                         const QByteArray &shape)
{
    reach(at, diameter / 2);
    package.pads.append({name, at, true});
    out.empty("pad",
              {{"name", name},
               {"x", len(at.x)},
               {"y", len(at.y)},
               {"drill", len(drill)},
               {"diameter", len(diameter)},
               {"shape", shape}});
}

void PackageBuilder::text(Point at, Length size, int layer, const QByteArray &text,
                          const QByteArray &align)
{
    reach(at, size);
    out.textElement("text",
                    {{"x", len(at.x)},
                     {"y", len(at.y)},
                     {"size", len(size)},
                     {"layer", num(layer)},
                     {"font", "vector"},
                     {"ratio", "20"},
                     {"align", align}},
                    text);
}

void PackageBuilder::labels(Length halfHeight)
{
    const Length gap = 0.254_mm;
    text({0, halfHeight + gap}, 0.6096_mm, 25, ">NAME", "bottom-center");
    text({0, -halfHeight - gap}, 0.6096_mm, 27, ">VALUE", "top-center");
}

void PackageBuilder::rectangle(Point corner, Point opposite, int layer)
{
    reach(corner);
    reach(opposite);
    out.empty("rectangle",
              {{"x1", len(corner.x)},
               {"y1", len(corner.y)},
               {"x2", len(opposite.x)},
               {"y2", len(opposite.y)},
               {"layer", num(layer)}});
}

void PackageBuilder::circle(Point centre, Length radius, Length width, int layer)
{
    reach(centre, radius + width / 2);
    out.empty("circle",
              {{"x", len(centre.x)},
               {"y", len(centre.y)},
               {"radius", len(radius)},
               {"width", len(width)},
               {"layer", num(layer)}});
}

void PackageBuilder::hole(Point centre, Length drill)
{
    reach(centre, drill / 2);
    out.empty("hole", {{"x", len(centre.x)}, {"y", len(centre.y)}, {"drill", len(drill)}});
}

void PackageBuilder::polygon(const QVector<Point> &vertices, Length width, int layer)
{
    out.open("polygon", {{"width", len(width)}, {"layer", num(layer)}});
    for (const Point &vertex : vertices) {
        reach(vertex, width / 2);
        out.empty("vertex", {{"x", len(vertex.x)}, {"y", len(vertex.y)}});
    }
    out.close("polygon");
}

Package PackageBuilder::finish()
{
    out.close("package");
    return package;
}

void PackageBuilder::reach(Point point, Length margin)
{
    package.extent =
            std::max({package.extent, std::abs(point.x) + margin, std::abs(point.y) + margin});
}

} // namespace benchgen
