// SPDX-License-Identifier: GPL-3.0-or-later
#include "outline.h"

#include "outlinedrawing.h"
#include "packagelookup.h"

#include "core/xml/boardreader.h"
#include "core/xml/boardtokens.h"

#include <QIODevice>
#include <QXmlStreamReader>

#include <limits>
#include <map>
#include <tuple>
#include <type_traits>

namespace {

constexpr int outlineLayer = 20;

// Primitives looked at to place packages exactly, per board. A crafted board
// can place a package of many outline wires by as many parts at as many
// angles; past this budget a package still unplaced at an angle counts by a
// box that holds it at every angle, which is never too small.
constexpr std::size_t exactPlacementBudget = std::size_t(1) << 22;
// Primitives kept for the picture of a board, packages' and placed ones alike.
constexpr int drawingBudget = 1 << 20;

double numberOf(const QXmlStreamAttributes &attributes, const char *name)
{
    return attributes.value(QLatin1String(name)).toDouble();
}

bool onOutlineLayer(const QXmlStreamAttributes &attributes)
{
    return attributes.value(QLatin1String("layer")).toInt(nullptr, 10) == outlineLayer;
}

template<typename Shape>
void takeIn(Shape &shape, const OutlineArc &arc)
{
    shape.add(arc);
}

template<typename Shape>
void takeIn(Shape &shape, const OutlineLine &line)
{
    shape.add(line.from);
    shape.add(line.to);
}

class OutlineScanner
{
public:
    void start(const QXmlStreamReader &reader, int depth);
    void end(int depth);
    OutlineBox box() const { return board.box(); }
    std::shared_ptr<const OutlineDrawing> drawing() const
    {
        return std::make_shared<const OutlineDrawing>(boardDrawing);
    }

private:
    template<typename Primitive>
    void addPrimitive(const Primitive &primitive);
    template<typename Primitive>
    void draw(OutlineDrawing &drawing, const Primitive &primitive);
    void takeInWire(const QXmlStreamAttributes &attributes);
    void takeInCircle(const QXmlStreamAttributes &attributes);
    void placePart(const QXmlStreamAttributes &attributes);
    BoxBuilder placedBox(const PackageOutline &package, const Rotation &rotation);

