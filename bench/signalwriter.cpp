#include "signalwriter.h"

#include "devices.h"

#include <QRandomGenerator>

#include <cstdlib>

namespace benchgen {

namespace {

constexpr int topLayer = 1;
constexpr int bottomLayer = 16;
constexpr int unroutedLayer = 19;
constexpr Length viaOffset = 0.762_mm;
constexpr Length longRun = 5_mm;

// Where a pad of a part is and on which copper side it can be reached.
struct Terminal
{
    Point at;
    int layer = topLayer;
    bool throughHole = false;
};

Terminal terminalOf(const BoardPart &part, int pad)
{
    const Catalogue &cat = catalogue();
    const Pad &padOf = cat.packageOf(cat.devices.at(part.device)).pads.at(pad);
    return {placed(padOf.at, part.placement), part.placement.mirrored ? bottomLayer : topLayer,
            padOf.throughHole};
}

int sign(Length length)
{
    return length < 0 ? -1 : 1;
}

class Router
{
public:
    Router(XmlOut &out, QRandomGenerator &random, Length width, Length drill)
        : out(out)
        , random(random)
        , width(width)
        , drill(drill)
    { }

    void wire(Point from, Point to, int layer, Length wireWidth)
    {
        if (from.x == to.x && from.y == to.y)
            return;
        out.empty("wire",
                  {{"x1", len(from.x)},
                   {"y1", len(from.y)},
                   {"x2", len(to.x)},
                   {"y2", len(to.y)},
                   {"width", len(wireWidth)},
                   {"layer", num(layer)}});
    }

    void via(Point at)
    {
        out.empty("via",
                  {{"x", len(at.x)}, {"y", len(at.y)}, {"extent", "1-16"}, {"drill", len(drill)}});
    }

    // A straight run, then a 45-degree one into the target. A long straight
    // run is often split, as interactive routing leaves it.
    void track(Point from, Point to, int layer)
    {
        const Length dx = to.x - from.x;
        const Length dy = to.y - from.y;
        const Point bend = std::abs(dx) >= std::abs(dy)
                ? Point {to.x - sign(dx) * std::abs(dy), from.y}
                : Point {from.x, to.y - sign(dy) * std::abs(dx)};
        const Length run = std::abs(bend.x - from.x) + std::abs(bend.y - from.y);
        if (run > longRun && random.bounded(100) < 35) {
            const int quarters = 1 + random.bounded(3);
            const Point split = {from.x + (bend.x - from.x) / 4 * quarters,
                                 from.y + (bend.y - from.y) / 4 * quarters};
            wire(from, split, layer, width);
            wire(split, bend, layer, width);
        } else {
            wire(from, bend, layer, width);
        }
        wire(bend, to, layer, width);
    }

    Point beside(Point pad)
    {
        return {pad.x, pad.y + (random.bounded(2) ? viaOffset : -viaOffset)};
    }

    void connect(const Terminal &a, const Terminal &b)
    {
        const int pick = random.bounded(100);
        if (pick < 6) {
            wire(a.at, b.at, unroutedLayer, 0);
            return;
        }
        const int layerA = a.throughHole ? (b.throughHole ? randomSide() : b.layer) : a.layer;
        const int layerB = b.throughHole ? layerA : b.layer;
        if (layerA != layerB) {
            const Point middle = {(a.at.x + b.at.x) / 2, (a.at.y + b.at.y) / 2};
            track(a.at, middle, layerA);
            via(middle);
            track(middle, b.at, layerB);
        } else if (pick < 25) {
            const Point down = beside(a.at);
            const Point up = beside(b.at);
            track(a.at, down, layerA);
            via(down);
            track(down, up, topLayer + bottomLayer - layerA);
            via(up);
            track(up, b.at, layerA);
        } else {
            track(a.at, b.at, layerA);
        }
    }

private:
    int randomSide() { return random.bounded(2) ? topLayer : bottomLayer; }

