// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include "problemtext.h"

#include "core/board/measuredboards.h"
#include "core/frame/settinglimits.h"
#include "core/run/panelfile.h"
#include "core/run/panelpreview.h"
#include "core/run/panelrun.h"
#include "picture/panelpicture.h"

#include <QByteArrayList>
#include <QCommandLineParser>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>

namespace {

const char *const panelOptions[] = {"--width",         "--height",     "--offset",
                                    "--output",        "--frame",      "--tabs",
                                    "--bite-drill",    "--bite-pitch", "--fiducials",
                                    "--tooling-holes", "--fixed-size", "--preview"};
const QByteArrayList infoOptions {"-h", "-?", "--help", "--help-all", "-v", "--version"};

bool isOption(const QByteArray &argument, const char *option)
{
    return argument == option || argument.startsWith(QByteArray(option) + '=');
}

bool isPanelOption(const QByteArray &argument)
{
    return std::any_of(std::begin(panelOptions), std::end(panelOptions),
                       [&](const char *option) { return isOption(argument, option); });
}

void report(const QString &line)
{
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 line.toLocal8Bit().constData());
}

CommandLineStatus usageError(const QString &text)
{
    report(text);
    report(QStringLiteral("see '%1 --help'").arg(QCoreApplication::applicationName()));
    return CommandLineStatus::Usage;
}

// A setting given as an option, bounded by its row of the limits table. A
// value the table does not accept could not be typed into the window
// either; it is refused rather than fitted.
struct SettingOption
{
    QCommandLineOption option;
    const SettingLimits &limits;
    int *whole = nullptr;
    double *millimetres = nullptr;
};

SettingOption settingOption(const char *name, const char *what, const SettingLimits &limits,
                            int *whole, double *millimetres = nullptr)
{
    const QString unit = limits.decimals == 0 ? QStringLiteral("whole mm") : QStringLiteral("mm");
    return {QCommandLineOption(QLatin1String(name),
                               QStringLiteral("%1 in %2 (default %3).")
                                       .arg(QLatin1String(what), unit)
                                       .arg(limits.defaultValue),
                               QStringLiteral("mm")),
            limits, whole, millimetres};
}

// Why the option's value is refused; empty when it is taken or not given.
QString readSetting(const QCommandLineParser &parser, const SettingOption &setting)
{
    if (!parser.isSet(setting.option))
        return QString();
    const QString text = parser.value(setting.option);
    bool ok = false;
    const double value = setting.whole ? text.toInt(&ok) : text.toDouble(&ok);
    const SettingLimits &limits = setting.limits;
    if (!ok || !limits.accepts(value)) {
        return QStringLiteral("--%1 takes %2 from %3 to %4%5")
                       .arg(setting.option.names().first(),
                            limits.decimals == 0 ? QStringLiteral("whole millimetres")
                                                 : QStringLiteral("millimetres"))
                       .arg(limits.minimum)
                       .arg(limits.maximum)
                       .arg(limits.offAtZero ? QStringLiteral(" or 0") : QString())
                + QStringLiteral(", not \"%1\"").arg(text);
    }
    if (setting.whole)
        *setting.whole = int(value);
    else
        *setting.millimetres = value;
    return QString();
}

// Every board as the window's Load takes it in: one that cannot be read is
// reported and left out, the others are loaded. A board named again is not
// measured again.
QVector<PanelBoard> loadBoards(const QStringList &paths, MeasuredBoards &measuredBoards,
                               int &problems)
{
    QVector<PanelBoard> boards;
    for (const QString &path : paths) {
        const OutlineMeasurement measured = measuredBoards.measure(path);
        if (measured.error.isEmpty()) {
            boards.append(measuredBoard(path, measured.box, measured.drawing));
        } else {
            report(QStringLiteral("warning: ")
                   + problemLines(unreadableBoardProblem(path, measured.error)).constFirst());
            ++problems;
        }
    }
    return boards;
}

