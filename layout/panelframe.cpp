#include "panelframe.h"

#include "channels.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numeric>

namespace {

// Mouse-bite holes sit this far inside the board's edge, so that breaking
// the tab leaves no stub standing out of the edge.
constexpr double biteInset = 0.25;
// Tooling holes sit this far from the panel's outer edges, where the
// material there is solid.
constexpr double toolingDistance = 5.0;
// Fiducials sit this far along the rails from the panel's corners.
constexpr double fiducialDistance = 15.0;
constexpr double fiducialCopper = 1.0;
constexpr double fiducialOpening = 2.0;
// Every feature on a rail keeps this much rail around it.
constexpr double railMargin = 0.5;

QString number(double value)
{
    return frameNumber(value);
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
// between two points on it, given by where it starts and ends along it. A
// cut may reach an end of the edge, or take the whole edge.
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

    // The edge's own ends keep the texts the copy writes them with.
    TextPoint textAt(OutlinePoint point) const
    {
        if (point.x == from.x && point.y == from.y)
            return fromText;
        if (point.x == to.x && point.y == to.y)
            return toText;
        return textOf(point);
    }

    // The pieces of the edge the cuts leave.
    QStringList pieces() const
    {
        QStringList wires;
        const auto piece = [&](const TextPoint &start, const TextPoint &end) {
            if (start.x != end.x || start.y != end.y)
                wires << wireElement(start, end, width);
        };
        TextPoint start = fromText;
        for (const auto &cut : cuts) {
            piece(start, textAt(cut.second.first));
            start = textAt(cut.second.second);
        }
        piece(start, toText);
        return wires;
    }
};

CutEdge boardEdge(const OutlineWire &wire)
{
    return {{wire.fromX, wire.fromY}, {wire.toX, wire.toY}, wire.from, wire.to, wire.width, {}};
}

// The part of a board's wire a tab's end takes: between the tab's sides, or
// to the wire's own end where that lies between them.
std::pair<OutlinePoint, OutlinePoint> tabbedPart(const OutlineWire &wire, const TabEnd &end,
                                                 TabSide side)
{
    const auto along = [side](OutlinePoint point) {
        return isVertical(side) ? point.y : point.x;
    };
    const double low = std::min(along(end.first), along(end.second));
    const double high = std::max(along(end.first), along(end.second));
    const OutlinePoint lowSide = along(end.first) < along(end.second) ? end.first : end.second;
    const OutlinePoint highSide = along(end.first) < along(end.second) ? end.second : end.first;
    const auto clamped = [&](OutlinePoint point) {
        if (along(point) < low)
            return lowSide;
        return along(point) > high ? highSide : point;
    };
    return {clamped(wire.from), clamped(wire.to)};
}

// A channel's outer edge with the stretches tabs take out of it.
struct CutChannel
{
    struct Cut
    {
        double from;
        double to;
        OutlinePoint fromPoint;
        OutlinePoint toPoint;
    };
    const ChannelEdge *edge = nullptr;
    std::map<double, Cut> cuts;

    void cut(const TabEnd &end)
    {
        const auto stretch = shorterStretch(*edge, end.firstAt, end.secondAt);
        const bool inOrder = stretch.first == end.firstAt;
        cuts[stretch.first] = {stretch.first, stretch.second, inOrder ? end.first : end.second,
                               inOrder ? end.second : end.first};
    }

