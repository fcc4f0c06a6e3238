// SPDX-License-Identifier: GPL-3.0-or-later
#include "shift/sectioncopy.h"

#include <QLocale>
#include <QtTest>

// One section copy as a board pass makes it: the reader is moved onto the
// first start tag named `section`, that tag is written bare, then the copy
// runs. The writer is not auto-formatted, so the results read as one line.
class SectionRun
{
public:
    SectionRun(const QString &xml, const QString &section)
        : reader(xml)
        , section(section)
    {
        while (!reader.atEnd() && !(reader.isStartElement() && reader.name() == section))
            reader.readNext();
        writer.writeStartElement(section);
    }

    QString shifted(int dx, int dy)
    {
        copyShifted(reader, writer, section, dx, dy);
        return written;
    }
    QString unchanged()
    {
        copyElement(reader, writer, section);
        return written;
    }
    bool onSectionEnd() const { return reader.isEndElement() && reader.name() == section; }

    QXmlStreamReader reader;
    QString written;
    QXmlStreamWriter writer {&written};
    QString section;
};

// The texts of the elements named `tag` in a copy, each in document order.
static QStringList textsOf(const QString &xml, const QString &tag)
{
    QXmlStreamReader reader(xml);
    QStringList texts;
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::StartElement && reader.name() == tag)
            texts << reader.readElementText(QXmlStreamReader::IncludeChildElements);
    }
    return texts;
}

// Nested elements, `levels` in all counting the section itself.
static QString nestedSection(const QString &section, int levels)
{
    return QStringLiteral("<%1>").arg(section) + QStringLiteral("<g>").repeated(levels - 1)
            + QStringLiteral("</g>").repeated(levels - 1) + QStringLiteral("</%1>").arg(section);
}

class TestSectionCopy : public QObject
{
    Q_OBJECT

private slots:
    void shiftedValue_data();
    void shiftedValue();
    void dxMovesXAndDyMovesY();
    void readsDecimalPointInAnyLocale();
    void otherNamesAreNoCoordinates_data();
    void otherNamesAreNoCoordinates();
    void prefixedCoordinateShiftsItsOwnValue();
    void prefixedAttributeCarriedWhole();
    void otherAttributesKeptInOrder();
    void nestedElementsShiftedAtAnyDepth();
    void emptySection_data();
    void emptySection();
    void commentsAndWhitespaceDropped();
    void textKept_data();
    void textKept();
    void copyElementKeepsCoordinates();
    void brokenSectionReturnsWithoutReadingOn_data();
    void brokenSectionReturnsWithoutReadingOn();
    void firstEndTagEndsCopy();
    void nestingLimit_data();
    void nestingLimit();
};

void TestSectionCopy::shiftedValue_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("expected");
    QTest::newRow("12.7+100") << "12.7" << 100 << "112.7";
    QTest::newRow("-2.54+2") << "-2.54" << 2 << "-0.54";
    QTest::newRow("turns negative") << "3.81" << -20 << "-16.19";
    QTest::newRow("25.4+1000") << "25.4" << 1000 << "1025.4";
    QTest::newRow("six digits, rounded") << "1234.5678" << 0 << "1234.57";
    QTest::newRow("trailing zero dropped") << "1000.254" << 0 << "1000.25";
    QTest::newRow("six digits, no point") << "99999.9" << 1 << "100001";
    QTest::newRow("a million in exponent form") << "999999.5" << 1 << "1e+06";
    QTest::newRow("exponent in source") << "1e3" << 5 << "1005";
    QTest::newRow("empty counts 0") << "" << 5 << "5";
    QTest::newRow("not a number counts 0") << "abc" << 5 << "5";
}

