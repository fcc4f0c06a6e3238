// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/drivenwindow.h"

#include "core/run/panelpreview.h"

#include <QFileInfo>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtTest>

// The built program run from the command line, as a script runs it: in a
// process of its own, without a display, its stderr lines and exit status
// read. Its panels are compared byte for byte with the window's.
class TestCommandLine : public QObject
{
    Q_OBJECT

private slots:
    void samePanelAsTheWindow_data();
    void samePanelAsTheWindow();
    void exitStatusAndReports_data();
    void exitStatusAndReports();
    void previewIsThePanelsPicture_data();
    void previewIsThePanelsPicture();
    void reportIsTheRun_data();
    void reportIsTheRun();
};

namespace {

struct Run
{
    int status = -1;
    QStringList errorLines;
    QByteArray output;
};

// No display of any kind: the command line must not need one.
Run runTavolin(const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TAVOLIN_EXECUTABLE), arguments);
    Run run;
    if (!process.waitForFinished(300000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.status = process.exitCode();
    run.errorLines = QString::fromLocal8Bit(process.readAllStandardError())
                             .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    run.output = process.readAllStandardOutput();
    return run;
}

QString noFitLine(const QString &board)
{
    return QStringLiteral("tavolin: warning: %1: No fit: Could not fit all Boards on Panel")
            .arg(board);
}

// The numbers of a panel; 0 leaves the window's start value and the
// command line's default.
struct Numbers
{
    int width = 0;
    int height = 0;
    int offset = 0;
};

QStringList numberArguments(const Numbers &numbers)
{
    QStringList arguments;
    if (numbers.width)
        arguments << QStringLiteral("--width") << QString::number(numbers.width);
    if (numbers.height)
        arguments << QStringLiteral("--height=%1").arg(numbers.height);
    if (numbers.offset)
        arguments << QStringLiteral("--offset") << QString::number(numbers.offset);
    return arguments;
}

} // namespace

Q_DECLARE_METATYPE(Numbers)
Q_DECLARE_METATYPE(PanelNumbers)

void TestCommandLine::samePanelAsTheWindow_data()
{
    QTest::addColumn<QStringList>("boards");
    QTest::addColumn<Numbers>("numbers");
    QTest::addColumn<QStringList>("leftOut"); // the boards reported as "No fit"
    QTest::addColumn<bool>("rulesDiffer"); // whether the "Design rules" box comes up

    QTest::newRow("mixed, one fits nowhere")
            << QStringList {"AMG8833_REV-B.brd",        "Graphic_LCD_Backpack.brd",
                            "SparkFun_RTK_Express.brd", "OpenLog.brd",
                            "ChairControl.brd",         "AMG8833_REV-B.brd"}
            << Numbers {200, 150, 3} << QStringList {"ChairControl.brd"} << true;
    QTest::newRow("the window's start values")
            << QStringList {"OpenLog.brd", "Qwiic_LED_Stick.brd", "SnowFlake.brd"} << Numbers()
            << QStringList {"SnowFlake.brd"} << true;
    QTest::newRow("copies of one board, touching")
            << QStringList {"Qwiic_MP3_Trigger.brd", "Qwiic_MP3_Trigger.brd",
                            "Qwiic_MP3_Trigger.brd", "Qwiic_MP3_Trigger.brd"}
            << Numbers {300, 300, 0} << QStringList() << false;
    QTest::newRow("largest board first, others left out")
            << QStringList {"MOAC.brd",
                            "BusPirate-v3.8a-SSOP.brd",
                            "Serial_Controlled_Motor_Driver.brd",
                            "Metro_Mini_328_V2_-_STEMMA_QT.brd",
                            "Robotic_Finger_Sensor.brd",
                            "SBCONN.brd",
                            "MoldTopPCBs.brd"}
            << Numbers {120, 100, 10}
            << QStringList {"BusPirate-v3.8a-SSOP.brd", "SBCONN.brd", "MoldTopPCBs.brd"} << true;
}

