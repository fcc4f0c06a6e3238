// SPDX-License-Identifier: GPL-3.0-or-later
#include "hostileinputs.h"
#include "support/drivenwindow.h"

#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

#include <sys/inotify.h>
#include <unistd.h>

// Broken and hostile board files, driven through the window as a user meets
// them: chosen in the open dialog, or put in place of a loaded board before
// MAKE PANEL is pressed. Whatever a file holds, the window shows a clear
// message, keeps its catalogue whole and touches no file but the panel.
class TestHostileBoards : public QObject
{
    Q_OBJECT

private slots:
    void load_data();
    void load();
    void panelOfALoadedFile_data();
    void panelOfALoadedFile();
    void boardReplacedBeforeThePanelRun_data();
    void boardReplacedBeforeThePanelRun();
    void directoryChosenAsBoard();
    void boardReplacedByADirectory();
    void externalEntityIsNeverFetched();

private:
    // With `refusedToo` false only the files that load.
    void hostileTable(bool refusedToo = true);
};

namespace {

const QString readErrorTitle = QStringLiteral("Couldn't read board");

struct Files
{
    QTemporaryDir dir;

    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QString put(const char *name, const QByteArray &bytes) const
    {
        writeWholeFile(path(name), bytes);
        return path(name);
    }
};

// Rows of listBrdFiles and listSizes as the user reads them.
QStringList shownRows(DrivenWindow &window)
{
    QStringList rows = window.fileRows();
    const QStringList sizes = window.sizeRows();
    if (sizes.size() != rows.size())
        return {QStringLiteral("%1 files, %2 sizes").arg(rows.size()).arg(sizes.size())};
    for (int i = 0; i < rows.size(); ++i)
        rows[i] += QLatin1String(" | ") + sizes.at(i);
    return rows;
}

// Load: choose `path` in the open dialog, dismissing `messages` message boxes.
void loadWithMessages(DrivenWindow &window, const QString &path, int messages)
{
    window.script.chooseFile(path);
    for (int i = 0; i < messages; ++i)
        window.script.dismissMessage();
    window.click("loadButton");
}

void verifyOneMessage(const DrivenWindow &window, const QString &title, const QString &text)
{
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.messages.size(), 1);
    QCOMPARE(window.script.messages.first().title, title);
    QCOMPARE(window.script.messages.first().text, text);
    QCOMPARE(window.script.messages.first().icon, int(QMessageBox::Critical));
    QCOMPARE(window.script.messages.first().buttons, int(QMessageBox::Ok));
}

// The message of a board that cannot be read: which file, and why.
QString couldNotOpen(const QString &path, const QString &reason)
{
    return QStringLiteral("Couldn't open %1: %2").arg(path, reason);
}

// Every non-blank text of a panel, in document order.
QStringList textsOf(const QByteArray &panel)
{
    QStringList texts;
    QXmlStreamReader reader(panel);
    while (!reader.atEnd()) {
        if (reader.readNext() == QXmlStreamReader::Characters && !reader.isWhitespace())
            texts << reader.text().toString();
    }
    return texts;
}

} // namespace

