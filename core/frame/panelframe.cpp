// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelframe.h"

#include "channels.h"

#include <QPair>

#include <algorithm>
#include <map>

namespace {

// Tooling holes sit this far from the panel's outer edges, where the
// material there is solid.
constexpr double toolingDistance = 5.0;
// Fiducials sit this far along the rails from the panel's corners.
constexpr double fiducialDistance = 15.0;
constexpr double fiducialCopper = 1.0;
constexpr double fiducialOpening = 2.0;
// Every feature on a rail keeps this much rail around it.
constexpr double railMargin = 0.5;

// An element the frame adds to the panel's drawing, its attributes in the
// order it writes them.
struct FrameElement
{
    QString tag;
    QVector<QPair<QString, QString>> attributes;
    QString text = {};
};
using FrameElements = QVector<FrameElement>;

QString added(double millimetres)
{
    return millimetreText(millimetres, MillimetreDigits::Added);
}

// The frame draws its own lines (rails, channels, tab sides) 0 wide.
FrameElement wireElement(const PointText &from, const PointText &to,
                         const QString &width = QStringLiteral("0"), double curve = 0.0,
                         int layer = 20)
{
    FrameElement wire {QStringLiteral("wire"),
                       {{QStringLiteral("x1"), from.x},
                        {QStringLiteral("y1"), from.y},
                        {QStringLiteral("x2"), to.x},
                        {QStringLiteral("y2"), to.y},
                        {QStringLiteral("width"), width},
                        {QStringLiteral("layer"), QString::number(layer)}}};
    if (curve != 0.0)
        wire.attributes.append({QStringLiteral("curve"), added(curve)});
    return wire;
}

FrameElement wireElement(const OutlineWire &wire)
{
    return wireElement({wire.fromX, wire.fromY}, {wire.toX, wire.toY}, wire.width, wire.curve);
}

FrameElement holeElement(OutlinePoint at, double drill)
{
    return {QStringLiteral("hole"),
            {{QStringLiteral("x"), added(at.x)},
             {QStringLiteral("y"), added(at.y)},
             {QStringLiteral("drill"), added(drill)}}};
}

FrameElement discElement(OutlinePoint at, double diameter, int layer)
{
    return {QStringLiteral("circle"),
            {{QStringLiteral("x"), added(at.x)},
             {QStringLiteral("y"), added(at.y)},
             {QStringLiteral("radius"), added(diameter / 2)},
             {QStringLiteral("width"), QStringLiteral("0")},
             {QStringLiteral("layer"), QString::number(layer)}}};
}

// The elements as the children of one "plain", the way the assembly takes
// a drawing's additions.
std::shared_ptr<const DocumentTokens> drawingTokens(const FrameElements &elements)
{
    auto tokens = std::make_shared<DocumentTokens>();
    DocumentTokens::Builder builder(*tokens);
    const QString plain = QStringLiteral("plain");
    builder.startElement(QStringRef(&plain));
    for (const FrameElement &element : elements) {
        builder.startElement(QStringRef(&element.tag));
        for (const auto &attribute : element.attributes)
            builder.attribute(QStringRef(&attribute.first), QStringRef(&attribute.second));
        if (!element.text.isEmpty())
            builder.characters(QStringRef(&element.text));
        builder.endElement();
    }
    builder.endAll();
    builder.finish();
    return tokens;
}

// What the tabs leave of a wire: the pieces between the stretches they take
// out, each end written as the wire or the cut writes it.
FrameElements keptPieces(const OutlineWire &wire, QVector<WireCut> cuts)
{
    std::sort(cuts.begin(), cuts.end(),
              [](const WireCut &a, const WireCut &b) { return a.from < b.from; });
    FrameElements pieces;
    double from = 0.0;
    PointText fromText {wire.fromX, wire.fromY};
    const auto keep = [&](double to, const PointText &toText) {
        if (to > from && fromText != toText)
            pieces << wireElement(wirePiece(wire, from, to, fromText, toText));
    };
    for (const WireCut &cut : cuts) {
        keep(cut.from, cut.fromText);
        if (cut.to > from) {
            from = cut.to;
            fromText = cut.toText;
        }
    }
    keep(1.0, {wire.toX, wire.toY});
    return pieces;
}

// A channel's outer edge with the stretches tabs take out of it.
struct CutChannel
{
    struct Cut
    {
        double to;
        OutlinePoint fromPoint;
        OutlinePoint toPoint;
    };
    const ChannelEdge *edge = nullptr;
    std::map<double, Cut> cuts; // by where they start

    void cut(const TabEnd &end)
    {
        const auto stretch = shorterStretch(*edge, end.firstAt, end.secondAt);
        const bool inOrder = stretch.first == end.firstAt;
        cuts[stretch.first] = {stretch.second, inOrder ? end.first : end.second,
                               inOrder ? end.second : end.first};
    }

