// SPDX-License-Identifier: GPL-3.0-or-later
// Prints the panel assembled from the board files named on the command line,
// so a test can compare the bytes that two separate processes produce.
#include "assembly/assemblepanel.h"

#include <QFile>

#include <cstdio>

int main(int argc, char *argv[])
{
    QStringList boards;
    for (int i = 1; i < argc; ++i) {
        QFile file(QString::fromLocal8Bit(argv[i]));
        if (!file.open(QIODevice::ReadOnly))
            return 2;
        boards << QString::fromUtf8(file.readAll());
    }
    QStringList known;
    QStringList duplicates;
    NameBook names(known, duplicates);
    const QByteArray text = assemblePanel(boards, names);
    return std::fwrite(text.constData(), 1, size_t(text.size()), stdout) == size_t(text.size()) ? 0
                                                                                                : 1;
}
