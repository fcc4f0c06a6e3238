// SPDX-License-Identifier: GPL-3.0-or-later
#include "copycopper.h"

#include "copperfit.h"
#include "core/board/copyoutline.h"
#include "core/board/packagelookup.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr double leastClearance = 0.2;
// EAGLE's own copper-to-outline distance, for a board that writes no rules.
constexpr double defaultCopperDimension = 40 * 0.0254;

double numberOf(const DocumentTokens::Attributes &attributes, const char *name,
                double fallback = 0.0)
{
    bool ok = false;
    const double value = attributes.value(QLatin1String(name)).toDouble(&ok);
    return ok && std::isfinite(value) ? value : fallback;
}

bool onCopper(const DocumentTokens::Attributes &attributes)
{
    const int layer = attributes.value(QLatin1String("layer")).toInt();
    return layer >= 1 && layer <= 16;
}

CopperShape stroke(OutlinePoint from, OutlinePoint to, double radius)
{
    return {CopperShape::Stroke, from, to, radius};
}

CopperShape rectangle(OutlinePoint centre, double halfX, double halfY, double angle)
{
    return {CopperShape::Rectangle, centre, {}, 0.0, halfX, halfY, angle};
}

void appendWire(const DocumentTokens::Attributes &attributes, QVector<CopperShape> &copper)
{
    OutlineWire wire;
    wire.from = {numberOf(attributes, "x1"), numberOf(attributes, "y1")};
    wire.to = {numberOf(attributes, "x2"), numberOf(attributes, "y2")};
    wire.curve = numberOf(attributes, "curve");
    const double radius = std::max(0.0, numberOf(attributes, "width")) / 2;
    const QVector<OutlinePoint> path = wirePath(wire, 16);
    for (int i = 1; i < path.size(); ++i)
        copper.append(stroke(path.at(i - 1), path.at(i), radius));
}

// The largest of a drilled object's rings, as EAGLE makes them.
double drilledDiameter(const DesignRules &rules, const QStringList &kinds, double drill,
                       double diameter)
{
    double largest = 0.0;
    for (const QString &kind : kinds)
        largest = std::max(largest, eagle::outerDiameter(rules, kind, drill, diameter));
    return largest;
}

// A circle around a pad or via of `shape`, or the pad itself where a stroke
// or rectangle draws it; in the coordinates it is written in.
CopperShape drilledShape(const QString &shape, OutlinePoint at, double diameter, double angle,
                         const DesignRules &rules)
{
    const double half = diameter / 2;
    const double radians = angle * M_PI / 180.0;
    const OutlinePoint along {std::cos(radians), std::sin(radians)};
    if (shape == QLatin1String("square"))
        return rectangle(at, half, half, angle);
    if (shape == QLatin1String("long")) {
        const double reach = diameter * rules.number(QStringLiteral("psElongationLong"), 100) / 200;
        return stroke({at.x - along.x * reach, at.y - along.y * reach},
                      {at.x + along.x * reach, at.y + along.y * reach}, half);
    }
    if (shape == QLatin1String("offset")) {
        const double reach =
                diameter * rules.number(QStringLiteral("psElongationOffset"), 100) / 100;
        return stroke(at, {at.x + along.x * reach, at.y + along.y * reach}, half);
    }
    // An octagon reaches to the circle around its corners.
    const double corner = shape == QLatin1String("octagon") ? 1.0 / std::cos(M_PI / 8) : 1.0;
    return stroke(at, at, half * corner);
}

// Gathers a copy's copper in one walk through its tokens: the copper of the
// drawing and the signals as written, and the pads and SMDs of every package
// where its parts place it.
class CopperScanner
{
public:
    explicit CopperScanner(const DesignRules &rules)
        : rules(rules)
    { }

    QVector<CopperShape> scan(const DocumentTokens &copy)
    {
        DocumentTokens::Reader reader(copy);
        while (!reader.atEnd()) {
            const QXmlStreamReader::TokenType token = reader.readNext();
            if (token == QXmlStreamReader::StartElement) {
                open.append(reader.name());
                start(reader.name(), reader.attributes());
            } else if (token == QXmlStreamReader::EndElement && !open.isEmpty()) {
                open.removeLast();
            }
        }
        for (const DocumentTokens::Attributes &part : parts) {
            if (const QVector<CopperShape> *shapes = packages.placedBy(part)) {
                const PartPlacement placement {numberOf(part, "x"), numberOf(part, "y"),
                                               parseRotation(part.value(QLatin1String("rot")))};
                for (const CopperShape &shape : *shapes)
                    copper.append(placedShape(shape, placement));
            }
        }
        return copper;
    }

private:
    bool within(const char *name) const
    {
        return std::any_of(open.cbegin(), open.cend() - 1,
                           [name](const QStringRef &tag) { return tag == QLatin1String(name); });
    }

