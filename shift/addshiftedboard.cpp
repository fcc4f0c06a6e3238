// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/tavolin.h"
#include "layout/panelrun.h"
#include "shiftedboard.h"

void Tavolin::addShiftedBoard(int boardIndex, int dx, int dy)
{
    inputFile.reset(new QFile(boardPaths.at(boardIndex)));
    const ShiftedCopy copy = shiftBoardFile(*inputFile, dx, dy);
    if (!copy.succeeded()) {
        showProblem(unreadableBoardProblem(boardPaths.at(boardIndex), copy.error, boardIndex));
        return;
    }
    shiftedBoards.append(copy.document);
    shiftedBoardPaths.append(boardPaths.at(boardIndex));
}