    XmlOut &out;
    QRandomGenerator &random;
    const Length width;
    const Length drill;
};

void writeContacts(XmlOut &out, const Net &net, const QVector<BoardPart> &parts)
{
    const Catalogue &cat = catalogue();
    for (const Contact &contact : net.contacts) {
        const BoardPart &part = parts.at(contact.part);
        const Package &package = cat.packageOf(cat.devices.at(part.device));
        out.empty("contactref",
                  {{"element", part.name}, {"pad", package.pads.at(contact.pad).name}});
    }
}

// The pour: the outline less a clearance, its corners cut.
void writePour(XmlOut &out, const BoardSize &size, int layer)
{
    const Length inset = 0.4064_mm;
    const Length cut = 1.27_mm;
    const Length left = inset;
    const Length bottom = inset;
    const Length right = size.width - inset;
    const Length top = size.height - inset;
    const Point corners[] = {{left + cut, bottom}, {right - cut, bottom}, {right, bottom + cut},
                             {right, top - cut},   {right - cut, top},    {left + cut, top},
                             {left, top - cut},    {left, bottom + cut}};
    out.open("polygon",
             {{"width", len(0.2032_mm)},
              {"layer", num(layer)},
              {"isolate", len(0.3048_mm)},
              {"rank", "2"}});
    for (const Point &corner : corners)
        out.empty("vertex", {{"x", len(corner.x)}, {"y", len(corner.y)}});
    out.close("polygon");
}

void writeGround(XmlOut &out, const Net &net, const QVector<BoardPart> &parts,
                 const BoardSize &size, QRandomGenerator &random)
{
    writePour(out, size, topLayer);
    writePour(out, size, bottomLayer);
    writeContacts(out, net, parts);
    const Length width = 0.254_mm;
    Router router(out, random, width, 0.3048_mm);
    for (const Contact &contact : net.contacts) {
        const Terminal pad = terminalOf(parts.at(contact.part), contact.pad);
        if (pad.throughHole)
            continue; // it meets the pour on both sides
        const Point drop = router.beside(pad.at);
        router.wire(pad.at, drop, pad.layer, width);
        router.via(drop);
    }
    // Stitching vias between the two pours, about one for every three parts.
    const Length margin = 1_mm;
    for (int i = 0; i < parts.size() / 3; ++i) {
        const Length x = margin + random.bounded(size.width - 2 * margin);
        const Length y = margin + random.bounded(size.height - 2 * margin);
        router.via({x / mils(5) * mils(5), y / mils(5) * mils(5)});
    }
}

void writeRouted(XmlOut &out, const Net &net, const QVector<BoardPart> &parts,
                 QRandomGenerator &random)
{
    writeContacts(out, net, parts);
    const bool supply = net.kind == Net::Supply;
    const Length signalWidths[] = {0.1524_mm, 0.2032_mm, 0.254_mm};
    const Length width =
            supply ? (random.bounded(2) ? 0.3048_mm : 0.4064_mm) : signalWidths[random.bounded(3)];
    Router router(out, random, width, supply ? 0.508_mm : 0.3048_mm);
    for (int i = 1; i < net.contacts.size(); ++i) {
        const Contact &from = net.contacts.at(i - 1);
        const Contact &to = net.contacts.at(i);
        router.connect(terminalOf(parts.at(from.part), from.pad),
                       terminalOf(parts.at(to.part), to.pad));
    }
}

} // namespace

void writeSignals(XmlOut &out, const QVector<Net> &nets, const QVector<BoardPart> &parts,
                  const BoardSize &size, QRandomGenerator &random)
{
    out.open("signals");
    for (const Net &net : nets) {
        out.open("signal",
                 {{"name", net.name}, {"class", net.kind == Net::Supply ? "1" : QByteArray()}});
        if (net.kind == Net::Ground)
            writeGround(out, net, parts, size, random);
        else
            writeRouted(out, net, parts, random);
        out.close("signal");
    }
    out.close("signals");
}

} // namespace benchgen