// Each row: the bytes of the file; the text of the message a load shows
// (empty for a file that loads); for a file that loads, the size the
// catalogue shows, whether it fits on the default 160 by 80 mm panel, and a
// text its copies must carry into the panel.
void TestHostileBoards::hostileTable(bool refusedToo)
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("loadError");
    QTest::addColumn<QString>("size");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<QString>("panelText");

    auto refused = [refusedToo](const char *name, const QByteArray &bytes) {
        if (!refusedToo)
            return;
        const QString error = readerFailure(bytes);
        QVERIFY2(!error.isEmpty(), name); // a row that is no hostile file tests nothing
        QTest::newRow(name) << bytes << error << QString() << false << QString();
    };
    refused("empty file", QByteArray());
    refused("whitespace only", " \n\t\r\n   \n");
    QByteArray garbage;
    for (int i = 0; i < 4096; ++i)
        garbage += char((i * 73 + 41) % 256);
    refused("binary garbage", garbage);
    refused("NUL bytes", QByteArray(4096, '\0'));
    refused("text that is not XML", "EAGLE binary board: x1=0 y1=0 layer=20\n");
    refused("cut off in the declaration", handMadeBoard().left(20));
    refused("cut off before the drawing", handMadeBoard().left(handMadeBoard().indexOf("<plain>")));
    refused("cut off in plain", cutInside("plain"));
    refused("cut off in libraries", cutInside("libraries"));
    refused("cut off in elements", cutInside("elements"));
    refused("cut off in signals", cutInside("signals"));
    refused("cut off after signals",
            handMadeBoard().left(handMadeBoard().indexOf("</signals>") + 10));
    refused("cut off in the last end tag", handMadeBoard().chopped(4));
    refused("entity-expansion bomb", billionLaughs());
    refused("mismatched tags", "<eagle><plain></eagle></plain>");
    if (refusedToo) {
        // A UTF-16 board whose label holds a high surrogate alone.
        const QString text =
                QString::fromUtf8(handMadeBoard())
                        .replace(QLatin1String("UTF-8"), QLatin1String("UTF-16"))
                        .replace(QLatin1String("LABEL"), QStringLiteral("LA") + QChar(0xD8D8));
        QByteArray utf16("\xFF\xFE");
        utf16.append(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
        QTest::newRow("a surrogate without its pair")
                << utf16 << surrogateFailure(utf16) << QString() << false << QString();
        const QByteArray nul =
                QByteArray(handMadeBoard()).replace("layer=", QByteArray("la\0yer=", 7));
        QTest::newRow("a NUL in an attribute's name")
                << nul << surrogateFailure(nul) << QString() << false << QString();
    }
    if (refusedToo)
        QTest::newRow("100,000 nested elements")
                << nestedElements(100000) << nestingFailure(nestedElements(100000), 257)
                << QString() << false << QString();

    auto loads = [](const char *name, const QByteArray &bytes, const char *size, bool fits,
                    const QString &text) {
        QTest::newRow(name) << bytes << QString() << QString::fromUtf8(size) << fits << text;
    };
    const QString odd = QStringLiteral("ODD");
    // Text that is no number reads as 0, which never widens the box that
    // already holds the origin.
    loads("non-numeric coordinates",
          outlineWithWire(R"(x1="ten" y1="0x10" x2="4O" y2="--5" layer="20")"), "40 mm x20 mm",
          true, odd);
    loads("empty coordinates", outlineWithWire(R"(x1="" y1="" x2="" y2="" layer="20")"),
          "40 mm x20 mm", true, odd);
    loads("huge coordinate", outlineWithWire(R"(x1="0" y1="0" x2="1e308" y2="0" layer="20")"),
          "1e+308 mm x20 mm", false, odd);
    loads("huge negative coordinate",
          outlineWithWire(R"(x1="-1e308" y1="-1e308" x2="0" y2="0" layer="20")"),
          "1e+308 mm x1e+308 mm", false, odd);
    loads("infinite coordinate", outlineWithWire(R"(x1="0" y1="0" x2="inf" y2="0" layer="20")"),
          "inf mm x20 mm", false, odd);
    loads("negative infinite coordinate",
          outlineWithWire(R"(x1="0" y1="-inf" x2="0" y2="0" layer="20")"), "40 mm xinf mm", false,
          odd);
    // A NaN fails both strict comparisons of the box, so it changes nothing.
    loads("NaN coordinates", outlineWithWire(R"(x1="nan" y1="NaN" x2="nan" y2="1" layer="20")"),
          "40 mm x20 mm", true, odd);
    // Only a layer that reads as the whole number 20 marks the outline.
    loads("non-numeric layer", outlineWithWire(R"(x1="0" y1="0" x2="60" y2="30" layer="twenty")"),
          "40 mm x20 mm", true, odd);
    loads("empty layer", outlineWithWire(R"(x1="0" y1="0" x2="60" y2="30" layer="")"),
          "40 mm x20 mm", true, odd);
    loads("NaN layer", outlineWithWire(R"(x1="0" y1="0" x2="60" y2="30" layer="nan")"),
          "40 mm x20 mm", true, odd);
    loads("infinite layer", outlineWithWire(R"(x1="0" y1="0" x2="60" y2="30" layer="inf")"),
          "40 mm x20 mm", true, odd);
    loads("fractional layer", outlineWithWire(R"(x1="0" y1="0" x2="60" y2="30" layer="20.0")"),
          "40 mm x20 mm", true, odd);
    // 2^32 + 20 would be 20 if it wrapped around.
    loads("huge layer", outlineWithWire(R"(x1="0" y1="0" x2="60" y2="30" layer="4294967316")"),
          "40 mm x20 mm", true, odd);
    loads("layer with a leading zero",
          outlineWithWire(R"(x1="0" y1="0" x2="60" y2="30" layer="020")"), "60 mm x30 mm", true,
          odd);
    loads("UTF-8 byte order mark", "\xEF\xBB\xBF" + handMadeBoard(), "50 mm x30 mm", true,
          QStringLiteral("LABEL"));
    const QString nonAscii = QStringLiteral("Ø 3 mm µC");
    loads("ISO-8859-1 board with non-ASCII texts", handMadeBoard(nonAscii, "ISO-8859-1"),
          "50 mm x30 mm", true, nonAscii);
    // Boards are read as they are written: a reader that drops CR bytes
    // takes apart UTF-16 text and tags whose attributes a bare CR separates.
    const QString accents = QStringLiteral("\u010D \u0D0D \u0A0D");
    loads("UTF-16 board with CR LF line ends",
          handMadeBoard(accents, "UTF-16", QStringLiteral("\r\n")), "50 mm x30 mm", true, accents);
    loads("bare CR line ends, also between attributes",
          handMadeBoard(odd, "UTF-8", QStringLiteral("\r")).replace(' ', '\r'), "50 mm x30 mm",
          true, odd);
    // The reader reads a file in pieces of 8 kB, and Qt's decoder dropped a
    // U+FEFF that started a piece after nothing but ASCII.
    const int labelAt = handMadeBoard(QStringLiteral("@")).indexOf('@');
    const QString feff =
            QString(8192 - labelAt, 'a') + QChar(0xFEFF) + QString(8191, 'b') + QChar(0xFEFF) + 'c';
    loads("U+FEFF in a text where the reader's pieces meet", handMadeBoard(feff), "50 mm x30 mm",
          true, feff);
    const QByteArray twoAttributes = "</text><n a=\"1\" a\xEF\xBB\xBF=\"2\"/>";
    const QString padding(8192 - labelAt - twoAttributes.indexOf('\xEF'), 'a');
    loads("U+FEFF in an attribute name where the reader's pieces meet",
          handMadeBoard(padding).replace("</text>", twoAttributes), "50 mm x30 mm", true, padding);
}

