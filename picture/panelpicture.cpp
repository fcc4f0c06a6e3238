// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelpicture.h"

#include <QFileInfo>
#include <QHash>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include <algorithm>
#include <cmath>

namespace {

const QColor material(0x2f, 0x6b, 0x40);
const QColor boardColour(0x4a, 0x9a, 0x5c);
const QColor routed(0x1b, 0x22, 0x1d);
const QColor freeArea(0xe9, 0xe6, 0xda);
const QColor edge(0xf2, 0xec, 0xc8);
const QColor hole(0x10, 0x10, 0x10);
const QColor copper(0xd4, 0xa0, 0x17);
const QColor highlight(0xff, 0x8c, 0x1a);
const QColor vcutColour(0x00, 0xb4, 0xf0);

// The longer side of an exported picture at most, in pixels, and its scale
// at most, in pixels per millimetre.
constexpr double pictureSide = 2000.0;
constexpr double pictureScale = 8.0;

QPointF pointOf(OutlinePoint point)
{
    return {point.x, point.y};
}

QVector<QPointF> arcPoints(const OutlineArc &arc)
{
    const double sweep = std::isfinite(arc.sweep) ? std::min(std::abs(arc.sweep), 360.0) : 0.0;
    const int steps = std::clamp(int(std::ceil(sweep / 10.0)), 2, 36);
    const double radius = arc.radius();
    const double start = arc.startAngle();
    QVector<QPointF> points {pointOf(arc.from)};
    for (int i = 1; i < steps; ++i) {
        const double angle = start + arc.sweep * M_PI / 180.0 * i / steps;
        points.append(
                {arc.centre.x + radius * std::cos(angle), arc.centre.y + radius * std::sin(angle)});
    }
    points.append(pointOf(arc.to));
    return points;
}

// A crafted board may draw where no panel reaches, or at no number at all:
// such a piece is not drawn.
bool drawable(const QVector<QPointF> &piece)
{
    constexpr double farthest = 1e6; // mm
    return std::all_of(piece.begin(), piece.end(), [](const QPointF &point) {
        return std::abs(point.x()) <= farthest && std::abs(point.y()) <= farthest;
    });
}

QVector<QVector<QPointF>> piecesOf(const OutlineDrawing &drawing)
{
    QVector<QVector<QPointF>> pieces;
    const auto take = [&pieces](const QVector<QPointF> &piece) {
        if (drawable(piece))
            pieces.append(piece);
    };
    for (const OutlineLine &line : drawing.lines)
        take({pointOf(line.from), pointOf(line.to)});
    for (const OutlineArc &arc : drawing.arcs)
        take(arcPoints(arc));
    return pieces;
}

// Ends that meet within a thousandth of a millimetre meet.
QPair<qint64, qint64> endKey(const QPointF &point)
{
    return {qRound64(point.x() * 1000.0), qRound64(point.y() * 1000.0)};
}

// The closed runs of pieces that meet end to end, followed greedily: what
// an outline encloses.
QPainterPath enclosedArea(const QVector<QVector<QPointF>> &pieces)
{
    QMultiHash<QPair<qint64, qint64>, int> ends;
    for (int i = 0; i < pieces.size(); ++i) {
        ends.insert(endKey(pieces.at(i).constFirst()), i);
        ends.insert(endKey(pieces.at(i).constLast()), i);
    }
    QVector<bool> used(pieces.size());
    QPainterPath area;
    for (int start = 0; start < pieces.size(); ++start) {
        if (used.at(start))
            continue;
        used[start] = true;
        QVector<QPointF> run = pieces.at(start);
        const auto startKey = endKey(run.constFirst());
        bool closed = startKey == endKey(run.constLast());
        while (!closed) {
            int next = -1;
            for (auto it = ends.constFind(endKey(run.constLast()));
                 it != ends.constEnd() && it.key() == endKey(run.constLast()); ++it) {
                if (!used.at(it.value())) {
                    next = it.value();
                    break;
                }
            }
            if (next < 0)
                break;
            used[next] = true;
            QVector<QPointF> piece = pieces.at(next);
            if (endKey(piece.constFirst()) != endKey(run.constLast()))
                std::reverse(piece.begin(), piece.end());
            run += piece.mid(1);
            closed = endKey(run.constLast()) == startKey;
        }
        if (closed)
            area.addPolygon(QPolygonF(run));
    }
    return area;
}

QPainterPath strokesOf(const QVector<QVector<QPointF>> &pieces)
{
    QPainterPath path;
    for (const QVector<QPointF> &piece : pieces) {
        path.moveTo(piece.constFirst());
        for (int i = 1; i < piece.size(); ++i)
            path.lineTo(piece.at(i));
    }
    return path;
}

QRectF rectOf(const OutlineBox &box)
{
    return QRectF(QPointF(box.minX, box.minY), QPointF(box.maxX, box.maxY));
}

QPainterPath boxPath(const OutlineBox &box)
{
    QPainterPath path;
    path.addRect(rectOf(box));
    return path;
}

// A pen as wide on screen whatever the zoom.
QPen screenPen(const QColor &colour, double width)
{
    QPen pen(colour, width);
    pen.setCosmetic(true);
    return pen;
}

void paintDiscs(QPainter &painter, const QVector<OutlinePoint> &centres, double diameter)
{
    for (const OutlinePoint &centre : centres)
        painter.drawEllipse(pointOf(centre), diameter / 2.0, diameter / 2.0);
}

} // namespace

