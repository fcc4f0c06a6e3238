// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardtokens.h"

#include "boardreader.h"

#include <QVector>
#include <QXmlStreamReader>

#include <cmath>

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

// "R90", "MR180", "SR22.5", "SMR0": an angle a turned copy can turn, as it
// can an empty one (R0). Any other text is left as it is.
bool isRotation(const QStringRef &value)
{
    int at = 0;
    const auto skip = [&](char c) {
        if (at < value.size() && value.at(at) == QLatin1Char(c))
            ++at;
    };
    skip('S');
    skip('M');
    if (at >= value.size() || value.at(at) != QLatin1Char('R'))
        return false;
    bool ok = false;
    const double angle = value.mid(at + 1).toDouble(&ok);
    return ok && std::isfinite(angle) && value.at(value.size() - 1).isDigit();
}

// What a copy changes of an attribute of a moving section's element. A
// rectangle turns with its corners: its own angle turns it about its
// centre, whichever way its corners lie.
Axis changeOf(const QStringRef &element, const QXmlStreamAttribute &attribute)
{
    const QStringRef name = attribute.qualifiedName();
    if (name == QLatin1String("rot"))
        return element != QLatin1String("rectangle")
                        && (attribute.value().isEmpty() || isRotation(attribute.value()))
                ? Axis::Angle
                : Axis::None;
    if (name == QLatin1String("dtype"))
        return attribute.value() == QLatin1String("horizontal")
                        || attribute.value() == QLatin1String("vertical")
                ? Axis::DimensionType
                : Axis::None;
    return axisOf(attribute.name());
}

// The tags whose angle a board leaves out at R0: parts, their smashed
// labels and texts.
bool takesRotation(const QStringRef &tag)
{
    return tag == QLatin1String("element") || tag == QLatin1String("attribute")
            || tag == QLatin1String("text");
}

bool writable(ushort unit)
{
    return (unit > 0x1f && unit < 0xfffe) || unit == '\t' || unit == '\n' || unit == '\r';
}

// What a text or value reads as in the panel: the characters XML cannot hold
// are left out, and in texts, where line breaks are written as they are, a
// carriage return reads as a line feed.
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

// The prefixes a board's namespaces are written with: the board's own are
// not kept, each namespace gets the first of "n1", "n2", ... not yet given in
// the document, in scope until the element that first needed it ends; "xml"
// keeps its prefix. Panels have named board namespaces so from the start.
class NamespacePrefixes
{
public:
    NamespacePrefixes() { bound.append({QStringLiteral("xml"), xmlNamespace()}); }

    void startElement() { scopes.append(bound.size()); }
    void endElement()
    {
        if (!scopes.isEmpty())
            bound.resize(scopes.takeLast());
    }

    QString prefixFor(const QStringRef &namespaceUri)
    {
        for (int i = bound.size() - 1; i >= 0; --i) {
            if (bound.at(i).namespaceUri == namespaceUri)
                return bound.at(i).prefix;
        }
        bound.append({QLatin1Char('n') + QString::number(++given), namespaceUri.toString()});
        return bound.last().prefix;
    }

private:
    static QString xmlNamespace() { return QStringLiteral("http://www.w3.org/XML/1998/namespace"); }

    struct Binding
    {
        QString prefix;
        QString namespaceUri;
    };
    QVector<Binding> bound;
    QVector<int> scopes; // the size of `bound` at each open element's start
    int given = 0;
};

// Goes through the board once, keeping what the panel writes of it: the
// section tags lose their attributes, texts that are whitespace only are
// left out, and texts that only markup the panel drops keeps apart (a
// comment, a CDATA section) become one.
class TokenCopy
{
public:
    TokenCopy(DocumentTokens &target, qint64 documentBytes)
        : builder(target)
    {
        builder.reserveFor(documentBytes);
    }

    void startElement(const QXmlStreamReader &reader)
    {
        flushText();
        const QStringRef name = reader.name();
        builder.startElement(name);
        prefixes.startElement();
        if (section.isEmpty()) {
            if (name == QLatin1String("plain") || name == QLatin1String("elements")
                || name == QLatin1String("signals")) {
                section = name.toString();
                moving = true;
                return;
            }
            if (name == QLatin1String("libraries")) {
                section = name.toString();
                moving = false;
                return;
            }
        }
        const bool turns = moving && !section.isEmpty();
        const QXmlStreamAttributes attributes = reader.attributes();
        for (const QXmlStreamAttribute &attribute : attributes) {
            const Axis axis = turns ? changeOf(name, attribute) : Axis::None;
            if (attribute.namespaceUri().isEmpty())
                keepAttribute(attribute.qualifiedName(), attribute.value(), axis);
            else
                keepPrefixed(attribute, axis);
        }
        if (turns && takesRotation(name) && !attributes.hasAttribute(QLatin1String("rot")))
            builder.impliedRotation();
    }

    void endElement(const QStringRef &name)
    {
        flushText();
        builder.endElement();
        prefixes.endElement();
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

    void finish() { builder.finish(); }

private:
    void keepAttribute(const QStringRef &qualifiedName, const QStringRef &value, Axis axis,
                       const QStringRef &namespaceUri = QStringRef())
    {
        if (axis != Axis::None || !needsRewriting(value, false)) {
            builder.attribute(qualifiedName, value, axis, namespaceUri);
            return;
        }
        const QString written = asWritten(value, false);
        builder.attribute(qualifiedName, QStringRef(&written), axis, namespaceUri);
    }

    // A prefixed attribute keeps its namespace under the prefix the board's
    // panels have always given it (see NamespacePrefixes).
    void keepPrefixed(const QXmlStreamAttribute &attribute, Axis axis)
    {
        const QString name =
                prefixes.prefixFor(attribute.namespaceUri()) + QLatin1Char(':') + attribute.name();
        keepAttribute(QStringRef(&name), attribute.value(), axis, attribute.namespaceUri());
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
    NamespacePrefixes prefixes;
    QString section; // the section being copied; empty outside the four
    bool moving = false; // whether the section's coordinates move
    QString text; // written since the last tag
};

} // namespace

BoardTokens readBoardTokens(QIODevice &device, const BoardVisit &alsoVisit)
{
    auto tokens = std::make_shared<DocumentTokens>();
    TokenCopy copy(*tokens, device.isSequential() ? 0 : device.size());
    const QString error = readBoard(
            device,
            [&](const QXmlStreamReader &reader, QXmlStreamReader::TokenType token, int depth) {
                if (alsoVisit)
                    alsoVisit(reader, token, depth);
                switch (token) {
                case QXmlStreamReader::StartElement:
                    copy.startElement(reader);
                    break;
                case QXmlStreamReader::EndElement:
                    copy.endElement(reader.name());
                    break;
                case QXmlStreamReader::Characters:
                    copy.characters(reader);
                    break;
                case QXmlStreamReader::EndDocument:
                    copy.endDocument();
                    break;
                default:
                    break;
                }
            });
    if (!error.isEmpty())
        return {nullptr, error};
    copy.finish();
    return {tokens, QString()};
}
