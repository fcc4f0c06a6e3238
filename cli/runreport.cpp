// SPDX-License-Identifier: GPL-3.0-or-later
#include "runreport.h"

#include "problemtext.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonArray designRuleRows(const PanelProblem &problem)
{
    QJsonArray rows;
    const QStringList lines = ruleLines(problem);
    for (int i = 0; i < problem.rules.size(); ++i) {
        const RuleDifference &difference = problem.rules.at(i);
        QJsonArray boards;
        for (const RuleDifference::BoardValue &board : difference.boards)
            boards.append(QJsonObject {{QStringLiteral("board"), problem.boards.value(board.board)},
                                       {QStringLiteral("value"), board.value}});
        rows.append(QJsonObject {{QStringLiteral("rule"), difference.rule},
                                 {QStringLiteral("boards"), boards},
                                 {QStringLiteral("panel"), difference.panelValue},
                                 {QStringLiteral("text"), lines.value(i)}});
    }
    return rows;
}

bool leavesOut(PanelProblem::Kind kind)
{
    return kind == PanelProblem::NoFit || kind == PanelProblem::NoTabs
            || kind == PanelProblem::UnreadableBoard;
}

// Null without a house.
QJsonValue houseReport(const RunRecord &run)
{
    const FrameSettings &frame = run.numbers.frame;
    const HouseRules *rules = houseRules(frame.house);
    if (!rules)
        return QJsonValue();
    QJsonArray findings;
    for (const PanelProblem &problem : run.problems) {
        if (problem.kind == PanelProblem::HouseLimit)
            findings.append(problemLines(problem).constFirst());
    }
    return QJsonObject {
            {QStringLiteral("preset"), QLatin1String(rules->key)},
            {QStringLiteral("changed"),
             QJsonArray::fromStringList(differencesFromPreset(frame, run.numbers.offset))},
            {QStringLiteral("findings"), findings}};
}

} // namespace

QByteArray runReport(const RunRecord &run)
{
    QJsonArray placed;
    for (const PanelPlacement &placement : run.placements) {
        placed.append(QJsonObject {{QStringLiteral("board"), run.boards.at(placement.board).path},
                                   {QStringLiteral("row"), run.rows.at(placement.board)},
                                   {QStringLiteral("dx"), placement.shift.dx},
                                   {QStringLiteral("dy"), placement.shift.dy},
                                   {QStringLiteral("turn"), 90 * placement.shift.turn}});
    }
    QJsonArray leftOut; // those not loaded, then those the run left out, in its order
    QJsonArray rules;
    QJsonArray notes;
    const auto leave = [&leftOut](const PanelProblem &problem, int row) {
        leftOut.append(QJsonObject {{QStringLiteral("board"), problem.file},
                                    {QStringLiteral("row"), row},
                                    {QStringLiteral("why"), leftOutReason(problem.kind)},
                                    {QStringLiteral("detail"), problem.reason}});
    };
    for (const PanelProblem &problem : run.unread)
        leave(problem, problem.board + 1);
    for (const PanelProblem &problem : run.problems) {
        if (problem.kind == PanelProblem::DesignRules)
            rules = designRuleRows(problem);
        else if (leavesOut(problem.kind))
            leave(problem, run.rows.at(problem.board));
        else if (problem.kind != PanelProblem::HouseLimit)
            notes.append(problemLines(problem).constFirst());
    }
    QJsonObject report {{QStringLiteral("panel"),
                         QJsonObject {{QStringLiteral("width"), run.width},
                                      {QStringLiteral("height"), run.height}}},
                        {QStringLiteral("placed"), placed},
                        {QStringLiteral("leftOut"), leftOut},
                        {QStringLiteral("designRules"), rules},
                        {QStringLiteral("notes"), notes}};
    if (const QJsonValue house = houseReport(run); !house.isNull())
        report.insert(QStringLiteral("boardHouse"), house);
    return QJsonDocument(report).toJson(QJsonDocument::Indented);
}
