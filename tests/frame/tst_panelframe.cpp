// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/board/measuredboards.h"
#include "core/run/panelpreview.h"
#include "core/run/panelrun.h"
#include "merge/copyfidelity.h"
#include "merge/paneltesting.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QDomDocument>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

Q_DECLARE_METATYPE(PanelNumbers)

// Panels with rails and tabs, made from real boards, checked as a board
// house would look at them: the outline is one piece that holds every board
// by at least two tabs, every mouse bite is in a tab, and what the rails
// carry stays on the rails. Tabs are short, and the router clears a channel
// around each board, not the whole inside of the rails. Apart from the
// outline the tabs cut, every copy is still its board, moved.
class TestPanelFrame : public QObject
{
    Q_OBJECT

private slots:
    void framedPanelIsOnePiece_data();
    void framedPanelIsOnePiece();
    void settingsOffLeaveThePanelAsItWas();
    void packageOutlineIsRoutedAround();
    void vcutGridIsCutAlongSharedEdges_data();
    void vcutGridIsCutAlongSharedEdges();
};

namespace {

using Polygon = QVector<OutlinePoint>;

struct Wire
{
    OutlinePoint from;
    OutlinePoint to;
    double curve = 0.0;
};

double attribute(const QDomElement &element, const char *name)
{
    return element.attribute(QLatin1String(name)).toDouble();
}

QList<QDomElement> drawingItems(const QDomDocument &panel, const QString &tag)
{
    QList<QDomElement> items;
    const QDomElement plain = panel.documentElement()
                                      .firstChildElement(QStringLiteral("drawing"))
                                      .firstChildElement(QStringLiteral("board"))
                                      .firstChildElement(QStringLiteral("plain"));
    for (QDomElement item = plain.firstChildElement(tag); !item.isNull();
         item = item.nextSiblingElement(tag))
        items.append(item);
    return items;
}

QVector<Wire> outlineWires(const QDomDocument &panel)
{
    QVector<Wire> wires;
    for (const QDomElement &wire : drawingItems(panel, QStringLiteral("wire"))) {
        if (wire.attribute(QStringLiteral("layer")) == QLatin1String("20"))
            wires.append({{attribute(wire, "x1"), attribute(wire, "y1")},
                          {attribute(wire, "x2"), attribute(wire, "y2")},
                          attribute(wire, "curve")});
    }
    return wires;
}

// The points of a wire after its start, arcs followed closely.
Polygon wirePoints(const Wire &wire, bool reversed)
{
    const OutlinePoint from = reversed ? wire.to : wire.from;
    const OutlinePoint to = reversed ? wire.from : wire.to;
    OutlineArc arc;
    if (!wireArc(wire.from.x, wire.from.y, wire.to.x, wire.to.y, wire.curve, arc))
        return {to};
    Polygon points;
    const double radius = std::hypot(arc.from.x - arc.centre.x, arc.from.y - arc.centre.y);
    const double start = std::atan2(from.y - arc.centre.y, from.x - arc.centre.x);
    const double sweep = (reversed ? -arc.sweep : arc.sweep) * M_PI / 180.0;
    for (int i = 1; i < 16; ++i)
        points.append({arc.centre.x + radius * std::cos(start + sweep * i / 16),
                       arc.centre.y + radius * std::sin(start + sweep * i / 16)});
    points.append(to);
    return points;
}

// Wires meet where they write the same numbers: a copy writes an end the
// same wherever it is written, and the frame writes its ends to match.
bool samePoint(OutlinePoint a, OutlinePoint b)
{
    return std::abs(a.x - b.x) < 1e-6 && std::abs(a.y - b.y) < 1e-6;
}

// Follows the wires into closed loops; `error` names the first end that
// meets no other wire, or more than one.
QVector<Polygon> closedLoops(const QVector<Wire> &wires, QString &error)
{
    QVector<bool> used(wires.size());
    QVector<Polygon> loops;
    for (int first = 0; first < wires.size(); ++first) {
        if (used.at(first))
            continue;
        used[first] = true;
        Polygon loop {wires.at(first).from};
        loop += wirePoints(wires.at(first), false);
        while (!samePoint(loop.last(), loop.first())) {
            int next = -1;
            bool reversed = false;
            for (int i = 0; i < wires.size(); ++i) {
                if (used.at(i))
                    continue;
                const bool forward = samePoint(wires.at(i).from, loop.last());
                if (!forward && !samePoint(wires.at(i).to, loop.last()))
                    continue;
                if (next >= 0) {
                    error = QStringLiteral("outline branches at %1 %2")
                                    .arg(loop.last().x)
                                    .arg(loop.last().y);
                    return {};
                }
                next = i;
                reversed = !forward;
            }
            if (next < 0) {
                error = QStringLiteral("outline open at %1 %2")
                                .arg(loop.last().x)
                                .arg(loop.last().y);
                return {};
            }
            used[next] = true;
            loop += wirePoints(wires.at(next), reversed);
        }
        loops.append(loop);
    }
    return loops;
}

bool encloses(const Polygon &polygon, OutlinePoint point)
{
    bool inside = false;
    for (int i = 0, j = polygon.size() - 1; i < polygon.size(); j = i++) {
        const OutlinePoint a = polygon.at(i), b = polygon.at(j);
        if ((a.y > point.y) != (b.y > point.y)
            && point.x < (b.x - a.x) * (point.y - a.y) / (b.y - a.y) + a.x)
            inside = !inside;
    }
    return inside;
}

// Board material is where a point is inside an odd number of loops.
bool isMaterial(const QVector<Polygon> &loops, OutlinePoint point)
{
    int count = 0;
    for (const Polygon &loop : loops)
        count += encloses(loop, point) ? 1 : 0;
    return count % 2 == 1;
}

// Loops that bound material from outside, rather than holes in it.
int outerBoundaries(const QVector<Polygon> &loops)
{
    int outer = 0;
    for (int i = 0; i < loops.size(); ++i) {
        const OutlinePoint a = loops.at(i).at(0), b = loops.at(i).at(1);
        const OutlinePoint probe {(a.x + b.x) / 2, (a.y + b.y) / 2};
        int depth = 0;
        for (int j = 0; j < loops.size(); ++j)
            depth += j != i && encloses(loops.at(j), probe) ? 1 : 0;
        outer += depth % 2 == 0 ? 1 : 0;
    }
    return outer;
}

OutlinePoint middle(const TabEnd &end)
{
    return {(end.first.x + end.second.x) / 2, (end.first.y + end.second.y) / 2};
}

// A point `depth` mm from a tab's end on a board into the board.
OutlinePoint intoBoard(const Tab &tab, const TabEnd &end, double depth)
{
    const double sign = &end == &tab.far ? depth : -depth;
    const OutlinePoint at = middle(end);
    return {at.x + sign * tab.outward.x, at.y + sign * tab.outward.y};
}

// Whether a hole lies across the tab's end on its board from between its
// sides.
bool inTab(OutlinePoint hole, const TabEnd &end)
{
    const double dx = end.second.x - end.first.x, dy = end.second.y - end.first.y;
    const double length = std::hypot(dx, dy);
    const double share = ((hole.x - end.first.x) * dx + (hole.y - end.first.y) * dy) / length;
    return end.board >= 0 && share >= 0.0 && share <= length;
}

// Whether a disc lies wholly on the rails.
bool onRails(OutlinePoint centre, double radius, const PanelNumbers &numbers)
{
    const double f = numbers.frame.frameWidth;
    const bool inPanel = centre.x - radius >= 0 && centre.y - radius >= 0
            && centre.x + radius <= numbers.width && centre.y + radius <= numbers.height;
    return inPanel
            && (centre.x + radius <= f || centre.y + radius <= f
                || centre.x - radius >= numbers.width - f
                || centre.y - radius >= numbers.height - f);
}

// Whether a disc lies in the panel's material.
bool inMaterial(const QVector<Polygon> &loops, OutlinePoint centre, double radius)
{
    for (int i = 0; i < 8; ++i) {
        const double angle = i * M_PI / 4;
        if (!isMaterial(loops,
                        {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)}))
            return false;
    }
    return isMaterial(loops, centre);
}

