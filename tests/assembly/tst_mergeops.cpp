// SPDX-License-Identifier: GPL-3.0-or-later
#include "assembly/mergeops.h"
#include "paneltesting.h"

#include <QtTest>

// The name bookkeeping, renaming and section merging on hand-made documents.
namespace {

struct Names
{
    QStringList known;
    QStringList duplicates;
    NameBook book {known, duplicates};
};

} // namespace

class TestMergeOps : public QObject
{
    Q_OBJECT

private slots:
    void collectNames_data();
    void collectNames();
    void collectNamesOfNullElement();
    void replaceAttributeValue_data();
    void replaceAttributeValue();
    void mergeSection_data();
    void mergeSection();
    void mergeSectionLinesBoardsUpInCallOrder();
    void mergedCopiesBelongToThePanel();
};

void TestMergeOps::collectNames_data()
{
    QTest::addColumn<QStringList>("knownBefore");
    QTest::addColumn<QStringList>("boards");
    QTest::addColumn<QStringList>("known");
    QTest::addColumn<QStringList>("duplicates");

    QTest::newRow("layer table passed over, walk goes on after it")
            << QStringList()
            << QStringList {"<eagle><drawing><layers><layer number='1' name='Top'/>"
                            "<layer number='16' name='Bottom'/></layers><board><signals>"
                            "<signal name='GND'/></signals></board></drawing></eagle>"}
            << QStringList {"GND"} << QStringList();
    QTest::newRow("design rules and autorouter passed over")
            << QStringList()
            << QStringList {"<board><designrules name='default'><param name='mdWireWire'/>"
                            "</designrules><autorouter><pass name='Default'>"
                            "<param name='RoutingGrid'/></pass></autorouter><elements>"
                            "<element name='R1'/></elements></board>"}
            << QStringList {"R1"} << QStringList();
    // NAME and VALUE stand on every part; as names they would be duplicates.
    QTest::newRow("attribute keys passed over")
            << QStringList()
            << QStringList {"<elements><element name='R1'><attribute name='NAME' value='R1'/>"
                            "<attribute name='VALUE'/></element><element name='R2'>"
                            "<attribute name='NAME'/><attribute "
                            "name='VALUE'/></element></elements>"}
            << QStringList {"R1", "R2"} << QStringList();
    QTest::newRow("variants and net classes passed over")
            << QStringList()
            << QStringList {"<board><variantdefs><variantdef name='A'/></variantdefs><classes>"
                            "<class number='0' name='default'/></classes><elements>"
                            "<element name='R1'><variant name='A' populate='no'/></element>"
                            "</elements><signals><signal name='default' class='0'/></signals>"
                            "</board>"}
            << QStringList {"R1", "default"} << QStringList();
    QTest::newRow("library: its own name, nothing inside")
            << QStringList()
            << QStringList {"<libraries><library name='rcl'><packages><package name='R0805'>"
                            "<smd name='1'/></package></packages></library>"
                            "<library name='R0805'/></libraries>"}
            << QStringList {"rcl", "R0805"} << QStringList();
    QTest::newRow("GND known, gnd is a duplicate as written")
            << QStringList {"GND"} << QStringList {"<signals><signal name='gnd'/></signals>"}
            << QStringList {"GND"} << QStringList {"gnd"};
    QTest::newRow("a value met three times")
            << QStringList()
            << QStringList {"<a name='VCC'/>", "<b><c name='Vcc'/><c name='VCC'/></b>"}
            << QStringList {"VCC"} << QStringList {"Vcc", "VCC"};
    QTest::newRow("repeat inside the first board, in preorder")
            << QStringList()
            << QStringList {"<board><element name='U1'><x name='PAD'/></element>"
                            "<element name='U2'><x name='PAD'/></element></board>"}
            << QStringList {"U1", "PAD", "U2"} << QStringList {"PAD"};
    QTest::newRow("an empty name is no name")
            << QStringList() << QStringList {"<a><b name=''/><c name=''/><d name='X'/></a>"}
            << QStringList {"X"} << QStringList();
    QTest::newRow("settings entries outside their tables, preview colours")
            << QStringList()
            << QStringList {"<board><layer name='Top'/><class name='default'/><param name='p'/>"
                            "<pass name='Route'/><variantdef name='A'/><mfgpreviewcolors>"
                            "<mfgpreviewcolor name='coppercolor'/></mfgpreviewcolors>"
                            "<signal name='S'/></board>"}
            << QStringList {"S"} << QStringList();
    QTest::newRow("passed over at the root")
            << QStringList() << QStringList {"<layers name='L'><layer name='Top'/></layers>"}
            << QStringList() << QStringList();
    QTest::newRow("tag names compared exactly")
            << QStringList()
            << QStringList {"<board><Layers name='X'><Layer name='Top'/></Layers>"
                            "<Library name='Y'><package name='P'/></Library></board>"}
            << QStringList {"X", "Top", "Y", "P"} << QStringList();
    QTest::newRow("text and comments are no entries")
            << QStringList() << QStringList {"<a name='A'>text<!-- c --><b name='B'/></a>"}
            << QStringList {"A", "B"} << QStringList();
    // EAGLE prints no "!": each one turns the overbar over what follows on or off.
    QTest::newRow("!RST, !RST! and !RST read alike, letter case aside")
            << QStringList()
            << QStringList {"<s name='!RST'/>",
                            "<b><s name='!RST!'/><s name='!rst!'/><s name='!RST'/></b>"}
            << QStringList {"!RST"} << QStringList {"!RST!", "!rst!", "!RST"};
    QTest::newRow("doubled and trailing marks bar nothing")
            << QStringList {"RST"}
            << QStringList {"<b><s name='!!RST'/><s name='RST!'/><s name='R!!ST!!'/></b>"}
            << QStringList {"RST"} << QStringList {"!!RST", "RST!", "R!!ST!!"};
    QTest::newRow("a bar over other letters is another name")
            << QStringList()
            << QStringList {"<s name='!RST'/>",
                            "<b><s name='RST'/><s name='!RS!T'/><s name='R!ST'/></b>"}
            << QStringList {"!RST", "RST", "!RS!T", "R!ST"} << QStringList();
    // Used names compare as QString::compare does with Qt::CaseInsensitive:
    // simple case folding, one code point at a time.
    QTest::newRow("final sigma folds like sigma")
            << QStringList {QStringLiteral("ΣΑΣ")}
            << QStringList {QStringLiteral("<s name='σας'/>")}
            << QStringList {QStringLiteral("ΣΑΣ")} << QStringList {QStringLiteral("σας")};
    QTest::newRow("sharp s is not ss")
            << QStringList {QStringLiteral("STRASSE")}
            << QStringList {QStringLiteral("<s name='straße'/>")}
            << QStringList {QStringLiteral("STRASSE"), QStringLiteral("straße")} << QStringList();
    QTest::newRow("letters beyond the basic plane")
            << QStringList {QStringLiteral("\U00010400")}
            << QStringList {QStringLiteral("<s name='\U00010428'/>")}
            << QStringList {QStringLiteral("\U00010400")}
            << QStringList {QStringLiteral("\U00010428")};
}

