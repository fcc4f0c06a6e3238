// SPDX-License-Identifier: GPL-3.0-or-later
#include "livepreview.h"

LivePreview::LivePreview(QObject *parent)
    : QObject(parent)
{
    pool.setMaxThreadCount(1);
}

// A worker still running would hand its picture to nobody.
LivePreview::~LivePreview()
{
    waiting.reset();
    pool.waitForDone();
}

void LivePreview::request(PreviewRequest request)
{
    ++generation;
    if (running)
        waiting = std::move(request);
    else
        start(std::move(request));
}

void LivePreview::start(PreviewRequest request)
{
    running = true;
    const quint64 startedAs = generation;
    pool.start([this, startedAs, request = std::move(request)] {
        const PanelPicture picture(previewPanel(request.boards, request.numbers, request.tokens));
        QMetaObject::invokeMethod(
                this, [this, startedAs, picture] { finish(startedAs, picture); },
                Qt::QueuedConnection);
    });
}

void LivePreview::finish(quint64 startedAs, const PanelPicture &picture)
{
    running = false;
    if (waiting) {
        PreviewRequest next = std::move(*waiting);
        waiting.reset();
        start(std::move(next));
    }
    if (startedAs != generation)
        return;
    current = picture;
    emit pictureChanged();
}
