// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelrun.h"

#include "core/board/boardfile.h"
#include "core/merge/assemblepanel.h"
#include "core/merge/namebook.h"
#include "core/xml/boardreader.h"
#include "core/xml/boardtokens.h"
#include "panelfile.h"

#include "core/place/boxpacker.h"
#include "core/place/gridplacer.h"
#include "housecheck.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>

namespace {

PanelProblem problemOf(PanelProblem::Kind kind, const QString &file = QString(), int board = -1,
                       const QString &reason = QString())
{
    PanelProblem problem;
    problem.kind = kind;
    problem.file = file;
    problem.board = board;
    problem.reason = reason;
    return problem;
}

} // namespace

PanelBoard measuredBoard(const QString &path, const OutlineBox &box,
                         std::shared_ptr<const OutlineDrawing> drawing)
{
    return {path, {box.width(), box.height(), box.minX, box.minY}, std::move(drawing)};
}

OutlineBox placedBox(const BoardFootprint &footprint, const PanelShift &shift)
{
    const BoardFootprint turned = turnedFootprint(footprint, shift.turn);
    const double left = turned.startX + shift.dx;
    const double bottom = turned.startY + shift.dy;
    return {left, left + turned.width, bottom, bottom + turned.height};
}

PanelProblem unreadableBoardProblem(const QString &path, const QString &reason, int index)
{
    return problemOf(PanelProblem::UnreadableBoard, path, index, reason);
}

PanelProblem designRulesProblem(const RulesReport &rules, const QStringList &boardPaths)
{
    PanelProblem problem = problemOf(PanelProblem::DesignRules);
    problem.rules = rules;
    problem.boards = boardPaths;
    return problem;
}

PanelRun::PanelRun(QVector<PanelBoard> boards, const PanelNumbers &numbers, Source source)
    : runBoards(std::move(boards))
    , numbers(numbers)
    , source(std::move(source))
    , unheld(runBoards.size())
    , spaced(runBoards.size())
    , vcutRefusals(runBoards.size(), PanelProblem::NoFit)
{ }

// Inside rails the boards take the panel less the rails and a channel the
// offset wide along them. A board that cannot be held by two tabs leaves no
// hole: the boards after it take its place.
void PanelRun::place()
{
    result.placements.clear();
    result.problems.clear();
    result.width = numbers.width;
    result.height = numbers.height;
    refuseOtherSizes();
    const int rails = numbers.frame.frameWidth;
    const int inset = vcutGrid() ? rails : rails > 0 ? rails + numbers.offset : 0;
    QVector<int> held;
    QVector<BoardFootprint> footprints;
    for (int i = 0; i < runBoards.size(); ++i) {
        if (vcutRefusals.at(i) != PanelProblem::NoFit)
            result.problems.append(problemOf(vcutRefusals.at(i), runBoards.at(i).path, i));
        if (unheld.at(i)) {
            result.problems.append(problemOf(PanelProblem::NoTabs, runBoards.at(i).path, i));
            continue;
        }
        held.append(i);
        footprints.append(slotOf(i));
    }
    // The packer turns a board a quarter more where that fits better.
    const QVector<std::optional<PanelShift>> shifts = shiftsOf(footprints, inset);
    for (int k = 0; k < held.size(); ++k) {
        const int i = held.at(k);
        const std::optional<PanelShift> &shift = shifts.at(k);
        if (!shift) {
            result.problems.append(problemOf(PanelProblem::NoFit, runBoards.at(i).path, i));
            continue;
        }
        result.placements.append(PanelPlacement {
                i,
                {shift->dx + inset, shift->dy + inset, (runBoards.at(i).turn + shift->turn) % 4}});
    }
    sortProblems();
}

BoardFootprint PanelRun::slotOf(int board) const
{
    const int room = spaced.at(board) ? 2 * numbers.offset + 1 : 0;
    BoardFootprint footprint =
            turnedFootprint(runBoards.at(board).footprint, runBoards.at(board).turn);
    footprint.width += 2 * room;
    footprint.height += 2 * room;
    footprint.startX -= room;
    footprint.startY -= room;
    return footprint;
}

QVector<std::optional<PanelShift>> PanelRun::shiftsOf(const QVector<BoardFootprint> &footprints,
                                                      int inset) const
{
    const int width = numbers.width - 2 * inset;
    const int height = numbers.height - 2 * inset;
    if (vcutGrid())
        return gridShifts(footprints, width, height);
    if (numbers.packed)
        return packBoards(footprints, width, height, numbers.offset);
    RowPlacer placer(width, height);
    QVector<std::optional<PanelShift>> shifts;
    for (const BoardFootprint &footprint : footprints) {
        shifts.append(placer.place(footprint));
        if (shifts.last())
            placer.advance(numbers.offset);
    }
    return shifts;
}

