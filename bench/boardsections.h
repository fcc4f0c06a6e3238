#pragma once

#include "boardparts.h"
#include "xmlout.h"

class QRandomGenerator;

namespace benchgen {

// The drawing of the board itself: the outline on layer 20 from (0, 0),
// titles and labels (some with characters that XML escapes), frame and
// measure lines on other layers, a dimension, holes.
void writePlain(XmlOut &out, const BoardSize &size, int partCount, QRandomGenerator &random);
// Only the libraries and packages the parts use, in catalogue order, as
// EAGLE copies them into a board.
void writeLibraries(XmlOut &out, const QVector<BoardPart> &parts);
// Every part, smashed: its NAME and VALUE (and PROD_ID, hidden) attributes
// stand on their own beside it.
void writeElements(XmlOut &out, const QVector<BoardPart> &parts);

} // namespace benchgen
