// SPDX-License-Identifier: GPL-3.0-or-later
#include "bench/literalassembly.h"

#include <QBuffer>
#include <QtTest>

namespace {

QDomDocument parsed(const QString &xml)
{
    QDomDocument document;
    document.setContent(xml);
    return document;
}

// The `name` of every element child of the first `section` element.
QStringList namesIn(const QDomDocument &document, const QString &section)
{
    QStringList names;
    const QDomElement origin = document.elementsByTagName(section).item(0).toElement();
    for (QDomElement child = origin.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement())
        names << child.attribute(QStringLiteral("name"));
    return names;
}

// A small board: one library, two parts with smashed attributes, two nets.
QString smallBoard(const QString &firstNet)
{
    return QStringLiteral(
                   "<eagle><drawing><layers><layer number=\"1\" name=\"Top\"/></layers><board>"
                   "<plain><wire x1=\"0\" layer=\"20\"/></plain><libraries><library name=\"rcl\">"
                   "<packages><package name=\"R0603\"/></packages></library></libraries>"
                   "<elements><element name=\"R1\" library=\"rcl\" package=\"R0603\">"
                   "<attribute name=\"VALUE\"/></element><element name=\"R2\" library=\"rcl\">"
                   "<attribute name=\"VALUE\"/></element></elements><signals><signal name=\"%1\">"
                   "<contactref element=\"R1\"/></signal><signal name=\"B\"><contactref "
                   "element=\"R2\"/></signal></signals></board></drawing></eagle>")
            .arg(firstNet);
}

QDomDocument panelOf(const QStringList &boards)
{
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    LiteralAssembly().writePanel(boards, file);
    return parsed(QString::fromUtf8(file.data()));
}

} // namespace

// The list-scan baseline does the name bookkeeping literally, faults and all.
class TestLiteralAssembly : public QObject
{
    Q_OBJECT

private slots:
    void collectNames_data();
    void collectNames();
    void replaceAttributeValue_data();
    void replaceAttributeValue();
    void mergeSectionAppendsInCallOrder();
    void twoCopiesRenameTheSecond();
    void threeBoardsNumberOn();
    void freshNamesMayClash();
    void noBoardWritesNothing();
};

void TestLiteralAssembly::collectNames_data()
{
    QTest::addColumn<QString>("xml");
    QTest::addColumn<QStringList>("known");
    QTest::addColumn<QStringList>("duplicates");
    QTest::newRow("settings skipped")
            << "<b><layers><layer name=\"Top\"/></layers><designrules name=\"d\"><param "
               "name=\"p\"/></designrules><autorouter><pass name=\"a\"/></autorouter></b>"
            << QStringList() << QStringList();
    QTest::newRow("library name only")
            << "<b><library name=\"rcl\"><package name=\"R0603\"/></library></b>"
            << QStringList {"rcl"} << QStringList();
    QTest::newRow("GND then gnd") << "<b><s name=\"GND\"/><s name=\"gnd\"/></b>"
                                  << QStringList {"GND"} << QStringList {"gnd"};
    QTest::newRow("three times") << "<b><s name=\"A\"/><s name=\"A\"/><s name=\"a\"/></b>"
                                 << QStringList {"A"} << QStringList {"A", "a"};
    QTest::newRow("attribute keys recorded")
            << "<b><e name=\"R1\"><attribute name=\"VALUE\"/></e><e name=\"R2\"><attribute "
               "name=\"VALUE\"/></e></b>"
            << QStringList {"R1", "VALUE", "R2"} << QStringList {"VALUE"};
    QTest::newRow("element's name before its children")
            << "<b name=\"x\"><c name=\"y\"/></b>" << QStringList {"x", "y"} << QStringList();
}

void TestLiteralAssembly::collectNames()
{
    QFETCH(QString, xml);
    QFETCH(QStringList, known);
    QFETCH(QStringList, duplicates);
    LiteralAssembly assembly;
    assembly.collectNames(parsed(xml).documentElement());
    QCOMPARE(assembly.knownNames, known);
    QCOMPARE(assembly.duplicateNames, duplicates);
}

void TestLiteralAssembly::replaceAttributeValue_data()
{
    QTest::addColumn<QString>("attribute");
    QTest::addColumn<QString>("expected");
    QTest::newRow("name") << "name"
                          << "NewName7";
    QTest::newRow("reference") << "element"
                               << "NewName7";
    QTest::newRow("inside layers") << "layer"
                                   << "NewName7";
}

