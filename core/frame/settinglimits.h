// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cmath>

// The bounds of one panel or frame setting. The window's fields, the
// command line and the stored settings all take them from here, so that a
// value one of them takes every other takes too.
struct SettingLimits
{
    double minimum;
    double maximum;
    double defaultValue;
    double step; // of a spin box's arrows
    int decimals; // 0: whole millimetres
    bool offAtZero; // 0 turns the feature off, even below the minimum

    constexpr bool accepts(double value) const
    {
        return (offAtZero && value == 0.0) || (value >= minimum && value <= maximum);
    }

    // The accepted value nearest to `value`: what a stored or typed value
    // out of bounds becomes. A feature turned on stays on.
    double fitted(double value) const
    {
        if (std::isnan(value))
            return defaultValue;
        if (offAtZero && value > 0.0 && value < minimum)
            return minimum;
        if (offAtZero && value <= 0.0)
            return 0.0;
        return std::clamp(value, minimum, maximum);
    }
};

namespace Limits {

// Whole millimetres.
constexpr SettingLimits panelWidth {0, 300, 160, 1, 0, false};
constexpr SettingLimits panelHeight {0, 300, 80, 1, 0, false};
constexpr SettingLimits offset {0, 50, 5, 1, 0, false};
constexpr SettingLimits frameWidth {0, 50, 0, 1, 0, false};

// Millimetres. Tooling pins are 1 mm and more. Tabs from the dialog's first
// step are kept: settings stored before the table may hold them.
constexpr SettingLimits tabWidth {0.5, 50, 0, 0.5, 2, true};
constexpr SettingLimits biteDrill {0.2, 2, 0.5, 0.05, 2, false};
// At least the drill too, or the holes run into one another.
constexpr SettingLimits bitePitch {0.2, 4, 0.8, 0.05, 2, false};
constexpr SettingLimits toolingDrill {1, 10, 0, 0.1, 2, true};

// A layer number: 46 is EAGLE's Milling layer.
constexpr SettingLimits vcutLayer {1, 255, 46, 1, 0, false};

} // namespace Limits
