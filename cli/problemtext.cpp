// SPDX-License-Identifier: GPL-3.0-or-later
#include "problemtext.h"

#include "core/xml/boardreader.h"

#include <QFileInfo>

#include <cmath>

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

QString tabsInsteadText(const QString &why)
{
    return QStringLiteral("%1: the panel has tabs and mouse bites instead of V-cuts").arg(why);
}

QString millimetres(double value)
{
    return QString::number(std::round(value * 100) / 100);
}

QString houseFindingText(const HouseFinding &finding)
{
    const QString house = QLatin1String(houseRules(finding.house)->name);
    const QString found = millimetres(finding.found);
    const QString asked = millimetres(finding.asked);
    const auto size = [](double width, double height) {
        return QStringLiteral("%1 x %2 mm").arg(millimetres(width), millimetres(height));
    };
    const auto least = [&](const char *what) {
        return QString::fromLatin1(what).arg(found)
                + QStringLiteral("; %1 asks for at least %2").arg(house, asked);
    };
    switch (finding.limit) {
    case HouseFinding::LargePanel:
        return QStringLiteral("The panel is %1; %2 makes panels of at most %3")
                .arg(size(finding.found, finding.foundOther), house,
                     size(finding.asked, finding.askedOther));
    case HouseFinding::SmallVCutPanel:
        return QStringLiteral("The panel is %1; %2 V-cuts panels of at least %3")
                .arg(size(finding.found, finding.foundOther), house,
                     size(finding.asked, finding.askedOther));
    case HouseFinding::NoVCuts:
        return QStringLiteral("%1 does not cut V-grooves").arg(house);
    case HouseFinding::NarrowRail:
        return least("The rails are %1 mm wide") + QStringLiteral(" mm");
    case HouseFinding::NarrowChannel:
        return least("The channels around the boards are %1 mm wide") + QStringLiteral(" mm");
    case HouseFinding::NarrowTab:
        return least("The tabs are %1 mm wide") + QStringLiteral(" mm");
    case HouseFinding::FewBites:
        return least("A tab has %1 mouse bites at a board");
    case HouseFinding::FiducialNearEdge:
        return least("A fiducial is %1 mm from the panel's edge") + QStringLiteral(" mm");
    case HouseFinding::CopperNearVCut:
        return least("Copper comes %1 mm near a V-cut") + QStringLiteral(" mm");
    case HouseFinding::VCutsClose:
        return least("Two V-cuts are %1 mm apart") + QStringLiteral(" mm");
    }
    return QString();
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
    case PanelProblem::NoVCutShape:
    case PanelProblem::NoVCutSize:
    case PanelProblem::NoVCutLayer:
        return QStringLiteral("V-cuts");
    case PanelProblem::HouseLimit:
        return QStringLiteral("Board house");
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
    case PanelProblem::NoVCutShape:
        return tabsInsteadText(QStringLiteral("The board's outline is not a rectangle"));
    case PanelProblem::NoVCutSize:
        return tabsInsteadText(QStringLiteral("The board is of another size than the first"));
    case PanelProblem::NoVCutLayer:
        return QStringLiteral("The boards have no layer %1: the V-cuts are drawn on layer 20")
                .arg(problem.reason);
    case PanelProblem::HouseLimit:
        return houseFindingText(problem.finding);
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
    case PanelProblem::NoVCutShape:
        return QStringLiteral("not a rectangle: tabs instead of V-cuts");
    case PanelProblem::NoVCutSize:
        return QStringLiteral("of another size: tabs instead of V-cuts");
    default:
        return QString();
    }
}

QString houseLimitLine(const PanelProblem &problem)
{
    const QString text = problemText(problem);
    if (problem.file.isEmpty())
        return text;
    return QStringLiteral("%1: %2").arg(QFileInfo(problem.file).fileName(), text);
}

QStringList ruleLines(const PanelProblem &problem)
{
    QStringList lines;
    for (const RuleDifference &difference : problem.rules)
        lines << ruleLine(problem, difference);
    return lines;
}

QStringList problemLines(const PanelProblem &problem)
{
    const QString title = problemTitle(problem);
    if (problem.kind == PanelProblem::DesignRules) {
        QStringList lines;
        for (const QString &rule : ruleLines(problem))
            lines << title + QStringLiteral(": ") + rule;
        return lines;
    }
    const QString text = problemText(problem);
    QStringList parts;
    // A text that already names its file says it once.
    if (!problem.file.isEmpty() && !text.contains(problem.file))
        parts << problem.file;
    // "No fit" is the only title that says what happened.
    if (problem.kind == PanelProblem::NoFit || problem.kind == PanelProblem::NoTabs)
        parts << title;
    parts << text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return {parts.join(QStringLiteral(": "))};
}
