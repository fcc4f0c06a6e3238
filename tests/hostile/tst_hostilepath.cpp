// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/board/outline.h"
#include "core/merge/assemblepanel.h"
#include "hostileinputs.h"
#include "support/testsupport.h"

#include <QXmlStreamReader>
#include <QtTest>

#include <cmath>

// The window-free path of a make-panel run over boards the fuzzer taught us
// about: two copies of one board assembled into a panel, which must
// be readable again whatever the board held.
class TestHostilePath : public QObject
{
    Q_OBJECT

private slots:
    void prefixedAttributesKeepTheirNamespace_data();
    void prefixedAttributesKeepTheirNamespace();
    void labelFloodKeepsThePanelSmall();
    void outlineFloodIsMeasuredWhole();
};

namespace {

QByteArray panelOfTwoCopies(const QByteArray &bytes)
{
    const QVector<BoardCopy> copies {readCopy(bytes, 10, 20), readCopy(bytes, 70, 20)};
    if (!copies.first().board)
        return QByteArray();
    return assembled(copies).text.joined();
}

// "local name=value" of each attribute in namespace `uri`, in document order.
QStringList attributesIn(const QByteArray &text, const QString &uri)
{
    QStringList found;
    QXmlStreamReader reader(text);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        for (const QXmlStreamAttribute &attribute : reader.attributes()) {
            if (attribute.namespaceUri() == uri)
                found << attribute.name() + QLatin1Char('=') + attribute.value();
        }
    }
    return found;
}

} // namespace

// Found by the fuzzer: the panel writer carried prefixed attributes by their
// qualified names but dropped the declarations of their prefixes (they are
// no attributes to a reader), so a panel of a board with a prefixed
// attribute could not be read again. Each row's board holds prefixed
// attributes in the four sections and outside them; the panel must parse and
// carry each of them, in its namespace, once per copy. Coordinates are
// shifted in their own namespace (first copy by 10, second by 70).
void TestHostilePath::prefixedAttributesKeepTheirNamespace_data()
{
    QTest::addColumn<QByteArray>("board");
    QTest::addColumn<QString>("uri");
    QTest::addColumn<QStringList>("inNamespace");
    const QString p = QStringLiteral("urn:p");

    QTest::newRow("declared on the root")
            << QByteArray("<eagle xmlns:p='urn:p'><drawing p:grid='1'><board><plain>"
                          "<wire p:x1='1' x1='2' layer='20'/></plain><signals><signal name='S' "
                          "p:class='9'/></signals></board></drawing></eagle>")
            << p << QStringList {"grid=1", "x1=11", "x1=71", "class=9", "class=9"};
    QTest::newRow("declared on a section")
            << QByteArray("<eagle><board><elements xmlns:p='urn:p'><element name='E' p:x='5' "
                          "p:tag='t'/></elements></board></eagle>")
            << p << QStringList {"x=15", "tag=t", "x=75", "tag=t"};
    QTest::newRow("declared on the element itself")
            << QByteArray("<eagle><board><libraries><library name='L' xmlns:p='urn:p' "
                          "p:x='5'/></libraries></board></eagle>")
            << p << QStringList {"x=5", "x=5"};
    QTest::newRow("two prefixes of one namespace")
            << QByteArray("<eagle xmlns:p='urn:p' xmlns:q='urn:p'><board><plain><text p:a='1' "
                          "q:b='2'/></plain></board></eagle>")
            << p << QStringList {"a=1", "b=2", "a=1", "b=2"};
    QTest::newRow("prefix declared by a default attribute of the document type")
            << QByteArray("<!DOCTYPE eagle [<!ATTLIST plain xmlns:p CDATA 'urn:p'>]>"
                          "<eagle><board><plain><wire x1='1' p:x2='2'/></plain></board></eagle>")
            << p << QStringList {"x2=12", "x2=72"};
    // Found by the fuzzer: a namespace declared with its URI unescaped made
    // the copy of this board unreadable.
    QTest::newRow("namespace name with markup and line breaks")
            << QByteArray("<eagle><board><signals xmlns:p='urn:&lt;&amp;&quot;&#10;&#9;x'>"
                          "<signal name='S' p:y1='1' y1='0'/></signals><libraries "
                          "xmlns:q='a&amp;b'><library q:v='w'/></libraries></board></eagle>")
            << QStringLiteral("urn:<&\"\n\tx") << QStringList {"y1=21", "y1=21"};
}