    void start(const QStringRef &name, const DocumentTokens::Attributes &attributes)
    {
        if (name == QLatin1String("library")) {
            library = attributes.value(QLatin1String("name")).toString();
            urn = attributes.value(QLatin1String("urn")).toString();
        } else if (name == QLatin1String("package") && within("library")) {
            packageName = attributes.value(QLatin1String("name")).toString();
        } else if (name == QLatin1String("pad") && within("package")) {
            packages.entry(library, urn, packageName).append(padShape(attributes));
        } else if (name == QLatin1String("smd") && within("package")) {
            packages.entry(library, urn, packageName)
                    .append(rectangle({numberOf(attributes, "x"), numberOf(attributes, "y")},
                                      numberOf(attributes, "dx") / 2,
                                      numberOf(attributes, "dy") / 2,
                                      parseRotation(attributes.value(QLatin1String("rot"))).angle));
        } else if (name == QLatin1String("wire") && !within("libraries") && onCopper(attributes)) {
            appendWire(attributes, copper);
        } else if (name == QLatin1String("via")) {
            const double drill = numberOf(attributes, "drill");
            const double diameter =
                    drilledDiameter(rules, {QStringLiteral("ViaOuter"), QStringLiteral("ViaInner")},
                                    drill, numberOf(attributes, "diameter"));
            copper.append(drilledShape(attributes.value(QLatin1String("shape")).toString(),
                                       {numberOf(attributes, "x"), numberOf(attributes, "y")},
                                       diameter, 0.0, rules));
        } else if (name == QLatin1String("element") && within("elements")) {
            parts.push_back(attributes);
        }
    }

    CopperShape padShape(const DocumentTokens::Attributes &attributes) const
    {
        const double drill = numberOf(attributes, "drill");
        const double diameter = drilledDiameter(
                rules,
                {QStringLiteral("PadTop"), QStringLiteral("PadInner"), QStringLiteral("PadBottom")},
                drill, numberOf(attributes, "diameter"));
        QString shape = eagle::forcedPadShape(
                rules, attributes.value(QLatin1String("first")) == QLatin1String("yes"));
        if (shape.isEmpty())
            shape = attributes.value(QLatin1String("shape")).toString();
        return drilledShape(shape, {numberOf(attributes, "x"), numberOf(attributes, "y")}, diameter,
                            parseRotation(attributes.value(QLatin1String("rot"))).angle, rules);
    }

    static CopperShape placedShape(CopperShape shape, const PartPlacement &placement)
    {
        shape.from = placed(placement, shape.from);
        shape.to = placed(placement, shape.to);
        // Mirroring turns a rectangle's angle the other way; it looks the
        // same half a turn on.
        shape.angle = placement.rotation.mirror ? -(shape.angle + placement.rotation.angle)
                                                : shape.angle + placement.rotation.angle;
        return shape;
    }

    const DesignRules &rules;
    QVector<QStringRef> open;
    QString library;
    QString urn;
    QString packageName;
    PackageLookup<QVector<CopperShape>> packages;
    std::vector<DocumentTokens::Attributes> parts; // read once the libraries are
    QVector<CopperShape> copper;
};

} // namespace

double CopperShape::distanceTo(OutlinePoint point) const
{
    if (kind == Stroke)
        return std::max(0.0, distanceToSegment(point, from, to) - radius);
    const auto [x, y] = turned(point.x - from.x, point.y - from.y, normalisedAngle(-angle));
    return std::hypot(std::max(0.0, std::abs(x) - halfX), std::max(0.0, std::abs(y) - halfY));
}

OutlineBox CopperShape::bounds() const
{
    if (kind == Stroke)
        return {std::min(from.x, to.x) - radius, std::max(from.x, to.x) + radius,
                std::min(from.y, to.y) - radius, std::max(from.y, to.y) + radius};
    const double reach = std::hypot(halfX, halfY);
    return {from.x - reach, from.x + reach, from.y - reach, from.y + reach};
}

QVector<CopperShape> copperOf(const DocumentTokens &copy, const DesignRules &rules)
{
    return CopperScanner(rules).scan(copy);
}

double copperClearance(const DesignRules &rules)
{
    return std::max(leastClearance,
                    rules.length(QStringLiteral("mdCopperDimension"), defaultCopperDimension));
}
