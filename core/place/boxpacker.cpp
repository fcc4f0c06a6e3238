// SPDX-License-Identifier: GPL-3.0-or-later
#include "boxpacker.h"

#include "axisfit.h"
#include "rowplacer.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

// Whole millimetres on the panel; the right and top edges are outside.
struct Box
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int right() const { return x + width; }
    int top() const { return y + height; }
    bool intersects(const Box &other) const
    {
        return x < other.right() && other.x < right() && y < other.top() && other.y < top();
    }
    bool contains(const Box &other) const
    {
        return x <= other.x && y <= other.y && other.right() <= right() && other.top() <= top();
    }
};

struct Panel
{
    double width;
    double height;
    int offset;
};

// A board turned by a number of quarter turns: the whole millimetres it
// takes and how far it is moved into them.
struct Slot
{
    bool fits = false; // on an empty panel
    double reachX = 0.0;
    double reachY = 0.0;
    int width = 0;
    int height = 0;
    int insetX = 0;
    int insetY = 0;
};

using BoardSlots = std::array<Slot, 2>; // as drawn and turned once

Slot slotOf(const BoardFootprint &board, int turn, const Panel &panel)
{
    const BoardFootprint turned = turnedFootprint(board, turn);
    const AxisFit alongX = axisFit(turned.width, turned.startX);
    const AxisFit alongY = axisFit(turned.height, turned.startY);
    Slot slot;
    // NaN fails these too. Below the bounded panel side, rounding up cannot
    // overflow; a negative size is no board.
    slot.fits = alongX.reach >= 0 && alongX.reach < panel.width && alongY.reach >= 0
            && alongY.reach < panel.height;
    if (!slot.fits)
        return slot;
    slot.reachX = alongX.reach;
    slot.reachY = alongY.reach;
    slot.width = int(std::ceil(alongX.reach));
    slot.height = int(std::ceil(alongY.reach));
    slot.insetX = alongX.inset;
    slot.insetY = alongY.inset;
    return slot;
}

// The space not taken yet, as the largest boxes that fit in it; they
// overlap one another.
class FreeSpace
{
public:
    explicit FreeSpace(const Box &panel)
        : boxes {panel}
    { }

    const QVector<Box> &freeBoxes() const { return boxes; }
    void take(const Box &used);

private:
    QVector<Box> boxes;
};

void FreeSpace::take(const Box &used)
{
    QVector<Box> kept;
    QVector<Box> pieces;
    for (const Box &box : std::as_const(boxes)) {
        if (!box.intersects(used)) {
            kept.append(box);
            continue;
        }
        if (used.x > box.x)
            pieces.append({box.x, box.y, used.x - box.x, box.height});
        if (used.right() < box.right())
            pieces.append({used.right(), box.y, box.right() - used.right(), box.height});
        if (used.y > box.y)
            pieces.append({box.x, box.y, box.width, used.y - box.y});
        if (used.top() < box.top())
            pieces.append({box.x, used.top(), box.width, box.top() - used.top()});
    }
    // The boxes kept contained no other before, and each piece lies inside a
    // box that was there, so only pieces can be inside another box. Of equal
    // pieces the first stays.
    boxes = kept;
    for (int i = 0; i < pieces.size(); ++i) {
        const Box &piece = pieces.at(i);
        auto holdsPiece = [&piece](const Box &box) {
            return box.contains(piece);
        };
        bool covered = std::any_of(kept.cbegin(), kept.cend(), holdsPiece);
        for (int j = 0; j < pieces.size() && !covered; ++j) {
            covered =
                    j != i && holdsPiece(pieces.at(j)) && (j < i || !piece.contains(pieces.at(j)));
        }
        if (!covered)
            boxes.append(piece);
    }
}

enum class SpaceChoice { ShortSideFit, AreaFit, BottomLeft };

// Lower is better: the first number decides, the second breaks ties.
using Score = std::pair<qint64, qint64>;

Score score(SpaceChoice choice, const Box &space, int width, int height)
{
    const qint64 spareX = space.width - width;
    const qint64 spareY = space.height - height;
    switch (choice) {
    case SpaceChoice::ShortSideFit:
        return {std::min(spareX, spareY), std::max(spareX, spareY)};
    case SpaceChoice::AreaFit:
        return {qint64(space.width) * space.height - qint64(width) * height,
                std::min(spareX, spareY)};
    case SpaceChoice::BottomLeft:
        break;
    }
    return {qint64(space.y) + height, space.x};
}

struct Placement
{
    int x;
    int y;
    int turn;
};

using Layout = QVector<std::optional<Placement>>;

