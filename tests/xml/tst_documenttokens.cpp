// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/xml/documenttokens.h"
#include "support/testsupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QtTest>

namespace {

// The tokens the assembly uses, one line each, as a reader of either kind
// reports them.
template<typename Reader, typename Attributes>
QStringList describe(Reader &reader)
{
    QStringList lines;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            QString line = QLatin1Char('<') + reader.name().toString();
            const Attributes attributes = reader.attributes();
            for (const auto &attribute : attributes)
                line += QLatin1Char(' ') + attribute.qualifiedName().toString() + QLatin1String("=")
                        + attribute.value().toString();
            lines << line;
            break;
        }
        case QXmlStreamReader::EndElement:
            lines << QLatin1String("</") + reader.name().toString();
            break;
        case QXmlStreamReader::Characters:
            if (reader.text().toString().contains(QRegularExpression("[^ \t\r\n]")))
                lines << QLatin1Char('#') + reader.text().toString();
            break;
        default:
            break;
        }
    }
    return lines;
}

QStringList readerTokens(const QString &document)
{
    QXmlStreamReader reader(document);
    return describe<QXmlStreamReader, QXmlStreamAttributes>(reader);
}

QStringList keptTokens(const DocumentTokens &tokens)
{
    DocumentTokens::Reader reader(tokens);
    return describe<DocumentTokens::Reader, DocumentTokens::Attributes>(reader);
}

// Null when the document is no well-formed board.
std::shared_ptr<const DocumentTokens> boardTokens(const QString &document)
{
    return readCopy(document.toUtf8()).board;
}

} // namespace

// A board's DocumentTokens replay what QXmlStreamReader reports, token for
// token.
class TestDocumentTokens : public QObject
{
    Q_OBJECT

private slots:
    void sameTokensAsTheReader_data();
    void sameTokensAsTheReader();
    void attributeLookup_data();
    void attributeLookup();
    void beforeAnyToken();
    void turnedCopy_data();
    void turnedCopy();
};

void TestDocumentTokens::sameTokensAsTheReader_data()
{
    QTest::addColumn<QString>("document");
    QTest::addColumn<bool>("wellFormed");
    QTest::newRow("empty") << "" << false;
    QTest::newRow("one element") << "<a/>" << true;
    QTest::newRow("attributes and text")
            << "<?xml version=\"1.0\"?><a x=\"1\" y=\"\"><b n=\"&amp;&lt;\">t &gt; u</b></a>"
            << true;
    QTest::newRow("whitespace dropped") << "<a>\n  <b/>\n  <c> </c>\n</a>" << true;
    QTest::newRow("mixed content") << "<a>x<b/><![CDATA[<z>]]></a>" << true;
    QTest::newRow("comments and instructions")
            << "<!DOCTYPE a><!-- c --><a><?p q?><!-- d --><b/></a>" << true;
    QTest::newRow("broken at the end") << "<a><b x=\"1\">t</b><c>" << false;
    QTest::newRow("mismatched end tag") << "<a><b></a>" << false;
    QTest::newRow("undeclared prefix") << "<a><p:b/></a>" << false;
    QTest::newRow("text after the root") << "<a/>text" << false;
    const QString boards = realBoardsDir();
    if (boards.isEmpty())
        return;
    for (const QString &name : QDir(boards).entryList({QStringLiteral("*.brd")}, QDir::Files))
        QTest::newRow(qPrintable(name))
                << QString::fromUtf8(readWholeFile(QDir(boards).filePath(name))) << true;
}

void TestDocumentTokens::sameTokensAsTheReader()
{
    QFETCH(QString, document);
    QFETCH(bool, wellFormed);
    const std::shared_ptr<const DocumentTokens> tokens = boardTokens(document);
    QCOMPARE(tokens != nullptr, wellFormed);
    if (tokens)
        QCOMPARE(keptTokens(*tokens), readerTokens(document));
}

