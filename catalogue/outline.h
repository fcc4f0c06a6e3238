#pragma once

#include <QString>

class QIODevice;

// The box of a board's outline, measured from the drawing origin: it always
// takes in (0, 0), so width and height are never negative.
struct OutlineBox
{
    double minX = 0.0;
    double maxX = 0.0;
    double minY = 0.0;
    double maxY = 0.0;

    double width() const { return maxX - minX; }
    double height() const { return maxY - minY; }
};

// Widens [low, high] to take in `value`. Both tests are strict, so a NaN
// changes nothing.
void extendRange(double value, double &low, double &high);

struct OutlineMeasurement
{
    OutlineBox box;
    QString error; // the reader's error text; empty when the whole file was read
};

// Streams once through a board file and takes the extents of the end points
// of every wire on layer 20, the board outline, wherever it stands.
OutlineMeasurement measureOutline(QIODevice &device);

// "100 mm x80 mm": the way the catalogue shows a board's size.
QString sizeText(double width, double height);