void TestSectionCopy::shiftedValue()
{
    QFETCH(QString, source);
    QFETCH(int, offset);
    QFETCH(QString, expected);
    const QString element = QStringLiteral(
            "<e x=\"%1\" x1=\"%1\" x2=\"%1\" x3=\"%1\" y=\"%1\" y1=\"%1\" y2=\"%1\" y3=\"%1\"/>");
    SectionRun run(QStringLiteral("<plain>") + element.arg(source) + QStringLiteral("</plain>"),
                   QStringLiteral("plain"));
    QCOMPARE(run.shifted(offset, offset),
             QStringLiteral("<plain>") + element.arg(expected) + QStringLiteral("</plain>"));
    QVERIFY(run.onSectionEnd());
}

void TestSectionCopy::dxMovesXAndDyMovesY()
{
    SectionRun run(
            QStringLiteral("<signals><signal name=\"GND\"><wire x1=\"0\" y1=\"0\" x2=\"10.5\" "
                           "y2=\"0\" width=\"0.254\" layer=\"1\"/></signal></signals>"),
            QStringLiteral("signals"));
    QCOMPARE(run.shifted(100, 50),
             QStringLiteral("<signals><signal name=\"GND\"><wire x1=\"100\" y1=\"50\" x2=\"110.5\" "
                            "y2=\"50\" width=\"0.254\" layer=\"1\"/></signal></signals>"));
}

void TestSectionCopy::readsDecimalPointInAnyLocale()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    SectionRun run(QStringLiteral("<plain><e x=\"12.7\" y=\"1,5\"/></plain>"),
                   QStringLiteral("plain"));
    const QString written = run.shifted(100, 1);
    QLocale::setDefault(before);
    // A comma is no decimal separator in a board file, so "1,5" is not a number.
    QCOMPARE(written, QStringLiteral("<plain><e x=\"112.7\" y=\"1\"/></plain>"));
}

void TestSectionCopy::otherNamesAreNoCoordinates_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"X", "Y1", "x0", "y4", "x12", "xy", "dx", "width"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestSectionCopy::otherNamesAreNoCoordinates()
{
    QFETCH(QString, name);
    const QString xml = QStringLiteral("<plain><e %1=\"12.70\"/></plain>").arg(name);
    SectionRun run(xml, QStringLiteral("plain"));
    QCOMPARE(run.shifted(100, 100), xml);
}

void TestSectionCopy::prefixedCoordinateShiftsItsOwnValue()
{
    // Known by its local name, a prefixed coordinate is shifted in its own
    // namespace: beside an unprefixed one of the same name the copy still
    // holds two distinct attributes and stays readable.
    SectionRun run(
            QStringLiteral("<plain xmlns:p=\"urn:p\"><e p:x=\"5\" x=\"1\" y=\"1\"/></plain>"),
            QStringLiteral("plain"));
    QXmlStreamReader copy(run.shifted(10, 0));
    QVERIFY(copy.readNextStartElement());
    QVERIFY(copy.readNextStartElement());
    QVERIFY2(!copy.hasError(), qPrintable(copy.errorString()));
    const QXmlStreamAttributes attributes = copy.attributes();
    QCOMPARE(attributes.size(), 3);
    QCOMPARE(attributes.value(QStringLiteral("urn:p"), QStringLiteral("x")).toString(),
             QStringLiteral("15"));
    QCOMPARE(attributes.value(QStringLiteral("x")).toString(), QStringLiteral("11"));
    QCOMPARE(attributes.value(QStringLiteral("y")).toString(), QStringLiteral("1"));
}

void TestSectionCopy::prefixedAttributeCarriedWhole()
{
    SectionRun run(QStringLiteral("<plain xmlns:p=\"urn:p\"><e p:layer=\"21\" x=\"1\"/></plain>"),
                   QStringLiteral("plain"));
    QXmlStreamReader copy(run.shifted(10, 0));
    QVERIFY(copy.readNextStartElement());
    QVERIFY(copy.readNextStartElement());
    const QXmlStreamAttributes attributes = copy.attributes();
    QCOMPARE(attributes.size(), 2);
    QCOMPARE(attributes.at(0).namespaceUri().toString(), QStringLiteral("urn:p"));
    QCOMPARE(attributes.at(0).name().toString(), QStringLiteral("layer"));
    QCOMPARE(attributes.at(0).value().toString(), QStringLiteral("21"));
    QCOMPARE(attributes.at(1).qualifiedName().toString(), QStringLiteral("x"));
    QCOMPARE(attributes.at(1).value().toString(), QStringLiteral("11"));
}

