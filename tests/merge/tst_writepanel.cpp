// SPDX-License-Identifier: GPL-3.0-or-later
#include "copyfidelity.h"
#include "core/merge/assemblepanel.h"
#include "core/run/panelrun.h"
#include "paneltesting.h"
#include "support/testsupport.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Tables
{
    QString layers = "<layer number='1' name='Top'/>";
    QString classes = "<class number='0' name='default'/>";
};

// A board document like the shifted copies: parts with the given names, and
// whatever else a test puts into its sections.
QString board(const QStringList &parts, const QString &signalList = QString(),
              const Tables &tables = Tables(), const QString &plain = QString())
{
    QString elements;
    for (const QString &part : parts)
        elements += "<element name='" + part + "' library='lib' package='p'/>";
    return "<?xml version='1.0'?><eagle><drawing><layers>" + tables.layers
            + "</layers><board><plain>" + plain + "</plain><libraries/><classes>" + tables.classes
            + "</classes><elements>" + elements + "</elements><signals>" + signalList
            + "</signals></board></drawing></eagle>";
}

QStringList numbered(const QDomElement &root, const QString &table)
{
    QStringList entries;
    const QDomElement parent = root.elementsByTagName(table).item(0).toElement();
    for (QDomElement entry = parent.firstChildElement(); !entry.isNull();
         entry = entry.nextSiblingElement())
        entries << entry.attribute("number") + ':' + entry.attribute("name");
    return entries;
}

} // namespace

// The assembly on hand-made boards: the numbering of fresh names, the mended
// faults and what reaches the file.
class TestWritePanel : public QObject
{
    Q_OBJECT

private slots:
    void freshNamesNumberOnAcrossBoards();
    void freshNamesNeverClash_data();
    void freshNamesNeverClash();
    void laterCopiesChangeNamesOnly_data();
    void laterCopiesChangeNamesOnly();
    void renamedPartsPrintTheirNames_data();
    void renamedPartsPrintTheirNames();
    void numberedDefinitionsFollowTheBoards_data();
    void numberedDefinitionsFollowTheBoards();
    void sectionsOfTheFirstBoardTakeAllLaterContent();
    void writesIndentedTextInSourceOrder();
    void laterContentFillsEmptySections();
    void cutsTheTailOfALongerFile();
    void reportsAFailedSave();
    void emptyRunLeavesTheFileAlone();
    void sameBytesWhateverTheHashSeed();
    void sameBytesInAnotherProcess();

private:
    QString path(const QString &name) const { return directory.filePath(name); }
    QTemporaryDir directory;
};

void TestWritePanel::freshNamesNumberOnAcrossBoards()
{
    // After the second board the duplicates are A, B (NewName0, NewName1);
    // after the third A, B, A, B, D: its A and B take NewName2 and NewName3,
    // the repeated A and B use up 4 and 5 and D, a part and a signal, is 6.
    const QByteArray text = runWritePanel(
            {board({"A", "B"}), board({"A", "B"}), board({"A", "B", "D"}, "<signal name='D'/>")},
            path("numbering.brd"));
    const QDomElement root = parseXml(text).documentElement();
    QCOMPARE(entryNames(root, "elements"),
             QStringList({"A", "B", "NewName0", "NewName1", "NewName2", "NewName3", "NewName6"}));
    QCOMPARE(entryNames(root, "signals"), QStringList({"NewName6"}));
}

