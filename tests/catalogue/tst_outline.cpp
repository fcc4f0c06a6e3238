#include "catalogue/outline.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QtTest>

#include <cmath>

// Measuring a board from its bytes, without a window.
class TestOutline : public QObject
{
    Q_OBJECT

private slots:
    void handMadeBoards_data();
    void handMadeBoards();
    void readErrors_data();
    void readErrors();
    void realBoards_data();
    void realBoards();
    void sizeTexts_data();
    void sizeTexts();
    void extendRangeIsStrict();
};

namespace {

OutlineMeasurement measureBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return measureOutline(buffer);
}

QByteArray board(const QByteArray &plain, const QByteArray &libraries = QByteArray())
{
    return "<?xml version=\"1.0\"?><eagle><drawing><board><plain>" + plain + "</plain><libraries>"
            + libraries
            + "</libraries><signals><signal name=\"S\"><wire x1=\"-500\" y1=\"-500\" x2=\"900\" "
              "y2=\"900\" layer=\"1\"/></signal></signals></board></drawing></eagle>";
}

QByteArray outlineWire(double x1, double y1, double x2, double y2, const char *layer = "20")
{
    return QStringLiteral(
                   "<wire x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" width=\"0\" layer=\"%5\"/>")
            .arg(x1)
            .arg(y1)
            .arg(x2)
            .arg(y2)
            .arg(QLatin1String(layer))
            .toUtf8();
}

QByteArray rectangle(double x0, double y0, double x1, double y1)
{
    return outlineWire(x0, y0, x1, y0) + outlineWire(x1, y0, x1, y1) + outlineWire(x1, y1, x0, y1)
            + outlineWire(x0, y1, x0, y0);
}

} // namespace

void TestOutline::handMadeBoards_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("startX");
    QTest::addColumn<double>("startY");

    // The box always takes in the origin.
    QTest::newRow("outline away from the origin")
            << board(rectangle(10, 5, 110, 65)) << 110.0 << 65.0 << 0.0 << 0.0;
    QTest::newRow("negative outline")
            << board(rectangle(-10, -5, 90, 45)) << 100.0 << 50.0 << -10.0 << -5.0;
    QTest::newRow("wholly negative outline")
            << board(rectangle(-30, -20, -10, -5)) << 30.0 << 20.0 << -30.0 << -20.0;
    QTest::newRow("copper wires never count")
            << board(rectangle(0, 0, 20, 10) + outlineWire(0, 0, 300, 300, "1")) << 20.0 << 10.0
            << 0.0 << 0.0;
    QTest::newRow("outline wire inside a library counts")
            << board(rectangle(0, 0, 20, 10),
                     "<library name=\"l\"><packages><package name=\"p\">"
                             + outlineWire(-3, 0, 0, 40) + "</package></packages></library>")
            << 23.0 << 40.0 << -3.0 << 0.0;
    QTest::newRow("layer 020 is layer 20")
            << board(outlineWire(0, 0, 30, 12, "020")) << 30.0 << 12.0 << 0.0 << 0.0;
    QTest::newRow("non-numeric layer is skipped")
            << board(outlineWire(0, 0, 30, 12, "twenty")) << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("wire without layer is skipped")
            << board("<wire x1=\"0\" y1=\"0\" x2=\"30\" y2=\"12\"/>") << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("missing x2 counts as 0")
            << board("<wire x1=\"-7\" y1=\"2\" y2=\"9\" layer=\"20\"/>") << 7.0 << 9.0 << -7.0
            << 0.0;
    QTest::newRow("unreadable coordinate counts as 0")
            << board("<wire x1=\"abc\" y1=\"\" x2=\"15.5\" y2=\"8\" layer=\"20\"/>") << 15.5 << 8.0
            << 0.0 << 0.0;
    QTest::newRow("no outline") << board(QByteArray()) << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("curvature plays no part")
            << board("<wire x1=\"0\" y1=\"0\" x2=\"10\" y2=\"0\" curve=\"180\" layer=\"20\"/>")
            << 10.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("element named like wire in other case")
            << board("<Wire x1=\"0\" y1=\"0\" x2=\"10\" y2=\"10\" layer=\"20\"/>") << 0.0 << 0.0
            << 0.0 << 0.0;
}

