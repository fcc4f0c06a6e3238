// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/drivenwindow.h"

#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>

// A board of 50 MB, a real board with its signals repeated, loaded and made
// into a panel through the window. Loading streams through the file, so it
// needs hardly more memory than the window itself: a quarter of the file is
// a generous bound. The panel run holds the board's tokens (its names kept
// once, its values and texts as UTF-16, a few integers for each tag and
// attribute), the copy's moved coordinates and the panel's UTF-8 text (1.2
// times the file): about 4.6 times the file of this board, whose wires are
// mostly attributes, and 5 times is the bound (a copy held as text took
// about 4 times, and 7 before the assembly read that text in slices).
//
// Peak memory is the kernel's high-water mark of the resident set (VmHWM),
// reset before each step through /proc/self/clear_refs.
//
// AddressSanitizer keeps freed memory in quarantine and shadows every byte,
// so there the board is 5 MB and only the results are checked.
class TestLargeBoard : public QObject
{
    Q_OBJECT

private slots:
    void loadsAndPanelsWithinAFewTimesItsSize();
};

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool underAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool underAddressSanitizer = true;
#else
constexpr bool underAddressSanitizer = false;
#endif
#else
constexpr bool underAddressSanitizer = false;
#endif

constexpr qint64 megabyte = 1 << 20;

// A field of /proc/self/status in bytes; -1 when it cannot be read.
qint64 statusBytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return -1;
    const QString text = QString::fromLatin1(status.readAll());
    const QRegularExpression line(QLatin1String(field) + QLatin1String(":\\s+(\\d+) kB"));
    const QRegularExpressionMatch match = line.match(text);
    return match.hasMatch() ? match.captured(1).toLongLong() * 1024 : -1;
}

// Peak resident memory that `step` added to what the process held before.
template<typename Step>
qint64 peakGrowth(Step step)
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    const bool reset = clear.open(QIODevice::WriteOnly) && clear.write("5") == 1;
    clear.close();
    const qint64 before = statusBytes("VmRSS");
    step();
    const qint64 peak = statusBytes("VmHWM");
    return reset && before >= 0 && peak >= 0 ? peak - before : -1;
}

// The board with its signals repeated until it holds at least `size` bytes.
QByteArray withSignalsRepeated(const QByteArray &board, qint64 size)
{
    const int start = board.indexOf("<signals>") + 9;
    const int end = board.indexOf("</signals>");
    const QByteArray signalList = board.mid(start, end - start);
    const int times = int((size - board.size()) / signalList.size()) + 2;
    return board.left(start) + signalList.repeated(times) + board.mid(end);
}

int countOf(const QByteArray &text, const QByteArray &what)
{
    int count = 0;
    for (int at = text.indexOf(what); at >= 0; at = text.indexOf(what, at + what.size()))
        ++count;
    return count;
}

} // namespace

void TestLargeBoard::loadsAndPanelsWithinAFewTimesItsSize()
{
    REQUIRE_REAL_BOARDS();
    const QByteArray original = readWholeFile(realBoard(QStringLiteral("OpenLog.brd")));
    QVERIFY(original.contains("<signals>"));
    const qint64 target = underAddressSanitizer ? 5 * megabyte : 50 * megabyte;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.brd"));
    qint64 size = 0;
    int signalCount = 0;
    {
        const QByteArray large = withSignalsRepeated(original, target);
        size = large.size();
        signalCount = countOf(large, "<signal ");
        QVERIFY(writeWholeFile(path, large));
    }
    QVERIFY(size >= target);

    DrivenWindow window;
    window.load(realBoard(QStringLiteral("OpenLog.brd")));
    QElapsedTimer clock;
    clock.start();
    const qint64 loadPeak = peakGrowth([&] { window.load(path); });
    const qint64 loadTime = clock.restart();
    QCOMPARE(window.script.messages.size(), 0);
    const QStringList sizes = window.sizeRows();
    QCOMPARE(sizes.size(), 2);
    // Only signals were added, and they hold no outline.
    QCOMPARE(sizes.at(1), sizes.at(0));
    // The panel is of the large board alone.
    DrivenWindow::choose(window.files(), 0);
    window.click("deleteButton");
    QCOMPARE(window.fileRows(), QStringList {path});

    const QString output = dir.filePath(QStringLiteral("panel.brd"));
    const qint64 panelPeak = peakGrowth([&] { window.makePanel(output); });
    const qint64 panelTime = clock.elapsed();
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.messages.size(), 0);
    const QByteArray panel = readWholeFile(output);
    QCOMPARE(countOf(panel, "<signal "), signalCount);
    QXmlStreamReader reader(panel);
    while (!reader.atEnd())
        reader.readNext();
    QVERIFY(!reader.hasError());

    qInfo("board %lld MB; load: peak +%lld MB, %lld ms; panel: peak +%lld MB, %lld ms",
          size / megabyte, loadPeak / megabyte, loadTime, panelPeak / megabyte, panelTime);
    if (underAddressSanitizer)
        return;
    if (loadPeak < 0 || panelPeak < 0)
        QSKIP("the peak resident memory cannot be measured here");
    QVERIFY2(loadPeak < size / 4, "loading holds the board in memory");
    QVERIFY2(panelPeak < 5 * size, "the panel run holds more than a few times the board");
}

QTEST_MAIN(TestLargeBoard)
#include "tst_largeboard.moc"
