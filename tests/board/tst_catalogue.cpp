// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/board/measuredboards.h"
#include "core/board/outline.h"
#include "support/drivenwindow.h"

#include <QAction>
#include <QFileDialog>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

// The load and delete buttons, driven as a user drives them: a click, the
// open dialog answered, each message box read and dismissed.
class TestCatalogue : public QObject
{
    Q_OBJECT

private slots:
    void loadsRealBoardsThroughTheDialog();
    void refusedFilesLeaveTheCatalogueAlone_data();
    void refusedFilesLeaveTheCatalogueAlone();
    void cancelThenLoadUsesTheNextIndex();
    void writeProtectedBoardLoads();
    void sameFileLoadedAgain_data();
    void sameFileLoadedAgain();
    void secondLoadDoesNotDependOnTheFirst();
    void deleteWithoutCurrentRowChangesNothing();
    void deleteMiddleRowKeepsTheOthersInOrder();
    void selectionInSizesListDoesNotDelete();
    void severalBoardsLoadInOrder_data();
    void severalBoardsLoadInOrder();
    void openDialogStartsInTheLastBoardsFolder_data();
    void openDialogStartsInTheLastBoardsFolder();
    void duplicateCopiesTheSelectedBoard_data();
    void duplicateCopiesTheSelectedBoard();

private:
    using Window = DrivenWindow;

    static QString handMadeBoard(const QTemporaryDir &dir, const QString &name, double width,
                                 double height);
};

QString TestCatalogue::handMadeBoard(const QTemporaryDir &dir, const QString &name, double width,
                                     double height)
{
    const QString path = dir.filePath(name);
    const QString text = QStringLiteral("<?xml version=\"1.0\"?><eagle><drawing><board><plain>"
                                        "<wire x1=\"0\" y1=\"0\" x2=\"%1\" y2=\"%2\" layer=\"20\"/>"
                                        "</plain></board></drawing></eagle>")
                                 .arg(width)
                                 .arg(height);
    writeWholeFile(path, text.toUtf8());
    return path;
}

void TestCatalogue::loadsRealBoardsThroughTheDialog()
{
    REQUIRE_REAL_BOARDS();
    const QStringList files = {"AMG8833_REV-B.brd",        "Graphic_LCD_Backpack.brd",
                               "SparkFun_RTK_Express.brd", "SnowFlake.brd",
                               "MoldTopPCBs.brd",          "Qwiic_MP3_Trigger-Panel.brd",
                               "BusPirate-v3.8a-SSOP.brd", "ChairControl.brd"};
    Window window;
    for (const QString &file : files)
        window.load(realBoard(file));
    QVERIFY(window.script.messages.isEmpty());
    QVERIFY(window.script.unexpected.isEmpty());
    const QStringList paths = window.fileRows();
    QCOMPARE(paths.size(), files.size());
    for (int i = 0; i < files.size(); ++i)
        QCOMPARE(QFileInfo(paths.at(i)).fileName(), files.at(i));
    const QStringList sizes = window.sizeRows();
    QCOMPARE(sizes.at(0), QStringLiteral("25.4 mm x25.4 mm"));
    QCOMPARE(sizes.at(5), QStringLiteral("243.332 mm x115.824 mm"));
    // Its outline is drawn by a part, 50 mm square from (0.4, 0.4).
    QCOMPARE(sizes.at(6), QStringLiteral("50 mm x50 mm"));
    QCOMPARE(sizes.at(7), QStringLiteral("150 mm x84 mm"));
}

void TestCatalogue::refusedFilesLeaveTheCatalogueAlone_data()
{
    QTest::addColumn<QByteArray>("content"); // written to the chosen file
    QTest::addColumn<bool>("cancel");

    // Cancelling is no failure: no message.
    QTest::newRow("cancelled dialog") << QByteArray() << true;
    QTest::newRow("not XML") << QByteArray("\x10\x80\x00\x01 EAGLE binary", 17) << false;
    QTest::newRow("empty file") << QByteArray("") << false;
    QTest::newRow("truncated") << QByteArray(
            "<?xml version=\"1.0\"?><eagle><drawing><board><plain>\n"
            "<wire x1=\"0\" y1=\"0\" x2=\"9\" y2=\"9\" layer=\"20\"/>")
                               << false;
}

