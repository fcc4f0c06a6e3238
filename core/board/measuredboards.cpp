// SPDX-License-Identifier: GPL-3.0-or-later
#include "measuredboards.h"

#include "boardfile.h"

#include <QFile>
#include <QFileInfo>

OutlineMeasurement MeasuredBoards::measure(const QString &path)
{
    // Looked at before reading: a file written while it is read differs
    // from what was read, and is measured again at its next load.
    const QFileInfo info(path);
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    const QString key = info.absoluteFilePath();
    const auto known = byPath.constFind(key);
    if (known != byPath.constEnd() && known->size == size && known->modified == modified)
        return known->measurement;
    QFile file(path);
    const QString openError = openBoardFile(file);
    if (!openError.isEmpty()) {
        byPath.remove(key);
        return {OutlineBox(), openError, nullptr};
    }
    const MeasuredTokens read = keepTokens && size <= largestKept
            ? measureOutlineKeepingTokens(file)
            : MeasuredTokens {measureOutline(file), nullptr};
    byPath.insert(key, {size, modified, read.measurement, read.tokens});
    return read.measurement;
}

std::shared_ptr<const DocumentTokens> MeasuredBoards::tokensOf(const QString &path) const
{
    return byPath.value(QFileInfo(path).absoluteFilePath()).tokens;
}
