// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QIODevice>
#include <QString>

// The outcome of one pass over a board file: the shifted document, or the
// reader's description of why the pass failed.
struct ShiftedCopy
{
    QString document; // empty unless the pass succeeded
    QString error; // empty when the pass succeeded

    bool succeeded() const { return error.isEmpty(); }
};

// Reads the board document from `device`, which must be open for reading, and
// writes an auto-formatted copy of it with the coordinates of its drawing
// ("plain"), parts ("elements") and signals ("signals") moved by dx and dy
// millimetres. "libraries" and everything outside the four sections keep
// their attributes; the section start tags themselves lose theirs. A copy is
// made only for an error-free pass.
ShiftedCopy shiftBoard(QIODevice &device, int dx, int dy);

class QFile;

// Opens the board file of `file` as every reader of boards does, shifts it
// and closes it again. The error of a file that cannot be opened is the text
// the failure is reported with.
ShiftedCopy shiftBoardFile(QFile &file, int dx, int dy);
