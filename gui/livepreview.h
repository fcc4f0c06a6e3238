// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/panelpicture.h"

#include <QObject>
#include <QThreadPool>

#include <optional>

// What a preview is worked out from: plain copies, so that a worker thread
// may hold them while the window goes on changing its own.
struct PreviewRequest
{
    QVector<PanelBoard> boards;
    PanelNumbers numbers;
    PanelRun::ReadTokens tokens;
};

// Works out the picture of the panel away from the window's thread, one
// request at a time. A request made while one runs waits, replacing any
// request waiting before it; only the newest request's picture is shown.
class LivePreview : public QObject
{
    Q_OBJECT

public:
    explicit LivePreview(QObject *parent = nullptr);
    ~LivePreview() override;

    void request(PreviewRequest request);
    const PanelPicture &picture() const { return current; }

signals:
    void pictureChanged();

private:
    void start(PreviewRequest request);
    void finish(quint64 startedAs, const PanelPicture &picture);

    QThreadPool pool;
    quint64 generation = 0;
    bool running = false;
    std::optional<PreviewRequest> waiting;
    PanelPicture current;
};
