// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandline.h"

#include "problemtext.h"
#include "runreport.h"

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

const char *const panelOptions[] = {
        "--width",      "--height",     "--offset",     "--output",     "--frame",
        "--tabs",       "--bite-drill", "--bite-pitch", "--fiducials",  "--tooling-holes",
        "--fixed-size", "--preview",    "--vcuts",      "--vcut-layer", "--preset"};
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

// What the command line is asked to do.
struct PanelRequest
{
    QStringList paths;
    QHash<int, int> turns; // quarter turns, by the board's place among the paths
    PanelNumbers numbers;
    bool fill = false;
    QString outputPath;
    QString previewPath;
    QString reportPath;
};

// The boards loaded, each with its row (where it was named, from 1), and
// those that could not be.
struct LoadedBoards
{
    QVector<PanelBoard> boards;
    QVector<int> rows;
    QList<PanelProblem> unread;
};

// Every board as the window's Load takes it in: one that cannot be read is
// reported and left out, the others are loaded. A board named again is not
// measured again. With --fill the boards are repeated as long as they fit.
LoadedBoards loadBoards(const PanelRequest &request, MeasuredBoards &measuredBoards)
{
    LoadedBoards loaded;
    for (int i = 0; i < request.paths.size(); ++i) {
        const QString &path = request.paths.at(i);
        const OutlineMeasurement measured = measuredBoards.measure(path);
        if (measured.error.isEmpty()) {
            loaded.boards.append(measuredBoard(path, measured.box, measured.drawing));
            loaded.boards.last().turn = request.turns.value(i);
            loaded.rows.append(i + 1);
        } else {
            loaded.unread.append(unreadableBoardProblem(path, measured.error, i));
            report(QStringLiteral("warning: ") + problemLines(loaded.unread.last()).constFirst());
        }
    }
    if (request.fill) {
        const int given = loaded.boards.size();
        loaded.boards = filledBoards({}, loaded.boards, request.numbers,
                                     keptTokens(loaded.boards, measuredBoards));
        for (int i = given; i < loaded.boards.size(); ++i)
            loaded.rows.append(loaded.rows.at(i % given));
        loaded.rows.resize(loaded.boards.size());
    }
    return loaded;
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

// No --report: nothing to write.
bool writeReport(const QString &path, const RunRecord &record)
{
    if (path.isEmpty())
        return true;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(runReport(record)) >= 0 && file.commit())
        return true;
    report(QStringLiteral("error: %1: %2").arg(path, file.errorString()));
    return false;
}

RunRecord recordOf(const PanelRequest &request, const LoadedBoards &loaded, int width, int height,
                   const QVector<PanelPlacement> &placements, const QList<PanelProblem> &problems)
{
    return {loaded.boards, loaded.rows, request.numbers, width,
            height,        placements,  problems,        loaded.unread};
}

CommandLineStatus endStatus(int problems)
{
    return problems == 0 ? CommandLineStatus::Written : CommandLineStatus::WrittenWithProblems;
}

// Only a picture or a report: the boards are placed and framed as the panel
// would be, and nothing else is done with them.
CommandLineStatus showPanel(const PanelRequest &request, const LoadedBoards &loaded,
                            PanelRun::ReadTokens read)
{
    const PanelPreview preview = previewPanel(loaded.boards, request.numbers, std::move(read));
    const int problems = loaded.unread.size() + reportProblems(preview.problems);
    if (!request.previewPath.isEmpty() && !writePicture(PanelPicture(preview), request.previewPath))
        return CommandLineStatus::NothingWritten;
    QVector<PanelPlacement> placements;
    for (const PreviewCopy &copy : preview.copies)
        placements.append({copy.board, copy.shift});
    const RunRecord record =
            recordOf(request, loaded, preview.width, preview.height, placements, preview.problems);
    if (!writeReport(request.reportPath, record))
        return CommandLineStatus::NothingWritten;
    return endStatus(problems);
}

// The picture is written before the panel, from the same run, and the
// report after it is made; one that cannot be written ends the run.
CommandLineStatus makePanel(const PanelRequest &request)
{
    const QString &outputPath = request.outputPath;
    // The panel is made right away: each file's one read serves it too. A
    // picture of a panel without a frame needs only the measurements.
    MeasuredBoards measuredBoards(!outputPath.isEmpty() || !request.numbers.frame.isOff());
    const LoadedBoards loaded = loadBoards(request, measuredBoards);
    PanelRun::ReadTokens read = keptTokens(loaded.boards, measuredBoards);
    if (outputPath.isEmpty())
        return showPanel(request, loaded, std::move(read));
    QSaveFile output(outputPath);
    if (const std::optional<PanelProblem> problem = openPanelOutput(output)) {
        report(QStringLiteral("error: ") + problemLines(*problem).constFirst());
        return CommandLineStatus::NothingWritten;
    }
    PanelRun run(loaded.boards, request.numbers);
    run.reuse(std::move(read));
    run.place();
    run.shift();
    if (!request.previewPath.isEmpty()
        && !writePicture(PanelPicture(previewOf(run)), request.previewPath)) {
        discardPanelFile(output);
        return CommandLineStatus::NothingWritten;
    }
    run.assemble();
    const AssembledPanel panel = run.takePanel();
    const int problems = loaded.unread.size() + reportProblems(panel.problems);
    const RunRecord record =
            recordOf(request, loaded, panel.width, panel.height, panel.placements, panel.problems);
    if (!panel.text.isEmpty() && !writeReport(request.reportPath, record)) {
        discardPanelFile(output);
        return CommandLineStatus::NothingWritten;
    }
    if (panel.text.isEmpty()) {
        savePanelOutput(output, panel.text);
        report(QStringLiteral("error: %1: no board placed, nothing written").arg(outputPath));
        return CommandLineStatus::NothingWritten;
    }
    if (const std::optional<PanelProblem> problem = savePanelOutput(output, panel.text)) {
        report(QStringLiteral("error: ") + problemLines(*problem).constFirst());
        return CommandLineStatus::NothingWritten;
    }
    return endStatus(problems);
}