int reportProblems(const QList<PanelProblem> &problems)
{
    for (const PanelProblem &problem : problems) {
        for (const QString &line : problemLines(problem))
            report(QStringLiteral("warning: ") + line);
    }
    return problems.size();
}

bool writePicture(const PanelPicture &picture, const QString &path)
{
    const QString error = savePicture(picture, path);
    if (!error.isEmpty())
        report(QStringLiteral("error: %1: %2").arg(path, error));
    return error.isEmpty();
}

// Only a picture: the boards are placed and framed as the panel would be,
// and nothing else is done with them.
CommandLineStatus showPanel(const QVector<PanelBoard> &boards, const PanelNumbers &numbers,
                            PanelRun::ReadTokens read, const QString &previewPath, int problems)
{
    const PanelPreview preview = previewPanel(boards, numbers, std::move(read));
    problems += reportProblems(preview.problems);
    if (!writePicture(PanelPicture(preview), previewPath))
        return CommandLineStatus::NothingWritten;
    return problems == 0 ? CommandLineStatus::Written : CommandLineStatus::WrittenWithProblems;
}

// `previewPath` empty: no picture. The picture is written before the panel,
// from the same run; a picture that cannot be written ends the run.
CommandLineStatus makePanel(const QStringList &paths, const PanelNumbers &numbers,
                            const QString &outputPath, const QString &previewPath)
{
    int problems = 0;
    // The panel is made right away: each file's one read serves it too. A
    // picture of a panel without a frame needs only the measurements.
    MeasuredBoards measuredBoards(!outputPath.isEmpty() || !numbers.frame.isOff());
    const QVector<PanelBoard> boards = loadBoards(paths, measuredBoards, problems);
    PanelRun::ReadTokens read;
    for (const PanelBoard &board : boards)
        read.insert(board.path, measuredBoards.tokensOf(board.path));
    if (outputPath.isEmpty())
        return showPanel(boards, numbers, std::move(read), previewPath, problems);
    QSaveFile output(outputPath);
    if (const std::optional<PanelProblem> problem = openPanelOutput(output)) {
        report(QStringLiteral("error: ") + problemLines(*problem).constFirst());
        return CommandLineStatus::NothingWritten;
    }
    PanelRun run(boards, numbers);
    run.reuse(std::move(read));
    run.place();
    run.shift();
    if (!previewPath.isEmpty() && !writePicture(PanelPicture(previewOf(run)), previewPath)) {
        discardPanelFile(output);
        return CommandLineStatus::NothingWritten;
    }
    run.assemble();
    const AssembledPanel panel = run.takePanel();
    problems += reportProblems(panel.problems);
    if (panel.text.isEmpty()) {
        savePanelOutput(output, panel.text);
        report(QStringLiteral("error: %1: no board placed, nothing written").arg(outputPath));
        return CommandLineStatus::NothingWritten;
    }
    if (const std::optional<PanelProblem> problem = savePanelOutput(output, panel.text)) {
        report(QStringLiteral("error: ") + problemLines(*problem).constFirst());
        return CommandLineStatus::NothingWritten;
    }
    return problems == 0 ? CommandLineStatus::Written : CommandLineStatus::WrittenWithProblems;
}

} // namespace

QStringList problemLines(const PanelProblem &problem)
{
    const QString title = problemTitle(problem);
    if (problem.kind == PanelProblem::DesignRules) {
        QStringList lines;
        for (const QString &rule : ruleLines(problem))
            lines << title + QStringLiteral(": ") + rule;
        return lines;
    }
    const QString text = problemText(problem);
    QStringList parts;
    // A text that already names its file says it once.
    if (!problem.file.isEmpty() && !text.contains(problem.file))
        parts << problem.file;
    // "No fit" is the only title that says what happened.
    if (problem.kind == PanelProblem::NoFit || problem.kind == PanelProblem::NoTabs)
        parts << title;
    parts << text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return {parts.join(QStringLiteral(": "))};
}

