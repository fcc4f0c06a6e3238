#include "documenttokens.h"

#include "documentreader.h"

DocumentTokens::DocumentTokens(const QString &document)
{
    // The kept names, values and texts are shorter than the markup around
    // them, so the text needs no more room than the document unless
    // entities expand; what is left over is given back at the end.
    text.reserve(document.size());
    QVector<Span> openNames; // an end tag refers to its start tag's name
    DocumentReader stream(document);
    const QXmlStreamReader &reader = stream.reader();
    while (!stream.atEnd()) {
        switch (stream.readNext()) {
        case QXmlStreamReader::StartElement: {
            const QXmlStreamAttributes tagAttributes = reader.attributes();
            openNames.append(keep(reader.name()));
            tokens.append({QXmlStreamReader::StartElement, openNames.last(), attributes.size(),
                           tagAttributes.size()});
            for (const QXmlStreamAttribute &attribute : tagAttributes)
                attributes.append({keep(attribute.qualifiedName()), keep(attribute.value()),
                                   attribute.prefix().isEmpty() ? Span {0, 0}
                                                                : keep(attribute.namespaceUri())});
            break;
        }
        case QXmlStreamReader::EndElement:
            // A well-formed document's end tags match their start tags; on
            // a mismatch the reader fails before reporting the end tag.
            tokens.append({QXmlStreamReader::EndElement,
                           openNames.isEmpty() ? keep(reader.name()) : openNames.takeLast(), 0, 0});
            break;
        case QXmlStreamReader::Characters:
            if (!reader.isWhitespace())
                tokens.append({QXmlStreamReader::Characters, keep(reader.text()), 0, 0});
            break;
        default:
            break;
        }
    }
    failed = stream.hasError();
    text.squeeze();
    tokens.squeeze();
    attributes.squeeze();
}

DocumentTokens::Span DocumentTokens::keep(const QStringRef &kept)
{
    const Span span {text.size(), kept.size()};
    text.append(kept);
    return span;
}

QStringRef DocumentTokens::Attribute::prefix() const
{
    const QStringRef name = qualifiedName();
    const int colon = name.indexOf(QLatin1Char(':'));
    return colon < 0 ? QStringRef(name.string(), name.position(), 0) : name.left(colon);
}

QStringRef DocumentTokens::Attributes::value(QLatin1String qualifiedName) const
{
    for (const Attribute attribute : *this) {
        if (attribute.qualifiedName() == qualifiedName)
            return attribute.value();
    }
    return QStringRef();
}

QXmlStreamReader::TokenType DocumentTokens::Reader::readNext()
{
    if (atEnd())
        return QXmlStreamReader::EndDocument;
    ++next;
    return tokenType();
}

QXmlStreamReader::TokenType DocumentTokens::Reader::tokenType() const
{
    return next == 0 ? QXmlStreamReader::NoToken : tokens.tokens.at(next - 1).type;
}

QStringRef DocumentTokens::Reader::name() const
{
    return next == 0 ? QStringRef() : tokens.ref(tokens.tokens.at(next - 1).text);
}

DocumentTokens::Attributes DocumentTokens::Reader::attributes() const
{
    if (next == 0)
        return Attributes(tokens, 0, 0);
    const Token &token = tokens.tokens.at(next - 1);
    return Attributes(tokens, token.firstAttribute, token.attributeCount);
}
