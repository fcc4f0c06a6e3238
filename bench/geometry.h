#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace benchgen {

// Lengths in ten-thousandths of a millimetre. Every coordinate a real board
// writes ("0.2032", "12.7", "-0.635") is a whole number of them, so the
// generator never formats a double and its bytes cannot depend on the
// machine's floating point.
using Length = qint32;

constexpr Length operator""_mm(long double millimetres)
{
    return static_cast<Length>(millimetres * 10000.0L + (millimetres < 0 ? -0.5L : 0.5L));
}
constexpr Length operator""_mm(unsigned long long millimetres)
{
    return static_cast<Length>(millimetres * 10000);
}
// Thousandths of an inch, the grid most EAGLE libraries are drawn on.
constexpr Length mils(int count)
{
    return count * 254;
}

struct Point
{
    Length x = 0;
    Length y = 0;
};

inline Point operator+(Point a, Point b)
{
    return {a.x + b.x, a.y + b.y};
}

// Where a part sits: its origin, a turn in steps of 90 degrees
// counter-clockwise, and whether it is mirrored onto the bottom side.
struct Placement
{
    Point origin;
    int quarterTurns = 0;
    bool mirrored = false;
};

// A point of a package, drawn around the package origin, on the board.
Point placed(Point local, const Placement &placement);
// The point at `step` 64ths of a turn counter-clockwise from the +x axis on
// a circle around `centre`, from a table rather than std::sin, whose last
// bit may differ between C libraries.
Point onCircle(Point centre, Length radius, int step);

// "R0", "R90", ..., "MR270" as EAGLE writes a rotation.
QByteArray rotationText(const Placement &placement);

// A length as EAGLE writes it: millimetres without trailing zeros.
QByteArray lengthText(Length length);

} // namespace benchgen
