// libFuzzer target: the input bytes are a board file, taken through the whole
// path of a make-panel run without a window. Sanitizers catch crashes,
// undefined behaviour and leaks; the checks below catch wrong results that
// hold for any input.

#include "assembly/assemblepanel.h"
#include "assembly/documentreader.h"
#include "assembly/namebook.h"
#include "catalogue/boardreader.h"
#include "catalogue/outline.h"
#include "layout/rowplacer.h"
#include "shift/shiftedboard.h"

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

// The elements and texts that are not blank, and whether the document is
// well-formed: what the assembly takes from a document.
template<typename Reader>
QStringList assembled(Reader &source, const QXmlStreamReader &reader)
{
    QStringList seen;
    while (!source.atEnd()) {
        const QXmlStreamReader::TokenType token = source.readNext();
        if (token == QXmlStreamReader::StartElement) {
            QString start = QLatin1String("<") + reader.name();
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                start += QLatin1Char(' ') + attribute.qualifiedName() + QLatin1Char('=')
                        + attribute.value();
            seen << start;
        } else if (token == QXmlStreamReader::EndElement) {
            seen << QStringLiteral("/>");
        } else if (token == QXmlStreamReader::Characters && !reader.isWhitespace()) {
            seen << reader.text().toString();
        }
    }
    seen << (reader.hasError() ? QStringLiteral("error") : QStringLiteral("well-formed"));
    return seen;
}

// The assembly reads the shifted copies in slices; small slices end
// everywhere. Only written copies are compared: on other text Qt's
// incremental parser misses errors that straddle the end of a slice (a
// document type inside an element, "]]>" in text), which no copy holds.
void checkSlicedReading(const QString &text, int sliceSize)
{
    QXmlStreamReader whole(text);
    DocumentReader sliced(text, sliceSize);
    check(assembled(sliced, sliced.reader()) == assembled(whole, whole),
          "sliced reading reads like one reader");
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

// Two copies of the board, the way the window places them.
QList<std::optional<PanelShift>> place(const OutlineBox &box)
{
    const BoardFootprint board {box.width(), box.height(), box.minX, box.minY};
    RowPlacer placer(panelWidth, panelHeight);
    QList<std::optional<PanelShift>> shifts;
    for (int copy = 0; copy < 2; ++copy) {
        const std::optional<PanelShift> shift = placer.place(board);
        if (shift) {
            // Placed means it fits: finite, and smaller than the panel.
            check(std::isfinite(board.width) && std::isfinite(board.height), "finite if placed");
            check(board.width < panelWidth && board.height < panelHeight, "smaller than panel");
            // The outline, moved by the shift, inside the panel (up to the
            // rounding of adding the shift).
            const double slack = 1e-9 * (1.0 + std::abs(box.maxX) + std::abs(box.maxY));
            check(box.minX + shift->dx >= 0 && box.minY + shift->dy >= 0, "outline inside");
            check(box.maxX + shift->dx <= panelWidth + slack
                          && box.maxY + shift->dy <= panelHeight + slack,
                  "outline inside");
            placer.advance(offset);
        }
        shifts.append(shift);
    }
    return shifts;
}

ShiftedCopy shift(const QByteArray &bytes, int dx, int dy)
{
    QBuffer device;
    device.setData(bytes);
    device.open(QIODevice::ReadOnly);
    return shiftBoard(device, dx, dy);
}

void checkCopy(const ShiftedCopy &copy, const OutlineMeasurement &measured, Parsed *parsed)
{
    // Both passes read the same bytes with the same limit.
    check(copy.succeeded() == measured.error.isEmpty(), "shift and measure agree");
    if (!copy.succeeded()) {
        check(copy.document.isEmpty(), "no document after an error");
        return;
    }
    *parsed = parse(copy.document.toUtf8());
    check(parsed->wellFormed, "shifted copy parses");
    check(parsed->depth <= maxBoardNesting, "shifted copy within the nesting limit");
}

void checkNames(const QStringList &known)
{
    QSet<QString> keys;
    for (const QString &name : known)
        keys.insert(NameBook::foldedKey(name));
    check(keys.size() == known.size(), "known names differ in more than case");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > size_t(std::numeric_limits<int>::max()))
        return 0;
    const QByteArray bytes =
            QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size));
    const OutlineMeasurement measured = measure(bytes);
    const QList<std::optional<PanelShift>> placed = place(measured.box);

    // Offsets that are never zero, also for a board placed at the origin or
    // nowhere; the second copy's is then large enough for coordinates in
    // exponent notation.
    const PanelShift first = placed.at(0) ? PanelShift {placed.at(0)->dx + 3, placed.at(0)->dy + 7}
                                          : PanelShift {17, 29};
    const PanelShift second = placed.at(1) ? PanelShift {placed.at(1)->dx + 3, placed.at(1)->dy + 7}
                                           : PanelShift {-1000003, 999999};
    QStringList shifted;
    Parsed parsedFirst;
    Parsed parsedSecond;
    const ShiftedCopy copyFirst = shift(bytes, first.dx, first.dy);
    checkCopy(copyFirst, measured, &parsedFirst);
    const ShiftedCopy copySecond = shift(bytes, second.dx, second.dy);
    checkCopy(copySecond, measured, &parsedSecond);
    check(parsedFirst.elements == parsedSecond.elements, "copies of one board alike");
    if (copyFirst.succeeded())
        checkSlicedReading(copyFirst.document, 1 + int(size % 89));
    for (const ShiftedCopy *copy : {&copyFirst, &copySecond}) {
        if (copy->succeeded())
            shifted.append(copy->document);
    }

    QStringList known;
    QStringList duplicates;
    NameBook book(known, duplicates);
    const QByteArray panel = assemblePanel(shifted, book);
    check(panel.isEmpty() == shifted.isEmpty(), "a panel for every placed board");
    if (!shifted.isEmpty()) {
        const Parsed parsedPanel = parse(panel);
        check(parsedPanel.wellFormed, "panel parses");
        check(parsedPanel.elements >= parsedFirst.elements, "panel holds the first board");
    }
    checkNames(known);
    return 0;
}
