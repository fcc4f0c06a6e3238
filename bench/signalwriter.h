#pragma once

#include "boardparts.h"
#include "netlist.h"
#include "xmlout.h"

class QRandomGenerator;

namespace benchgen {

// Writes <signals>: each net's contact references and its copper. Signals
// and supplies run as chains of 45-degree tracks from pad to pad, now on the
// pads' side, now hopping to the other side through vias, and now and then
// left as an unrouted air wire. Ground is poured on both sides and each of
// its pads drops to the pour through a via beside it. Every coordinate lies
// inside the outline.
void writeSignals(XmlOut &out, const QVector<Net> &nets, const QVector<BoardPart> &parts,
                  const BoardSize &size, QRandomGenerator &random);

} // namespace benchgen
