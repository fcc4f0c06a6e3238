// SPDX-License-Identifier: GPL-3.0-or-later
#include "merge/copyfidelity.h"
#include "support/drivenwindow.h"

#include <QAbstractButton>
#include <QDomDocument>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <cmath>
#include <csignal>
#include <cstdio>

#include <sys/resource.h>
#include <unistd.h>

// The make-panel run end to end, as a user makes a panel: boards loaded
// through the open dialog, the panel size typed in, the button pressed, the
// save dialog answered and every message box read. The written file is then
// checked as a board house would: every board whole, inside the panel, in a
// slot of its own.
class TestMakePanel : public QObject
{
    Q_OBJECT

private slots:
    void panelOfRealBoards();
    void boardThatFitsNowhereIsReportedAndSkipped();
    void cancelledSaveDialogWritesNothing();
    void unwritableLocationIsReported_data();
    void unwritableLocationIsReported();
    void boardDeletedAfterLoadingIsReportedAndTheRunGoesOn();
    void loadedBoardChosenAsOutputIsReadBeforeItIsOverwritten();
    void faultWhileSavingKeepsTheChosenFile_data();
    void faultWhileSavingKeepsTheChosenFile();
    void twoRunsInARowWriteTheSameBytes();
    void designRulesBoxLetsTheUserChoose_data();
    void designRulesBoxLetsTheUserChoose();
    void runWithoutBoardsLeavesTheOutputAlone_data();
    void runWithoutBoardsLeavesTheOutputAlone();
};

namespace {

struct Box
{
    double left = 1e300, bottom = 1e300, right = -1e300, top = -1e300;
    void takeIn(double x, double y)
    {
        left = std::min(left, x);
        right = std::max(right, x);
        bottom = std::min(bottom, y);
        top = std::max(top, y);
    }
    bool overlaps(const Box &other) const
    {
        return left < other.right && other.left < right && bottom < other.top && other.bottom < top;
    }
};

QDomDocument parse(const QByteArray &bytes)
{
    QDomDocument document;
    QString error;
    if (!document.setContent(bytes, &error))
        qWarning("does not parse: %s", qPrintable(error));
    return document;
}

QDomElement section(const QDomDocument &document, const QString &name)
{
    return document.documentElement().elementsByTagName(name).item(0).toElement();
}

QList<QDomElement> children(const QDomElement &parent, const QString &tag)
{
    QList<QDomElement> result;
    for (QDomElement child = parent.firstChildElement(tag); !child.isNull();
         child = child.nextSiblingElement(tag))
        result << child;
    return result;
}

// Outline wires straight under "plain", as their end points.
QList<QDomElement> outlineWires(const QDomDocument &document)
{
    QList<QDomElement> wires;
    for (const QDomElement &wire :
         children(section(document, QStringLiteral("plain")), QStringLiteral("wire"))) {
        if (wire.attribute(QStringLiteral("layer")).toInt() == 20)
            wires << wire;
    }
    return wires;
}

Box boxOf(const QList<QDomElement> &wires)
{
    Box box;
    for (const QDomElement &wire : wires) {
        box.takeIn(wire.attribute(QStringLiteral("x1")).toDouble(),
                   wire.attribute(QStringLiteral("y1")).toDouble());
        box.takeIn(wire.attribute(QStringLiteral("x2")).toDouble(),
                   wire.attribute(QStringLiteral("y2")).toDouble());
    }
    return box;
}

int count(const QDomDocument &document, const char *sectionName, const char *tag)
{
    return children(section(document, QLatin1String(sectionName)), QLatin1String(tag)).size();
}

// A run shows the wait cursor from the answer to the save dialog to its end,
// and the normal cursor over each of its `boxes` message boxes, with the wait
// cursor under it to come back afterwards. Nothing is left overridden.
void verifyBusyRun(const DialogScript &script, int boxes)
{
    // The save dialog, and the question whether to replace the file.
    const int dialogs = script.cursors.size() - boxes;
    QVERIFY(dialogs == 1 || dialogs == 2);
    QList<CursorStack> expected;
    for (int dialog = 0; dialog < dialogs; ++dialog)
        expected.append(CursorStack());
    for (int box = 0; box < boxes; ++box)
        expected.append({Qt::ArrowCursor, Qt::WaitCursor});
    QCOMPARE(script.cursors, expected);
    QCOMPARE(overrideCursors(), CursorStack());
}

// Everything in a folder, hidden files too.
QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden
                                  | QDir::System);
}

