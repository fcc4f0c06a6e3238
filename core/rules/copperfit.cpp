// SPDX-License-Identifier: GPL-3.0-or-later
#include "copperfit.h"

#include <algorithm>
#include <cmath>

namespace {

const QString viaOuter = QStringLiteral("ViaOuter");
const QString padTop = QStringLiteral("PadTop");
const QString padBottom = QStringLiteral("PadBottom");

// Sizes are compared as EAGLE stores them, to the nanometre.
bool sameSize(double a, double b)
{
    return std::llround(a * 1e6) == std::llround(b * 1e6);
}

double lengthOf(const QStringRef &value)
{
    return value.isNull() ? 0.0 : ruleLength(value.toString());
}

bool isYes(const QStringRef &value)
{
    return value == QLatin1String("yes");
}

// The ring of `kind` (ViaOuter, ViaInner, PadTop, PadInner, PadBottom) around
// a drill: rv * drill between rlMin and rlMax, rlMax winning when rlMin > rlMax.
double ring(const DesignRules &rules, const QString &kind, double drill)
{
    const double value = rules.number(QLatin1String("rv") + kind, 0.25) * drill;
    const double least = rules.length(QLatin1String("rlMin") + kind, 0.0);
    const double most = rules.length(QLatin1String("rlMax") + kind, 1e6);
    return least > most ? most : std::clamp(value, least, most);
}

// Whether the stop mask covers a via.
bool tented(const DesignRules &rules, double drill, bool alwaysStop)
{
    return !alwaysStop && drill <= rules.length(QStringLiteral("mlViaStopLimit"), 0.0) + 1e-9;
}

// The roundness, a percent, of an SMD of sides `dx`, `dy` and own roundness.
int smdRoundness(const DesignRules &rules, double dx, double dy, int roundness)
{
    const double side = std::min(dx, dy);
    if (side <= 0)
        return std::clamp(roundness, 0, 100);
    const double least = rules.length(QStringLiteral("srMinRoundness"));
    const double most = rules.length(QStringLiteral("srMaxRoundness"));
    const double value = rules.number(QStringLiteral("srRoundness")) * side;
    const double radius = least > most ? most : std::clamp(value, least, most);
    const double percent = 200 * radius / side;
    const int byRules = std::isfinite(percent) ? int(std::clamp(percent, 0.0, 100.0) + 0.5) : 0;
    return std::clamp(std::max(roundness, byRules), 0, 100);
}

// The names of the rules whose differences CopperFit carries on each object.
const QStringList &rulesCarriedByObjects()
{
    static const QStringList names = [] {
        QStringList list;
        for (const QString &kind : {viaOuter, padTop, padBottom})
            list << QLatin1String("rv") + kind << QLatin1String("rlMin") + kind
                 << QLatin1String("rlMax") + kind;
        list << QStringLiteral("srRoundness") << QStringLiteral("srMinRoundness")
             << QStringLiteral("srMaxRoundness") << QStringLiteral("mlViaStopLimit")
             << QStringLiteral("psTop") << QStringLiteral("psBottom") << QStringLiteral("psFirst");
        return list;
    }();
    return names;
}

} // namespace

namespace eagle {

double outerDiameter(const DesignRules &rules, const QString &kind, double drill, double diameter)
{
    return std::max(diameter, drill + 2 * ring(rules, kind, drill));
}

QString forcedPadShape(const DesignRules &rules, bool first)
{
    static const QStringList shapes {QStringLiteral("square"), QStringLiteral("round"),
                                     QStringLiteral("octagon")};
    // Any value but 0, 1 or 2 leaves the library's shape.
    auto shapeOf = [](double value) -> int {
        return value >= 0 && value < shapes.size() ? int(value) : -1;
    };
    const int top = shapeOf(rules.number(QStringLiteral("psTop"), -1));
    const int firstShape = shapeOf(rules.number(QStringLiteral("psFirst"), -1));
    const int forced = first && firstShape >= 0 ? firstShape : top;
    return forced >= 0 ? shapes.at(forced) : QString();
}

} // namespace eagle

CopperFit::CopperFit(const DesignRules &own, const DesignRules &panel)
    : own(own)
    , panel(panel)
    , same(std::all_of(rulesCarriedByObjects().cbegin(), rulesCarriedByObjects().cend(),
                       [&](const QString &name) { return own.text(name) == panel.text(name); }))
{ }

QStringList CopperFit::attributeNames()
{
    return {QStringLiteral("diameter"), QStringLiteral("alwaysstop"), QStringLiteral("shape"),
            QStringLiteral("roundness")};
}

CopperFit::Edits CopperFit::edits(const QStringRef &tag, const Lookup &value) const
{
    if (same)
        return {};
    if (tag == QLatin1String("via"))
        return viaEdits(value);
    if (tag == QLatin1String("pad"))
        return padEdits(value);
    if (tag == QLatin1String("smd"))
        return smdEdits(value);
    return {};
}

CopperFit::Edits CopperFit::viaEdits(const Lookup &value) const
{
    Edits edits;
    const double drill = lengthOf(value(QLatin1String("drill")));
    const double diameter = lengthOf(value(QLatin1String("diameter")));
    const double ownSize = eagle::outerDiameter(own, viaOuter, drill, diameter);
    if (!sameSize(ownSize, eagle::outerDiameter(panel, viaOuter, drill, diameter)))
        edits.append({QStringLiteral("diameter"), millimetres(ownSize)});
    const bool alwaysStop = isYes(value(QLatin1String("alwaysstop")));
    if (!tented(own, drill, alwaysStop) && tented(panel, drill, alwaysStop))
        edits.append({QStringLiteral("alwaysstop"), QStringLiteral("yes")});
    return edits;
}

// One diameter serves both sides: it carries the top's, which equals the
// bottom's wherever a board rings both sides alike.
CopperFit::Edits CopperFit::padEdits(const Lookup &value) const
{
    Edits edits;
    const double drill = lengthOf(value(QLatin1String("drill")));
    const double diameter = lengthOf(value(QLatin1String("diameter")));
    const double ownTop = eagle::outerDiameter(own, padTop, drill, diameter);
    const double ownBottom = eagle::outerDiameter(own, padBottom, drill, diameter);
    if (!sameSize(ownTop, eagle::outerDiameter(panel, padTop, drill, diameter))
        || !sameSize(ownBottom, eagle::outerDiameter(panel, padBottom, drill, diameter)))
        edits.append({QStringLiteral("diameter"), millimetres(ownTop)});
    const bool first = isYes(value(QLatin1String("first")));
    const QString ownShape = eagle::forcedPadShape(own, first);
    if (!ownShape.isEmpty() && ownShape != eagle::forcedPadShape(panel, first))
        edits.append({QStringLiteral("shape"), ownShape});
    return edits;
}

CopperFit::Edits CopperFit::smdEdits(const Lookup &value) const
{
    const double dx = lengthOf(value(QLatin1String("dx")));
    const double dy = lengthOf(value(QLatin1String("dy")));
    const int roundness = value(QLatin1String("roundness")).toInt();
    const int ownRoundness = smdRoundness(own, dx, dy, roundness);
    if (ownRoundness == smdRoundness(panel, dx, dy, roundness))
        return {};
    return {{QStringLiteral("roundness"), QString::number(ownRoundness)}};
}
