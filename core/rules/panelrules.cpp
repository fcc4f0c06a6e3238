// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelrules.h"

#include "layersetup.h"

#include <algorithm>
#include <cmath>

namespace {

enum class Pick { Least, Most, SameOrNone };

struct Chosen
{
    QString name;
    Pick pick;
    bool isLength;
};

// The parameters of a size EAGLE makes as a share of what it surrounds
// (`share` + `kind`), bounded below and above (`bound` + "Min"/"Max" + `kind`).
QStringList boundedShare(const char *share, const char *bound, const char *kind)
{
    return {QLatin1String(share) + QLatin1String(kind),
            QLatin1String(bound) + QLatin1String("Min") + QLatin1String(kind),
            QLatin1String(bound) + QLatin1String("Max") + QLatin1String(kind)};
}

QVector<Chosen> chosenRules()
{
    QVector<Chosen> chosen;
    // A share is a plain number; its bounds are lengths.
    for (const QStringList &names :
         {boundedShare("rv", "rl", "ViaOuter"), boundedShare("rv", "rl", "PadTop"),
          boundedShare("rv", "rl", "PadBottom"), boundedShare("sr", "sr", "Roundness")})
        chosen << Chosen {names.at(0), Pick::Least, false}
               << Chosen {names.at(1), Pick::Least, true}
               << Chosen {names.at(2), Pick::Least, true};
    chosen << Chosen {QStringLiteral("mlViaStopLimit"), Pick::Most, true};
    for (const char *name : {"psTop", "psBottom", "psFirst"})
        chosen << Chosen {QLatin1String(name), Pick::SameOrNone, false};
    return chosen;
}

struct Reported
{
    QString rule;
    QStringList names;
    bool innerLayersOnly; // matters only to boards with inner copper
};

QVector<Reported> reportedRules()
{
    return {
            {QStringLiteral("Stop mask frame"), boundedShare("mv", "ml", "StopFrame"), false},
            {QStringLiteral("Cream frame"), boundedShare("mv", "ml", "CreamFrame"), false},
            {QStringLiteral("Copper to outline"), {QStringLiteral("mdCopperDimension")}, false},
            // Polygons pour around other signals by these.
            {QStringLiteral("Clearances"),
             {QStringLiteral("mdWireWire"), QStringLiteral("mdWirePad"),
              QStringLiteral("mdWireVia"), QStringLiteral("mdPadPad"), QStringLiteral("mdPadVia"),
              QStringLiteral("mdViaVia"), QStringLiteral("mdSmdPad"), QStringLiteral("mdSmdVia"),
              QStringLiteral("mdSmdSmd")},
             false},
            {QStringLiteral("Thermals"),
             {QStringLiteral("slThermalIsolate"), QStringLiteral("slThermalsForVias")},
             false},
            {QStringLiteral("Pad elongation"),
             {QStringLiteral("psElongationLong"), QStringLiteral("psElongationOffset")},
             false},
            {QStringLiteral("Inner via rings"), boundedShare("rv", "rl", "ViaInner"), true},
            {QStringLiteral("Inner pad rings"), boundedShare("rv", "rl", "PadInner"), true},
    };
}

// A value compared as EAGLE reads it, so "8mil" and "0.2032mm" are one.
double valueOf(const DesignRules &rules, const QString &name, bool isLength)
{
    return isLength ? rules.length(name, NAN) : rules.number(name, NAN);
}

bool sameValue(const DesignRules &a, const DesignRules &b, const QString &name)
{
    if (a.text(name) == b.text(name))
        return true;
    const double x = a.length(name, NAN);
    const double y = b.length(name, NAN);
    return !std::isnan(x) && !std::isnan(y) && std::llround(x * 1e6) == std::llround(y * 1e6);
}

bool hasInnerCopper(const DesignRules &rules)
{
    const QSet<int> layers = layersetup::layers(rules.text(QStringLiteral("layerSetup")));
    return std::any_of(layers.begin(), layers.end(),
                       [](int layer) { return layer > 1 && layer < 16; });
}

void choose(PanelRules &panel, const QVector<DesignRules> &boards, const Chosen &chosen)
{
    QString picked = boards.first().text(chosen.name);
    double best = valueOf(boards.first(), chosen.name, chosen.isLength);
    for (const DesignRules &board : boards) {
        if (!board.has(chosen.name))
            continue;
        const double value = valueOf(board, chosen.name, chosen.isLength);
        if (chosen.pick == Pick::SameOrNone) {
            if (board.text(chosen.name) != picked)
                picked = QStringLiteral("-1");
            continue;
        }
        const bool better =
                std::isnan(best) || (chosen.pick == Pick::Least ? value < best : value > best);
        if (!std::isnan(value) && better && !sameValue(board, boards.first(), chosen.name)) {
            best = value;
            picked = board.text(chosen.name);
        }
    }
    if (!picked.isNull() && picked != boards.first().text(chosen.name)) {
        panel.rules.set(chosen.name, picked);
        panel.changed << chosen.name;
    }
}

QString joinedValues(const DesignRules &rules, const QStringList &names)
{
    QStringList values;
    for (const QString &name : names)
        values << rules.text(name, QStringLiteral("-"));
    return values.join(QLatin1String(" / "));
}

// Inner rings matter only to boards with inner copper: the panel takes those
// of the first such board.
void takeInnerRings(PanelRules &panel, const QVector<DesignRules> &boards, const Reported &reported)
{
    const auto board = std::find_if(boards.cbegin(), boards.cend(), hasInnerCopper);
    if (board == boards.cend())
        return;
    for (const QString &name : reported.names) {
        if (board->has(name) && !sameValue(*board, panel.rules, name)) {
            panel.rules.set(name, board->text(name));
            panel.changed << name;
        }
    }
}

void report(PanelRules &panel, const QVector<DesignRules> &boards, const Reported &reported)
{
    if (reported.innerLayersOnly)
        takeInnerRings(panel, boards, reported);
    RuleDifference difference {reported.rule + QLatin1String(" (")
                                       + reported.names.join(QLatin1String(" / "))
                                       + QLatin1Char(')'),
                               {},
                               joinedValues(panel.rules, reported.names)};
    for (int i = 0; i < boards.size(); ++i) {
        if (boards.at(i).isEmpty() || (reported.innerLayersOnly && !hasInnerCopper(boards.at(i))))
            continue;
        if (std::any_of(reported.names.cbegin(), reported.names.cend(), [&](const QString &name) {
                return !sameValue(boards.at(i), panel.rules, name);
            }))
            difference.boards.append({i, joinedValues(boards.at(i), reported.names)});
    }
    if (!difference.boards.isEmpty())
        panel.report.append(difference);
}

void chooseLayerSetup(PanelRules &panel, const QVector<DesignRules> &boards)
{
    static const QString key = QStringLiteral("layerSetup");
    const QString fallback = QStringLiteral("(1*16)");
    // A board without rules is made by the panel's: any setup holds it.
    QVector<QString> setups;
    for (const DesignRules &board : boards)
        setups << (board.isEmpty() ? boards.first().text(key, fallback)
                                   : board.text(key, fallback));
    const layersetup::Choice choice = layersetup::choose(setups);
    if (choice.setup.isNull()) {
        RuleDifference difference {QStringLiteral("Layer setup (layerSetup)"), {}, setups.first()};
        for (int i = 1; i < boards.size(); ++i) {
            if (!layersetup::holds(setups.first(), setups.at(i)))
                difference.boards.append({i, setups.at(i)});
        }
        panel.report.append(difference);
    } else if (choice.setup != setups.first()) {
        panel.rules.set(key, choice.setup);
        panel.changed << key;
        panel.activeLayers = choice.layers;
    }
}

} // namespace

PanelRules choosePanelRules(const QVector<DesignRules> &boards)
{
    PanelRules panel;
    if (boards.isEmpty())
        return panel;
    panel.rules = boards.first();
    for (const Chosen &chosen : chosenRules())
        choose(panel, boards, chosen);
    chooseLayerSetup(panel, boards);
    for (const Reported &reported : reportedRules())
        report(panel, boards, reported);
    return panel;
}