void TestDocumentTokens::attributeLookup_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("value");
    QTest::newRow("present") << "number" << true << "16";
    QTest::newRow("empty value") << "name" << true << "";
    QTest::newRow("absent") << "layer" << false << "";
    QTest::newRow("other case") << "Number" << false << "";
    QTest::newRow("prefixed, as the panel declares it") << "n1:x" << true << "3";
    QTest::newRow("prefixed, as the board declares it") << "t:x" << false << "";
    QTest::newRow("local name of a prefixed one") << "x" << false << "";
}

void TestDocumentTokens::attributeLookup()
{
    QFETCH(QString, name);
    QFETCH(bool, present);
    QFETCH(QString, value);
    const auto tokens = boardTokens(
            QStringLiteral("<a xmlns:t=\"u\"><b number=\"16\" name=\"\" t:x=\"3\"/></a>"));
    DocumentTokens::Reader reader(*tokens);
    reader.readNext();
    reader.readNext();
    QCOMPARE(reader.name(), QStringLiteral("b"));
    const QByteArray latin1 = name.toLatin1();
    const DocumentTokens::Attributes attributes = reader.attributes();
    QCOMPARE(attributes.hasAttribute(QLatin1String(latin1)), present);
    QCOMPARE(attributes.value(QLatin1String(latin1)).isNull(), !present);
    QCOMPARE(attributes.value(QLatin1String(latin1)).toString(), value);
}

void TestDocumentTokens::beforeAnyToken()
{
    const auto tokens = boardTokens(QStringLiteral("<a x=\"1\"/>"));
    DocumentTokens::Reader reader(*tokens);
    QVERIFY(reader.name().isNull());
    QVERIFY(reader.attributes().value(QLatin1String("x")).isNull());
    QCOMPARE(reader.readNext(), QXmlStreamReader::StartElement);
    QCOMPARE(reader.attributes().value(QLatin1String("x")), QStringLiteral("1"));
    QCOMPARE(reader.readNext(), QXmlStreamReader::EndElement);
    QVERIFY(reader.atEnd());
    QCOMPARE(reader.readNext(), QXmlStreamReader::EndDocument);
}

namespace {

// One of each kind a board draws, `%1` standing for the rotation attribute
// of its texts, parts and smashed labels.
const char turnedBoard[] = R"(<eagle><drawing><board><plain>
<wire x1="1" y1="2" x2="3" y2="4.5" width="0.1" layer="20" curve="90"/>
<text x="5" y="6" size="1" layer="25" %1 align="center">T</text>
<rectangle x1="0" y1="0" x2="2" y2="1" layer="21" rot="R30"/>
<circle x="1" y="1" radius="2" width="0" layer="21"/><hole x="7" y="8" drill="1"/>
<dimension x1="0" y1="0" x2="10" y2="0" x3="5" y3="-2" textsize="1" layer="47" dtype="horizontal"/>
<polygon width="0.1" layer="1"><vertex x="0" y="0" curve="45"/><vertex x="4" y="0"/></polygon>
</plain><libraries><library name="l"><packages><package name="p">
<smd name="1" x="1" y="2" dx="1" dy="0.5" layer="1" rot="R90"/></package></packages></library>
</libraries><elements><element name="U1" library="l" package="p" value="v" x="10" y="20" %1>
<attribute name="NAME" x="11" y="21" size="1" layer="25" %1/></element></elements>
<signals><signal name="N"><contactref element="U1" pad="1"/>
<wire x1="0" y1="0" x2="5" y2="-3" width="0.2" layer="1"/><via x="5" y="-3" extent="1-16" drill="0.3"/>
</signal></signals></board></drawing></eagle>)";

QPointF turnedPoint(QPointF point, int turn)
{
    for (int i = 0; i < turn; ++i)
        point = QPointF(-point.y(), point.x());
    return point;
}

} // namespace

