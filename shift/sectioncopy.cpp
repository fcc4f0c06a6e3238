#include "sectioncopy.h"

#include "catalogue/boardreader.h"

namespace {

struct Offset
{
    double dx;
    double dy;
};

// The offset a coordinate attribute takes: "x", "x1", "x2" move with dx and
// "y", "y1", "y2" with dy. Any other name, a differently cased one included,
// is no coordinate and gets nullptr.
const double *offsetFor(const QStringRef &name, const Offset &offset)
{
    const int size = name.size();
    if (size == 0 || size > 2)
        return nullptr;
    if (size == 2 && name.at(1) != QLatin1Char('1') && name.at(1) != QLatin1Char('2'))
        return nullptr;
    if (name.at(0) == QLatin1Char('x'))
        return &offset.dx;
    if (name.at(0) == QLatin1Char('y'))
        return &offset.dy;
    return nullptr;
}

// A coordinate's value is that of the unprefixed attribute of its name; for
// the unprefixed attribute itself that is its own value, looked up only for a
// prefixed one. Empty or not a number counts as 0.
QString shiftedValue(const QXmlStreamAttributes &attributes, const QXmlStreamAttribute &attribute,
                     double offset)
{
    const QStringRef source = attribute.prefix().isEmpty()
            ? attribute.value()
            : attributes.value(attribute.name().toString());
    return QString::number(source.toDouble() + offset, 'g', 6);
}

void writeShiftedAttributes(const QXmlStreamAttributes &attributes, QXmlStreamWriter &writer,
                            const Offset &offset)
{
    for (const QXmlStreamAttribute &attribute : attributes) {
        if (const double *axisOffset = offsetFor(attribute.name(), offset))
            writer.writeAttribute(attribute.name().toString(),
                                  shiftedValue(attributes, attribute, *axisOffset));
        else
            writer.writeAttribute(attribute);
    }
}

// The one loop behind both copies; without an offset the attributes pass
// unchanged. Depth is not counted for the end: the first end tag bearing the
// section's name ends the copy.
void copySection(QXmlStreamReader &reader, QXmlStreamWriter &writer, const QString &sectionTag,
                 const Offset *offset, int &depth)
{
    while (!(reader.isEndElement() && reader.name() == sectionTag)) {
        if (reader.hasError() || reader.atEnd())
            return;
        readNextLimited(reader, depth);
        switch (reader.tokenType()) {
        case QXmlStreamReader::StartElement:
            writer.writeStartElement(reader.name().toString());
            if (offset)
                writeShiftedAttributes(reader.attributes(), writer, *offset);
            else
                writer.writeAttributes(reader.attributes());
            break;
        case QXmlStreamReader::EndElement:
            writer.writeEndElement();
            break;
        case QXmlStreamReader::Characters:
            copyText(reader, writer);
            break;
        default:
            break;
        }
    }
}

} // namespace

void copyShifted(QXmlStreamReader &reader, QXmlStreamWriter &writer, const QString &sectionTag,
                 int dx, int dy)
{
    int depth = 1;
    copyShifted(reader, writer, sectionTag, dx, dy, depth);
}

void copyElement(QXmlStreamReader &reader, QXmlStreamWriter &writer, const QString &sectionTag)
{
    int depth = 1;
    copyElement(reader, writer, sectionTag, depth);
}

void copyShifted(QXmlStreamReader &reader, QXmlStreamWriter &writer, const QString &sectionTag,
                 int dx, int dy, int &depth)
{
    const Offset offset {double(dx), double(dy)};
    copySection(reader, writer, sectionTag, &offset, depth);
}

void copyElement(QXmlStreamReader &reader, QXmlStreamWriter &writer, const QString &sectionTag,
                 int &depth)
{
    copySection(reader, writer, sectionTag, nullptr, depth);
}

void copyText(const QXmlStreamReader &reader, QXmlStreamWriter &writer)
{
    if (!reader.isWhitespace())
        writer.writeCharacters(reader.text().toString());
}