bool wantsPicture(int argc, const char *const argv[])
{
    for (int i = 1; i < argc && QByteArray(argv[i]) != "--"; ++i) {
        if (isOption(argv[i], "--preview"))
            return true;
    }
    return false;
}

bool wantsCommandLine(int argc, const char *const argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            break;
        if (isPanelOption(argument) || infoOptions.contains(argument))
            return true;
    }
    return false;
}

CommandLineStatus runCommandLine(const QStringList &arguments)
{
    PanelNumbers numbers;
    FrameSettings &frame = numbers.frame;
    const SettingOption settings[] = {
            settingOption("width", "Panel width", Limits::panelWidth, &numbers.width),
            settingOption("height", "Panel height", Limits::panelHeight, &numbers.height),
            settingOption("offset", "Least gap between boards, in a row and between rows",
                          Limits::offset, &numbers.offset),
            settingOption("frame", "Width of the rails around the panel; 0: none",
                          Limits::frameWidth, &frame.frameWidth),
            settingOption("tabs", "Width of the tabs that hold the boards; 0: none",
                          Limits::tabWidth, nullptr, &frame.tabWidth),
            settingOption("bite-drill", "Drill of the mouse-bite holes", Limits::biteDrill, nullptr,
                          &frame.biteDrill),
            settingOption("bite-pitch", "Distance between mouse-bite holes", Limits::bitePitch,
                          nullptr, &frame.bitePitch),
            settingOption("tooling-holes", "Drill of a tooling hole in each corner; 0: none",
                          Limits::toolingDrill, nullptr, &frame.toolingDrill)};
    const QCommandLineOption fiducials(QStringLiteral("fiducials"),
                                       QStringLiteral("Three fiducials on the rails."));
    const QCommandLineOption fixedSize(
            QStringLiteral("fixed-size"),
            QStringLiteral("With --frame, keep the panel at --width and --height rather than "
                           "shrinking it to the boards."));
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("Write the panel to <file>, without a window."),
                                    QStringLiteral("file"));
    const QCommandLineOption preview(
            QStringLiteral("preview"),
            QStringLiteral("Write a picture of the panel to <file>, SVG or PNG by its suffix, "
                           "with or without --output."),
            QStringLiteral("file"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("Places copies of EAGLE boards in rows on a panel and writes the panel "
                           "as one EAGLE board file. Without --output the window opens with the "
                           "boards loaded."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    for (int i = 0; i < 7; ++i)
        parser.addOption(settings[i].option);
    parser.addOptions({fiducials, settings[7].option, fixedSize, output, preview});
    parser.addPositionalArgument(QStringLiteral("boards"),
                                 QStringLiteral("Board files, each placed once per mention, in "
                                                "the order given."),
                                 QStringLiteral("BOARD.brd..."));
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help))
        parser.showHelp(0);
    if (parser.isSet(version))
        parser.showVersion();
    for (const SettingOption &setting : settings) {
        const QString refused = readSetting(parser, setting);
        if (!refused.isEmpty())
            return usageError(refused);
    }
    frame.fiducials = parser.isSet(fiducials);
    frame.fixedSize = parser.isSet(fixedSize);
    if (frame.bitePitch < frame.biteDrill)
        return usageError(QStringLiteral("--bite-pitch must be at least --bite-drill"));
    if (!parser.isSet(output) && !parser.isSet(preview))
        return usageError(QStringLiteral(
                "--width, --height, --offset and the frame settings need --output or --preview"));
    for (const QCommandLineOption &file : {output, preview}) {
        if (parser.isSet(file) && parser.value(file).isEmpty())
            return usageError(QStringLiteral("--%1 needs a file name").arg(file.names().first()));
    }
    if (parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("no board file given"));
    return makePanel(parser.positionalArguments(), numbers, parser.value(output),
                     parser.value(preview));
}