void TestMergeOps::collectNames()
{
    QFETCH(QStringList, knownBefore);
    QFETCH(QStringList, boards);
    QFETCH(QStringList, known);
    QFETCH(QStringList, duplicates);
    Names names;
    names.known = knownBefore; // set behind the name book's back
    for (const QString &board : boards) {
        const QDomDocument document = parseXml(board);
        QVERIFY(!document.documentElement().isNull());
        names.book.collect(document.documentElement());
    }
    QCOMPARE(names.known, known);
    QCOMPARE(names.duplicates, duplicates);
    // Without overbars, the book agrees with Qt's case-insensitive comparison.
    for (const QString &name : duplicates) {
        QVERIFY(names.book.isKnown(name));
        if (!name.contains('!'))
            QVERIFY(names.known.contains(name, Qt::CaseInsensitive));
    }
    for (int i = 0; i < known.size(); ++i) {
        for (int j = i + 1; j < known.size(); ++j)
            QVERIFY(QString::compare(known.at(i), known.at(j), Qt::CaseInsensitive) != 0);
    }
}

void TestMergeOps::collectNamesOfNullElement()
{
    Names names;
    names.book.collect(QDomElement());
    assembly::replaceAttributeValue(QDomElement(), QStringLiteral("a"), QStringLiteral("b"));
    QVERIFY(names.known.isEmpty() && names.duplicates.isEmpty());
}