void TestDocumentTokens::turnedCopy_data()
{
    QTest::addColumn<QString>("rotation");
    QTest::addColumn<int>("turn");
    QTest::addColumn<QString>("turned");
    QTest::newRow("R30 a quarter") << "R30" << 1 << "R120";
    QTest::newRow("MR30 a quarter: the other way") << "MR30" << 1 << "MR300";
    QTest::newRow("MR0 a quarter") << "MR0" << 1 << "MR270";
    QTest::newRow("SR0 three quarters") << "SR0" << 3 << "SR270";
    QTest::newRow("SMR45 a half") << "SMR45" << 2 << "SMR225";
    QTest::newRow("R22.5 a quarter") << "R22.5" << 1 << "R112.5";
    QTest::newRow("R270 round to R0") << "R270" << 1 << "R0";
    QTest::newRow("unturned") << "MR30" << 0 << "MR30";
    QTest::newRow("left out: R0 a quarter") << "" << 1 << "R90";
    QTest::newRow("left out, unturned: still left out") << "" << 0 << "";
    QTest::newRow("R0 a half") << "R0" << 2 << "R180";
}

// Every place of the drawing, parts and signals turns about the origin and
// moves; every angle turns with it, a mirrored one the other way; curves,
// sizes, a rectangle's own angle and the libraries stay.
void TestDocumentTokens::turnedCopy()
{
    QFETCH(QString, rotation);
    QFETCH(int, turn);
    QFETCH(QString, turned);
    const QString attribute =
            rotation.isEmpty() ? QString() : QStringLiteral("rot=\"%1\"").arg(rotation);
    const auto board = boardTokens(QString::fromUtf8(turnedBoard).arg(attribute));
    const DocumentTokens copy = board->shifted(7, -4, turn);
    DocumentTokens::Reader original(*board);
    DocumentTokens::Reader moved(copy);
    bool inLibraries = false;
    while (!original.atEnd()) {
        const QXmlStreamReader::TokenType type = original.readNext();
        QCOMPARE(moved.readNext(), type);
        QCOMPARE(moved.name(), original.name());
        if (original.name() == QLatin1String("libraries"))
            inLibraries = !inLibraries;
        const DocumentTokens::Attributes before = original.attributes();
        const DocumentTokens::Attributes after = moved.attributes();
        const QStringRef tag = original.name();
        if (!inLibraries && type == QXmlStreamReader::StartElement
            && (tag == QLatin1String("text") || tag == QLatin1String("element")
                || tag == QLatin1String("attribute")))
            QCOMPARE(after.value(QLatin1String("rot")).toString(), turned);
        for (const DocumentTokens::Attribute attribute : before) {
            const QString name = attribute.qualifiedName().toString();
            const QString value = attribute.value().toString();
            const QString now = after.value(name).toString();
            const bool rectangleAngle =
                    original.name() == QLatin1String("rectangle") && name == QLatin1String("rot");
            if (inLibraries || name == QLatin1String("curve") || rectangleAngle)
                QCOMPARE(now, value);
            else if (name == QLatin1String("rot"))
                QCOMPARE(now, turned);
            else if (name == QLatin1String("dtype"))
                QCOMPARE(now, turn % 2 ? QStringLiteral("vertical") : value);
            else if (name.startsWith(QLatin1Char('x'))) {
                const QString y = QLatin1Char('y') + name.mid(1);
                const QPointF place =
                        turnedPoint(QPointF(value.toDouble(), before.value(y).toDouble()), turn);
                QCOMPARE(now.toDouble(), place.x() + 7);
                QCOMPARE(after.value(y).toDouble(), place.y() - 4);
            } else if (!name.startsWith(QLatin1Char('y'))) {
                QCOMPARE(now, value);
            }
        }
    }
}

QTEST_GUILESS_MAIN(TestDocumentTokens)
#include "tst_documenttokens.moc"
