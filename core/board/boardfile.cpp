// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardfile.h"

#include "core/xml/boardreader.h"

#include <QFile>

QString openBoardFile(QFile &file)
{
    return file.open(QIODevice::ReadOnly) ? QString() : file.errorString();
}

OutlineMeasurement measureBoardFile(QFile &file)
{
    const QString openError = openBoardFile(file);
    if (!openError.isEmpty())
        return {OutlineBox(), openError};
    const OutlineMeasurement measured = measureOutline(file);
    file.close();
    return measured;
}
