#include "bench/boardgenerator.h"
#include "bench/geometry.h"
#include "bench/xmlout.h"
#include "catalogue/outline.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDomDocument>
#include <QFileInfo>
#include <QSet>
#include <QtTest>

#include <algorithm>
#include <cmath>

// The generated benchmark boards: well-formed, reproducible, consistent in
// every cross-reference, inside their outline, and as large as real boards.
class TestBoardGenerator : public QObject
{
    Q_OBJECT

private slots:
    void lengthTexts_data();
    void lengthTexts();
    void escapedTexts_data();
    void escapedTexts();
    void placedPoints_data();
    void placedPoints();
    void circlePointsLieOnTheCircle();

    void documentLayout_data();
    void documentLayout();
    void sameSeedSameBytes_data();
    void sameSeedSameBytes();
    void bytesAreFixedAcrossMachines();
    void oneElementPerPart_data();
    void oneElementPerPart();
    void referencesResolve_data();
    void referencesResolve();
    void namesAreUnique_data();
    void namesAreUnique();
    void outlineIsTheBox_data();
    void outlineIsTheBox();
    void partsAndSignalsInsideOutline_data();
    void partsAndSignalsInsideOutline();
    void measuredOutlineIsTheGeneratedOne_data();
    void measuredOutlineIsTheGeneratedOne();
    void holdsWhatRealBoardsHold();
    void outlineAreaGrowsWithParts();
    void sizeGrowsLinearly();
    void sizeComparesWithRealBoards_data();
    void sizeComparesWithRealBoards();
};

namespace {

using benchgen::Length;
using benchgen::Placement;
using benchgen::Point;
using benchgen::operator""_mm;

QString tag(const char *name)
{
    return QString::fromLatin1(name);
}

QDomDocument parse(const QByteArray &bytes)
{
    QDomDocument document;
    QString error;
    int line = 0;
    if (!document.setContent(bytes, &error, &line))
        qWarning("parse error at line %d: %s", line, qPrintable(error));
    return document;
}

// Each generated board is parsed once for all the tests that read it.
QDomDocument parsedBoard(quint32 seed, int parts)
{
    static QMap<QPair<quint32, int>, QDomDocument> parsed;
    const QPair<quint32, int> key(seed, parts);
    if (!parsed.contains(key))
        parsed.insert(key, parse(generateBoard(seed, parts)));
    return parsed.value(key);
}

QDomElement boardOf(const QDomDocument &document)
{
    return document.documentElement()
            .firstChildElement(tag("drawing"))
            .firstChildElement(tag("board"));
}

void collectElements(const QDomElement &root, QList<QDomElement> &into)
{
    for (QDomElement child = root.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        into.append(child);
        collectElements(child, into);
    }
}

QList<QDomElement> allDescendants(const QDomElement &root)
{
    QList<QDomElement> result;
    collectElements(root, result);
    return result;
}

// QDomNodeList from elementsByTagName() is slow to index on large trees;
// a plain walk is linear.
QList<QDomElement> descendants(const QDomElement &root, const char *name)
{
    QList<QDomElement> result;
    const QString wanted = tag(name);
    for (const QDomElement &element : allDescendants(root))
        if (element.tagName() == wanted)
            result.append(element);
    return result;
}

QList<QDomElement> childElements(const QDomElement &parent, const char *name = nullptr)
{
    QList<QDomElement> result;
    const QString wanted = name ? tag(name) : QString();
    for (QDomElement child = parent.firstChildElement(wanted); !child.isNull();
         child = child.nextSiblingElement(wanted))
        result.append(child);
    return result;
}

QStringList childTags(const QDomElement &parent)
{
    QStringList tags;
    for (const QDomElement &child : childElements(parent))
        tags << child.tagName();
    return tags;
}

QString attribute(const QDomElement &element, const char *name)
{
    return element.attribute(tag(name));
}

double number(const QDomElement &element, const char *name)
{
    return attribute(element, name).toDouble();
}

// The pad and smd names of every package, by library and package name.
QHash<QString, QSet<QString>> padsByPackage(const QDomElement &board)
{
    QHash<QString, QSet<QString>> pads;
    for (const QDomElement &library : descendants(board, "library")) {
        for (const QDomElement &package : descendants(library, "package")) {
            QSet<QString> &names = pads[attribute(library, "name") + QLatin1Char('/')
                                        + attribute(package, "name")];
            for (const char *padTag : {"pad", "smd"})
                for (const QDomElement &pad : childElements(package, padTag))
                    names.insert(attribute(pad, "name"));
        }
    }
    return pads;
}

QStringList duplicates(const QList<QDomElement> &elements)
{
    QSet<QString> seen;
    QStringList repeated;
    for (const QDomElement &element : elements) {
        const QString name = attribute(element, "name");
        if (seen.contains(name))
            repeated << name;
        seen.insert(name);
    }
    return repeated;
}

void addBoardRows(std::initializer_list<int> partCounts,
                  std::initializer_list<quint32> seeds = {1, 20240607})
{
    QTest::addColumn<quint32>("seed");
    QTest::addColumn<int>("parts");
    for (const int parts : partCounts)
        for (const quint32 seed : seeds)
            QTest::addRow("%d parts, seed %u", parts, seed) << seed << parts;
}

// Small boards with two seeds, and one seed each for the larger ones, which
// take seconds to parse in the sanitizer build.
void addBoardRows()
{
    addBoardRows({0, 1, 7, 12, 24, 40});
    QTest::newRow("150 parts, seed 20240607") << quint32(20240607) << 150;
    QTest::newRow("300 parts, seed 1") << quint32(1) << 300;
}

int elementCount(const QByteArray &realBoard)
{
    return realBoard.count("<element ");
}

} // namespace