void TestHostileBoards::load_data()
{
    hostileTable();
}

// A good board is loaded first: a refused file must leave it alone.
void TestHostileBoards::load()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, loadError);
    QFETCH(QString, size);
    Files files;
    const QString good = files.put("good.brd", handMadeBoard());
    const QString hostile = files.put("hostile.brd", bytes);
    const QMap<QString, QByteArray> before = filesIn(files.dir.path());
    DrivenWindow window;
    window.load(good);
    const QStringList rowsBefore = shownRows(window);
    QCOMPARE(rowsBefore.size(), 1);

    loadWithMessages(window, hostile, loadError.isEmpty() ? 0 : 1);
    if (loadError.isEmpty()) {
        QCOMPARE(window.script.messages.size(), 0);
        QCOMPARE(shownRows(window),
                 rowsBefore + QStringList {hostile + QLatin1String(" | ") + size});
    } else {
        verifyOneMessage(window, readErrorTitle, couldNotOpen(hostile, loadError));
        QCOMPARE(shownRows(window), rowsBefore);
    }
    QCOMPARE(filesIn(files.dir.path()), before);
}

void TestHostileBoards::panelOfALoadedFile_data()
{
    hostileTable(false);
}

// A file that loads goes on into a panel of its own.
void TestHostileBoards::panelOfALoadedFile()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, loadError);
    QFETCH(bool, fits);
    QFETCH(QString, panelText);
    QVERIFY(loadError.isEmpty());
    Files files;
    const QString hostile = files.put("hostile.brd", bytes);
    QMap<QString, QByteArray> expectedFiles = filesIn(files.dir.path());
    DrivenWindow window;
    window.load(hostile);
    window.load(hostile);
    QCOMPARE(window.script.messages.size(), 0);

    const QString output = files.path("panel.brd");
    window.makePanel(output, fits ? 0 : 2);
    if (!fits) {
        // Reported for each copy, and no file made.
        QCOMPARE(window.script.messages.size(), 2);
        for (const SeenMessage &message : window.script.messages) {
            QCOMPARE(message.title, QStringLiteral("No fit"));
            QCOMPARE(message.text, QStringLiteral("Could not fit all Boards on Panel"));
        }
        QCOMPARE(filesIn(files.dir.path()), expectedFiles);
        return;
    }
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.messages.size(), 0);
    const QByteArray panel = readWholeFile(output);
    QCOMPARE(readerFailure(panel), QString());
    QCOMPARE(textsOf(panel).count(panelText), 2);
    expectedFiles.insert(QStringLiteral("panel.brd"), panel);
    QCOMPARE(filesIn(files.dir.path()), expectedFiles);
}