    BoxBuilder board;
    OutlineDrawing boardDrawing;
    PackageLookup<PackageOutline> packages;
    PackageLookup<OutlineDrawing> packageDrawings;
    OutlineDrawing *packageDrawing = nullptr; // of the open package
    int drawingRoom = drawingBudget;
    QString library; // name and URN of the open library
    QString libraryUrn;
    int librariesDepth = 0; // of the open "libraries", 0 outside
    int libraryDepth = 0;
    int packageDepth = 0;
    PackageOutline *package = nullptr; // the open package that draws outline, if any
    QString packageName;
    std::map<std::tuple<const PackageOutline *, bool, double>, BoxBuilder> placedBoxes;
    std::size_t budget = exactPlacementBudget;
};

void OutlineScanner::start(const QXmlStreamReader &reader, int depth)
{
    const QStringRef name = reader.name();
    const QXmlStreamAttributes attributes = reader.attributes();
    if (name == QLatin1String("wire")) {
        takeInWire(attributes);
    } else if (name == QLatin1String("circle")) {
        takeInCircle(attributes);
    } else if (name == QLatin1String("element") && !librariesDepth) {
        placePart(attributes);
    } else if (name == QLatin1String("libraries") && !librariesDepth) {
        librariesDepth = depth;
    } else if (name == QLatin1String("library") && librariesDepth && !libraryDepth) {
        libraryDepth = depth;
        library = attributes.value(QLatin1String("name")).toString();
        libraryUrn = attributes.value(QLatin1String("urn")).toString();
    } else if (name == QLatin1String("package") && libraryDepth && !packageDepth) {
        packageDepth = depth;
        packageName = attributes.value(QLatin1String("name")).toString();
    }
}

void OutlineScanner::end(int depth)
{
    // `depth` is that of the element just closed.
    if (depth == packageDepth) {
        packageDepth = 0;
        if (package) {
            package->finish();
            // A package drawn again, by a crafted board, is boxed anew.
            const PackageOutline *drawn = package;
            constexpr double beyond = std::numeric_limits<double>::infinity();
            placedBoxes.erase(placedBoxes.lower_bound(std::make_tuple(drawn, false, -beyond)),
                              placedBoxes.upper_bound(std::make_tuple(drawn, true, beyond)));
        }
        package = nullptr;
        packageDrawing = nullptr;
    } else if (depth == libraryDepth) {
        libraryDepth = 0;
    } else if (depth == librariesDepth) {
        librariesDepth = 0;
    }
}

template<typename Primitive>
void OutlineScanner::addPrimitive(const Primitive &primitive)
{
    if (packageDepth) {
        if (!package) {
            package = &packages.entry(library, libraryUrn, packageName);
            packageDrawing = &packageDrawings.entry(library, libraryUrn, packageName);
        }
        takeIn(*package, primitive);
        draw(*packageDrawing, primitive);
    } else if (!librariesDepth) {
        // The drawing, and whatever else stands in board coordinates.
        takeIn(board, primitive);
        draw(boardDrawing, primitive);
    }
}

template<typename Primitive>
void OutlineScanner::draw(OutlineDrawing &drawing, const Primitive &primitive)
{
    if (drawingRoom == 0) {
        boardDrawing.cut = true;
        return;
    }
    --drawingRoom;
    if constexpr (std::is_same_v<Primitive, OutlineArc>)
        drawing.arcs.append(primitive);
    else
        drawing.lines.append(primitive);
}

void OutlineScanner::takeInWire(const QXmlStreamAttributes &attributes)
{
    if (!onOutlineLayer(attributes))
        return;
    const double x1 = numberOf(attributes, "x1");
    const double y1 = numberOf(attributes, "y1");
    const double x2 = numberOf(attributes, "x2");
    const double y2 = numberOf(attributes, "y2");
    OutlineArc arc;
    if (wireArc(x1, y1, x2, y2, numberOf(attributes, "curve"), arc)) {
        addPrimitive(arc);
    } else {
        addPrimitive(OutlineLine {{x1, y1}, {x2, y2}});
    }
}

void OutlineScanner::takeInCircle(const QXmlStreamAttributes &attributes)
{
    if (!onOutlineLayer(attributes))
        return;
    const OutlinePoint centre {numberOf(attributes, "x"), numberOf(attributes, "y")};
    const OutlinePoint start {centre.x + std::abs(numberOf(attributes, "radius")), centre.y};
    addPrimitive(OutlineArc {start, start, centre, 360.0});
}

void OutlineScanner::placePart(const QXmlStreamAttributes &attributes)
{
    const PackageOutline *outline = packages.placedBy(attributes);
    if (!outline || outline->isEmpty())
        return;
    const PartPlacement part {numberOf(attributes, "x"), numberOf(attributes, "y"),
                              parseRotation(attributes.value(QLatin1String("rot")))};
    BoxBuilder box = placedBox(*outline, part.rotation);
    box.moveBy(part.x, part.y);
    board.add(box);
    if (const OutlineDrawing *drawn = packageDrawings.placedBy(attributes)) {
        if (!boardDrawing.addPlaced(*drawn, part, drawingRoom))
            boardDrawing.cut = true;
        drawingRoom -= std::min(drawingRoom, drawn->size());
    }
}

// A package's box depends only on the angle and mirroring of a part; parts
// differ in their place, which moves it.
BoxBuilder OutlineScanner::placedBox(const PackageOutline &package, const Rotation &rotation)
{
    const auto key = std::make_tuple(&package, rotation.mirror, rotation.angle);
    const auto found = placedBoxes.find(key);
    if (found != placedBoxes.end())
        return found->second;
    if (package.cost() > budget)
        return package.anyRotationBox();
    budget -= package.cost();
    return placedBoxes.emplace(key, package.placedBox(rotation)).first->second;
}

auto scanning(OutlineScanner &scanner)
{
    return [&scanner](const QXmlStreamReader &reader, QXmlStreamReader::TokenType token,
                      int depth) {
        if (token == QXmlStreamReader::StartElement)
            scanner.start(reader, depth);
        else if (token == QXmlStreamReader::EndElement)
            scanner.end(depth + 1);
    };
}

} // namespace

OutlineMeasurement measureOutline(QIODevice &device)
{
    OutlineScanner scanner;
    const QString error = readBoard(device, scanning(scanner));
    return {scanner.box(), error, scanner.drawing()};
}

MeasuredTokens measureOutlineKeepingTokens(QIODevice &device)
{
    OutlineScanner scanner;
    const BoardTokens read = readBoardTokens(device, scanning(scanner));
    return {{scanner.box(), read.error, scanner.drawing()}, read.tokens};
}

QString sizeText(double width, double height)
{
    return QString::number(width, 'g', 6) + QLatin1String(" mm x") + QString::number(height, 'g', 6)
            + QLatin1String(" mm");
}