void TestLiteralAssembly::replaceAttributeValue()
{
    QFETCH(QString, attribute);
    QFETCH(QString, expected);
    const QDomDocument document = parsed(
            QStringLiteral("<b><layers><x layer=\"R1\"/></layers><e name=\"R1\"/><c element=\"R1\" "
                           "pad=\"R10\"/><d name=\"r1\"/></b>"));
    LiteralAssembly::replaceAttributeValue(document.documentElement(), QStringLiteral("R1"),
                                           QStringLiteral("NewName7"));
    const QDomNodeList holders = document.elementsByTagName(
            attribute == QLatin1String("name")            ? QStringLiteral("e")
                    : attribute == QLatin1String("layer") ? QStringLiteral("x")
                                                          : QStringLiteral("c"));
    QCOMPARE(holders.item(0).toElement().attribute(attribute), expected);
    QCOMPARE(document.elementsByTagName(QStringLiteral("c"))
                     .item(0)
                     .toElement()
                     .attribute(QStringLiteral("pad")),
             QStringLiteral("R10"));
    QCOMPARE(document.elementsByTagName(QStringLiteral("d"))
                     .item(0)
                     .toElement()
                     .attribute(QStringLiteral("name")),
             QStringLiteral("r1"));
}

void TestLiteralAssembly::mergeSectionAppendsInCallOrder()
{
    QDomDocument panel = parsed(QStringLiteral("<b><plain><p name=\"0\"/></plain></b>"));
    LiteralAssembly::mergeSection(
            QStringLiteral("plain"), panel,
            parsed(QStringLiteral("<b><plain><p name=\"1\"/><p name=\"2\"/></plain></b>"))
                    .documentElement());
    LiteralAssembly::mergeSection(QStringLiteral("plain"), panel,
                                  parsed(QStringLiteral("<b><signals/></b>")).documentElement());
    LiteralAssembly::mergeSection(
            QStringLiteral("plain"), panel,
            parsed(QStringLiteral("<b><plain><p name=\"3\"/></plain></b>")).documentElement());
    QCOMPARE(namesIn(panel, QStringLiteral("plain")), QStringList({"0", "1", "2", "3"}));
}

void TestLiteralAssembly::twoCopiesRenameTheSecond()
{
    const QDomDocument panel =
            panelOf({smallBoard(QStringLiteral("A")), smallBoard(QStringLiteral("A"))});
    // Board one leaves VALUE as a duplicate; board two adds rcl, R1, VALUE,
    // R2, VALUE, A, B. One number per entry, in that order: VALUE takes
    // NewName0, rcl NewName1, R1 NewName2, R2 NewName4, A NewName6, B
    // NewName7; the later VALUE entries find nothing left to rename.
    QCOMPARE(namesIn(panel, QStringLiteral("libraries")), QStringList({"rcl", "NewName1"}));
    QCOMPARE(namesIn(panel, QStringLiteral("elements")),
             QStringList({"R1", "R2", "NewName2", "NewName4"}));
    QCOMPARE(namesIn(panel, QStringLiteral("signals")),
             QStringList({"A", "B", "NewName6", "NewName7"}));
    const QDomNodeList contacts = panel.elementsByTagName(QStringLiteral("contactref"));
    QCOMPARE(contacts.item(2).toElement().attribute(QStringLiteral("element")),
             QStringLiteral("NewName2"));
    // The keys of smashed attributes are renamed too: the fault the program
    // mends.
    const QDomNodeList keys = panel.elementsByTagName(QStringLiteral("attribute"));
    QCOMPARE(keys.item(2).toElement().attribute(QStringLiteral("name")),
             QStringLiteral("NewName0"));
}

void TestLiteralAssembly::threeBoardsNumberOn()
{
    const QDomDocument panel =
            panelOf({smallBoard(QStringLiteral("A")), smallBoard(QStringLiteral("A")),
                     smallBoard(QStringLiteral("A"))});
    // Board two used NewName0 to NewName7 (8 entries); board three counts on
    // from NewName8 over the 15 entries the list then holds, its A being
    // entry 6 and its B entry 7.
    const QStringList signalNames = namesIn(panel, QStringLiteral("signals"));
    QCOMPARE(signalNames.size(), 6);
    QCOMPARE(signalNames.mid(4), QStringList({"NewName14", "NewName15"}));
}

void TestLiteralAssembly::freshNamesMayClash()
{
    // Board two's B is entry 6 and becomes NewName6, the name of board
    // one's first net: the two nets are joined, the fault the program mends.
    const QDomDocument panel =
            panelOf({smallBoard(QStringLiteral("NewName6")), smallBoard(QStringLiteral("A"))});
    QCOMPARE(namesIn(panel, QStringLiteral("signals")),
             QStringList({"NewName6", "B", "A", "NewName6"}));
}

void TestLiteralAssembly::noBoardWritesNothing()
{
    QBuffer file;
    file.open(QIODevice::WriteOnly);
    LiteralAssembly().writePanel(QStringList(), file);
    QCOMPARE(file.data(), QByteArray());
}

QTEST_GUILESS_MAIN(TestLiteralAssembly)
#include "tst_literalassembly.moc"
