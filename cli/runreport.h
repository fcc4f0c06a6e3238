// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/run/panelrun.h"

#include <QByteArray>

// What a run did, for scripts: the panel's size, where each copy went and
// how it was turned, each board left out and why, what the frame left out,
// the design-rule rows the window's box would show and, with a board house,
// the settings changed from its preset and the limits the panel breaks. JSON; the README
// gives its format.
//
// `rows` gives each of the run's boards its row, counting from 1: where it
// was named. `unread` holds the boards that could not be loaded, each with
// its row less one as its `board`.
struct RunRecord
{
    QVector<PanelBoard> boards;
    QVector<int> rows;
    PanelNumbers numbers;
    int width = 0;
    int height = 0;
    QVector<PanelPlacement> placements;
    QList<PanelProblem> problems;
    QList<PanelProblem> unread;
};
QByteArray runReport(const RunRecord &run);