void TestBoardGenerator::lengthTexts_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<QByteArray>("text");

    QTest::newRow("zero") << 0 << QByteArray("0");
    QTest::newRow("whole") << 508000 << QByteArray("50.8");
    QTest::newRow("tenths") << 127000 << QByteArray("12.7");
    QTest::newRow("four places") << 2032 << QByteArray("0.2032");
    QTest::newRow("negative") << -6350 << QByteArray("-0.635");
    QTest::newRow("smallest") << -1 << QByteArray("-0.0001");
    QTest::newRow("leading fraction zeros") << 10005 << QByteArray("1.0005");
    QTest::newRow("literal") << int(3.81_mm) << QByteArray("3.81");
    QTest::newRow("mils") << int(benchgen::mils(25)) << QByteArray("0.635");
}

void TestBoardGenerator::lengthTexts()
{
    QFETCH(int, units);
    QFETCH(QByteArray, text);
    QCOMPARE(benchgen::lengthText(units), text);
}

void TestBoardGenerator::escapedTexts_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("escaped");

    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("plain") << QByteArray("Top") << QByteArray("Top");
    QTest::newRow("placeholder") << QByteArray(">NAME") << QByteArray("&gt;NAME");
    QTest::newRow("all four") << QByteArray("a<b & \"c\">")
                              << QByteArray("a&lt;b &amp; &quot;c&quot;&gt;");
    QTest::newRow("at the ends") << QByteArray("&x&") << QByteArray("&amp;x&amp;");
    QTest::newRow("UTF-8 kept") << QByteArray("600\xce\xa9") << QByteArray("600\xce\xa9");
}

void TestBoardGenerator::escapedTexts()
{
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, escaped);
    QByteArray out = "<";
    benchgen::appendEscaped(out, text);
    QCOMPARE(out, "<" + escaped);
}

void TestBoardGenerator::placedPoints_data()
{
    QTest::addColumn<int>("quarterTurns");
    QTest::addColumn<bool>("mirrored");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("y");
    QTest::addColumn<QByteArray>("rotation");

    // The package point (2, 1) of a part at (100, 200).
    QTest::newRow("R0") << 0 << false << 102 << 201 << QByteArray("R0");
    QTest::newRow("R90") << 1 << false << 99 << 202 << QByteArray("R90");
    QTest::newRow("R180") << 2 << false << 98 << 199 << QByteArray("R180");
    QTest::newRow("R270") << 3 << false << 101 << 198 << QByteArray("R270");
    QTest::newRow("MR0") << 0 << true << 98 << 201 << QByteArray("MR0");
    QTest::newRow("MR90") << 1 << true << 99 << 198 << QByteArray("MR90");
}

