// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelpreview.h"

int PanelPreview::copyAt(OutlinePoint point) const
{
    for (int i = 0; i < copies.size(); ++i) {
        const OutlineBox &box = copies.at(i).box;
        if (point.x >= box.minX && point.x <= box.maxX && point.y >= box.minY
            && point.y <= box.maxY)
            return i;
    }
    return -1;
}

PanelPreview previewOf(const PanelRun &run)
{
    const AssembledPanel &panel = run.panel();
    PanelPreview preview;
    preview.width = panel.width;
    preview.height = panel.height;
    preview.numbers = run.settings();
    preview.boards = run.boards();
    preview.plan = run.framePlan();
    preview.problems = panel.problems;
    for (const PanelPlacement &placement : panel.placements) {
        const BoardFootprint &footprint = run.boards().at(placement.board).footprint;
        const double left = footprint.startX + placement.shift.dx;
        const double bottom = footprint.startY + placement.shift.dy;
        preview.copies.append({placement.board,
                               placement.shift,
                               {left, left + footprint.width, bottom, bottom + footprint.height}});
    }
    return preview;
}

PanelPreview previewPanel(const QVector<PanelBoard> &boards, const PanelNumbers &numbers,
                          PanelRun::ReadTokens readAlready)
{
    PanelRun run(boards, numbers);
    run.reuse(std::move(readAlready));
    run.place();
    if (!numbers.frame.isOff())
        run.shift();
    return previewOf(run);
}
