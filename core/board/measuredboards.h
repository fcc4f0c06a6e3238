// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "outline.h"

#include <QDateTime>
#include <QHash>
#include <QString>

#include <limits>
#include <memory>

// The measurements of the board files loaded so far. Most panels hold many
// copies of one board, and measuring one is a whole pass through its file:
// a file loaded again takes its first measurement, box and error alike, as
// long as it keeps its size and modification time.
class MeasuredBoards
{
public:
    // With `keepTokens` the pass that measures a file keeps its tokens too,
    // for a panel made right away from the same files: of a file of at most
    // `largestKept` bytes, as tokens take a few times their file's size.
    explicit MeasuredBoards(bool keepTokens = false,
                            qint64 largestKept = std::numeric_limits<qint64>::max())
        : keepTokens(keepTokens)
        , largestKept(largestKept)
    { }

    // One Load of the board at `path`: its outline, or why it cannot be read
    // (and where, for a text that is no board); a file the reader rejects
    // could never be placed. A file that does not open is not kept: it may
    // open at the next load with nothing else changed, once its permissions
    // are.
    OutlineMeasurement measure(const QString &path);
    // The tokens kept when the file at `path` was measured; null without.
    std::shared_ptr<const DocumentTokens> tokensOf(const QString &path) const;

private:
    struct Measured
    {
        qint64 size = 0;
        QDateTime modified;
        OutlineMeasurement measurement;
        std::shared_ptr<const DocumentTokens> tokens;
    };
    bool keepTokens;
    qint64 largestKept;
    QHash<QString, Measured> byPath; // by absolute path
};