void TestMergeOps::replaceAttributeValue_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("oldValue");
    QTest::addColumn<QString>("newValue");
    QTest::addColumn<QString>("after");

    QTest::newRow("R1, not R10 or r1")
            << "<board><elements><element name='R1' value='R10'/><element name='R10'/>"
               "<element name='r1'/></elements><signals><signal name='N'>"
               "<contactref element='R1' pad='1'/><contactref element='r1' pad='2'/>"
               "</signal></signals></board>"
            << "R1"
            << "NewName0"
            << "<board><elements><element name='NewName0' value='R10'/><element name='R10'/>"
               "<element name='r1'/></elements><signals><signal name='N'>"
               "<contactref element='NewName0' pad='1'/><contactref element='r1' pad='2'/>"
               "</signal></signals></board>";
    // Nets named "1" to "7" on a keypad: the top copper layer, pad names,
    // sizes and coordinates read "1" too, and only names may change.
    QTest::newRow("names and references only, never numbers, layers or values")
            << "<board><layers><layer number='1' name='1'/></layers><libraries><library name='1'>"
               "<packages><package name='1'><smd name='1' x='1' dx='1' layer='1'/>"
               "<text size='1' layer='1'>1</text></package></packages></library></libraries>"
               "<classes><class number='1' name='1'/></classes><elements><element name='1' "
               "library='1' package='1' value='1' x='1' rot='1'><attribute name='1' value='1'/>"
               "<variant name='1' value='1'/></element></elements><signals><signal name='1' "
               "class='1'><contactref element='1' pad='1' route='1'/><wire x1='1' layer='1'/>"
               "</signal></signals></board>"
            << "1"
            << "N"
            << "<board><layers><layer number='1' name='1'/></layers><libraries><library name='N'>"
               "<packages><package name='N'><smd name='N' x='1' dx='1' layer='1'/>"
               "<text size='1' layer='1'>1</text></package></packages></library></libraries>"
               "<classes><class number='1' name='1'/></classes><elements><element name='N' "
               "library='N' package='N' value='1' x='1' rot='1'><attribute name='1' value='1'/>"
               "<variant name='1' value='1'/></element></elements><signals><signal name='N' "
               "class='1'><contactref element='N' pad='N' route='1'/><wire x1='1' layer='1'/>"
               "</signal></signals></board>";
    QTest::newRow("the whole value only") << "<a><b name='GND '/><b name='GND2'/><b "
                                             "name='xGND'/><b name='GND'/><b name='gnd'/></a>"
                                          << "GND"
                                          << "N"
                                          << "<a><b name='GND '/><b name='GND2'/><b "
                                             "name='xGND'/><b name='N'/><b name='gnd'/></a>";
    QTest::newRow("the root's own attributes") << "<a name='A'><b element='A'>A</b></a>"
                                               << "A"
                                               << "B"
                                               << "<a name='B'><b element='B'>A</b></a>";
    QTest::newRow("an empty name renames nothing") << "<a name=''><b pad='' value=''/></a>"
                                                   << ""
                                                   << "N"
                                                   << "<a name=''><b pad='' value=''/></a>";
}

