// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchstages.h"

#include "core/board/boardfile.h"
#include "core/board/measuredboards.h"
#include "core/run/panelpreview.h"
#include "core/run/panelrun.h"
#include "literalassembly.h"

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

// Loading a board into the catalogue: one pass that measures its outline,
// taken once for a file mentioned many times, as the program does.
QString loadCopies(const QString &boardPath, int copies, QVector<PanelBoard> &boards,
                   MeasuredBoards &measuredBoards)
{
    for (int i = 0; i < copies; ++i) {
        const OutlineMeasurement measured = measuredBoards.measure(boardPath);
        if (!measured.error.isEmpty())
            return QStringLiteral("cannot read %1: %2").arg(boardPath, measured.error);
        boards.append(measuredBoard(boardPath, measured.box, measured.drawing));
    }
    return QString();
}

// A panel just large enough for a square grid of the copies, so that every
// copy is placed.
PanelNumbers panelForCopies(const QVector<PanelBoard> &boards)
{
    const int count = boards.size();
    const int columns = int(std::ceil(std::sqrt(double(count))));
    const int rows = (count + columns - 1) / columns;
    const BoardFootprint &board = boards.first().footprint;
    const double slotWidth = std::ceil(board.width) + 1 + boardGap;
    const double slotHeight = std::ceil(board.height) + 1 + boardGap;
    PanelNumbers numbers;
    numbers.width = int(columns * slotWidth + 1);
    numbers.height = int(rows * slotHeight + 1);
    numbers.offset = boardGap;
    return numbers;
}

// The benchmark links no GUI library, and so not the command line's words
// either: its rare problem is told by kind and file.
QString problemText(const PanelProblem &problem)
{
    return QStringLiteral("problem %1: %2 %3").arg(problem.kind).arg(problem.file, problem.reason);
}

QString problemsOf(const PanelRun &run)
{
    QStringList lines;
    for (const PanelProblem &problem : run.panel().problems)
        lines << problemText(problem);
    return lines.join(QLatin1Char('\n'));
}

QString cannotWrite(const QFileDevice &file)
{
    return QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
}

// Saved as the make-panel run saves it, synced to disk and renamed.
QString assembleAndWrite(PanelRun &run, const QString &panelPath, Figures &result)
{
    QElapsedTimer timer;
    timer.start();
    run.assemble();
    result[QStringLiteral("assemble")] = millisecondsOf(timer);
    timer.start();
    QSaveFile file(panelPath);
    std::optional<PanelProblem> problem = openPanelOutput(file);
    if (!problem)
        problem = savePanelOutput(file, run.panel().text);
    result[QStringLiteral("write")] = millisecondsOf(timer);
    return problem ? problemText(*problem) : QString();
}

// The baseline merges whole documents, one for each copy: each copy moved to
// its place, written as a panel of its own.
QStringList copyTexts(const PanelRun &run)
{
    QStringList texts;
    for (const BoardCopy &copy : run.copies()) {
        QStringList known;
        QStringList duplicates;
        NameBook names(known, duplicates);
        texts << QString::fromUtf8(assembleCopies({copy}, names).text.joined());
    }
    return texts;
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
    QVector<PanelBoard> boards;
    MeasuredBoards measuredBoards;
    QString error = loadCopies(boardPath, copies, boards, measuredBoards);
    result[QStringLiteral("load")] = millisecondsOf(timer);
    if (!error.isEmpty())
        return error;
    PanelRun run(boards, panelForCopies(boards));
    timer.start();
    run.place();
    result[QStringLiteral("place")] = millisecondsOf(timer);
    timer.start();
    run.shift();
    result[QStringLiteral("shift")] = millisecondsOf(timer);
    // Every copy fits and is read: anything reported spoils the figures.
    error = problemsOf(run);
    if (!error.isEmpty())
        return error;
    error = assembly == Assembly::Tavolin
            ? assembleAndWrite(run, panelPath, result)
            : literalAssembleAndWrite(copyTexts(run), panelPath, result);
    digest = fileDigest(panelPath);
    result[QStringLiteral("outBytes")] = QFile(panelPath).size();
    double total = 0;
    for (const char *stage : {"load", "place", "shift", "assemble", "write"})
        total += result.value(QLatin1String(stage));
    result[QStringLiteral("total")] = total;
    return error;
}

QString runPreview(const QString &boardPath, int copies, Figures &result)
{
    QVector<PanelBoard> boards;
    MeasuredBoards measuredBoards(true);
    const QString error = loadCopies(boardPath, copies, boards, measuredBoards);
    if (!error.isEmpty())
        return error;
    PanelNumbers numbers = panelForCopies(boards);
    QElapsedTimer timer;
    timer.start();
    PanelPreview preview = previewPanel(boards, numbers);
    result[QStringLiteral("preview")] = millisecondsOf(timer);
    FrameSettings &frame = numbers.frame;
    frame.frameWidth = 5;
    frame.tabWidth = 5;
    frame.fiducials = true;
    frame.toolingDrill = 2;
    const int inset = 2 * (frame.frameWidth + numbers.offset);
    numbers.width += inset;
    numbers.height += inset;
    timer.start();
    preview = previewPanel(boards, numbers, {{boardPath, measuredBoards.tokensOf(boardPath)}});
    result[QStringLiteral("framedPreview")] = millisecondsOf(timer);
    result[QStringLiteral("framedPlaced")] = preview.copies.size();
    return QString();
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
        QString error = openBoardFile(file);
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
