// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/board/copyoutline.h"
#include "core/board/measuredboards.h"
#include "core/board/outline.h"
#include "core/merge/assemblepanel.h"
#include "core/rules/copycopper.h"
#include "core/run/panelpreview.h"
#include "core/run/panelrun.h"
#include "core/xml/boardtokens.h"
#include "hostile/hostileinputs.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

// A panel run reads each board file once and makes every copy from what
// that read kept, on real boards and on boards made to trip the reading up.
// A framed panel, whose frame edits the copies' outlines, reads each once too.
class TestBoardCopies : public QObject
{
    Q_OBJECT

private slots:
    void runReadsEachBoardOnce_data();
    void runReadsEachBoardOnce();
    void framedPanelReadsEachBoardOnce_data();
    void framedPanelReadsEachBoardOnce();
    void partOutlineIsWhereItsPartsPutIt_data();
    void partOutlineIsWhereItsPartsPutIt();
    void turnedCopyIsItsBoardTurned_data();
    void turnedCopyIsItsBoardTurned();
};

namespace {

QByteArray boardWith(const QByteArray &plain, const QByteArray &rest = QByteArray())
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE eagle SYSTEM \"eagle.dtd\">\n"
           "<eagle version=\"9.6.2\"><drawing><board>\n<plain>\n"
           "<wire x1=\"0\" y1=\"0\" x2=\"40\" y2=\"0\" width=\"0\" layer=\"20\"/>\n"
           "<wire x1=\"40\" y1=\"0\" x2=\"40\" y2=\"25\" width=\"0\" layer=\"20\"/>\n"
            + plain + "\n</plain>\n<libraries/>\n<elements/>\n<signals/>\n" + rest
            + "</board></drawing></eagle>\n";
}

// The panel of the run.
struct Panels
{
    QByteArray ofRun;
    QMap<QString, int> reads; // how often the run opened each file
};

QVector<PanelBoard> measuredBoards(const QStringList &paths)
{
    QVector<PanelBoard> boards;
    for (const QString &path : paths) {
        const OutlineMeasurement measured = MeasuredBoards().measure(path);
        boards.append(measuredBoard(path, measured.box));
    }
    return boards;
}

AssembledPanel countedRun(const QVector<PanelBoard> &boards, const PanelNumbers &numbers,
                          QMap<QString, int> &reads)
{
    PanelRun run(boards, numbers, [&reads](const QString &path, QString &error) {
        ++reads[path];
        return PanelRun::openBoardAt(path, error);
    });
    run.place();
    run.shift();
    run.assemble();
    return run.takePanel();
}

Panels panelsOf(const QStringList &paths)
{
    const QVector<PanelBoard> boards = measuredBoards(paths);
    PanelNumbers numbers;
    numbers.width = numbers.height = 300;
    numbers.offset = 3;
    Panels panels;
    const AssembledPanel panel = countedRun(boards, numbers, panels.reads);
    panels.ofRun = panel.text.joined();
    return panels;
}

// A package drawing a square with one arc and a circle, which `elements`
// may place; a part names a package no library has.
QByteArray boardOfParts(const QString &elements)
{
    return QString(R"(<eagle><drawing><board><plain/><libraries><library name="lib"><packages>
<package name="SQ"><wire x1="0" y1="0" x2="4" y2="0" width="0.1" layer="20"/>
<wire x1="4" y1="0" x2="4" y2="4" width="0.1" layer="20" curve="90"/>
<wire x1="4" y1="4" x2="0" y2="4" width="0.1" layer="20"/>
<wire x1="0" y1="4" x2="0" y2="0" width="0.1" layer="20"/>
<circle x="2" y="2" radius="1" width="0.2" layer="20"/><wire x2="9" layer="21"/></package>
<package name="UNPLACED"><wire x1="0" y1="0" x2="50" y2="0" width="0" layer="20"/></package>
</packages></library></libraries><elements>%1
<element name="Q" library="lib" package="GONE" x="1" y="1"/></elements><signals/>
</board></drawing></eagle>)")
            .arg(elements)
            .toUtf8();
}