PanelPicture::PanelPicture(PanelPreview preview)
    : shown(std::move(preview))
{
    QHash<const OutlineDrawing *, int> done;
    for (const PanelBoard &board : std::as_const(shown.boards)) {
        const OutlineDrawing *drawing = board.drawing.get();
        const int same = done.value(drawing, -1);
        if (same >= 0) {
            areas.append(areas.at(same));
            strokes.append(strokes.at(same));
            continue;
        }
        const QVector<QVector<QPointF>> pieces =
                drawing ? piecesOf(*drawing) : QVector<QVector<QPointF>>();
        done.insert(drawing, areas.size());
        areas.append(enclosedArea(pieces));
        strokes.append(strokesOf(pieces));
    }
}

QTransform PanelPicture::fitting(const QRectF &target, double margin) const
{
    if (isEmpty())
        return QTransform();
    const double scale = std::max(0.0,
                                  std::min((target.width() - 2 * margin) / shown.width,
                                           (target.height() - 2 * margin) / shown.height));
    const QPointF centre = target.center();
    // y grows upwards on the board and downwards on the screen.
    return QTransform(scale, 0, 0, -scale, centre.x() - scale * shown.width / 2.0,
                      centre.y() + scale * shown.height / 2.0);
}

void PanelPicture::paint(QPainter &painter, const QTransform &toDevice, int highlightedBoard) const
{
    if (isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setWorldTransform(toDevice);
    const QRectF panel(0, 0, shown.width, shown.height);
    const int rail = shown.numbers.frame.frameWidth;
    painter.setPen(screenPen(Qt::black, 1.0));
    painter.setBrush(rail > 0 ? material : freeArea);
    painter.drawRect(panel);
    if (rail > 0) {
        painter.setPen(screenPen(edge, 1.0));
        painter.setBrush(routed);
        for (const ChannelEdge &channel : shown.plan.channels) {
            QPolygonF polygon;
            for (const OutlinePoint &point : channel)
                polygon << pointOf(point);
            painter.drawPolygon(polygon);
        }
        painter.setPen(QPen(edge, 0, Qt::DashLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(panel.adjusted(rail, rail, -rail, -rail));
    }
    paintBoards(painter, toDevice, highlightedBoard);
    paintFrame(painter);
    paintVCuts(painter);
    painter.setWorldTransform(QTransform());
    paintLabels(painter, toDevice);
    painter.restore();
}

void PanelPicture::paintBoards(QPainter &painter, const QTransform &toDevice,
                               int highlightedBoard) const
{
    for (const PreviewCopy &copy : shown.copies) {
        const QTransform moved = QTransform().rotate(90.0 * copy.shift.turn)
                * QTransform::fromTranslate(copy.shift.dx, copy.shift.dy);
        const QPainterPath &area = areas.at(copy.board);
        painter.setPen(Qt::NoPen);
        painter.setBrush(boardColour);
        // A board without closed outline shows as its box.
        painter.setWorldTransform(area.isEmpty() ? toDevice : moved * toDevice);
        painter.drawPath(area.isEmpty() ? boxPath(copy.box) : area);
        painter.setWorldTransform(moved * toDevice);
        painter.setPen(screenPen(shown.numbers.frame.frameWidth > 0 ? edge : material, 1.2));
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(strokes.at(copy.board));
        if (copy.board == highlightedBoard) {
            painter.setWorldTransform(toDevice);
            painter.setPen(screenPen(highlight, 2.5));
            QColor veil = highlight;
            veil.setAlpha(70);
            painter.setBrush(veil);
            painter.drawRect(rectOf(copy.box));
        }
    }
    painter.setWorldTransform(toDevice);
}

// Material across the channels, its mouse bites, and the rails' marks; each
// drawn with an edge a pixel wide, so that it shows at any size.
void PanelPicture::paintFrame(QPainter &painter) const
{
    const FramePlan &plan = shown.plan;
    const FrameSettings &settings = shown.numbers.frame;
    painter.setPen(screenPen(material.lighter(150), 1.0));
    painter.setBrush(material.lighter(120));
    for (const Tab &tab : plan.tabs) {
        painter.drawPolygon(QPolygonF({pointOf(tab.near.first), pointOf(tab.far.first),
                                       pointOf(tab.far.second), pointOf(tab.near.second)}));
    }
    painter.setPen(screenPen(hole, 1.0));
    painter.setBrush(hole);
    paintDiscs(painter, plan.biteHoles, settings.biteDrill);
    painter.setBrush(freeArea);
    paintDiscs(painter, plan.toolingHoles, settings.toolingDrill);
    painter.setPen(screenPen(copper.darker(130), 1.0));
    painter.setBrush(Qt::NoBrush);
    paintDiscs(painter, plan.fiducials, 2.0);
    painter.setBrush(copper);
    paintDiscs(painter, plan.fiducials, 1.0);
}

// Each cut runs the whole panel, over the boards and the rails alike.
void PanelPicture::paintVCuts(QPainter &painter) const
{
    QPen pen = screenPen(vcutColour, 1.5);
    pen.setStyle(Qt::DashLine);
    painter.setPen(pen);
    for (const VCut &cut : shown.plan.vcuts) {
        if (cut.vertical)
            painter.drawLine(QLineF(cut.at, 0.0, cut.at, shown.height));
        else
            painter.drawLine(QLineF(0.0, cut.at, shown.width, cut.at));
    }
}

// Each copy's row number and, where it fits, its file name, upright
// whatever the transform.
void PanelPicture::paintLabels(QPainter &painter, const QTransform &toDevice) const
{
    QFont font = painter.font();
    for (const PreviewCopy &copy : shown.copies) {
        const QRectF room = toDevice.mapRect(rectOf(copy.box)).adjusted(2, 2, -2, -2);
        const double size = std::min(14.0, room.height() / 3.0);
        if (size < 6.0)
            continue;
        font.setPixelSize(int(size));
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(Qt::white);
        const QString number = QString::number(copy.board + 1);
        const QString name = QFileInfo(shown.boards.at(copy.board).path).fileName();
        QFontMetricsF metrics(font);
        const bool nameFits = metrics.horizontalAdvance(name) <= room.width();
        painter.drawText(room, Qt::AlignCenter,
                         nameFits ? number + QLatin1Char('\n') + name : number);
    }
}

QString savePicture(const PanelPicture &picture, const QString &path)
{
    const PanelPreview &preview = picture.preview();
    const double scale =
            std::min(pictureScale, pictureSide / std::max({preview.width, preview.height, 1}));
    const QSize size(std::max(1, qRound(preview.width * scale)),
                     std::max(1, qRound(preview.height * scale)));
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool svg = suffix == QLatin1String("svg");
    if (!svg && !QImageWriter::supportedImageFormats().contains(suffix.toLatin1()))
        return QStringLiteral("a picture is written as .svg or .png, not as \"%1\"").arg(suffix);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    const QTransform toDevice = picture.fitting(QRectF(QPointF(0, 0), size));
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&file);
        generator.setSize(size);
        // At its true size in a drawing program: the panel's millimetres.
        generator.setResolution(qRound(scale * 25.4));
        generator.setViewBox(QRect(QPoint(0, 0), size));
        generator.setTitle(QStringLiteral("Panel"));
        QPainter painter(&generator);
        picture.paint(painter, toDevice);
    } else {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::white);
        QPainter painter(&image);
        picture.paint(painter, toDevice);
        painter.end();
        QImageWriter writer(&file, suffix.toLatin1());
        if (!writer.write(image)) {
            file.cancelWriting();
            return writer.errorString();
        }
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}