// The direction of the outline at the point of it nearest `point`.
OutlinePoint edgeDirection(const QVector<Polygon> &outlines, OutlinePoint point)
{
    double nearest = std::numeric_limits<double>::max();
    OutlinePoint direction;
    for (const Polygon &outline : outlines) {
        for (int i = 1; i < outline.size(); ++i) {
            const OutlinePoint a = outline.at(i - 1), b = outline.at(i);
            const double distance = distanceToSegment(point, a, b);
            const double length = std::hypot(b.x - a.x, b.y - a.y);
            if (distance < nearest && length > 0.0) {
                nearest = distance;
                direction = {(b.x - a.x) / length, (b.y - a.y) / length};
            }
        }
    }
    return direction;
}

// How long a tab is, square to the board's edge it leaves: its longer side.
double tabLength(const Tab &tab, const QVector<Polygon> &outlines)
{
    double longest = 0.0;
    for (const auto &[near, far] : {std::make_pair(tab.near.first, tab.far.first),
                                    std::make_pair(tab.near.second, tab.far.second)}) {
        const OutlinePoint edge = edgeDirection(outlines, near);
        const double square = std::abs(edge.x * tab.outward.y - edge.y * tab.outward.x);
        longest = std::max(longest,
                           ((far.x - near.x) * tab.outward.x + (far.y - near.y) * tab.outward.y)
                                   * square);
    }
    return longest;
}

// The farthest a point the router clears inside the rails lies from every
// copy's outline, on a grid of `step` mm.
double farthestRouted(const QVector<Polygon> &loops, const QVector<Polygon> &copyOutlines,
                      const PanelNumbers &numbers, double step)
{
    const double f = numbers.frame.frameWidth;
    double farthest = 0.0;
    for (double x = f + step / 3; x < numbers.width - f; x += step) {
        for (double y = f + step / 3; y < numbers.height - f; y += step) {
            double nearest = std::numeric_limits<double>::max();
            for (const Polygon &outline : copyOutlines) {
                for (int i = 1; i < outline.size(); ++i)
                    nearest = std::min(nearest,
                                       distanceToSegment({x, y}, outline.at(i - 1), outline.at(i)));
            }
            if (nearest > farthest && !isMaterial(loops, {x, y}))
                farthest = nearest;
        }
    }
    return farthest;
}

// Removes one element of `tag` at `at` (with `value` for `key`) from the
// panel's drawing; false when there is none.
bool takeAddition(QDomDocument &panel, const QString &tag, OutlinePoint at, const QString &key,
                  double value)
{
    for (QDomElement item : drawingItems(panel, tag)) {
        // The panel writes a tenth of a micrometre.
        if (std::abs(attribute(item, "x") - at.x) < 1e-4
            && std::abs(attribute(item, "y") - at.y) < 1e-4
            && std::abs(item.attribute(key).toDouble() - value) < 1e-6) {
            item.parentNode().removeChild(item);
            return true;
        }
    }
    return false;
}

// Takes out the outline: the drawing's layer-20 wires, and those a package
// draws with its circles.
void removeOutline(QDomDocument &document)
{
    for (QDomElement wire : drawingItems(document, QStringLiteral("wire"))) {
        if (wire.attribute(QStringLiteral("layer")) == QLatin1String("20"))
            wire.parentNode().removeChild(wire);
    }
    for (const QString &tag : {QStringLiteral("wire"), QStringLiteral("circle")}) {
        const QDomNodeList items = document.elementsByTagName(tag);
        for (int i = items.size() - 1; i >= 0; --i) {
            QDomElement item = items.at(i).toElement();
            if (item.parentNode().nodeName() == QLatin1String("package")
                && item.attribute(QStringLiteral("layer")) == QLatin1String("20"))
                item.parentNode().removeChild(item);
        }
    }
}

