// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/board/measuredboards.h"
#include "core/board/outline.h"
#include "core/board/outlinedrawing.h"
#include "core/frame/framesettings.h"
#include "core/frame/panelframe.h"
#include "core/merge/assemblepanel.h"
#include "core/place/rowplacer.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <optional>

class QIODevice;
class QSaveFile;

// A loaded board as the catalogue holds it: where it is read from again and
// what its outline measured.
struct PanelBoard
{
    QString path;
    BoardFootprint footprint; // as drawn, unturned
    std::shared_ptr<const OutlineDrawing> drawing; // for pictures; null when not kept
    int turn = 0; // quarter turns counterclockwise that its copy is placed with
};

// A placed board's outline box on the panel.
OutlineBox placedBox(const BoardFootprint &footprint, const PanelShift &shift);

PanelBoard measuredBoard(const QString &path, const OutlineBox &box,
                         std::shared_ptr<const OutlineDrawing> drawing = nullptr);

// The panel's size and the offset between the boards of a row, in whole
// millimetres, bounded by the limits table.
struct PanelNumbers
{
    int width = int(Limits::panelWidth.defaultValue);
    int height = int(Limits::panelHeight.defaultValue);
    int offset = int(Limits::offset.defaultValue);
    FrameSettings frame;
    // Packed: largest first, each where it fits best, turned a quarter where
    // that fits better; else in rows in load order.
    bool packed = false;
};

// Something a run reports: what happened and to what. The window and the
// command line each say it in their own words.
struct PanelProblem
{
    enum Kind {
        NoFit, // a board left out: it fits nowhere on the panel
        UnreadableBoard, // a board left out: its file cannot be read
        UnopenableOutput, // nothing written: the panel's file cannot be opened
        UnwritableOutput, // nothing written: the panel's file cannot take it
        DesignRules, // the boards' design rules differ where no copy can carry its own
        NoTabs, // a board left out: it cannot be held by two tabs
        NoFiducials, // the rails are too narrow: the panel was written without fiducials
        NoToolingHoles, // the rails are too narrow: the panel was written without tooling holes
        // The panel was made with tabs rather than V-cuts: a board's outline
        // is no rectangle, or a board is of another size than the first.
        NoVCutShape,
        NoVCutSize,
        NoVCutLayer, // the boards have no such layer: the cuts are on layer 20
        HouseLimit, // the panel breaks a limit of the board house chosen
    };

    Kind kind = NoFit;
    QString file; // the path of the board, or of the panel's file
    int board = -1; // index into the run's boards; -1 when no one board is meant
    // Why the file cannot be read or written, as the reading or writing
    // says; NoVCutLayer: the layer asked for.
    QString reason;
    // DesignRules: each rule the boards set differently, its boards counted
    // in `boards`, the paths of the boards on the panel in panel order.
    RulesReport rules;
    QStringList boards;
    HouseFinding finding;
};

// `reason`: why the file cannot be read, as the reading reports it.
PanelProblem unreadableBoardProblem(const QString &path, const QString &reason, int index = -1);
PanelProblem designRulesProblem(const RulesReport &rules, const QStringList &boardPaths);

// A board on the panel and the whole millimetres it was moved by.
struct PanelPlacement
{
    int board = -1; // index into the run's boards
    PanelShift shift;
};

struct AssembledPanel
{
    QVector<PanelPlacement> placements; // the boards on the panel, in board order
    PanelText text; // the panel file's bytes; empty when no board is on it
    QList<PanelProblem> problems; // in board order
    // The panel's outer size in whole mm: the size set or, with rails, the
    // placed boards' reach and the channel and rails beyond it.
    int width = 0;
    int height = 0;
};

// One make-panel run without a window: the boards are placed in order in
// rows, each placed board is read again, once for all its copies, and the
// copies, each moved to its place, are assembled into the panel. With a
// frame, shift() places the boards again without those that cannot be
// held, until every board placed is held. Every caller (the window, the
// command line, the benchmark, the fuzzer) goes through these steps, in
// this order; they are separate so that each can be timed or inspected on
// its own.
class PanelRun
{
public:
    // Opens the board at `path` for reading, or says in `error` why it
    // cannot; the default opens the file.
    using Source = std::function<std::unique_ptr<QIODevice>(const QString &path, QString &error)>;

    PanelRun(QVector<PanelBoard> boards, const PanelNumbers &numbers, Source source = openBoardAt);
    PanelRun(const PanelRun &) = delete;
    PanelRun &operator=(const PanelRun &) = delete;