void TestSectionCopy::otherAttributesKeptInOrder()
{
    SectionRun run(
            QStringLiteral("<elements><element name=\"R1\" library=\"rcl\" value=\"10k\" x=\"1\" "
                           "rot=\"R90\" y=\"2.50\" smashed=\"yes\"/></elements>"),
            QStringLiteral("elements"));
    QCOMPARE(run.shifted(3, 4),
             QStringLiteral("<elements><element name=\"R1\" library=\"rcl\" value=\"10k\" x=\"4\" "
                            "rot=\"R90\" y=\"6.5\" smashed=\"yes\"/></elements>"));
}

void TestSectionCopy::nestedElementsShiftedAtAnyDepth()
{
    SectionRun run(QStringLiteral("<elements><element x=\"1\" y=\"2\"><attribute x=\"3\" y=\"4\">"
                                  "<deeper><deepest x1=\"5\" y2=\"6\"/></deeper></attribute>"
                                  "</element></elements>"),
                   QStringLiteral("elements"));
    QCOMPARE(run.shifted(10, 20),
             QStringLiteral("<elements><element x=\"11\" y=\"22\"><attribute x=\"13\" y=\"24\">"
                            "<deeper><deepest x1=\"15\" y2=\"26\"/></deeper></attribute>"
                            "</element></elements>"));
}

void TestSectionCopy::emptySection_data()
{
    QTest::addColumn<QString>("xml");
    QTest::newRow("empty-element tag") << "<board><plain/><after/></board>";
    QTest::newRow("start and end tag") << "<board><plain></plain><after/></board>";
}

void TestSectionCopy::emptySection()
{
    QFETCH(QString, xml);
    SectionRun run(xml, QStringLiteral("plain"));
    QCOMPARE(run.shifted(1, 1), QStringLiteral("<plain/>"));
    QVERIFY(run.onSectionEnd());
    QCOMPARE(run.reader.readNext(), QXmlStreamReader::StartElement);
    QCOMPARE(run.reader.name().toString(), QStringLiteral("after"));
}

void TestSectionCopy::commentsAndWhitespaceDropped()
{
    SectionRun run(
            QStringLiteral("<plain>\n  <!-- outline -->\n  <?eagle hint?>\n  <wire x1=\"1\"/>"
                           "\n\t<wire x1=\"2\"> </wire>\n</plain>"),
            QStringLiteral("plain"));
    QCOMPARE(run.shifted(0, 0), QStringLiteral("<plain><wire x1=\"1\"/><wire x1=\"2\"/></plain>"));
}

void TestSectionCopy::textKept_data()
{
    QTest::addColumn<QString>("content");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("shifted");
    QTest::newRow("name placeholder") << "&gt;NAME"
                                      << ">NAME" << true;
    QTest::newRow("escaped markup") << "A &amp; B &lt;C&gt;"
                                    << "A & B <C>" << true;
    QTest::newRow("CDATA") << "<![CDATA[R1 < 2 & up]]>"
                           << "R1 < 2 & up" << true;
    QTest::newRow("surrounding blanks kept") << "  REV 1\n"
                                             << "  REV 1\n"
                                             << true;
    QTest::newRow("in libraries") << "&gt;VALUE"
                                  << ">VALUE" << false;
}