PanelRun::ReadTokens keptTokens(const QVector<PanelBoard> &boards, const MeasuredBoards &measured)
{
    PanelRun::ReadTokens tokens;
    for (const PanelBoard &board : boards) {
        if (!tokens.contains(board.path))
            tokens.insert(board.path, measured.tokensOf(board.path));
    }
    return tokens;
}

QVector<PanelBoard> filledBoards(const QVector<PanelBoard> &boards,
                                 const QVector<PanelBoard> &repeated, const PanelNumbers &numbers,
                                 const PanelRun::ReadTokens &readAlready)
{
    QVector<PanelBoard> filled = boards;
    for (int next = 0; !repeated.isEmpty(); next = (next + 1) % repeated.size()) {
        QVector<PanelBoard> tried = filled;
        tried.append(repeated.at(next));
        PanelRun run(tried, numbers);
        run.place();
        if (run.panel().placements.size() < tried.size())
            break;
        filled = tried;
    }
    // Tabs may need room that the slots leave no space for: the frame is
    // planned for the fullest panel, and copies come off it until it holds
    // them all, which takes a plan or two.
    while (!numbers.frame.isOff() && filled.size() > boards.size()) {
        PanelRun run(filled, numbers);
        run.reuse(readAlready);
        run.place();
        run.shift();
        if (run.panel().placements.size() == filled.size())
            break;
        filled.removeLast();
    }
    return filled;
}

// Each board is read once, whatever the number of its copies and of the
// placements a frame needs, so that a panel of many copies costs little more
// than their output.
void PanelRun::shift()
{
    QHash<QString, ReadBoard> read;
    copyPlacedBoards(read);
    while (!numbers.frame.isOff() && !frame()) {
        place();
        copyPlacedBoards(read);
    }
    for (int board = 0; board < unheld.size(); ++board) {
        if (unheld.at(board))
            plan.untabbed.append(board);
        else if (spaced.at(board))
            plan.spaced.append(board);
    }
    if (const HouseRules *rules = houseRules(numbers.frame.house)) {
        for (PanelProblem finding :
             houseFindings(*rules, numbers, QSize(result.width, result.height), plan, vcutGrid())) {
            if (finding.board >= 0)
                finding.file = runBoards.at(finding.board).path;
            result.problems.append(finding);
        }
    }
    sortProblems();
}

// A board that cannot be read again keeps its places on the panel empty.
void PanelRun::copyPlacedBoards(QHash<QString, ReadBoard> &read)
{
    boardCopies.clear();
    QVector<PanelPlacement> shiftedPlacements;
    for (const PanelPlacement &placement : std::as_const(result.placements)) {
        const QString &path = runBoards.at(placement.board).path;
        QString error;
        const std::optional<BoardCopy> copy = copyOf(path, placement.shift, read, error);
        if (!copy) {
            result.problems.append(unreadableBoardProblem(path, error, placement.board));
            continue;
        }
        boardCopies.append(*copy);
        shiftedPlacements.append(placement);
    }
    result.placements = shiftedPlacements;
}

void PanelRun::sortProblems()
{
    std::stable_sort(
            result.problems.begin(), result.problems.end(),
            [](const PanelProblem &a, const PanelProblem &b) { return a.board < b.board; });
}

namespace {

// The plan counts boards by copy; the run's callers count them as loaded.
void toRunBoards(QVector<Tab> &tabs, const QVector<PanelPlacement> &placements)
{
    for (Tab &tab : tabs) {
        tab.near.board = placements.at(tab.near.board).board;
        if (tab.far.board >= 0)
            tab.far.board = placements.at(tab.far.board).board;
    }
}

// Whole millimetres that take in `reach`, which may fall a rounding error
// above a whole number; never more than `set`, and `set` for a reach that is
// no number.
int wholeMillimetres(double reach, int set)
{
    return int(std::min(double(set), std::ceil(reach - 1e-6)));
}

} // namespace

// V-cuts run the whole panel: copies of one size only.
void PanelRun::refuseOtherSizes()
{
    if (!vcutGrid() || runBoards.isEmpty())
        return;
    const BoardFootprint first =
            turnedFootprint(runBoards.first().footprint, runBoards.first().turn);
    for (int i = 1; i < runBoards.size(); ++i) {
        const BoardFootprint board =
                turnedFootprint(runBoards.at(i).footprint, runBoards.at(i).turn);
        if (std::abs(board.width - first.width) > 1e-3
            || std::abs(board.height - first.height) > 1e-3) {
            vcutRefusals[i] = PanelProblem::NoVCutSize;
            tabbedInstead = true;
        }
    }
}

