#pragma once

#include "packagebuilder.h"

#include <QByteArrayList>

namespace benchgen {

// The package families a board is made of, drawn the way common EAGLE
// libraries draw them: copper pads, silkscreen, documentation and courtyard
// lines, and the >NAME and >VALUE placeholders.

// Two-terminal chip parts (resistors, capacitors, inductors, LEDs, diodes),
// the body along x, the pads at plus and minus half the pitch.
struct ChipShape
{
    Length bodyLength;
    Length bodyWidth;
    Length padLength;
    Length padWidth;
    Length pitch;
};
Package chipPackage(const QByteArray &name, const ChipShape &shape,
                    const QByteArrayList &padNames = {"1", "2"});

// Gull-wing and flat-lead parts with pins on two sides (SOT-23, SOIC,
// TSSOP, SOT-223): pins 1.. along the bottom from the left, then back along
// the top, counter-clockwise as seen from above.
struct DualRowShape
{
    int bottomPins;
    int topPins;
    Length pitch;
    Length span; // between the centres of opposite pads
    Length padLength;
    Length padWidth;
};
Package dualRowPackage(const QByteArray &name, const DualRowShape &shape,
                       const QByteArrayList &padNames = {});

// QFN and QFP parts: pins 1.. counter-clockwise from the top of the left
// side, and an exposed pad "EP" in the middle when `exposedPad` is set.
struct QuadShape
{
    int pinsPerSide;
    Length pitch;
    Length span;
    Length padLength;
    Length padWidth;
    Length exposedPad; // side of the thermal pad; 0 for none
};
Package quadPackage(const QByteArray &name, const QuadShape &shape);

// Aluminium electrolytic capacitors: a square base with cut corners and a
// round can, pads "+" and "-".
Package electrolyticPackage(const QByteArray &name, Length diameter);
// A radio module with castellated pads down both sides and along the bottom
// (pins counter-clockwise from the top left), a ground pad beneath it and a
// copper-free zone under its antenna.
Package modulePackage(const QByteArray &name, int sidePins, int bottomPins);

// 0.1 inch through-hole headers; two-row headers number their pins in
// zig-zag, odd along the bottom row.
Package headerPackage(const QByteArray &name, int rows, int columns);
// Right-angle 2 mm SMD connectors with two mounting pads.
Package smdConnectorPackage(const QByteArray &name, int pins);
Package usbCPackage(const QByteArray &name);
Package crystalPackage(const QByteArray &name);
Package tactileSwitchPackage(const QByteArray &name);
Package slideSwitchPackage(const QByteArray &name);
Package testPointPackage(const QByteArray &name);
Package fiducialPackage(const QByteArray &name);
Package standOffPackage(const QByteArray &name);
// Silkscreen art: text and logos as many-vertex polygons, no pads.
Package labelPackage(const QByteArray &name, const QByteArray &label);
Package logoPackage(const QByteArray &name, Length diameter);

} // namespace benchgen