void TestBoardGenerator::placedPoints()
{
    QFETCH(int, quarterTurns);
    QFETCH(bool, mirrored);
    QFETCH(int, x);
    QFETCH(int, y);
    QFETCH(QByteArray, rotation);

    const Placement placement = {{100, 200}, quarterTurns, mirrored};
    const Point point = benchgen::placed({2, 1}, placement);
    QCOMPARE(point.x, x);
    QCOMPARE(point.y, y);
    QCOMPARE(benchgen::rotationText(placement), rotation);
}

void TestBoardGenerator::circlePointsLieOnTheCircle()
{
    const Length radius = 5_mm;
    const Point centre = {10_mm, -3_mm};
    for (int step = -64; step < 128; ++step) {
        const Point point = benchgen::onCircle(centre, radius, step);
        const double distance = std::hypot(double(point.x - centre.x), double(point.y - centre.y));
        // The table has four digits: a micrometre off at most.
        QVERIFY2(std::abs(distance - radius) <= 10.0, qPrintable(QString::number(step)));
    }
    const Point right = benchgen::onCircle(centre, radius, 0);
    const Point top = benchgen::onCircle(centre, radius, 16);
    const Point left = benchgen::onCircle(centre, radius, 32);
    const Point bottom = benchgen::onCircle(centre, radius, 48);
    QCOMPARE(right.x, centre.x + radius);
    QCOMPARE(top.y, centre.y + radius);
    QCOMPARE(left.x, centre.x - radius);
    QCOMPARE(bottom.y, centre.y - radius);
}

void TestBoardGenerator::documentLayout_data()
{
    addBoardRows();
}

void TestBoardGenerator::documentLayout()
{
    QFETCH(quint32, seed);
    QFETCH(int, parts);

    const QByteArray bytes = generateBoard(seed, parts);
    QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
                             "<!DOCTYPE eagle SYSTEM \"eagle.dtd\">\n<eagle version=\"9.6.2\">"));
    QVERIFY(bytes.endsWith("</eagle>\n"));
    const QDomDocument document = parsedBoard(seed, parts);
    const QDomElement eagle = document.documentElement();
    QCOMPARE(eagle.tagName(), tag("eagle"));
    QCOMPARE(document.doctype().name(), tag("eagle"));
    QCOMPARE(childTags(eagle), QStringList {tag("drawing")});
    const QStringList drawing = {tag("settings"), tag("grid"), tag("layers"), tag("board")};
    QCOMPARE(childTags(eagle.firstChildElement()), drawing);
    const QStringList board = {tag("plain"),       tag("libraries"), tag("attributes"),
                               tag("variantdefs"), tag("classes"),   tag("designrules"),
                               tag("autorouter"),  tag("elements"),  tag("signals")};
    QCOMPARE(childTags(boardOf(document)), board);
}

void TestBoardGenerator::sameSeedSameBytes_data()
{
    addBoardRows({0, 12, 100, 300});
}

void TestBoardGenerator::sameSeedSameBytes()
{
    QFETCH(quint32, seed);
    QFETCH(int, parts);

    const QByteArray first = generateBoard(seed, parts);
    QCOMPARE(generateBoard(seed, parts), first);
    // Even a board without parts takes its title from the seed.
    QVERIFY(generateBoard(seed + 1, parts) != first);
    QVERIFY(generateBoard(seed, parts + 1) != first);
}

// Benchmark results are compared across machines and runs only while every
// machine generates the very same boards. A change of these digests is a
// deliberate change of the benchmark's input.
void TestBoardGenerator::bytesAreFixedAcrossMachines()
{
    const QByteArray digest =
            QCryptographicHash::hash(generateBoard(1, 300), QCryptographicHash::Sha256).toHex();
    QCOMPARE(digest,
             QByteArray("73371e44581b14a0b8750fd9692fb0b340d96bd09548597088d53ac170777e1b"));
}

void TestBoardGenerator::oneElementPerPart_data()
{
    addBoardRows();
    QTest::newRow("negative count, seed 3") << quint32(3) << -5;
}

