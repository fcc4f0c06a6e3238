// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QVector>

// A panel file's bytes, in the blocks they were written in. A panel of many
// copies runs to tens of megabytes: joining its blocks into one array would
// copy every byte once more into as much fresh memory, for nothing when the
// bytes go to a file.
class PanelText
{
public:
    PanelText() = default;
    explicit PanelText(QVector<QByteArray> blocks);

    bool isEmpty() const { return parts.isEmpty(); }
    qint64 size() const;
    // Never an empty one.
    const QVector<QByteArray> &blocks() const { return parts; }
    // The bytes in one array, for callers that need them so.
    QByteArray joined() const;

private:
    QVector<QByteArray> parts;
};