void TestSectionCopy::textKept()
{
    QFETCH(QString, content);
    QFETCH(QString, text);
    QFETCH(bool, shifted);
    const QString section = shifted ? QStringLiteral("plain") : QStringLiteral("libraries");
    SectionRun run(QStringLiteral("<%1>\n<text x=\"1\" size=\"1.27\">%2</text>\n</%1>")
                           .arg(section, content),
                   section);
    const QString written = shifted ? run.shifted(1, 0) : run.unchanged();
    QCOMPARE(textsOf(written, QStringLiteral("text")), QStringList {text});
    QCOMPARE(textsOf(written, section), QStringList {text}); // no whitespace around it
}

void TestSectionCopy::copyElementKeepsCoordinates()
{
    const QString libraries = QStringLiteral(
            "<libraries><library name=\"rcl\"><packages><package name=\"R0603\">"
            "<smd name=\"1\" x=\"-0.850\" y=\"0\" dx=\"1.1\" dy=\"1\" layer=\"1\"/>"
            "<wire x1=\"1e1\" y1=\"\" x2=\"1234.5678\" y2=\"2\"/></package></packages></library>"
            "</libraries>");
    SectionRun run(libraries, QStringLiteral("libraries"));
    QCOMPARE(run.unchanged(), libraries);
    QVERIFY(run.onSectionEnd());
}

void TestSectionCopy::brokenSectionReturnsWithoutReadingOn_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<int>("error");
    QTest::newRow("cut off") << "<board><plain><wire x1=\"1\"/><wire x1=\"2\""
                             << int(QXmlStreamReader::PrematureEndOfDocumentError);
    QTest::newRow("mismatched end tag")
            << "<board><plain><wire x1=\"1\"></plain><after x1=\"1\"/></board>"
            << int(QXmlStreamReader::NotWellFormedError);
}

void TestSectionCopy::brokenSectionReturnsWithoutReadingOn()
{
    QFETCH(QString, xml);
    QFETCH(int, error);
    SectionRun run(xml, QStringLiteral("plain"));
    const QString written = run.shifted(1, 0);
    QCOMPARE(int(run.reader.error()), error);
    QVERIFY(written.startsWith(QStringLiteral("<plain><wire x1=\"2\"")));
    QVERIFY(!written.contains(QStringLiteral("after")));
}

void TestSectionCopy::firstEndTagEndsCopy()
{
    SectionRun run(QStringLiteral("<board><plain><group><plain x=\"1\"/></group><wire x=\"1\"/>"
                                  "</plain></board>"),
                   QStringLiteral("plain"));
    QCOMPARE(run.shifted(10, 0), QStringLiteral("<plain><group><plain x=\"11\"/>"));
    QVERIFY(run.onSectionEnd());
    QCOMPARE(run.reader.readNext(), QXmlStreamReader::EndElement);
    QCOMPARE(run.reader.name().toString(), QStringLiteral("group"));
}

void TestSectionCopy::nestingLimit_data()
{
    QTest::addColumn<bool>("shifted");
    QTest::addColumn<int>("levels");
    QTest::addColumn<QString>("error");
    const QString tooDeep = QStringLiteral("Board file nested too deeply (more than 256 levels)");
    for (bool shifted : {true, false}) {
        const char *copy = shifted ? "copyShifted" : "copyElement";
        QTest::addRow("%s, 256 levels", copy) << shifted << 256 << QString();
        QTest::addRow("%s, 257 levels", copy) << shifted << 257 << tooDeep;
    }
}

void TestSectionCopy::nestingLimit()
{
    QFETCH(bool, shifted);
    QFETCH(int, levels);
    QFETCH(QString, error);
    const QString section = shifted ? QStringLiteral("signals") : QStringLiteral("libraries");
    SectionRun run(nestedSection(section, levels), section);
    const QString written = shifted ? run.shifted(1, 1) : run.unchanged();
    QCOMPARE(run.reader.errorString(), error);
    QCOMPARE(run.onSectionEnd(), error.isEmpty());
    if (error.isEmpty())
        QCOMPARE(written.count(QStringLiteral("<g")), levels - 1);
}

QTEST_GUILESS_MAIN(TestSectionCopy)
#include "tst_sectioncopy.moc"
