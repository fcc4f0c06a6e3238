// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/board/outline.h"
#include "core/board/outlinedrawing.h"
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

QVector<double> corners(const OutlineBox &box)
{
    return {box.minX, box.maxX, box.minY, box.maxY};
}

// What a picture of the board draws takes up the box its outline measures.
QVector<double> drawnBox(const OutlineDrawing &drawing)
{
    BoxBuilder box;
    for (const OutlineLine &line : drawing.lines) {
        box.add(line.from);
        box.add(line.to);
    }
    for (const OutlineArc &arc : drawing.arcs)
        box.add(arc);
    return corners(box.box());
}

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

QByteArray arc(double x1, double y1, double x2, double y2, double curve)
{
    return QStringLiteral("<wire x1=\"%1\" y1=\"%2\" x2=\"%3\" y2=\"%4\" width=\"0.254\" "
                          "layer=\"20\" curve=\"%5\"/>")
            .arg(x1)
            .arg(y1)
            .arg(x2)
            .arg(y2)
            .arg(curve)
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

    // The box is the outline's own, wherever on the drawing it lies.
    QTest::newRow("outline away from the origin")
            << board(rectangle(10, 5, 110, 65)) << 100.0 << 60.0 << 10.0 << 5.0;
    QTest::newRow("negative outline")
            << board(rectangle(-10, -5, 90, 45)) << 100.0 << 50.0 << -10.0 << -5.0;
    QTest::newRow("wholly negative outline")
            << board(rectangle(-30, -20, -10, -5)) << 20.0 << 15.0 << -30.0 << -20.0;
    QTest::newRow("copper wires never count")
            << board(rectangle(0, 0, 20, 10) + outlineWire(0, 0, 300, 300, "1")) << 20.0 << 10.0
            << 0.0 << 0.0;
    QTest::newRow("layer 020 is layer 20")
            << board(outlineWire(0, 0, 30, 12, "020")) << 30.0 << 12.0 << 0.0 << 0.0;
    QTest::newRow("non-numeric layer is skipped")
            << board(outlineWire(0, 0, 30, 12, "twenty")) << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("wire without layer is skipped")
            << board("<wire x1=\"0\" y1=\"0\" x2=\"30\" y2=\"12\"/>") << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("missing x2 counts as 0")
            << board("<wire x1=\"-7\" y1=\"2\" y2=\"9\" layer=\"20\"/>") << 7.0 << 7.0 << -7.0
            << 2.0;
    QTest::newRow("unreadable coordinate counts as 0")
            << board("<wire x1=\"abc\" y1=\"\" x2=\"15.5\" y2=\"8\" layer=\"20\"/>") << 15.5 << 8.0
            << 0.0 << 0.0;
    QTest::newRow("no outline") << board(QByteArray()) << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("element named like wire in other case")
            << board("<Wire x1=\"0\" y1=\"0\" x2=\"10\" y2=\"10\" layer=\"20\"/>") << 0.0 << 0.0
            << 0.0 << 0.0;
    // A round board of radius 20 about (30, 40), drawn in each of the ways a
    // board draws it.
    QTest::newRow("round board as a circle")
            << board("<circle x=\"30\" y=\"40\" radius=\"20\" width=\"0.2\" layer=\"20\"/>") << 40.0
            << 40.0 << 10.0 << 20.0;
    QTest::newRow("round board as two half circles")
            << board(arc(10, 40, 50, 40, 180) + arc(50, 40, 10, 40, 180)) << 40.0 << 40.0 << 10.0
            << 20.0;
    QTest::newRow("round board as two clockwise half circles")
            << board(arc(10, 40, 50, 40, -180) + arc(50, 40, 10, 40, -180)) << 40.0 << 40.0 << 10.0
            << 20.0;
    // Counterclockwise from (50, 40) a quarter turn reaches (30, 60), passing
    // no extreme point between; clockwise three quarters, it passes the
    // bottom (30, 20) and the left (10, 40).
    QTest::newRow("quarter arc") << board(arc(50, 40, 30, 60, 90)) << 20.0 << 20.0 << 30.0 << 40.0;
    QTest::newRow("three-quarter arc")
            << board(arc(50, 40, 30, 60, -270)) << 40.0 << 40.0 << 10.0 << 20.0;
    QTest::newRow("shallow arc bulging below its chord")
            << board(arc(0, 0, 40, 0, 60)) << 40.0 << 20 * (2 - std::sqrt(3.0)) << 0.0
            << -20 * (2 - std::sqrt(3.0));
    QTest::newRow("a curve of a whole turn counts by its ends")
            << board(arc(0, 0, 10, 5, 360)) << 10.0 << 5.0 << 0.0 << 0.0;
    QTest::newRow("circles on other layers never count")
            << board(rectangle(0, 0, 20, 10)
                     + "<circle x=\"10\" y=\"5\" radius=\"50\" width=\"0\" layer=\"21\"/>")
            << 20.0 << 10.0 << 0.0 << 0.0;

    // A package "p" drawing a 10 by 4 outline from (-2, -1) and an arc of
    // radius 1 about (8, 3) that reaches up to y = 4 and right to x = 9.
    const QByteArray library = "<library name=\"lib\"><packages><package name=\"p\">"
            + outlineWire(-2, -1, 8, -1) + outlineWire(-2, -1, -2, 3) + arc(9, 3, 7, 3, 180)
            + "</package><package name=\"unused\">" + rectangle(-500, -500, 500, 500)
            + "</package></packages></library>";
    auto withParts = [&](const QByteArray &elements) {
        QByteArray bytes = board(rectangle(0, 0, 1, 1), library);
        return bytes.replace("<signals>", "<elements>" + elements + "</elements><signals>");
    };
    auto part = [](const char *place) {
        return "<element name=\"P\" library=\"lib\" package=\"p\" value=\"\" " + QByteArray(place)
                + "/>";
    };
    QTest::newRow("unused package never counts")
            << withParts(QByteArray()) << 1.0 << 1.0 << 0.0 << 0.0;
    QTest::newRow("package placed as drawn")
            << withParts(part("x=\"50\" y=\"20\"")) << 59.0 - 0.0 << 24.0 << 0.0 << 0.0;
    QTest::newRow("package placed away from the drawing")
            << withParts(part("x=\"50\" y=\"20\"")).replace(rectangle(0, 0, 1, 1), QByteArray())
            << 11.0 << 5.0 << 48.0 << 19.0;
    // Turned a quarter: x' = -y, y' = x; the arc's top (8, 4) goes to
    // (-4, 8) and its right end (9, 3) to (-3, 9).
    QTest::newRow("package turned R90") << withParts(part("x=\"50\" y=\"20\" rot=\"R90\""))
                                                   .replace(rectangle(0, 0, 1, 1), QByteArray())
                                        << 5.0 << 11.0 << 46.0 << 18.0;
    // Mirrored: x' = -x; the arc's right end goes left, its top stays.
    QTest::newRow("package mirrored") << withParts(part("x=\"50\" y=\"20\" rot=\"MR0\""))
                                                 .replace(rectangle(0, 0, 1, 1), QByteArray())
                                      << 11.0 << 5.0 << 41.0 << 19.0;
    QTest::newRow("package mirrored and turned R270")
            << withParts(part("x=\"50\" y=\"20\" rot=\"SMR270\""))
                       .replace(rectangle(0, 0, 1, 1), QByteArray())
            << 5.0 << 11.0 << 46.0 << 11.0;
    // Turned by 45 degrees, the square of side 2 about the origin reaches
    // sqrt(2) from it in each axis.
    QTest::newRow("package turned R45")
            << board(QByteArray(),
                     "<library name=\"lib\"><packages><package name=\"p\">"
                             + rectangle(-1, -1, 1, 1) + "</package></packages></library>")
                       .replace("<signals>",
                                "<elements>" + part("x=\"10\" y=\"10\" rot=\"R45\"")
                                        + "</elements><signals>")
            << 2 * std::sqrt(2.0) << 2 * std::sqrt(2.0) << 10 - std::sqrt(2.0)
            << 10 - std::sqrt(2.0);
    // EAGLE 9 tells libraries of one name apart by their URN.
    QTest::newRow("package of the library with the part's URN")
            << board(QByteArray(),
                     "<library name=\"lib\" urn=\"urn:a\"><packages><package name=\"p\">"
                             + rectangle(0, 0, 30, 30)
                             + "</package></packages></library><library name=\"lib\" "
                               "urn=\"urn:b\"><packages><package name=\"p\">"
                             + rectangle(0, 0, 3, 2) + "</package></packages></library>")
                       .replace("<signals>",
                                "<elements><element name=\"P\" library=\"lib\" "
                                "library_urn=\"urn:b\" package=\"p\" package3d_urn=\"urn:c\" "
                                "x=\"5\" y=\"5\"/></elements><signals>")
            << 3.0 << 2.0 << 5.0 << 5.0;
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
    QCOMPARE(drawnBox(*measured.drawing), corners(measured.box));
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
    // Boxes worked out from the outline wires of each file; the arcs' to six
    // places, hence the tolerance.
    QTest::newRow("outline at origin") << "AMG8833_REV-B.brd" << 25.4 << 25.4 << 0.0 << 0.0;
    QTest::newRow("negative x") << "Graphic_LCD_Backpack.brd" << 51.308 + 0.0762 << 28.194
                                << -0.0762 << 0.0;
    // From x = 0.837 to 69.036; its arcs stay inside.
    QTest::newRow("negative y, left edge off the origin")
            << "SparkFun_RTK_Express.brd" << 69.036 - 0.837 << 109.865 + 0.275 << 0.837 << -0.275;
    QTest::newRow("away from origin") << "SnowFlake.brd" << 74.546796875 - 5.452909375
                                      << 79.9170125 - 0.13424375 << 5.452909375 << 0.13424375;
    QTest::newRow("a panel") << "Qwiic_MP3_Trigger-Panel.brd" << 233.934 + 9.398 << 108.966 + 6.858
                             << -9.398 << -6.858;
    // The outline is package DP5050_V1, drawn from -25 to 25 in x and y, of
    // part PCB1 at (25.4, 25.4).
    QTest::newRow("outline drawn by a part")
            << "BusPirate-v3.8a-SSOP.brd" << 50.0 << 50.0 << 0.4 << 0.4;
    // Its top corners are arcs of -92.145633 degrees: the one from
    // (0, 10.16) to (5.08, 15.24) has radius 4.987493 about
    // (4.986619, 10.253381), so it passes x = -0.000874 and y = 15.240874;
    // the other, from (8.89, 15.24) to (13.97, 10.16), x = 13.970874.
    QTest::newRow("arcs beyond their ends")
            << "Robotic_Finger_Sensor.brd" << 13.97 + 2 * 0.000874 << 15.240874 << -0.000874 << 0.0;
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
    QCOMPARE(drawnBox(*measured.drawing), corners(measured.box));
    const double tolerance = 1e-5;
    QVERIFY2(std::abs(measured.box.width() - width) < tolerance,
             qPrintable(QString::number(measured.box.width(), 'g', 10)));
    QVERIFY2(std::abs(measured.box.height() - height) < tolerance,
             qPrintable(QString::number(measured.box.height(), 'g', 10)));
    QVERIFY2(std::abs(measured.box.minX - startX) < tolerance,
             qPrintable(QString::number(measured.box.minX, 'g', 10)));
    QVERIFY2(std::abs(measured.box.minY - startY) < tolerance,
             qPrintable(QString::number(measured.box.minY, 'g', 10)));
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
