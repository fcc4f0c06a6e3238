#include "app/tavolin.h"
#include "ui_tavolin.h"

#include "boardfile.h"
#include "boardreader.h"
#include "outline.h"

#include <QFileDialog>

void Tavolin::on_loadButton_clicked()
{
    maxX = maxY = minX = minY = 0.0;
    const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("Board hinzufügen"),
                                         QStringLiteral("/Eigene Bilder/"), tr("Boards (*.brd)"));
    inputFile.reset(new QFile(path));
    const OutlineMeasurement measured = measureBoardFile(*inputFile);
    if (!measured.error.isEmpty()) {
        showCritical(readErrorTitle(), measured.error);
        return;
    }
    minX = measured.box.minX;
    maxX = measured.box.maxX;
    minY = measured.box.minY;
    maxY = measured.box.maxY;

    boardPaths.append(path);
    ui->listBrdFiles->insertItem(ui->listBrdFiles->count(), path);
    boardWidths.append(measured.box.width());
    boardHeights.append(measured.box.height());
    boardStartsX.append(measured.box.minX);
    boardStartsY.append(measured.box.minY);
    ui->listSizes->insertItem(ui->listSizes->count(),
                              sizeText(measured.box.width(), measured.box.height()));
}

void Tavolin::on_deleteButton_clicked()
{
    const int row = ui->listBrdFiles->currentRow();
    if (row == -1)
        return;
    delete ui->listBrdFiles->takeItem(row);
    delete ui->listSizes->takeItem(row);
    if (row >= boardPaths.size())
        return;
    boardPaths.removeAt(row);
    boardWidths.removeAt(row);
    boardHeights.removeAt(row);
    boardStartsX.removeAt(row);
    boardStartsY.removeAt(row);
}

void Tavolin::extendX(double x)
{
    extendRange(x, minX, maxX);
}

void Tavolin::extendY(double y)
{
    extendRange(y, minY, maxY);
}
