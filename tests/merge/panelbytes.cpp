// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the panel assembled from the board files named on the command line,
// so a test can compare the bytes that two separate processes produce.
#include "core/merge/assemblepanel.h"
#include "core/xml/boardtokens.h"

#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QVector<BoardCopy> copies;
    for (int i = 1; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        BoardCopy copy;
        if (!file.open(QIODevice::ReadOnly) || !(copy.board = readBoardTokens(file).tokens))
            return 2;
        copy.rules = DesignRules::of(*copy.board);
        copies << copy;
    }
    QStringList known;
    QStringList duplicates;
    NameBook names(known, duplicates);
    const QByteArray text = assembleCopies(copies, names).text.joined();
    return std::fwrite(text.constData(), 1, size_t(text.size()), stdout) == size_t(text.size()) ? 0
                                                                                                : 1;
}