void TestBoardGenerator::oneElementPerPart()
{
    QFETCH(quint32, seed);
    QFETCH(int, parts);

    const QDomElement board = boardOf(parsedBoard(seed, parts));
    const QDomElement elements = board.firstChildElement(tag("elements"));
    QCOMPARE(childElements(elements, "element").size(), std::max(parts, 0));
    QCOMPARE(childElements(elements).size(), std::max(parts, 0));
    for (const QDomElement &element : childElements(elements, "element")) {
        QCOMPARE(attribute(element, "smashed"), tag("yes"));
        QStringList names;
        for (const QDomElement &smashed : childElements(element, "attribute"))
            names << attribute(smashed, "name");
        QVERIFY2(names.contains(tag("NAME")) && names.contains(tag("VALUE")),
                 qPrintable(attribute(element, "name")));
    }
}

void TestBoardGenerator::referencesResolve_data()
{
    addBoardRows();
}

void TestBoardGenerator::referencesResolve()
{
    QFETCH(quint32, seed);
    QFETCH(int, parts);

    const QDomElement board = boardOf(parsedBoard(seed, parts));
    const QHash<QString, QSet<QString>> pads = padsByPackage(board);
    QHash<QString, QString> packageOfElement;
    for (const QDomElement &element : descendants(board, "element")) {
        const QString key =
                attribute(element, "library") + QLatin1Char('/') + attribute(element, "package");
        QVERIFY2(pads.contains(key), qPrintable(key));
        packageOfElement.insert(attribute(element, "name"), key);
    }
    int contacts = 0;
    for (const QDomElement &contact : descendants(board, "contactref")) {
        const QString element = attribute(contact, "element");
        const QString pad = attribute(contact, "pad");
        QVERIFY2(packageOfElement.contains(element), qPrintable(element));
        QVERIFY2(pads.value(packageOfElement.value(element)).contains(pad),
                 qPrintable(element + QLatin1Char('.') + pad));
        ++contacts;
    }
    QCOMPARE(contacts > 0, parts > 0);
    // Every class a signal names is declared.
    QSet<QString> classes;
    for (const QDomElement &netClass : descendants(board, "class"))
        classes.insert(attribute(netClass, "number"));
    for (const QDomElement &signal : descendants(board, "signal"))
        if (signal.hasAttribute(tag("class")))
            QVERIFY(classes.contains(attribute(signal, "class")));
}

void TestBoardGenerator::namesAreUnique_data()
{
    addBoardRows();
}

void TestBoardGenerator::namesAreUnique()
{
    QFETCH(quint32, seed);
    QFETCH(int, parts);

    const QDomElement board = boardOf(parsedBoard(seed, parts));
    QCOMPARE(duplicates(descendants(board, "element")), QStringList());
    QCOMPARE(duplicates(descendants(board, "signal")), QStringList());
    QCOMPARE(duplicates(descendants(board, "library")), QStringList());
    for (const QDomElement &library : descendants(board, "library"))
        QCOMPARE(duplicates(descendants(library, "package")), QStringList());
    for (const QDomElement &signal : descendants(board, "signal"))
        QVERIFY2(!childElements(signal, "contactref").isEmpty(),
                 qPrintable(attribute(signal, "name")));
}

void TestBoardGenerator::outlineIsTheBox_data()
{
    addBoardRows();
}

void TestBoardGenerator::outlineIsTheBox()
{
    QFETCH(quint32, seed);
    QFETCH(int, parts);

    const GeneratedOutline outline = generatedOutline(parts);
    const QDomDocument document = parsedBoard(seed, parts);
    QList<QDomElement> outlineWires;
    for (const QDomElement &wire : descendants(document.documentElement(), "wire"))
        if (attribute(wire, "layer") == tag("20"))
            outlineWires.append(wire);
    QCOMPARE(outlineWires.size(), 4);

    // Each side is axis-parallel, on the box, and the sides close the loop.
    QSet<QString> ends;
    for (const QDomElement &wire : outlineWires) {
        QCOMPARE(wire.parentNode().toElement().tagName(), tag("plain"));
        const double x1 = number(wire, "x1");
        const double y1 = number(wire, "y1");
        const double x2 = number(wire, "x2");
        const double y2 = number(wire, "y2");
        QVERIFY(x1 == x2 || y1 == y2);
        for (const double x : {x1, x2})
            QVERIFY(x == 0.0 || x == outline.width);
        for (const double y : {y1, y2})
            QVERIFY(y == 0.0 || y == outline.height);
        for (const QString &end :
             {QStringLiteral("%1,%2").arg(x1).arg(y1), QStringLiteral("%1,%2").arg(x2).arg(y2)}) {
            if (ends.contains(end))
                ends.remove(end);
            else
                ends.insert(end);
        }
    }
    QCOMPARE(ends.size(), 0); // every corner is met exactly twice
    QVERIFY(outline.width > 0.0 && outline.height > 0.0);
}