void TestHostilePath::prefixedAttributesKeepTheirNamespace()
{
    QFETCH(QByteArray, board);
    QFETCH(QString, uri);
    QFETCH(QStringList, inNamespace);
    QCOMPARE(readerFailure(board), QString());
    const QByteArray panel = panelOfTwoCopies(board);
    QVERIFY(!panel.isEmpty());
    QCOMPARE(readerFailure(panel), QString());
    QCOMPARE(attributesIn(panel, uri), inNamespace);
}

// A renamed part that is not smashed gets one attribute per label text of its
// package. 400 parts of a package with 400 labels would make 160,000 of them,
// a panel of 11 MB from a board of 40 kB; the panel stays a few times its
// boards, and its later copy still keeps its parts.
void TestHostilePath::labelFloodKeepsThePanelSmall()
{
    QByteArray labels, parts;
    for (int i = 0; i < 400; ++i) {
        labels += "<text x='1' y='1' size='1' layer='25'>&gt;L" + QByteArray::number(i) + "</text>";
        parts += "<element name='P" + QByteArray::number(i) + "' library='l' package='p'/>";
    }
    const QByteArray board = "<eagle><board><plain/><libraries><library name='l'><packages>"
                             "<package name='p'><text size='1' layer='25'>&gt;NAME</text>"
            + labels + "</package></packages></library></libraries><elements>" + parts
            + "</elements></board></eagle>";
    const QByteArray panel = panelOfTwoCopies(board);
    QCOMPARE(readerFailure(panel), QString());
    QVERIFY2(panel.size() < 10 * board.size(),
             qPrintable(QStringLiteral("%1 bytes from %2").arg(panel.size()).arg(board.size())));
    QCOMPARE(panel.count("<element "), 800);
}

// A package drawing a polygon of 100,000 outline wires about its origin,
// radius 10, placed by 100,000 parts at as many angles, the last one 100 mm
// further right: each part's outline at each angle would be 10^10 wires to
// turn. The measurement bounds its work, and its box still holds every copy
// of the outline, from -10 to 110 and -10 to 10.
void TestHostilePath::outlineFloodIsMeasuredWhole()
{
    constexpr int count = 100000;
    QByteArray wires, parts;
    auto corner = [](int i) {
        const double angle = 2 * M_PI * i / count;
        return "x%1='" + QByteArray::number(10 * std::cos(angle), 'f', 9) + "' y%1='"
                + QByteArray::number(10 * std::sin(angle), 'f', 9) + "' ";
    };
    for (int i = 0; i < count; ++i) {
        wires += "<wire " + corner(i).replace("%1", "1") + corner(i + 1).replace("%1", "2")
                + "layer='20'/>";
        parts += "<element name='P" + QByteArray::number(i) + "' library='l' package='p' x='"
                + (i == count - 1 ? "100" : "0") + "' y='0' rot='R"
                + QByteArray::number(i * 360.0 / count, 'f', 4) + "'/>";
    }
    const QByteArray board = "<eagle><board><libraries><library name='l'><packages>"
                             "<package name='p'>"
            + wires + "</package></packages></library></libraries><elements>" + parts
            + "</elements></board></eagle>";
    QBuffer device;
    device.setData(board);
    device.open(QIODevice::ReadOnly);
    const OutlineMeasurement measured = measureOutline(device);
    QCOMPARE(measured.error, QString());
    const double tolerance = 1e-6;
    QVERIFY(std::abs(measured.box.minX + 10) < tolerance);
    QVERIFY(std::abs(measured.box.maxX - 110) < tolerance);
    QVERIFY(std::abs(measured.box.minY + 10) < tolerance);
    QVERIFY(std::abs(measured.box.maxY - 10) < tolerance);
}

QTEST_MAIN(TestHostilePath)
#include "tst_hostilepath.moc"
