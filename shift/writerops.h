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

// An attribute like `attribute`, with `value`, in its namespace.
// QXmlStreamWriter declares the namespace of a prefixed attribute with its URI
// as it is, unescaped, so a URI holding "<", "&" or a quote would make the
// copy unreadable; it is escaped here.
inline void attributeInNamespace(QXmlStreamWriter &writer, const QXmlStreamAttribute &attribute,
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

inline void attribute(QXmlStreamWriter &writer, const QXmlStreamAttribute &attribute)
{
    attributeInNamespace(writer, attribute, attribute.value().toString());
}

inline void attribute(BoardTextWriter &writer, const QXmlStreamAttribute &attribute)
{
    writer.writeAttribute(attribute);
}

template<typename Writer>
void attributes(Writer &writer, const QXmlStreamAttributes &attributes)
{
    for (const QXmlStreamAttribute &each : attributes)
        attribute(writer, each);
}

// A coordinate with its new value. A prefixed one keeps its own namespace.
inline void shiftedAttribute(QXmlStreamWriter &writer, const QXmlStreamAttribute &attribute,
                             const QString &value)
{
    attributeInNamespace(writer, attribute, value);
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
