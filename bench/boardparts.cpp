#include "boardparts.h"

#include "devices.h"

#include <QMap>
#include <QRandomGenerator>

#include <algorithm>

namespace benchgen {

namespace {

constexpr Length boardGrid = 1.27_mm;
constexpr qint64 areaPerPart = 25; // square millimetres
constexpr qint64 unitsPerSquareMillimetre = 100000000; // (10000 units a millimetre)^2

Length roundUp(Length length, Length step)
{
    return (length + step - 1) / step * step;
}

Length largestExtent()
{
    Length largest = 0;
    for (const Library &library : catalogue().libraries)
        for (const Package &package : library.packages)
            largest = std::max(largest, package.extent);
    return largest;
}

// Names parts R1, R2, ... per prefix, now and then skipping a number as a
// design that has been edited does.
class PartNamer
{
public:
    explicit PartNamer(QRandomGenerator &random)
        : random(random)
    { }

    QByteArray next(const QByteArray &prefix)
    {
        int &last = counters[prefix];
        last += random.bounded(100) < 8 ? 2 : 1;
        return prefix + num(last);
    }

private:
    QRandomGenerator &random;
    QMap<QByteArray, int> counters;
};

class Placer
{
public:
    Placer(const BoardSize &size, QRandomGenerator &random)
        : size(size)
        , random(random)
        , namer(random)
    { }

    void add(int device, Point wanted, int quarterTurns, bool mirrored)
    {
        const Catalogue &cat = catalogue();
        const Device &kind = cat.devices.at(device);
        const Length keepIn = cat.packageOf(kind).extent + partMargin;
        BoardPart part;
        part.name = namer.next(kind.prefix);
        part.device = device;
        part.value = kind.values.at(random.bounded(kind.values.size()));
        part.placement.origin = {std::clamp(wanted.x, keepIn, size.width - keepIn),
                                 std::clamp(wanted.y, keepIn, size.height - keepIn)};
        part.placement.quarterTurns = quarterTurns;
        part.placement.mirrored = mirrored;
        parts.append(part);
    }

    void addRandom(Point cellCentre, Point cellSize)
    {
        const int device = randomDevice();
        const Wiring wiring = catalogue().devices.at(device).wiring;
        const bool mayMirror = wiring != Wiring::Connector && wiring != Wiring::Unwired;
        const Point jitter = {jitterWithin(cellSize.x), jitterWithin(cellSize.y)};
        add(device, snapped(cellCentre + jitter), random.bounded(4),
            mayMirror && random.bounded(100) < 10);
    }

    QVector<BoardPart> parts;

private:
    int randomDevice()
    {
        const QVector<Device> &devices = catalogue().devices;
        int total = 0;
        for (const Device &device : devices)
            total += device.weight;
        int pick = random.bounded(total);
        for (int i = 0; i < devices.size(); ++i) {
            pick -= devices.at(i).weight;
            if (pick < 0)
                return i;
        }
        return 0;
    }

    Length jitterWithin(Length cell)
    {
        const Length quarter = std::max(cell / 4, 1);
        return random.bounded(2 * quarter) - quarter;
    }

    // Real placements sit on the 0.635 mm grid or, when nudged by hand, on
    // a 1 mil one.
    Point snapped(Point point)
    {
        const Length step = random.bounded(2) ? 0.635_mm : mils(1);
        return {point.x / step * step, point.y / step * step};
    }

    const BoardSize size;
    QRandomGenerator &random;
    PartNamer namer;
};

void placeMechanical(Placer &placer, int partCount, const BoardSize &size)
{
    const Catalogue &cat = catalogue();
    if (partCount >= 12) {
        for (const Point corner : {Point {0, 0}, Point {size.width, 0},
                                   Point {size.width, size.height}, Point {0, size.height}})
            placer.add(cat.standOff, corner, 0, false);
    }
    if (partCount >= 24) {
        const Length inset = 8_mm;
        placer.add(cat.fiducial, {inset, 0}, 0, false);
        placer.add(cat.fiducial, {size.width - inset, size.height}, 0, false);
        placer.add(cat.fiducial, {size.width, inset}, 0, false);
    }
    if (partCount >= 40)
        placer.add(cat.logo, {size.width / 2, size.height / 2}, 0, false);
    if (partCount >= 60) {
        placer.add(cat.maker, {size.width / 2, size.height}, 0, false);
        placer.add(cat.licence, {size.width / 2, 0}, 0, false);
    }
}

void placeOnGrid(Placer &placer, int count, const BoardSize &size)
{
    if (count <= 0)
        return;
    int columns = 1;
    while (qint64(columns) * columns * size.height < qint64(count) * size.width)
        ++columns;
    const int rows = (count + columns - 1) / columns;
    const Point cell = {size.width / columns, size.height / rows};
    for (int i = 0; i < count; ++i) {
        const int row = i / columns;
        const int column = row % 2 ? columns - 1 - i % columns : i % columns;
        placer.addRandom({column * cell.x + cell.x / 2, row * cell.y + cell.y / 2}, cell);
    }
}

} // namespace

BoardSize boardSizeFor(int partCount)
{
    const qint64 area = std::max(partCount, 1) * areaPerPart * unitsPerSquareMillimetre;
    qint64 height = boardGrid;
    while (3 * height * height < 2 * area)
        height += boardGrid;
    qint64 width = boardGrid;
    while (width * height < area)
        width += boardGrid;
    const Length smallest = roundUp(2 * (largestExtent() + partMargin), boardGrid);
    return {std::max(Length(width), smallest), std::max(Length(height), smallest)};
}

QVector<BoardPart> placeParts(int partCount, const BoardSize &size, QRandomGenerator &random)
{
    Placer placer(size, random);
    placeMechanical(placer, partCount, size);
    placeOnGrid(placer, partCount - placer.parts.size(), size);
    return placer.parts;
}

} // namespace benchgen