void TestCatalogue::refusedFilesLeaveTheCatalogueAlone()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, cancel);
    QTemporaryDir dir;
    Window window;
    window.load(handMadeBoard(dir, QStringLiteral("first.brd"), 30, 20));
    const QString path = dir.filePath(QStringLiteral("refused.brd"));
    writeWholeFile(path, content);

    if (cancel) {
        window.script.cancelFile();
    } else {
        window.script.chooseFile(path);
        window.script.dismissMessage();
    }
    window.click("loadButton");

    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.pendingAnswers(), 0);
    QCOMPARE(window.script.messages.size(), cancel ? 0 : 1);
    if (!cancel) {
        // Which file, why, and where in it.
        const SeenMessage message = window.script.messages.first();
        QCOMPARE(message.title, QStringLiteral("Couldn't read board"));
        QCOMPARE(message.text,
                 QStringLiteral("Couldn't open %1: %2").arg(path, readerFailure(content)));
        QCOMPARE(message.icon, int(QMessageBox::Critical));
        QCOMPARE(message.buttons, int(QMessageBox::Ok));
    }
    QCOMPARE(window.fileRows().size(), 1);
    QCOMPARE(readWholeFile(path), content);
}

void TestCatalogue::cancelThenLoadUsesTheNextIndex()
{
    QTemporaryDir dir;
    Window window;
    window.script.cancelFile();
    window.click("loadButton");
    window.load(handMadeBoard(dir, QStringLiteral("a.brd"), 12.5, 7));
    QCOMPARE(window.script.messages.size(), 0);
    QCOMPARE(window.fileRows(), QStringList {dir.filePath(QStringLiteral("a.brd"))});
    QCOMPARE(window.sizeRows(), QStringList {QStringLiteral("12.5 mm x7 mm")});
}

void TestCatalogue::writeProtectedBoardLoads()
{
    QTemporaryDir dir;
    const QString path = handMadeBoard(dir, QStringLiteral("protected.brd"), 40, 30);
    const QByteArray before = readWholeFile(path);
    WriteProtection protection(path);
    if (!protection.effective())
        qWarning("write protection has no effect for this user; the test cannot tell modes apart");
    Window window;
    window.load(path);
    QVERIFY(window.script.messages.isEmpty());
    QCOMPARE(window.sizeRows(), QStringList {QStringLiteral("40 mm x30 mm")});
    QCOMPARE(readWholeFile(path), before);
}

// A board loaded again is not read again while its file keeps its size and
// modification time: the file is rewritten between the two loads, as a board
// of `width` (10 keeps the size of the file), its time moved by `later`
// seconds.
void TestCatalogue::sameFileLoadedAgain_data()
{
    QTest::addColumn<double>("width");
    QTest::addColumn<int>("later");
    QTest::addColumn<QString>("secondSize"); // listed for the second load

    QTest::newRow("unchanged on disk") << 20.0 << 0 << "10 mm x10 mm";
    QTest::newRow("rewritten, later") << 20.0 << 1 << "20 mm x10 mm";
    QTest::newRow("rewritten, earlier") << 20.0 << -60 << "20 mm x10 mm";
    QTest::newRow("grown, same time") << 100.0 << 0 << "100 mm x10 mm";
}

void TestCatalogue::sameFileLoadedAgain()
{
    QFETCH(double, width);
    QFETCH(int, later);
    QFETCH(QString, secondSize);
    QTemporaryDir dir;
    const QString path = handMadeBoard(dir, QStringLiteral("twice.brd"), 10, 10);
    const QDateTime modified = QFileInfo(path).lastModified();
    Window window;
    window.load(path);
    handMadeBoard(dir, QStringLiteral("twice.brd"), width, 10);
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    QVERIFY(file.setFileTime(modified.addSecs(later), QFileDevice::FileModificationTime));
    file.close();
    window.load(path);

    QCOMPARE(window.script.messages.size(), 0);
    QCOMPARE(window.fileRows(), QStringList({path, path}));
    QCOMPARE(window.sizeRows(), QStringList({QStringLiteral("10 mm x10 mm"), secondSize}));
}

void TestCatalogue::secondLoadDoesNotDependOnTheFirst()
{
    QTemporaryDir dir;
    Window window;
    window.load(handMadeBoard(dir, QStringLiteral("big.brd"), 100, 80));
    window.load(handMadeBoard(dir, QStringLiteral("small.brd"), 20, 10));
    QCOMPARE(window.sizeRows(), QStringList({"100 mm x80 mm", "20 mm x10 mm"}));
}

