// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/place/rowplacer.h"

#include <QRandomGenerator>
#include <QtTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(BoardFootprint)
Q_DECLARE_METATYPE(QVector<BoardFootprint>)

// The row rule on its own: given the boards of a run, where does each go?
class TestRowPlacer : public QObject
{
    Q_OBJECT

private slots:
    void placements_data();
    void placements();
    void placedBoardsNeverOverlap_data();
    void placedBoardsNeverOverlap();
};

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
const double notANumber = std::nan("");

BoardFootprint board(double width, double height, double startX = 0, double startY = 0)
{
    return {width, height, startX, startY};
}

// "x,y" per placed board, "-" per "No fit", separated by blanks.
QString run(double panelWidth, double panelHeight, int offset,
            const QVector<BoardFootprint> &boards)
{
    RowPlacer placer(panelWidth, panelHeight);
    QStringList result;
    for (const BoardFootprint &footprint : boards) {
        const std::optional<PanelShift> shift = placer.place(footprint);
        if (!shift) {
            result << QStringLiteral("-");
            continue;
        }
        result << QStringLiteral("%1,%2").arg(shift->dx).arg(shift->dy);
        placer.advance(offset);
    }
    return result.join(QLatin1Char(' '));
}

} // namespace

void TestRowPlacer::placements_data()
{
    QTest::addColumn<double>("panelWidth");
    QTest::addColumn<double>("panelHeight");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QVector<BoardFootprint>>("boards");
    QTest::addColumn<QString>("expected");

    // Sizes are rounded up: 50.6 takes 51 mm, so the next board starts at
    // 51 + 5 = 56, and row 0 is 41 mm high because of the 40.2 mm board; the
    // next row starts the offset above it, at 46, the one after at
    // 46 + 20 + 5 = 71.
    QTest::newRow("worked example")
            << 160.0 << 80.0 << 5
            << QVector<BoardFootprint> {board(50.6, 30.7), board(60, 40.2), board(70, 20),
                                        board(100, 50), board(20, 5)}
            << "0,0 56,0 0,46 - 0,71";
    QTest::newRow("rows are the offset apart")
            << 100.0 << 100.0 << 7 << QVector<BoardFootprint> {board(60, 20.2), board(60, 10)}
            << "0,0 0,28";
    QTest::newRow("exactly as wide as the panel")
            << 160.0 << 80.0 << 5 << QVector<BoardFootprint> {board(160, 10)} << "-";
    QTest::newRow("exactly as high as the panel")
            << 160.0 << 80.0 << 5 << QVector<BoardFootprint> {board(10, 80)} << "-";
    QTest::newRow("right edge exactly on the panel edge starts a new row")
            << 100.0 << 80.0 << 0 << QVector<BoardFootprint> {board(50, 10), board(50, 10)}
            << "0,0 0,10";
    QTest::newRow("panel width 0")
            << 0.0 << 80.0 << 5 << QVector<BoardFootprint> {board(1, 1), board(0, 0)} << "- -";
    QTest::newRow("panel height 0")
            << 160.0 << 0.0 << 5 << QVector<BoardFootprint> {board(1, 1), board(0, 0)} << "- -";
    QTest::newRow("offset 0: boards touch")
            << 160.0 << 80.0 << 0 << QVector<BoardFootprint> {board(20, 10), board(20, 10)}
            << "0,0 20,0";
    QTest::newRow("zero-size boards use only the offset")
            << 160.0 << 80.0 << 5
            << QVector<BoardFootprint> {board(0, 0), board(0, 0), board(10, 10)} << "0,0 5,0 10,0";
    QTest::newRow("no fit, then a board that fits on the next row")
            << 100.0 << 100.0 << 5
            << QVector<BoardFootprint> {board(60, 30), board(60, 80), board(10, 10)}
            << "0,0 - 0,35";
    // A row that holds no board adds no gap: the last board goes where the
    // first "No fit" left the rows.
    QTest::newRow("boards that fit nowhere take no room")
            << 100.0 << 100.0 << 5
            << QVector<BoardFootprint> {board(60, 30), board(200, 10), board(200, 10),
                                        board(10, 10)}
            << "0,0 - - 0,35";
    QTest::newRow("too tall for what is left closes the row")
            << 100.0 << 60.0 << 5
            << QVector<BoardFootprint> {board(90, 20), board(20, 20), board(20, 40), board(20, 5)}
            << "0,0 0,25 - 0,50";
    QTest::newRow("a row is never revisited")
            << 100.0 << 100.0 << 5
            << QVector<BoardFootprint> {board(20, 20), board(90, 20), board(10, 10)}
            << "0,0 0,25 0,50";
    QTest::newRow("fractional heights stack without overlap")
            << 200.0 << 200.0 << 0
            << QVector<BoardFootprint> {board(150, 63.5), board(150, 63.5), board(150, 63.5)}
            << "0,0 0,64 0,128";
    QTest::newRow("negative outline start moves the board into its slot")
            << 160.0 << 80.0 << 5
            << QVector<BoardFootprint> {board(100, 50, -10, -5), board(20, 10)} << "10,5 105,0";
    QTest::newRow("fractional negative start")
            << 160.0 << 80.0 << 5
            << QVector<BoardFootprint> {board(51.3842, 28.194, -0.0762, 0), board(10, 10)}
            << "1,0 58,0";
    // An outline drawn away from the origin is moved back to its slot.
    QTest::newRow("positive outline start")
            << 160.0 << 80.0 << 5
            << QVector<BoardFootprint> {board(50, 50, 25.4, 25.4), board(10, 10)} << "-25,-25 56,0";
    QTest::newRow("fractional starts of both signs")
            << 200.0 << 200.0 << 5
            << QVector<BoardFootprint> {board(68.199, 110.14, 0.837, -0.275), board(10, 10)}
            << "0,1 75,0";
    QTest::newRow("fractional negative start counts in the fit test")
            << 52.0 << 80.0 << 5
            << QVector<BoardFootprint> {board(51.6, 10, -0.5, 0), board(51.6, 10)} << "- 0,0";
    QTest::newRow("sizes that are not finite never fit")
            << 160.0 << 80.0 << 5
            << QVector<BoardFootprint> {board(inf, 1),
                                        board(1, inf),
                                        board(notANumber, 1),
                                        board(1, 1, -inf, 0),
                                        board(1, 1, 0, notANumber),
                                        board(1e308, 1),
                                        board(10, 10)}
            << "- - - - - - 0,0";
    // Found by the fuzzer: an outline reaching to -1e300 made a shift out of
    // int(1e300) before the fit test turned the board away.
    QTest::newRow("outline start far from the origin never fits")
            << 160.0 << 80.0 << 5
            << QVector<BoardFootprint> {board(1e300, 1e300, -1e300, -1e300),
                                        board(1, 1, -1e300, 0),
                                        board(1, 1, 0, -3e9),
                                        board(1, 1, 3e9, 0),
                                        board(1, 1, -1e6 - 1, 0),
                                        board(10, 10)}
            << "- - - - - 0,0";
    QTest::newRow("panel size not finite")
            << inf << 80.0 << 5 << QVector<BoardFootprint> {board(1, 1)} << "-";
}

