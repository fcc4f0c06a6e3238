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

QTEST_GUILESS_MAIN(TestDocumentTokens)
#include "tst_documenttokens.moc"
