// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "panelrun.h"

// A copy as a picture of the panel shows it.
struct PreviewCopy
{
    int board = -1; // index into the boards: the row of the board list
    PanelShift shift;
    OutlineBox box; // of its outline, on the panel
};

// What a picture of the panel shows, worked out as a make-panel run places
// and frames the boards, with nothing read again and nothing written.
struct PanelPreview
{
    int width = 0; // the panel's outer size in whole mm, as the run makes it
    int height = 0;
    PanelNumbers numbers;
    QVector<PanelBoard> boards; // as loaded; their drawings are what is shown
    QVector<PreviewCopy> copies; // in board order
    FramePlan plan; // empty with the frame off
    // What the run reports: the boards left out, each with why, and rail
    // features left out; never design rules, which only the assembly finds.
    QList<PanelProblem> problems;

    // The copy whose outline box holds the point, -1 for none.
    int copyAt(OutlinePoint point) const;
};

// The picture of a run placed (and, with a frame, shifted).
PanelPreview previewOf(const PanelRun &run);

// Places the boards and plans the frame as a make-panel run does. Without a
// frame nothing is read; with one, the copies' outlines and copper are taken
// from `readAlready`, which should hold every board.
PanelPreview previewPanel(const QVector<PanelBoard> &boards, const PanelNumbers &numbers,
                          PanelRun::ReadTokens readAlready = {});
