#include "app/busycursor.h"
#include "app/tavolin.h"
#include "ui_tavolin.h"

#include "rowplacer.h"

#include <QFileDialog>

void Tavolin::on_makePanel_clicked()
{
    const double panelWidth = ui->panelWidthBox->value();
    const double panelHeight = ui->panelHeightBox->value();
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Save As"), QString(),
                                                      tr("Eagle-Boards (*.brd)"));
    const BusyCursor busy;
    // Not truncated here: the output may be one of the loaded boards, which
    // is read again below before the panel overwrites it.
    panelFile.reset(new QFile(path));
    if (!panelFile->open(QIODevice::ReadWrite | QIODevice::Text)) {
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
        addShiftedBoard(i, shift->dx, shift->dy);
        placer.advance(ui->offsetBox->value());
    }
    writePanel();
    panelFile->close();
}
