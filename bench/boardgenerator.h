#pragma once

#include <QByteArray>
#include <QtGlobal>

// Realistic EAGLE XML boards for the benchmark, made up rather than copied:
// an outline, libraries with a dozen or more packages, parts with smashed
// names and values, and signals with tracks, vias and ground pours, all in
// proportion to the part count (a 300-part board is about as large as a real
// one with 300 parts).

// The outline every generated board of `partCount` parts has: the rectangle
// from (0, 0) to (width, height), in millimetres.
struct GeneratedOutline
{
    double width = 0.0;
    double height = 0.0;
};
GeneratedOutline generatedOutline(int partCount);

// A complete board document (UTF-8) with exactly `partCount` parts (none when
// it is not positive). The same seed and part count give the same bytes on
// every run and every machine.
QByteArray generateBoard(quint32 seed, int partCount);