// The start tags of the outline wires and circles of the packages named
// `name` in a board's libraries; of every package for a null name.
QVector<int> packageOutlineTags(const DocumentTokens &board, const QString &name = QString())
{
    QVector<int> tags;
    DocumentTokens::Reader reader(board);
    bool inNamed = false; // packages do not nest
    while (!reader.atEnd()) {
        const bool starts = reader.readNext() == QXmlStreamReader::StartElement;
        const QStringRef tag = reader.name();
        const DocumentTokens::Attributes attributes = reader.attributes();
        if (tag == QLatin1String("package"))
            inNamed = starts && (name.isNull() || attributes.value(QLatin1String("name")) == name);
        else if (starts && inNamed
                 && (tag == QLatin1String("wire") || tag == QLatin1String("circle"))
                 && attributes.value(QLatin1String("layer")) == QLatin1String("20"))
            tags << reader.index();
    }
    return tags;
}

bool near(OutlinePoint point, QPointF expected)
{
    return std::abs(point.x - expected.x()) < 1e-4 && std::abs(point.y - expected.y()) < 1e-4;
}

} // namespace

void TestBoardCopies::runReadsEachBoardOnce_data()
{
    QTest::addColumn<QByteArrayList>("files"); // contents, in load order
    QTest::addColumn<QList<int>>("order"); // which file each loaded board is

    const QString dir = realBoardsDir();
    const QStringList names = QDir(dir).entryList({"*.brd"}, QDir::Files, QDir::Name);
    for (int i = 0; i < names.size(); ++i) {
        const QByteArray board = readWholeFile(dir + QLatin1Char('/') + names.at(i));
        const QByteArray next =
                readWholeFile(dir + QLatin1Char('/') + names.at((i + 1) % names.size()));
        QTest::addRow("%s", qPrintable(names.at(i)))
                << QByteArrayList {board, next} << QList<int> {0, 0, 1, 0};
    }

    // Every character a board can hold, in a text and in an attribute.
    QString every;
    for (uint code = 0x20; code < 0x110000; code += code < 0x10000 ? 1 : 0x1001) {
        if ((code < 0xd800 || code > 0xdfff) && code != 0xfffe && code != 0xffff)
            every += QString::fromUcs4(&code, 1);
    }
    const QByteArray escaped = every.toHtmlEscaped().toUtf8();
    const QByteArray everyCharacter =
            boardWith("<text x=\"1\" font=\"" + escaped + "\">" + escaped + "</text>");
    const QByteArray rules = "<designrules name=\"r\"><param name=\"mdWireWire\" value=\"9mil\"/>"
                             "</designrules>\n";
    const struct
    {
        const char *name;
        QByteArray board;
    } crafted[] = {
            {"text split by a comment", boardWith("<text x=\"1\" y=\"2\">ab<!--c-->cd</text>")},
            {"CDATA beside text", boardWith("<text x=\"1\">a<![CDATA[<b>&]]>c</text>")},
            {"carriage returns",
             boardWith("<text x=\"1\" align=\"a&#13;b\">a&#13;&#10;b&#13;c</text>")},
            {"whitespace between comments", boardWith("<text x=\"1\"> <!--x--> &#9;</text>")},
            {"mixed content", boardWith("<frame x1=\"1\">lead<wire x1=\"2\"/>tail</frame>")},
            {"section tag inside a section",
             boardWith("<wire x1=\"1\"/><a><plain y=\"4\"/></a><wire x2=\"2\"/>")},
            {"odd coordinates",
             boardWith("<hole x=\"abc\" y=\"\"/><hole x=\"1e400\" y=\"-0\"/>"
                       "<hole x=\"1.234567891\" y=\"-99999.95\" x3=\"7\" X=\"5\" x4=\"1\" "
                       "xx=\"2\"/>")},
            {"rules in the drawing",
             boardWith("<designrules><param name=\"a\" value=\"1\"/>"
                       "</designrules>",
                       rules)},
            {"empty rules first", boardWith("<designrules/>", rules)},
            {"entity", boardWith("<text x=\"1\">&lt;&amp;&gt;&quot;&apos;</text>")},
            {"every character", everyCharacter},
            {"namespaced attributes",
             boardWith("<text xmlns:p=\"urn:p\" p:x=\"1\" x=\"2\" p:size=\"3\">n</text>")},
            {"hand-made UTF-16", handMadeBoard(QStringLiteral("L"), "UTF-16", "\r\n")},
            {"hand-made Latin-1", handMadeBoard(QStringLiteral("\u00e9t\u00e9"), "ISO-8859-1")},
    };
    for (const auto &row : crafted) {
        QTest::addRow("%s", row.name)
                << QByteArrayList {row.board, handMadeBoard()} << QList<int> {0, 1, 0, 0};
    }
    QTest::addRow("unreadable board among readable ones")
            << QByteArrayList {handMadeBoard(), cutInside("signal")} << QList<int> {0, 1, 0};
}