void TestWritePanel::freshNamesNeverClash_data()
{
    QTest::addColumn<QStringList>("boards");
    QTest::addColumn<QStringList>("names"); // of the parts, then of the signals

    QTest::newRow("a board carrying NewName0 and NewName1 placed twice")
            << QStringList {board({"NewName0", "NewName1"}), board({"NewName0", "NewName1"})}
            << QStringList {"NewName0", "NewName1", "NewName2", "NewName3"};
    // The board's own NewName0 is new to the panel, so A passes over 0.
    QTest::newRow("number taken by the same board")
            << QStringList {board({"A"}), board({"A", "NewName0"})}
            << QStringList {"A", "NewName1", "NewName0"};
    // NewName0 was given to the second board's A, so the third board's own
    // NewName0 is a used name: the entries A (1, unused) and NewName0 (2).
    QTest::newRow("a given fresh name counts as used")
            << QStringList {board({"A"}), board({"A"}), board({"NewName0"})}
            << QStringList {"A", "NewName0", "NewName2"};
    QTest::newRow("letter case aside") << QStringList {board({"newname0"}), board({"newname0"})}
                                       << QStringList {"newname0", "NewName1"};
    QTest::newRow("a leading zero makes another name")
            << QStringList {board({"NewName00", "A"}), board({"A"})}
            << QStringList {"NewName00", "A", "NewName0"};
    // A trailing "!" bars nothing: the name reads as NewName0.
    QTest::newRow("a name that reads as a fresh one")
            << QStringList {board({"NewName0!"}), board({"NewName0!"})}
            << QStringList {"NewName0!", "NewName1"};
    // KiCad imports both boards' reset nets as one net ~{RST} unless one is renamed.
    QTest::newRow("a later net and part reading as the first board's")
            << QStringList {board({"!SW"}, "<signal name='!RST'/>"),
                            board({"!SW!", "!S!W"},
                                  "<signal name='!RST!'><contactref element='!SW!' pad='1'/>"
                                  "<wire x1='1' y1='2' x2='3' y2='2' width='0.2' layer='1'/>"
                                  "</signal><signal name='RST'/>")}
            << QStringList {"!SW", "NewName0", "!S!W", "!RST", "NewName1", "RST"};
}