// This test run again as a child process that saves a panel under a fault.
const char faultySaveOption[] = "--faulty-save";

void killSelf(int)
{
    ::kill(::getpid(), SIGKILL);
}

// The child: loads `board` twice and saves their panel over it, in a process
// that may write no file beyond `limit` bytes. Past the limit a write fails
// ("limit") or the process is killed on the spot ("kill"). Prints each
// message box the run shows, one a line.
int faultySave(const char *fault, const QString &board, rlim_t limit)
{
    const rlimit fileSize {limit, limit};
    if (::setrlimit(RLIMIT_FSIZE, &fileSize) != 0)
        return 2;
    if (qstrcmp(fault, "limit") == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
    } else {
        struct sigaction action = {};
        action.sa_handler = killSelf;
        ::sigaction(SIGXFSZ, &action, nullptr);
    }
    DrivenWindow window;
    window.load(board);
    window.load(board);
    window.makePanel(board, 1);
    for (const SeenMessage &message : window.script.messages)
        std::printf("%s\n",
                    (message.title + '\n' + message.text).toUtf8().toPercentEncoding().constData());
    for (const QString &unexpected : window.script.unexpected)
        std::printf("unexpected %s\n", qPrintable(unexpected));
    return 0;
}

} // namespace

void TestMakePanel::panelOfRealBoards()
{
    REQUIRE_REAL_BOARDS();
    // Chosen for variety: outline at the origin, reaching into negative x,
    // into negative y, a small one, one that fits nowhere, and a second copy.
    const QStringList files = {"AMG8833_REV-B.brd",        "Graphic_LCD_Backpack.brd",
                               "SparkFun_RTK_Express.brd", "OpenLog.brd",
                               "ChairControl.brd",         "AMG8833_REV-B.brd"};
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("panel.brd"));
    DrivenWindow window;
    for (const QString &file : files)
        window.load(realBoard(file));
    window.typeInto("panelWidthBox", 200);
    window.typeInto("panelHeightBox", 150);
    window.typeInto("offsetBox", 3);
    window.makePanel(output, 2);
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.messages.size(), 2);
    QCOMPARE(window.script.messages.first().title, QStringLiteral("No fit"));
    QCOMPARE(window.script.messages.first().text,
             QStringLiteral("Could not fit all Boards on Panel"));
    // The boards' stop frames differ, which no copy can carry: the user is
    // told, goes on, and the panel is written.
    QCOMPARE(window.script.messages.last().title, QStringLiteral("Design rules"));

    const QDomDocument panel = parse(readWholeFile(output));
    QVERIFY(!panel.documentElement().isNull());
    // Worked out by hand from the measured boxes: sizes round up to whole
    // millimetres, each box's start moves to its slot by whole millimetres
    // (RTK's, at (0.837, -0.275), by (0, 1)), ChairControl (150 by 84) fits
    // neither in row 0 nor in the next, which starts 3 mm above row 0's
    // tallest board (111 mm).
    const QList<int> placedIndexes = {0, 1, 2, 3, 5};
    const QList<QPoint> shifts = {{0, 0}, {30, 0}, {85, 1}, {158, 0}, {0, 114}};

    QList<QDomElement> panelWires = outlineWires(panel);
    QList<PlacedBoard> placedBoards;
    QList<Box> placedBoxes;
    for (int placed = 0; placed < placedIndexes.size(); ++placed) {
        const QByteArray bytes = readWholeFile(realBoard(files.at(placedIndexes.at(placed))));
        placedBoards.append({QString::fromUtf8(bytes), double(shifts.at(placed).x()),
                             double(shifts.at(placed).y())});
        const QDomDocument source = parse(bytes);
        const QList<QDomElement> sourceWires = outlineWires(source);
        QVERIFY(panelWires.size() >= sourceWires.size());
        const QList<QDomElement> copyWires = panelWires.mid(0, sourceWires.size());
        panelWires = panelWires.mid(sourceWires.size());

        const Box sourceBox = boxOf(sourceWires);
        const Box copyBox = boxOf(copyWires);
        const QPoint shift = shifts.at(placed);
        QVERIFY(std::abs(copyBox.left - (sourceBox.left + shift.x())) < 1e-6);
        QVERIFY(std::abs(copyBox.bottom - (sourceBox.bottom + shift.y())) < 1e-6);
        QVERIFY(std::abs(copyBox.right - (sourceBox.right + shift.x())) < 1e-6);
        QVERIFY(std::abs(copyBox.top - (sourceBox.top + shift.y())) < 1e-6);
        QVERIFY2(copyBox.left >= 0 && copyBox.bottom >= 0 && copyBox.right <= 200
                         && copyBox.top <= 150,
                 qPrintable(files.at(placedIndexes.at(placed))));
        for (const Box &other : placedBoxes)
            QVERIFY(!copyBox.overlaps(other));
        placedBoxes << copyBox;
    }
    QVERIFY(panelWires.isEmpty());
    // Boards of a row keep the offset between their outlines.
    QVERIFY(placedBoxes.at(1).left - placedBoxes.at(0).right >= 3);
    QVERIFY(placedBoxes.at(2).left - placedBoxes.at(1).right >= 3);
    QVERIFY(placedBoxes.at(3).left - placedBoxes.at(2).right >= 3);
    // And so do rows.
    QVERIFY(placedBoxes.at(4).bottom - placedBoxes.at(2).top >= 3);

    // Every copy is its board moved to its place, nothing more, nothing less.
    const QString difference = copiesDifference(panel, placedBoards);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestMakePanel::boardThatFitsNowhereIsReportedAndSkipped()
{
    REQUIRE_REAL_BOARDS();
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("panel.brd"));
    DrivenWindow window;
    window.load(realBoard(QStringLiteral("ChairControl.brd"))); // 150 by 84
    window.load(realBoard(QStringLiteral("OpenLog.brd")));
    window.load(realBoard(QStringLiteral("ChairControl.brd")));
    window.script.cursors.clear();
    window.makePanel(output, 2); // default panel: 160 by 80
    verifyBusyRun(window.script, 2);
    QCOMPARE(window.script.messages.size(), 2);
    for (const SeenMessage &message : window.script.messages) {
        QCOMPARE(message.title, QStringLiteral("No fit"));
        QCOMPARE(message.icon, int(QMessageBox::Critical));
        QCOMPARE(message.buttons, int(QMessageBox::Ok));
    }
    const QDomDocument panel = parse(readWholeFile(output));
    const QDomDocument openLog = parse(readWholeFile(realBoard(QStringLiteral("OpenLog.brd"))));
    QCOMPARE(count(panel, "elements", "element"), count(openLog, "elements", "element"));
    QCOMPARE(boxOf(outlineWires(panel)).right, boxOf(outlineWires(openLog)).right);
}