void TestBoardCopies::runReadsEachBoardOnce()
{
    QFETCH(QByteArrayList, files);
    QFETCH(QList<int>, order);
    if (files.first().isEmpty())
        QSKIP("the real boards are not at hand");
    QTemporaryDir dir;
    QStringList paths;
    for (int i = 0; i < files.size(); ++i) {
        paths << dir.filePath(QStringLiteral("board%1.brd").arg(i));
        QVERIFY(writeWholeFile(paths.last(), files.at(i)));
    }
    QStringList loaded;
    for (const int file : order)
        loaded << paths.at(file);

    const Panels panels = panelsOf(loaded);
    QVERIFY(!panels.ofRun.isEmpty());
    QCOMPARE(readerFailure(panels.ofRun), QString());
    for (const QString &path : paths)
        QCOMPARE(panels.reads.value(path), 1);
}

void TestBoardCopies::framedPanelReadsEachBoardOnce_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<double>("tabWidth");
    QTest::addColumn<int>("held");
    QTest::newRow("arcs and rounded corners")
            << QStringList {"SnowFlake.brd", "OpenLog.brd", "SnowFlake.brd", "OpenLog.brd"} << 4.0
            << 4;
    QTest::newRow("mixed sizes") << QStringList {"MOAC.brd", "Qwiic_LED_Stick.brd", "MOAC.brd",
                                                 "AMG8833_REV-B.brd"}
                                 << 4.0 << 4;
    // No straight stretch of the snowflake's takes a 10 mm tab: the others
    // are placed again without it.
    QTest::newRow("boards placed again") << QStringList {"SnowFlake.brd", "OpenLog.brd", "MOAC.brd",
                                                         "SnowFlake.brd", "OpenLog.brd"}
                                         << 10.0 << 3;
}

void TestBoardCopies::framedPanelReadsEachBoardOnce()
{
    QFETCH(QStringList, names);
    QFETCH(double, tabWidth);
    REQUIRE_REAL_BOARDS();
    QStringList paths;
    for (const QString &name : names)
        paths << realBoard(name);
    PanelNumbers numbers;
    numbers.width = numbers.height = 300;
    numbers.offset = 3;
    numbers.frame.frameWidth = 5;
    numbers.frame.tabWidth = tabWidth;
    numbers.frame.fiducials = true;
    QMap<QString, int> reads;
    const AssembledPanel panel = countedRun(measuredBoards(paths), numbers, reads);
    QTEST(int(panel.placements.size()), "held");
    QVERIFY(panel.text.joined().contains("drill=\"0.5\"")); // the tabs' mouse bites
    for (const QString &path : paths)
        QCOMPARE(reads.value(path), 1);
    // The window's picture takes each board's outline and tokens from its
    // loading: with the files gone it still shows the run's panel.
    QTemporaryDir folder;
    MeasuredBoards loading(true);
    QVector<PanelBoard> loaded;
    PanelRun::ReadTokens tokens;
    for (const QString &name : names) {
        const QString path = folder.filePath(name);
        QFile::copy(realBoard(name), path);
        const OutlineMeasurement measured = loading.measure(path);
        loaded << measuredBoard(path, measured.box, measured.drawing);
        tokens.insert(path, loading.tokensOf(path));
    }
    for (const PanelBoard &board : std::as_const(loaded))
        QFile::remove(board.path);
    const PanelPreview preview = previewPanel(loaded, numbers, tokens);
    QCOMPARE(preview.copies.size(), panel.placements.size());
    for (int i = 0; i < preview.copies.size(); ++i)
        QCOMPARE(preview.copies.at(i).shift, panel.placements.at(i).shift);
    QCOMPARE(preview.plan.untabbed.size(), names.size() - panel.placements.size());
    for (const PanelProblem &problem : preview.problems)
        QCOMPARE(problem.kind, PanelProblem::NoTabs);
    QVERIFY(!preview.plan.biteHoles.isEmpty());
}

