// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/place/boxpacker.h"
#include "core/place/rowplacer.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(BoardFootprint)
Q_DECLARE_METATYPE(QVector<BoardFootprint>)

// Packing as the "Packed" arrangement uses it: whatever the boards, the
// placed ones keep apart and on the panel, and never fewer than rows.
class TestBoxPacker : public QObject
{
    Q_OBJECT

private slots:
    void packing_data();
    void packing();
};

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();

BoardFootprint board(double width, double height, double startX = 0, double startY = 0)
{
    return {width, height, startX, startY};
}

QVector<BoardFootprint> copies(int count, const BoardFootprint &footprint)
{
    return QVector<BoardFootprint>(count, footprint);
}

int placedInRows(const QVector<BoardFootprint> &boards, double width, double height, int offset)
{
    RowPlacer rows(width, height);
    int placed = 0;
    for (const BoardFootprint &footprint : boards) {
        if (rows.place(footprint)) {
            rows.advance(offset);
            ++placed;
        }
    }
    return placed;
}

struct Outline
{
    double left, bottom, right, top;
};

Outline placedOutline(const BoardFootprint &footprint, const PanelShift &shift)
{
    const BoardFootprint turned = turnedFootprint(footprint, shift.turn);
    return {turned.startX + shift.dx, turned.startY + shift.dy,
            turned.startX + turned.width + shift.dx, turned.startY + turned.height + shift.dy};
}

} // namespace

void TestBoxPacker::packing_data()
{
    QTest::addColumn<double>("panelWidth");
    QTest::addColumn<double>("panelHeight");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QVector<BoardFootprint>>("boards");
    QTest::addColumn<bool>("beatsRows");

    const QVector<BoardFootprint> mixed {board(50.6, 30.7), board(60, 40.2), board(70, 20),
                                         board(100, 50),    board(20, 5),    board(20, 5)};
    QTest::newRow("mixed sizes, offset 0") << 160.0 << 80.0 << 0 << mixed << false;
    QTest::newRow("mixed sizes, offset 5") << 160.0 << 80.0 << 5 << mixed << false;
    QTest::newRow("tall board fits only turned")
            << 100.0 << 50.0 << 2 << QVector<BoardFootprint> {board(60, 20), board(20, 60.3)}
            << true;
    QTest::newRow("small boards fill the gaps rows leave")
            << 100.0 << 45.0 << 0
            << QVector<BoardFootprint> {board(20, 20), board(90, 20)} + copies(4, board(10, 10))
            << true;
    QTest::newRow("many equal small boards")
            << 160.0 << 100.0 << 2 << copies(300, board(9.5, 9.5)) << false;
    QTest::newRow("board bigger than the panel either way")
            << 100.0 << 50.0 << 1
            << QVector<BoardFootprint> {board(120, 10), board(10, 120), board(60, 60),
                                        board(10, 10)}
            << false;
    QTest::newRow("sizes and starts that are not finite")
            << 160.0 << 80.0 << 5
            << QVector<BoardFootprint> {board(inf, 1),         board(1, std::nan("")),
                                        board(1e308, 1),       board(1, 1, -inf, 0),
                                        board(1, 1, 0, 1e300), board(1, 1, -3e9, 0),
                                        board(10, 10)}
            << false;
    QTest::newRow("starts off the origin")
            << 200.0 << 120.0 << 3
            << QVector<BoardFootprint> {board(50, 50, 25.4, 25.4), board(30, 20, 100, -40),
                                        board(68.199, 110.14, 0.837, -0.275),
                                        board(40.3, 10.7, 0.5, 0.5)}
            << false;
    QTest::newRow("negative starts")
            << 160.0 << 80.0 << 4
            << QVector<BoardFootprint> {board(100, 50, -10, -5), board(51.3842, 28.194, -0.0762, 0),
                                        board(30, 60.5, -0.5, -70.25),
                                        board(25.2, 12.9, -3.7, -1.1)}
            << false;

    // Random catalogues of inch-ish and fractional boards, some drawn away
    // from the origin on either side.
    for (quint32 seed = 1; seed <= 30; ++seed) {
        QRandomGenerator random(seed);
        QVector<BoardFootprint> boards;
        for (int i = 0; i < 40; ++i) {
            const double width = random.bounded(60.0);
            const double height = random.bounded(60.0);
            auto start = [&random](double size) {
                const int kind = random.bounded(4);
                return kind == 0 ? -random.bounded(size) : kind == 1 ? random.bounded(200.0) : 0.0;
            };
            boards.append(board(width, height, start(width), start(height)));
        }
        QTest::newRow(qPrintable(QStringLiteral("random seed %1").arg(seed)))
                << double(random.bounded(50, 301)) << double(random.bounded(50, 301))
                << random.bounded(0, 8) << boards << false;
    }
}

void TestBoxPacker::packing()
{
    QFETCH(double, panelWidth);
    QFETCH(double, panelHeight);
    QFETCH(int, offset);
    QFETCH(QVector<BoardFootprint>, boards);
    QFETCH(bool, beatsRows);

    const QVector<std::optional<PanelShift>> shifts =
            packBoards(boards, panelWidth, panelHeight, offset);
    QCOMPARE(shifts.size(), boards.size());
    QCOMPARE(packBoards(boards, panelWidth, panelHeight, offset), shifts);

    QVector<Outline> placed;
    for (int i = 0; i < boards.size(); ++i) {
        if (!shifts.at(i))
            continue;
        const QString board = QStringLiteral("board %1").arg(i);
        QVERIFY2(shifts.at(i)->turn == 0 || shifts.at(i)->turn == 1, qPrintable(board));
        const Outline outline = placedOutline(boards.at(i), *shifts.at(i));
        QVERIFY2(outline.left >= 0 && outline.bottom >= 0, qPrintable(board));
        QVERIFY2(outline.right < panelWidth && outline.top < panelHeight, qPrintable(board));
        for (const Outline &other : std::as_const(placed)) {
            const bool sideBySide =
                    outline.left >= other.right + offset || other.left >= outline.right + offset;
            const bool stacked =
                    outline.bottom >= other.top + offset || other.bottom >= outline.top + offset;
            QVERIFY2(sideBySide || stacked, qPrintable(board));
        }
        placed.append(outline);
    }

    const int rows = placedInRows(boards, panelWidth, panelHeight, offset);
    QVERIFY2(placed.size() >= rows,
             qPrintable(QStringLiteral("%1 < %2").arg(placed.size()).arg(rows)));
    if (beatsRows)
        QVERIFY(placed.size() > rows);
}

QTEST_GUILESS_MAIN(TestBoxPacker)
#include "tst_boxpacker.moc"