void TestMergeOps::replaceAttributeValue()
{
    QFETCH(QString, before);
    QFETCH(QString, oldValue);
    QFETCH(QString, newValue);
    QFETCH(QString, after);
    const QDomDocument document = parseXml(before);
    assembly::replaceAttributeValue(document.documentElement(), oldValue, newValue);
    const QString difference =
            treeDifference(parseXml(after).documentElement(), document.documentElement());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestMergeOps::mergeSection_data()
{
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("after");

    const QString panel =
            "<eagle><board><plain/><signals><signal name='A'/></signals></board></eagle>";
    QTest::newRow("appended after the panel's own")
            << panel
            << "<eagle><board><signals><signal name='B'><contactref element='R1'/></signal>"
               "</signals></board></eagle>"
            << "signals"
            << "<eagle><board><plain/><signals><signal name='A'/><signal name='B'>"
               "<contactref element='R1'/></signal></signals></board></eagle>";
    QTest::newRow("empty section in the source")
            << panel << "<eagle><board><signals/></board></eagle>"
            << "signals" << panel;
    QTest::newRow("no section in the source")
            << panel << "<eagle><board><plain><wire/></plain></board></eagle>"
            << "signals" << panel;
    QTest::newRow("no section in the panel")
            << "<eagle><board><plain/></board></eagle>"
            << "<eagle><board><signals><signal name='B'/></signals></board></eagle>"
            << "signals"
            << "<eagle><board><plain/></board></eagle>";
    QTest::newRow("only element children travel, with all inside them")
            << panel
            << "<eagle><signals>text<!-- c --><signal name='B'>inside</signal></signals></eagle>"
            << "signals"
            << "<eagle><board><plain/><signals><signal name='A'/><signal name='B'>inside</signal>"
               "</signals></board></eagle>";
    QTest::newRow("first of that name at any depth, on both sides")
            << "<eagle><x><plain><wire w='1'/></plain></x><plain/></eagle>"
            << "<r><y><plain><wire w='2'/></plain></y><plain><wire w='3'/></plain></r>"
            << "plain"
            << "<eagle><x><plain><wire w='1'/><wire w='2'/></plain></x><plain/></eagle>";
    QTest::newRow("below the panel's root, not the root itself")
            << "<plain><plain/></plain>"
            << "<r><plain><w/></plain></r>"
            << "plain"
            << "<plain><plain><w/></plain></plain>";
}

void TestMergeOps::mergeSection()
{
    QFETCH(QString, panel);
    QFETCH(QString, source);
    QFETCH(QString, tag);
    QFETCH(QString, after);
    QDomDocument panelDocument = parseXml(panel);
    const QDomDocument sourceDocument = parseXml(source);
    assembly::mergeSection(tag, panelDocument, sourceDocument.documentElement());
    QString difference =
            treeDifference(parseXml(after).documentElement(), panelDocument.documentElement());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    difference =
            treeDifference(parseXml(source).documentElement(), sourceDocument.documentElement());
    QVERIFY2(difference.isEmpty(), qPrintable("source changed: " + difference));
}

void TestMergeOps::mergeSectionLinesBoardsUpInCallOrder()
{
    QDomDocument panel = parseXml("<eagle><plain><p n='0'/></plain></eagle>");
    const QDomDocument first = parseXml("<eagle><plain><p n='1a'/><p n='1b'/></plain></eagle>");
    const QDomDocument second = parseXml("<eagle><plain><p n='2'/></plain></eagle>");
    assembly::mergeSection("plain", panel, first.documentElement());
    assembly::mergeSection("plain", panel, second.documentElement());
    const QString difference = treeDifference(
            parseXml("<eagle><plain><p n='0'/><p n='1a'/><p n='1b'/><p n='2'/></plain></eagle>")
                    .documentElement(),
            panel.documentElement());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestMergeOps::mergedCopiesBelongToThePanel()
{
    QDomDocument panel = parseXml("<eagle><signals/></eagle>");
    QDomDocument source = parseXml("<eagle><signals><signal name='B'/></signals></eagle>");
    assembly::mergeSection("signals", panel, source.documentElement());
    const QDomElement copy = panel.documentElement().firstChildElement().firstChildElement();
    QCOMPARE(copy.attribute("name"), QStringLiteral("B"));
    QVERIFY(copy.ownerDocument() == panel);
    // Changing the source afterwards leaves the copy alone.
    source.documentElement().firstChildElement().firstChildElement().setAttribute("name", "C");
    QCOMPARE(copy.attribute("name"), QStringLiteral("B"));
}

QTEST_MAIN(TestMergeOps)
#include "tst_mergeops.moc"