bool PanelRun::refuseOtherShapes(const QVector<TabbedBoard> &boards)
{
    for (int i = 0; i < boards.size(); ++i) {
        if (!isRectangle(boards.at(i))) {
            vcutRefusals[result.placements.at(i).board] = PanelProblem::NoVCutShape;
            tabbedInstead = true;
        }
    }
    return tabbedInstead;
}

// Tabs where V-cuts cannot be; the cuts on the outline's layer where the
// boards lack the one asked for.
FrameSettings PanelRun::frameSettings() const
{
    FrameSettings settings = numbers.frame;
    if (tabbedInstead)
        settings.separation = Separation::MouseBites;
    if (vcutGrid() && !definesLayer(*boardCopies.first().board, settings.vcutLayer))
        settings.vcutLayer = 20;
    return settings;
}

// A grid without rails is its own outer edge, to the micrometre.
TabArea PanelRun::tabArea(const QVector<TabbedBoard> &boards) const
{
    TabArea area {double(result.width), double(result.height), numbers.frame.frameWidth,
                  double(numbers.offset)};
    if (vcutGrid() && area.frame == 0 && !numbers.frame.fixedSize) {
        area.width = area.height = 0.0;
        for (const TabbedBoard &board : boards) {
            area.width = std::max(area.width, board.box.maxX);
            area.height = std::max(area.height, board.box.maxY);
        }
    }
    return area;
}

// Once for each board file, its nearest copy: the copies of one board are
// one design to mend.
void PanelRun::measureVCutCopper(const QVector<TabbedBoard> &boards)
{
    if (plan.vcuts.isEmpty() || numbers.frame.house == BoardHouse::None)
        return;
    QHash<QString, int> entries;
    for (int i = 0; i < boards.size(); ++i) {
        const int board = result.placements.at(i).board;
        const double distance = copperToVCuts(boards.at(i), plan.vcuts);
        const auto entry = entries.constFind(runBoards.at(board).path);
        if (entry == entries.constEnd()) {
            entries.insert(runBoards.at(board).path, plan.vcutCopper.size());
            plan.vcutCopper.append({board, distance});
        } else if (distance < plan.vcutCopper.at(*entry).distance) {
            plan.vcutCopper[*entry].distance = distance;
        }
    }
}

// Leaves out the outline the tabs and channels replace and adds the panel's
// own drawing to the first copy; the copies stay tokens throughout. False,
// the copies left as they are, when boards cannot be held: they are marked
// to be left out of the next placement.
bool PanelRun::frame()
{
    plan = FramePlan();
    if (boardCopies.isEmpty())
        return true;
    QVector<bool> bottomParts;
    const QVector<TabbedBoard> boards = tabbedCopies(bottomParts);
    if (vcutGrid() && refuseOtherShapes(boards))
        return false;
    hug(boards);
    const TabArea area = tabArea(boards);
    const FrameSettings settings = frameSettings();
    plan = planFrame(boards, area, settings);
    if (!plan.untabbed.isEmpty()) {
        // Material a channel wide between it and its neighbours gives a
        // board whose neighbours' edges cannot take tabs the room to hold it.
        for (int copy : std::as_const(plan.untabbed)) {
            const int board = result.placements.at(copy).board;
            (spaced.at(board) ? unheld[board] : spaced[board]) = true;
        }
        return false;
    }
    plan.bottomFiducials = !plan.fiducials.isEmpty() && bottomParts.contains(true);
    const FrameEdits edits = frameEdits(boards, area, settings, plan);
    measureVCutCopper(boards);
    toRunBoards(plan.tabs, result.placements);
    for (int i = 0; i < boardCopies.size(); ++i) {
        BoardCopy &copy = boardCopies[i];
        copy.leftOut = edits.leftOut.at(i);
        if (i == edits.holder)
            copy.drawingAdditions = edits.additions;
    }
    reportRailFeatures();
    if (settings.vcuts() && settings.vcutLayer != numbers.frame.vcutLayer)
        result.problems.append(problemOf(PanelProblem::NoVCutLayer, QString(), -1,
                                         QString::number(numbers.frame.vcutLayer)));
    return true;
}