    QStringList wires() const
    {
        QStringList wires;
        const QString width = QStringLiteral("0");
        const auto polyline = [&](TextPoint from, const QVector<int> &points, TextPoint to) {
            for (int index : points) {
                const TextPoint next = textOf(edge->at(index));
                if (next.x != from.x || next.y != from.y)
                    wires << wireElement(from, next, width);
                from = next;
            }
            if (to.x != from.x || to.y != from.y)
                wires << wireElement(from, to, width);
        };
        if (cuts.empty()) {
            const TextPoint start = textOf(edge->first());
            polyline(start, pointsWithin(*edge, 0.0, double(edge->size())), start);
            return wires;
        }
        for (auto cut = cuts.cbegin(); cut != cuts.cend(); ++cut) {
            auto next = std::next(cut);
            if (next == cuts.cend())
                next = cuts.cbegin();
            polyline(textOf(cut->second.toPoint),
                     pointsWithin(*edge, cut->second.to, next->second.from),
                     textOf(next->second.fromPoint));
        }
        return wires;
    }
};

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

bool railTakes(const TabArea &area, double diameter)
{
    return area.frame > 0 && diameter + 2 * railMargin <= area.frame
            && area.width >= 2 * fiducialDistance + diameter;
}

// One hole in each corner, `toolingDistance` from the outer edges where
// the material there is solid, else in the middle of the rails; nothing
// when a corner has neither.
QVector<OutlinePoint> toolingHoles(const TabArea &area, const QVector<ChannelEdge> &channels,
                                   double drill)
{
    const double clear = drill / 2 + railMargin;
    const bool railTakesIt = railTakes(area, drill);
    QVector<OutlinePoint> holes;
    for (OutlinePoint corner :
         {OutlinePoint {0, 0}, OutlinePoint {area.width, 0}, OutlinePoint {area.width, area.height},
          OutlinePoint {0, area.height}}) {
        const auto inset = [&](double by) {
            return OutlinePoint {corner.x == 0 ? by : corner.x - by,
                                 corner.y == 0 ? by : corner.y - by};
        };
        const OutlinePoint preferred = inset(toolingDistance);
        if (area.frame > 0 && toolingDistance >= clear && solidAround(channels, preferred, clear))
            holes.append(preferred);
        else if (railTakesIt)
            holes.append(inset(std::min(toolingDistance, area.frame / 2.0)));
        else
            return {};
    }
    return holes;
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
            plan.channels = channelEdges(remaining, area);
            QVector<Tab> tabs = planTabs(remaining, plan.channels, area, settings.tabWidth);
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
    } else {
        plan.channels = channelEdges(boards, area);
    }
    if (settings.toolingDrill > 0.0) {
        plan.toolingHoles = toolingHoles(area, plan.channels, settings.toolingDrill);
        plan.toolingLeftOut = plan.toolingHoles.isEmpty();
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

FrameEdits frameEdits(const QVector<TabbedBoard> &boards, const TabArea &area,
                      const FrameSettings &settings, const FramePlan &plan)
{
    QVector<std::map<int, CutEdge>> boardEdges(boards.size());
    QVector<CutChannel> channels;
    for (const ChannelEdge &edge : plan.channels)
        channels.append(CutChannel {&edge, {}});
    QStringList sides;
    for (const Tab &tab : plan.tabs) {
        for (const TabEnd *end : {&tab.near, &tab.far}) {
            if (end->board < 0) {
                channels[end->channel].cut(*end);
                continue;
            }
            std::map<int, CutEdge> &edges = boardEdges[end->board];
            for (int wire : end->wires) {
                const OutlineWire &outline = boards.at(end->board).wires.at(wire);
                auto edge = edges.find(wire);
                if (edge == edges.end())
                    edge = edges.emplace(wire, boardEdge(outline)).first;
                const auto part = tabbedPart(outline, *end, tab.side);
                edge->second.cut(part.first, part.second);
            }
        }
        const QString width = QStringLiteral("0");
        sides << wireElement(textOf(tab.near.first), textOf(tab.far.first), width)
              << wireElement(textOf(tab.near.second), textOf(tab.far.second), width);
    }

    QStringList additions;
    if (area.frame > 0)
        additions << outerEdge(area);
    for (const CutChannel &channel : std::as_const(channels))
        additions << channel.wires();
    FrameEdits edits;
    for (int i = 0; i < boards.size(); ++i) {
        QVector<int> leftOut;
        for (const auto &edge : boardEdges.at(i)) {
            leftOut.append(boards.at(i).wires.at(edge.first).tag);
            additions << edge.second.pieces();
        }
        std::sort(leftOut.begin(), leftOut.end());
        edits.leftOut.append(leftOut);
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
    for (int i = 0; i < boards.size() && !additions.isEmpty(); ++i) {
        if (!plan.untabbed.contains(i)) {
            edits.holder = i;
            edits.additions = additions;
            break;
        }
    }
    return edits;
}
