// SPDX-License-Identifier: GPL-3.0-or-later
// libFuzzer target: the input bytes are a board file, taken through the whole
// path of a make-panel run without a window. Sanitizers catch crashes,
// undefined behaviour and leaks; the checks below catch wrong results that
// hold for any input.

#include "core/board/outline.h"
#include "core/merge/namebook.h"
#include "core/run/panelrun.h"
#include "core/xml/boardreader.h"
#include "core/xml/boardtokens.h"

#include <QBuffer>
#include <QByteArray>
#include <QSet>
#include <QStringList>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>

namespace {

constexpr double panelWidth = 160.0;
constexpr double panelHeight = 80.0;
constexpr int offset = 5;

// Aborts with a note, so that libFuzzer keeps the input as a crash.
void check(bool condition, const char *what)
{
    if (condition)
        return;
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
}

struct Parsed
{
    bool wellFormed = false;
    int elements = 0;
    int depth = 0; // deepest nesting met
};

Parsed parse(const QByteArray &text)
{
    Parsed parsed;
    QXmlStreamReader reader(text);
    int depth = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::StartElement) {
            ++parsed.elements;
            parsed.depth = std::max(parsed.depth, ++depth);
        } else if (token == QXmlStreamReader::EndElement) {
            --depth;
        }
    }
    parsed.wellFormed = !reader.hasError();
    return parsed;
}

// A written copy reads back as a board, as the program reads its panels.
void checkReadsBack(const QString &text)
{
    QBuffer device;
    device.setData(text.toUtf8());
    device.open(QIODevice::ReadOnly);
    check(readBoardTokens(device).tokens != nullptr, "moved copy reads back as a board");
}

OutlineMeasurement measure(const QByteArray &bytes)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    const OutlineMeasurement measured = measureOutline(device);
    // Whatever the coordinates, no size is negative or NaN.
    check(measured.box.width() >= 0 && measured.box.height() >= 0, "size not negative");
    return measured;
}

// Placed means it fits: finite, and smaller than the panel.
void checkPlacements(const PanelRun &run)
{
    for (const PanelPlacement &placement : run.panel().placements) {
        const BoardFootprint &board = run.boards().at(placement.board).footprint;
        check(std::isfinite(board.width) && std::isfinite(board.height), "finite if placed");
        check(board.width < panelWidth && board.height < panelHeight, "smaller than panel");
        // The outline, moved by the shift, inside the panel (up to the
        // rounding of adding the shift).
        const double maxX = board.startX + board.width;
        const double maxY = board.startY + board.height;
        const double slack = 1e-9 * (1.0 + std::abs(maxX) + std::abs(maxY));
        const PanelShift &shift = placement.shift;
        check(board.startX + shift.dx >= 0 && board.startY + shift.dy >= 0, "outline inside");
        check(maxX + shift.dx <= panelWidth + slack && maxY + shift.dy <= panelHeight + slack,
              "outline inside");
    }
}

// One copy of the board turned by `turn` quarter turns and moved by dx, dy,
// written as a panel of its own; none when the board cannot be read.
std::optional<QString> shift(const QByteArray &bytes, int dx, int dy, int turn = 0)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    BoardCopy copy;
    copy.board = readBoardTokens(device).tokens;
    if (!copy.board)
        return std::nullopt;
    copy.dx = dx;
    copy.dy = dy;
    copy.turn = turn;
    copy.rules = DesignRules::of(*copy.board);
    QStringList known;
    QStringList duplicates;
    NameBook names(known, duplicates);
    return QString::fromUtf8(assembleCopies({copy}, names).text.joined());
}

Parsed checkCopy(const QString &document)
{
    const Parsed parsed = parse(document.toUtf8());
    check(parsed.wellFormed, "moved copy parses");
    check(parsed.depth <= maxBoardNesting, "moved copy within the nesting limit");
    return parsed;
}

// Both passes read the same bytes with the same limit: a board that measured
// without error is read again without error, and one that did not is not.
void checkShifted(const PanelRun &run, const OutlineMeasurement &measured)
{
    const QList<PanelProblem> &problems = run.panel().problems;
    const bool refused = std::any_of(problems.begin(), problems.end(), [](const PanelProblem &p) {
        return p.kind == PanelProblem::UnreadableBoard;
    });
    check(!refused || !measured.error.isEmpty(), "a measured board is read again");
    check(measured.error.isEmpty() || run.copies().isEmpty(), "a refused board stays out");
}

void checkNames(const QStringList &known)
{
    QSet<QString> keys;
    for (const QString &name : known)
        keys.insert(NameBook::key(name));
    check(keys.size() == known.size(), "known names read apart");
}

