#include "shift/boardtextwriter.h"
#include "shift/shiftedboard.h"
#include "support/testsupport.h"

#include <QBuffer>
#include <QDir>
#include <QXmlStreamWriter>
#include <QtTest>

namespace {

// Plays a script on a writer. Steps are separated by '|': "D" starts the
// document, "<name" a start tag, "@name=value" an attribute, "#text" text,
// ">" an end tag, "E" ends the document.
template<typename Writer, typename Start, typename Attribute, typename Text>
void play(const QString &script, Writer &writer, Start start, Attribute attribute, Text text)
{
    for (const QString &step : script.split(QLatin1Char('|'))) {
        const QString argument = step.mid(1);
        switch (step.isEmpty() ? ' ' : step.at(0).toLatin1()) {
        case 'D':
            writer.writeStartDocument();
            break;
        case '<':
            start(argument);
            break;
        case '@':
            attribute(argument.section(QLatin1Char('='), 0, 0),
                      argument.section(QLatin1Char('='), 1));
            break;
        case '#':
            text(argument);
            break;
        case '>':
            writer.writeEndElement();
            break;
        case 'E':
            writer.writeEndDocument();
            break;
        default:
            break;
        }
    }
}

QString streamWriterText(const QString &script)
{
    QString text;
    QXmlStreamWriter writer(&text);
    writer.setAutoFormatting(true);
    play(
            script, writer, [&](const QString &name) { writer.writeStartElement(name); },
            [&](const QString &name, const QString &value) { writer.writeAttribute(name, value); },
            [&](const QString &characters) { writer.writeCharacters(characters); });
    return text;
}

QString boardTextWriterText(const QString &script)
{
    QString text;
    BoardTextWriter writer(&text);
    play(
            script, writer, [&](const QString &name) { writer.writeStartElement(&name); },
            [&](const QString &name, const QString &value) {
                writer.writeAttribute(QStringRef(&name), value);
            },
            [&](const QString &characters) { writer.writeCharacters(&characters); });
    return text;
}

// Every UTF-16 code unit from `first` to `last`, one after the other.
QString codeUnits(ushort first, ushort last)
{
    QString units;
    for (uint unit = first; unit <= last; ++unit)
        units += QChar(ushort(unit));
    return units;
}

ShiftedCopy shiftThrough(QIODevice &device)
{
    if (!device.open(QIODevice::ReadOnly | QIODevice::Text))
        return {QString(), device.errorString()};
    return shiftBoard(device, 13, -21);
}

} // namespace

// BoardTextWriter against the QXmlStreamWriter it stands in for.
class TestBoardTextWriter : public QObject
{
    Q_OBJECT

private slots:
    void sameTextAsStreamWriter_data();
    void sameTextAsStreamWriter();
    void escapesEveryCodeUnitAlike_data();
    void escapesEveryCodeUnitAlike();
    void namespacedAttributeStopsTheWriter();
    void boardsCopyAlike_data();
    void boardsCopyAlike();
};

void TestBoardTextWriter::sameTextAsStreamWriter_data()
{
    QTest::addColumn<QString>("script");
    QTest::newRow("nothing") << "";
    QTest::newRow("declaration only") << "D|E";
    QTest::newRow("empty root") << "D|<a|E";
    QTest::newRow("root closed") << "D|<a|>|E";
    QTest::newRow("no declaration") << "<a|<b|>|>|E";
    QTest::newRow("nested empty elements") << "D|<a|<b|<c|>|>|<d|>|>|E";
    QTest::newRow("attributes") << "D|<a|@x=1|@y=-2.5|<b|@name=R1|>|>|E";
    QTest::newRow("empty attribute value") << "D|<a|@x=|>|E";
    QTest::newRow("text in element") << "D|<a|<t|#hello|>|>|E";
    QTest::newRow("text then elements") << "D|<a|#x|<b|>|<c|>|>|E";
    QTest::newRow("elements then text") << "D|<a|<b|>|#x|<c|>|>|E";
    QTest::newRow("text around a child") << "D|<a|<t|#a|<b|#c|>|#d|>|>|E";
    QTest::newRow("two texts") << "D|<a|#x|#y|>|E";
    QTest::newRow("empty text") << "D|<a|#|>|<b|#|<c|>|>|E";
    QTest::newRow("deep") << "D|<a|<b|<c|<d|<e|<f|#g|>|>|>|>|>|>|E";
    QTest::newRow("end document closes all") << "D|<a|<b|<c|#x|E";
    QTest::newRow("end tag with nothing open") << "D|<a|>|>|>|E";
    QTest::newRow("second root") << "D|<a|>|<b|>|E";
    QTest::newRow("escapes in text") << "D|<a|#<&>\"'\t\n\r|>|E";
    QTest::newRow("escapes in attribute") << "D|<a|@v=<&>\"'\t\n\r|>|E";
    QTest::newRow("control characters") << "D|<a|@v=a\x01\x0b\x0c\x1f"
                                           "b|#c\x02\x7f"
                                           "d|>|E";
    QTest::newRow("non-ASCII") << QString::fromUtf8("D|<a|@v=ä€𝄞|#Grüße 𝄞|>|E");
    QTest::newRow("not characters") << QStringLiteral("D|<a|@v=x") + QChar(0xfffe) + QChar(0xffff)
                    + QStringLiteral("|#y") + QChar(0xfffe) + QStringLiteral("|>|E");
    QTest::newRow("lone surrogate")
            << QStringLiteral("D|<a|#x") + QChar(0xd800) + QStringLiteral("|>|E");
    QTest::newRow("declaration late") << "<a|D|>|E";
}

