// SPDX-License-Identifier: GPL-3.0-or-later
#include "shift/shiftedboard.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QtTest>

namespace {

// A board document as an element tree: local names, attributes in source
// order, and per element its texts that are not whitespace only.
struct Node
{
    QString name;
    QList<QPair<QString, QString>> attributes;
    QString text;
    QList<Node> children;
};

struct Tree
{
    Node document; // its one child is the root element
    QString error;
    int elements = 0;
    QStringList texts;
};

void readChildren(QXmlStreamReader &reader, Node &parent, Tree &tree)
{
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            Node child;
            child.name = reader.name().toString();
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                child.attributes.append(
                        {attribute.qualifiedName().toString(), attribute.value().toString()});
            ++tree.elements;
            readChildren(reader, child, tree);
            if (!child.text.isEmpty())
                tree.texts << child.text;
            parent.children.append(child);
            break;
        }
        case QXmlStreamReader::EndElement:
            return;
        case QXmlStreamReader::Characters:
            if (!reader.isWhitespace())
                parent.text += reader.text();
            break;
        default:
            break;
        }
    }
}

template<typename Xml>
Tree parseTree(const Xml &xml)
{
    QXmlStreamReader reader(xml);
    Tree tree;
    readChildren(reader, tree.document, tree);
    if (reader.hasError())
        tree.error = reader.errorString();
    return tree;
}

bool isShiftedSection(const QString &name)
{
    return name == QLatin1String("plain") || name == QLatin1String("elements")
            || name == QLatin1String("signals");
}

enum class Zone { Outside, Shifted, Kept };

// Checks `copy` against `source` moved by (dx, dy): coordinates inside the
// shifted sections as the source value plus the offset in six significant
// digits, the four section tags bare, everything else as in the source.
// Returns the first difference, or an empty string.
QString compareCopy(const Node &source, const Node &copy, Zone zone, int dx, int dy,
                    const QString &path)
{
    const QString here = path + QLatin1Char('/') + source.name;
    if (copy.name != source.name)
        return here + QStringLiteral(": copy is named ") + copy.name;
    const bool section = zone == Zone::Outside
            && (isShiftedSection(source.name) || source.name == QLatin1String("libraries"));
    if (section)
        zone = isShiftedSection(source.name) ? Zone::Shifted : Zone::Kept;
    const auto expectedAttributes = section ? decltype(source.attributes)() : source.attributes;
    if (copy.attributes.size() != expectedAttributes.size())
        return here + QStringLiteral(": attribute count %1").arg(copy.attributes.size());
    for (int i = 0; i < expectedAttributes.size(); ++i) {
        const QString name = expectedAttributes.at(i).first;
        QString value = expectedAttributes.at(i).second;
        static const QStringList xs {"x", "x1", "x2", "x3"}, ys {"y", "y1", "y2", "y3"};
        if (zone == Zone::Shifted && (xs.contains(name) || ys.contains(name)))
            value = QString::number(value.toDouble() + (xs.contains(name) ? dx : dy), 'g', 6);
        if (copy.attributes.at(i) != qMakePair(name, value))
            return here
                    + QStringLiteral(": %1=\"%2\", expected %3=\"%4\"")
                              .arg(copy.attributes.at(i).first, copy.attributes.at(i).second, name,
                                   value);
    }
    if (copy.text != source.text)
        return here + QStringLiteral(": text \"%1\", expected \"%2\"").arg(copy.text, source.text);
    if (copy.children.size() != source.children.size())
        return here
                + QStringLiteral(": %1 children, expected %2")
                          .arg(copy.children.size())
                          .arg(source.children.size());
    for (int i = 0; i < source.children.size(); ++i) {
        const QString difference = compareCopy(source.children.at(i), copy.children.at(i), zone, dx,
                                               dy, here + QStringLiteral("[%1]").arg(i));
        if (!difference.isEmpty())
            return difference;
    }
    return QString();
}

