// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documenttokens.h"

#include <QIODevice>
#include <QString>
#include <QXmlStreamReader>

#include <functional>
#include <memory>

// A board file read once for all its copies on a panel, as the panel writes
// each copy: the start tags of its sections ("plain", "libraries",
// "elements", "signals") without their attributes, texts that are whitespace
// only left out, prefixed attributes under the prefixes the panel declares
// for them, and the coordinates of the drawing ("plain"), parts ("elements")
// and signals ("signals") kept as read, so that each copy moves them on the
// way out (DocumentTokens::shifted).
struct BoardTokens
{
    std::shared_ptr<const DocumentTokens> tokens; // null when the read failed
    QString error; // empty when the read succeeded
};

// Called with every token of a read as readBoard() calls its visitor, so that
// one read of a board serves another reader of it too.
using BoardVisit =
        std::function<void(const QXmlStreamReader &, QXmlStreamReader::TokenType, int depth)>;

// Reads the board document from `device`, which must be open for reading.
BoardTokens readBoardTokens(QIODevice &device, const BoardVisit &alsoVisit = {});
