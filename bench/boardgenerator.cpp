#include "boardgenerator.h"

#include "boardparts.h"
#include "boardsections.h"
#include "boardtables.h"
#include "netlist.h"
#include "signalwriter.h"

#include <QRandomGenerator>

using namespace benchgen;

namespace {

// Measured on generated boards, so that the document grows in place.
constexpr int bytesPerPart = 2048;
constexpr int fixedBytes = 640 * 1024;

void writeBoard(XmlOut &out, int partCount, QRandomGenerator &random)
{
    const BoardSize size = boardSizeFor(partCount);
    const QVector<BoardPart> parts = placeParts(partCount, size, random);
    const QVector<Net> nets = buildNets(parts, random);
    out.open("board");
    writePlain(out, size, partCount, random);
    writeLibraries(out, parts);
    out.open("attributes");
    out.close("attributes");
    out.open("variantdefs");
    out.close("variantdefs");
    writeClasses(out);
    writeDesignRules(out);
    writeAutorouter(out);
    writeElements(out, parts);
    writeSignals(out, nets, parts, size, random);
    out.close("board");
}

} // namespace

GeneratedOutline generatedOutline(int partCount)
{
    const BoardSize size = boardSizeFor(std::max(partCount, 0));
    return {size.width / 10000.0, size.height / 10000.0};
}

QByteArray generateBoard(quint32 seed, int partCount)
{
    partCount = std::max(partCount, 0);
    QRandomGenerator random(seed);
    QByteArray bytes;
    bytes.reserve(fixedBytes + partCount * bytesPerPart);
    bytes += "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n"
             "<!DOCTYPE eagle SYSTEM \"eagle.dtd\">\n";
    XmlOut out(bytes);
    out.open("eagle", {{"version", "9.6.2"}});
    out.open("drawing");
    writeSettings(out);
    writeLayers(out);
    writeBoard(out, partCount, random);
    out.close("drawing");
    out.close("eagle");
    return bytes;
}