void TestMakePanel::cancelledSaveDialogWritesNothing()
{
    REQUIRE_REAL_BOARDS();
    QTemporaryDir dir;
    DrivenWindow window;
    window.load(realBoard(QStringLiteral("OpenLog.brd")));
    window.script.cursors.clear();
    window.script.cancelFile();
    window.click("makePanel");
    // Cancelling is no failure: the run just ends, without a message.
    verifyBusyRun(window.script, 0);
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.pendingAnswers(), 0);
    QCOMPARE(window.script.messages.size(), 0);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList());
}

void TestMakePanel::unwritableLocationIsReported_data()
{
    QTest::addColumn<bool>("protectFolder");
    QTest::addColumn<bool>("existing");
    QTest::newRow("write-protected file") << false << true;
    QTest::newRow("new file in a read-only folder") << true << false;
    // Writing it in place would work, but then a failed save would lose it.
    QTest::newRow("file in a read-only folder") << true << true;
}

void TestMakePanel::unwritableLocationIsReported()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(bool, protectFolder);
    QFETCH(bool, existing);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("folder"));
    QVERIFY(QDir().mkdir(folder));
    const QString output = folder + QStringLiteral("/locked.brd");
    if (existing)
        QVERIFY(writeWholeFile(output, "keep me"));
    WriteProtection protection(protectFolder ? folder : output);
    if (!protection.effective())
        QSKIP("write protection has no effect for this user");
    DrivenWindow window;
    window.load(realBoard(QStringLiteral("OpenLog.brd")));
    window.script.cursors.clear();
    window.makePanel(output, 1);
    verifyBusyRun(window.script, 1);
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.pendingAnswers(), 0);
    QCOMPARE(window.script.messages.size(), 1);
    QCOMPARE(window.script.messages.first().title, QStringLiteral("Save Panel"));
    QCOMPARE(window.script.messages.first().text, QStringLiteral("Couldn't open save Location"));
    QCOMPARE(entriesOf(folder), existing ? QStringList {"locked.brd"} : QStringList());
    if (existing)
        QCOMPARE(readWholeFile(output), QByteArray("keep me"));
}

