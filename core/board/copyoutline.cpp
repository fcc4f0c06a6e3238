// SPDX-License-Identifier: GPL-3.0-or-later
#include "copyoutline.h"

#include "packagelookup.h"

#include "partplacement.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

bool arcOf(const OutlineWire &wire, OutlineArc &arc)
{
    return wireArc(wire.from.x, wire.from.y, wire.to.x, wire.to.y, wire.curve, arc);
}

// The wire's ends as written, and as the values they read back as.
void setEnds(OutlineWire &wire, const PointText &from, const PointText &to)
{
    wire.fromX = from.x;
    wire.fromY = from.y;
    wire.toX = to.x;
    wire.toY = to.y;
    wire.from = {from.x.toDouble(), from.y.toDouble()};
    wire.to = {to.x.toDouble(), to.y.toDouble()};
}

OutlineWire outlineWire(const DocumentTokens::Attributes &attributes)
{
    const auto text = [&attributes](const char *name) {
        return attributes.value(QLatin1String(name)).toString();
    };
    OutlineWire wire;
    setEnds(wire, {text("x1"), text("y1")}, {text("x2"), text("y2")});
    wire.width = text("width");
    wire.curve = attributes.value(QLatin1String("curve")).toDouble();
    OutlineArc arc;
    wire.straight = !arcOf(wire, arc);
    return wire;
}

bool isOutlinePrimitive(const DocumentTokens::Reader &reader)
{
    return (reader.name() == QLatin1String("wire") || reader.name() == QLatin1String("circle"))
            && reader.attributes().value(QLatin1String("layer")) == QLatin1String("20");
}

struct PackageCircle
{
    OutlinePoint centre;
    double radius = 0.0;
    QString width;
};

// The outline primitives of a package, in package coordinates.
struct PackageDrawing
{
    QVector<OutlineWire> wires;
    QVector<PackageCircle> circles;
    QVector<int> tags;
};

void addPrimitive(PackageDrawing &drawing, const DocumentTokens::Reader &reader,
                  const DocumentTokens::Attributes &attributes)
{
    drawing.tags.append(reader.index());
    if (reader.name() == QLatin1String("wire")) {
        drawing.wires.append(outlineWire(attributes));
        return;
    }
    drawing.circles.append({{attributes.value(QLatin1String("x")).toDouble(),
                             attributes.value(QLatin1String("y")).toDouble()},
                            std::abs(attributes.value(QLatin1String("radius")).toDouble()),
                            attributes.value(QLatin1String("width")).toString()});
}

// The packages of the copy's libraries that draw outline, found as
// outline.cpp finds them.
PackageLookup<PackageDrawing> packageDrawings(const DocumentTokens &copy)
{
    PackageLookup<PackageDrawing> drawings;
    QString library, urn, package; // of the open library and package
    int packageDepth = 0;
    PackageDrawing *open = nullptr; // of the open package, once it draws outline
    const auto visit = [&](const DocumentTokens::Reader &reader, int depth) {
        const DocumentTokens::Attributes attributes = reader.attributes();
        if (depth <= packageDepth) {
            packageDepth = 0;
            open = nullptr;
        }
        if (depth == 1 && reader.name() == QLatin1String("library")) {
            library = attributes.value(QLatin1String("name")).toString();
            urn = attributes.value(QLatin1String("urn")).toString();
        } else if (!packageDepth && depth >= 2 && reader.name() == QLatin1String("package")) {
            packageDepth = depth;
            package = attributes.value(QLatin1String("name")).toString();
        } else if (packageDepth && isOutlinePrimitive(reader)) {
            if (!open)
                open = &drawings.entry(library, urn, package);
            addPrimitive(*open, reader, attributes);
        }
    };
    forEachInSection(copy, QLatin1String("libraries"), visit);
    return drawings;
}

// A wire the frame writes between two board points: its ends are the values
// their texts read back as, so wires meeting at a point meet exactly.
OutlineWire boardWire(OutlinePoint from, OutlinePoint to, double curve, const QString &width)
{
    OutlineWire wire;
    setEnds(wire, pointText(from), pointText(to));
    wire.width = width;
    wire.curve = curve;
    OutlineArc arc;
    wire.straight = !arcOf(wire, arc);
    wire.drawnByPart = true;
    return wire;
}

// Mirroring reverses the sense of an arc.
void appendPlaced(QVector<OutlineWire> &wires, const PackageDrawing &drawing,
                  const PartPlacement &part)
{
    for (const OutlineWire &wire : drawing.wires) {
        wires.append(boardWire(placed(part, wire.from), placed(part, wire.to),
                               part.rotation.mirror ? -wire.curve : wire.curve, wire.width));
    }
    for (const PackageCircle &circle : drawing.circles) {
        const OutlinePoint centre = placed(part, circle.centre);
        const OutlinePoint left {centre.x - circle.radius, centre.y};
        const OutlinePoint right {centre.x + circle.radius, centre.y};
        wires.append(boardWire(left, right, 180.0, circle.width));
        wires.append(boardWire(right, left, 180.0, circle.width));
    }
}

} // namespace