void TestHostileBoards::boardReplacedBeforeThePanelRun_data()
{
    hostileTable();
}

// Two good boards are loaded; the second file is then overwritten with the
// row's bytes. A file that cannot be read is reported in the reader's words
// and left out; the first board still makes the panel, exactly as it would
// on its own.
void TestHostileBoards::boardReplacedBeforeThePanelRun()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, loadError);
    QFETCH(QString, panelText);
    Files files;
    const QString first = files.put("first.brd", handMadeBoard(QStringLiteral("FIRST")));
    const QString victim = files.put("victim.brd", handMadeBoard());
    QByteArray panel;
    {
        DrivenWindow window;
        window.load(first);
        window.load(victim);
        const QStringList rows = shownRows(window);
        files.put("victim.brd", bytes);
        QMap<QString, QByteArray> expectedFiles = filesIn(files.dir.path());

        window.makePanel(files.path("panel.brd"), loadError.isEmpty() ? 0 : 1);
        if (loadError.isEmpty())
            QCOMPARE(window.script.messages.size(), 0);
        else
            verifyOneMessage(window, readErrorTitle, couldNotOpen(victim, loadError));
        QCOMPARE(shownRows(window), rows);
        panel = readWholeFile(files.path("panel.brd"));
        expectedFiles.insert(QStringLiteral("panel.brd"), panel);
        QCOMPARE(filesIn(files.dir.path()), expectedFiles);
    }
    QCOMPARE(readerFailure(panel), QString());
    const QStringList texts = textsOf(panel);
    QCOMPARE(texts.count(QStringLiteral("FIRST")), 1);
    if (loadError.isEmpty()) {
        QCOMPARE(texts.count(panelText), 1);
        return;
    }
    // The window's dialog script is gone: it would refuse the next dialogs.
    DrivenWindow alone;
    alone.load(first);
    alone.makePanel(files.path("alone.brd"));
    QCOMPARE(readWholeFile(files.path("alone.brd")), panel);
}

