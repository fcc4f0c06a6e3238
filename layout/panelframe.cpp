#include "panelframe.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace {

// Mouse-bite holes sit this far inside the board's edge, so that breaking
// the tab leaves no stub standing out of the edge.
constexpr double biteInset = 0.25;
// Tooling holes sit this far from the panel's outer edges, where the rails
// are wide enough.
constexpr double toolingDistance = 5.0;
// Fiducials sit this far along the rails from the panel's corners.
constexpr double fiducialDistance = 15.0;
constexpr double fiducialCopper = 1.0;
constexpr double fiducialOpening = 2.0;
// Every feature on a rail keeps this much rail around it.
constexpr double railMargin = 0.5;

// One way to write every coordinate the frame adds, so that two wires that
// meet at a point write it the same.
QString number(double value)
{
    const double rounded = std::round(value * 1e4) / 1e4;
    return QString::number(rounded == 0.0 ? 0.0 : rounded, 'f', 4)
            .remove(QRegularExpression(QStringLiteral("\\.?0+$")));
}

struct TextPoint
{
    QString x;
    QString y;
};

TextPoint textOf(OutlinePoint point)
{
    return {number(point.x), number(point.y)};
}

QString wireElement(const TextPoint &from, const TextPoint &to, const QString &width)
{
    return QStringLiteral("<wire x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" width=\"%5\" "
                          "layer=\"20\"/>")
            .arg(from.x, from.y, to.x, to.y, width);
}

QString holeElement(OutlinePoint at, double drill)
{
    return QStringLiteral("<hole x=\"%1\" y=\"%2\" drill=\"%3\"/>")
            .arg(number(at.x), number(at.y), number(drill));
}

QString discElement(OutlinePoint at, double diameter, int layer)
{
    return QStringLiteral("<circle x=\"%1\" y=\"%2\" radius=\"%3\" width=\"0\" layer=\"%4\"/>")
            .arg(number(at.x), number(at.y), number(diameter / 2))
            .arg(layer);
}

// A straight edge from `from` to `to` that tabs cut: each cut is a stretch
// between two points on it, given by where it starts and ends along it.
struct CutEdge
{
    TextPoint fromText;
    TextPoint toText;
    OutlinePoint from;
    OutlinePoint to;
    QString width;
    // share along the edge -> the cut's two points, nearer one first
    std::map<double, std::pair<OutlinePoint, OutlinePoint>> cuts;

    double shareOf(OutlinePoint point) const
    {
        const double dx = to.x - from.x;
        const double dy = to.y - from.y;
        return ((point.x - from.x) * dx + (point.y - from.y) * dy) / (dx * dx + dy * dy);
    }

    void cut(OutlinePoint a, OutlinePoint b)
    {
        if (shareOf(a) > shareOf(b))
            std::swap(a, b);
        cuts[shareOf(a)] = {a, b};
    }

    // The pieces of the edge the cuts leave.
    QStringList pieces() const
    {
        QStringList wires;
        TextPoint start = fromText;
        for (const auto &cut : cuts) {
            wires << wireElement(start, textOf(cut.second.first), width);
            start = textOf(cut.second.second);
        }
        wires << wireElement(start, toText, width);
        return wires;
    }
};

CutEdge boardEdge(const OutlineWire &wire)
{
    return {{wire.fromX, wire.fromY}, {wire.toX, wire.toY}, wire.from, wire.to, wire.width, {}};
}

CutEdge railEdge(OutlinePoint from, OutlinePoint to)
{
    return {textOf(from), textOf(to), from, to, QStringLiteral("0"), {}};
}

// The rails' inner edges, counterclockwise, indexed by TabSide.
QVector<CutEdge> railEdges(const TabArea &area)
{
    const double f = area.frame;
    const OutlinePoint a {f, f}, b {area.width - f, f}, c {area.width - f, area.height - f},
            d {f, area.height - f};
    QVector<CutEdge> edges(4);
    edges[int(TabSide::Left)] = railEdge(d, a);
    edges[int(TabSide::Right)] = railEdge(b, c);
    edges[int(TabSide::Bottom)] = railEdge(a, b);
    edges[int(TabSide::Top)] = railEdge(c, d);
    return edges;
}

QStringList outerEdge(const TabArea &area)
{
    const TextPoint a = textOf({0, 0}), b = textOf({area.width, 0}),
                    c = textOf({area.width, area.height}), d = textOf({0, area.height});
    const QString width = QStringLiteral("0");
    return {wireElement(a, b, width), wireElement(b, c, width), wireElement(c, d, width),
            wireElement(d, a, width)};
}

// The holes along a tab's end on a board, inside the board's edge.
void appendBites(const TabEnd &end, int outwardSign, bool verticalSide,
                 const FrameSettings &settings, QVector<OutlinePoint> &holes)
{
    const double dx = end.second.x - end.first.x;
    const double dy = end.second.y - end.first.y;
    const double length = std::hypot(dx, dy);
    if (length < settings.biteDrill)
        return;
    // The normal of the edge that points into the board.
    double nx = -dy / length;
    double ny = dx / length;
    const double outwardPart = verticalSide ? nx : ny;
    if (outwardPart * outwardSign > 0) {
        nx = -nx;
        ny = -ny;
    }
    const int count = int(std::floor((length - settings.biteDrill) / settings.bitePitch)) + 1;
    const double first = (length - (count - 1) * settings.bitePitch) / 2;
    for (int i = 0; i < count; ++i) {
        const double share = (first + i * settings.bitePitch) / length;
        holes.append({end.first.x + dx * share + nx * biteInset,
                      end.first.y + dy * share + ny * biteInset});
    }
}

