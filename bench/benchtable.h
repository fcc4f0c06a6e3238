// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "benchstages.h"

#include <QList>
#include <QString>
#include <QTextStream>

// One K of a benchmark run: the figures of Tavolin's pipeline, of the two
// floors and, where it ran, of the baseline.
struct BenchRow
{
    int copies = 0;
    Figures pipeline;
    QString digest;
    Figures floors;
    Figures preview; // what the window's view draws, worked out without painting
    Figures baseline; // empty when the baseline was not run
    QString baselineNote; // why not, when it was not
};

// Prints the rows as Markdown tables, with the ratios to the floors, the
// growth per doubling of K and the peak memory per output byte, and a
// summary against the targets.
void printTables(QTextStream &out, const QList<BenchRow> &rows);