void TestCatalogue::deleteWithoutCurrentRowChangesNothing()
{
    QTemporaryDir dir;
    Window window;
    window.load(handMadeBoard(dir, QStringLiteral("a.brd"), 10, 10));
    Window::choose(window.files(), -1);
    window.click("deleteButton");
    QCOMPARE(window.fileRows().size(), 1);

    Window empty;
    empty.click("deleteButton");
    QCOMPARE(empty.fileRows().size(), 0);
}

void TestCatalogue::deleteMiddleRowKeepsTheOthersInOrder()
{
    QTemporaryDir dir;
    Window window;
    const QString a = handMadeBoard(dir, QStringLiteral("a.brd"), 10, 11);
    const QString b = handMadeBoard(dir, QStringLiteral("b.brd"), 20, 21);
    const QString c = handMadeBoard(dir, QStringLiteral("c.brd"), 30, 31);
    window.load(a);
    window.load(b);
    window.load(c);
    Window::choose(window.files(), 0);
    window.click("deleteButton");
    QCOMPARE(window.fileRows(), QStringList({b, c}));
    QCOMPARE(window.sizeRows(), QStringList({"20 mm x21 mm", "30 mm x31 mm"}));
    Window::choose(window.files(), 1);
    window.click("deleteButton");
    QCOMPARE(window.fileRows(), QStringList({b}));
}

void TestCatalogue::selectionInSizesListDoesNotDelete()
{
    QTemporaryDir dir;
    Window window;
    window.load(handMadeBoard(dir, QStringLiteral("a.brd"), 10, 10));
    Window::choose(window.files(), -1);
    Window::choose(window.sizes(), 0);
    window.click("deleteButton");
    QCOMPARE(window.fileRows().size(), 1);
}

// Each way in loads its boards in order, each as one Load: a file that fails
// is reported and the rest are loaded.
void TestCatalogue::severalBoardsLoadInOrder_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("open dialog") << "dialog";
    QTest::newRow("dropped from a file manager") << "drop";
    QTest::newRow("named when starting") << "arguments";
}

void TestCatalogue::severalBoardsLoadInOrder()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QString, way);
    QTemporaryDir dir;
    const QString broken = dir.filePath(QStringLiteral("broken.brd"));
    QVERIFY(writeWholeFile(broken, "<eagle><drawing>"));
    const QString openLog = QDir::cleanPath(realBoard(QStringLiteral("OpenLog.brd")));
    const QString chair = QDir::cleanPath(realBoard(QStringLiteral("ChairControl.brd")));
    const QString tiny = handMadeBoard(dir, QStringLiteral("tiny.brd"), 12.5, 7);
    QStringList given = {openLog, broken, chair, tiny, openLog};
    QStringList loaded = {openLog, chair, tiny, openLog};

    Window window;
    if (way == QLatin1String("dialog")) {
        // A dialog picks each file once, all from one folder, and returns
        // them in the order they were picked, which need not be the folder's.
        const QString chairCopy = dir.filePath(QStringLiteral("chair.brd"));
        const QString openLogCopy = dir.filePath(QStringLiteral("a.brd"));
        QVERIFY(QFile::copy(chair, chairCopy) && QFile::copy(openLog, openLogCopy));
        given = QStringList {chairCopy, broken, tiny, openLogCopy};
        loaded = QStringList {chairCopy, tiny, openLogCopy};
        window.script.chooseFiles(given);
        window.script.dismissMessage();
        window.click("loadButton");
    } else if (way == QLatin1String("drop")) {
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &path : given)
            urls << QUrl::fromLocalFile(path);
        // Anything but a local file is ignored.
        urls.insert(2, QUrl(QStringLiteral("https://example.com/remote.brd")));
        data.setUrls(urls);
        window.script.dismissMessage();
        QDragEnterEvent enter(QPoint(300, 150), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&window.tavolin, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(300, 150), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window.tavolin, &drop);
        QVERIFY(drop.isAccepted());
        QTRY_COMPARE(window.fileRows().size(), loaded.size());
    } else {
        window.script.dismissMessage();
        window.tavolin.loadBoards(given);
    }

    QCOMPARE(window.fileRows(), loaded);
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.pendingAnswers(), 0);
    QCOMPARE(window.script.messages.size(), 1);
    QCOMPARE(window.script.messages.first().title, QStringLiteral("Couldn't read board"));
    // Each board measured as a Load of it alone measures it.
    for (int i = 0; i < loaded.size(); ++i) {
        const OutlineBox alone = MeasuredBoards().measure(loaded.at(i)).box;
        QCOMPARE(window.sizeRows().at(i), sizeText(alone.width(), alone.height()));
    }
}