void TestMakePanel::boardDeletedAfterLoadingIsReportedAndTheRunGoesOn()
{
    REQUIRE_REAL_BOARDS();
    QTemporaryDir dir;
    const QString doomed = dir.filePath(QStringLiteral("doomed.brd"));
    QVERIFY(QFile::copy(realBoard(QStringLiteral("AMG8833_REV-B.brd")), doomed));
    const QString output = dir.filePath(QStringLiteral("panel.brd"));
    DrivenWindow window;
    window.load(doomed);
    window.load(realBoard(QStringLiteral("OpenLog.brd")));
    window.load(realBoard(QStringLiteral("ChairControl.brd"))); // 150 by 84: fits nowhere
    QVERIFY(QFile::remove(doomed));
    window.script.cursors.clear();
    window.makePanel(output, 2);
    verifyBusyRun(window.script, 2);
    // Reported in the order of the boards, whichever step found each.
    QCOMPARE(window.script.messages.size(), 2);
    QCOMPARE(window.script.messages.first().title, QStringLiteral("Couldn't read board"));
    QCOMPARE(window.script.messages.first().text,
             QStringLiteral("Couldn't open %1: No such file or directory").arg(doomed));
    QCOMPARE(window.script.messages.last().title, QStringLiteral("No fit"));
    QVERIFY(!QFileInfo::exists(doomed));
    // OpenLog was placed after the missing board's slot and is in the panel.
    const QDomDocument panel = parse(readWholeFile(output));
    const QDomDocument openLog = parse(readWholeFile(realBoard(QStringLiteral("OpenLog.brd"))));
    QCOMPARE(count(panel, "elements", "element"), count(openLog, "elements", "element"));
    QCOMPARE(boxOf(outlineWires(panel)).left, 26.0 + 5.0);
}

