// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "outlineshape.h"

#include <QString>

#include <memory>

class DocumentTokens;
struct OutlineDrawing;
class QIODevice;

struct OutlineMeasurement
{
    OutlineBox box;
    QString error; // why the reader stopped, with where; empty when the whole file was read
    std::shared_ptr<const OutlineDrawing> drawing; // what the box was taken of
};

// Streams once through a board file and takes the box of its outline, and
// the outline's drawing: the wires and circles on layer 20, where they are
// drawn on the board: those of the drawing and the signals as written, those
// of a package as each part that places the package puts them. An arc counts
// by its whole extent.
OutlineMeasurement measureOutline(QIODevice &device);

// The same pass keeping the board's tokens too (readBoardTokens), for a
// caller that makes its panel right after measuring.
struct MeasuredTokens
{
    OutlineMeasurement measurement;
    std::shared_ptr<const DocumentTokens> tokens; // null when the read failed
};
MeasuredTokens measureOutlineKeepingTokens(QIODevice &device);

// "100 mm x80 mm": the way the catalogue shows a board's size.
QString sizeText(double width, double height);