void TestWritePanel::freshNamesNeverClash()
{
    QFETCH(QStringList, boards);
    QFETCH(QStringList, names);
    const QDomDocument panel = parseXml(runWritePanel(boards, path("clash.brd")));
    const QStringList entries = entryNames(panel.documentElement(), "elements")
            + entryNames(panel.documentElement(), "signals");
    QCOMPARE(entries, names);
    QSet<QString> folded;
    for (const QString &name : entries)
        folded.insert(name.toCaseFolded());
    QCOMPARE(folded.size(), entries.size());
    // The references of a renamed copy follow its names.
    QList<PlacedBoard> placed;
    for (const QString &boardText : boards)
        placed.append({boardText});
    const QString difference = copiesDifference(panel, placed);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestWritePanel::laterCopiesChangeNamesOnly_data()
{
    QTest::addColumn<QStringList>("boards");

    const QString library = "<library name='lib'><packages><package name='p'>"
                            "<smd name='1' x='-1' y='0' dx='1' dy='1' layer='1' rot='R90'/>"
                            "<smd name='2' x='1' y='0' dx='1' dy='1' layer='1'/></package>"
                            "</packages></library>";
    auto withParts = [&](const QString &parts, const QString &signalList) {
        QString text = board({}, signalList);
        text.replace("<libraries/>", "<libraries>" + library + "</libraries>");
        return text.replace("<elements></elements>", "<elements>" + parts + "</elements>");
    };
    // Three copies: the third writes its library again as the second did.
    auto copies = [](const QString &board) {
        return QStringList {board, board, board};
    };
    // Named after the rotations of the other parts and of their pads.
    QTest::newRow("parts named R90 and R180 beside rotated parts") << copies(
            withParts("<element name='R90' library='lib' package='p' x='1' y='2' rot='R90'/>"
                      "<element name='R180' library='lib' package='p' rot='R180'/>"
                      "<element name='U1' library='lib' package='p' rot='MR90'/>",
                      "<signal name='N'><contactref element='R90' pad='1'/>"
                      "<contactref element='R180' pad='2'/></signal>"));
    // A keypad's nets: the pads, the top copper and the sizes read "1" too.
    QTest::newRow("nets 1 to 3 with wires on layer 1") << copies(
            withParts("<element name='K' library='lib' package='p' x='1' y='3'/>",
                      "<signal name='1'><contactref element='K' pad='1'/>"
                      "<wire x1='1' y1='2' x2='3' y2='1' width='1' layer='1'/></signal>"
                      "<signal name='2'><contactref element='K' pad='2'/>"
                      "<via x='2' y='2' extent='1-16' drill='1'/></signal>"
                      "<signal name='3'><wire x1='3' y1='3' x2='1' y2='1' layer='1'/></signal>"));
    QTest::newRow("values equal to net names") << copies(
            withParts("<element name='S1' library='lib' package='p' value='RESET'/>"
                      "<element name='J1' library='lib' package='p' value='USB-C'/>",
                      "<signal name='RESET'><contactref element='S1' pad='1'/></signal>"
                      "<signal name='USB-C'><contactref element='J1' pad='1'/></signal>"));
    QTest::newRow("empty names") << copies(
            withParts("<element name='' library='lib' package='p'/>"
                      "<element name='R1' library='' package='' value=''/>",
                      "<signal name=''><contactref element='' pad=''/></signal>"));
    QTest::newRow("attribute keys, their values and variants") << copies(
            withParts("<element name='R1' library='lib' package='p'>"
                      "<attribute name='NAME' value='R1'/><attribute name='R1' value='10k'/>"
                      "<variant name='R1' populate='no'/></element>",
                      QString()));
    // Pad 2 has no fresh name in the second copy, but two boards with a net
    // "2" between make it one in the last copy.
    const QString keypad = withParts("<element name='K' library='lib' package='p'/>",
                                     "<signal name='N'><contactref element='K' pad='2'/></signal>");
    const QString net2 = board({}, "<signal name='2'/>");
    QTest::newRow("a pad name that later boards make a duplicate")
            << QStringList {keypad, keypad, net2, net2, keypad};
}

// Copies of hand-made boards: each later one is its board, moved by nothing,
// with its names and the references to them replaced, no more.
void TestWritePanel::laterCopiesChangeNamesOnly()
{
    QFETCH(QStringList, boards);
    const QByteArray text = runWritePanel(boards, path("names.brd"));
    QVERIFY(text.contains("\"NewName0\""));
    QList<PlacedBoard> placed;
    for (const QString &board : boards)
        placed.append({board});
    const QString difference = copiesDifference(parseXml(text), placed);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

// The second copy of a part named R1 prints "R1" as a text, where and how
// its board prints it; the places were worked out by hand.
void TestWritePanel::renamedPartsPrintTheirNames_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QString>("printed");

    const QString label = "size='1.27' font='vector' ratio='15' ";
    // The package's name label stands at (1, 2) from its origin.
    QTest::newRow("R0") << "x='10' y='20'"
                        << "<text x='11' y='22' " + label + "layer='25'>R1</text>";
    QTest::newRow("R90") << "x='10' y='20' rot='R90'"
                         << "<text x='8' y='21' " + label + "layer='25' rot='R90'>R1</text>";
    // (1, 2) turned by 225 degrees: (1.5 - 1) / sqrt 2, -(1 + 2) / sqrt 2.
    QTest::newRow("R225") << "x='10' y='20' rot='R225'"
                          << "<text x='10.707107' y='17.87868' " + label
                    + "layer='25' rot='R225'>R1</text>";
    // Turned, then mirrored: on the bottom side, mirrored.
    QTest::newRow("MR90") << "x='10' y='20' rot='MR90'"
                          << "<text x='12' y='21' " + label + "layer='26' rot='MR90'>R1</text>";
    QTest::newRow("SMR0") << "x='10' y='20' rot='SMR0'"
                          << "<text x='9' y='22' " + label + "layer='26' rot='SMR0'>R1</text>";
    const QString smashed = "x='10' y='20' rot='R90' smashed='yes'>";
    QTest::newRow("smashed: where its name attribute says")
            << smashed + "<attribute name='NAME' x='5' y='6' size='2' layer='25' rot='R270'/>"
            << "<text x='5' y='6' size='2' layer='25' font='vector' ratio='15' "
               "rot='R270'>R1</text>";
    QTest::newRow("smashed: name and key shown")
            << smashed + "<attribute name='NAME' x='5' y='6' size='2' layer='25' display='both'/>"
            << "<text x='5' y='6' size='2' layer='25' font='vector' ratio='15'>NAME = R1</text>";
    QTest::newRow("smashed: a hidden name stays hidden")
            << smashed + "<attribute name='NAME' x='5' y='6' size='2' layer='25' display='off'/>"
            << QString();
    QTest::newRow("smashed: the key shown is no name")
            << smashed + "<attribute name='NAME' x='5' y='6' size='2' layer='25' display='name'/>"
            << QString();
    QTest::newRow("smashed without a name attribute") << smashed << QString();
}

void TestWritePanel::renamedPartsPrintTheirNames()
{
    QFETCH(QString, part);
    QFETCH(QString, printed);
    QString text = board({});
    text.replace("<libraries/>",
                 "<libraries><library name='lib'><packages><package name='p'>"
                 "<text x='1' y='2' size='1.27' layer='25' font='vector' ratio='15'>&gt;NAME</text>"
                 "<text x='1' y='-2' size='1' layer='27'>&gt;VALUE</text></package></packages>"
                 "</library></libraries>");
    const QString element = "<element name='R1' library='lib' package='p' " + part;
    text.replace("<elements></elements>",
                 "<elements>" + element + (part.endsWith('>') ? "</element>" : "/>")
                         + "</elements>");
    const QDomDocument panel = parseXml(runWritePanel({text, text}, path("labels.brd")));
    const QDomNodeList texts =
            panel.elementsByTagName("plain").item(0).toElement().elementsByTagName("text");
    if (printed.isEmpty()) {
        QCOMPARE(texts.count(), 0);
    } else {
        QCOMPARE(texts.count(), 1);
        const QString difference =
                treeDifference(parseXml(printed).documentElement(), texts.item(0).toElement());
        QVERIFY2(difference.isEmpty(), qPrintable(difference));
    }
    const QString difference = copiesDifference(panel, {{text}, {text}});
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestWritePanel::numberedDefinitionsFollowTheBoards_data()
{
    QTest::addColumn<QStringList>("boards");
    QTest::addColumn<QStringList>("classes");
    QTest::addColumn<QStringList>("layers");

    Tables base;
    base.layers = "<layer number='1' name='Top'/><layer number='16' name='Bottom'/>";
    Tables richer;
    richer.classes = "<class number='0' name='wide'/><class number='1' name='power'/>";
    richer.layers = "<layer number='1' name='Oben'/><layer number='100' name='User'/>";
    const QString later = board({"X"}, "<signal name='S' class='1'><wire layer='1'/></signal>",
                                richer, "<wire layer='100'/>");
    Tables other;
    other.classes = "<class number='1' name='other'/>";
    other.layers = "<layer number='100' name='Other'/>";

    QTest::newRow("class 1 and a user layer join, class 0 and layer 1 stay")
            << QStringList {board({"A"}, QString(), base), later}
            << QStringList {"0:default", "1:power"}
            << QStringList {"1:Top", "16:Bottom", "100:User"};
    QTest::newRow("the first definition of a number stays")
            << QStringList {board({"A"}, QString(), base), later, board({"Y"}, QString(), other)}
            << QStringList {"0:default", "1:power"}
            << QStringList {"1:Top", "16:Bottom", "100:User"};
    // Numbers are compared as the boards write them, whatever names clash.
    QTest::newRow("a part named 1 in both boards")
            << QStringList {board({"1"}, QString(), base),
                            board({"1"}, "<signal name='S' class='1'><wire layer='1'/></signal>",
                                  richer)}
            << QStringList {"0:default", "1:power"}
            << QStringList {"1:Top", "16:Bottom", "100:User"};
    QTest::newRow("same tables, nothing added")
            << QStringList {board({"A"}), board({"B"})} << QStringList {"0:default"}
            << QStringList {"1:Top"};
    QString bare = board({"A"});
    bare.replace("<classes><class number='0' name='default'/></classes>", "");
    QTest::newRow("a panel without net classes gets none")
            << QStringList {bare, later} << QStringList() << QStringList {"1:Top", "100:User"};
}

void TestWritePanel::numberedDefinitionsFollowTheBoards()
{
    QFETCH(QStringList, boards);
    QFETCH(QStringList, classes);
    QFETCH(QStringList, layers);
    const QDomElement root = parseXml(runWritePanel(boards, path("tables.brd"))).documentElement();
    QCOMPARE(numbered(root, "classes"), classes);
    QCOMPARE(numbered(root, "layers"), layers);
}

void TestWritePanel::sectionsOfTheFirstBoardTakeAllLaterContent()
{
    // The third board's first "signals" stands inside its drawing; once the
    // drawing is appended, a copy of it stands in the panel's drawing too.
    // Later boards' signals still go to the first board's own section, the
    // one the panel was made from, never into a copy inside another board.
    const QString nested = board({"X"}, QString(), Tables(),
                                 "<group><signals><signal name='S'/></signals></group>");
    const QDomElement root =
            parseXml(runWritePanel({board({"A"}, "<signal name='N'/>"), board({"B"}), nested},
                                   path("nested.brd")))
                    .documentElement();
    const QDomElement plain = root.elementsByTagName("plain").item(0).toElement();
    QCOMPARE(plain.elementsByTagName("signal").count(), 1);
    const QDomElement ownSignals =
            root.firstChildElement("drawing").firstChildElement("board").firstChildElement(
                    "signals");
    QCOMPARE(ownSignals.childNodes().count(), 2);
    QCOMPARE(ownSignals.lastChildElement().attribute("name"), QStringLiteral("S"));
}

void TestWritePanel::writesIndentedTextInSourceOrder()
{
    const QByteArray text = runWritePanel(
            {"<?xml version='1.0'?><!DOCTYPE eagle SYSTEM 'eagle.dtd'><eagle z='1' a='2'><board>"
             "<plain/><description>Ohm &amp; more</description><!-- note --><?pi x?>"
             "<text a='&quot;&#10;'>&lt;x&gt;</text></board></eagle>"},
            path("format.brd"));
    QCOMPARE(text,
             QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<eagle z=\"1\" a=\"2\">\n"
                        "   <board>\n"
                        "      <plain/>\n"
                        "      <description>Ohm &amp; more</description>\n"
                        "      <text a=\"&quot;&#10;\">&lt;x&gt;</text>\n"
                        "   </board>\n"
                        "</eagle>\n"));
}

void TestWritePanel::cutsTheTailOfALongerFile()
{
    const QString file = path("longer.brd");
    QVERIFY(writeWholeFile(file, QByteArray(100000, 'x')));
    const QByteArray text = runWritePanel({board({"A"}), board({"A"})}, file);
    QVERIFY(text.size() < 100000);
    QVERIFY(!text.contains("xxxx"));
    QVERIFY(text.endsWith("</eagle>\n"));
    QXmlStreamReader reader(text);
    while (!reader.atEnd())
        reader.readNext();
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
}

void TestWritePanel::reportsAFailedSave()
{
    // The chosen file turned into a folder while the boards were placed, so
    // the written panel cannot take its place.
    const QString output = path("became-a-folder.brd");
    QSaveFile file(output);
    QVERIFY(!openPanelOutput(file));
    QVERIFY(QDir().mkpath(output + "/kept"));
    const std::optional<PanelProblem> problem =
            savePanelOutput(file, assembled({board({"A"}), board({"A"})}).text);
    QVERIFY(problem);
    QCOMPARE(problem->kind, PanelProblem::UnwritableOutput);
    QCOMPARE(problem->file, output);
    QCOMPARE(problem->reason, file.errorString());
    QVERIFY(!problem->reason.isEmpty());
    QVERIFY(!file.isOpen());
    QCOMPARE(QDir(output).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList {"kept"});
    // Nothing of the panel is left beside it.
    QCOMPARE(QDir(directory.path()).entryList({"became-a-folder*"}, QDir::AllEntries),
             QStringList {"became-a-folder.brd"});
}

void TestWritePanel::emptyRunLeavesTheFileAlone()
{
    const QString file = path("kept.brd");
    QVERIFY(writeWholeFile(file, "old content"));
    QCOMPARE(runWritePanel({}, file), QByteArray("old content"));
    QCOMPARE(QDir(directory.path()).entryList({"kept*"}, QDir::Files), QStringList {"kept.brd"});
}

void TestWritePanel::sameBytesWhateverTheHashSeed()
{
    REQUIRE_REAL_BOARDS();
    const QStringList boards {realBoardText("OpenLog.brd"), realBoardText("SBCONN.brd"),
                              realBoardText("OpenLog.brd")};
    QStringList texts;
    QStringList domTexts;
    for (int seed : {1, 2}) {
        // Qt complains on stderr that a seed other than 0 is not stable; that
        // is the point here.
        qSetGlobalQHashSeed(seed);
        texts << QString::fromUtf8(assembled(boards).text.joined());
        domTexts << parseXml(boards.first()).toString(3);
    }
    qSetGlobalQHashSeed(-1);
    // Without a fixed order the seed would show in the attribute order.
    QVERIFY(domTexts.at(0) != domTexts.at(1));
    QCOMPARE(texts.at(0), texts.at(1));
}

void TestWritePanel::sameBytesInAnotherProcess()
{
    REQUIRE_REAL_BOARDS();
    const QStringList files {realBoard("OpenLog.brd"), realBoard("SBCONN.brd"),
                             realBoard("OpenLog.brd")};
    QList<QByteArray> outputs;
    for (int run = 0; run < 2; ++run) {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("QT_HASH_SEED"); // every process draws its own seed
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(TAVOLIN_PANELBYTES), files);
        QVERIFY(process.waitForFinished(120000));
        QCOMPARE(process.exitCode(), 0);
        outputs << process.readAllStandardOutput();
    }
    QVERIFY(outputs.at(0).size() > 100000);
    QCOMPARE(outputs.at(0), outputs.at(1));
    QVector<BoardCopy> copies;
    for (const QString &file : files)
        copies << readCopy(readWholeFile(file));
    QCOMPARE(assembled(copies).text.joined(), outputs.at(0));
}

void TestWritePanel::laterContentFillsEmptySections()
{
    // The first board's sections are empty elements; a later board's content
    // opens them, at the depth of the section, text straight under a section
    // dropped and text inside its entries kept.
    const QByteArray text =
            runWritePanel({"<eagle><board><plain/><signals/></board></eagle>",
                           "<eagle><board><plain>loose<text x='1'>&gt;NAME</text></plain><signals>"
                           "<signal name='S'><wire x1='0'/></signal></signals></board></eagle>"},
                          path("empty-sections.brd"));
    QCOMPARE(text,
             QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                        "<eagle>\n"
                        "   <board>\n"
                        "      <plain>\n"
                        "         <text x=\"1\">&gt;NAME</text>\n"
                        "      </plain>\n"
                        "      <signals>\n"
                        "         <signal name=\"S\">\n"
                        "            <wire x1=\"0\"/>\n"
                        "         </signal>\n"
                        "      </signals>\n"
                        "   </board>\n"
                        "</eagle>\n"));
}

QTEST_MAIN(TestWritePanel)
#include "tst_writepanel.moc"
