// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What makes a panel one piece a board house can make: rails around the
// boards, tabs with mouse bites across the routed channels, fiducials and
// tooling holes on the rails. Every setting is off by default, and with all
// of them off a panel is made exactly as without them.
struct FrameSettings
{
    int frameWidth = 0; // whole mm of rail on each side; 0: no rails
    double tabWidth = 0.0; // mm; 0: no tabs
    double biteDrill = 0.5; // mm, each mouse-bite hole
    double bitePitch = 0.8; // mm between the centres of two mouse-bite holes
    bool fiducials = false;
    double toolingDrill = 0.0; // mm; 0: no tooling holes
    // With rails, the panel keeps the size set rather than hugging its boards.
    bool fixedSize = false;

    bool isOff() const
    {
        return frameWidth == 0 && tabWidth == 0.0 && !fiducials && toolingDrill == 0.0;
    }
    bool hasTabs() const { return tabWidth > 0.0; }
};

// The ranges the window's and the command line's settings take.
struct FrameLimits
{
    static constexpr int maxFrameWidth = 50;
    static constexpr double maxTabWidth = 50.0;
    static constexpr double minBiteDrill = 0.2;
    static constexpr double maxBiteDrill = 2.0;
    static constexpr double maxToolingDrill = 10.0;
};
