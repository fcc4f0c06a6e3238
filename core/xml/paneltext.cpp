// SPDX-License-Identifier: GPL-3.0-or-later
#include "paneltext.h"

#include <algorithm>
#include <limits>

PanelText::PanelText(QVector<QByteArray> blocks)
    : parts(std::move(blocks))
{
    parts.erase(std::remove_if(parts.begin(), parts.end(),
                               [](const QByteArray &block) { return block.isEmpty(); }),
                parts.end());
}

qint64 PanelText::size() const
{
    qint64 size = 0;
    for (const QByteArray &block : parts)
        size += block.size();
    return size;
}

QByteArray PanelText::joined() const
{
    if (parts.size() == 1)
        return parts.first();
    QByteArray bytes;
    bytes.reserve(int(std::min(size(), qint64(std::numeric_limits<int>::max() - 64))));
    for (const QByteArray &block : parts)
        bytes += block;
    return bytes;
}