// Each copy's outline box on the panel and its outline wires; and whether
// it has parts on the bottom side, when fiducials are to be placed.
QVector<TabbedBoard> PanelRun::tabbedCopies(QVector<bool> &bottomParts) const
{
    QVector<TabbedBoard> boards;
    for (int i = 0; i < boardCopies.size(); ++i) {
        const PanelPlacement &placement = result.placements.at(i);
        const BoardCopy &boardCopy = boardCopies.at(i);
        const DocumentTokens copy = boardCopy.tokens();
        const PartOutline partOutline = partOutlineWires(copy);
        TabbedBoard board {placedBox(runBoards.at(placement.board).footprint, placement.shift),
                           drawingOutlineWires(copy) + partOutline.wires,
                           {},
                           copperClearance(boardCopy.rules),
                           partOutline.packageTags};
        if (numbers.frame.hasTabs()
            || (numbers.frame.vcuts() && numbers.frame.house != BoardHouse::None))
            board.copper = copperOf(copy, boardCopy.rules);
        boards.append(board);
        bottomParts.append(numbers.frame.fiducials && hasBottomParts(copy));
    }
    return boards;
}

// Placed from the bottom-left corner inside the rails, the boards leave
// the rest of the panel to the channel and the rails beyond their reach.
void PanelRun::hug(const QVector<TabbedBoard> &boards)
{
    if ((numbers.frame.frameWidth == 0 && !vcutGrid()) || numbers.frame.fixedSize)
        return;
    double right = 0.0;
    double top = 0.0;
    for (const TabbedBoard &board : boards) {
        right = std::max(right, board.box.maxX);
        top = std::max(top, board.box.maxY);
    }
    const int margin = numbers.frame.frameWidth + (vcutGrid() ? 0 : numbers.offset);
    result.width = wholeMillimetres(right + margin, numbers.width);
    result.height = wholeMillimetres(top + margin, numbers.height);
}

void PanelRun::reportRailFeatures()
{
    if (plan.fiducialsLeftOut)
        result.problems.append(problemOf(PanelProblem::NoFiducials));
    if (plan.toolingLeftOut)
        result.problems.append(problemOf(PanelProblem::NoToolingHoles));
}

PanelRun::ReadBoard PanelRun::readBoard(const QString &path) const
{
    ReadBoard board;
    board.tokens = readAlready.value(path);
    if (!board.tokens) {
        const std::unique_ptr<QIODevice> device = source(path, board.error);
        if (!device)
            return board;
        const BoardTokens tokens = readBoardTokens(*device);
        board.error = tokens.error;
        board.tokens = tokens.tokens;
    }
    if (board.tokens)
        board.rules = DesignRules::of(*board.tokens);
    return board;
}

std::optional<BoardCopy> PanelRun::copyOf(const QString &path, const PanelShift &shift,
                                          QHash<QString, ReadBoard> &read, QString &error) const
{
    auto found = read.find(path);
    if (found == read.end())
        found = read.insert(path, readBoard(path));
    error = found->error;
    if (!error.isEmpty())
        return std::nullopt;
    BoardCopy copy;
    copy.board = found->tokens;
    copy.dx = shift.dx;
    copy.dy = shift.dy;
    copy.turn = shift.turn;
    copy.rules = found->rules;
    return copy;
}

void PanelRun::assemble()
{
    NameBook names(known, duplicates);
    const PanelAssembly assembly = assembleCopies(std::move(boardCopies), names);
    boardCopies.clear();
    result.text = assembly.text;
    if (assembly.rules.isEmpty())
        return;
    QStringList boardPaths;
    for (const PanelPlacement &placement : std::as_const(result.placements))
        boardPaths << runBoards.at(placement.board).path;
    result.problems.append(designRulesProblem(assembly.rules, boardPaths));
}

std::unique_ptr<QIODevice> PanelRun::openBoardAt(const QString &path, QString &error)
{
    auto file = std::make_unique<QFile>(path);
    error = openBoardFile(*file);
    if (!error.isEmpty())
        return nullptr;
    return file;
}

AssembledPanel assembleBoards(const QVector<PanelBoard> &boards, const PanelNumbers &numbers,
                              PanelRun::ReadTokens readAlready)
{
    PanelRun run(boards, numbers);
    run.reuse(std::move(readAlready));
    run.place();
    run.shift();
    run.assemble();
    return run.takePanel();
}

std::optional<PanelProblem> openPanelOutput(QSaveFile &file)
{
    if (openPanelFile(file))
        return std::nullopt;
    return problemOf(PanelProblem::UnopenableOutput, file.fileName());
}

std::optional<PanelProblem> savePanelOutput(QSaveFile &file, const PanelText &text)
{
    if (text.isEmpty()) {
        discardPanelFile(file);
        return std::nullopt;
    }
    const QString error = savePanelFile(file, text);
    if (error.isEmpty())
        return std::nullopt;
    return problemOf(PanelProblem::UnwritableOutput, file.fileName(), -1, error);
}