// "--turn 2=90": the second board named, a quarter turn counterclockwise.
// Why the value is refused; empty when it is taken.
QString readTurn(const QString &text, int boards, QHash<int, int> &turns)
{
    const QStringList parts = text.split(QLatin1Char('='));
    bool rowOk = false;
    bool angleOk = false;
    const int row = parts.value(0).toInt(&rowOk);
    const int angle = parts.value(1).toInt(&angleOk);
    if (parts.size() != 2 || !rowOk || !angleOk || row < 1 || row > boards || angle % 90 != 0)
        return QStringLiteral("--turn takes BOARD=DEGREES, BOARD the place of a board among "
                              "those given (1 to %1) and DEGREES 0, 90, 180 or 270, not \"%2\"")
                .arg(boards)
                .arg(text);
    turns.insert(row - 1, (angle / 90 % 4 + 4) % 4);
    return QString();
}

} // namespace

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
                          Limits::toolingDrill, nullptr, &frame.toolingDrill),
            settingOption("vcut-layer", "With --vcuts, the layer number the cuts are drawn on",
                          Limits::vcutLayer, &frame.vcutLayer)};
    const QCommandLineOption fiducials(QStringLiteral("fiducials"),
                                       QStringLiteral("Three fiducials on the rails."));
    const QCommandLineOption fixedSize(
            QStringLiteral("fixed-size"),
            QStringLiteral("With --frame, keep the panel at --width and --height rather than "
                           "shrinking it to the boards."));
    const QCommandLineOption vcuts(
            QStringLiteral("vcuts"),
            QStringLiteral("Part copies of one rectangular board by V-cuts: set edge to edge in "
                           "a grid, cut from edge to edge of the panel. Other boards make the "
                           "panel take tabs and mouse bites instead."));
    QStringList houseKeys;
    for (const HouseRules &house : boardHouses())
        houseKeys << QLatin1String(house.key);
    const QCommandLineOption preset(
            QStringLiteral("preset"),
            QStringLiteral("Start from the numbers of a board house (%1), and check the panel "
                           "against its limits; options given set their numbers over the "
                           "preset's.")
                    .arg(houseKeys.join(QLatin1String(", "))),
            QStringLiteral("house"));
    const QCommandLineOption output(QStringLiteral("output"),
                                    QStringLiteral("Write the panel to <file>, without a window."),
                                    QStringLiteral("file"));
    const QCommandLineOption turn(
            QStringLiteral("turn"),
            QStringLiteral("Turn the <board>-th board given (counting from 1) by <degrees> "
                           "counterclockwise: 0, 90, 180 or 270. Repeat for other boards."),
            QStringLiteral("board=degrees"));
    const QCommandLineOption pack(
            QStringLiteral("pack"),
            QStringLiteral("Pack the boards, largest first, each where it fits best and turned "
                           "a quarter where that fits better, rather than in rows in the "
                           "order given."));
    const QCommandLineOption fill(
            QStringLiteral("fill"),
            QStringLiteral("Repeat the boards given, in order, as long as the next one fits."));
    const QCommandLineOption reportFile(
            QStringLiteral("report"),
            QStringLiteral("Write what the run did to <file>, as JSON: the panel's size, where "
                           "each copy went, the boards left out and why."),
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
    parser.addOptions({fiducials, settings[7].option, fixedSize, vcuts, settings[8].option, preset,
                       turn, pack, fill, output, preview, reportFile});
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
    if (parser.isSet(preset)) {
        const std::optional<BoardHouse> house = houseOfKey(parser.value(preset));
        if (!house)
            return usageError(
                    QStringLiteral("--preset takes %1, not \"%2\"")
                            .arg(houseKeys.join(QLatin1String(", ")), parser.value(preset)));
        applyPreset(*house, frame, numbers.offset);
    }
    for (const SettingOption &setting : settings) {
        const QString refused = readSetting(parser, setting);
        if (!refused.isEmpty())
            return usageError(refused);
    }
    frame.fiducials = frame.fiducials || parser.isSet(fiducials);
    frame.fixedSize = parser.isSet(fixedSize);
    if (parser.isSet(vcuts))
        frame.separation = Separation::VCuts;
    if (frame.bitePitch < frame.biteDrill)
        return usageError(QStringLiteral("--bite-pitch must be at least --bite-drill"));
    if (!parser.isSet(output) && !parser.isSet(preview) && !parser.isSet(reportFile))
        return usageError(QStringLiteral("--width, --height, --offset and the frame settings need "
                                         "--output, --preview or --report"));
    for (const QCommandLineOption &file : {output, preview, reportFile}) {
        if (parser.isSet(file) && parser.value(file).isEmpty())
            return usageError(QStringLiteral("--%1 needs a file name").arg(file.names().first()));
    }
    if (parser.positionalArguments().isEmpty())
        return usageError(QStringLiteral("no board file given"));
    PanelRequest request;
    request.paths = parser.positionalArguments();
    for (const QString &value : parser.values(turn)) {
        const QString refused = readTurn(value, request.paths.size(), request.turns);
        if (!refused.isEmpty())
            return usageError(refused);
    }
    numbers.packed = parser.isSet(pack);
    request.numbers = numbers;
    request.fill = parser.isSet(fill);
    request.outputPath = parser.value(output);
    request.previewPath = parser.value(preview);
    request.reportPath = parser.value(reportFile);
    return makePanel(request);
}