void TestBoardTextWriter::sameTextAsStreamWriter()
{
    QFETCH(QString, script);
    QCOMPARE(boardTextWriterText(script), streamWriterText(script));
}

void TestBoardTextWriter::escapesEveryCodeUnitAlike_data()
{
    QTest::addColumn<QString>("script");
    for (const ushort first : {0x0000, 0x0080, 0x4000, 0x8000, 0xc000}) {
        const QString units = codeUnits(first, ushort(first == 0xc000 ? 0xffff : first + 0x3fff));
        const QString range = QString::number(first, 16);
        QTest::newRow(qPrintable(QStringLiteral("text from ") + range))
                << QStringLiteral("D|<a|#") + units + QStringLiteral("|>|E");
        QTest::newRow(qPrintable(QStringLiteral("attribute from ") + range))
                << QStringLiteral("D|<a|@v=") + units + QStringLiteral("|>|E");
    }
}

void TestBoardTextWriter::escapesEveryCodeUnitAlike()
{
    QFETCH(QString, script);
    // '|' and '=' are the script's own; they pass unescaped anyway.
    QCOMPARE(boardTextWriterText(script), streamWriterText(script));
}

void TestBoardTextWriter::namespacedAttributeStopsTheWriter()
{
    QXmlStreamReader reader("<a xmlns:t=\"urn:t\" x=\"1\" t:y=\"2\" z=\"3\"/>");
    while (!reader.isStartElement() && !reader.atEnd())
        reader.readNext();
    const QXmlStreamAttributes attributes = reader.attributes();
    QCOMPARE(attributes.size(), 3);
    QString text;
    BoardTextWriter writer(&text);
    writer.writeStartElement(reader.name());
    writer.writeAttribute(attributes.at(0));
    QVERIFY(!writer.unsupported());
    QCOMPARE(text, QStringLiteral("\n<a x=\"1\""));
    writer.writeAttribute(attributes.at(1));
    QVERIFY(writer.unsupported());
    writer.writeAttribute(attributes.at(2));
    writer.writeCharacters(reader.name());
    writer.writeEndElement();
    writer.writeEndDocument();
    QCOMPARE(text, QStringLiteral("\n<a x=\"1\""));
}

// shiftBoard copies with BoardTextWriter from a file and with
// QXmlStreamWriter from a pipe: the two copies must be the same text.
void TestBoardTextWriter::boardsCopyAlike_data()
{
    QTest::addColumn<QByteArray>("board");
    QTest::newRow("namespaced") << QByteArray("<eagle xmlns:t=\"urn:t\"><plain><wire t:x1=\"1\" "
                                              "x2=\"2\"/></plain></eagle>");
    const QString boards = realBoardsDir();
    if (boards.isEmpty())
        return;
    for (const QString &name : QDir(boards).entryList({QStringLiteral("*.brd")}, QDir::Files))
        QTest::newRow(qPrintable(name)) << readWholeFile(QDir(boards).filePath(name));
}

void TestBoardTextWriter::boardsCopyAlike()
{
    QFETCH(QByteArray, board);
    QBuffer file;
    file.setData(board);
    // shiftBoard cannot go back on a pipe, so it copies with QXmlStreamWriter.
    SequentialDevice pipe(board);
    const ShiftedCopy fast = shiftThrough(file);
    const ShiftedCopy streamed = shiftThrough(pipe);
    QVERIFY2(fast.succeeded(), qPrintable(fast.error));
    QVERIFY(!fast.document.isEmpty());
    QCOMPARE(fast.document, streamed.document);
}

QTEST_GUILESS_MAIN(TestBoardTextWriter)
#include "tst_boardtextwriter.moc"
