// SPDX-License-Identifier: GPL-3.0-or-later
#include "problemtext.h"

#include "core/xml/boardreader.h"

#include <QFileInfo>

namespace {

QString boardName(const PanelProblem &problem, int board)
{
    return board < problem.boards.size() ? QFileInfo(problem.boards.at(board)).fileName()
                                         : QStringLiteral("board %1").arg(board + 1);
}

QString ruleLine(const PanelProblem &problem, const RuleDifference &difference)
{
    // Boards of the same name and value are named once.
    QStringList seen;
    for (const RuleDifference::BoardValue &board : difference.boards) {
        const QString entry = boardName(problem, board.board) + QLatin1Char(' ') + board.value;
        if (!seen.contains(entry))
            seen << entry;
    }
    return QStringLiteral("%1: %2; the panel uses %3.")
            .arg(difference.rule, seen.join(QLatin1String(", ")), difference.panelValue);
}

QString railFeatureText(const QString &feature)
{
    return QStringLiteral("The frame is too narrow for %1: the panel has none").arg(feature);
}

} // namespace

QString problemTitle(const PanelProblem &problem)
{
    switch (problem.kind) {
    case PanelProblem::NoFit:
    case PanelProblem::NoTabs:
        return QStringLiteral("No fit");
    case PanelProblem::UnreadableBoard:
        return readErrorTitle();
    case PanelProblem::UnopenableOutput:
    case PanelProblem::UnwritableOutput:
        return QStringLiteral("Save Panel");
    case PanelProblem::DesignRules:
        return QStringLiteral("Design rules");
    case PanelProblem::NoFiducials:
    case PanelProblem::NoToolingHoles:
        return QStringLiteral("Frame");
    }
    return QString();
}

QString problemText(const PanelProblem &problem)
{
    switch (problem.kind) {
    case PanelProblem::NoFit:
        return QStringLiteral("Could not fit all Boards on Panel");
    case PanelProblem::NoTabs:
        return QStringLiteral("Could not hold the Board with two Tabs");
    case PanelProblem::UnreadableBoard:
        return openFailureText(problem.file, problem.reason);
    case PanelProblem::UnopenableOutput:
        return QStringLiteral("Couldn't open save Location");
    case PanelProblem::UnwritableOutput:
        return QStringLiteral("Couldn't write panel file\n") + problem.reason;
    case PanelProblem::DesignRules:
        return ruleLines(problem).join(QLatin1Char('\n'));
    case PanelProblem::NoFiducials:
        return railFeatureText(QStringLiteral("fiducials"));
    case PanelProblem::NoToolingHoles:
        return railFeatureText(QStringLiteral("tooling holes"));
    }
    return QString();
}

QString leftOutReason(PanelProblem::Kind kind)
{
    switch (kind) {
    case PanelProblem::NoFit:
        return QStringLiteral("No fit");
    case PanelProblem::NoTabs:
        return QStringLiteral("cannot be held by two tabs");
    case PanelProblem::UnreadableBoard:
        return QStringLiteral("cannot be read");
    case PanelProblem::NoFiducials:
        return QStringLiteral("Fiducials left out: the frame is too narrow");
    case PanelProblem::NoToolingHoles:
        return QStringLiteral("Tooling holes left out: the frame is too narrow");
    default:
        return QString();
    }
}

QStringList ruleLines(const PanelProblem &problem)
{
    QStringList lines;
    for (const RuleDifference &difference : problem.rules)
        lines << ruleLine(problem, difference);
    return lines;
}
