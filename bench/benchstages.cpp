#include "benchstages.h"

#include "assembly/assemblepanel.h"
#include "assembly/panelfile.h"
#include "catalogue/outline.h"
#include "layout/rowplacer.h"
#include "literalassembly.h"
#include "shift/shiftedboard.h"

#include <QCryptographicHash>
#include <QDomDocument>
#include <QElapsedTimer>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>
#include <QVector>
#include <QXmlStreamReader>

#include <cmath>

namespace {

constexpr int boardGap = 2; // mm between the boards of a row

double millisecondsOf(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

// Board files are opened as the program opens them.
QString openBoard(QFile &file)
{
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString());
    return QString();
}

// Loading a board into the catalogue: one pass that measures its outline.
QString loadCopies(const QString &boardPath, int copies, QVector<BoardFootprint> &footprints)
{
    for (int i = 0; i < copies; ++i) {
        QFile file(boardPath);
        QString error = openBoard(file);
        if (!error.isEmpty())
            return error;
        const OutlineMeasurement measured = measureOutline(file);
        if (!measured.error.isEmpty())
            return measured.error;
        footprints.append({measured.box.width(), measured.box.height(), measured.box.minX,
                           measured.box.minY});
    }
    return QString();
}

// A panel just large enough for a square grid of the copies, so that every
// copy is placed.
QString placeCopies(const QVector<BoardFootprint> &footprints, QVector<PanelShift> &shifts)
{
    const int count = footprints.size();
    const int columns = int(std::ceil(std::sqrt(double(count))));
    const int rows = (count + columns - 1) / columns;
    const BoardFootprint &board = footprints.first();
    const double slotWidth = std::ceil(board.width) + 1 + boardGap;
    const double slotHeight = std::ceil(board.height) + 1 + boardGap;
    RowPlacer placer(columns * slotWidth + 1, rows * slotHeight + 1);
    for (const BoardFootprint &footprint : footprints) {
        const std::optional<PanelShift> shift = placer.place(footprint);
        if (!shift)
            return QStringLiteral("a copy did not fit on the panel");
        shifts.append(*shift);
        placer.advance(boardGap);
    }
    return QString();
}

QString shiftCopies(const QString &boardPath, const QVector<PanelShift> &shifts,
                    QStringList &shiftedBoards)
{
    for (const PanelShift &shift : shifts) {
        QFile file(boardPath);
        QString error = openBoard(file);
        if (!error.isEmpty())
            return error;
        const ShiftedCopy copy = shiftBoard(file, shift.dx, shift.dy);
        if (!copy.succeeded())
            return copy.error;
        shiftedBoards.append(copy.document);
    }
    return QString();
}

QString cannotWrite(const QFileDevice &file)
{
    return QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
}

QString assembleAndWrite(const QStringList &shiftedBoards, const QString &panelPath,
                         Figures &result)
{
    QElapsedTimer timer;
    timer.start();
    QStringList known;
    QStringList duplicates;
    NameBook names(known, duplicates);
    const QByteArray text = assemblePanel(shiftedBoards, names);
    result[QStringLiteral("assemble")] = millisecondsOf(timer);
    // Saved as the make-panel run saves it, synced to disk and renamed.
    timer.start();
    QSaveFile file(panelPath);
    const QString error = openPanelFile(file) ? savePanelFile(file, text) : cannotWrite(file);
    result[QStringLiteral("write")] = millisecondsOf(timer);
    return error;
}

// The baseline builds and saves its tree in one go: its time is all
// "assemble".
QString literalAssembleAndWrite(const QStringList &shiftedBoards, const QString &panelPath,
                                Figures &result)
{
    QElapsedTimer timer;
    timer.start();
    QFile file(panelPath);
    QString error;
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        LiteralAssembly().writePanel(shiftedBoards, file);
    else
        error = cannotWrite(file);
    result[QStringLiteral("assemble")] = millisecondsOf(timer);
    result[QStringLiteral("write")] = 0;
    return error;
}

QString fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(&file);
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace

QString runPipeline(const QString &boardPath, int copies, Assembly assembly,
                    const QString &panelPath, Figures &result, QString &digest)
{
    QElapsedTimer timer;
    timer.start();
    QVector<BoardFootprint> footprints;
    QString error = loadCopies(boardPath, copies, footprints);
    result[QStringLiteral("load")] = millisecondsOf(timer);
    if (!error.isEmpty())
        return error;
    timer.start();
    QVector<PanelShift> shifts;
    error = placeCopies(footprints, shifts);
    result[QStringLiteral("place")] = millisecondsOf(timer);
    if (!error.isEmpty())
        return error;
    timer.start();
    QStringList shiftedBoards;
    error = shiftCopies(boardPath, shifts, shiftedBoards);
    result[QStringLiteral("shift")] = millisecondsOf(timer);
    if (!error.isEmpty())
        return error;
    error = assembly == Assembly::Tavolin
            ? assembleAndWrite(shiftedBoards, panelPath, result)
            : literalAssembleAndWrite(shiftedBoards, panelPath, result);
    digest = fileDigest(panelPath);
    result[QStringLiteral("outBytes")] = QFile(panelPath).size();
    double total = 0;
    for (const char *stage : {"load", "place", "shift", "assemble", "write"})
        total += result.value(QLatin1String(stage));
    result[QStringLiteral("total")] = total;
    return error;
}

QString runDomFloor(const QString &panelPath, Figures &result)
{
    QFile input(panelPath);
    if (!input.open(QIODevice::ReadOnly))
        return input.errorString();
    const QByteArray text = input.readAll();
    QElapsedTimer timer;
    timer.start();
    QDomDocument document;
    if (!document.setContent(text))
        return QStringLiteral("the panel does not parse");
    QFile output(panelPath + QStringLiteral(".dom"));
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text))
        return output.errorString();
    {
        QTextStream stream(&output);
        document.save(stream, 3, QDomNode::EncodingFromDocument);
    }
    output.close();
    result[QStringLiteral("dom")] = millisecondsOf(timer);
    output.remove();
    return QString();
}

QString runCopyFloor(const QString &boardPath, int copies, const QString &panelPath,
                     Figures &result)
{
    QFile panel(panelPath);
    if (!panel.open(QIODevice::ReadOnly))
        return panel.errorString();
    const QByteArray text = panel.readAll();
    QElapsedTimer timer;
    timer.start();
    qint64 read = 0;
    for (int i = 0; i < copies; ++i) {
        QFile board(boardPath);
        if (!board.open(QIODevice::ReadOnly))
            return board.errorString();
        read += board.readAll().size();
    }
    QFile output(panelPath + QStringLiteral(".copy"));
    if (!output.open(QIODevice::WriteOnly | QIODevice::Truncate)
        || output.write(text) != text.size() || !output.flush())
        return output.errorString();
    output.close();
    result[QStringLiteral("copy")] = millisecondsOf(timer);
    result[QStringLiteral("inBytes")] = double(read);
    output.remove();
    return QString();
}

QString runReaderFloor(const QString &boardPath, int copies, Figures &result)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < copies; ++i) {
        QFile file(boardPath);
        QString error = openBoard(file);
        if (!error.isEmpty())
            return error;
        QXmlStreamReader reader(&file);
        while (!reader.atEnd())
            reader.readNext();
        if (reader.hasError())
            return reader.errorString();
    }
    result[QStringLiteral("reader")] = millisecondsOf(timer);
    return QString();
}
