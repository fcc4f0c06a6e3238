// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardlistmodel.h"
#include "busycursor.h"
#include "tavolin.h"
#include "ui_tavolin.h"

#include "core/xml/boardreader.h"

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
    for (const QString &path : paths) {
        const OutlineMeasurement measured = measuredBoards.measure(path);
        if (!measured.error.isEmpty()) {
            showCritical(readErrorTitle(), openFailureText(path, measured.error));
            continue;
        }
        boardList->append(measuredBoard(path, measured.box, measured.drawing));
        openFolder = QFileInfo(path).absolutePath();
    }
}

// Most panels are copies of one board: a copy needs no second trip through
// the dialog, nor a second reading of the file.
void Tavolin::duplicateBoard()
{
    const int row = chosenRow();
    if (row >= 0)
        boardList->append(boardList->boards().at(row));
}

void Tavolin::turnBoard()
{
    boardList->turn(chosenRow());
}

void Tavolin::fillWithChosenBoard()
{
    const int row = chosenRow();
    if (row < 0)
        return;
    const BusyCursor busy;
    const QVector<PanelBoard> &boards = boardList->boards();
    const QVector<PanelBoard> filled = filledBoards(boards, {boards.at(row)}, panelNumbers(),
                                                    keptTokens(boards, measuredBoards));
    boardList->append(filled.mid(boards.size()));
}

int Tavolin::chosenRow() const
{
    const QModelIndex current = ui->listBrdFiles->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void Tavolin::on_deleteButton_clicked()
{
    boardList->remove(chosenRow());
}
