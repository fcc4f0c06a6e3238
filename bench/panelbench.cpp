// SPDX-License-Identifier: GPL-3.0-or-later
// panel_bench: Tavolin's pipeline without a window on K copies of one board.
//
//   panel_bench [options] BOARD.brd
//
// For each K it runs, each in a fresh child process of its own so that peak
// memory does not carry over: the pipeline (load and measure, place, shift,
// assemble, write), floor (a) (the panel parsed into a QDomDocument and saved
// again), floor (b) (the input read and the panel's bytes written with no
// processing), the parser's floor (one bare QXmlStreamReader pass over each
// copy's input) and the list-scan baseline. The machine is shared and noisy, so
// the figures that count are the ratios to the floors of the same run.
#include "benchstages.h"
#include "benchtable.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>

namespace {

struct Options
{
    QString board;
    QList<int> copies;
    int repeat = 1;
    int baselineLimit = 180; // seconds
    bool baseline = true;
    bool callgrind = false;
};

// The figures a child prints, one "key=value" line.
QString encode(const Figures &figures)
{
    QStringList pairs;
    for (auto it = figures.constBegin(); it != figures.constEnd(); ++it)
        pairs << it.key() + QLatin1Char('=') + QString::number(it.value(), 'f', 3);
    return pairs.join(QLatin1Char(' '));
}

Figures decode(const QString &line)
{
    Figures figures;
    for (const QString &pair : line.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        figures.insert(pair.section(QLatin1Char('='), 0, 0),
                       pair.section(QLatin1Char('='), 1).toDouble());
    return figures;
}

// A field of /proc/self/status in kilobytes (VmRSS: resident now, VmHWM: the
// highest so far); 0 where it cannot be read.
qint64 statusKb(const QByteArray &key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(key))
            return line.mid(key.size()).simplified().split(' ').value(0).toLongLong();
    }
    return 0;
}

struct ChildTask
{
    QString stage;
    QString board;
    int copies = 0;
    QString panel;
};

// One run of a child's stage; the best run is picked by the time under
// `key`.
QString runStage(const ChildTask &task, Figures &run, QString &digest, QString &key)
{
    key = task.stage;
    if (task.stage == QLatin1String("dom"))
        return runDomFloor(task.panel, run);
    if (task.stage == QLatin1String("copy"))
        return runCopyFloor(task.board, task.copies, task.panel, run);
    if (task.stage == QLatin1String("reader"))
        return runReaderFloor(task.board, task.copies, run);
    if (task.stage == QLatin1String("preview"))
        return runPreview(task.board, task.copies, run);
    const Assembly assembly =
            task.stage == QLatin1String("literal") ? Assembly::Literal : Assembly::Tavolin;
    key = QStringLiteral("total");
    return runPipeline(task.board, task.copies, assembly, task.panel, run, digest);
}

// A child: `stage board copies panel repeat`; prints its figures (the best
// of `repeat` runs) and the panel's digest, or an error.
int runChild(const QStringList &arguments)
{
    const qint64 idleKb = statusKb("VmRSS:");
    const ChildTask task {arguments.value(0), arguments.value(1), arguments.value(2).toInt(),
                          arguments.value(3)};
    const int repeat = std::max(1, arguments.value(4).toInt());
    Figures best;
    QString digest;
    QString error;
    for (int i = 0; i < repeat && error.isEmpty(); ++i) {
        Figures run;
        QString key;
        error = runStage(task, run, digest, key);
        if (best.isEmpty() || run.value(key) < best.value(key))
            best = run;
    }
    best[QStringLiteral("idleKb")] = double(idleKb);
    best[QStringLiteral("peakKb")] = double(statusKb("VmHWM:"));
    QTextStream out(stdout);
    if (!error.isEmpty()) {
        out << "error " << error << '\n';
        return 1;
    }
    out << encode(best) << '\n' << "digest " << digest << '\n';
    return 0;
}

// Runs one child and waits for it, at most `limitSeconds` (none when 0).
// Returns false, with `note` set, when it failed or was stopped.
bool childFigures(const QStringList &arguments, int limitSeconds, Figures &figures, QString *digest,
                  QString &note, const QStringList &runner = QStringList())
{
    QProcess child;
    child.setProcessChannelMode(runner.isEmpty() ? QProcess::ForwardedErrorChannel
                                                 : QProcess::SeparateChannels);
    const QStringList command = runner
            + QStringList {QCoreApplication::applicationFilePath(), QStringLiteral("--child")}
            + arguments;
    child.start(command.first(), command.mid(1));
    if (!child.waitForFinished(limitSeconds > 0 ? limitSeconds * 1000 : -1)) {
        child.kill();
        child.waitForFinished();
        note = QStringLiteral("stopped after %1 s").arg(limitSeconds);
        return false;
    }
    const QStringList lines =
            QString::fromUtf8(child.readAllStandardOutput()).split(QLatin1Char('\n'));
    if (child.exitCode() != 0 || lines.size() < 2) {
        note = lines.value(0);
        return false;
    }
    figures = decode(lines.at(0));
    if (digest)
        *digest = lines.at(1).mid(7);
    return true;
}

QList<int> copyCounts(const QString &text)
{
    QList<int> counts;
    for (const QString &part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const int count = part.toInt();
        if (count > 0)
            counts << count;
    }
    return counts;
}

