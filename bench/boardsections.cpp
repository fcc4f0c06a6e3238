#include "boardsections.h"

#include "devices.h"

#include <QRandomGenerator>

namespace benchgen {

namespace {

constexpr int outlineLayer = 20;

const QByteArrayList boardNames = {
        "Sensor Hub",      "Motor Driver",          "Power & Logger",       "LED Matrix",
        "Weather Station", "USB <-> Serial Bridge", "Qwiic \"Mini\" Relay", "Audio Player"};
const QByteArrayList silkLabels = {"GND",    "3V3", "SDA", "SCL", "TX",  "RX",
                                   "!RESET", "VIN", "5V",  "A0",  "D13", "<- USB"};

void wire(XmlOut &out, Point from, Point to, Length width, int layer)
{
    out.empty("wire",
              {{"x1", len(from.x)},
               {"y1", len(from.y)},
               {"x2", len(to.x)},
               {"y2", len(to.y)},
               {"width", len(width)},
               {"layer", num(layer)}});
}

void rectangleOfWires(XmlOut &out, Point low, Point high, Length width, int layer)
{
    wire(out, low, {low.x, high.y}, width, layer);
    wire(out, {low.x, high.y}, high, width, layer);
    wire(out, high, {high.x, low.y}, width, layer);
    wire(out, {high.x, low.y}, low, width, layer);
}

void text(XmlOut &out, Point at, Length size, int layer, const QByteArray &content,
          const QByteArray &rotation = {})
{
    out.textElement("text",
                    {{"x", len(at.x)},
                     {"y", len(at.y)},
                     {"size", len(size)},
                     {"layer", num(layer)},
                     {"font", "vector"},
                     {"ratio", "15"},
                     {"rot", rotation}},
                    content);
}

Point randomPointInside(const BoardSize &size, Length margin, QRandomGenerator &random)
{
    const Length x = margin + random.bounded(size.width - 2 * margin);
    const Length y = margin + random.bounded(size.height - 2 * margin);
    return {x / mils(5) * mils(5), y / mils(5) * mils(5)};
}

void writeTexts(XmlOut &out, const BoardSize &size, int partCount, QRandomGenerator &random)
{
    const QByteArray name = boardNames.at(random.bounded(boardNames.size()));
    const QByteArray version = num(1 + random.bounded(3)) + '.' + num(random.bounded(10));
    text(out, {2.54_mm, size.height - 3.81_mm}, 1.778_mm, 25, name + " v" + version);
    text(out, {2.54_mm, 2.54_mm}, 1.016_mm, 21, "VIN < 16V & > 3.6V");
    text(out, {size.width / 2, 1.905_mm}, 0.8128_mm, 51,
         "Board thickness 1.6 mm\nENIG finish, no clean process");
    text(out, {size.width - 2.54_mm, 2.54_mm}, 0.8128_mm, 22, name, "MR0");
    for (int i = 0; i < partCount / 20; ++i) {
        const QByteArray label = silkLabels.at(random.bounded(silkLabels.size()));
        text(out, randomPointInside(size, 2_mm, random), 1.016_mm, 21, label,
             random.bounded(4) ? QByteArray() : QByteArray("R90"));
    }
}

void writeDrawing(XmlOut &out, const BoardSize &size)
{
    const Length w = size.width;
    const Length h = size.height;
    rectangleOfWires(out, {0.635_mm, 0.635_mm}, {w - 0.635_mm, h - 0.635_mm}, 0.1524_mm, 51);
    wire(out, {1.27_mm, 0.635_mm}, {1.27_mm, h - 0.635_mm}, 0.0762_mm, 47);
    out.empty("dimension",
              {{"x1", "0"},
               {"y1", len(1.27_mm)},
               {"x2", len(w)},
               {"y2", len(1.27_mm)},
               {"x3", len(w / 2)},
               {"y3", len(3.175_mm)},
               {"textsize", len(1.016_mm)},
               {"layer", "47"},
               {"dtype", "horizontal"},
               {"width", len(0.0762_mm)}});
    out.empty("rectangle",
              {{"x1", len(w - 12.7_mm)},
               {"y1", len(h - 5.08_mm)},
               {"x2", len(w - 2.54_mm)},
               {"y2", len(h - 2.54_mm)},
               {"layer", "21"}});
    out.empty("circle",
              {{"x", len(w / 2)},
               {"y", len(h / 2)},
               {"radius", len(1.5_mm)},
               {"width", len(0.1_mm)},
               {"layer", "48"}});
    out.empty("hole", {{"x", len(3.175_mm)}, {"y", len(h / 2)}, {"drill", len(3.2_mm)}});
    out.empty("hole", {{"x", len(w - 3.175_mm)}, {"y", len(h / 2)}, {"drill", len(3.2_mm)}});
    wire(out, {w / 2 - 2_mm, h - 1.5_mm}, {w / 2 + 2_mm, h - 1.5_mm}, 1_mm, 46);
}

void writeAttribute(XmlOut &out, const QByteArray &name, const QByteArray &value, Point at,
                    Length size, int layer, const QByteArray &rotation, bool hidden)
{
    out.empty("attribute",
              {{"name", name},
               {"value", value},
               {"x", len(at.x)},
               {"y", len(at.y)},
               {"size", len(size)},
               {"layer", num(layer)},
               {"font", hidden ? QByteArray() : QByteArray("vector")},
               {"ratio", hidden ? QByteArray() : QByteArray("20")},
               {"rot", rotation},
               {"display", hidden ? QByteArray("off") : QByteArray()}});
}

void writeElement(XmlOut &out, const BoardPart &part)
{
    const Catalogue &cat = catalogue();
    const Device &device = cat.devices.at(part.device);
    const Package &package = cat.packageOf(device);
    const Placement &placement = part.placement;
    const QByteArray rotation = placement.quarterTurns == 0 && !placement.mirrored
            ? QByteArray()
            : rotationText(placement);
    out.open("element",
             {{"name", part.name},
              {"library", cat.libraries.at(device.library).name},
              {"package", package.name},
              {"value", part.value},
              {"x", len(placement.origin.x)},
              {"y", len(placement.origin.y)},
              {"smashed", "yes"},
              {"rot", rotation}});
    const Length offset = package.extent * 3 / 4 / 10 * 10;
    const int side = placement.mirrored ? 1 : 0;
    writeAttribute(out, "NAME", QByteArray(), placed({0, offset}, placement), 0.6096_mm, 25 + side,
                   rotation, false);
    if (!device.productId.isEmpty())
        writeAttribute(out, "PROD_ID", device.productId, placement.origin, 1.778_mm, 27 + side,
                       rotation, true);
    writeAttribute(out, "VALUE", QByteArray(), placed({0, -offset}, placement), 0.6096_mm,
                   27 + side, rotation, false);
    out.close("element");
}

} // namespace

void writePlain(XmlOut &out, const BoardSize &size, int partCount, QRandomGenerator &random)
{
    out.open("plain");
    rectangleOfWires(out, {0, 0}, {size.width, size.height}, 0.2032_mm, outlineLayer);
    writeTexts(out, size, partCount, random);
    writeDrawing(out, size);
    out.close("plain");
}

void writeLibraries(XmlOut &out, const QVector<BoardPart> &parts)
{
    const Catalogue &cat = catalogue();
    QVector<QVector<bool>> used(cat.libraries.size());
    for (int i = 0; i < cat.libraries.size(); ++i)
        used[i].fill(false, cat.libraries.at(i).packages.size());
    for (const BoardPart &part : parts) {
        const Device &device = cat.devices.at(part.device);
        used[device.library][device.package] = true;
    }
    out.open("libraries");
    for (int i = 0; i < cat.libraries.size(); ++i) {
        if (!used.at(i).contains(true))
            continue;
        const Library &library = cat.libraries.at(i);
        out.open("library", {{"name", library.name}});
        out.textElement("description", {}, library.description);
        out.open("packages");
        for (int j = 0; j < library.packages.size(); ++j)
            if (used.at(i).at(j))
                out.append(library.packages.at(j).xml);
        out.close("packages");
        out.close("library");
    }
    out.close("libraries");
}

void writeElements(XmlOut &out, const QVector<BoardPart> &parts)
{
    out.open("elements");
    for (const BoardPart &part : parts)
        writeElement(out, part);
    out.close("elements");
}

} // namespace benchgen
