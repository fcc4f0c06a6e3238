#include "sectioncopy.h"

#include "catalogue/boardreader.h"
#include "writerops.h"

namespace {

struct Offset
{
    double dx;
    double dy;
};

// The offset a coordinate attribute takes: "x", "x1", "x2", "x3" move with dx
// and "y", "y1", "y2", "y3" with dy (a dimension places its text at x3, y3).
// Any other name, a differently cased one included, is no coordinate and gets
// nullptr.
const double *offsetFor(const QStringRef &name, const Offset &offset)
{
    const int size = name.size();
    if (size == 0 || size > 2)
        return nullptr;
    if (size == 2 && (name.at(1) < QLatin1Char('1') || name.at(1) > QLatin1Char('3')))
        return nullptr;
    if (name.at(0) == QLatin1Char('x'))
        return &offset.dx;
    if (name.at(0) == QLatin1Char('y'))
        return &offset.dy;
    return nullptr;
}

// Empty or not a number counts as 0.
QString shiftedValue(const QXmlStreamAttribute &attribute, double offset)
{
    return QString::number(attribute.value().toDouble() + offset, 'g', 6);
}

// A coordinate is known by its local name. A prefixed one keeps its own
// namespace and value, so that an element never ends up with two attributes
// of one name, which would make the copy unreadable.
template<typename Writer>
void writeShiftedAttributes(const QXmlStreamAttributes &attributes, Writer &writer,
                            const Offset &offset)
{
    for (const QXmlStreamAttribute &attribute : attributes) {
        const double *axisOffset = offsetFor(attribute.name(), offset);
        if (!axisOffset)
            writerops::attribute(writer, attribute);
        else
            writerops::shiftedAttribute(writer, attribute, shiftedValue(attribute, *axisOffset));
    }
}

// The one loop behind both copies; without an offset the attributes pass
// unchanged. Depth is not counted for the end: the first end tag bearing the
// section's name ends the copy.
template<typename Writer>
void copySection(QXmlStreamReader &reader, Writer &writer, const QString &sectionTag,
                 const Offset *offset, int &depth)
{
    while (!(reader.isEndElement() && reader.name() == sectionTag)) {
        if (reader.hasError() || reader.atEnd())
            return;
        readNextLimited(reader, depth);
        switch (reader.tokenType()) {
        case QXmlStreamReader::StartElement:
            writerops::startElement(writer, reader.name());
            if (offset)
                writeShiftedAttributes(reader.attributes(), writer, *offset);
            else
                writerops::attributes(writer, reader.attributes());
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

void copyShifted(QXmlStreamReader &reader, BoardTextWriter &writer, const QString &sectionTag,
                 int dx, int dy, int &depth)
{
    const Offset offset {double(dx), double(dy)};
    copySection(reader, writer, sectionTag, &offset, depth);
}

void copyElement(QXmlStreamReader &reader, BoardTextWriter &writer, const QString &sectionTag,
                 int &depth)
{
    copySection(reader, writer, sectionTag, nullptr, depth);
}

void copyText(const QXmlStreamReader &reader, QXmlStreamWriter &writer)
{
    if (!reader.isWhitespace())
        writerops::characters(writer, reader.text());
}

void copyText(const QXmlStreamReader &reader, BoardTextWriter &writer)
{
    if (!reader.isWhitespace())
        writerops::characters(writer, reader.text());
}