void TestMakePanel::loadedBoardChosenAsOutputIsReadBeforeItIsOverwritten()
{
    REQUIRE_REAL_BOARDS();
    QTemporaryDir dir;
    const QString board = dir.filePath(QStringLiteral("board.brd"));
    QVERIFY(QFile::copy(realBoard(QStringLiteral("OpenLog.brd")), board));
    QVERIFY(QFile::setPermissions(board, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    const QFile::Permissions permissions = QFile::permissions(board);
    DrivenWindow window;
    window.load(board);
    window.load(board);
    window.makePanel(board);
    QCOMPARE(window.script.messages.size(), 0);
    QCOMPARE(QFile::permissions(board), permissions);
    QCOMPARE(entriesOf(dir.path()), QStringList {"board.brd"});
    const QDomDocument panel = parse(readWholeFile(board));
    const QDomDocument openLog = parse(readWholeFile(realBoard(QStringLiteral("OpenLog.brd"))));
    QCOMPARE(count(panel, "elements", "element"), 2 * count(openLog, "elements", "element"));
    QCOMPARE(outlineWires(panel).size(), 2 * outlineWires(openLog).size());
}

void TestMakePanel::faultWhileSavingKeepsTheChosenFile_data()
{
    QTest::addColumn<QByteArray>("fault");
    QTest::newRow("write refused past a file-size limit") << QByteArray("limit");
    QTest::newRow("process killed in the middle of the write") << QByteArray("kill");
}

// A loaded board chosen as output, saved by a child process that may write no
// more than half the board's size: the panel, larger than that, is cut off
// in the middle of its write. The board keeps every byte either way, and no
// part of the panel is left in the folder. (The killed process leaves none
// because Qt creates the new file without a name and links it into the
// folder only when it is complete.)
void TestMakePanel::faultWhileSavingKeepsTheChosenFile()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QByteArray, fault);
    QTemporaryDir dir;
    const QString board = dir.filePath(QStringLiteral("board.brd"));
    QVERIFY(QFile::copy(realBoard(QStringLiteral("OpenLog.brd")), board));
    const QByteArray before = readWholeFile(board);
    QVERIFY(before.size() > 10000);

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    child.start(QCoreApplication::applicationFilePath(),
                {QLatin1String(faultySaveOption), QString::fromLatin1(fault), board,
                 QString::number(before.size() / 2)});
    QVERIFY(child.waitForFinished(120000));
    const QByteArray shown = child.readAllStandardOutput();
    if (fault == "limit") {
        QCOMPARE(child.exitStatus(), QProcess::NormalExit);
        QCOMPARE(child.exitCode(), 0);
        const QString expected =
                QStringLiteral("Save Panel\nCouldn't write panel file\n") + qt_error_string(EFBIG);
        QCOMPARE(QString::fromUtf8(QByteArray::fromPercentEncoding(shown.trimmed())), expected);
    } else {
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
        QCOMPARE(child.exitCode(), SIGKILL);
        QCOMPARE(shown, QByteArray());
    }
    QCOMPARE(readWholeFile(board), before);
    QCOMPARE(entriesOf(dir.path()), QStringList {"board.brd"});
}

void TestMakePanel::twoRunsInARowWriteTheSameBytes()
{
    REQUIRE_REAL_BOARDS();
    QTemporaryDir dir;
    DrivenWindow window;
    window.load(realBoard(QStringLiteral("OpenLog.brd")));
    window.load(realBoard(QStringLiteral("OpenLog.brd")));
    window.makePanel(dir.filePath(QStringLiteral("first.brd")));
    window.makePanel(dir.filePath(QStringLiteral("second.brd")));
    const QByteArray first = readWholeFile(dir.filePath(QStringLiteral("first.brd")));
    QVERIFY(first.contains("NewName0"));
    QCOMPARE(readWholeFile(dir.filePath(QStringLiteral("second.brd"))), first);
}

void TestMakePanel::runWithoutBoardsLeavesTheOutputAlone_data()
{
    QTest::addColumn<bool>("existing");
    QTest::newRow("new file") << false;
    QTest::newRow("existing file") << true;
}

