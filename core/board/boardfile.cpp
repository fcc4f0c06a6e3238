// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardfile.h"

#include <QFile>

QString openBoardFile(QFile &file)
{
    return file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
}
