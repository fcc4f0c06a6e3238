#include "app/busycursor.h"
#include "app/tavolin.h"
#include "ui_tavolin.h"

#include "assembly/panelfile.h"
#include "rowplacer.h"

#include <QFileDialog>

void Tavolin::on_makePanel_clicked()
{
    const double panelWidth = ui->panelWidthBox->value();
    const double panelHeight = ui->panelHeightBox->value();
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), QString(),
                                                      tr("Eagle-Boards (*.brd)"));
    const BusyCursor busy;
    // The chosen file keeps its bytes until the whole panel is written: it
    // may be one of the loaded boards, which is read again below.
    panelFile.reset(new QSaveFile(path));
    if (!openPanelFile(*panelFile)) {
        showCritical(QStringLiteral("Save Panel"), QStringLiteral("Couldn't open save Location"));
        return;
    }
    RowPlacer placer(panelWidth, panelHeight);
    for (int i = 0; i < boardPaths.size(); ++i) {
        const BoardFootprint board {boardWidths.at(i), boardHeights.at(i), boardStartsX.at(i),
                                    boardStartsY.at(i)};
        const std::optional<PanelShift> shift = placer.place(board);
        if (!shift) {
            showCritical(QStringLiteral("No fit"),
                         QStringLiteral("Could not fit all Boards on Panel"));
            continue;
        }
        const int shifted = shiftedBoards.size();
        addShiftedBoard(i, shift->dx, shift->dy);
        if (shiftedBoards.size() > shifted)
            shiftedBoardPaths << boardPaths.at(i);
        placer.advance(ui->offsetBox->value());
    }
    writePanel();
}
