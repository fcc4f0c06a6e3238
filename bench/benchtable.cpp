// SPDX-License-Identifier: GPL-3.0-or-later
#include "benchtable.h"

#include <algorithm>

namespace {

const double mega = 1e6;

double figure(const Figures &figures, const char *key)
{
    return figures.value(QLatin1String(key));
}

double totalMs(const Figures &run)
{
    return figure(run, "total");
}

// What the make-panel button does: all but loading.
double makePanelMs(const Figures &run)
{
    return totalMs(run) - figure(run, "load");
}

// Peak memory above the idle process (Qt's libraries and heap before any
// board is read), per byte of the panel.
double peakPerOutputByte(const Figures &run)
{
    const double grownKb = figure(run, "peakKb") - figure(run, "idleKb");
    return grownKb * 1024 / figure(run, "outBytes");
}

QString number(double value, int decimals)
{
    return QString::number(value, 'f', decimals);
}

// Time of this row over that of the row with half the copies; 0 when there
// is none.
double growth(const QList<BenchRow> &rows, int index, double (*time)(const BenchRow &))
{
    for (int i = 0; i < index; ++i) {
        if (rows.at(i).copies * 2 == rows.at(index).copies && time(rows.at(i)) > 0)
            return time(rows.at(index)) / time(rows.at(i));
    }
    return 0;
}

QString growthText(const QList<BenchRow> &rows, int index, double (*time)(const BenchRow &))
{
    const double grown = growth(rows, index, time);
    return grown > 0 ? number(grown, 2) : QStringLiteral("-");
}

double pipelineMs(const BenchRow &row)
{
    return totalMs(row.pipeline);
}

double baselineMs(const BenchRow &row)
{
    return totalMs(row.baseline);
}

double pipelineInstructions(const BenchRow &row)
{
    return figure(row.pipeline, "instructions");
}

void printInstructions(QTextStream &out, const QList<BenchRow> &rows)
{
    if (pipelineInstructions(rows.first()) <= 0)
        return;
    out << "\nInstructions of one pipeline run (callgrind, whole child process):\n\n"
        << "| K | M instructions | x per doubling | per copy (M) |\n|---|---|---|---|\n";
    for (int i = 0; i < rows.size(); ++i) {
        const double instructions = pipelineInstructions(rows.at(i));
        out << "| " << rows.at(i).copies << " | " << number(instructions / mega, 0) << " | "
            << growthText(rows, i, pipelineInstructions) << " | "
            << number(instructions / mega / rows.at(i).copies, 0) << " |\n";
    }
}

void printPipeline(QTextStream &out, const QList<BenchRow> &rows)
{
    out << "| K | in MB | out MB | load | place | shift | assemble | write | make-panel ms"
           " | total ms | x per doubling | MB/s | floor a ms | floor b ms | reader ms | total/a"
           " | total/b | total/reader"
           " | peak MB | (peak-idle)/out | panel SHA-1 |\n"
        << "|" << QString(QStringLiteral("---|")).repeated(21) << "\n";
    for (int i = 0; i < rows.size(); ++i) {
        const BenchRow &row = rows.at(i);
        const Figures &run = row.pipeline;
        const double total = totalMs(run);
        out << "| " << row.copies << " | " << number(figure(row.floors, "inBytes") / mega, 1)
            << " | " << number(figure(run, "outBytes") / mega, 1);
        for (const char *stage : {"load", "place", "shift", "assemble", "write"})
            out << " | " << number(figure(run, stage), 1);
        out << " | " << number(makePanelMs(run), 0) << " | " << number(total, 0) << " | "
            << growthText(rows, i, pipelineMs) << " | "
            << number(figure(run, "outBytes") / mega / (total / 1000), 1) << " | "
            << number(figure(row.floors, "dom"), 0) << " | "
            << number(figure(row.floors, "copy"), 1) << " | "
            << number(figure(row.floors, "reader"), 0) << " | "
            << number(total / figure(row.floors, "dom"), 2) << " | "
            << number(total / figure(row.floors, "copy"), 0) << " | "
            << number(total / figure(row.floors, "reader"), 1) << " | "
            << number(figure(run, "peakKb") / 1024, 0) << " | " << number(peakPerOutputByte(run), 1)
            << " | " << row.digest.left(12) << " |\n";
    }
}

void printPreview(QTextStream &out, const QList<BenchRow> &rows)
{
    out << "\nPreview (what the window's view draws, without painting), on the boards "
           "loaded with their tokens kept; framed: 5 mm rails, 5 mm tabs, fiducials and "
           "tooling holes:\n\n"
        << "| K | preview ms | framed preview ms | framed copies placed | reader ms "
           "| framed/reader |\n"
        << "|---|---|---|---|---|---|\n";
    for (const BenchRow &row : rows) {
        const double reader = figure(row.floors, "reader");
        out << "| " << row.copies << " | " << number(figure(row.preview, "preview"), 2) << " | "
            << number(figure(row.preview, "framedPreview"), 1) << " | "
            << figure(row.preview, "framedPlaced") << " | " << number(reader, 0) << " | "
            << number(figure(row.preview, "framedPreview") / reader, 2) << " |\n";
    }
}

void printBaseline(QTextStream &out, const QList<BenchRow> &rows)
{
    out << "\nList-scan baseline (the literal name bookkeeping on DOM trees), same boards:\n\n"
        << "| K | baseline assemble+write ms | Tavolin assemble+write ms | baseline/Tavolin"
           " | baseline x per doubling | baseline peak MB |\n"
        << "|---|---|---|---|---|---|\n";
    for (int i = 0; i < rows.size(); ++i) {
        const BenchRow &row = rows.at(i);
        const double ours = figure(row.pipeline, "assemble") + figure(row.pipeline, "write");
        out << "| " << row.copies << " | ";
        if (row.baseline.isEmpty()) {
            out << row.baselineNote << " | " << number(ours, 0) << " | - | - | - |\n";
            continue;
        }
        const double theirs = figure(row.baseline, "assemble");
        out << number(theirs, 0) << " | " << number(ours, 0) << " | " << number(theirs / ours, 1)
            << " | " << growthText(rows, i, baselineMs) << " | "
            << number(figure(row.baseline, "peakKb") / 1024, 0) << " |\n";
    }
}

void printSummary(QTextStream &out, const QList<BenchRow> &rows)
{
    double worstGrowth = 0;
    double worstInstructionGrowth = 0;
    double worstFloorRatio = 0;
    double worstPeak = 0;
    for (int i = 0; i < rows.size(); ++i) {
        worstGrowth = std::max(worstGrowth, growth(rows, i, pipelineMs));
        worstInstructionGrowth =
                std::max(worstInstructionGrowth, growth(rows, i, pipelineInstructions));
        worstFloorRatio = std::max(worstFloorRatio,
                                   totalMs(rows.at(i).pipeline) / figure(rows.at(i).floors, "dom"));
        worstPeak = std::max(worstPeak, peakPerOutputByte(rows.at(i).pipeline));
    }
    out << "\nWorst rows: time x" << number(worstGrowth, 2)
        << " per doubling of K (target: at most 2.2), " << number(worstFloorRatio, 2)
        << " times floor a (target: at most 3), peak memory " << number(worstPeak, 1)
        << " times the output above the idle process (target: below 12).\n";
    if (worstInstructionGrowth > 0)
        out << "Instructions: x" << number(worstInstructionGrowth, 2)
            << " per doubling of K at worst.\n";
}

} // namespace

void printTables(QTextStream &out, const QList<BenchRow> &rows)
{
    printPipeline(out, rows);
    printInstructions(out, rows);
    printPreview(out, rows);
    printBaseline(out, rows);
    printSummary(out, rows);
}
