// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

enum class BoardHouse { None, Jlcpcb, Pcbway, Eurocircuits, OshPark };

struct FrameSettings;

// What a board house publishes about the panels it makes: the numbers it
// suggests, and the limits a panel has to keep. A limit the house does not
// publish is 0 and is not checked.
struct HouseRules
{
    BoardHouse house;
    const char *key; // as the command line names it
    const char *name;

    // Suggested: whole mm of rail and of routed channel, then mm.
    int frameWidth;
    int channel;
    double tabWidth;
    double biteDrill;
    double bitePitch;
    bool fiducials;
    double toolingDrill;

    bool cutsVGrooves;
    double leastVCutWidth; // of a panel with V-cuts
    double leastVCutHeight;
    double largestShortSide; // of any panel
    double largestLongSide;
    double leastRail;
    double leastChannel;
    double leastTabWidth;
    int leastBitesPerTab;
    double leastFiducialEdge; // from a fiducial's centre to the panel's outer edge
    double leastVCutCopper; // from copper to the line of a V-cut
    double leastVCutSpacing;
};

// A limit of a house that a panel breaks: what the panel has and what the
// house asks for; sizes as width and height, the house's as its least or
// largest.
struct HouseFinding
{
    enum Limit {
        LargePanel,
        SmallVCutPanel,
        NoVCuts, // the house cuts no V-grooves
        NarrowRail,
        NarrowChannel,
        NarrowTab,
        FewBites, // on a tab's board end
        FiducialNearEdge,
        CopperNearVCut,
        VCutsClose,
    };
    Limit limit = LargePanel;
    BoardHouse house = BoardHouse::None;
    double found = 0.0;
    double foundOther = 0.0;
    double asked = 0.0;
    double askedOther = 0.0;
};

// The houses with presets, in the order a choice lists them.
const QVector<HouseRules> &boardHouses();
// Null for BoardHouse::None.
const HouseRules *houseRules(BoardHouse house);
std::optional<BoardHouse> houseOfKey(const QString &key);

// Fills the settings and the channel with the house's numbers; how the
// boards come apart, the V-cut layer and the panel's size stay as they are.
void applyPreset(BoardHouse house, FrameSettings &settings, int &channel);
// The settings that differ from the preset of the settings' house, in the
// words the dialog labels them with; empty without a house.
QStringList differencesFromPreset(const FrameSettings &settings, int channel);
