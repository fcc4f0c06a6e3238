#include "app/tavolin.h"
#include "ui_tavolin.h"

#include "boardreader.h"
#include "outline.h"

#include <QFileDialog>

void Tavolin::on_loadButton_clicked()
{
    maxX = maxY = minX = minY = 0.0;
    const QString path =
            QFileDialog::getOpenFileName(this, QStringLiteral("Board hinzufügen"),
                                         QStringLiteral("/Eigene Bilder/"), tr("Boards (*.brd)"));
    // Read-only: a write-protected board loads like any other, and a path
    // that vanished is not created as an empty file. Not in text mode, which
    // drops every CR byte and so takes apart UTF-16 boards and boards whose
    // lines end in a bare CR.
    if (path.isEmpty())
        return; // the dialog was cancelled
    inputFile.reset(new QFile(path));
    if (!inputFile->open(QIODevice::ReadOnly)) {
        showCritical(readErrorTitle(), openFailureText(path, inputFile->errorString()));
        return;
    }
    const OutlineMeasurement measured = measureOutline(*inputFile);
    inputFile->close();
    // A file the reader rejects could never be placed, so it stays out.
    if (!measured.error.isEmpty()) {
        showCritical(readErrorTitle(), openFailureText(path, measured.error));
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
