// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/run/housecheck.h"

#include <QtTest>

Q_DECLARE_METATYPE(BoardHouse)

// The limits a house's panel breaks, on made-up panels that start from the
// house's own numbers and break one limit each.
class TestHouseCheck : public QObject
{
    Q_OBJECT

private slots:
    void findingsOfMadeUpPanels_data();
    void findingsOfMadeUpPanels();
};

void TestHouseCheck::findingsOfMadeUpPanels_data()
{
    QTest::addColumn<BoardHouse>("house");
    QTest::addColumn<bool>("vcutGrid");
    QTest::addColumn<QSize>("panel");
    QTest::addColumn<int>("rails"); // -1: the preset's
    QTest::addColumn<int>("channel");
    QTest::addColumn<double>("tabWidth");
    QTest::addColumn<int>("bites"); // on each tab's board end
    QTest::addColumn<double>("fiducialInset");
    QTest::addColumn<double>("copper"); // nearest to a V-cut
    QTest::addColumn<double>("cutSpacing");
    QTest::addColumn<QList<int>>("limits");

    const QSize fine(200, 150);
    const auto row = [](const char *name) -> QTestData & {
        return QTest::newRow(name);
    };
    row("JLCPCB, routed, in its limits") << BoardHouse::Jlcpcb << false << fine << -1 << -1 << -1.0
                                         << 5 << 3.6 << 1.0 << 20.0 << QList<int>();
    row("JLCPCB, V-cut, in its limits") << BoardHouse::Jlcpcb << true << fine << -1 << -1 << -1.0
                                        << 5 << 3.6 << 0.4 << 20.0 << QList<int>();
    row("larger than JLCPCB makes")
            << BoardHouse::Jlcpcb << false << QSize(520, 300) << -1 << -1 << -1.0 << 5 << 3.6 << 1.0
            << 20.0 << QList<int> {HouseFinding::LargePanel};
    row("a long side past Eurocircuits'")
            << BoardHouse::Eurocircuits << false << QSize(360, 100) << -1 << -1 << -1.0 << 5 << 3.6
            << 1.0 << 20.0 << QList<int> {HouseFinding::LargePanel};
    row("too small for JLCPCB's V-cuts")
            << BoardHouse::Jlcpcb << true << QSize(60, 60) << -1 << -1 << -1.0 << 5 << 3.6 << 1.0
            << 20.0 << QList<int> {HouseFinding::SmallVCutPanel};
    row("V-cuts where OSH Park cuts none")
            << BoardHouse::OshPark << true << fine << -1 << -1 << -1.0 << 5 << 3.6 << 1.0 << 20.0
            << QList<int> {HouseFinding::NoVCuts};
    row("rails narrower than PCBWay's")
            << BoardHouse::Pcbway << false << fine << 2 << -1 << -1.0 << 5 << 3.6 << 1.0 << 20.0
            << QList<int> {HouseFinding::NarrowRail};
    row("a channel narrower than Eurocircuits routes")
            << BoardHouse::Eurocircuits << false << fine << -1 << 1 << -1.0 << 5 << 3.6 << 1.0
            << 20.0 << QList<int> {HouseFinding::NarrowChannel};
    row("no channel to check between V-cut copies")
            << BoardHouse::Eurocircuits << true << fine << -1 << 0 << -1.0 << 5 << 3.6 << 1.0
            << 20.0 << QList<int>();
    row("tabs narrower than JLCPCB's")
            << BoardHouse::Jlcpcb << false << fine << -1 << -1 << 3.0 << 5 << 3.6 << 1.0 << 20.0
            << QList<int> {HouseFinding::NarrowTab};
    row("too few bites for JLCPCB") << BoardHouse::Jlcpcb << false << fine << -1 << -1 << -1.0 << 4
                                    << 3.6 << 1.0 << 20.0 << QList<int> {HouseFinding::FewBites};
    row("a fiducial nearer the edge than JLCPCB's")
            << BoardHouse::Jlcpcb << false << fine << -1 << -1 << -1.0 << 5 << 2.5 << 1.0 << 20.0
            << QList<int> {HouseFinding::FiducialNearEdge};
    row("copper nearer a V-cut than Eurocircuits'")
            << BoardHouse::Eurocircuits << true << fine << -1 << -1 << -1.0 << 5 << 3.6 << 0.3
            << 20.0 << QList<int> {HouseFinding::CopperNearVCut};
    row("V-cuts closer than Eurocircuits'")
            << BoardHouse::Eurocircuits << true << fine << -1 << -1 << -1.0 << 5 << 3.6 << 1.0
            << 4.0 << QList<int> {HouseFinding::VCutsClose};
}

void TestHouseCheck::findingsOfMadeUpPanels()
{
    QFETCH(BoardHouse, house);
    QFETCH(bool, vcutGrid);
    QFETCH(QSize, panel);
    QFETCH(int, rails);
    QFETCH(int, channel);
    QFETCH(double, tabWidth);
    QFETCH(int, bites);
    QFETCH(double, fiducialInset);
    QFETCH(double, copper);
    QFETCH(double, cutSpacing);
    QFETCH(QList<int>, limits);

    PanelNumbers numbers;
    applyPreset(house, numbers.frame, numbers.offset);
    numbers.frame.separation = vcutGrid ? Separation::VCuts : Separation::MouseBites;
    numbers.frame.frameWidth = rails >= 0 ? rails : numbers.frame.frameWidth;
    numbers.offset = channel >= 0 ? channel : numbers.offset;
    numbers.frame.tabWidth = tabWidth >= 0 ? tabWidth : numbers.frame.tabWidth;
    FramePlan plan;
    if (vcutGrid) {
        plan.vcuts = {{true, 5.0}, {true, 5.0 + cutSpacing}, {false, 5.0}};
        plan.vcutCopper = {{0, copper}, {1, 2.0}};
    } else {
        Tab tab;
        tab.near.board = 0;
        tab.near.bites.resize(bites);
        tab.far.board = 1;
        tab.far.bites.resize(bites + 1);
        plan.tabs = {tab, tab};
    }
    plan.fiducials = {{15, fiducialInset}, {panel.width() - 15.0, fiducialInset}};

    const QList<PanelProblem> problems =
            houseFindings(*houseRules(house), numbers, panel, plan, vcutGrid);
    QList<int> found;
    for (const PanelProblem &problem : problems) {
        QCOMPARE(problem.kind, PanelProblem::HouseLimit);
        QCOMPARE(problem.finding.house, house);
        QCOMPARE(problem.board, problem.finding.limit == HouseFinding::CopperNearVCut ? 0 : -1);
        found.append(problem.finding.limit);
    }
    QCOMPARE(found, limits);
}

QTEST_GUILESS_MAIN(TestHouseCheck)
#include "tst_housecheck.moc"
