#include "outline.h"

#include "boardreader.h"

#include <QIODevice>
#include <QXmlStreamReader>

namespace {

constexpr int outlineLayer = 20;

void takeInWire(const QXmlStreamAttributes &attributes, OutlineBox &box)
{
    if (!attributes.hasAttribute(QLatin1String("layer")))
        return;
    if (attributes.value(QLatin1String("layer")).toInt(nullptr, 10) != outlineLayer)
        return;
    const double x1 = attributes.value(QLatin1String("x1")).toDouble();
    const double x2 = attributes.value(QLatin1String("x2")).toDouble();
    const double y1 = attributes.value(QLatin1String("y1")).toDouble();
    const double y2 = attributes.value(QLatin1String("y2")).toDouble();
    extendRange(x1, box.minX, box.maxX);
    extendRange(x2, box.minX, box.maxX);
    extendRange(y1, box.minY, box.maxY);
    extendRange(y2, box.minY, box.maxY);
}

} // namespace

void extendRange(double value, double &low, double &high)
{
    if (value > high)
        high = value;
    if (value < low)
        low = value;
}

OutlineMeasurement measureOutline(QIODevice &device)
{
    OutlineMeasurement result;
    BoardDevice board(device);
    QXmlStreamReader reader(&board);
    int depth = 0;
    while (!reader.atEnd() && !reader.hasError()) {
        if (readNextLimited(reader, depth) == QXmlStreamReader::StartElement
            && reader.name() == QLatin1String("wire"))
            takeInWire(reader.attributes(), result.box);
    }
    if (reader.hasError())
        result.error = reader.errorString();
    return result;
}

QString sizeText(double width, double height)
{
    return QString::number(width, 'g', 6) + QLatin1String(" mm x") + QString::number(height, 'g', 6)
            + QLatin1String(" mm");
}
