// SPDX-License-Identifier: GPL-3.0-or-later
#include "documenttokens.h"

#include "xmloutput.h"

#include <cmath>
#include <tuple>

namespace {

QString decimalText(double value, int decimals)
{
    if (!std::isfinite(value))
        value = 0.0;
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(value * scale) / scale;
    QString text = QString::number(std::isfinite(rounded) ? rounded : value, 'f', decimals);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    return text == QLatin1String("-0") ? QStringLiteral("0") : text;
}

} // namespace

QString millimetreText(double value, MillimetreDigits digits)
{
    switch (digits) {
    case MillimetreDigits::Moved:
        return QString::number(value, 'g', 6);
    case MillimetreDigits::Added:
        return decimalText(value, 4);
    case MillimetreDigits::Label:
        return decimalText(value, 6);
    }
    return QString();
}

void DocumentTokens::encodeAttributes() const
{
    if (!encoded->ends.isEmpty() || attributes.isEmpty())
        return;
    QVector<int> &encodedEnds = encoded->ends;
    XmlOutput out(0);
    encodedEnds.reserve(attributes.size());
    // The values as read: a copy's moved coordinates are never taken from here.
    for (const AttributeSpans &spans : attributes) {
        if (spans.implied)
            ; // a copy writes it only turned, and then as a moved coordinate
        else if (spans.escapes)
            out.writeAttribute(ref(spans.qualifiedName), ref(spans.value));
        else
            out.writePlainAttribute(ref(spans.qualifiedName), ref(spans.value));
        encodedEnds.append(int(out.size()));
    }
    encoded->bytes = out.take().joined();
}

DocumentTokens::Span DocumentTokens::keep(const QStringRef &kept)
{
    const Span span {text.size(), kept.size()};
    text.append(kept);
    return span;
}

// Moved coordinates are numbers, and always plain.
DocumentTokens::AttributeSpans
DocumentTokens::keptAttribute(Span qualifiedName, const QStringRef &value, int coordinate)
{
    AttributeSpans spans;
    spans.qualifiedName = qualifiedName;
    spans.value = keep(value);
    spans.coordinate = coordinate;
    spans.escapes = !XmlOutput::isPlain(value);
    spans.implied = false;
    return spans;
}

QStringRef DocumentTokens::valueOf(const AttributeSpans &spans) const
{
    if (spans.coordinate < 0 || movedEnds.isEmpty())
        return ref(spans.value);
    const int start = spans.coordinate == 0 ? 0 : movedEnds.at(spans.coordinate - 1);
    return QStringRef(&movedText, start, movedEnds.at(spans.coordinate) - start);
}

// Empty or not a number counts as 0.
DocumentTokens DocumentTokens::shifted(double dx, double dy, int turn) const
{
    DocumentTokens copy(*this);
    copy.movedEnds.clear();
    copy.movedEnds.reserve(coordinates.size());
    copy.movedText.clear();
    copy.movedText.reserve(coordinates.size() * 6);
    turn = (turn % 4 + 4) % 4;
    for (int coordinate = 0; coordinate < coordinates.size(); ++coordinate) {
        copy.movedText += turnedValue(coordinate, dx, dy, turn);
        copy.movedEnds.append(copy.movedText.size());
    }
    return copy;
}

namespace {

QChar kindOf(const QStringRef &qualifiedName)
{
    return qualifiedName.at(qualifiedName.indexOf(QLatin1Char(':')) + 1);
}

// "SMR30" turned: the flags stay, the angle turns; a mirrored part's or
// text's the other way, as mirroring reverses its sense.
QString turnedRotation(const QStringRef &rotation, int turn)
{
    // An implied rotation is R0.
    const int r = std::max(0, rotation.indexOf(QLatin1Char('R')));
    const QStringRef flags = rotation.left(r);
    const bool mirrored = flags.contains(QLatin1Char('M'));
    const double angle = rotation.mid(r + 1).toDouble() + (mirrored ? -90.0 : 90.0) * turn;
    return flags + QLatin1Char('R')
            + millimetreText(std::fmod(std::fmod(angle, 360.0) + 360.0, 360.0),
                             MillimetreDigits::Label);
}

} // namespace

QString DocumentTokens::turnedValue(int coordinate, double dx, double dy, int turn) const
{
    const AttributeSpans &spans = attributes.at(coordinates.at(coordinate));
    const QStringRef value = ref(spans.value);
    const QChar kind = kindOf(ref(spans.qualifiedName));
    if (kind == QLatin1Char('r'))
        return turn == 0 ? value.toString() : turnedRotation(value, turn);
    if (kind == QLatin1Char('d')) {
        if (turn % 2 == 0)
            return value.toString();
        return value == QLatin1String("horizontal") ? QStringLiteral("vertical")
                                                    : QStringLiteral("horizontal");
    }
    const bool vertical = kind == QLatin1Char('y');
    double own = value.toDouble();
    if (turn != 0) {
        const int partner = partners.at(coordinate);
        const double other =
                partner < 0 ? 0.0 : ref(attributes.at(coordinates.at(partner)).value).toDouble();
        double x = vertical ? other : own;
        double y = vertical ? own : other;
        for (int i = 0; i < turn; ++i)
            std::tie(x, y) = std::make_pair(-y, x);
        own = vertical ? y : x;
    }
    return millimetreText(own + (vertical ? dy : dx), MillimetreDigits::Moved);
}