void TestCommandLine::samePanelAsTheWindow()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QStringList, boards);
    QFETCH(Numbers, numbers);
    QFETCH(QStringList, leftOut);
    QFETCH(bool, rulesDiffer);
    QTemporaryDir dir;
    const QString windowPanel = dir.filePath(QStringLiteral("window.brd"));
    const QString commandPanel = dir.filePath(QStringLiteral("command.brd"));

    DrivenWindow window;
    QStringList paths;
    for (const QString &board : boards) {
        paths << realBoard(board);
        window.load(paths.last());
    }
    if (numbers.width)
        window.typeInto("panelWidthBox", numbers.width);
    if (numbers.height)
        window.typeInto("panelHeightBox", numbers.height);
    if (numbers.offset)
        window.typeInto("offsetBox", numbers.offset);
    window.makePanel(windowPanel, leftOut.size() + int(rulesDiffer));
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.messages.size(), leftOut.size() + int(rulesDiffer));
    for (int i = 0; i < leftOut.size(); ++i)
        QCOMPARE(window.script.messages.at(i).title, QStringLiteral("No fit"));
    const QString rulesBox = rulesDiffer ? window.script.messages.last().text : QString();
    if (rulesDiffer)
        QCOMPARE(window.script.messages.last().title, QStringLiteral("Design rules"));

    const Run run = runTavolin(numberArguments(numbers)
                               << QStringLiteral("--output") << commandPanel << paths);
    QStringList expectedLines;
    for (const QString &board : leftOut)
        expectedLines << noFitLine(realBoard(board));
    QCOMPARE(run.errorLines.mid(0, leftOut.size()), expectedLines);
    // Then a warning for each rule the box lists, in the box's words.
    const QStringList ruleLines = run.errorLines.mid(leftOut.size());
    QCOMPARE(ruleLines.isEmpty(), !rulesDiffer);
    const QString rulePrefix = QStringLiteral("tavolin: warning: Design rules: ");
    for (const QString &line : ruleLines) {
        QVERIFY2(line.startsWith(rulePrefix), qPrintable(line));
        QVERIFY2(rulesBox.contains(QLatin1Char('\n') + line.mid(rulePrefix.size())
                                   + QLatin1Char('\n')),
                 qPrintable(line));
    }
    QCOMPARE(run.status, leftOut.isEmpty() && !rulesDiffer ? 0 : 3);
    QVERIFY(run.output.isEmpty());
    const QByteArray panel = readWholeFile(commandPanel);
    QVERIFY(panel.startsWith("<?xml"));
    QVERIFY(panel == readWholeFile(windowPanel));
}

