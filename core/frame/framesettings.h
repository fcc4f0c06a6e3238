// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "boardhouse.h"
#include "settinglimits.h"

// How the boards of a panel come apart: along routed channels that tabs
// with mouse bites cross, or along V-cuts between copies set edge to edge.
enum class Separation { MouseBites, VCuts };

// What makes a panel one piece a board house can make: rails around the
// boards, tabs with mouse bites across the routed channels or V-cuts,
// fiducials and tooling holes on the rails. Every setting is off by default, and with all
// of them off a panel is made exactly as without them.
struct FrameSettings
{
    int frameWidth =
            int(Limits::frameWidth.defaultValue); // whole mm of rail on each side; 0: no rails
    double tabWidth = Limits::tabWidth.defaultValue; // mm; 0: no tabs
    double biteDrill = Limits::biteDrill.defaultValue; // mm, each mouse-bite hole
    double bitePitch =
            Limits::bitePitch.defaultValue; // mm between the centres of two mouse-bite holes
    bool fiducials = false;
    double toolingDrill = Limits::toolingDrill.defaultValue; // mm; 0: no tooling holes
    // With rails, the panel keeps the size set rather than hugging its boards.
    bool fixedSize = false;
    Separation separation = Separation::MouseBites;
    int vcutLayer = int(Limits::vcutLayer.defaultValue); // the layer the V-cut lines are drawn on
    // The house whose numbers the settings started from and whose limits
    // the panel is checked against; None: nothing is checked.
    BoardHouse house = BoardHouse::None;

    bool isOff() const
    {
        return frameWidth == 0 && tabWidth == 0.0 && !fiducials && toolingDrill == 0.0 && !vcuts();
    }
    bool vcuts() const { return separation == Separation::VCuts; }
    bool hasTabs() const { return tabWidth > 0.0; }
};
