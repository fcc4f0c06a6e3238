// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDomDocument>
#include <QStringList>

// The panel as the merge operations build it on document trees: the
// first board parsed whole, every later one parsed, its names collected, its
// parts that lose their names relabelled, its names and references renamed
// throughout, its four sections merged, then the class and layer definitions
// the panel lacks copied over. Slow and memory
// hungry, but built from independent pieces; the streamed assembly must give
// the same tree.
QDomDocument referencePanel(const QStringList &boards);
