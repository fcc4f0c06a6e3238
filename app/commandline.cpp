// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include "catalogue/measuredboards.h"
#include "layout/panelrun.h"

#include <QCommandLineParser>
#include <QSaveFile>

#include <cstdio>

namespace {

const char *const panelOptions[] = {
        "--width",      "--height",     "--offset",    "--output",        "--frame",     "--tabs",
        "--bite-drill", "--bite-pitch", "--fiducials", "--tooling-holes", "--fixed-size"};
const char *const infoOptions[] = {"-h", "-?", "--help", "--help-all", "-v", "--version"};

bool isPanelOption(const QByteArray &argument)
{
    for (const char *option : panelOptions) {
        if (argument == option || argument.startsWith(QByteArray(option) + '='))
            return true;
    }
    return false;
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

struct NumberOption
{
    QCommandLineOption option;
    NumberRange range;
    int *value;
};

// A value outside the spin box's range could not be typed into the window
// either; it is refused rather than clamped.
bool readNumber(const QCommandLineParser &parser, const NumberOption &number, QString &error)
{
    if (!parser.isSet(number.option))
        return true;
    const QString text = parser.value(number.option);
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || !number.range.holds(value)) {
        error = QStringLiteral("--%1 takes whole millimetres from %2 to %3, not \"%4\"")
                        .arg(number.option.names().first())
                        .arg(number.range.minimum)
                        .arg(number.range.maximum)
                        .arg(text);
        return false;
    }
    *number.value = value;
    return true;
}

struct MillimetreOption
{
    QCommandLineOption option;
    double minimum;
    double maximum;
    double *value;
    bool zeroAllowed; // 0 turns the feature off even below the minimum
};

bool readMillimetres(const QCommandLineParser &parser, const MillimetreOption &number,
                     QString &error)
{
    if (!parser.isSet(number.option))
        return true;
    const QString text = parser.value(number.option);
    bool ok = false;
    const double value = text.toDouble(&ok);
    const bool inRange = value >= number.minimum && value <= number.maximum;
    if (!ok || !(inRange || (number.zeroAllowed && value == 0.0))) {
        error = QStringLiteral("--%1 takes millimetres from %2 to %3%4, not \"%5\"")
                        .arg(number.option.names().first())
                        .arg(number.minimum)
                        .arg(number.maximum)
                        .arg(number.zeroAllowed ? QStringLiteral(" or 0") : QString())
                        .arg(text);
        return false;
    }
    *number.value = value;
    return true;
}

// Every board as the window's Load takes it in: one that cannot be read is
// reported and left out, the others are loaded. A board named again is not
// measured again.
QVector<PanelBoard> loadBoards(const QStringList &paths, int &problems)
{
    MeasuredBoards measuredBoards;
    QVector<PanelBoard> boards;
    for (const QString &path : paths) {
        const OutlineMeasurement measured = measuredBoards.measure(path);
        if (measured.error.isEmpty()) {
            boards.append(measuredBoard(path, measured.box));
        } else {
            report(QStringLiteral("warning: ")
                   + unreadableBoardProblem(path, measured.error).line());
            ++problems;
        }
    }
    return boards;
}

CommandLineStatus makePanel(const QStringList &paths, const PanelNumbers &numbers,
                            const QString &outputPath)
{
    int problems = 0;
    const QVector<PanelBoard> boards = loadBoards(paths, problems);
    QSaveFile output(outputPath);
    if (const std::optional<PanelProblem> problem = openPanelOutput(output)) {
        report(QStringLiteral("error: ") + problem->line());
        return CommandLineStatus::NothingWritten;
    }
    const AssembledPanel panel = assembleBoards(boards, numbers);
    for (const PanelProblem &problem : panel.problems) {
        for (const QString &line : problem.lines())
            report(QStringLiteral("warning: ") + line);
    }
    problems += panel.problems.size();
    if (panel.text.isEmpty()) {
        savePanelOutput(output, panel.text);
        report(QStringLiteral("error: %1: no board placed, nothing written").arg(outputPath));
        return CommandLineStatus::NothingWritten;
    }
    if (const std::optional<PanelProblem> problem = savePanelOutput(output, panel.text)) {
        report(QStringLiteral("error: ") + problem->line());
        return CommandLineStatus::NothingWritten;
    }
    return problems == 0 ? CommandLineStatus::Written : CommandLineStatus::WrittenWithProblems;
}

} // namespace

