// SPDX-License-Identifier: GPL-3.0-or-later
#include "xmloutput.h"

#include <QVarLengthArray>

#include <algorithm>
#include <utility>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace {

// A panel has a writer for each of its sections, and most panels are small:
// a writer starts with a small block. A panel of many copies runs to tens of
// megabytes, every page of it memory touched for the first time: once the
// first block is full, the writer goes on in large ones, which take huge
// pages. Room never written costs no memory.
constexpr int firstBlockSize = 1 << 16;
constexpr int largeBlockSize = 1 << 23;
constexpr quintptr hugePageSize = 1 << 21;

// Touching fresh memory a small page at a time costs more than making the
// text; a large block asks for huge pages where the system grants them.
void preferHugePages(QByteArray &block)
{
#if defined(Q_OS_LINUX) && defined(MADV_HUGEPAGE)
    const auto start = reinterpret_cast<quintptr>(block.constData());
    const quintptr first = (start + hugePageSize - 1) & ~(hugePageSize - 1);
    const quintptr last = (start + quintptr(block.capacity())) & ~(hugePageSize - 1);
    if (last > first)
        madvise(reinterpret_cast<void *>(first), last - first, MADV_HUGEPAGE);
#else
    Q_UNUSED(block);
#endif
}

// The characters that may need a reference instead of themselves; all other
// text, nearly all of a board, is written as it is.
bool mayEscape(ushort unit)
{
    constexpr quint64 special = (quint64(1) << '&') | (quint64(1) << '<') | (quint64(1) << '>')
            | (quint64(1) << '"') | (quint64(1) << '\n') | (quint64(1) << '\r')
            | (quint64(1) << '\t');
    return unit < 64 && (special >> unit) & 1;
}

// The reference that stands for `unit`; empty where it is written as it is.
// Line breaks and tabs are kept as references in attributes, where a parser
// would turn the characters themselves into blanks.
QLatin1String referenceFor(ushort unit, bool inAttribute)
{
    switch (unit) {
    case '&':
        return QLatin1String("&amp;");
    case '<':
        return QLatin1String("&lt;");
    case '>':
        return QLatin1String("&gt;");
    case '\r':
        return QLatin1String("&#13;");
    case '"':
        return inAttribute ? QLatin1String("&quot;") : QLatin1String();
    case '\n':
        return inAttribute ? QLatin1String("&#10;") : QLatin1String();
    case '\t':
        return inAttribute ? QLatin1String("&#9;") : QLatin1String();
    default:
        return QLatin1String();
    }
}

} // namespace

// Inside an element (depth > 0) the first thing written starts a new line.
XmlOutput::XmlOutput(int indent, int depth)
    : indent(indent)
    , baseDepth(depth)
    , atStart(depth == 0)
    , nextBlockSize(firstBlockSize)
{ }