// The open dialog does not take a directory for a file: it opens it. The user
// then gives up, and the load ends quietly like any cancelled one.
void TestHostileBoards::directoryChosenAsBoard()
{
    Files files;
    const QString good = files.put("good.brd", handMadeBoard());
    QVERIFY(QDir(files.dir.path()).mkdir(QStringLiteral("folder.brd")));
    const QMap<QString, QByteArray> before = filesIn(files.dir.path());
    DrivenWindow window;
    window.load(good);
    const QStringList rows = shownRows(window);

    bool stayedOpen = false;
    window.script.answer([&](QWidget *modal) {
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        QVERIFY(dialog);
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                ->setText(files.path("folder.brd"));
        static_cast<QDialog *>(dialog)->accept();
        stayedOpen = dialog->isVisible();
        dialog->reject();
    });
    window.click("loadButton");
    QVERIFY(stayedOpen);
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.messages.size(), 0);
    QCOMPARE(shownRows(window), rows);
    QCOMPARE(filesIn(files.dir.path()), before);
}

// A loaded board whose path is a directory by the time of the run cannot be
// opened: reported, left out, and the run goes on.
void TestHostileBoards::boardReplacedByADirectory()
{
    Files files;
    const QString first = files.put("first.brd", handMadeBoard(QStringLiteral("FIRST")));
    const QString victim = files.put("victim.brd", handMadeBoard());
    DrivenWindow window;
    window.load(first);
    window.load(victim);
    QVERIFY(QFile::remove(victim));
    QVERIFY(QDir(files.dir.path()).mkdir(QStringLiteral("victim.brd")));
    QMap<QString, QByteArray> expectedFiles = filesIn(files.dir.path());

    window.makePanel(files.path("panel.brd"), 1);
    verifyOneMessage(window, readErrorTitle,
                     couldNotOpen(victim, QStringLiteral("file to open is a directory")));
    const QByteArray panel = readWholeFile(files.path("panel.brd"));
    QCOMPARE(textsOf(panel), QStringList {QStringLiteral("FIRST")});
    expectedFiles.insert(QStringLiteral("panel.brd"), panel);
    QCOMPARE(filesIn(files.dir.path()), expectedFiles);
    QVERIFY(QFileInfo(victim).isDir());
}

namespace {

// Tells whether a file was opened while it was watched.
class OpenWatch
{
public:
    explicit OpenWatch(const QString &path)
        : fd(inotify_init1(IN_NONBLOCK))
    {
        if (fd >= 0)
            watch = inotify_add_watch(fd, QFile::encodeName(path).constData(), IN_OPEN | IN_ACCESS);
    }
    ~OpenWatch()
    {
        if (fd >= 0)
            ::close(fd);
    }
    bool works() const { return watch >= 0; }
    bool opened() const
    {
        char events[4096];
        return ::read(fd, events, sizeof events) > 0;
    }

private:
    int fd;
    int watch = -1;
};

} // namespace

// The label of the board refers to an external entity naming a file with a
// secret. The reader must neither fetch nor expand it, in the load or in the
// make-panel run: the file is never opened and its text is in no panel.
void TestHostileBoards::externalEntityIsNeverFetched()
{
    Files files;
    const QByteArray secret = "TOP-SECRET-4711";
    const QString secretPath = files.put("secret.txt", secret);
    const QString board = files.put("board.brd", externalEntityBoard(secretPath));
    QMap<QString, QByteArray> expectedFiles = filesIn(files.dir.path());
    OpenWatch watch(secretPath);
    if (!watch.works())
        QSKIP("inotify is not available");

    DrivenWindow window;
    window.load(board);
    window.load(board);
    QCOMPARE(window.script.messages.size(), 0);
    QCOMPARE(shownRows(window).size(), 2);
    const QString output = files.path("panel.brd");
    window.makePanel(output);
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.messages.size(), 0);

    QVERIFY(!watch.opened());
    const QByteArray panel = readWholeFile(output);
    QCOMPARE(readerFailure(panel), QString());
    QVERIFY(!panel.contains(secret));
    // The label's own text, around the reference, arrives in both copies.
    QCOMPARE(textsOf(panel), QStringList({QStringLiteral("[]"), QStringLiteral("[]")}));
    expectedFiles.insert(QStringLiteral("panel.brd"), panel);
    QCOMPARE(filesIn(files.dir.path()), expectedFiles);
}

QTEST_MAIN(TestHostileBoards)
#include "tst_hostileboards.moc"
