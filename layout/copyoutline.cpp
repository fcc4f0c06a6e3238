#include "copyoutline.h"

#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace {

const QString plainStart = QStringLiteral("<plain>");
const QString plainEnd = QStringLiteral("</plain>");

// The copies are written one element a line, so the drawing's wires are
// found line by line between the section's tags.
struct Lines
{
    QVector<QStringRef> lines;
    int plainFirst = -1; // the line after <plain>
    int plainLast = -1; // the line of </plain>
};

Lines splitCopy(const QString &copy)
{
    Lines result;
    result.lines = copy.splitRef(QLatin1Char('\n'));
    for (int i = 0; i < result.lines.size(); ++i) {
        const QStringRef trimmed = result.lines.at(i).trimmed();
        if (result.plainFirst < 0 && trimmed == plainStart) {
            result.plainFirst = i + 1;
        } else if (result.plainFirst >= 0 && trimmed == plainEnd) {
            result.plainLast = i;
            break;
        }
    }
    return result;
}

bool readWire(const QStringRef &line, OutlineWire &wire)
{
    const QStringRef trimmed = line.trimmed();
    if (!trimmed.startsWith(QLatin1String("<wire ")))
        return false;
    QXmlStreamReader reader(trimmed.toString());
    reader.readNextStartElement();
    if (reader.hasError())
        return false;
    const QXmlStreamAttributes attributes = reader.attributes();
    if (attributes.value(QLatin1String("layer")) != QLatin1String("20"))
        return false;
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
    return true;
}

// A copy whose drawing is empty gets one to take `extra`.
QString withDrawing(const QString &copy, const QStringList &extra)
{
    const QString empty = QStringLiteral("<plain/>");
    const int at = copy.indexOf(empty);
    if (at < 0 || extra.isEmpty())
        return copy;
    const int lineStart = copy.lastIndexOf(QLatin1Char('\n'), at) + 1;
    const QString indent = copy.mid(lineStart, at - lineStart);
    QString drawing = plainStart + QLatin1Char('\n');
    for (const QString &element : extra)
        drawing += indent + QStringLiteral("    ") + element + QLatin1Char('\n');
    drawing += indent + plainEnd;
    return QString(copy).replace(at, empty.size(), drawing);
}

} // namespace

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

QVector<OutlineWire> drawingOutlineWires(const QString &copy)
{
    QVector<OutlineWire> wires;
    const Lines lines = splitCopy(copy);
    if (lines.plainLast < 0)
        return wires;
    for (int i = lines.plainFirst; i < lines.plainLast; ++i) {
        OutlineWire wire;
        if (readWire(lines.lines.at(i), wire)) {
            wire.line = i;
            wires.append(wire);
        }
    }
    return wires;
}

bool hasBottomParts(const QString &copy)
{
    const int start = copy.indexOf(QLatin1String("<elements>"));
    const int end = copy.indexOf(QLatin1String("</elements>"), start);
    if (start < 0 || end < 0)
        return false;
    const QStringRef elements = copy.midRef(start, end - start);
    const QVector<QStringRef> lines = elements.split(QLatin1Char('\n'));
    return std::any_of(lines.cbegin(), lines.cend(), [](const QStringRef &line) {
        return line.trimmed().startsWith(QLatin1String("<element "))
                && line.contains(QLatin1String(" rot=\"M"));
    });
}

QString editedCopy(const QString &copy, const QVector<int> &droppedLines, const QStringList &extra)
{
    const Lines lines = splitCopy(copy);
    if (lines.plainLast < 0)
        return withDrawing(copy, extra);
    const QStringRef endLine = lines.lines.at(lines.plainLast);
    const QString indent =
            endLine.left(endLine.indexOf(QLatin1Char('<'))).toString() + QStringLiteral("    ");
    QString edited;
    edited.reserve(copy.size() + extra.size() * 96);
    for (int i = 0; i < lines.lines.size(); ++i) {
        if (i == lines.plainLast) {
            for (const QString &element : extra)
                edited += indent + element + QLatin1Char('\n');
        }
        if (droppedLines.contains(i))
            continue;
        edited += lines.lines.at(i);
        if (i + 1 < lines.lines.size())
            edited += QLatin1Char('\n');
    }
    return edited;
}