void TestBoardCopies::partOutlineIsWhereItsPartsPutIt_data()
{
    QTest::addColumn<QByteArray>("board");
    QTest::addColumn<QString>("package"); // that its parts place
    QTest::addColumn<int>("wireCount");
    // The package's square placed, corner by corner, then its circle's centre.
    QTest::addColumn<QList<QPointF>>("corners");
    QTest::addColumn<double>("curve"); // of its arc, placed

    const QString part = QStringLiteral(
            "<element name=\"P\" library=\"lib\" package=\"SQ\" x=\"10\" y=\"20\" rot=\"%1\"/>");
    const double h = 2 * std::sqrt(2.0);
    QTest::newRow("R0") << boardOfParts(part.arg("R0")) << "SQ" << 6
                        << QList<QPointF> {{10, 20}, {14, 20}, {14, 24}, {10, 24}, {12, 22}}
                        << 90.0;
    QTest::newRow("R90") << boardOfParts(part.arg("R90")) << "SQ" << 6
                         << QList<QPointF> {{10, 20}, {10, 24}, {6, 24}, {6, 20}, {8, 22}} << 90.0;
    QTest::newRow("MR180") << boardOfParts(part.arg("MR180")) << "SQ" << 6
                           << QList<QPointF> {{10, 20}, {14, 20}, {14, 16}, {10, 16}, {12, 18}}
                           << -90.0;
    QTest::newRow("R45") << boardOfParts(part.arg("R45")) << "SQ" << 6
                         << QList<QPointF> {{10, 20},
                                            {10 + h, 20 + h},
                                            {10, 20 + 2 * h},
                                            {10 - h, 20 + h},
                                            {10, 20 + h}}
                         << 90.0;
    QTest::newRow("only a part of a missing package")
            << boardOfParts(QString()) << "GONE" << 0 << QList<QPointF>() << 0.0;
    const QString real =
            realBoardsDir().isEmpty() ? QString() : realBoard("BusPirate-v3.8a-SSOP.brd");
    QTest::newRow("BusPirate") << (real.isEmpty() ? QByteArray() : readWholeFile(real))
                               << "DP5050_V1" << 8 << QList<QPointF>() << 0.0;
}

// Copies that leave out the primitives their parts draw keep every other one.
void TestBoardCopies::partOutlineIsWhereItsPartsPutIt()
{
    QFETCH(QByteArray, board);
    QFETCH(QString, package);
    QFETCH(int, wireCount);
    QFETCH(QList<QPointF>, corners);
    QFETCH(double, curve);
    if (board.isEmpty())
        QSKIP("the real boards are not at hand");
    QBuffer buffer(&board);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const std::shared_ptr<const DocumentTokens> tokens = readBoardTokens(buffer).tokens;
    const QPointF shift(7, -3);
    const PartOutline outline = partOutlineWires(tokens->shifted(shift.x(), shift.y()));
    QCOMPARE(outline.wires.size(), wireCount);
    QCOMPARE(outline.packageTags, packageOutlineTags(*tokens, package));

    BoxBuilder drawn;
    for (int i = 0; i < outline.wires.size(); ++i) {
        const OutlineWire &wire = outline.wires.at(i);
        QVERIFY(wire.drawnByPart && wire.tag == -1);
        QVERIFY(wire.from.x == wire.fromX.toDouble() && wire.to.y == wire.toY.toDouble());
        OutlineArc arc;
        QCOMPARE(wire.straight,
                 !wireArc(wire.from.x, wire.from.y, wire.to.x, wire.to.y, wire.curve, arc));
        if (wire.straight) {
            drawn.add(wire.from);
            drawn.add(wire.to);
        } else {
            drawn.add(arc);
        }
        if (corners.isEmpty())
            continue;
        const QPointF circle = corners.last() + shift, radius(i == 4 ? 1 : -1, 0);
        QVERIFY(near(wire.from, i < 4 ? corners.at(i) + shift : circle - radius));
        QVERIFY(near(wire.to, i < 4 ? corners.at((i + 1) % 4) + shift : circle + radius));
        QCOMPARE(wire.curve, i < 4 ? (i == 1 ? curve : 0.0) : 180.0);
        QCOMPARE(wire.width, QLatin1String(i < 4 ? "0.1" : "0.2"));
    }
    buffer.seek(0);
    const OutlineBox box = drawn.box(), measured = measureOutline(buffer).box;
    if (wireCount) {
        QVERIFY(std::abs(box.minX - measured.minX - shift.x()) < 1e-3);
        QVERIFY(std::abs(box.maxX - measured.maxX - shift.x()) < 1e-3);
        QVERIFY(std::abs(box.minY - measured.minY - shift.y()) < 1e-3);
        QVERIFY(std::abs(box.maxY - measured.maxY - shift.y()) < 1e-3);
    }

    BoardCopy copy;
    copy.board = tokens;
    copy.leftOut = outline.packageTags;
    QStringList known, duplicates;
    NameBook names(known, duplicates);
    const QByteArray panel = assembleCopies({copy, copy}, names).text.joined();
    QCOMPARE(packageOutlineTags(*readCopy(panel).board).size(),
             2 * (packageOutlineTags(*tokens).size() - outline.packageTags.size()));
}