void TestOutline::handMadeBoards()
{
    QFETCH(QByteArray, bytes);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, startX);
    QFETCH(double, startY);
    const OutlineMeasurement measured = measureBytes(bytes);
    QCOMPARE(measured.error, QString());
    QCOMPARE(measured.box.width(), width);
    QCOMPARE(measured.box.height(), height);
    QCOMPARE(measured.box.minX, startX);
    QCOMPARE(measured.box.minY, startY);
}

void TestOutline::readErrors_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    static const char binary[] = "EAGLE binary \x10\x80\x00\x01 board";
    QTest::newRow("not XML") << QByteArray(binary, sizeof binary - 1);
    QTest::newRow("truncated") << board(rectangle(0, 0, 20, 10)).left(120);
    QTest::newRow("mismatched tags") << QByteArray("<eagle><plain></eagle></plain>");
    QTest::newRow("nested too deeply") << QByteArray("<a>").repeated(300);
}

void TestOutline::readErrors()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(!measureBytes(bytes).error.isEmpty());
}

void TestOutline::realBoards_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<double>("startX");
    QTest::addColumn<double>("startY");
    // Outline end points as their sources list them (rounded there, hence the
    // tolerance); the box starts at the origin, so a board away from it
    // measures to its far edge.
    QTest::newRow("outline at origin") << "AMG8833_REV-B.brd" << 25.4 << 25.4 << 0.0 << 0.0;
    QTest::newRow("negative x") << "Graphic_LCD_Backpack.brd" << 51.308 + 0.0762 << 28.194
                                << -0.0762 << 0.0;
    QTest::newRow("negative y") << "SparkFun_RTK_Express.brd" << 69.036 << 109.865 + 0.275 << 0.0
                                << -0.275;
    QTest::newRow("away from origin") << "SnowFlake.brd" << 74.5468 << 79.917 << 0.0 << 0.0;
    QTest::newRow("a panel") << "Qwiic_MP3_Trigger-Panel.brd" << 233.934 + 9.398 << 108.966 + 6.858
                             << -9.398 << -6.858;
    // Its only outline wires are those of a library package, which count.
    QTest::newRow("outline in a library")
            << "BusPirate-v3.8a-SSOP.brd" << 50.0 << 50.0 << -25.0 << -25.0;
    QTest::newRow("no parts") << "MoldTopPCBs.brd" << 35.8 << 26.0 << 0.0 << 0.0;
    QTest::newRow("wide") << "ChairControl.brd" << 150.0 << 84.0 << 0.0 << 0.0;
}

void TestOutline::realBoards()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QString, file);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(double, startX);
    QFETCH(double, startY);
    QFile board(realBoard(file));
    QVERIFY(board.open(QIODevice::ReadOnly | QIODevice::Text));
    const OutlineMeasurement measured = measureOutline(board);
    QCOMPARE(measured.error, QString());
    const double tolerance = 1e-3;
    QVERIFY2(std::abs(measured.box.width() - width) < tolerance,
             qPrintable(QString::number(measured.box.width(), 'g', 10)));
    QVERIFY2(std::abs(measured.box.height() - height) < tolerance,
             qPrintable(QString::number(measured.box.height(), 'g', 10)));
    QVERIFY(std::abs(measured.box.minX - startX) < tolerance);
    QVERIFY(std::abs(measured.box.minY - startY) < tolerance);
}

void TestOutline::sizeTexts_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("text");
    QTest::newRow("whole") << 100.0 << 80.0 << "100 mm x80 mm";
    QTest::newRow("inches") << 53.34 << 25.4 << "53.34 mm x25.4 mm";
    QTest::newRow("six digits") << 123.4567 << 1.0 << "123.457 mm x1 mm";
    QTest::newRow("a million") << 1e6 << 0.0 << "1e+06 mm x0 mm";
}

void TestOutline::sizeTexts()
{
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QString, text);
    QCOMPARE(sizeText(width, height), text);
}

void TestOutline::extendRangeIsStrict()
{
    double low = 0.0;
    double high = 0.0;
    extendRange(std::nan(""), low, high);
    QCOMPARE(low, 0.0);
    QCOMPARE(high, 0.0);
    extendRange(5.0, low, high);
    extendRange(-2.0, low, high);
    extendRange(3.0, low, high);
    QCOMPARE(low, -2.0);
    QCOMPARE(high, 5.0);
}

QTEST_GUILESS_MAIN(TestOutline)
#include "tst_outline.moc"
