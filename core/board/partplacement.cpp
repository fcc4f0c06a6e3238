// SPDX-License-Identifier: GPL-3.0-or-later
#include "partplacement.h"

#include <QString>

#include <cmath>

double normalisedAngle(double angle)
{
    angle = std::fmod(angle, 360.0);
    return angle < 0.0 ? angle + 360.0 : angle;
}

Rotation parseRotation(QStringView text)
{
    Rotation rotation;
    int i = 0;
    for (; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('S'))
            rotation.spin = true;
        else if (text.at(i) == QLatin1Char('M'))
            rotation.mirror = true;
        else
            break;
    }
    if (i < text.size() && text.at(i) == QLatin1Char('R')) {
        bool ok = false;
        const double angle = text.mid(i + 1).toDouble(&ok);
        if (ok && std::isfinite(angle))
            rotation.angle = normalisedAngle(angle);
    }
    return rotation;
}

std::pair<double, double> turned(double x, double y, double angle)
{
    if (angle == 0.0)
        return {x, y};
    if (angle == 90.0)
        return {-y, x};
    if (angle == 180.0)
        return {-x, -y};
    if (angle == 270.0)
        return {y, -x};
    const double radians = angle * M_PI / 180.0;
    return {x * std::cos(radians) - y * std::sin(radians),
            x * std::sin(radians) + y * std::cos(radians)};
}

std::pair<double, double> PartPlacement::map(double packageX, double packageY) const
{
    auto [dx, dy] = turned(packageX, packageY, rotation.angle);
    if (rotation.mirror)
        dx = -dx;
    return {x + dx, y + dy};
}
