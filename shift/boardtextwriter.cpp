#include "boardtextwriter.h"

#include <algorithm>

namespace {

constexpr int indentWidth = 4; // QXmlStreamWriter's default

} // namespace

void BoardTextWriter::writeStartDocument()
{
    if (failed)
        return;
    finishStartElement(false);
    // A writer on a string names no encoding.
    text += QLatin1String("<?xml version=\"1.0\"?>");
}

void BoardTextWriter::writeStartElement(const QStringRef &name)
{
    if (failed)
        return;
    if (!finishStartElement(false))
        indent(open.size());
    text += QLatin1Char('<');
    text += name;
    open.append(openNames.size());
    openNames += name;
    inStartElement = lastWasStartElement = true;
}

void BoardTextWriter::writeAttribute(const QStringRef &qualifiedName, const QStringRef &value)
{
    if (failed)
        return;
    text += QLatin1Char(' ');
    text += qualifiedName;
    text += QLatin1String("=\"");
    writeEscaped(value, true);
    text += QLatin1Char('"');
}

void BoardTextWriter::writeAttribute(const QStringRef &qualifiedName, const QString &value)
{
    writeAttribute(qualifiedName, QStringRef(&value));
}

void BoardTextWriter::writeAttribute(const QXmlStreamAttribute &attribute)
{
    if (attribute.namespaceUri().isEmpty())
        writeAttribute(attribute.qualifiedName(), attribute.value());
    else
        writeNamespacedAttribute();
}

void BoardTextWriter::writeNamespacedAttribute()
{
    failed = true;
}

void BoardTextWriter::writeCharacters(const QStringRef &characters)
{
    if (failed)
        return;
    finishStartElement(true);
    writeEscaped(characters, false);
}

void BoardTextWriter::writeEndElement()
{
    if (failed || open.isEmpty())
        return;
    if (inStartElement) {
        text += QLatin1String("/>");
        lastWasStartElement = inStartElement = false;
        openNames.truncate(open.takeLast());
        return;
    }
    if (!finishStartElement(false) && !lastWasStartElement)
        indent(open.size() - 1);
    lastWasStartElement = false;
    const int nameStart = open.takeLast();
    text += QLatin1String("</");
    text.append(openNames.constData() + nameStart, openNames.size() - nameStart);
    text += QLatin1Char('>');
    openNames.truncate(nameStart);
}

void BoardTextWriter::writeEndDocument()
{
    while (!failed && !open.isEmpty())
        writeEndElement();
    if (!failed)
        text += QLatin1Char('\n');
}

// Whether anything was written since the last start or end tag; closes an
// open start tag. `contents` tells whether text follows.
bool BoardTextWriter::finishStartElement(bool contents)
{
    const bool hadSomethingWritten = wroteSomething;
    wroteSomething = contents;
    if (inStartElement) {
        text += QLatin1Char('>');
        inStartElement = false;
    }
    return hadSomethingWritten;
}

void BoardTextWriter::indent(int level)
{
    text += QLatin1Char('\n');
    const int start = text.size();
    text.resize(start + level * indentWidth);
    std::fill(text.begin() + start, text.end(), QLatin1Char(' '));
}

// As QXmlStreamWriter escapes: '"' also in text, tab, line feed and carriage
// return as references in attributes only, and the other control characters,
// U+FFFE and U+FFFF, which XML cannot hold, left out.
void BoardTextWriter::writeEscaped(const QStringRef &value, bool inAttribute)
{
    const QChar *plainStart = value.constData();
    const QChar *end = plainStart + value.size();
    for (const QChar *c = plainStart; c != end; ++c) {
        const ushort unit = c->unicode();
        if (unit > '>' && unit < 0xfffe)
            continue;
        QLatin1String replacement("");
        switch (unit) {
        case '<':
            replacement = QLatin1String("&lt;");
            break;
        case '>':
            replacement = QLatin1String("&gt;");
            break;
        case '&':
            replacement = QLatin1String("&amp;");
            break;
        case '"':
            replacement = QLatin1String("&quot;");
            break;
        case '\t':
            if (!inAttribute)
                continue;
            replacement = QLatin1String("&#9;");
            break;
        case '\n':
            if (!inAttribute)
                continue;
            replacement = QLatin1String("&#10;");
            break;
        case '\r':
            if (!inAttribute)
                continue;
            replacement = QLatin1String("&#13;");
            break;
        default:
            if (unit > 0x1f && unit < 0xfffe)
                continue;
            break; // dropped: replacement stays empty
        }
        text.append(plainStart, int(c - plainStart));
        text += replacement;
        plainStart = c + 1;
    }
    text.append(plainStart, int(end - plainStart));
}
