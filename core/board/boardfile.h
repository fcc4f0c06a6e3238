// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "outline.h"

#include <QString>

class QFile;

// Opens a board file the way every reader of boards opens it. Read-only: a
// write-protected board loads like any other, and a path that vanished is
// not created as an empty file. Not in text mode, which drops every CR byte
// and so takes apart UTF-16 boards and boards whose lines end in a bare CR.
// Returns why it cannot be opened, empty when the file is open.
QString openBoardFile(QFile &file);

// One Load of a board: opens `file`, measures its outline and closes it.
// The error says why the board cannot be read (and where, for a text that is
// no board), empty when the board can be placed; a file the reader rejects
// could never be placed.
OutlineMeasurement measureBoardFile(QFile &file);