void TestCommandLine::exitStatusAndReports_data()
{
    // In the arguments and lines, %B stands for the real boards' folder and
    // %D for a fresh folder of the test's own; the panel goes to %D/panel.brd.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QStringList>("lines"); // stderr, line by line
    QTest::addColumn<bool>("written"); // whether %D/panel.brd exists afterwards
    QTest::addColumn<QString>("printed"); // a line stdout holds; empty: stdout is empty

    const QString output = QStringLiteral("--output=%D/panel.brd");
    const QString openLog = QStringLiteral("%B/OpenLog.brd");
    const QString chair = QStringLiteral("%B/ChairControl.brd");
    const auto usage = [](const QString &line) {
        return QStringList {QStringLiteral("tavolin: ") + line,
                            QStringLiteral("tavolin: see 'tavolin --help'")};
    };
    const QString range = QStringLiteral("%1 takes whole millimetres from 0 to %2, not \"%3\"");

    QTest::newRow("written, nothing reported")
            << QStringList {output, openLog, openLog} << 0 << QStringList() << true << QString();
    QTest::newRow("board that fits nowhere") << QStringList {output, chair, openLog} << 3
                                             << QStringList {noFitLine(chair)} << true << QString();
    QTest::newRow("board that cannot be read")
            << QStringList {output, QStringLiteral("%D/missing.brd"), openLog} << 3
            << QStringList {QStringLiteral(
                       "tavolin: warning: Couldn't open %D/missing.brd: No such file or directory")}
            << true << QString();
    QTest::newRow("no board fits")
            << QStringList {output, chair} << 1
            << QStringList {noFitLine(chair),
                            QStringLiteral("tavolin: error: %D/panel.brd: no board placed, nothing "
                                           "written")}
            << false << QString();
    QTest::newRow("folder that does not exist")
            << QStringList {QStringLiteral("--output"), QStringLiteral("%D/none/panel.brd"),
                            openLog}
            << 1
            << QStringList {QStringLiteral(
                       "tavolin: error: %D/none/panel.brd: Couldn't open save Location")}
            << false << QString();
    QTest::newRow("width above the spin box's")
            << QStringList {QStringLiteral("--width"), QStringLiteral("301"), output, openLog} << 2
            << usage(range.arg(QStringLiteral("--width"), QStringLiteral("300"),
                               QStringLiteral("301")))
            << false << QString();
    QTest::newRow("negative height")
            << QStringList {QStringLiteral("--height=-1"), output, openLog} << 2
            << usage(range.arg(QStringLiteral("--height"), QStringLiteral("300"),
                               QStringLiteral("-1")))
            << false << QString();
    QTest::newRow("offset above the spin box's")
            << QStringList {QStringLiteral("--offset"), QStringLiteral("51"), output, openLog} << 2
            << usage(range.arg(QStringLiteral("--offset"), QStringLiteral("50"),
                               QStringLiteral("51")))
            << false << QString();
    QTest::newRow("width not in whole millimetres")
            << QStringList {QStringLiteral("--width"), QStringLiteral("80.5"), output, openLog} << 2
            << usage(range.arg(QStringLiteral("--width"), QStringLiteral("300"),
                               QStringLiteral("80.5")))
            << false << QString();
    QTest::newRow("numbers without an output")
            << QStringList {QStringLiteral("--width"), QStringLiteral("100"), openLog} << 2
            << usage(QStringLiteral("--width, --height, --offset and the frame settings need "
                                    "--output, --preview or --report"))
            << false << QString();
    const QString turnUsage = QStringLiteral(
            "--turn takes BOARD=DEGREES, BOARD the place of a board among those given (1 to 2) "
            "and DEGREES 0, 90, 180 or 270, not \"%1\"");
    for (const char *turn : {"3=90", "1=45", "0=90", "1", "x=90"}) {
        QTest::addRow("turn %s", turn)
                << QStringList {QStringLiteral("--turn"), QLatin1String(turn), output, openLog,
                                openLog}
                << 2 << usage(turnUsage.arg(QLatin1String(turn))) << false << QString();
    }
    QTest::newRow("rails too narrow for fiducials and tooling holes")
            << QStringList {QStringLiteral("--frame=2"),
                            QStringLiteral("--fiducials"),
                            QStringLiteral("--tooling-holes"),
                            QStringLiteral("2"),
                            output,
                            openLog}
            << 3
            << QStringList {QStringLiteral("tavolin: warning: The frame is too narrow for "
                                           "fiducials: the panel has none"),
                            QStringLiteral("tavolin: warning: The frame is too narrow for "
                                           "tooling holes: the panel has none")}
            << true << QString();
    // Hugging OpenLog, the panel would be too narrow for the fiducials.
    QTest::newRow("the set size keeps room for the fiducials")
            << QStringList {QStringLiteral("--frame=5"),
                            QStringLiteral("--offset=0"),
                            QStringLiteral("--fiducials"),
                            QStringLiteral("--fixed-size"),
                            output,
                            openLog}
            << 0 << QStringList() << true << QString();
    QTest::newRow("a lone board without rails gets no tabs")
            << QStringList {QStringLiteral("--tabs"), QStringLiteral("5"), output, openLog} << 1
            << QStringList {QStringLiteral("tavolin: warning: %B/OpenLog.brd: No fit: Could not "
                                           "hold the Board with two Tabs"),
                            QStringLiteral("tavolin: error: %D/panel.brd: no board placed, nothing "
                                           "written")}
            << false << QString();
    QTest::newRow("tabs narrower than half a millimetre")
            << QStringList {QStringLiteral("--tabs=0.4"), output, openLog} << 2
            << usage(QStringLiteral("--tabs takes millimetres from 0.5 to 50 or 0, not \"0.4\""))
            << false << QString();
    const QString jlcpcb = QStringLiteral("--preset=jlcpcb");
    QTest::newRow("a panel in JLCPCB's limits") << QStringList {jlcpcb, output, openLog, openLog}
                                                << 0 << QStringList() << true << QString();
    QTest::newRow("JLCPCB's limits, 3 mm rails")
            << QStringList {jlcpcb, QStringLiteral("--frame=3"), output, openLog, openLog} << 3
            << QStringList {QStringLiteral("tavolin: warning: The rails are 3 mm wide; JLCPCB "
                                           "asks for at least 5 mm"),
                            QStringLiteral("tavolin: warning: A fiducial is 2 mm from the "
                                           "panel's edge; JLCPCB asks for at least 3.58 mm")}
            << true << QString();
    QTest::newRow("JLCPCB's limits, a 60 x 60 mm V-cut panel")
            << QStringList {jlcpcb,
                            QStringLiteral("--vcuts"),
                            QStringLiteral("--fixed-size"),
                            QStringLiteral("--width=60"),
                            QStringLiteral("--height=60"),
                            output,
                            openLog,
                            openLog,
                            openLog,
                            openLog}
            << 3
            << QStringList {QStringLiteral("tavolin: warning: The panel is 60 x 60 mm; JLCPCB "
                                           "V-cuts panels of at least 70 x 70 mm"),
                            QStringLiteral("tavolin: warning: %B/OpenLog.brd: Copper comes 0 mm "
                                           "near a V-cut; JLCPCB asks for at least 0.4 mm")}
            << true << QString();
    QTest::newRow("a house without a preset")
            << QStringList {QStringLiteral("--preset=acme"), output, openLog} << 2
            << usage(QStringLiteral(
                       "--preset takes jlcpcb, pcbway, eurocircuits, oshpark, not \"acme\""))
            << false << QString();
    QTest::newRow("no board") << QStringList {output} << 2
                              << usage(QStringLiteral("no board file given")) << false << QString();
    QTest::newRow("unknown option")
            << QStringList {QStringLiteral("--copies=3"), output, openLog} << 2
            << usage(QStringLiteral("Unknown option 'copies'.")) << false << QString();
    QTest::newRow("help") << QStringList {QStringLiteral("--help")} << 0 << QStringList() << false
                          << QStringLiteral("  --output <file>         Write the panel to <file>, "
                                            "without a window.");
    QTest::newRow("version") << QStringList {QStringLiteral("--version")} << 0 << QStringList()
                             << false << QStringLiteral("tavolin 0.1");
}