void TestRowPlacer::placements()
{
    QFETCH(double, panelWidth);
    QFETCH(double, panelHeight);
    QFETCH(int, offset);
    QFETCH(QVector<BoardFootprint>, boards);
    QFETCH(QString, expected);
    QCOMPARE(run(panelWidth, panelHeight, offset, boards), expected);
}

void TestRowPlacer::placedBoardsNeverOverlap_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 40; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

// Random catalogues of inch-ish and fractional boards, some drawn away from
// the origin on either side: every placed outline stays inside the panel and
// keeps the offset from every other, beside it or above it.
void TestRowPlacer::placedBoardsNeverOverlap()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const double panelWidth = random.bounded(50, 301);
    const double panelHeight = random.bounded(50, 301);
    const int offset = random.bounded(0, 8);
    RowPlacer placer(panelWidth, panelHeight);
    struct Rect
    {
        double left, bottom, right, top;
    };
    QVector<Rect> placed;
    for (int i = 0; i < 30; ++i) {
        const double width = random.bounded(60.0);
        const double height = random.bounded(60.0);
        auto start = [&random](double size) {
            const int kind = random.bounded(4);
            return kind == 0 ? -random.bounded(size) : kind == 1 ? random.bounded(200.0) : 0.0;
        };
        const double startX = start(width);
        const double startY = start(height);
        const std::optional<PanelShift> shift = placer.place(board(width, height, startX, startY));
        if (!shift)
            continue;
        placer.advance(offset);
        const Rect outline {startX + shift->dx, startY + shift->dy, startX + width + shift->dx,
                            startY + height + shift->dy};
        QVERIFY(outline.left >= 0 && outline.bottom >= 0);
        QVERIFY(outline.right < panelWidth && outline.top < panelHeight);
        for (const Rect &other : placed) {
            const bool sideBySide =
                    outline.left >= other.right + offset || other.left >= outline.right + offset;
            const bool stacked =
                    outline.bottom >= other.top + offset || other.bottom >= outline.top + offset;
            QVERIFY2(sideBySide || stacked, qPrintable(QStringLiteral("board %1").arg(i)));
        }
        placed.append(outline);
    }
}

QTEST_GUILESS_MAIN(TestRowPlacer)
#include "tst_rowplacer.moc"
