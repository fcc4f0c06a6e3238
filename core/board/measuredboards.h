// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "outline.h"

#include <QDateTime>
#include <QHash>
#include <QString>

// The measurements of the board files loaded so far. Most panels hold many
// copies of one board, and measuring one is a whole pass through its file:
// a file loaded again takes its first measurement, box and error alike, as
// long as it keeps its size and modification time.
class MeasuredBoards
{
public:
    // One Load of the board at `path`: its outline, or why it cannot be read
    // (and where, for a text that is no board); a file the reader rejects
    // could never be placed. A file that does not open is not kept: it may
    // open at the next load with nothing else changed, once its permissions
    // are.
    OutlineMeasurement measure(const QString &path);

private:
    struct Measured
    {
        qint64 size = 0;
        QDateTime modified;
        OutlineMeasurement measurement;
    };
    QHash<QString, Measured> byPath; // by absolute path
};