void TestCommandLine::exitStatusAndReports()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, lines);
    QFETCH(QString, printed);
    QTemporaryDir dir;
    const auto place = [&dir](QString text) {
        return text.replace(QLatin1String("%B"), realBoardsDir())
                .replace(QLatin1String("%D"), dir.path());
    };
    for (QString &argument : arguments)
        argument = place(argument);
    for (QString &line : lines)
        line = place(line);

    const Run run = runTavolin(arguments);
    QTEST(run.status, "status");
    QCOMPARE(run.errorLines, lines);
    QTEST(QFileInfo::exists(dir.filePath(QStringLiteral("panel.brd"))), "written");
    if (printed.isEmpty())
        QCOMPARE(run.output, QByteArray());
    else
        QVERIFY2(QString::fromLocal8Bit(run.output).split(QLatin1Char('\n')).contains(printed),
                 run.output.constData());
    // Nothing is left behind beside the panel: no half-written file.
    const QStringList left =
            QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QVERIFY(left.isEmpty() || left == QStringList {QStringLiteral("panel.brd")});
}

void TestCommandLine::previewIsThePanelsPicture_data()
{
    QTest::addColumn<QStringList>("boards");
    QTest::addColumn<PanelNumbers>("numbers");
    QTest::addColumn<QString>("picture");
    PanelNumbers numbers;
    numbers.width = 200;
    numbers.height = 150;
    numbers.offset = 3;
    QTest::newRow("rows, one left out, PNG")
            << QStringList {"OpenLog.brd", "ChairControl.brd", "SnowFlake.brd", "OpenLog.brd"}
            << numbers << QStringLiteral("p.png");
    numbers.frame.frameWidth = 5;
    numbers.frame.tabWidth = 5;
    numbers.frame.fiducials = true;
    numbers.frame.toolingDrill = 2;
    QTest::newRow("framed, hugging its boards, SVG")
            << QStringList {"OpenLog.brd", "Qwiic_LED_Stick.brd", "AMG8833_REV-B.brd",
                            "Metro_Mini_328_V2_-_STEMMA_QT.brd"}
            << numbers << QStringLiteral("p.svg");
}