// Every board of a run reads `bytes`.
PanelRun::Source boardBytes(const QByteArray &bytes)
{
    return [&bytes](const QString &, QString &) {
        auto device = std::make_unique<QBuffer>();
        device->setData(bytes);
        device->open(QIODevice::ReadOnly);
        return std::unique_ptr<QIODevice>(std::move(device));
    };
}

// Three copies with rails, tabs, fiducials and tooling holes: whatever the
// outline, the panel parses and every board it keeps is held by two tabs. The
// third copy writes again what the second wrote of the board's libraries.
void checkFramedPanel(const QByteArray &bytes, const PanelBoard &board)
{
    PanelNumbers numbers;
    numbers.width = int(panelWidth);
    numbers.height = int(panelHeight);
    numbers.offset = offset;
    numbers.frame.frameWidth = 5;
    numbers.frame.tabWidth = 4;
    numbers.frame.fiducials = true;
    numbers.frame.toolingDrill = 2;
    PanelRun run({board, board, board}, numbers, boardBytes(bytes));
    run.place();
    run.shift();
    for (const PanelPlacement &placement : run.panel().placements)
        check(tabsHolding(run.framePlan().tabs, placement.board) >= 2, "a kept board is held");
    run.assemble();
    const QByteArray panel = run.panel().text.joined();
    check(panel.isEmpty() || parse(panel).wellFormed, "framed panel parses");
}

// Four copies parted by V-cuts and checked against a house: the panel
// parses, and no cut runs through a copy.
void checkVCutPanel(const QByteArray &bytes, const PanelBoard &board)
{
    PanelNumbers numbers;
    numbers.width = int(panelWidth);
    numbers.height = int(panelHeight);
    applyPreset(BoardHouse::Jlcpcb, numbers.frame, numbers.offset);
    numbers.frame.separation = Separation::VCuts;
    PanelRun run({board, board, board, board}, numbers, boardBytes(bytes));
    run.place();
    run.shift();
    for (const PanelPlacement &placement : run.panel().placements) {
        const OutlineBox box = placedBox(board.footprint, placement.shift);
        for (const VCut &cut : run.framePlan().vcuts) {
            const double low = cut.vertical ? box.minX : box.minY;
            const double high = cut.vertical ? box.maxX : box.maxY;
            check(!(cut.at > low + 1e-3 && cut.at < high - 1e-3), "no cut through a copy");
        }
    }
    run.assemble();
    const QByteArray panel = run.panel().text.joined();
    check(panel.isEmpty() || parse(panel).wellFormed, "V-cut panel parses");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > size_t(std::numeric_limits<int>::max()))
        return 0;
    const QByteArray bytes =
            QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const OutlineMeasurement measured = measure(bytes);
    // Two copies of the board through the make-panel run. A load refuses a
    // board that does not measure; the run is given it all the same, to see
    // the shift refuse it too.
    const PanelBoard board = measuredBoard(QStringLiteral("fuzz.brd"), measured.box);
    PanelNumbers numbers;
    numbers.width = int(panelWidth);
    numbers.height = int(panelHeight);
    numbers.offset = offset;
    PanelRun run({board, board}, numbers, boardBytes(bytes));
    run.place();
    checkPlacements(run);
    run.shift();
    checkShifted(run, measured);
    QStringList shifted;
    for (const PanelPlacement &placement : run.panel().placements)
        shifted << shift(bytes, placement.shift.dx, placement.shift.dy).value_or(QString());

    // Offsets large enough for coordinates in exponent notation, also for a
    // board that fits nowhere.
    const std::optional<QString> far = shift(bytes, -1000003, 999999);
    check(far.has_value() == measured.error.isEmpty(), "shift and measure agree");
    Parsed parsedFar;
    if (far) {
        parsedFar = checkCopy(*far);
        checkReadsBack(*far);
    }
    for (const QString &copy : shifted)
        check(checkCopy(copy).elements == parsedFar.elements, "copies of one board alike");
    // A turned copy gains angles, never elements.
    if (const std::optional<QString> turned = shift(bytes, 5, -7, 1 + int(size % 3)))
        check(checkCopy(*turned).elements == parsedFar.elements, "a turned copy is alike");
    run.assemble();
    const QByteArray panel = run.panel().text.joined();
    check(panel.isEmpty() == shifted.isEmpty(), "a panel for every placed board");
    if (!shifted.isEmpty()) {
        const Parsed parsedPanel = parse(panel);
        check(parsedPanel.wellFormed, "panel parses");
        check(parsedPanel.elements >= parsedFar.elements, "panel holds the first board");
    }
    const QStringList &known = run.knownNames();
    checkNames(known);
    checkFramedPanel(bytes, board);
    checkVCutPanel(bytes, board);
    return 0;
}