    FrameElements wires() const
    {
        FrameElements wires;
        const auto polyline = [&](PointText from, const QVector<int> &points, PointText to) {
            for (int index : points) {
                const PointText next = pointText(edge->at(index));
                if (next != from)
                    wires << wireElement(from, next);
                from = next;
            }
            if (to != from)
                wires << wireElement(from, to);
        };
        if (cuts.empty()) {
            const PointText start = pointText(edge->first());
            polyline(start, pointsWithin(*edge, 0.0, double(edge->size())), start);
            return wires;
        }
        for (auto cut = cuts.cbegin(); cut != cuts.cend(); ++cut) {
            auto next = std::next(cut);
            if (next == cuts.cend())
                next = cuts.cbegin();
            polyline(pointText(cut->second.toPoint),
                     pointsWithin(*edge, cut->second.to, next->first),
                     pointText(next->second.fromPoint));
        }
        return wires;
    }
};

FrameElements outerEdge(const TabArea &area)
{
    const PointText a = pointText({0, 0}), b = pointText({area.width, 0}),
                    c = pointText({area.width, area.height}), d = pointText({0, area.height});
    return {wireElement(a, b), wireElement(b, c), wireElement(c, d), wireElement(d, a)};
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
        else if (railTakes(area, drill))
            holes.append(inset(std::min(toolingDistance, area.frame / 2.0)));
        else
            return {};
    }
    return holes;
}

// In the middle of the rail, or as far from the outer edge as the house
// asks where the rail is wide enough for that.
double fiducialInset(const TabArea &area, const FrameSettings &settings)
{
    const HouseRules *rules = houseRules(settings.house);
    const double middle = area.frame / 2.0;
    if (!rules || rules->leastFiducialEdge <= middle)
        return middle;
    return std::min(rules->leastFiducialEdge, area.frame - fiducialOpening / 2);
}

// Three fiducials, the fourth corner left out so that the panel's
// orientation shows: two on the bottom rail, one on the top rail's left.
QVector<OutlinePoint> fiducialPlaces(const TabArea &area, double inset)
{
    return {{fiducialDistance, inset},
            {area.width - fiducialDistance, inset},
            {fiducialDistance, area.height - inset}};
}

// Copies set edge to edge leave no material inside the rails.
ChannelEdge insideRails(const TabArea &area)
{
    const double f = area.frame;
    return {{f, f}, {area.width - f, f}, {area.width - f, area.height - f}, {f, area.height - f}};
}

// Each cut with its "V-CUT" on the rail at its far end, beside the line.
FrameElements vcutElements(const TabArea &area, const FramePlan &plan)
{
    constexpr double textSize = 1.0;
    FrameElements elements;
    for (const VCut &cut : plan.vcuts) {
        const OutlinePoint from =
                cut.vertical ? OutlinePoint {cut.at, 0} : OutlinePoint {0, cut.at};
        const OutlinePoint to = cut.vertical ? OutlinePoint {cut.at, area.height}
                                             : OutlinePoint {area.width, cut.at};
        elements << wireElement(pointText(from), pointText(to), QStringLiteral("0"), 0.0,
                                plan.vcutLayer);
        if (area.frame < 3 * textSize)
            continue;
        const OutlinePoint label = cut.vertical
                ? OutlinePoint {cut.at + textSize, area.height - area.frame / 2.0}
                : OutlinePoint {area.width - area.frame / 2.0, cut.at + textSize};
        elements << FrameElement {QStringLiteral("text"),
                                  {{QStringLiteral("x"), added(label.x)},
                                   {QStringLiteral("y"), added(label.y)},
                                   {QStringLiteral("size"), added(textSize * 0.8)},
                                   {QStringLiteral("layer"), QString::number(plan.vcutLayer)},
                                   {QStringLiteral("rot"),
                                    cut.vertical ? QStringLiteral("R90") : QStringLiteral("R0")},
                                   {QStringLiteral("align"), QStringLiteral("center")}},
                                  QStringLiteral("V-CUT")};
    }
    return elements;
}

FrameElements railFeatures(const FrameSettings &settings, const FramePlan &plan)
{
    FrameElements features;
    for (OutlinePoint hole : plan.biteHoles)
        features << holeElement(hole, settings.biteDrill);
    for (OutlinePoint hole : plan.toolingHoles)
        features << holeElement(hole, settings.toolingDrill);
    for (OutlinePoint fiducial : plan.fiducials) {
        features << discElement(fiducial, fiducialCopper, 1)
                 << discElement(fiducial, fiducialOpening, 29);
        if (plan.bottomFiducials)
            features << discElement(fiducial, fiducialCopper, 16)
                     << discElement(fiducial, fiducialOpening, 30);
    }
    return features;
}