void TestBoardGenerator::partsAndSignalsInsideOutline_data()
{
    addBoardRows();
}

void TestBoardGenerator::partsAndSignalsInsideOutline()
{
    QFETCH(quint32, seed);
    QFETCH(int, parts);

    const GeneratedOutline outline = generatedOutline(parts);
    const QDomElement board = boardOf(parsedBoard(seed, parts));
    int checked = 0;
    for (const char *section : {"elements", "signals"}) {
        for (const QDomElement &item : allDescendants(board.firstChildElement(tag(section)))) {
            for (const char *name : {"x", "x1", "x2"}) {
                if (item.hasAttribute(tag(name))) {
                    const double x = number(item, name);
                    QVERIFY2(x >= 0.0 && x <= outline.width, qPrintable(item.tagName()));
                    ++checked;
                }
            }
            for (const char *name : {"y", "y1", "y2"}) {
                if (item.hasAttribute(tag(name))) {
                    const double y = number(item, name);
                    QVERIFY2(y >= 0.0 && y <= outline.height, qPrintable(item.tagName()));
                    ++checked;
                }
            }
        }
    }
    QCOMPARE(checked > 0, parts > 0);
}

void TestBoardGenerator::measuredOutlineIsTheGeneratedOne_data()
{
    addBoardRows({0, 12, 300, 1000});
}

void TestBoardGenerator::measuredOutlineIsTheGeneratedOne()
{
    QFETCH(quint32, seed);
    QFETCH(int, parts);

    QByteArray bytes = generateBoard(seed, parts);
    QBuffer buffer(&bytes);
    QVERIFY(buffer.open(QIODevice::ReadOnly));
    const OutlineMeasurement measured = measureOutline(buffer);
    QCOMPARE(measured.error, QString());
    const GeneratedOutline outline = generatedOutline(parts);
    QCOMPARE(measured.box.minX, 0.0);
    QCOMPARE(measured.box.minY, 0.0);
    QCOMPARE(measured.box.maxX, outline.width);
    QCOMPARE(measured.box.maxY, outline.height);
}

void TestBoardGenerator::holdsWhatRealBoardsHold()
{
    const QDomDocument document = parsedBoard(1, 300);
    const QDomElement eagle = document.documentElement();
    const QDomElement board = boardOf(document);

    QSet<int> layers;
    for (const QDomElement &layer : descendants(eagle, "layer"))
        layers.insert(attribute(layer, "number").toInt());
    for (const int needed : {1, 16, 17, 18, 19, 20, 21, 22, 25, 26, 27, 28, 29, 30})
        QVERIFY2(layers.contains(needed), qPrintable(QString::number(needed)));
    QVERIFY(std::any_of(layers.cbegin(), layers.cend(), [](int layer) { return layer >= 100; }));

    QVERIFY(descendants(board.firstChildElement(tag("designrules")), "param").size() > 50);
    QVERIFY(descendants(board.firstChildElement(tag("autorouter")), "pass").size() > 3);
    QVERIFY(descendants(board, "class").size() >= 2);

    const QDomElement plain = board.firstChildElement(tag("plain"));
    QStringList texts;
    for (const QDomElement &text : descendants(plain, "text"))
        texts << text.text();
    const QString allTexts = texts.join(QLatin1Char('\n'));
    QVERIFY(allTexts.contains(QLatin1Char('&')) && allTexts.contains(QLatin1Char('<')));
    QVERIFY(!descendants(plain, "hole").isEmpty());
    QVERIFY(descendants(plain, "wire").size() > 4);

    const QDomElement libraries = board.firstChildElement(tag("libraries"));
    QVERIFY(childElements(libraries, "library").size() >= 3);
    QVERIFY(descendants(libraries, "package").size() >= 12);
    for (const char *shape : {"smd", "pad", "wire", "text", "rectangle", "polygon", "circle"})
        QVERIFY2(!descendants(libraries, shape).isEmpty(), shape);
    for (const QDomElement &library : childElements(libraries, "library"))
        QVERIFY(!library.firstChildElement(tag("description")).text().isEmpty());

    const QList<QDomElement> signalList = descendants(board, "signal");
    const auto named = [&](const char *name) {
        for (const QDomElement &signal : signalList)
            if (attribute(signal, "name") == tag(name))
                return signal;
        return QDomElement();
    };
    QVERIFY(!descendants(named("GND"), "polygon").isEmpty());
    QVERIFY(std::any_of(signalList.cbegin(), signalList.cend(), [](const QDomElement &signal) {
        return attribute(signal, "class") == tag("1");
    }));
    QVERIFY(std::any_of(signalList.cbegin(), signalList.cend(), [](const QDomElement &signal) {
        return attribute(signal, "name").startsWith(tag("N$"));
    }));
    QSet<QString> wireLayers;
    for (const QDomElement &wire : descendants(board.firstChildElement(tag("signals")), "wire"))
        wireLayers.insert(attribute(wire, "layer"));
    QVERIFY(wireLayers.contains(tag("1")) && wireLayers.contains(tag("16")));
    QVERIFY(!descendants(board, "via").isEmpty());
}