// What differs between the panel and its copies once the outline is out of
// both: the frame adds to the outline alone.
QString outlessDifference(QDomDocument &document, const AssembledPanel &panel,
                          const QVector<PanelBoard> &loaded)
{
    removeOutline(document);
    QList<PlacedBoard> placed;
    for (const PanelPlacement &placement : panel.placements) {
        QDomDocument board =
                parseXml(QString::fromUtf8(readWholeFile(loaded.at(placement.board).path)));
        removeOutline(board);
        placed.append({board.toString(), placement.shift.dx, placement.shift.dy});
    }
    return copiesDifference(document, placed);
}

// A board moved by `dx`, `dy`, as the panel holds it.
struct MovedBoard
{
    QVector<Polygon> outline; // its wires, those its parts draw too, each followed closely
    QVector<CopperShape> copper;
    double clearance = 0.0;
};

MovedBoard movedBoardOf(const QString &path, int dx, int dy)
{
    const BoardCopy read = readCopy(readWholeFile(path), dx, dy);
    const DocumentTokens copy = read.tokens();
    MovedBoard moved;
    for (const OutlineWire &wire : drawingOutlineWires(copy) + partOutlineWires(copy).wires)
        moved.outline.append(wirePath(wire));
    const DesignRules rules = DesignRules::of(copy);
    moved.copper = copperOf(copy, rules);
    moved.clearance = copperClearance(rules);
    return moved;
}

double distanceToOutline(const QVector<Polygon> &outline, OutlinePoint point)
{
    double nearest = std::numeric_limits<double>::max();
    for (const Polygon &piece : outline) {
        for (int i = 1; i < piece.size(); ++i)
            nearest = std::min(nearest, distanceToSegment(point, piece.at(i - 1), piece.at(i)));
    }
    return nearest;
}

// The narrowest the routed channel is around a copy, away from its tabs:
// probed a little short of the offset square to each piece of its outline,
// where that point is nearer this piece than any other outline, and so
// ought to be routed.
double narrowestChannel(const QVector<Polygon> &loops, const MovedBoard &copy,
                        const QVector<Polygon> &allOutlines, const QVector<Tab> &tabs,
                        double offset)
{
    double narrowest = offset;
    const double probe = offset - 0.2;
    for (const Polygon &piece : copy.outline) {
        for (int i = 1; i < piece.size(); ++i) {
            const OutlinePoint a = piece.at(i - 1), b = piece.at(i);
            const double length = std::hypot(b.x - a.x, b.y - a.y);
            if (length < 1e-6)
                continue;
            const OutlinePoint mid {(a.x + b.x) / 2, (a.y + b.y) / 2};
            for (int sign : {-1, 1}) {
                const OutlinePoint at {mid.x - sign * probe * (b.y - a.y) / length,
                                       mid.y + sign * probe * (b.x - a.x) / length};
                const bool nearTab = std::any_of(tabs.cbegin(), tabs.cend(), [&](const Tab &tab) {
                    for (OutlinePoint corner :
                         {tab.near.first, tab.near.second, tab.far.first, tab.far.second}) {
                        if (std::hypot(corner.x - at.x, corner.y - at.y) < offset + 1.0)
                            return true;
                    }
                    return false;
                });
                if (nearTab || distanceToOutline(allOutlines, at) < probe - 1e-3
                    || distanceToOutline(copy.outline, at) < probe - 1e-3)
                    continue;
                const OutlinePoint inward {mid.x + sign * 0.2 * (b.y - a.y) / length,
                                           mid.y - sign * 0.2 * (b.x - a.x) / length};
                // Only the side away from the board is to be routed.
                if (!isMaterial(loops, inward))
                    continue;
                if (isMaterial(loops, at))
                    narrowest = std::min(narrowest, probe);
            }
        }
    }
    return narrowest;
}

// The board with each straight outline wire of its drawing drawn as pieces
// in line, none as long as a tab, as a file.
QString splitBoard(const QString &path, const QString &folder)
{
    QDomDocument board = parseXml(QString::fromUtf8(readWholeFile(path)));
    const double piece = 3.0;
    for (QDomElement wire : drawingItems(board, QStringLiteral("wire"))) {
        if (wire.attribute(QStringLiteral("layer")) != QLatin1String("20")
            || attribute(wire, "curve") != 0.0)
            continue;
        const OutlinePoint from {attribute(wire, "x1"), attribute(wire, "y1")};
        const OutlinePoint to {attribute(wire, "x2"), attribute(wire, "y2")};
        const int pieces = int(std::ceil(std::hypot(to.x - from.x, to.y - from.y) / piece));
        for (int i = 1; i < pieces; ++i) {
            const QString x = QString::number(from.x + (to.x - from.x) * i / pieces, 'f', 4);
            const QString y = QString::number(from.y + (to.y - from.y) * i / pieces, 'f', 4);
            QDomElement next = wire.cloneNode().toElement();
            wire.setAttribute(QStringLiteral("x2"), x);
            wire.setAttribute(QStringLiteral("y2"), y);
            next.setAttribute(QStringLiteral("x1"), x);
            next.setAttribute(QStringLiteral("y1"), y);
            wire.parentNode().insertAfter(next, wire);
            wire = next;
        }
    }
    const QString split = folder + QStringLiteral("/split-") + QFileInfo(path).fileName();
    return writeWholeFile(split, board.toString().toUtf8()) ? split : QString();
}

// The board, moved by `dx`, `dy` from its own place, as a file: a panel of
// it alone.
QString movedBoard(const QString &path, int dx, int dy, const QString &folder)
{
    const BoardCopy copy = readCopy(readWholeFile(path), dx, dy);
    const QString moved = folder + QStringLiteral("/moved-") + QFileInfo(path).fileName();
    if (!copy.board || !writeWholeFile(moved, assembled({copy}).text.joined()))
        return QString();
    return moved;
}

