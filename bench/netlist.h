#pragma once

#include "boardparts.h"

#include <QByteArray>
#include <QVector>

class QRandomGenerator;

namespace benchgen {

struct Contact
{
    int part = 0; // index in the board's parts
    int pad = 0; // index in the pads of the part's package
};

struct Net
{
    enum Kind { Signal, Supply, Ground };

    QByteArray name;
    Kind kind = Signal;
    QVector<Contact> contacts;
};

// Wires the pads of the parts into nets the way a schematic would: capacitors
// between a supply and ground, resistors in series with signals, chips with
// ground and supply pins and a few left open. A signal joins pads of parts
// placed close to each other, so that its tracks stay short. The supplies
// come first, then the signals, ground last; nets without a pad are left out.
QVector<Net> buildNets(const QVector<BoardPart> &parts, QRandomGenerator &random);

} // namespace benchgen
