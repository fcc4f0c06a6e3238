// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>

// The measured runs of the benchmark. Each fills `result` with named figures
// (times in milliseconds, sizes in bytes or kilobytes) and returns an error
// text, empty on success. They are run in a child process each, so that the
// peak memory of one is not that of another.
using Figures = QHash<QString, double>;

enum class Assembly { Tavolin, Literal };

// The whole pipeline on `copies` copies of the board at `boardPath`: load and
// measure each copy, place them, shift each, assemble, write to `panelPath`.
// Also leaves the SHA-1 of the panel in `digest`.
QString runPipeline(const QString &boardPath, int copies, Assembly assembly,
                    const QString &panelPath, Figures &result, QString &digest);

// What the window's view draws, worked out without painting, on `copies`
// copies loaded with their tokens kept: the panel in rows, and framed with
// rails, tabs, fiducials and tooling holes.
QString runPreview(const QString &boardPath, int copies, Figures &result);

// Floor (a): the panel's text parsed into a QDomDocument and saved again.
QString runDomFloor(const QString &panelPath, Figures &result);

// The parser's own floor: one QXmlStreamReader pass, token by token and
// nothing else, over each copy's input.
QString runReaderFloor(const QString &boardPath, int copies, Figures &result);

// Floor (b): each copy's input bytes read and the panel's bytes written,
// with nothing done in between.
QString runCopyFloor(const QString &boardPath, int copies, const QString &panelPath,
                     Figures &result);