// A crafted board as a file: "3x3", nothing but a 3 mm by 3 mm outline;
// "diamond30", a square 30 mm across standing on a corner, every edge
// slanted; "20x12+track", a track 0.3 mm inside its right, top and bottom
// edges, so that only its left edge can take a tab.
QString craftedBoard(const QString &name, const QString &folder)
{
    const QString wire = QStringLiteral("<wire x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" "
                                        "width=\"%5\" layer=\"%6\"/>");
    const auto path = [&](const QVector<OutlinePoint> &points, bool closed, const char *width,
                          const char *layer) {
        QString wires;
        for (int i = 1; i < points.size() + (closed ? 1 : 0); ++i) {
            const OutlinePoint a = points.at(i - 1), b = points.at(i % points.size());
            wires += wire.arg(a.x).arg(a.y).arg(b.x).arg(b.y).arg(QLatin1String(width),
                                                                  QLatin1String(layer));
        }
        return wires;
    };
    QVector<OutlinePoint> outline;
    QString tracks;
    if (name.startsWith(QLatin1String("diamond"))) {
        const double r = name.mid(7).toDouble() / 2;
        outline = {{r, 0}, {2 * r, r}, {r, 2 * r}, {0, r}};
    } else {
        const double w = name.section(QLatin1Char('x'), 0, 0).toDouble();
        const double h =
                name.section(QLatin1Char('x'), 1).section(QLatin1Char('+'), 0, 0).toDouble();
        outline = {{0, 0}, {w, 0}, {w, h}, {0, h}};
        if (name.endsWith(QLatin1String("+track")))
            tracks = QStringLiteral("<signal name=\"S\">")
                    + path({{0.3, 0.3}, {w - 0.3, 0.3}, {w - 0.3, h - 0.3}, {0.3, h - 0.3}}, false,
                           "0.2", "1")
                    + QStringLiteral("</signal>");
    }
    const QString board = QStringLiteral("<eagle><drawing><board><plain>")
            + path(outline, true, "0", "20")
            + QStringLiteral("</plain><libraries/><elements/><signals>") + tracks
            + QStringLiteral("</signals></board></drawing></eagle>");
    const QString file = folder + QStringLiteral("/crafted-") + name + QStringLiteral(".brd");
    return writeWholeFile(file, board.toUtf8()) ? file : QString();
}

} // namespace

void TestPanelFrame::framedPanelIsOnePiece_data()
{
    // "name.brd", "name.brd@dx,dy": moved first, "name.brd@split": its
    // straight outline wires drawn as pieces shorter than a tab; anything
    // else: a crafted board (craftedBoard)
    QTest::addColumn<QStringList>("boards");
    QTest::addColumn<PanelNumbers>("numbers");
    QTest::addColumn<int>("held"); // boards the panel keeps

    PanelNumbers mixed;
    mixed.width = 220;
    mixed.height = 170;
    mixed.offset = 3;
    mixed.frame.frameWidth = 5;
    mixed.frame.tabWidth = 4;
    mixed.frame.fiducials = true;
    mixed.frame.toolingDrill = 2;
    QTest::newRow("snowflake, arcs and mixed sizes")
            << QStringList {QStringLiteral("SnowFlake.brd"),
                            QStringLiteral("MOAC.brd"),
                            QStringLiteral("Qwiic_MP3_Trigger.brd"),
                            QStringLiteral("Adafruit_TB6612.brd"),
                            QStringLiteral("OpenLog.brd"),
                            QStringLiteral("Graphic_LCD_Backpack.brd")}
            << mixed << 6;

    PanelNumbers large = mixed;
    large.width = 300;
    large.height = 300;
    large.frame.tabWidth = 5;
    QTest::newRow("an outline drawn by a part, a slanted outline")
            << QStringList {QStringLiteral("BusPirate-v3.8a-SSOP.brd"), QStringLiteral("diamond30"),
                            QStringLiteral("MOAC.brd")}
            << large << 3;
    QTest::newRow("copper near the edge")
            << QStringList {QStringLiteral("OpenLog.brd"), QStringLiteral("OpenLog.brd")} << large
            << 2;
    // One tab does not hold a board. The panel's own drawing goes to the
    // first board it keeps.
    QTest::newRow("a first board that takes one tab")
            << QStringList {QStringLiteral("20x12+track"), QStringLiteral("MOAC.brd")} << large
            << 1;

    // They leave no hole: the boards after them move up, and the last finds
    // room it had not found beside them.
    PanelNumbers tinyLeftOut = mixed;
    tinyLeftOut.width = 167;
    tinyLeftOut.height = 60;
    QTest::newRow("boards too small for two tabs, early")
            << QStringList {QStringLiteral("3x3"), QStringLiteral("OpenLog.brd"),
                            QStringLiteral("2x3"), QStringLiteral("MOAC.brd"),
                            QStringLiteral("OpenLog.brd")}
            << tinyLeftOut << 3;

    PanelNumbers away = mixed;
    away.width = 200;
    away.height = 150;
    away.frame.tabWidth = 5;
    away.frame.toolingDrill = 3.2;
    away.frame.biteDrill = 0.6;
    away.frame.bitePitch = 1.0;
    QTest::newRow("outlines away from the origin, a board too small for two tabs")
            << QStringList {QStringLiteral("OpenLog.brd@-70,45"),
                            QStringLiteral("SBCONN.brd"),
                            QStringLiteral("MOAC.brd@31,-88"),
                            QStringLiteral("Robotic_Finger_Sensor.brd"),
                            QStringLiteral("SparkFun_RTK_Express.brd"),
                            QStringLiteral("Metro_Mini_328_V2_-_STEMMA_QT.brd")}
            << away << 5;

    PanelNumbers noRails;
    noRails.width = 60;
    noRails.height = 120;
    noRails.offset = 3;
    noRails.frame.tabWidth = 5;
    QTest::newRow("no rails: boards hold each other")
            << QStringList {QStringLiteral("Adafruit_TB6612.brd"),
                            QStringLiteral("Adafruit_TB6612.brd@split"),
                            QStringLiteral("Adafruit_TB6612.brd"),
                            QStringLiteral("Adafruit_TB6612.brd@split")}
            << noRails << 4;

    PanelNumbers wide;
    wide.width = 300;
    wide.height = 200;
    wide.offset = 4;
    wide.frame.frameWidth = 10;
    wide.frame.tabWidth = 6;
    wide.frame.fiducials = true;
    wide.frame.toolingDrill = 2;
    wide.frame.fixedSize = true;
    QTest::newRow("wide rails, long edges with several tabs, edges drawn in pieces, fixed size")
            << QStringList {QStringLiteral("ChairControl.brd"),
                            QStringLiteral("Qwiic_LED_Stick.brd"),
                            QStringLiteral("Qwiic_LED_Stick.brd@split")}
            << wide << 3;
}