    void place();
    void shift();
    void assemble();

    const QVector<PanelBoard> &boards() const { return runBoards; }
    const PanelNumbers &settings() const { return numbers; }
    // The copies of the placed boards, from shift() until assemble().
    const QVector<BoardCopy> &copies() const { return boardCopies; }
    // Every name met in the assembly, once each.
    const QStringList &knownNames() const { return known; }
    const AssembledPanel &panel() const { return result; }
    // What the frame added, from shift() on, its boards counted as
    // boards(), `untabbed` holding every board left out for want of tabs;
    // empty with the frame off.
    const FramePlan &framePlan() const { return plan; }
    AssembledPanel takePanel() { return std::move(result); }

    static std::unique_ptr<QIODevice> openBoardAt(const QString &path, QString &error);

    // Boards read already, by path: shift() takes their tokens rather than
    // reading those files again.
    using ReadTokens = QHash<QString, std::shared_ptr<const DocumentTokens>>;
    void reuse(ReadTokens tokens) { readAlready = std::move(tokens); }

private:
    // The shift of each footprint in rows or packed, nothing for one left out.
    QVector<std::optional<PanelShift>> shiftsOf(const QVector<BoardFootprint> &footprints,
                                                int inset) const;
    // Its footprint as placed, with the room it is given around it.
    BoardFootprint slotOf(int board) const;
    bool frame();
    // Copies of one size set edge to edge, to be parted by V-cuts.
    bool vcutGrid() const { return numbers.frame.vcuts() && !tabbedInstead; }
    void refuseOtherSizes();
    bool refuseOtherShapes(const QVector<TabbedBoard> &boards);
    FrameSettings frameSettings() const;
    TabArea tabArea(const QVector<TabbedBoard> &boards) const;
    void measureVCutCopper(const QVector<TabbedBoard> &boards);
    QVector<TabbedBoard> tabbedCopies(QVector<bool> &bottomParts) const;
    void hug(const QVector<TabbedBoard> &boards);
    void reportRailFeatures();
    void sortProblems();

    struct ReadBoard
    {
        std::shared_ptr<const DocumentTokens> tokens;
        DesignRules rules;
        QString error;
    };

    ReadBoard readBoard(const QString &path) const;
    // `read` keeps each board as read, for every placement of the run.
    void copyPlacedBoards(QHash<QString, ReadBoard> &read);
    std::optional<BoardCopy> copyOf(const QString &path, const PanelShift &shift,
                                    QHash<QString, ReadBoard> &read, QString &error) const;

    QVector<PanelBoard> runBoards;
    PanelNumbers numbers;
    Source source;
    ReadTokens readAlready;
    QVector<BoardCopy> boardCopies;
    QStringList known;
    QStringList duplicates;
    AssembledPanel result;
    FramePlan plan;
    QVector<bool> unheld; // for each board: left out, as it cannot be held by two tabs
    // For each board: placed with room for material around it, as its
    // neighbours' edges could not take its tabs.
    QVector<bool> spaced;
    // With V-cuts: for each board why it cannot be parted by them
    // (NoVCutShape, NoVCutSize), NoFit for none; one that cannot makes the
    // whole panel take tabs instead.
    QVector<PanelProblem::Kind> vcutRefusals;
    bool tabbedInstead = false;
};

// The tokens `measured` kept of each of the boards, by path, for a run to
// take rather than read the files again.
PanelRun::ReadTokens keptTokens(const QVector<PanelBoard> &boards, const MeasuredBoards &measured);

// `boards` and after them the boards of `repeated`, in turn, again and
// again, as long as every one of them is placed; with a frame, as long as
// every one is held by its tabs too, the copies' copper and outlines taken
// from `readAlready` (or read).
QVector<PanelBoard> filledBoards(const QVector<PanelBoard> &boards,
                                 const QVector<PanelBoard> &repeated, const PanelNumbers &numbers,
                                 const PanelRun::ReadTokens &readAlready = {});

// The whole run on boards already loaded.
AssembledPanel assembleBoards(const QVector<PanelBoard> &boards, const PanelNumbers &numbers,
                              PanelRun::ReadTokens readAlready = {});

// Opens the panel's file before anything is placed: a location that cannot
// take a file ends the run first.
std::optional<PanelProblem> openPanelOutput(QSaveFile &file);
// Puts the panel in place of the open file's path and closes it. A panel
// without boards writes nothing and leaves the path as it was.
std::optional<PanelProblem> savePanelOutput(QSaveFile &file, const PanelText &text);