// The picture has the panel's proportions, with or without a panel written
// beside it; the panel and the reports stay what they are without it.
void TestCommandLine::previewIsThePanelsPicture()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QStringList, boards);
    QFETCH(PanelNumbers, numbers);
    QFETCH(QString, picture);
    QTemporaryDir dir;
    QStringList paths;
    QVector<PanelBoard> loaded;
    for (const QString &board : boards) {
        paths << realBoard(board);
        loaded << measuredBoard(paths.last(), MeasuredBoards().measure(paths.last()).box);
    }
    const PanelPreview preview = previewPanel(loaded, numbers);
    const FrameSettings &frame = numbers.frame;
    const QStringList settings = numberArguments({numbers.width, numbers.height, numbers.offset})
            + (frame.isOff()
                       ? QStringList()
                       : QStringList {QStringLiteral("--frame=%1").arg(frame.frameWidth),
                                      QStringLiteral("--tabs=%1").arg(frame.tabWidth),
                                      QStringLiteral("--tooling-holes=%1").arg(frame.toolingDrill),
                                      QStringLiteral("--fiducials")});
    const QString plainPanel = dir.filePath(QStringLiteral("plain.brd"));
    const Run plain =
            runTavolin(settings + QStringList {QStringLiteral("--output"), plainPanel} + paths);
    for (const bool withPanel : {false, true}) {
        const QString picturePath = dir.filePath(QString::number(withPanel) + picture);
        const QString panelPath = dir.filePath(QStringLiteral("panel.brd"));
        QStringList arguments = settings + QStringList {QStringLiteral("--preview"), picturePath};
        if (withPanel)
            arguments << QStringLiteral("--output") << panelPath;
        const Run run = runTavolin(arguments + paths);
        // Alone, the picture knows nothing of the design rules.
        QCOMPARE(run.errorLines, plain.errorLines.mid(0, withPanel ? -1 : run.errorLines.size()));
        QCOMPARE(run.status, withPanel ? plain.status : run.errorLines.isEmpty() ? 0 : 3);
        QCOMPARE(QFile::exists(panelPath), withPanel);
        if (withPanel)
            QVERIFY(readWholeFile(panelPath) == readWholeFile(plainPanel));
        const QSizeF size = picture.endsWith(QLatin1String(".svg"))
                ? QSvgRenderer(picturePath).viewBoxF().size()
                : QSizeF(QImage(picturePath).size());
        QVERIFY(!size.isEmpty());
        QVERIFY2(std::abs(size.width() / size.height() - double(preview.width) / preview.height)
                         < 0.01,
                 qPrintable(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height())));
    }
}