namespace {

OutlinePoint turnedAndMoved(OutlinePoint point, int turn, int dx, int dy)
{
    for (int i = 0; i < turn; ++i)
        point = {-point.y, point.x};
    return {point.x + dx, point.y + dy};
}

// Six significant digits, as a copy writes its places, and as the unturned
// copy compared with wrote them too.
bool near(OutlinePoint a, OutlinePoint b)
{
    const auto close = [](double u, double v) {
        return std::abs(u - v) <= 1e-5 * std::max({10.0, std::abs(u), std::abs(v)});
    };
    return close(a.x, b.x) && close(a.y, b.y);
}

} // namespace

void TestBoardCopies::turnedCopyIsItsBoardTurned_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("turn");
    const QStringList names = QDir(realBoardsDir()).entryList({"*.brd"}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        for (int turn = 1; turn < 4; ++turn)
            QTest::addRow("%s %d", qPrintable(name), 90 * turn) << name << turn;
    }
}

// Every track, via, pad and SMD of a turned copy, each part's (mirrored ones
// included) where the turned part puts it, and every outline wire, its
// parts' too, are those of the board turned about its origin, then moved.
void TestBoardCopies::turnedCopyIsItsBoardTurned()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QString, name);
    QFETCH(int, turn);
    QFile file(realBoard(name));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const BoardTokens read = readBoardTokens(file);
    QVERIFY(read.tokens);
    const DesignRules rules = DesignRules::of(*read.tokens);
    const DocumentTokens board = read.tokens->shifted(0, 0);
    const DocumentTokens copy = read.tokens->shifted(30, -20, turn);
    const QVector<CopperShape> before = copperOf(board, rules);
    const QVector<CopperShape> after = copperOf(copy, rules);
    QCOMPARE(after.size(), before.size());
    for (int i = 0; i < before.size(); ++i) {
        const CopperShape &was = before.at(i);
        const CopperShape &is = after.at(i);
        QVERIFY2(
                near(is.from, turnedAndMoved(was.from, turn, 30, -20))
                        && near(is.to, turnedAndMoved(was.to, turn, 30, -20)),
                qPrintable(
                        QStringLiteral("copper %1 at %2,%3").arg(i).arg(is.from.x).arg(is.from.y)));
        QCOMPARE(is.radius, was.radius);
        QCOMPARE(QPointF(is.halfX, is.halfY), QPointF(was.halfX, was.halfY));
        const double turnedBy = std::fmod(is.angle - was.angle - 90.0 * turn + 720.0, 180.0);
        QVERIFY2(was.kind == CopperShape::Stroke || turnedBy < 1e-6 || turnedBy > 180 - 1e-6,
                 qPrintable(QStringLiteral("SMD %1 at %2 degrees, was %3")
                                    .arg(i)
                                    .arg(is.angle)
                                    .arg(was.angle)));
    }
    const QVector<OutlineWire> outline = drawingOutlineWires(board) + partOutlineWires(board).wires;
    const QVector<OutlineWire> turned = drawingOutlineWires(copy) + partOutlineWires(copy).wires;
    QCOMPARE(turned.size(), outline.size());
    for (int i = 0; i < outline.size(); ++i) {
        QVERIFY(near(turned.at(i).from, turnedAndMoved(outline.at(i).from, turn, 30, -20)));
        QVERIFY(near(turned.at(i).to, turnedAndMoved(outline.at(i).to, turn, 30, -20)));
        QCOMPARE(turned.at(i).curve, outline.at(i).curve);
    }
}

QTEST_GUILESS_MAIN(TestBoardCopies)
#include "tst_boardcopies.moc"
