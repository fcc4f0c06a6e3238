#include "app/tavolin.h"
#include "catalogue/boardreader.h"
#include "shiftedboard.h"

// Board files are only ever read: opening them read-only keeps a board that
// was deleted or moved since loading from being created anew at its old path.
// They are read as written, not in text mode, as when they were loaded.
void Tavolin::addShiftedBoard(int boardIndex, int dx, int dy)
{
    const QString &path = boardPaths.at(boardIndex);
    inputFile.reset(new QFile(path));
    if (!inputFile->open(QIODevice::ReadOnly)) {
        showCritical(readErrorTitle(), openFailureText(path, inputFile->errorString()));
        return;
    }
    const ShiftedCopy copy = shiftBoard(*inputFile, dx, dy);
    inputFile->close();
    if (!copy.succeeded()) {
        showCritical(readErrorTitle(), openFailureText(path, copy.error));
        return;
    }
    shiftedBoards.append(copy.document);
}
