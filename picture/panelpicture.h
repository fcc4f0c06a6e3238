// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/run/panelpreview.h"

#include <QPainterPath>
#include <QRectF>
#include <QTransform>
#include <QVector>

class QPainter;

// A picture of a panel: its rectangle and rails, the routed channels, each
// copy's outline where the copy lies with its row number and file name, the
// tabs with their mouse bites, the V-cuts, the fiducials and the tooling
// holes. The
// outlines are turned into paths once, so that it paints as often as a view
// asks; it may be made on any thread.
class PanelPicture
{
public:
    PanelPicture() = default;
    explicit PanelPicture(PanelPreview preview);

    const PanelPreview &preview() const { return shown; }
    bool isEmpty() const { return shown.width <= 0 || shown.height <= 0; }

    // Maps the panel's millimetres, y up as on the board, into `target`,
    // keeping the proportions, centred, with `margin` device pixels around.
    QTransform fitting(const QRectF &target, double margin = 0.0) const;

    // Paints through `toDevice`; the copies of board `highlightedBoard` (a
    // row of the list) stand out.
    void paint(QPainter &painter, const QTransform &toDevice, int highlightedBoard = -1) const;

private:
    void paintBoards(QPainter &painter, const QTransform &toDevice, int highlightedBoard) const;
    void paintFrame(QPainter &painter) const;
    void paintVCuts(QPainter &painter) const;
    void paintLabels(QPainter &painter, const QTransform &toDevice) const;

    PanelPreview shown;
    // For each board: its closed outlines, to fill, and every primitive, to
    // stroke, in board coordinates.
    QVector<QPainterPath> areas;
    QVector<QPainterPath> strokes;
};

// Writes the picture to `path`: SVG for a ".svg" suffix, otherwise an image
// in the format its suffix names (PNG, ...). The picture is the panel alone,
// its proportions kept. Returns why nothing could be written; empty when
// the picture is in place.
QString savePicture(const PanelPicture &picture, const QString &path);
