// SPDX-License-Identifier: GPL-3.0-or-later
#include "sectioncopy.h"

#include "catalogue/boardreader.h"

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

// An attribute like `attribute`, with `value`, in its namespace.
// QXmlStreamWriter declares the namespace of a prefixed attribute with its URI
// as it is, unescaped, so a URI holding "<", "&" or a quote would make the
// copy unreadable; it is escaped here.
void writeAttribute(QXmlStreamWriter &writer, const QXmlStreamAttribute &attribute,
                    const QString &value)
{
    if (attribute.namespaceUri().isEmpty()) {
        writer.writeAttribute(attribute.qualifiedName().toString(), value);
        return;
    }
    QString uri = attribute.namespaceUri().toString().toHtmlEscaped();
    uri.replace(QLatin1Char('\n'), QLatin1String("&#10;"))
            .replace(QLatin1Char('\r'), QLatin1String("&#13;"))
            .replace(QLatin1Char('\t'), QLatin1String("&#9;"));
    writer.writeAttribute(uri, attribute.name().toString(), value);
}

// A coordinate is known by its local name. A prefixed one keeps its own
// namespace and value, so that an element never ends up with two attributes
// of one name, which would make the copy unreadable.
void writeShiftedAttributes(const QXmlStreamAttributes &attributes, QXmlStreamWriter &writer,
                            const Offset &offset)
{
    for (const QXmlStreamAttribute &attribute : attributes) {
        const double *axisOffset = offsetFor(attribute.name(), offset);
        writeAttribute(writer, attribute,
                       axisOffset ? shiftedValue(attribute, *axisOffset)
                                  : attribute.value().toString());
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
                copyAttributes(reader.attributes(), writer);
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

void copyAttributes(const QXmlStreamAttributes &attributes, QXmlStreamWriter &writer)
{
    for (const QXmlStreamAttribute &attribute : attributes)
        writeAttribute(writer, attribute, attribute.value().toString());
}
