// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelview.h"

#include <QFileInfo>
#include <QHelpEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>

#include <cmath>

namespace {

constexpr double margin = 8.0;
// Zoom per eighth of a degree of the wheel: one notch (15 degrees) is 20%.
const double zoomPerStep = std::pow(1.2, 1.0 / 120.0);

} // namespace

PanelView::PanelView(QWidget *parent)
    : QWidget(parent)
{
    setMinimumSize(120, 80);
}

void PanelView::setPicture(PanelPicture picture)
{
    shown = std::move(picture);
    update();
}

void PanelView::setHighlightedBoard(int row)
{
    highlighted = row;
    update();
}

QTransform PanelView::toDevice() const
{
    return shown.fitting(QRectF(rect()), margin) * zoom;
}

bool PanelView::event(QEvent *event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    const auto *help = static_cast<QHelpEvent *>(event);
    const QString tip = copyTipAt(help->pos());
    if (tip.isEmpty()) {
        QToolTip::hideText();
        event->ignore();
    } else {
        QToolTip::showText(help->globalPos(), tip, this);
    }
    return true;
}

QString PanelView::copyTipAt(const QPoint &position) const
{
    if (shown.isEmpty())
        return QString();
    const QPointF mm = toDevice().inverted().map(QPointF(position));
    const PanelPreview &preview = shown.preview();
    const int copy = preview.copyAt({mm.x(), mm.y()});
    if (copy < 0)
        return QString();
    // The size as the copy lies, turned or not.
    const PreviewCopy &placed = preview.copies.at(copy);
    return QFileInfo(preview.boards.at(placed.board).path).fileName() + QLatin1Char('\n')
            + sizeText(placed.box.width(), placed.box.height());
}

void PanelView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (shown.isEmpty())
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    shown.paint(painter, toDevice(), highlighted);
}

void PanelView::resizeEvent(QResizeEvent *)
{
    zoom.reset();
}

void PanelView::wheelEvent(QWheelEvent *event)
{
    const QPointF cursor = event->position();
    const double factor = std::pow(zoomPerStep, event->angleDelta().y());
    zoom *= QTransform::fromTranslate(-cursor.x(), -cursor.y())
            * QTransform::fromScale(factor, factor)
            * QTransform::fromTranslate(cursor.x(), cursor.y());
    update();
    event->accept();
}

void PanelView::mouseDoubleClickEvent(QMouseEvent *)
{
    zoom.reset();
    update();
}
