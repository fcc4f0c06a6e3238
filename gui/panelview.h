// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "picture/panelpicture.h"

#include <QTransform>
#include <QWidget>

// The picture of the panel, fitted to the view. The wheel zooms about the
// cursor; a double click or a new size fits it again. A copy under the
// cursor tells its file and size in a tool tip.
class PanelView : public QWidget
{
    Q_OBJECT

public:
    explicit PanelView(QWidget *parent = nullptr);

    const PanelPicture &picture() const { return shown; }
    void setPicture(PanelPicture picture);
    // The copies of the board at this row of the list stand out; -1 for none.
    void setHighlightedBoard(int row);
    // From the panel's millimetres to the view's pixels, zoom included.
    QTransform toDevice() const;

    QSize sizeHint() const override { return QSize(400, 240); }

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    QString copyTipAt(const QPoint &position) const;

    PanelPicture shown;
    int highlighted = -1;
    QTransform zoom; // applied after the fitting, in pixels
};