bool wantsCommandLine(int argc, const char *const argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "--")
            break;
        if (isPanelOption(argument))
            return true;
        for (const char *option : infoOptions) {
            if (argument == option)
                return true;
        }
    }
    return false;
}

CommandLineStatus runCommandLine(const QStringList &arguments)
{
    PanelNumbers numbers;
    const auto numberOption = [](const char *name, const char *what, int value) {
        return QCommandLineOption(
                QLatin1String(name),
                QStringLiteral("%1 in whole mm (default %2).").arg(QLatin1String(what)).arg(value),
                QStringLiteral("mm"));
    };
    const NumberOption width {numberOption("width", "Panel width", numbers.width),
                              PanelNumbers::sideRange, &numbers.width};
    const NumberOption height {numberOption("height", "Panel height", numbers.height),
                               PanelNumbers::sideRange, &numbers.height};
    const NumberOption offset {numberOption("offset",
                                            "Least gap between boards, in a row and between rows",
                                            numbers.offset),
                               PanelNumbers::offsetRange, &numbers.offset};
    FrameSettings &frame = numbers.frame;
    const NumberOption frameWidth {
            numberOption("frame", "Width of the rails around the panel; 0: none", 0),
            {0, FrameLimits::maxFrameWidth},
            &frame.frameWidth};
    const auto mmOption = [](const char *name, const char *what, double value) {
        return QCommandLineOption(
                QLatin1String(name),
                QStringLiteral("%1 in mm (default %2).").arg(QLatin1String(what)).arg(value),
                QStringLiteral("mm"));
    };
    const MillimetreOption tabs {mmOption("tabs",
                                          "Width of the tabs that hold the boards; 0: "
                                          "none",
                                          frame.tabWidth),
                                 1.0, FrameLimits::maxTabWidth, &frame.tabWidth, true};
    const MillimetreOption biteDrill {
            mmOption("bite-drill", "Drill of the mouse-bite holes", frame.biteDrill),
            FrameLimits::minBiteDrill, FrameLimits::maxBiteDrill, &frame.biteDrill, false};
    const MillimetreOption bitePitch {
            mmOption("bite-pitch", "Distance between mouse-bite holes", frame.bitePitch),
            FrameLimits::minBiteDrill, 2 * FrameLimits::maxBiteDrill, &frame.bitePitch, false};
    const MillimetreOption tooling {mmOption("tooling-holes",
                                             "Drill of a tooling hole in each corner; 0: none",
                                             frame.toolingDrill),
                                    1.0, FrameLimits::maxToolingDrill, &frame.toolingDrill, true};
    const QCommandLineOption fiducials(QStringLiteral("fiducials"),
                                       QStringLiteral("Three fiducials on the rails."));
    const QCommandLineOption fixedSize(
            QStringLiteral("fixed-size"),
            QStringLiteral("With --frame, keep the panel at --width and --height rather than "
                           "shrinking it to the boards."));
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("Write the panel to <file>, without a window."),
                                    QStringLiteral("file"));
    QCommandLineParser parser;
    parser.setApplicationDescription(
            QStringLiteral("Places copies of EAGLE boards in rows on a panel and writes the panel "
                           "as one EAGLE board file. Without --output the window opens with the "
                           "boards loaded."));
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    parser.addOptions({width.option, height.option, offset.option, frameWidth.option, tabs.option,
                       biteDrill.option, bitePitch.option, fiducials, tooling.option, fixedSize,
                       output});
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
    QString error;
    for (const NumberOption *number : {&width, &height, &offset, &frameWidth}) {
        if (!readNumber(parser, *number, error))
            return usageError(error);
    }
    for (const MillimetreOption *number : {&tabs, &biteDrill, &bitePitch, &tooling}) {
        if (!readMillimetres(parser, *number, error))
            return usageError(error);
    }
    frame.fiducials = parser.isSet(fiducials);
    frame.fixedSize = parser.isSet(fixedSize);
    if (frame.bitePitch < frame.biteDrill)
        return usageError(QStringLiteral("--bite-pitch must be at least --bite-drill"));
    if (!parser.isSet(output))
        return usageError(
                QStringLiteral("--width, --height, --offset and the frame settings need --output"));
    if (parser.value(output).isEmpty())
        return usageError(QStringLiteral("--output needs a file name"));
    if (parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("no board file given"));
    return makePanel(parser.positionalArguments(), numbers, parser.value(output));
}