QVector<OutlinePoint> bitesOf(const QVector<Tab> &tabs, const FrameSettings &settings)
{
    QVector<OutlinePoint> holes;
    for (const Tab &tab : tabs) {
        appendBites(tab.near, outward(tab.side), isVertical(tab.side), settings, holes);
        if (tab.far.board >= 0)
            appendBites(tab.far, -outward(tab.side), isVertical(tab.side), settings, holes);
    }
    return holes;
}

// One hole in each corner of the rails, `toolingDistance` from the outer
// edges, or in the middle of narrower rails.
QVector<OutlinePoint> toolingHoles(const TabArea &area)
{
    const double inset = std::min(toolingDistance, area.frame / 2.0);
    return {{inset, inset},
            {area.width - inset, inset},
            {area.width - inset, area.height - inset},
            {inset, area.height - inset}};
}

// Three fiducials, the fourth corner left out so that the panel's
// orientation shows: two on the bottom rail, one on the top rail's left.
QVector<OutlinePoint> fiducialPlaces(const TabArea &area)
{
    const double middle = area.frame / 2.0;
    return {{fiducialDistance, middle},
            {area.width - fiducialDistance, middle},
            {fiducialDistance, area.height - middle}};
}

bool railTakes(const TabArea &area, double diameter)
{
    return area.frame > 0 && diameter + 2 * railMargin <= area.frame
            && area.width >= 2 * fiducialDistance + diameter;
}

} // namespace

FramePlan planFrame(const QVector<TabbedBoard> &boards, const TabArea &area,
                    const FrameSettings &settings)
{
    FramePlan plan;
    if (settings.hasTabs()) {
        QVector<int> held(boards.size());
        std::iota(held.begin(), held.end(), 0);
        while (true) {
            QVector<TabbedBoard> remaining;
            for (int index : std::as_const(held))
                remaining.append(boards.at(index));
            QVector<Tab> tabs = planTabs(remaining, area, settings.tabWidth);
            QVector<int> stillHeld;
            for (int i = 0; i < held.size(); ++i) {
                if (tabsHolding(tabs, i) >= 2)
                    stillHeld.append(held.at(i));
                else
                    plan.untabbed.append(held.at(i));
            }
            if (stillHeld.size() == held.size()) {
                for (Tab &tab : tabs) {
                    tab.near.board = held.at(tab.near.board);
                    if (tab.far.board >= 0)
                        tab.far.board = held.at(tab.far.board);
                }
                plan.tabs = tabs;
                break;
            }
            held = stillHeld;
        }
        std::sort(plan.untabbed.begin(), plan.untabbed.end());
        plan.biteHoles = bitesOf(plan.tabs, settings);
    }
    if (settings.toolingDrill > 0.0) {
        if (railTakes(area, settings.toolingDrill))
            plan.toolingHoles = toolingHoles(area);
        else
            plan.toolingLeftOut = true;
    }
    if (settings.fiducials) {
        if (railTakes(area, fiducialOpening)) {
            plan.fiducials = fiducialPlaces(area);
        } else {
            plan.fiducialsLeftOut = true;
        }
    }
    return plan;
}

QStringList framedCopies(const QStringList &copies, const QVector<TabbedBoard> &boards,
                         const TabArea &area, const FrameSettings &settings, const FramePlan &plan)
{
    QVector<std::map<int, CutEdge>> boardEdges(boards.size());
    QVector<CutEdge> rails = railEdges(area);
    QStringList sides;
    for (const Tab &tab : plan.tabs) {
        for (const TabEnd *end : {&tab.near, &tab.far}) {
            if (end->board < 0) {
                rails[end->wire].cut(end->first, end->second);
                continue;
            }
            std::map<int, CutEdge> &edges = boardEdges[end->board];
            auto edge = edges.find(end->wire);
            if (edge == edges.end())
                edge = edges.emplace(end->wire,
                                     boardEdge(boards.at(end->board).wires.at(end->wire)))
                               .first;
            edge->second.cut(end->first, end->second);
        }
        const QString width = QStringLiteral("0");
        sides << wireElement(textOf(tab.near.first), textOf(tab.far.first), width)
              << wireElement(textOf(tab.near.second), textOf(tab.far.second), width);
    }

    QStringList additions;
    if (area.frame > 0) {
        additions << outerEdge(area);
        for (const CutEdge &rail : std::as_const(rails))
            additions << rail.pieces();
    }
    QStringList framed;
    for (int i = 0; i < copies.size(); ++i) {
        QVector<int> dropped;
        for (const auto &edge : boardEdges.at(i)) {
            dropped.append(boards.at(i).wires.at(edge.first).line);
            additions << edge.second.pieces();
        }
        framed.append(dropped.isEmpty() ? copies.at(i) : editedCopy(copies.at(i), dropped, {}));
    }
    additions << sides;
    for (OutlinePoint hole : plan.biteHoles)
        additions << holeElement(hole, settings.biteDrill);
    for (OutlinePoint hole : plan.toolingHoles)
        additions << holeElement(hole, settings.toolingDrill);
    for (OutlinePoint fiducial : plan.fiducials) {
        additions << discElement(fiducial, fiducialCopper, 1)
                  << discElement(fiducial, fiducialOpening, 29);
        if (plan.bottomFiducials)
            additions << discElement(fiducial, fiducialCopper, 16)
                      << discElement(fiducial, fiducialOpening, 30);
    }
    // The panel's own drawing travels in the first copy the panel keeps.
    for (int i = 0; i < framed.size(); ++i) {
        if (plan.untabbed.contains(i))
            continue;
        if (!additions.isEmpty())
            framed[i] = editedCopy(framed.at(i), {}, additions);
        break;
    }
    return framed;
}