QString compareCopy(const Tree &source, const Tree &copy, int dx, int dy)
{
    if (!copy.error.isEmpty())
        return QStringLiteral("copy does not parse: ") + copy.error;
    return compareCopy(source.document, copy.document, Zone::Outside, dx, dy, QString());
}

#define VERIFY_COPY(source, copy, dx, dy)                                                          \
    do {                                                                                           \
        const QString difference = compareCopy(source, copy, dx, dy);                              \
        QVERIFY2(difference.isEmpty(), qPrintable(difference));                                    \
    } while (false)

// A small board with something of every kind the copy treats apart.
const char handBoardXml[] = R"(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE eagle SYSTEM "eagle.dtd">
<!-- written by hand -->
<eagle version="9.6.2">
<?tavolin hint?>
<drawing>
<grid x="1.5" unit="mm"/>
<board>
<description>Board &amp; co.</description>
<plain note="dropped"><text x="1" y="2" size="1.27">REV &lt;A&gt;</text></plain>
<libraries><library name="rcl"><packages><package name="R0603">
<smd name="1" x="-0.85" y="0"/><text x="0" y="1"><![CDATA[>NAME]]></text>
</package></packages></library></libraries>
<elements><element name="R1" library="rcl" package="R0603" x="10" y="20" rot="R90">
<attribute name="VALUE" x="11.5" y="19"/></element></elements>
<signals><signal name="GND"><contactref element="R1" pad="1"/>
<wire x1="0" y1="0" x2="10.5" y2="0" width="0.254" layer="1"/></signal></signals>
</board>
</drawing>
</eagle>
)";

// The hand board moved by (100, 50), worked out by hand.
const char handBoardShiftedXml[] = R"(<eagle version="9.6.2"><drawing><grid x="1.5" unit="mm"/>
<board><description>Board &amp; co.</description>
<plain><text x="101" y="52" size="1.27">REV &lt;A&gt;</text></plain>
<libraries><library name="rcl"><packages><package name="R0603">
<smd name="1" x="-0.85" y="0"/><text x="0" y="1">&gt;NAME</text>
</package></packages></library></libraries>
<elements><element name="R1" library="rcl" package="R0603" x="110" y="70" rot="R90">
<attribute name="VALUE" x="111.5" y="69"/></element></elements>
<signals><signal name="GND"><contactref element="R1" pad="1"/>
<wire x1="100" y1="50" x2="110.5" y2="50" width="0.254" layer="1"/></signal></signals>
</board></drawing></eagle>)";

ShiftedCopy shiftBytes(const QByteArray &bytes, int dx, int dy)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly | QIODevice::Text);
    return shiftBoard(buffer, dx, dy);
}

QByteArray nested(int wrappers, const QByteArray &section, int inside)
{
    QByteArray xml = QByteArray("<w>").repeated(wrappers);
    if (!section.isEmpty())
        xml += '<' + section + '>';
    xml += QByteArray("<g>").repeated(inside) + QByteArray("</g>").repeated(inside);
    if (!section.isEmpty())
        xml += "</" + section + '>';
    return xml + QByteArray("</w>").repeated(wrappers);
}

} // namespace

class TestShiftedBoard : public QObject
{
    Q_OBJECT

private slots:
    void handBoard();
    void boardWithoutSections();
    void nestingCountsWholeDocument_data();
    void nestingCountsWholeDocument();
    void realBoards_data();
    void realBoards();
};

