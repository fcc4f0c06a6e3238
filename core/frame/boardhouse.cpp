// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardhouse.h"

#include "framesettings.h"

#include <QVector>

const QVector<HouseRules> &boardHouses()
{
    // The sources of these numbers are listed in the README, house by house.
    static const QVector<HouseRules> houses {
            {BoardHouse::Jlcpcb,
             "jlcpcb",
             "JLCPCB",
             5,
             2,
             5.0,
             0.6,
             1.0,
             true,
             2.0,
             true,
             70,
             70,
             400,
             500,
             5,
             1.2,
             4.2,
             5,
             3.58,
             0.4,
             0},
            {BoardHouse::Pcbway,
             "pcbway",
             "PCBWay",
             5,
             2,
             5.0,
             0.6,
             1.0,
             true,
             0.0,
             true,
             0,
             0,
             0,
             0,
             3,
             0,
             0,
             0,
             0,
             0,
             0},
            {BoardHouse::Eurocircuits,
             "eurocircuits",
             "Eurocircuits",
             5,
             2,
             5.0,
             0.6,
             1.0,
             true,
             0.0,
             true,
             100,
             100,
             250,
             350,
             5,
             2,
             0,
             0,
             0,
             0.45,
             5},
            {BoardHouse::OshPark,
             "oshpark",
             "OSH Park",
             6,
             3,
             3.0,
             0.6,
             1.2,
             false,
             0.0,
             false,
             0,
             0,
             0,
             0,
             5.08,
             2.54,
             0,
             0,
             0,
             0,
             0},
    };
    return houses;
}

const HouseRules *houseRules(BoardHouse house)
{
    for (const HouseRules &rules : boardHouses()) {
        if (rules.house == house)
            return &rules;
    }
    return nullptr;
}

std::optional<BoardHouse> houseOfKey(const QString &key)
{
    for (const HouseRules &rules : boardHouses()) {
        if (key.compare(QLatin1String(rules.key), Qt::CaseInsensitive) == 0)
            return rules.house;
    }
    return std::nullopt;
}

void applyPreset(BoardHouse house, FrameSettings &settings, int &channel)
{
    settings.house = house;
    const HouseRules *rules = houseRules(house);
    if (!rules)
        return;
    settings.frameWidth = rules->frameWidth;
    settings.tabWidth = rules->tabWidth;
    settings.biteDrill = rules->biteDrill;
    settings.bitePitch = rules->bitePitch;
    settings.fiducials = rules->fiducials;
    settings.toolingDrill = rules->toolingDrill;
    channel = rules->channel;
}

QStringList differencesFromPreset(const FrameSettings &settings, int channel)
{
    FrameSettings preset = settings;
    int presetChannel = channel;
    applyPreset(settings.house, preset, presetChannel);
    QStringList differences;
    const auto compare = [&](bool same, const char *what) {
        if (!same)
            differences << QLatin1String(what);
    };
    compare(settings.frameWidth == preset.frameWidth, "rail width");
    compare(channel == presetChannel, "channel");
    compare(qFuzzyCompare(settings.tabWidth + 1, preset.tabWidth + 1), "tab width");
    compare(qFuzzyCompare(settings.biteDrill, preset.biteDrill), "mouse-bite drill");
    compare(qFuzzyCompare(settings.bitePitch, preset.bitePitch), "mouse-bite pitch");
    compare(settings.fiducials == preset.fiducials, "fiducials");
    compare(qFuzzyCompare(settings.toolingDrill + 1, preset.toolingDrill + 1), "tooling holes");
    return differences;
}