void TestCatalogue::openDialogStartsInTheLastBoardsFolder_data()
{
    QTest::addColumn<bool>("documents"); // the home folder holds Documents
    QTest::newRow("documents folder") << true;
    QTest::newRow("no documents folder: home") << false;
}

void TestCatalogue::openDialogStartsInTheLastBoardsFolder()
{
    QFETCH(bool, documents);
    QTemporaryDir home;
    const QString startFolder =
            documents ? home.filePath(QStringLiteral("Documents")) : home.path();
    if (documents)
        QVERIFY(QDir().mkdir(startFolder));
    const QByteArray realHome = qgetenv("HOME");
    const QByteArray realConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    qunsetenv("XDG_CONFIG_HOME"); // its user-dirs.dirs could name another folder
    QTemporaryDir first;
    QTemporaryDir second;
    Window window;
    qputenv("HOME", realHome);
    if (!realConfig.isEmpty())
        qputenv("XDG_CONFIG_HOME", realConfig);
    window.load(handMadeBoard(first, QStringLiteral("a.brd"), 10, 10));
    window.load(handMadeBoard(second, QStringLiteral("b.brd"), 5, 5));
    // A failed load leaves the folder where the last board was loaded.
    const QString broken = first.filePath(QStringLiteral("broken.brd"));
    QVERIFY(writeWholeFile(broken, "<eagle>"));
    window.script.chooseFile(broken);
    window.script.dismissMessage();
    window.click("loadButton");
    // A cancelled dialog loads nothing, quietly.
    window.script.cancelFile();
    window.click("loadButton");
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.messages.size(), 1);
    QCOMPARE(window.script.fileDialogFolders,
             QStringList({startFolder, first.path(), second.path(), second.path()}));
}

void TestCatalogue::duplicateCopiesTheSelectedBoard_data()
{
    QTest::addColumn<int>("row"); // selected in the list of files
    QTest::addColumn<bool>("shortcut"); // Ctrl+D rather than the menu
    QTest::newRow("first board, by the menu") << 0 << false;
    QTest::newRow("last board, by Ctrl+D") << 2 << true;
    QTest::newRow("nothing selected") << -1 << false;
}

void TestCatalogue::duplicateCopiesTheSelectedBoard()
{
    QFETCH(int, row);
    QFETCH(bool, shortcut);
    QTemporaryDir dir;
    Window window;
    window.load(handMadeBoard(dir, QStringLiteral("a.brd"), 10, 11));
    window.load(handMadeBoard(dir, QStringLiteral("b.brd"), 20, 21));
    window.load(handMadeBoard(dir, QStringLiteral("c.brd"), 30.25, 31));
    const QStringList paths = window.fileRows();
    const QStringList sizes = window.sizeRows();
    Window::choose(window.files(), row);
    // The copy takes the size the board was loaded with: the file is not
    // read again, and may be gone.
    for (const QString &path : paths)
        QVERIFY(QFile::remove(path));
    if (shortcut) {
        window.tavolin.show();
        QVERIFY(QTest::qWaitForWindowActive(&window.tavolin));
        QTest::keyClick(&window.tavolin, Qt::Key_D, Qt::ControlModifier);
    } else {
        auto *action = window.tavolin.findChild<QAction *>(QStringLiteral("actionDuplicateBoard"));
        QVERIFY(action);
        action->trigger();
    }
    QCOMPARE(window.script.messages.size(), 0);
    if (row < 0) {
        QCOMPARE(window.fileRows(), paths);
        return;
    }
    QCOMPARE(window.fileRows(), paths + QStringList {paths.at(row)});
    QCOMPARE(window.sizeRows(), sizes + QStringList {sizes.at(row)});
}

QTEST_MAIN(TestCatalogue)
#include "tst_catalogue.moc"