void TestMakePanel::runWithoutBoardsLeavesTheOutputAlone()
{
    QFETCH(bool, existing);
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("empty.brd"));
    if (existing)
        QVERIFY(writeWholeFile(output, "old panel"));
    DrivenWindow window;
    window.makePanel(output);
    QCOMPARE(window.script.messages.size(), 0);
    QCOMPARE(entriesOf(dir.path()), existing ? QStringList {"empty.brd"} : QStringList());
    if (existing)
        QCOMPARE(readWholeFile(output), QByteArray("old panel"));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setAttribute(Qt::AA_Use96Dpi, true);
    if (argc == 5 && qstrcmp(argv[1], faultySaveOption) == 0)
        return faultySave(argv[2], QString::fromLocal8Bit(argv[3]),
                          rlim_t(QByteArray(argv[4]).toLongLong()));
    TestMakePanel test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_makepanel.moc"

void TestMakePanel::designRulesBoxLetsTheUserChoose_data()
{
    QTest::addColumn<QStringList>("boards");
    QTest::addColumn<int>("answer"); // button pressed in the box; NoButton: no box
    // OpenLog frames its SMDs' stop mask by 4 mil, BusPirate by 2 mil.
    const QStringList differing {"OpenLog.brd", "BusPirate-v3.8a-SSOP.brd"};
    QTest::newRow("Ok goes on") << differing << int(QMessageBox::Ok);
    QTest::newRow("Cancel writes nothing") << differing << int(QMessageBox::Cancel);
    QTest::newRow("one rule set: no box")
            << QStringList {"OpenLog.brd", "OpenLog.brd"} << int(QMessageBox::NoButton);
}

void TestMakePanel::designRulesBoxLetsTheUserChoose()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QStringList, boards);
    QFETCH(int, answer);
    QTemporaryDir dir;
    const QString output = dir.filePath(QStringLiteral("panel.brd"));
    const QByteArray before("<eagle/>\n");
    QVERIFY(writeWholeFile(output, before));
    DrivenWindow window;
    for (const QString &board : boards)
        window.load(realBoard(board));
    window.typeInto("panelWidthBox", 300);
    window.typeInto("panelHeightBox", 300);
    window.script.cursors.clear();
    QString text;
    bool asked = false;
    window.script.chooseFile(output);
    window.script.answer([](QWidget *modal) {
        auto *question = qobject_cast<QMessageBox *>(modal);
        QVERIFY(question && question->button(QMessageBox::Yes));
        question->button(QMessageBox::Yes)->click();
    });
    if (answer != QMessageBox::NoButton) {
        window.script.answer([&](QWidget *modal) {
            auto *box = qobject_cast<QMessageBox *>(modal);
            QVERIFY(box);
            asked = true;
            QCOMPARE(box->windowTitle(), QStringLiteral("Design rules"));
            QCOMPARE(box->parentWidget(), &window.tavolin);
            QCOMPARE(int(box->standardButtons()), int(QMessageBox::Ok | QMessageBox::Cancel));
            QCOMPARE(static_cast<QAbstractButton *>(box->defaultButton()),
                     box->button(QMessageBox::Ok));
            text = box->text();
            box->button(QMessageBox::StandardButton(answer))->click();
        });
    }
    window.click("makePanel");
    QTRY_COMPARE(window.script.pendingAnswers(), 0);
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(asked, answer != QMessageBox::NoButton);
    verifyBusyRun(window.script, asked ? 1 : 0);
    if (asked) {
        QVERIFY2(text.contains(QStringLiteral("Stop mask frame")), qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("BusPirate-v3.8a-SSOP.brd 1 / 2mil / 2mil")),
                 qPrintable(text));
        QVERIFY2(text.contains(QStringLiteral("the panel uses 1 / 4mil / 4mil")), qPrintable(text));
    }
    const QByteArray after = readWholeFile(output);
    if (answer == QMessageBox::Cancel)
        QCOMPARE(after, before);
    else
        QVERIFY(parse(after).documentElement().tagName() == QLatin1String("eagle"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {"panel.brd"});
}
