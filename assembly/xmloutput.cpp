// SPDX-License-Identifier: GPL-3.0-or-later
#include "xmloutput.h"

#include <QVarLengthArray>

#include <algorithm>
#include <limits>
#include <utility>

namespace {

// Encoding in blocks keeps the UTF-16 text short while the UTF-8 result grows.
// A panel has a writer for each of its sections, each with a buffer of its
// own, whose every page is memory touched for the first time: small blocks
// keep those buffers small.
constexpr int flushSize = 1 << 16;

// The characters that may need a reference instead of themselves; all other
// text, nearly all of a board, is written as it is.
bool mayEscape(ushort unit)
{
    constexpr quint64 special = (quint64(1) << '&') | (quint64(1) << '<') | (quint64(1) << '>')
            | (quint64(1) << '"') | (quint64(1) << '\n') | (quint64(1) << '\r')
            | (quint64(1) << '\t');
    return unit < 64 && (special >> unit) & 1;
}

} // namespace

// Inside an element (depth > 0) the first thing written starts a new line.
XmlOutput::XmlOutput(int indent, int depth)
    : indent(indent)
    , baseDepth(depth)
    , atStart(depth == 0)
{ }

void XmlOutput::writeDeclaration()
{
    pending.append(QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    atStart = false;
}

void XmlOutput::writeStartElement(const QStringRef &name)
{
    closeStartTag();
    if (!open.isEmpty())
        open.last().hasChildren = true;
    if (open.isEmpty() || !open.last().hasText)
        newLine(baseDepth + open.size());
    pending.append(QLatin1Char('<'));
    pending.append(name);
    open.append({name, QString(), false, false});
    startTagOpen = true;
}

void XmlOutput::writeAttribute(const QStringRef &name, const QStringRef &value)
{
    attribute(name, value, true);
}

void XmlOutput::writePlainAttribute(const QStringRef &name, const QStringRef &value)
{
    attribute(name, value, false);
}

void XmlOutput::attribute(const QStringRef &name, const QStringRef &value, bool escape)
{
    pending.append(QLatin1Char(' '));
    pending.append(name);
    pending.append(QLatin1String("=\""));
    if (escape)
        escaped(value.constData(), value.size(), true);
    else
        pending.append(value);
    pending.append(QLatin1Char('"'));
}

bool XmlOutput::isPlain(const QStringRef &text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) { return mayEscape(c.unicode()); });
}

void XmlOutput::writeAttribute(const QStringRef &name, const QString &value)
{
    writeAttribute(name, QStringRef(&value));
}

void XmlOutput::writeCharacters(const QStringRef &text)
{
    closeStartTag();
    if (!open.isEmpty())
        open.last().hasText = true;
    escaped(text.constData(), text.size(), false);
}

void XmlOutput::writeEndElement()
{
    if (open.isEmpty())
        return;
    const Open element = open.takeLast();
    if (startTagOpen) {
        pending.append(QLatin1String("/>"));
        startTagOpen = false;
    } else {
        if (element.hasChildren && !element.hasText)
            newLine(baseDepth + open.size());
        pending.append(QLatin1String("</"));
        pending.append(element.tag());
        pending.append(QLatin1Char('>'));
    }
    flushIfLarge();
}

void XmlOutput::writeFragment(const QVector<QByteArray> &fragment)
{
    if (fragment.isEmpty())
        return;
    closeStartTag();
    if (!open.isEmpty())
        open.last().hasChildren = true;
    flushPending();
    chunks += fragment;
}

void XmlOutput::keepOpenNames()
{
    for (Open &element : open) {
        if (element.kept.isNull())
            element.kept = element.name.toString();
    }
}

void XmlOutput::writeEndDocument()
{
    while (!open.isEmpty())
        writeEndElement();
    pending.append(QLatin1Char('\n'));
}

QVector<QByteArray> XmlOutput::takeBlocks()
{
    flushPending();
    return std::exchange(chunks, {});
}

PanelText XmlOutput::take()
{
    return PanelText(takeBlocks());
}

void XmlOutput::flushPending()
{
    if (pending.size() == 0)
        return;
    chunks.append(pending.takeUtf8());
}

QByteArray XmlOutput::PendingText::takeUtf8()
{
    const QByteArray text = QStringView(data, used).toUtf8();
    used = 0;
    return text;
}

void XmlOutput::PendingText::grow(int size)
{
    buffer.resize(std::max(used + size, std::max(256, 2 * buffer.size())));
    data = buffer.data();
}

void XmlOutput::closeStartTag()
{
    if (startTagOpen) {
        pending.append(QLatin1Char('>'));
        startTagOpen = false;
    }
}

void XmlOutput::newLine(int depth)
{
    if (!atStart)
        pending.append(QLatin1Char('\n'));
    atStart = false;
    pending.appendSpaces(depth * indent);
}

void XmlOutput::flushIfLarge()
{
    if (pending.size() >= flushSize)
        flushPending();
}

void XmlOutput::escaped(const QChar *text, int size, bool inAttribute)
{
    const QChar *plainStart = text;
    const QChar *end = text + size;
    for (const QChar *c = text; c != end; ++c) {
        if (!mayEscape(c->unicode()))
            continue;
        QLatin1String replacement("");
        switch (c->unicode()) {
        case '&':
            replacement = QLatin1String("&amp;");
            break;
        case '<':
            replacement = QLatin1String("&lt;");
            break;
        case '>':
            replacement = QLatin1String("&gt;");
            break;
        case '"':
            if (inAttribute)
                replacement = QLatin1String("&quot;");
            break;
        // Kept as references in attributes: a parser would turn the
        // characters themselves into blanks.
        case '\n':
            if (inAttribute)
                replacement = QLatin1String("&#10;");
            break;
        case '\r':
            replacement = QLatin1String("&#13;");
            break;
        case '\t':
            if (inAttribute)
                replacement = QLatin1String("&#9;");
            break;
        default:
            break;
        }
        if (replacement.size() == 0)
            continue;
        pending.append(plainStart, int(c - plainStart));
        pending.append(replacement);
        plainStart = c + 1;
    }
    pending.append(plainStart, int(end - plainStart));
}
