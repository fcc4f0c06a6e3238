// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/xml/documentreader.h"

#include <QtTest>

// DocumentReader feeds a QXmlStreamReader in slices; whatever the text, and
// wherever a slice ends, it must read the elements and texts that one reader
// over the whole text reads, and fail where that one fails.
class TestDocumentReader : public QObject
{
    Q_OBJECT

private slots:
    void readsLikeOneReaderOverTheWholeText_data();
    void readsLikeOneReaderOverTheWholeText();
    void anySliceSizeReadsTheSame_data();
    void anySliceSizeReadsTheSame();
};

namespace {

// Every element and every text that is not blank, with names, attributes
// and namespace declarations: what the assembly takes from a document. Then
// whether the reader ended in error.
template<typename Reader>
QStringList tokens(Reader &source, const QXmlStreamReader &reader)
{
    QStringList seen;
    while (!source.atEnd()) {
        const QXmlStreamReader::TokenType type = source.readNext();
        if (type == QXmlStreamReader::EndElement) {
            seen << QLatin1String("end ") + reader.name();
        } else if (type == QXmlStreamReader::Characters && !reader.isWhitespace()) {
            seen << QLatin1String("text ") + reader.text();
        } else if (type == QXmlStreamReader::StartElement) {
            QString token = QLatin1String("start ") + reader.name();
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                token += QLatin1Char(' ') + attribute.qualifiedName() + QLatin1Char('=')
                        + attribute.value();
            for (const QXmlStreamNamespaceDeclaration &declaration : reader.namespaceDeclarations())
                token += QLatin1String(" xmlns:") + declaration.prefix() + QLatin1Char('=')
                        + declaration.namespaceUri();
            seen << token;
        }
    }
    seen << (reader.hasError() ? QStringLiteral("error") : QStringLiteral("no error"));
    return seen;
}

QStringList wholeText(const QString &text)
{
    QXmlStreamReader reader(text);
    return tokens(reader, reader);
}

QStringList inSlices(const QString &text, int sliceSize = documentSliceSize)
{
    DocumentReader document(text, sliceSize);
    return tokens(document, document.reader());
}

// "<root>", text up to `length` characters, "</root>": a document whose root
// end tag ends exactly where the first slice does, when `length` is it.
QString rootEndingAt(int length)
{
    const QString start = QStringLiteral("<root a='1'>");
    const QString end = QStringLiteral("</root>");
    return start + QString(length - start.size() - end.size(), QLatin1Char('t')) + end;
}

} // namespace

void TestDocumentReader::readsLikeOneReaderOverTheWholeText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("wellFormed");
    const int slice = documentSliceSize;

    QTest::newRow("empty") << QString() << false;
    QTest::newRow("small board") << QStringLiteral(
            "<?xml version='1.0'?><!-- c --><eagle xmlns:p='urn:p'><plain>"
            "<text p:x='1'>a &amp; b<![CDATA[<c>]]></text></plain></eagle>\n")
                                 << true;
    QTest::newRow("declared encoding is not followed")
            << QStringLiteral("<?xml version='1.0' encoding='ISO-8859-1'?><a>\u00d8 \u00b5</a>")
            << true;
    QTest::newRow("cut off") << QStringLiteral("<a><b x='1'") << false;
    QTest::newRow("second root") << QStringLiteral("<a/><b/>") << false;
    // The incremental reader would end the document with the slice.
    QTest::newRow("second root right after a slice")
            << rootEndingAt(slice) + QStringLiteral("<second/>") << false;
    QTest::newRow("comment and blanks right after a slice")
            << rootEndingAt(slice) + QStringLiteral("\n<!-- end -->\n<?pi x?>  ") << true;
    QTest::newRow("text after the root right after a slice")
            << rootEndingAt(slice) + QStringLiteral("text") << false;
    QTest::newRow("attribute across slices") << QStringLiteral("<a><b v='")
                    + QString(slice, QLatin1Char('v')) + QStringLiteral("'/><c/></a>")
                                             << true;
    QString pair = QStringLiteral("<a>") + QString(slice - 4, QLatin1Char('s'));
    pair += QChar(0xD835);
    pair += QChar(0xDC00);
    QTest::newRow("surrogate pair at the end of a slice") << pair + QStringLiteral("</a>") << true;
    // All ASCII up to the slice's end, so Qt's UTF-8 decoder never leaves its
    // fast path: the next slice's first character then looked like a
    // byte-order mark and was dropped.
    QTest::newRow("U+FEFF right after an ASCII slice") << QStringLiteral("<a")
                    + QString(slice - 3, QLatin1Char(' '))
                    + QStringLiteral("y\uFEFF='1'/>") << true;
    QTest::newRow("three slices of elements") << QStringLiteral("<a>")
                    + QStringLiteral("<b x='1'>t</b>").repeated(3 * slice / 14)
                    + QStringLiteral("</a>") << true;
}

void TestDocumentReader::readsLikeOneReaderOverTheWholeText()
{
    QFETCH(QString, text);
    QFETCH(bool, wellFormed);
    const QStringList expected = wholeText(text);
    QCOMPARE(expected.last() == QLatin1String("no error"), wellFormed);
    QCOMPARE(inSlices(text), expected);
}

// Small documents through every small slice size: slices then end at every
// position of a document, after the root's end tag too.
void TestDocumentReader::anySliceSizeReadsTheSame_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("board") << QStringLiteral(
            "<?xml version='1.0'?>\n<!DOCTYPE eagle [<!ENTITY e 'entity'>]>\n<eagle "
            "xmlns:p='urn:p'>\n  <plain><wire x1='1' p:y='2'/><text>a &amp; &e; "
            "<![CDATA[<c>]]></text>\n</plain><!-- c --><?pi d?></eagle>\n<!-- after -->\n");
    QTest::newRow("second root") << QStringLiteral("<eagle><plain/></eagle>\n<eagle/>");
    QTest::newRow("text after the root") << QStringLiteral("<eagle><plain/></eagle> x");
    QTest::newRow("cut off") << QStringLiteral("<eagle><plain><wire x1='1");
    QTest::newRow("mismatched") << QStringLiteral("<eagle><plain></eagle></plain>");
    QTest::newRow("surrogate pairs")
            << QStringLiteral("<a t='\U0001D400\U0001D401'>\U0001F600x\U0001F600</a>");
    QTest::newRow("U+FEFF in a name after 16 ASCII characters")
            << QStringLiteral("<eagle><text abc\uFEFF='1'/></eagle>");
    QTest::newRow("U+FEFF in text after 16 ASCII characters")
            << QStringLiteral("<eagle><text>abc\uFEFFd</text></eagle>");
    QTest::newRow("undeclared prefix") << QStringLiteral("<a><b q:x='1'/></a>");
}

void TestDocumentReader::anySliceSizeReadsTheSame()
{
    QFETCH(QString, text);
    const QStringList expected = wholeText(text);
    for (int sliceSize = 1; sliceSize <= text.size() + 1; ++sliceSize)
        QVERIFY2(inSlices(text, sliceSize) == expected, qPrintable(QString::number(sliceSize)));
}

QTEST_MAIN(TestDocumentReader)
#include "tst_documentreader.moc"
