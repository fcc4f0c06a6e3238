// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringView>

#include <utility>

// An EAGLE rotation such as "R90", "MR180" or "SR45": spin (the text is
// never turned to be read from below), mirror, then the angle in degrees.
struct Rotation
{
    bool spin = false;
    bool mirror = false;
    double angle = 0.0; // in [0, 360)
};

// `angle` degrees brought into [0, 360).
double normalisedAngle(double angle);

// A rotation text as a part, text or attribute writes it; what it does not
// spell out (or spells as no finite number) stays at its default.
Rotation parseRotation(QStringView text);

// Turns (x, y) counterclockwise by `angle` degrees, exactly for right angles.
std::pair<double, double> turned(double x, double y, double angle);

// Where a point drawn in a package lands on the board under the part that
// places it: turned by the part's angle, x negated for a mirrored part, then
// moved to the part's place.
struct PartPlacement
{
    double x = 0.0;
    double y = 0.0;
    Rotation rotation;

    std::pair<double, double> map(double packageX, double packageY) const;
};