void TestCommandLine::reportIsTheRun_data()
{
    QTest::addColumn<QStringList>("boards");
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QList<int>>("turns"); // of each board named, in quarter turns
    QTest::addColumn<bool>("packed");
    QTest::addColumn<bool>("fill");
    const QStringList mixed {"ChairControl.brd", "OpenLog.brd",         "MOAC.brd",
                             "SnowFlake.brd",    "Qwiic_LED_Stick.brd", "AMG8833_REV-B.brd"};
    QTest::newRow("turned, one left out")
            << mixed << QStringList {"--turn=2=90", "--turn", "3=270", "--turn=6=180"}
            << QList<int> {0, 1, 3, 0, 0, 2} << false << false;
    QTest::newRow("packed") << mixed << QStringList {"--pack", "--turn=4=90"}
                            << QList<int> {0, 0, 0, 1, 0, 0} << true << false;
    QTest::newRow("filled, framed")
            << QStringList {"OpenLog.brd", "AMG8833_REV-B.brd"}
            << QStringList {"--fill", "--frame=5", "--tabs=3", "--turn=2=90"} << QList<int> {0, 1}
            << false << true;
}

// The report tells where the run put each copy, turned how, and which boards
// it left out and why: as the run made the panel written beside it.
void TestCommandLine::reportIsTheRun()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QStringList, boards);
    QFETCH(QStringList, options);
    QFETCH(QList<int>, turns);
    QFETCH(bool, packed);
    QFETCH(bool, fill);
    QTemporaryDir dir;
    QStringList paths;
    QVector<PanelBoard> loaded;
    for (int i = 0; i < boards.size(); ++i) {
        paths << realBoard(boards.at(i));
        loaded << measuredBoard(paths.last(), MeasuredBoards().measure(paths.last()).box);
        loaded.last().turn = turns.at(i);
    }
    PanelNumbers numbers;
    numbers.width = 150;
    numbers.height = 150;
    numbers.offset = 2;
    numbers.packed = packed;
    if (fill) {
        numbers.frame.frameWidth = 5;
        numbers.frame.tabWidth = 3;
        loaded = filledBoards({}, loaded, numbers);
        QVERIFY(loaded.size() > boards.size());
    }
    const AssembledPanel panel = assembleBoards(loaded, numbers);
    const QString reportPath = dir.filePath(QStringLiteral("run.json"));
    const Run run = runTavolin(QStringList {"--width=150", "--height=150", "--offset=2", "--report",
                                            reportPath, "--output",
                                            dir.filePath(QStringLiteral("panel.brd"))}
                               + options + paths);
    QCOMPARE(run.status, panel.problems.isEmpty() ? 0 : 3);
    const QJsonObject report = QJsonDocument::fromJson(readWholeFile(reportPath)).object();
    QCOMPARE(report.value("panel").toObject().value("width").toInt(), panel.width);
    QCOMPARE(report.value("panel").toObject().value("height").toInt(), panel.height);
    const QJsonArray placed = report.value("placed").toArray();
    QCOMPARE(placed.size(), panel.placements.size());
    for (int i = 0; i < placed.size(); ++i) {
        const QJsonObject copy = placed.at(i).toObject();
        const PanelPlacement &placement = panel.placements.at(i);
        QCOMPARE(copy.value("board").toString(), loaded.at(placement.board).path);
        QCOMPARE(copy.value("row").toInt(), placement.board % boards.size() + 1);
        QCOMPARE(copy.value("dx").toInt(), placement.shift.dx);
        QCOMPARE(copy.value("dy").toInt(), placement.shift.dy);
        QCOMPARE(copy.value("turn").toInt(), 90 * placement.shift.turn);
    }
    QStringList leftOut;
    for (const QJsonValue &board : report.value("leftOut").toArray())
        leftOut << QStringLiteral("%1 %2").arg(board["row"].toInt()).arg(board["why"].toString());
    QStringList expected;
    for (const PanelProblem &problem : panel.problems) {
        if (problem.kind == PanelProblem::NoFit)
            expected << QStringLiteral("%1 No fit").arg(problem.board % boards.size() + 1);
    }
    QCOMPARE(leftOut, expected);
    QCOMPARE(report.value("designRules").toArray().isEmpty(),
             std::none_of(panel.problems.begin(), panel.problems.end(), [](const PanelProblem &p) {
                 return p.kind == PanelProblem::DesignRules;
             }));
}

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
