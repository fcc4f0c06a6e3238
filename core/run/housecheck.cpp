// SPDX-License-Identifier: GPL-3.0-or-later
#include "housecheck.h"

#include <algorithm>
#include <limits>

namespace {

// Numbers as the panel writes them are rounded: a limit met to a
// micrometre is met.
constexpr double slack = 1e-3;

class Findings
{
public:
    explicit Findings(const HouseRules &rules)
        : rules(rules)
    { }

    void least(HouseFinding::Limit limit, double found, double asked, int board = -1)
    {
        if (asked > 0.0 && found < asked - slack)
            add(limit, found, 0.0, asked, 0.0, board);
    }
    void add(HouseFinding::Limit limit, double found, double foundOther, double asked,
             double askedOther, int board = -1)
    {
        PanelProblem problem;
        problem.kind = PanelProblem::HouseLimit;
        problem.board = board;
        problem.finding = {limit, rules.house, found, foundOther, asked, askedOther};
        problems.append(problem);
    }

    const HouseRules &rules;
    QList<PanelProblem> problems;
};

void checkSize(Findings &findings, QSize panel, bool vcutGrid)
{
    const HouseRules &rules = findings.rules;
    const double shortSide = std::min(panel.width(), panel.height());
    const double longSide = std::max(panel.width(), panel.height());
    if (rules.largestShortSide > 0.0
        && (shortSide > rules.largestShortSide + slack || longSide > rules.largestLongSide + slack))
        findings.add(HouseFinding::LargePanel, panel.width(), panel.height(),
                     rules.largestShortSide, rules.largestLongSide);
    if (!vcutGrid)
        return;
    if (!rules.cutsVGrooves)
        findings.add(HouseFinding::NoVCuts, 0, 0, 0, 0);
    else if (panel.width() < rules.leastVCutWidth - slack
             || panel.height() < rules.leastVCutHeight - slack)
        findings.add(HouseFinding::SmallVCutPanel, panel.width(), panel.height(),
                     rules.leastVCutWidth, rules.leastVCutHeight);
}

void checkTabs(Findings &findings, const FramePlan &plan, const FrameSettings &frame)
{
    findings.least(HouseFinding::NarrowTab, frame.tabWidth, findings.rules.leastTabWidth);
    int fewest = std::numeric_limits<int>::max();
    for (const Tab &tab : plan.tabs) {
        for (const TabEnd *end : {&tab.near, &tab.far}) {
            if (end->board >= 0)
                fewest = std::min(fewest, int(end->bites.size()));
        }
    }
    if (fewest < findings.rules.leastBitesPerTab)
        findings.add(HouseFinding::FewBites, fewest, 0, findings.rules.leastBitesPerTab, 0);
}

void checkFiducials(Findings &findings, const FramePlan &plan, QSize panel)
{
    double nearest = std::numeric_limits<double>::max();
    for (OutlinePoint fiducial : plan.fiducials)
        nearest = std::min({nearest, fiducial.x, fiducial.y, panel.width() - fiducial.x,
                            panel.height() - fiducial.y});
    if (!plan.fiducials.isEmpty())
        findings.least(HouseFinding::FiducialNearEdge, nearest, findings.rules.leastFiducialEdge);
}

void checkVCuts(Findings &findings, const FramePlan &plan)
{
    for (const FramePlan::NearCopper &near : plan.vcutCopper)
        findings.least(HouseFinding::CopperNearVCut, near.distance, findings.rules.leastVCutCopper,
                       near.board);
    double closest = std::numeric_limits<double>::max();
    for (int i = 1; i < plan.vcuts.size(); ++i) {
        if (plan.vcuts.at(i).vertical == plan.vcuts.at(i - 1).vertical)
            closest = std::min(closest, plan.vcuts.at(i).at - plan.vcuts.at(i - 1).at);
    }
    findings.least(HouseFinding::VCutsClose, closest, findings.rules.leastVCutSpacing);
}

} // namespace

QList<PanelProblem> houseFindings(const HouseRules &rules, const PanelNumbers &numbers, QSize panel,
                                  const FramePlan &plan, bool vcutGrid)
{
    Findings findings(rules);
    checkSize(findings, panel, vcutGrid);
    findings.least(HouseFinding::NarrowRail, numbers.frame.frameWidth, rules.leastRail);
    if (!vcutGrid) {
        findings.least(HouseFinding::NarrowChannel, numbers.offset, rules.leastChannel);
        if (numbers.frame.hasTabs())
            checkTabs(findings, plan, numbers.frame);
    }
    checkFiducials(findings, plan, panel);
    if (vcutGrid)
        checkVCuts(findings, plan);
    return findings.problems;
}