void TestBoardGenerator::outlineAreaGrowsWithParts()
{
    double previousArea = 0.0;
    for (const int parts : {250, 500, 1000, 2000}) {
        const GeneratedOutline outline = generatedOutline(parts);
        const double area = outline.width * outline.height;
        QVERIFY(outline.width >= outline.height);
        if (previousArea > 0.0) {
            // Twice the parts, twice the area, give or take the 1.27 mm grid.
            QVERIFY2(area / previousArea > 1.9 && area / previousArea < 2.1,
                     qPrintable(QString::number(area / previousArea)));
        }
        previousArea = area;
    }
    // Small boards still take the largest package.
    QVERIFY(generatedOutline(1).height > 25.0);
}

// Beyond a few hundred parts every package is in the libraries already, and
// each further part adds its element and its share of signals only.
void TestBoardGenerator::sizeGrowsLinearly()
{
    QVector<double> sizes;
    const QVector<int> counts = {600, 1200, 2400};
    for (const int parts : counts)
        sizes << generateBoard(11, parts).size();
    QVector<double> bytesPerAddedPart;
    for (int i = 1; i < counts.size(); ++i)
        bytesPerAddedPart << (sizes.at(i) - sizes.at(i - 1)) / (counts.at(i) - counts.at(i - 1));
    for (const double added : bytesPerAddedPart) {
        const double ratio = added / bytesPerAddedPart.last();
        QVERIFY2(ratio > 0.85 && ratio < 1.15, qPrintable(QString::number(added)));
    }
    QVERIFY(sizes.first() > 0.0);
    for (int i = 1; i < sizes.size(); ++i)
        QVERIFY(sizes.at(i) > sizes.at(i - 1));
}

void TestBoardGenerator::sizeComparesWithRealBoards_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::newRow("RTK Express") << QStringLiteral("SparkFun_RTK_Express.brd");
    QTest::newRow("MP3 Trigger") << QStringLiteral("Qwiic_MP3_Trigger.brd");
    QTest::newRow("OpenLog") << QStringLiteral("OpenLog.brd");
    QTest::newRow("LED Stick") << QStringLiteral("Qwiic_LED_Stick.brd");
}

// A generated board as large as a real one with as many parts, within a
// factor of two. Real boards differ far more among themselves (a single
// library with big descriptions makes some ten times larger); these are
// typical ones.
void TestBoardGenerator::sizeComparesWithRealBoards()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QString, fileName);

    const QByteArray real = readWholeFile(realBoard(fileName));
    if (real.isEmpty())
        QSKIP("board missing from the real boards");
    const int parts = elementCount(real);
    const double ratio = double(generateBoard(1, parts).size()) / real.size();
    QVERIFY2(ratio > 0.5 && ratio < 2.0,
             qPrintable(QStringLiteral("%1 parts: %2 of the real size").arg(parts).arg(ratio)));
}

QTEST_GUILESS_MAIN(TestBoardGenerator)
#include "tst_boardgenerator.moc"
