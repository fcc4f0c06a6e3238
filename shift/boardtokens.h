// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "assembly/documenttokens.h"

#include <QIODevice>
#include <QString>

#include <memory>

class QFile;

// A board file read once for all its copies on a panel: the tokens that
// reading its shifted copy would give, with the coordinates of its drawing
// ("plain"), parts ("elements") and signals ("signals") kept as read, so
// that each copy moves them on the way out (DocumentTokens::shifted).
struct BoardTokens
{
    // Null when the read failed, or when the board has namespaced
    // attributes: only the text copy of shiftBoard() writes those as a copy
    // holds them, so such a board is copied as text.
    std::shared_ptr<const DocumentTokens> tokens;
    QString error; // empty when the read succeeded

    bool succeeded() const { return error.isEmpty(); }
};

// Reads the board document from `device`, which must be open for reading.
BoardTokens readBoardTokens(QIODevice &device);
// Opens the board file of `file` as every reader of boards does, reads it
// and closes it again.
BoardTokens readBoardTokensFile(QFile &file);
