#pragma once

#include "geometry.h"

#include <QByteArray>
#include <QVector>

class QRandomGenerator;

namespace benchgen {

// The outline is the rectangle from (0, 0) to (width, height).
struct BoardSize
{
    Length width = 0;
    Length height = 0;
};

// A part on the board: an element of a device of the catalogue.
struct BoardPart
{
    QByteArray name;
    int device = 0; // index in Catalogue::devices
    QByteArray value;
    Placement placement;
};

// How far every pad and label of a part stays inside the outline, so that
// even the vias and stubs drawn beside a pad are on the board.
constexpr Length partMargin = 1.524_mm;

// About 25 square millimetres a part, three wide to two high, on a 1.27 mm
// grid, and never too small for the largest package.
BoardSize boardSizeFor(int partCount);

// Stand-offs in the corners, fiducials beside them, logos and the maker's
// name (on boards large enough to have them); the rest drawn at random by
// how common each device is and spread over a grid, neighbours in a snake
// so that consecutive parts are close to each other.
QVector<BoardPart> placeParts(int partCount, const BoardSize &size, QRandomGenerator &random);

} // namespace benchgen