bool parseOptions(const QStringList &arguments, Options &options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("Times Tavolin's pipeline on K copies of one board."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("board"), QStringLiteral("EAGLE board file"));
    const QCommandLineOption copies(QStringLiteral("copies"), QStringLiteral("Values of K."),
                                    QStringLiteral("list"), QStringLiteral("1,2,4,8,16,32"));
    const QCommandLineOption repeat(QStringLiteral("repeat"),
                                    QStringLiteral("Best of <n> runs per figure."),
                                    QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption limit(QStringLiteral("baseline-limit"),
                                   QStringLiteral("Stop the baseline after <s> seconds."),
                                   QStringLiteral("s"), QStringLiteral("180"));
    const QCommandLineOption noBaseline(QStringLiteral("no-baseline"),
                                        QStringLiteral("Do not run the baseline."));
    const QCommandLineOption callgrind(
            QStringLiteral("callgrind"),
            QStringLiteral("Also count the pipeline's instructions under valgrind."));
    parser.addOptions({copies, repeat, limit, noBaseline, callgrind});
    parser.process(arguments);
    options.copies = copyCounts(parser.value(copies));
    options.repeat = std::max(1, parser.value(repeat).toInt());
    options.baselineLimit = std::max(1, parser.value(limit).toInt());
    options.baseline = !parser.isSet(noBaseline);
    options.callgrind = parser.isSet(callgrind);
    options.board = parser.positionalArguments().value(0);
    return !options.board.isEmpty() && !options.copies.isEmpty();
}

// The instructions one pipeline run executes, the whole child process
// included, counted by callgrind: unlike times, they do not depend on what
// else the machine is doing. 0 when valgrind is not at hand.
double pipelineInstructions(const QStringList &common, const QTemporaryDir &workDir)
{
    const QString profile = workDir.filePath(QStringLiteral("callgrind.out"));
    const QStringList runner {QStringLiteral("valgrind"), QStringLiteral("--tool=callgrind"),
                              QStringLiteral("--callgrind-out-file=") + profile};
    Figures ignored;
    QString note;
    QStringList arguments = QStringList {QStringLiteral("pipeline")} + common;
    arguments.last() = QStringLiteral("1"); // one run
    if (!childFigures(arguments, 0, ignored, nullptr, note, runner))
        return 0;
    QFile file(profile);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    for (QByteArray line = file.readLine(); !line.isEmpty(); line = file.readLine()) {
        if (line.startsWith("summary:") || line.startsWith("totals:"))
            return line.mid(line.indexOf(':') + 1).trimmed().toDouble();
    }
    return 0;
}

// The children of one K; false when one of Tavolin's own stages failed.
bool measureRow(const Options &options, const QTemporaryDir &workDir, bool &baselineOn,
                BenchRow &row, QTextStream &err)
{
    const QString panel = workDir.filePath(QStringLiteral("panel.brd"));
    const QStringList common {options.board, QString::number(row.copies), panel,
                              QString::number(options.repeat)};
    QString note;
    bool measured = childFigures(QStringList {QStringLiteral("pipeline")} + common, 0, row.pipeline,
                                 &row.digest, note);
    for (const char *floor : {"dom", "copy", "reader"}) {
        Figures figures;
        measured = measured
                && childFigures(QStringList {QLatin1String(floor)} + common, 0, figures, nullptr,
                                note);
        row.floors.insert(figures);
    }
    measured = measured
            && childFigures(QStringList {QStringLiteral("preview")} + common, 0, row.preview,
                            nullptr, note);
    if (!measured) {
        err << "K=" << row.copies << ": " << note << '\n';
        return false;
    }
    if (options.callgrind)
        row.pipeline[QStringLiteral("instructions")] = pipelineInstructions(common, workDir);
    if (!baselineOn) {
        row.baselineNote = options.baseline ? QStringLiteral("not run (smaller K stopped)")
                                            : QStringLiteral("not run");
        return true;
    }
    const QString literalPanel = workDir.filePath(QStringLiteral("literal.brd"));
    const QStringList literal {QStringLiteral("literal"), options.board,
                               QString::number(row.copies), literalPanel, QStringLiteral("1")};
    if (!childFigures(literal, options.baselineLimit, row.baseline, nullptr, note)) {
        row.baselineNote = note;
        baselineOn = false;
    }
    return true;
}

int runParent(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QTemporaryDir workDir;
    Options options;
    if (!workDir.isValid() || !parseOptions(arguments, options)) {
        err << "usage: panel_bench [--copies 1,2,4] [--repeat n] [--baseline-limit s]"
               " [--no-baseline] [--callgrind] BOARD.brd\n";
        return 2;
    }
    out << "Board: " << options.board << " (" << QFile(options.board).size() << " bytes), best of "
        << options.repeat << ", Qt " << qVersion() << "\n\n";
    out.flush();
    QList<BenchRow> rows;
    bool baselineOn = options.baseline;
    for (const int copies : options.copies) {
        BenchRow row;
        row.copies = copies;
        if (!measureRow(options, workDir, baselineOn, row, err))
            return 1;
        rows << row;
        err << "K=" << copies << " done\n";
        err.flush();
    }
    printTables(out, rows);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.value(1) == QLatin1String("--child"))
        return runChild(arguments.mid(2));
    return runParent(arguments);
}
