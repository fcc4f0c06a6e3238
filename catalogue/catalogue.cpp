// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tavolin.h"
#include "ui_tavolin.h"

#include "boardreader.h"
#include "outline.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

void Tavolin::on_loadButton_clicked()
{
    // A cancelled dialog returns no path, and nothing is loaded.
    loadBoards(QFileDialog::getOpenFileNames(this, tr("Add Boards"), openFolder,
                                             tr("Boards (*.brd)")));
}

// A dialog told a folder that does not exist starts in the working directory,
// which for a program started from the menu says nothing.
QString Tavolin::documentsFolder()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (documents.isEmpty() || !QFileInfo(documents).isDir())
        return QDir::homePath();
    return documents;
}

void Tavolin::loadBoards(const QStringList &paths)
{
    for (const QString &path : paths)
        loadBoard(path);
}

void Tavolin::loadBoard(const QString &path)
{
    maxX = maxY = minX = minY = 0.0;
    const OutlineMeasurement measured = measuredBoards.measure(path);
    if (!measured.error.isEmpty()) {
        showCritical(readErrorTitle(), openFailureText(path, measured.error));
        return;
    }
    minX = measured.box.minX;
    maxX = measured.box.maxX;
    minY = measured.box.minY;
    maxY = measured.box.maxY;
    appendBoard(path, measuredBoard(path, measured.box).footprint);
    openFolder = QFileInfo(path).absolutePath();
}

void Tavolin::appendBoard(const QString &path, const BoardFootprint &footprint)
{
    boardPaths.append(path);
    ui->listBrdFiles->insertItem(ui->listBrdFiles->count(), path);
    boardWidths.append(footprint.width);
    boardHeights.append(footprint.height);
    boardStartsX.append(footprint.startX);
    boardStartsY.append(footprint.startY);
    ui->listSizes->insertItem(ui->listSizes->count(), sizeText(footprint.width, footprint.height));
}

// Most panels are copies of one board: a copy needs no second trip through
// the dialog, nor a second reading of the file.
void Tavolin::duplicateBoard()
{
    const int row = ui->listBrdFiles->currentRow();
    if (row < 0 || row >= boardPaths.size())
        return;
    appendBoard(boardPaths.at(row), footprintAt(row));
}

BoardFootprint Tavolin::footprintAt(int row) const
{
    return {boardWidths.at(row), boardHeights.at(row), boardStartsX.at(row), boardStartsY.at(row)};
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