// The panel's own drawing travels in the first copy the panel keeps.
void giveHolder(FrameEdits &edits, const FrameElements &additions, int boards,
                const FramePlan &plan)
{
    for (int i = 0; i < boards && !additions.isEmpty(); ++i) {
        if (!plan.untabbed.contains(i)) {
            edits.holder = i;
            edits.additions = drawingTokens(additions);
            return;
        }
    }
}

// The copies give up their whole outline: the panel's outer edge and the
// cuts take its place.
FrameEdits vcutEdits(const QVector<TabbedBoard> &boards, const TabArea &area,
                     const FrameSettings &settings, const FramePlan &plan)
{
    FrameEdits edits;
    for (const TabbedBoard &board : boards) {
        QVector<int> leftOut = board.partOutlineTags;
        for (const OutlineWire &wire : board.wires) {
            if (!wire.drawnByPart)
                leftOut.append(wire.tag);
        }
        std::sort(leftOut.begin(), leftOut.end());
        edits.leftOut.append(leftOut);
    }
    giveHolder(edits, outerEdge(area) + vcutElements(area, plan) + railFeatures(settings, plan),
               boards.size(), plan);
    return edits;
}

} // namespace

FramePlan planFrame(const QVector<TabbedBoard> &boards, const TabArea &area,
                    const FrameSettings &settings)
{
    FramePlan plan;
    QVector<ChannelEdge> routed;
    if (settings.vcuts()) {
        plan.vcuts = vcutLines(boards, area);
        plan.vcutLayer = settings.vcutLayer;
        routed = {insideRails(area)};
    } else {
        plan.channels = channelEdges(boards, area);
        routed = plan.channels;
    }
    if (settings.hasTabs() && !settings.vcuts()) {
        plan.tabs = planTabs(boards, plan.channels, area, settings);
        for (int board = 0; board < boards.size(); ++board) {
            if (tabsHolding(plan.tabs, board) < 2)
                plan.untabbed.append(board);
        }
        for (const Tab &tab : std::as_const(plan.tabs))
            plan.biteHoles << tab.near.bites << tab.far.bites;
    }
    if (settings.toolingDrill > 0.0) {
        plan.toolingHoles = toolingHoles(area, routed, settings.toolingDrill);
        plan.toolingLeftOut = plan.toolingHoles.isEmpty();
    }
    if (settings.fiducials) {
        plan.fiducialsLeftOut = !railTakes(area, fiducialOpening);
        if (!plan.fiducialsLeftOut)
            plan.fiducials = fiducialPlaces(area, fiducialInset(area, settings));
    }
    return plan;
}

FrameEdits frameEdits(const QVector<TabbedBoard> &boards, const TabArea &area,
                      const FrameSettings &settings, const FramePlan &plan)
{
    if (settings.vcuts())
        return vcutEdits(boards, area, settings, plan);
    QVector<std::map<int, QVector<WireCut>>> boardCuts(boards.size());
    QVector<CutChannel> channels;
    for (const ChannelEdge &edge : plan.channels)
        channels.append(CutChannel {&edge, {}});
    FrameElements sides;
    for (const Tab &tab : plan.tabs) {
        for (const TabEnd *end : {&tab.near, &tab.far}) {
            if (end->board < 0) {
                channels[end->channel].cut(*end);
                continue;
            }
            for (const WireCut &cut : end->cuts)
                boardCuts[end->board][cut.wire].append(cut);
        }
        sides << wireElement(tab.near.firstText, tab.far.firstText)
              << wireElement(tab.near.secondText, tab.far.secondText);
    }

    FrameElements additions;
    if (area.frame > 0)
        additions << outerEdge(area);
    for (const CutChannel &channel : std::as_const(channels))
        additions << channel.wires();
    FrameEdits edits;
    for (int i = 0; i < boards.size(); ++i) {
        QVector<int> leftOut = boards.at(i).partOutlineTags;
        const QVector<OutlineWire> &wires = boards.at(i).wires;
        for (int wire = 0; wire < wires.size(); ++wire) {
            const auto cuts = boardCuts.at(i).find(wire);
            const bool cut = cuts != boardCuts.at(i).end();
            if (cut && !wires.at(wire).drawnByPart)
                leftOut.append(wires.at(wire).tag);
            if (cut)
                additions << keptPieces(wires.at(wire), cuts->second);
            else if (wires.at(wire).drawnByPart && !plan.untabbed.contains(i))
                additions << wireElement(wires.at(wire));
        }
        std::sort(leftOut.begin(), leftOut.end());
        edits.leftOut.append(leftOut);
    }
    additions << sides << railFeatures(settings, plan);
    giveHolder(edits, additions, boards.size(), plan);
    return edits;
}