namespace {

// The window's picture of a panel is the panel the run makes: its size, each
// copy where the run placed it, the same boards left out for the same
// reasons, and the frame's tabs and holes.
void verifyPreview(const PanelPreview &preview, const PanelRun &run)
{
    const AssembledPanel &panel = run.panel();
    QCOMPARE(QSize(preview.width, preview.height), QSize(panel.width, panel.height));
    QCOMPARE(preview.copies.size(), panel.placements.size());
    for (int i = 0; i < preview.copies.size(); ++i) {
        const PanelPlacement &placement = panel.placements.at(i);
        QCOMPARE(preview.copies.at(i).board, placement.board);
        QCOMPARE(preview.copies.at(i).shift, placement.shift);
        const BoardFootprint &footprint = run.boards().at(placement.board).footprint;
        QCOMPARE(preview.copies.at(i).box.minX, footprint.startX + placement.shift.dx);
        QCOMPARE(preview.copies.at(i).box.maxY,
                 footprint.startY + footprint.height + placement.shift.dy);
    }
    QList<QPair<int, int>> reported;
    for (const PanelProblem &problem : panel.problems) {
        if (problem.kind != PanelProblem::DesignRules)
            reported.append({problem.kind, problem.board});
    }
    QList<QPair<int, int>> shown;
    for (const PanelProblem &problem : preview.problems)
        shown.append({problem.kind, problem.board});
    QCOMPARE(shown, reported);
    QCOMPARE(preview.plan.tabs.size(), run.framePlan().tabs.size());
    QCOMPARE(preview.plan.biteHoles.size(), run.framePlan().biteHoles.size());
    QCOMPARE(preview.plan.channels.size(), run.framePlan().channels.size());
}

} // namespace