double distanceToSegment(OutlinePoint point, OutlinePoint a, OutlinePoint b)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double lengthSquared = dx * dx + dy * dy;
    const double share = lengthSquared > 0.0
            ? std::clamp(((point.x - a.x) * dx + (point.y - a.y) * dy) / lengthSquared, 0.0, 1.0)
            : 0.0;
    return std::hypot(point.x - a.x - share * dx, point.y - a.y - share * dy);
}

PointText pointText(OutlinePoint point)
{
    return {millimetreText(point.x, MillimetreDigits::Added),
            millimetreText(point.y, MillimetreDigits::Added)};
}

OutlinePoint wirePoint(const OutlineWire &wire, double share)
{
    OutlineArc arc;
    if (!arcOf(wire, arc))
        return between(wire.from, wire.to, share);
    const double radius = arc.radius();
    const double angle = arc.startAngle() + arc.sweep * M_PI / 180.0 * share;
    return {arc.centre.x + radius * std::cos(angle), arc.centre.y + radius * std::sin(angle)};
}

QVector<double> wireCrossings(const OutlineWire &wire, OutlinePoint normal, double offset)
{
    const auto across = [&](OutlinePoint point) {
        return point.x * normal.x + point.y * normal.y;
    };
    OutlineArc arc;
    if (!arcOf(wire, arc)) {
        const double a = across(wire.from) - offset;
        const double b = across(wire.to) - offset;
        if (a == b || a * b > 0.0)
            return {};
        return {a / (a - b)};
    }
    const double cosine = (offset - across(arc.centre)) / arc.radius();
    if (!(std::abs(cosine) <= 1.0))
        return {};
    const double start = arc.startAngle();
    const double direction = std::atan2(normal.y, normal.x);
    const double sweep = arc.sweep * M_PI / 180.0;
    QVector<double> shares;
    for (double angle : {direction + std::acos(cosine), direction - std::acos(cosine)}) {
        double turn = std::fmod((angle - start) * (sweep > 0 ? 1 : -1), 2 * M_PI);
        if (turn < 0)
            turn += 2 * M_PI;
        const double share = turn / std::abs(sweep);
        if (share <= 1.0 && !shares.contains(share))
            shares.append(share);
    }
    return shares;
}

OutlineWire wirePiece(const OutlineWire &wire, double from, double to, const PointText &fromText,
                      const PointText &toText)
{
    OutlineWire piece = wire;
    setEnds(piece, fromText, toText);
    if (!wire.straight)
        piece.curve = wire.curve * (to - from);
    return piece;
}

QVector<OutlinePoint> wirePath(const OutlineWire &wire, int chords)
{
    OutlineArc arc;
    if (!arcOf(wire, arc))
        return {wire.from, wire.to};
    const double radius = arc.radius();
    const double start = arc.startAngle();
    QVector<OutlinePoint> points {arc.from};
    for (int i = 1; i < chords; ++i) {
        const double angle = start + arc.sweep * M_PI / 180.0 * i / chords;
        points.append(
                {arc.centre.x + radius * std::cos(angle), arc.centre.y + radius * std::sin(angle)});
    }
    points.append(arc.to);
    return points;
}

QVector<OutlineWire> drawingOutlineWires(const DocumentTokens &copy)
{
    QVector<OutlineWire> wires;
    forEachInSection(copy, QLatin1String("plain"), [&](const DocumentTokens::Reader &reader, int) {
        if (reader.name() != QLatin1String("wire") || !isOutlinePrimitive(reader))
            return;
        wires.append(outlineWire(reader.attributes()));
        wires.last().tag = reader.index();
    });
    return wires;
}

PartOutline partOutlineWires(const DocumentTokens &copy)
{
    const PackageLookup<PackageDrawing> packages = packageDrawings(copy);
    PartOutline outline;
    QSet<const PackageDrawing *> placedDrawings;
    forEachInSection(
            copy, QLatin1String("elements"), [&](const DocumentTokens::Reader &reader, int) {
                if (reader.name() != QLatin1String("element"))
                    return;
                const DocumentTokens::Attributes attributes = reader.attributes();
                const PackageDrawing *drawing = packages.placedBy(attributes);
                if (!drawing)
                    return;
                const PartPlacement part {attributes.value(QLatin1String("x")).toDouble(),
                                          attributes.value(QLatin1String("y")).toDouble(),
                                          parseRotation(attributes.value(QLatin1String("rot")))};
                appendPlaced(outline.wires, *drawing, part);
                placedDrawings.insert(drawing);
            });
    for (const PackageDrawing *drawing : placedDrawings)
        outline.packageTags += drawing->tags;
    std::sort(outline.packageTags.begin(), outline.packageTags.end());
    return outline;
}

bool hasBottomParts(const DocumentTokens &copy)
{
    bool bottom = false;
    forEachInSection(
            copy, QLatin1String("elements"), [&](const DocumentTokens::Reader &reader, int) {
                if (reader.name() == QLatin1String("element")
                    && reader.attributes().value(QLatin1String("rot")).startsWith(QLatin1Char('M')))
                    bottom = true;
            });
    return bottom;
}
