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
        preview.copies.append(
                {placement.board, placement.shift,
                 placedBox(run.boards().at(placement.board).footprint, placement.shift)});
    }
    return preview;
}

PanelPreview previewPanel(const QVector<PanelBoard> &boards, const PanelNumbers &numbers,
                          PanelRun::ReadTokens readAlready)
{
    PanelRun run(boards, numbers);
    run.reuse(std::move(readAlready));
    run.place();
    // Loose boards need not be read, unless a house's limits are to be checked.
    if (!numbers.frame.isOff() || numbers.frame.house != BoardHouse::None)
        run.shift();
    return previewOf(run);
}