void TestPanelFrame::framedPanelIsOnePiece()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QStringList, boards);
    QFETCH(PanelNumbers, numbers);
    QFETCH(int, held);
    QTemporaryDir folder;
    QVector<PanelBoard> loaded;
    for (const QString &board : std::as_const(boards)) {
        const QStringList parts = board.split(QLatin1Char('@'));
        QString path = realBoard(parts.at(0));
        if (!board.endsWith(QLatin1String(".brd")) && parts.size() == 1) {
            path = craftedBoard(board, folder.path());
        } else if (parts.size() == 2 && parts.at(1) == QLatin1String("split")) {
            path = splitBoard(path, folder.path());
        } else if (parts.size() == 2) {
            const QStringList shift = parts.at(1).split(QLatin1Char(','));
            path = movedBoard(path, shift.at(0).toInt(), shift.at(1).toInt(), folder.path());
        }
        const OutlineMeasurement measured = MeasuredBoards().measure(path);
        QVERIFY2(measured.error.isEmpty(), qPrintable(measured.error));
        loaded.append(measuredBoard(path, measured.box));
    }

    PanelRun run(loaded, numbers);
    run.place();
    run.shift();
    const FramePlan plan = run.framePlan();
    run.assemble();
    const AssembledPanel &panel = run.panel();
    QCOMPARE(panel.placements.size(), held);
    verifyPreview(previewPanel(loaded, numbers), run);
    for (const PanelProblem &problem : panel.problems)
        QVERIFY2(problem.kind == PanelProblem::NoTabs || problem.kind == PanelProblem::NoFit
                         || problem.kind == PanelProblem::DesignRules,
                 qPrintable(QString::number(problem.kind)));
    // Each board left out is reported once, in board order.
    QVector<int> reported;
    for (const PanelProblem &problem : panel.problems) {
        if (problem.board >= 0)
            reported.append(problem.board);
    }
    QVERIFY(std::adjacent_find(reported.begin(), reported.end(), std::greater_equal<int>())
            == reported.end());
    QCOMPARE(panel.placements.size() + reported.size(), loaded.size());

    // A board that cannot be held leaves no hole: the others are where they
    // would be had it never been loaded.
    QVector<PanelBoard> heldOnly;
    QVector<int> heldIndex;
    for (int i = 0; i < loaded.size(); ++i) {
        const bool noTabs = std::any_of(
                panel.problems.begin(), panel.problems.end(), [i](const PanelProblem &problem) {
                    return problem.kind == PanelProblem::NoTabs && problem.board == i;
                });
        QCOMPARE(plan.untabbed.contains(i), noTabs);
        if (!noTabs) {
            heldOnly.append(loaded.at(i));
            heldIndex.append(i);
        }
    }
    PanelRun withoutThem(heldOnly, numbers);
    withoutThem.place();
    QCOMPARE(withoutThem.panel().placements.size(), panel.placements.size());
    for (int i = 0; i < panel.placements.size() && plan.spaced.isEmpty(); ++i) {
        const PanelPlacement &placement = withoutThem.panel().placements.at(i);
        QCOMPARE(heldIndex.at(placement.board), panel.placements.at(i).board);
        QCOMPARE(placement.shift, panel.placements.at(i).shift);
    }

    QDomDocument document = parseXml(QString::fromUtf8(panel.text.joined()));
    QString error;
    const QVector<Polygon> loops = closedLoops(outlineWires(document), error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(outerBoundaries(loops), 1);

    const double f = numbers.frame.frameWidth;
    QVector<Polygon> copyOutlines;
    QVector<MovedBoard> copies;
    bool bottomParts = false;
    double right = 0.0, top = 0.0; // the boards' reach
    for (const PanelPlacement &placement : panel.placements) {
        const BoardFootprint &board = loaded.at(placement.board).footprint;
        const double left = board.startX + placement.shift.dx;
        const double bottom = board.startY + placement.shift.dy;
        QVERIFY(left >= f && bottom >= f);
        right = std::max(right, left + board.width);
        top = std::max(top, bottom + board.height);
        int tabs = 0;
        for (const Tab &tab : plan.tabs) {
            for (const TabEnd *end : {&tab.near, &tab.far}) {
                if (end->board != placement.board)
                    continue;
                ++tabs;
                QVERIFY(isMaterial(loops, intoBoard(tab, *end, 1.0)));
                QVERIFY(isMaterial(loops, intoBoard(tab, *end, -0.5))); // the tab itself
            }
        }
        copies.append(movedBoardOf(loaded.at(placement.board).path, placement.shift.dx,
                                   placement.shift.dy));
        copyOutlines += copies.last().outline;
        QVERIFY2(tabs >= 2, qPrintable(loaded.at(placement.board).path));
        bottomParts =
                bottomParts || readWholeFile(loaded.at(placement.board).path).contains(" rot=\"M");
    }
    QVERIFY(right <= panel.width - f && top <= panel.height - f);
    // With rails the panel hugs its boards: the channel and the rails beyond
    // their reach, in whole millimetres, at most the size set.
    const bool hugs = f > 0 && !numbers.frame.fixedSize;
    const double margin = numbers.offset + f - 1e-6;
    QCOMPARE(panel.width,
             hugs ? std::min(numbers.width, int(std::ceil(right + margin))) : numbers.width);
    QCOMPARE(panel.height,
             hugs ? std::min(numbers.height, int(std::ceil(top + margin))) : numbers.height);
    OutlinePoint outer;
    for (const Polygon &loop : loops) {
        for (OutlinePoint point : loop)
            outer = {std::max(outer.x, point.x), std::max(outer.y, point.y)};
    }
    if (f > 0)
        QVERIFY(samePoint(outer, {double(panel.width), double(panel.height)}));
    // From here on the panel is measured as it was made.
    numbers.width = panel.width;
    numbers.height = panel.height;

    // No beams: a tab crosses one channel to the material, or two merged
    // ones to a neighbour, and ends on what it holds to.
    const double tolerance = 1.0;
    for (const Tab &tab : plan.tabs) {
        const double longest = (tab.far.board >= 0 ? 2 : 1) * numbers.offset + tolerance;
        QVERIFY2(tabLength(tab, copyOutlines) <= longest,
                 qPrintable(QStringLiteral("tab at %1 %2 is %3 mm long")
                                    .arg(tab.near.first.x)
                                    .arg(tab.near.first.y)
                                    .arg(tabLength(tab, copyOutlines))));
        QVERIFY(isMaterial(loops, intoBoard(tab, tab.far, -0.5)));
        QVERIFY(isMaterial(loops, intoBoard(tab, tab.far, 0.5)));
    }
    // No wide routed areas: beyond the channels the router clears only
    // what they enclose and material thinner than a channel, which would
    // break off.
    if (f > 0)
        QVERIFY(farthestRouted(loops, copyOutlines, numbers, 1.0)
                <= 2 * numbers.offset + tolerance);

    const FrameSettings &settings = numbers.frame;
    // Every bite lies in a tab, the inset inside a copy's edge.
    for (OutlinePoint hole : plan.biteHoles) {
        const bool held = std::any_of(plan.tabs.cbegin(), plan.tabs.cend(), [&](const Tab &tab) {
            return inTab(hole, tab.near) || inTab(hole, tab.far);
        });
        double nearest = std::numeric_limits<double>::max();
        for (const Polygon &outline : copyOutlines) {
            for (int i = 1; i < outline.size(); ++i)
                nearest = std::min(nearest,
                                   distanceToSegment(hole, outline.at(i - 1), outline.at(i)));
        }
        QVERIFY2(held && std::abs(nearest - 0.25) < 0.01,
                 qPrintable(QStringLiteral("%1 %2: %3 mm from the edge")
                                    .arg(hole.x)
                                    .arg(hole.y)
                                    .arg(nearest)));
    }
    QVERIFY(plan.biteHoles.size() >= 2 * held);
    // No bite comes nearer to a copy's copper than its copper-to-outline
    // distance, and wherever no tab crosses it the channel is the offset
    // wide.
    for (const MovedBoard &copy : std::as_const(copies)) {
        for (OutlinePoint hole : plan.biteHoles) {
            for (const CopperShape &shape : copy.copper)
                QVERIFY2(shape.distanceTo(hole) - settings.biteDrill / 2 >= copy.clearance - 1e-9,
                         qPrintable(QStringLiteral("bite at %1 %2").arg(hole.x).arg(hole.y)));
        }
        if (f > 0)
            QCOMPARE(narrowestChannel(loops, copy, copyOutlines, plan.tabs, numbers.offset),
                     double(numbers.offset));
    }
    // Tooling holes sit 5 mm from the outer edges where the material there is
    // solid, elsewhere in the rails.
    int atFive = 0;
    for (OutlinePoint hole : plan.toolingHoles) {
        QVERIFY(inMaterial(loops, hole, settings.toolingDrill / 2));
        const OutlinePoint five {hole.x < numbers.width / 2.0 ? 5.0 : numbers.width - 5.0,
                                 hole.y < numbers.height / 2.0 ? 5.0 : numbers.height - 5.0};
        if (samePoint(hole, five))
            ++atFive;
        else
            QVERIFY(!inMaterial(loops, five, settings.toolingDrill / 2 + 0.5));
    }
    QVERIFY(plan.toolingHoles.isEmpty() || atFive > 0);
    for (OutlinePoint fiducial : plan.fiducials)
        QVERIFY(onRails(fiducial, 1.0, numbers));
    QCOMPARE(plan.toolingHoles.size(), settings.toolingDrill > 0 ? 4 : 0);
    QCOMPARE(plan.fiducials.size(), settings.fiducials ? 3 : 0);
    QCOMPARE(plan.bottomFiducials, settings.fiducials && bottomParts);
    // Without what the frame added and without outlines, every copy is its
    // board moved: the panel holds every addition, and nothing else is new.
    for (OutlinePoint hole : plan.biteHoles)
        QVERIFY(takeAddition(document, QStringLiteral("hole"), hole, QStringLiteral("drill"),
                             settings.biteDrill));
    for (OutlinePoint hole : plan.toolingHoles)
        QVERIFY(takeAddition(document, QStringLiteral("hole"), hole, QStringLiteral("drill"),
                             settings.toolingDrill));
    for (OutlinePoint fiducial : plan.fiducials) {
        for (int layer = 0; layer < (plan.bottomFiducials ? 4 : 2); ++layer)
            QVERIFY(takeAddition(document, QStringLiteral("circle"), fiducial,
                                 QStringLiteral("radius"), layer % 2 ? 1.0 : 0.5));
    }
    const QString difference = outlessDifference(document, panel, loaded);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

// Settings that add nothing leave the panel byte for byte as without them;
// so do the mouse-bite numbers while tabs are off.
void TestPanelFrame::settingsOffLeaveThePanelAsItWas()
{
    REQUIRE_REAL_BOARDS();
    QVector<PanelBoard> loaded;
    for (const char *name : {"MOAC.brd", "OpenLog.brd", "SnowFlake.brd"}) {
        const QString path = realBoard(QLatin1String(name));
        loaded.append(measuredBoard(path, MeasuredBoards().measure(path).box));
    }
    PanelNumbers numbers;
    numbers.width = 200;
    numbers.height = 120;
    const QByteArray plain = assembleBoards(loaded, numbers).text.joined();
    QVERIFY(!plain.isEmpty());
    numbers.frame.biteDrill = 1.0;
    numbers.frame.bitePitch = 1.5;
    QCOMPARE(assembleBoards(loaded, numbers).text.joined(), plain);
    // A house's check adds nothing to loose boards, but the preview finds
    // what the run finds.
    numbers.frame.house = BoardHouse::Jlcpcb;
    const AssembledPanel checked = assembleBoards(loaded, numbers);
    QCOMPARE(checked.text.joined(), plain);
    const auto limits = [](const QList<PanelProblem> &problems) {
        QList<int> found;
        for (const PanelProblem &problem : problems) {
            if (problem.kind == PanelProblem::HouseLimit)
                found << problem.finding.limit;
        }
        return found;
    };
    QVERIFY(limits(checked.problems).contains(HouseFinding::NarrowRail));
    QCOMPARE(limits(previewPanel(loaded, numbers).problems), limits(checked.problems));
    numbers.frame.frameWidth = 5;
    QVERIFY(assembleBoards(loaded, numbers).text.joined() != plain);
}

// A board whose outline a package draws has no outline wires of its own to
// follow: the channel runs around its box, so that it is never left inside
// the material.
void TestPanelFrame::packageOutlineIsRoutedAround()
{
    REQUIRE_REAL_BOARDS();
    const QString path = realBoard(QStringLiteral("BusPirate-v3.8a-SSOP.brd"));
    const OutlineBox box = MeasuredBoards().measure(path).box;
    PanelNumbers numbers;
    numbers.width = 80;
    numbers.height = 80;
    numbers.offset = 3;
    numbers.frame.frameWidth = 5;
    const AssembledPanel panel = assembleBoards({measuredBoard(path, box)}, numbers);
    QCOMPARE(panel.placements.size(), 1);
    QString error;
    const QVector<Polygon> loops =
            closedLoops(outlineWires(parseXml(QString::fromUtf8(panel.text.joined()))), error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const PanelShift shift = panel.placements.first().shift;
    const double left = box.minX + shift.dx, right = box.maxX + shift.dx;
    const double bottom = box.minY + shift.dy, top = box.maxY + shift.dy;
    const double middleX = (left + right) / 2, middleY = (bottom + top) / 2;
    for (OutlinePoint beside :
         {OutlinePoint {left - 1, middleY}, OutlinePoint {right + 1, middleY},
          OutlinePoint {middleX, bottom - 1}, OutlinePoint {middleX, top + 1}})
        QVERIFY(!isMaterial(loops, beside));
    QVERIFY(isMaterial(loops, {2.5, 2.5}));
}

void TestPanelFrame::vcutGridIsCutAlongSharedEdges_data()
{
    QTest::addColumn<QStringList>("boards");
    QTest::addColumn<PanelNumbers>("numbers");
    // Why the panel took tabs instead, by board; empty: cut.
    QTest::addColumn<QList<int>>("refusals");

    PanelNumbers railed;
    railed.width = 300;
    railed.height = 300;
    railed.frame.frameWidth = 5;
    railed.frame.separation = Separation::VCuts;
    PanelNumbers bare = railed;
    bare.frame.frameWidth = 0;
    PanelNumbers fixed = railed;
    fixed.width = 60;
    fixed.height = 60;
    fixed.frame.fixedSize = true;
    fixed.frame.vcutLayer = 20;
    const QStringList sticks = QVector<QString>(6, QStringLiteral("Qwiic_LED_Stick.brd")).toList();
    const QStringList logs = QVector<QString>(4, QStringLiteral("OpenLog.brd")).toList();
    QTest::newRow("six LED sticks in rails") << sticks << railed << QList<int>();
    QTest::newRow("four OpenLogs, no rails") << logs << bare << QList<int>();
    QTest::newRow("OpenLogs in a fixed panel, cuts on the outline layer")
            << logs << fixed << QList<int>();
    QTest::newRow("a snowflake among them")
            << (logs + QStringList {QStringLiteral("SnowFlake.brd")}) << railed
            << QList<int> {0, 0, 0, 0, PanelProblem::NoVCutShape};
    QTest::newRow("boards of two sizes")
            << QStringList {QStringLiteral("OpenLog.brd"), QStringLiteral("Qwiic_LED_Stick.brd")}
            << railed << QList<int> {0, PanelProblem::NoVCutSize};
}

// Copies set edge to edge are cut along every edge they share and along the
// rails, each cut straight across the whole panel and through no board; the
// panel's outline is its outer edge, and apart from their outlines the
// copies are their boards, moved. A board that cannot be cut so makes the
// whole panel take tabs, and the run says why.
void TestPanelFrame::vcutGridIsCutAlongSharedEdges()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QStringList, boards);
    QFETCH(PanelNumbers, numbers);
    QFETCH(QList<int>, refusals);
    QVector<PanelBoard> loaded;
    for (const QString &board : std::as_const(boards)) {
        const QString path = realBoard(board);
        loaded.append(measuredBoard(path, MeasuredBoards().measure(path).box));
    }
    PanelRun run(loaded, numbers);
    run.place();
    run.shift();
    const FramePlan plan = run.framePlan();
    run.assemble();
    const AssembledPanel &panel = run.panel();
    QCOMPARE(panel.placements.size(), loaded.size());
    QList<int> refused;
    for (const PanelProblem &problem : panel.problems) {
        if (problem.kind == PanelProblem::NoVCutShape || problem.kind == PanelProblem::NoVCutSize)
            refused.append(problem.board);
    }
    for (int board = 0; board < refusals.size(); ++board)
        QCOMPARE(refused.contains(board), refusals.at(board) != 0);
    QVector<OutlineBox> boxes;
    for (const PanelPlacement &placement : panel.placements)
        boxes.append(placedBox(loaded.at(placement.board).footprint, placement.shift));
    // Without rails the panel ends where its last copy does.
    const bool railed = numbers.frame.frameWidth > 0;
    const double reachX = numbers.frame.fixedSize ? numbers.width
            : railed                              ? panel.width
                                                  : boxes.last().maxX;
    const double reachY = numbers.frame.fixedSize ? numbers.height
            : railed                              ? panel.height
                                                  : boxes.last().maxY;
    const auto onPanelEdge = [&](const QDomElement &wire) {
        const auto near = [](double a, double b) {
            return std::abs(a - b) < 1e-6;
        };
        const double x1 = attribute(wire, "x1"), x2 = attribute(wire, "x2");
        const double y1 = attribute(wire, "y1"), y2 = attribute(wire, "y2");
        return (near(x1, x2) && (near(x1, 0) || near(x1, reachX)))
                || (near(y1, y2) && (near(y1, 0) || near(y1, reachY)));
    };
    QDomDocument document = parseXml(QString::fromUtf8(panel.text.joined()));
    QList<QDomElement> cuts;
    const QString layer = QString::number(numbers.frame.vcutLayer);
    for (const QDomElement &wire : drawingItems(document, QStringLiteral("wire"))) {
        if (wire.attribute(QStringLiteral("layer")) == layer && !onPanelEdge(wire))
            cuts.append(wire);
        else if (wire.attribute(QStringLiteral("layer")) == QLatin1String("20"))
            QVERIFY(!refusals.isEmpty() || onPanelEdge(wire));
    }
    if (!refusals.isEmpty()) {
        QVERIFY(cuts.isEmpty() && plan.vcuts.isEmpty());
        QVERIFY(!plan.channels.isEmpty());
        return;
    }
    QCOMPARE(cuts.size(), plan.vcuts.size());
    for (QDomElement cut : std::as_const(cuts)) {
        const bool vertical = attribute(cut, "x1") == attribute(cut, "x2");
        QVERIFY(vertical || attribute(cut, "y1") == attribute(cut, "y2"));
        QCOMPARE(std::abs(attribute(cut, vertical ? "y2" : "x2")
                          - attribute(cut, vertical ? "y1" : "x1")),
                 vertical ? reachY : reachX);
        cut.parentNode().removeChild(cut);
    }
    QString error;
    const QVector<Polygon> loops = closedLoops(outlineWires(document), error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QCOMPARE(loops.size(), 1);

    for (const VCut &cut : plan.vcuts) {
        for (const OutlineBox &box : std::as_const(boxes)) {
            const double low = cut.vertical ? box.minX : box.minY;
            const double high = cut.vertical ? box.maxX : box.maxY;
            QVERIFY(cut.at <= low + 1e-3 || cut.at >= high - 1e-3);
        }
    }
    // Every edge of a copy inside the panel has its cut.
    const auto hasCut = [&](bool vertical, double at) {
        return std::any_of(plan.vcuts.begin(), plan.vcuts.end(), [&](const VCut &cut) {
            return cut.vertical == vertical && std::abs(cut.at - at) < 1e-3;
        });
    };
    for (const OutlineBox &box : std::as_const(boxes)) {
        for (double x : {box.minX, box.maxX})
            QVERIFY(std::abs(x) < 1e-3 || std::abs(x - reachX) < 1e-3 || hasCut(true, x));
        for (double y : {box.minY, box.maxY})
            QVERIFY(std::abs(y) < 1e-3 || std::abs(y - reachY) < 1e-3 || hasCut(false, y));
    }
    for (QDomElement text : drawingItems(document, QStringLiteral("text"))) {
        if (text.attribute(QStringLiteral("layer")) == layer)
            text.parentNode().removeChild(text);
    }
    const QString difference = outlessDifference(document, panel, loaded);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

QTEST_GUILESS_MAIN(TestPanelFrame)
#include "tst_panelframe.moc"