void TestShiftedBoard::handBoard()
{
    const ShiftedCopy copy = shiftBytes(handBoardXml, 100, 50);
    QVERIFY2(copy.succeeded(), qPrintable(copy.error));
    const Tree shifted = parseTree(copy.document);
    const Tree expected = parseTree(QByteArray(handBoardShiftedXml));
    QVERIFY(expected.error.isEmpty());
    // The expected coordinates are already in six-digit form, so with no
    // offset this is plain tree equality.
    VERIFY_COPY(expected, shifted, 0, 0);
    QVERIFY(copy.document.startsWith(QStringLiteral("<?xml version=\"1.0\"")));
    for (const char *dropped : {"<!DOCTYPE", "<!--", "<?tavolin", "dropped"})
        QVERIFY2(!copy.document.contains(QLatin1String(dropped)), dropped);
    QVERIFY(copy.document.endsWith(QLatin1String("</eagle>\n")));
}

void TestShiftedBoard::boardWithoutSections()
{
    const QByteArray board = "<eagle><drawing><grid x=\"1.5\" y=\"2\"/><schematic x1=\"3\">"
                             "<sheet x=\"4\"/></schematic></drawing></eagle>";
    const ShiftedCopy copy = shiftBytes(board, 7, 9);
    QVERIFY2(copy.succeeded(), qPrintable(copy.error));
    VERIFY_COPY(parseTree(board), parseTree(copy.document), 0, 0);
}

void TestShiftedBoard::nestingCountsWholeDocument_data()
{
    QTest::addColumn<QByteArray>("xml");
    QTest::addColumn<bool>("tooDeep");
    // The wrappers take levels 1 to 200, the section level 201.
    QTest::newRow("section ends at level 256") << nested(200, "plain", 55) << false;
    QTest::newRow("section reaches level 257") << nested(200, "plain", 56) << true;
    QTest::newRow("libraries reach level 257") << nested(200, "libraries", 56) << true;
    QTest::newRow("no section, level 257") << nested(257, QByteArray(), 0) << true;
}

void TestShiftedBoard::nestingCountsWholeDocument()
{
    QFETCH(QByteArray, xml);
    QFETCH(bool, tooDeep);
    const ShiftedCopy copy = shiftBytes(xml, 1, 1);
    if (tooDeep) {
        QCOMPARE(copy.error, nestingFailure(xml, 257));
        QVERIFY(copy.document.isEmpty());
    } else {
        QVERIFY2(copy.succeeded(), qPrintable(copy.error));
        QCOMPARE(parseTree(copy.document).elements, parseTree(xml).elements);
    }
}

void TestShiftedBoard::realBoards_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("dx");
    QTest::addColumn<int>("dy");
    const QStringList boards = realBoardsDir().isEmpty()
            ? QStringList()
            : QDir(realBoardsDir()).entryList({QStringLiteral("*.brd")}, QDir::Files, QDir::Name);
    if (boards.isEmpty())
        QTest::newRow("no real boards") << QString() << 0 << 0;
    const QPair<int, int> offsets[] = {{0, 0}, {10, 20}, {-137, 250}};
    for (const QString &board : boards) {
        for (const auto &offset : offsets)
            QTest::addRow("%s %+d %+d", qPrintable(board), offset.first, offset.second)
                    << realBoard(board) << offset.first << offset.second;
    }
}

void TestShiftedBoard::realBoards()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QString, path);
    QFETCH(int, dx);
    QFETCH(int, dy);
    QVERIFY2(!path.isEmpty(), "no .brd file among the real boards");
    const QByteArray bytes = readWholeFile(path);
    const ShiftedCopy shifted = shiftBytes(bytes, dx, dy);
    QVERIFY2(shifted.succeeded(), qPrintable(shifted.error));

    const Tree source = parseTree(bytes);
    const Tree copy = parseTree(shifted.document);
    QVERIFY2(source.error.isEmpty(), qPrintable(source.error));
    QVERIFY2(copy.error.isEmpty(), qPrintable(copy.error));
    QCOMPARE(copy.elements, source.elements);
    QCOMPARE(copy.texts, source.texts);
    VERIFY_COPY(source, copy, dx, dy);
}

QTEST_MAIN(TestShiftedBoard)
#include "tst_shiftedboard.moc"
