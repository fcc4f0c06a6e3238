#include "app/tavolin.h"
#include "assembly/assemblepanel.h"
#include "paneltesting.h"
#include "support/testsupport.h"

#include <QMessageBox>
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

// writePanel on hand-made boards: the numbering of fresh names, the mended
// faults and what reaches the file.
class TestWritePanel : public QObject
{
    Q_OBJECT

private slots:
    void freshNamesNumberOnAcrossBoards();
    void freshNamesNeverClash_data();
    void freshNamesNeverClash();
    void partAttributeKeysStay();
    void numberedDefinitionsFollowTheBoards_data();
    void numberedDefinitionsFollowTheBoards();
    void sectionsOfTheFirstBoardTakeAllLaterContent();
    void writesIndentedTextInSourceOrder();
    void laterContentFillsEmptySections();
    void cutsTheTailOfALongerFile();
    void reportsAFailedWrite();
    void emptyRunLeavesTheFileAlone();
    void listsAreEmptiedAfterARun();
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
    Tavolin window;
    const QByteArray text = runWritePanel(
            window,
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
    QTest::addColumn<QStringList>("parts");

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
}

void TestWritePanel::freshNamesNeverClash()
{
    QFETCH(QStringList, boards);
    QFETCH(QStringList, parts);
    Tavolin window;
    const QByteArray text = runWritePanel(window, boards, path("clash.brd"));
    const QStringList names = entryNames(parseXml(text).documentElement(), "elements");
    QCOMPARE(names, parts);
    QSet<QString> folded;
    for (const QString &name : names)
        folded.insert(name.toCaseFolded());
    QCOMPARE(folded.size(), names.size());
}

void TestWritePanel::partAttributeKeysStay()
{
    // NAME and VALUE stand on both parts; were they names, the base board
    // alone would make them duplicates and the copy would lose its labels.
    const QString part = "<element name='%1' library='lib' package='p'>"
                         "<attribute name='NAME' value='%1'/><attribute name='VALUE' value='10k'/>"
                         "<variant name='V' populate='no'/></element>";
    QString text = board({});
    text.replace("<elements></elements>",
                 "<elements>" + part.arg("R1") + part.arg("R2") + "</elements>");
    Tavolin window;
    const QDomElement root =
            parseXml(runWritePanel(window, {text, text}, path("keys.brd"))).documentElement();
    QCOMPARE(entryNames(root, "elements"), QStringList({"R1", "R2", "NewName0", "NewName1"}));
    const QDomElement copy = root.elementsByTagName("element").item(2).toElement();
    const QDomNodeList attributes = copy.elementsByTagName("attribute");
    QCOMPARE(attributes.count(), 2);
    QCOMPARE(attributes.item(0).toElement().attribute("name"), QStringLiteral("NAME"));
    QCOMPARE(attributes.item(0).toElement().attribute("value"), QStringLiteral("NewName0"));
    QCOMPARE(attributes.item(1).toElement().attribute("name"), QStringLiteral("VALUE"));
    QCOMPARE(attributes.item(1).toElement().attribute("value"), QStringLiteral("10k"));
    QCOMPARE(copy.firstChildElement("variant").attribute("name"), QStringLiteral("V"));
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
    Tavolin window;
    const QDomElement root =
            parseXml(runWritePanel(window, boards, path("tables.brd"))).documentElement();
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
    Tavolin window;
    const QDomElement root =
            parseXml(runWritePanel(window,
                                   {board({"A"}, "<signal name='N'/>"), board({"B"}), nested},
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
    Tavolin window;
    const QByteArray text = runWritePanel(
            window,
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
    Tavolin window;
    const QByteArray text = runWritePanel(window, {board({"A"}), board({"A"})}, file);
    QVERIFY(text.size() < 100000);
    QVERIFY(!text.contains("xxxx"));
    QVERIFY(text.endsWith("</eagle>\n"));
    QXmlStreamReader reader(text);
    while (!reader.atEnd())
        reader.readNext();
    QVERIFY2(!reader.hasError(), qPrintable(reader.errorString()));
}

void TestWritePanel::reportsAFailedWrite()
{
    if (!QFile::exists("/dev/full"))
        QSKIP("no /dev/full here");
    Tavolin window;
    window.shiftedBoards = QStringList {board({"A"}), board({"A"})};
    window.panelFile = std::make_unique<QFile>("/dev/full");
    QVERIFY(window.panelFile->open(QIODevice::ReadWrite | QIODevice::Text));
    DialogScript script;
    script.dismissMessage();
    window.writePanel();
    QCOMPARE(script.messages.size(), 1);
    const SeenMessage &message = script.messages.first();
    QCOMPARE(message.title, QStringLiteral("Save Panel"));
    QCOMPARE(message.text, "Couldn't write panel file\n" + window.panelFile->errorString());
    QVERIFY(message.text.size() > QStringLiteral("Couldn't write panel file\n").size());
    QCOMPARE(message.icon, int(QMessageBox::Critical));
    QCOMPARE(message.buttons, int(QMessageBox::Ok));
    QVERIFY(script.unexpected.isEmpty());
    QVERIFY(window.shiftedBoards.isEmpty() && window.knownNames.isEmpty()
            && window.duplicateNames.isEmpty());
}

void TestWritePanel::emptyRunLeavesTheFileAlone()
{
    const QString file = path("kept.brd");
    QVERIFY(writeWholeFile(file, "old content"));
    Tavolin window;
    window.knownNames = QStringList {"left", "over"};
    window.duplicateNames = QStringList {"left"};
    DialogScript script;
    QCOMPARE(runWritePanel(window, {}, file), QByteArray("old content"));
    QVERIFY(script.unexpected.isEmpty());
    QVERIFY(window.knownNames.isEmpty() && window.duplicateNames.isEmpty());
    QVERIFY(!window.nameBook.isKnown("left"));
}

void TestWritePanel::listsAreEmptiedAfterARun()
{
    Tavolin window;
    const QStringList boards {board({"A", "B"}), board({"A"})};
    const QByteArray first = runWritePanel(window, boards, path("first.brd"));
    QVERIFY(window.shiftedBoards.isEmpty() && window.knownNames.isEmpty()
            && window.duplicateNames.isEmpty());
    QVERIFY(!window.nameBook.isKnown("A"));
    // The next run starts over: same boards, same file, NewName0 again.
    QCOMPARE(runWritePanel(window, boards, path("second.brd")), first);
    QVERIFY(first.contains("NewName0"));
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
        QStringList known;
        QStringList duplicates;
        NameBook names(known, duplicates);
        texts << QString::fromUtf8(assemblePanel(boards, names));
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
    Tavolin window;
    QStringList boards;
    for (const QString &file : files)
        boards << QString::fromUtf8(readWholeFile(file));
    QCOMPARE(runWritePanel(window, boards, path("here.brd")), outputs.at(0));
}

void TestWritePanel::laterContentFillsEmptySections()
{
    // The first board's sections are empty elements; a later board's content
    // opens them, at the depth of the section, text straight under a section
    // dropped and text inside its entries kept.
    Tavolin window;
    const QByteArray text =
            runWritePanel(window,
                          {"<eagle><board><plain/><signals/></board></eagle>",
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