DocumentTokens::Span DocumentTokens::Builder::keepName(const QStringRef &name)
{
    const auto found = names.constFind(name);
    if (found != names.constEnd())
        return *found;
    const Span span = target.keep(name);
    names.insert(target.ref(span), span);
    return span;
}

void DocumentTokens::Builder::startElement(const QStringRef &name)
{
    openNames.append(keepName(name));
    target.tokens.append(
            Token(QXmlStreamReader::StartElement, openNames.last(), target.attributes.size()));
}

void DocumentTokens::Builder::attribute(const QStringRef &qualifiedName, const QStringRef &value,
                                        Axis axis, const QStringRef &namespaceUri)
{
    if (!namespaceUri.isEmpty())
        target.namespaces.insert(target.attributes.size(), keepName(namespaceUri));
    int coordinate = -1;
    if (axis != Axis::None) {
        coordinate = target.coordinates.size();
        target.coordinates.append(target.attributes.size());
        target.partners.append(-1);
        if (axis == Axis::X || axis == Axis::Y)
            pairWithPartner(coordinate, qualifiedName);
    }
    const Span name = keepName(qualifiedName);
    target.attributes.append(target.keptAttribute(name, value, coordinate));
    ++target.tokens.last().attributeCount;
}

// x1 and y1 of one element make one point, wherever they stand among its
// attributes.
void DocumentTokens::Builder::pairWithPartner(int coordinate, const QStringRef &qualifiedName)
{
    const int axisAt = qualifiedName.indexOf(QLatin1Char(':')) + 1;
    const auto isPartner = [&](const QStringRef &name) {
        return name.size() == qualifiedName.size() && name.at(axisAt) != qualifiedName.at(axisAt)
                && name.left(axisAt) == qualifiedName.left(axisAt)
                && name.mid(axisAt + 1) == qualifiedName.mid(axisAt + 1);
    };
    const int firstAttribute = target.tokens.last().firstAttribute;
    for (int other = coordinate - 1; other >= 0; --other) {
        const int attribute = target.coordinates.at(other);
        if (attribute < firstAttribute)
            return;
        if (isPartner(target.ref(target.attributes.at(attribute).qualifiedName))) {
            target.partners[other] = coordinate;
            target.partners[coordinate] = other;
            return;
        }
    }
}

void DocumentTokens::Builder::impliedRotation()
{
    attribute(QStringRef(&rotationName), QStringRef(), Axis::Angle);
    target.attributes.last().implied = true;
}

void DocumentTokens::Builder::characters(const QStringRef &text)
{
    target.tokens.append(Token(QXmlStreamReader::Characters, target.keep(text)));
}

void DocumentTokens::Builder::endElement()
{
    if (!openNames.isEmpty())
        target.tokens.append(Token(QXmlStreamReader::EndElement, openNames.takeLast()));
}

void DocumentTokens::Builder::endAll()
{
    while (!openNames.isEmpty())
        endElement();
}

// A board writes a tag in every 40 or more bytes and an attribute in every 12
// or more (41 and 14 at the densest of the test boards), and keeps at most
// each of its characters. A file of more than 64 MB makes no more room than one of 64 MB.
void DocumentTokens::Builder::reserveFor(qint64 bytes)
{
    const int size = int(qBound<qint64>(0, bytes, 1 << 26));
    target.text.reserve(size);
    target.tokens.reserve(size / 20);
    target.attributes.reserve(size / 12);
}

void DocumentTokens::Builder::finish()
{
    names.clear();
}

QStringRef DocumentTokens::Attribute::prefix() const
{
    const QStringRef name = qualifiedName();
    // Every prefixed attribute has its namespace kept: without any, no
    // name needs to be searched for a colon.
    if (tokens->namespaces.isEmpty())
        return QStringRef(name.string(), name.position(), 0);
    const int colon = name.indexOf(QLatin1Char(':'));
    return colon < 0 ? QStringRef(name.string(), name.position(), 0) : name.left(colon);
}

DocumentTokens::Attributes DocumentTokens::Reader::attributes() const
{
    if (next == 0)
        return Attributes(tokens, 0, 0);
    const Token &token = tokens.tokens.at(next - 1);
    return Attributes(tokens, token.firstAttribute, token.attributeCount);
}
