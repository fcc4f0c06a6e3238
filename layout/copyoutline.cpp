#include "copyoutline.h"

#include <QRegularExpression>

#include <cmath>

namespace {

OutlineWire outlineWire(const DocumentTokens::Attributes &attributes)
{
    OutlineWire wire;
    wire.fromX = attributes.value(QLatin1String("x1")).toString();
    wire.fromY = attributes.value(QLatin1String("y1")).toString();
    wire.toX = attributes.value(QLatin1String("x2")).toString();
    wire.toY = attributes.value(QLatin1String("y2")).toString();
    wire.width = attributes.value(QLatin1String("width")).toString();
    wire.from = {wire.fromX.toDouble(), wire.fromY.toDouble()};
    wire.to = {wire.toX.toDouble(), wire.toY.toDouble()};
    wire.curve = attributes.value(QLatin1String("curve")).toDouble();
    OutlineArc arc;
    wire.straight = !wireArc(wire.from.x, wire.from.y, wire.to.x, wire.to.y, wire.curve, arc);
    return wire;
}

// Calls `visit` with every start tag inside the first element named
// `section` below the copy's root.
template<typename Visit>
void forEachInSection(const DocumentTokens &copy, QLatin1String section, Visit visit)
{
    DocumentTokens::Reader reader(copy);
    int depth = 0;
    int sectionDepth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (sectionDepth)
                visit(reader);
            else if (depth >= 2 && reader.name() == section)
                sectionDepth = depth;
            break;
        case QXmlStreamReader::EndElement:
            if (sectionDepth == depth)
                return;
            --depth;
            break;
        default:
            break;
        }
    }
}

} // namespace

QString frameNumber(double value)
{
    const double rounded = std::round(value * 1e4) / 1e4;
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', 4)
            .remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

PointText pointText(OutlinePoint point)
{
    return {frameNumber(point.x), frameNumber(point.y)};
}

OutlinePoint wirePoint(const OutlineWire &wire, double share)
{
    OutlineArc arc;
    if (!wireArc(wire.from.x, wire.from.y, wire.to.x, wire.to.y, wire.curve, arc))
        return {wire.from.x + share * (wire.to.x - wire.from.x),
                wire.from.y + share * (wire.to.y - wire.from.y)};
    const double radius = std::hypot(arc.from.x - arc.centre.x, arc.from.y - arc.centre.y);
    const double angle = std::atan2(arc.from.y - arc.centre.y, arc.from.x - arc.centre.x)
            + arc.sweep * M_PI / 180.0 * share;
    return {arc.centre.x + radius * std::cos(angle), arc.centre.y + radius * std::sin(angle)};
}

QVector<double> wireCrossings(const OutlineWire &wire, OutlinePoint normal, double offset)
{
    const auto across = [&](OutlinePoint point) {
        return point.x * normal.x + point.y * normal.y;
    };
    OutlineArc arc;
    if (!wireArc(wire.from.x, wire.from.y, wire.to.x, wire.to.y, wire.curve, arc)) {
        const double a = across(wire.from) - offset;
        const double b = across(wire.to) - offset;
        if (a == b || a * b > 0.0)
            return {};
        return {a / (a - b)};
    }
    const double radius = std::hypot(arc.from.x - arc.centre.x, arc.from.y - arc.centre.y);
    const double cosine = (offset - across(arc.centre)) / radius;
    if (!(std::abs(cosine) <= 1.0))
        return {};
    const double start = std::atan2(arc.from.y - arc.centre.y, arc.from.x - arc.centre.x);
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
    piece.fromX = fromText.x;
    piece.fromY = fromText.y;
    piece.toX = toText.x;
    piece.toY = toText.y;
    piece.from = {fromText.x.toDouble(), fromText.y.toDouble()};
    piece.to = {toText.x.toDouble(), toText.y.toDouble()};
    if (!wire.straight)
        piece.curve = wire.curve * (to - from);
    return piece;
}

QVector<OutlinePoint> wirePath(const OutlineWire &wire, int chords)
{
    OutlineArc arc;
    if (!wireArc(wire.from.x, wire.from.y, wire.to.x, wire.to.y, wire.curve, arc))
        return {wire.from, wire.to};
    const double radius = std::hypot(arc.from.x - arc.centre.x, arc.from.y - arc.centre.y);
    const double start = std::atan2(arc.from.y - arc.centre.y, arc.from.x - arc.centre.x);
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
    forEachInSection(copy, QLatin1String("plain"), [&](const DocumentTokens::Reader &reader) {
        const DocumentTokens::Attributes attributes = reader.attributes();
        if (reader.name() != QLatin1String("wire")
            || attributes.value(QLatin1String("layer")) != QLatin1String("20"))
            return;
        wires.append(outlineWire(attributes));
        wires.last().tag = reader.index();
    });
    return wires;
}

bool hasBottomParts(const DocumentTokens &copy)
{
    bool bottom = false;
    forEachInSection(copy, QLatin1String("elements"), [&](const DocumentTokens::Reader &reader) {
        bottom = bottom
                || (reader.name() == QLatin1String("element")
                    && reader.attributes()
                               .value(QLatin1String("rot"))
                               .startsWith(QLatin1Char('M')));
    });
    return bottom;
}
