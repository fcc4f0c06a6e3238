// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

class QFile;

// Opens a board file the way every reader of boards opens it. Read-only: a
// write-protected board loads like any other, and a path that vanished is
// not created as an empty file. Not in text mode, which drops every CR byte
// and so takes apart UTF-16 boards and boards whose lines end in a bare CR.
// Returns why it cannot be opened, empty when the file is open.
QString openBoardFile(QFile &file);