void XmlOutput::writeDeclaration()
{
    append(QLatin1String("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    atStart = false;
}

void XmlOutput::writeStartElement(const QStringRef &name)
{
    beginChild();
    if (open.isEmpty() || !open.last().hasText)
        newLine(baseDepth + open.size());
    append('<');
    append(name);
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
    append(' ');
    append(name);
    append(QLatin1String("=\""));
    if (escape)
        escaped(value.constData(), value.size(), true);
    else
        append(value);
    append('"');
}

bool XmlOutput::isPlain(const QStringRef &text)
{
    return std::none_of(text.begin(), text.end(), [](QChar c) { return mayEscape(c.unicode()); });
}

void XmlOutput::writeAttribute(const QStringRef &name, const QString &value)
{
    writeAttribute(name, QStringRef(&value));
}

void XmlOutput::writeEncoded(std::string_view attributes)
{
    append(attributes.data(), int(attributes.size()));
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
        append(QLatin1String("/>"));
        startTagOpen = false;
    } else {
        if (element.hasChildren && !element.hasText)
            newLine(baseDepth + open.size());
        append(QLatin1String("</"));
        append(element.tag());
        append('>');
    }
}

void XmlOutput::writeFragment(const PanelText &fragment)
{
    if (fragment.isEmpty())
        return;
    beginChild();
    closeBlock();
    chunks += fragment.blocks();
    chunksSize += fragment.size();
}

qint64 XmlOutput::startChild()
{
    closeStartTag();
    return size();
}

QByteArray XmlOutput::textSince(qint64 position) const
{
    QByteArray text;
    qint64 start = 0;
    auto take = [&](const char *bytes, qint64 count) {
        const qint64 from = std::max(position - start, qint64(0));
        if (from < count)
            text.append(bytes + from, int(count - from));
        start += count;
    };
    for (const QByteArray &chunk : chunks)
        take(chunk.constData(), chunk.size());
    if (!block.isNull())
        take(block.constData(), cursor - block.constData());
    return text;
}

// Between the children written again of a panel's copies lie a few tags: what
// follows one goes into a small block.
void XmlOutput::writeChildAgain(const QByteArray &child)
{
    writeFragment(PanelText({child}));
    nextBlockSize = firstBlockSize;
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
    append('\n');
}

qint64 XmlOutput::size() const
{
    return chunksSize + (block.isNull() ? 0 : cursor - block.constData());
}

PanelText XmlOutput::take()
{
    closeBlock();
    chunksSize = 0;
    return PanelText(std::exchange(chunks, {}));
}

void XmlOutput::append(const QChar *text, int size)
{
    ushort units = 0;
    for (int i = 0; i < size; ++i)
        units |= text[i].unicode();
    if (units >= 0x80) {
        const QByteArray utf8 = QStringView(text, size).toUtf8();
        append(utf8.constData(), utf8.size());
        return;
    }
    makeRoom(size);
    for (int i = 0; i < size; ++i)
        cursor[i] = char(text[i].unicode());
    cursor += size;
}

void XmlOutput::nextBlock(int size)
{
    closeBlock();
    const int room = std::max(size, nextBlockSize);
    nextBlockSize = largeBlockSize;
    block.reserve(room);
    if (room >= largeBlockSize)
        preferHugePages(block);
    block.resize(room);
    cursor = block.data();
    blockEnd = cursor + room;
}

void XmlOutput::closeBlock()
{
    if (block.isNull())
        return;
    block.resize(int(cursor - block.constData()));
    // Room a block cut short leaves is given back.
    if (block.capacity() > 2 * block.size())
        block.squeeze();
    chunksSize += block.size();
    if (!block.isEmpty())
        chunks.append(block);
    block = QByteArray();
    cursor = blockEnd = nullptr;
}

void XmlOutput::closeStartTag()
{
    if (startTagOpen) {
        append('>');
        startTagOpen = false;
    }
}

void XmlOutput::beginChild()
{
    closeStartTag();
    if (!open.isEmpty())
        open.last().hasChildren = true;
}

void XmlOutput::newLine(int depth)
{
    if (!atStart)
        append('\n');
    atStart = false;
    appendSpaces(depth * indent);
}

void XmlOutput::escaped(const QChar *text, int size, bool inAttribute)
{
    const QChar *plainStart = text;
    const QChar *end = text + size;
    for (const QChar *c = text; c != end; ++c) {
        if (!mayEscape(c->unicode()))
            continue;
        const QLatin1String reference = referenceFor(c->unicode(), inAttribute);
        if (reference.size() == 0)
            continue;
        append(plainStart, int(c - plainStart));
        append(reference);
        plainStart = c + 1;
    }
    append(plainStart, int(end - plainStart));
}

void XmlOutput::writeNamespacesOf(const DocumentTokens::Attributes &attributes)
{
    QVarLengthArray<QStringRef, 4> declared;
    for (const DocumentTokens::Attribute attribute : attributes) {
        const QStringRef prefix = attribute.prefix();
        // "xml" is bound from the start and must not be declared again.
        if (prefix.isEmpty() || prefix == QLatin1String("xml") || declared.contains(prefix))
            continue;
        declared.append(prefix);
        const QString name = QLatin1String("xmlns:") + prefix;
        writeAttribute(QStringRef(&name), attribute.namespaceUri());
    }
}