Layout packGreedily(const QVector<int> &order, const QVector<BoardSlots> &slots, const Panel &panel,
                    SpaceChoice choice, int turns)
{
    // Each slot is grown by the offset on its right and top, the panel alike,
    // so that slots that merely touch keep their boards the offset apart.
    FreeSpace space({0, 0, int(std::ceil(panel.width)) + panel.offset,
                     int(std::ceil(panel.height)) + panel.offset});
    Layout layout(slots.size());
    for (const int index : order) {
        std::optional<Placement> best;
        Score bestScore;
        for (const Box &free : space.freeBoxes()) {
            for (int turn = 0; turn < turns; ++turn) {
                const Slot &slot = slots.at(index)[turn];
                const int width = slot.width + panel.offset;
                const int height = slot.height + panel.offset;
                // The whole millimetres hold the board; the strict test keeps
                // it off the panel's edge, as rows do.
                if (!slot.fits || width > free.width || height > free.height
                    || !(free.x + slot.reachX < panel.width)
                    || !(free.y + slot.reachY < panel.height))
                    continue;
                const Score candidate = score(choice, free, width, height);
                if (!best || candidate < bestScore) {
                    best = Placement {free.x, free.y, turn};
                    bestScore = candidate;
                }
            }
        }
        if (!best)
            continue;
        const Slot &slot = slots.at(index)[best->turn];
        space.take({best->x, best->y, slot.width + panel.offset, slot.height + panel.offset});
        layout[index] = best;
    }
    return layout;
}

Layout placeInRows(const QVector<BoardFootprint> &boards, const QVector<BoardSlots> &slots,
                   const Panel &panel)
{
    RowPlacer rows(panel.width, panel.height);
    Layout layout(boards.size());
    for (int i = 0; i < boards.size(); ++i) {
        const Slot &slot = slots.at(i)[0];
        if (!slot.fits)
            continue;
        const std::optional<PanelShift> shift = rows.place(boards.at(i));
        if (!shift)
            continue;
        rows.advance(panel.offset);
        layout[i] = Placement {int(shift->dx) - slot.insetX, int(shift->dy) - slot.insetY, 0};
    }
    return layout;
}

struct Outcome
{
    int placed = 0;
    qint64 extentArea = 0;

    bool operator<(const Outcome &other) const
    {
        return placed != other.placed ? placed > other.placed : extentArea < other.extentArea;
    }
};

Outcome outcomeOf(const Layout &layout, const QVector<BoardSlots> &slots)
{
    Outcome outcome;
    int right = 0;
    int top = 0;
    for (int i = 0; i < layout.size(); ++i) {
        if (!layout.at(i))
            continue;
        const Placement &place = *layout.at(i);
        const Slot &slot = slots.at(i)[place.turn];
        ++outcome.placed;
        right = std::max(right, place.x + slot.width);
        top = std::max(top, place.y + slot.height);
    }
    outcome.extentArea = qint64(right) * top;
    return outcome;
}

// The boards that fit at all, by area, ties in their own order.
QVector<int> bySize(const QVector<BoardFootprint> &boards, const QVector<BoardSlots> &slots,
                    bool largestFirst)
{
    QVector<int> order;
    for (int i = 0; i < boards.size(); ++i) {
        if (slots.at(i)[0].fits || slots.at(i)[1].fits)
            order.append(i);
    }
    auto area = [&boards](int i) {
        return boards.at(i).width * boards.at(i).height;
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return largestFirst ? area(a) > area(b) : area(a) < area(b);
    });
    return order;
}

} // namespace

QVector<std::optional<PanelShift>> packBoards(const QVector<BoardFootprint> &boards, double width,
                                              double height, int offset)
{
    const Panel panel {boundedPanelSide(width), boundedPanelSide(height),
                       std::clamp(offset, 0, int(largestPanel))};
    QVector<BoardSlots> slots;
    slots.reserve(boards.size());
    for (const BoardFootprint &board : boards)
        slots.append({slotOf(board, 0, panel), slotOf(board, 1, panel)});

    // Larger boards first pack tightest; smaller first, when the panel is
    // short of room, often hold more boards.
    QVector<Layout> layouts;
    for (const bool largestFirst : {true, false}) {
        const QVector<int> order = bySize(boards, slots, largestFirst);
        for (const int turns : {2, 1}) {
            for (const SpaceChoice choice :
                 {SpaceChoice::ShortSideFit, SpaceChoice::AreaFit, SpaceChoice::BottomLeft})
                layouts.append(packGreedily(order, slots, panel, choice, turns));
        }
    }
    // Greedy packing can, on an unlucky set, hold fewer boards than rows in
    // the boards' own order; with the rows among the layouts it never does.
    layouts.append(placeInRows(boards, slots, panel));

    // The first of equally good layouts wins, so the same boards always pack
    // the same way.
    const Layout *best = &layouts.first();
    Outcome bestOutcome = outcomeOf(*best, slots);
    for (const Layout &layout : std::as_const(layouts)) {
        const Outcome outcome = outcomeOf(layout, slots);
        if (outcome < bestOutcome) {
            best = &layout;
            bestOutcome = outcome;
        }
    }

    QVector<std::optional<PanelShift>> shifts(boards.size());
    for (int i = 0; i < boards.size(); ++i) {
        if (const std::optional<Placement> &place = best->at(i)) {
            const Slot &slot = slots.at(i)[place->turn];
            shifts[i] = PanelShift {double(place->x + slot.insetX), double(place->y + slot.insetY),
                                    place->turn};
        }
    }
    return shifts;
}
