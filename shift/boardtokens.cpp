// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardtokens.h"

#include "catalogue/boardfile.h"
#include "catalogue/boardreader.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {

using Axis = DocumentTokens::Axis;

// The axis a coordinate attribute moves along: "x", "x1", "x2", "x3" and
// "y", "y1", "y2", "y3" (a dimension places its text at x3, y3). Any other
// name, a differently cased one included, is no coordinate.
Axis axisOf(const QStringRef &name)
{
    const int size = name.size();
    if (size == 0 || size > 2)
        return Axis::None;
    if (size == 2 && (name.at(1) < QLatin1Char('1') || name.at(1) > QLatin1Char('3')))
        return Axis::None;
    if (name.at(0) == QLatin1Char('x'))
        return Axis::X;
    if (name.at(0) == QLatin1Char('y'))
        return Axis::Y;
    return Axis::None;
}

bool writable(ushort unit)
{
    return (unit > 0x1f && unit < 0xfffe) || unit == '\t' || unit == '\n' || unit == '\r';
}

// What a text or value reads as once written into a copy and read from it:
// the characters XML cannot hold are left out, and in texts, where line
// breaks are written as they are, a carriage return reads as a line feed.
QString asWritten(const QStringRef &value, bool inText)
{
    QString result;
    result.reserve(value.size());
    for (int i = 0; i < value.size(); ++i) {
        const ushort unit = value.at(i).unicode();
        if (!writable(unit))
            continue;
        if (inText && unit == '\r') {
            if (i + 1 < value.size() && value.at(i + 1) == QLatin1Char('\n'))
                continue;
            result += QLatin1Char('\n');
            continue;
        }
        result += QChar(unit);
    }
    return result;
}

bool needsRewriting(const QStringRef &value, bool inText)
{
    return std::any_of(value.begin(), value.end(), [inText](QChar c) {
        return !writable(c.unicode()) || (inText && c == QLatin1Char('\r'));
    });
}

bool isXmlSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n')
            || c == QLatin1Char('\r');
}

// Goes through the board once, as the shifted copy is written: the section
// tags lose their attributes, texts that are whitespace only are left out,
// and texts that the copy writes one after the other read back as one.
class TokenCopy
{
public:
    explicit TokenCopy(DocumentTokens &target)
        : builder(target)
    { }

    // False when the board holds a namespaced attribute.
    bool startElement(const QXmlStreamReader &reader)
    {
        flushText();
        const QStringRef name = reader.name();
        builder.startElement(name);
        if (section.isEmpty()) {
            if (name == QLatin1String("plain") || name == QLatin1String("elements")
                || name == QLatin1String("signals")) {
                section = name.toString();
                moving = true;
                return true;
            }
            if (name == QLatin1String("libraries")) {
                section = name.toString();
                moving = false;
                return true;
            }
        }
        for (const QXmlStreamAttribute &attribute : reader.attributes()) {
            if (!attribute.namespaceUri().isEmpty() || !attribute.prefix().isEmpty())
                return false;
            const Axis axis = moving && !section.isEmpty() ? axisOf(attribute.name()) : Axis::None;
            if (axis != Axis::None)
                builder.attribute(attribute.qualifiedName(), attribute.value(), axis);
            else
                keepAttribute(attribute);
        }
        return true;
    }

    void endElement(const QStringRef &name)
    {
        flushText();
        builder.endElement();
        if (!section.isEmpty() && name == section)
            section.clear();
    }

    void characters(const QXmlStreamReader &reader)
    {
        if (!reader.isWhitespace())
            text += reader.text();
    }

    void endDocument()
    {
        flushText();
        builder.endAll();
    }

    void finish(bool failed) { builder.finish(failed); }

private:
    void keepAttribute(const QXmlStreamAttribute &attribute)
    {
        const QStringRef value = attribute.value();
        if (!needsRewriting(value, false)) {
            builder.attribute(attribute.qualifiedName(), value);
            return;
        }
        const QString written = asWritten(value, false);
        builder.attribute(attribute.qualifiedName(), QStringRef(&written));
    }

    void flushText()
    {
        if (text.isEmpty())
            return;
        if (needsRewriting(QStringRef(&text), true))
            text = asWritten(QStringRef(&text), true);
        if (!std::all_of(text.begin(), text.end(), isXmlSpace))
            builder.characters(QStringRef(&text));
        text.clear();
    }

    DocumentTokens::Builder builder;
    QString section; // the section being copied; empty outside the four
    bool moving = false; // whether the section's coordinates move
    QString text; // written since the last tag
};

} // namespace

BoardTokens readBoardTokens(QIODevice &device)
{
    auto tokens = std::make_shared<DocumentTokens>();
    TokenCopy copy(*tokens);
    BoardDevice board(device);
    QXmlStreamReader reader(&board);
    int depth = 0;
    bool ended = false;
    while (!reader.atEnd() && !reader.hasError()) {
        readNextLimited(reader, depth);
        switch (reader.tokenType()) {
        case QXmlStreamReader::StartElement:
            if (!copy.startElement(reader))
                return {nullptr, QString()};
            break;
        case QXmlStreamReader::EndElement:
            copy.endElement(reader.name());
            break;
        case QXmlStreamReader::Characters:
            copy.characters(reader);
            break;
        case QXmlStreamReader::EndDocument:
            copy.endDocument();
            ended = true;
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return {nullptr, readFailureReason(reader)};
    copy.finish(!ended);
    return {tokens, QString()};
}

BoardTokens readBoardTokensFile(QFile &file)
{
    const QString openError = openBoardFile(file);
    if (!openError.isEmpty())
        return {nullptr, openError};
    const BoardTokens read = readBoardTokens(file);
    file.close();
    return read;
}
