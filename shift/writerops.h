#pragma once

#include "boardtextwriter.h"

#include <QXmlStreamWriter>

// The few writes in which a board copy treats its two writers apart, so that
// one copy loop, written once as a template, serves both: QXmlStreamWriter
// wants whole strings, BoardTextWriter takes the reader's string references.
namespace writerops {

inline void startElement(QXmlStreamWriter &writer, const QStringRef &name)
{
    writer.writeStartElement(name.toString());
}

inline void startElement(BoardTextWriter &writer, const QStringRef &name)
{
    writer.writeStartElement(name);
}

inline void characters(QXmlStreamWriter &writer, const QStringRef &text)
{
    writer.writeCharacters(text.toString());
}

inline void characters(BoardTextWriter &writer, const QStringRef &text)
{
    writer.writeCharacters(text);
}

// A coordinate with its new value. A prefixed one keeps its own namespace.
inline void shiftedAttribute(QXmlStreamWriter &writer, const QXmlStreamAttribute &attribute,
                             const QString &value)
{
    if (attribute.prefix().isEmpty())
        writer.writeAttribute(attribute.name().toString(), value);
    else
        writer.writeAttribute(attribute.namespaceUri().toString(), attribute.name().toString(),
                              value);
}

inline void shiftedAttribute(BoardTextWriter &writer, const QXmlStreamAttribute &attribute,
                             const QString &value)
{
    if (attribute.prefix().isEmpty())
        writer.writeAttribute(attribute.name(), value);
    else
        writer.writeNamespacedAttribute();
}

inline bool unsupported(const QXmlStreamWriter &)
{
    return false;
}

inline bool unsupported(const BoardTextWriter &writer)
{
    return writer.unsupported();
}

} // namespace writerops
