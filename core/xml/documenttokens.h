// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QLatin1String>
#include <QString>
#include <QStringRef>
#include <QVector>
#include <QXmlStreamReader>

#include <memory>
#include <string_view>

// One read of a board document, kept as the tokens the panel assembly works
// on: start tags with their attributes, end tags, and texts that are not
// whitespace only. The assembly walks each board more than once (for its
// names, then for its content); replaying the tokens spares it a second run
// of the XML parser, which costs far more than keeping them.
class DocumentTokens
{
    struct Span
    {
        int position;
        int size;
    };
    // Packed: a large board holds millions of tokens and attributes.
    struct Token
    {
        Token(QXmlStreamReader::TokenType type, Span text, int firstAttribute = 0)
            : text(text)
            , firstAttribute(firstAttribute)
            , type(unsigned(type))
            , attributeCount(0)
        { }
        Span text; // tag name, or the text of Characters
        int firstAttribute;
        unsigned type : 4; // a QXmlStreamReader::TokenType
        unsigned attributeCount : 28;
    };
    struct AttributeSpans
    {
        Span qualifiedName;
        Span value;
        int coordinate : 30; // index into `coordinates`; -1 for any other attribute
        // Whether the value as read holds a character that XML escapes.
        unsigned escapes : 1;
        // Not in the board: an angle its tag leaves at R0, which a turned
        // copy writes and any other copy leaves out.
        unsigned implied : 1;
    };

public:
    DocumentTokens() = default;

    // What a copy changes of an attribute: a coordinate along X or Y, an
    // angle ("rot", turned with the copy), or a dimension's "dtype" (a
    // horizontal one turned a quarter is vertical).
    enum class Axis { None, X, Y, Angle, DimensionType };

    // Gathers tokens that were read elsewhere, such as a board file read
    // once for all its copies. Coordinates are kept as read; a copy takes
    // its own values of them from shifted().
    class Builder
    {
    public:
        explicit Builder(DocumentTokens &target)
            : target(target)
        { }
        void startElement(const QStringRef &name);
        // A prefixed name's prefix is bound to `namespaceUri`.
        void attribute(const QStringRef &qualifiedName, const QStringRef &value,
                       Axis axis = Axis::None, const QStringRef &namespaceUri = QStringRef());
        // The rotation the open tag leaves out, for a turned copy to give it.
        void impliedRotation();
        void characters(const QStringRef &text);
        // Ends the innermost open element; nothing when none is open.
        void endElement();
        void endAll();
        // Makes room for the tokens of a document of `bytes` bytes, so that
        // they are not copied as they grow: room that is never written costs
        // no memory.
        void reserveFor(qint64 bytes);
        // Drops what only the building needed.
        void finish();

    private:
        Span keepName(const QStringRef &name);
        void pairWithPartner(int coordinate, const QStringRef &qualifiedName);

        DocumentTokens &target;
        QVector<Span> openNames;
        // Tag and attribute names repeat throughout a board: each is kept once.
        QHash<QStringRef, Span> names;
        const QString rotationName = QStringLiteral("rot");
    };

    // The same tokens turned by `turn` quarter turns counterclockwise about
    // the origin, then with every coordinate moved by dx and dy millimetres,
    // written with six significant digits; angles turn with them. The tokens
    // themselves are shared, so a copy costs no more than its coordinates'
    // new values. Unturned, angles keep their texts.
    DocumentTokens shifted(double dx, double dy, int turn = 0) const;

    // Keeps every attribute as written (Attribute::written()), for this
    // document and the copies shifted() makes of it, before or after: worth
    // it for a board written more than once, which costs as much again.
    void encodeAttributes() const;

    // How many tokens were kept.
    int size() const { return tokens.size(); }
    // The same for a document and every copy shifted() makes of it, and for
    // no other document while it is held.
    std::shared_ptr<const void> identity() const { return encoded; }

    class Attribute
    {
    public:
        Attribute(const DocumentTokens &tokens, int index)
            : tokens(&tokens)
            , index(index)
        { }
        QStringRef qualifiedName() const { return tokens->ref(spans().qualifiedName); }
        QStringRef value() const { return tokens->valueOf(spans()); }
        // Whether value() holds no character that XML escapes; nearly every
        // value of a board, so writing it may skip the search.
        bool isPlain() const { return tokens->isPlain(spans()); }
        // The attribute as XmlOutput writes it, in UTF-8, for
        // XmlOutput::writeEncoded(); empty for a coordinate a copy moved.
        std::string_view written() const { return tokens->writtenAttribute(index); }
        // Empty for an attribute without prefix.
        QStringRef namespaceUri() const { return tokens->ref(tokens->namespaces.value(index)); }
        // The part of the qualified name before its colon; empty without one.
        QStringRef prefix() const;

    private:
        const AttributeSpans &spans() const { return tokens->attributes.at(index); }

        const DocumentTokens *tokens;
        int index;
    };

    // The attributes of a start tag, like QXmlStreamAttributes.
    class Attributes
    {
    public:
        class const_iterator
        {
        public:
            const_iterator(const DocumentTokens &tokens, int index, int end)
                : tokens(&tokens)
                , index(index)
                , end(end)
            {
                skipAbsent();
            }
            Attribute operator*() const { return Attribute(*tokens, index); }
            const_iterator &operator++()
            {
                ++index;
                skipAbsent();
                return *this;
            }
            // An implied angle a copy leaves out is no attribute of it; it
            // comes last among its tag's attributes.
            void skipAbsent()
            {
                if (index < end && tokens->isAbsent(index))
                    ++index;
            }
            bool operator!=(const const_iterator &other) const { return index != other.index; }

        private:
            const DocumentTokens *tokens;
            int index;
            int end;
        };

        Attributes(const DocumentTokens &tokens, int first, int count)
            : tokens(&tokens)
            , first(first)
            , count(count)
        { }
        const_iterator begin() const { return const_iterator(*tokens, first, first + count); }
        const_iterator end() const { return const_iterator(*tokens, first + count, first + count); }
        // False when no attribute of the document has a prefix.
        bool mayHavePrefixes() const { return !tokens->namespaces.isEmpty(); }
        // The value of the attribute of that qualified name; a null
        // reference when there is none.
        template<typename Name>
        QStringRef value(const Name &qualifiedName) const
        {
            for (const Attribute attribute : *this) {
                if (attribute.qualifiedName() == qualifiedName)
                    return attribute.value();
            }
            return QStringRef();
        }
        template<typename Name>
        bool hasAttribute(const Name &qualifiedName) const
        {
            return !value(qualifiedName).isNull();
        }

    private:
        const DocumentTokens *tokens;
        int first;
        int count;
    };

    // Steps through the tokens as QXmlStreamReader::readNext() steps through
    // the document; only StartElement, EndElement and Characters come.
    class Reader
    {
    public:
        explicit Reader(const DocumentTokens &tokens)
            : tokens(tokens)
        { }

        bool atEnd() const { return next >= tokens.tokens.size(); }
        // The place of the current token among the document's tokens.
        int index() const { return next - 1; }
        QXmlStreamReader::TokenType readNext()
        {
            return atEnd() ? QXmlStreamReader::EndDocument
                           : QXmlStreamReader::TokenType(tokens.tokens.at(next++).type);
        }
        QStringRef name() const
        {
            return next == 0 ? QStringRef() : tokens.ref(tokens.tokens.at(next - 1).text);
        }
        QStringRef text() const { return name(); }
        Attributes attributes() const;
        // Goes on after the token at `index`, passing over those before it.
        void skipTo(int index) { next = index + 1; }

    private:
        const DocumentTokens &tokens;
        int next = 0;
    };

private:
    Span keep(const QStringRef &text);
    QStringRef ref(const Span &span) const { return QStringRef(&text, span.position, span.size); }
    QStringRef valueOf(const AttributeSpans &spans) const;
    bool isAbsent(int index) const
    {
        const AttributeSpans &spans = attributes.at(index);
        return spans.implied && valueOf(spans).isEmpty();
    }
    bool isPlain(const AttributeSpans &spans) const
    {
        return (spans.coordinate >= 0 && !movedEnds.isEmpty()) || !spans.escapes;
    }
    AttributeSpans keptAttribute(Span qualifiedName, const QStringRef &value, int coordinate);
    QString turnedValue(int coordinate, double dx, double dy, int turn) const;
    std::string_view writtenAttribute(int index) const
    {
        const QVector<int> &ends = encoded->ends;
        const AttributeSpans &spans = attributes.at(index);
        if (ends.isEmpty() || (spans.coordinate >= 0 && !movedEnds.isEmpty()))
            return {};
        const int start = index == 0 ? 0 : ends.at(index - 1);
        return {encoded->bytes.constData() + start, size_t(ends.at(index) - start)};
    }

    QString text; // every name, value and text, one after the other
    QVector<Token> tokens;
    QVector<AttributeSpans> attributes;
    QHash<int, Span> namespaces; // by attribute, for those with a prefix
    QVector<int> coordinates; // the attributes that a copy changes
    // For each coordinate, the index in `coordinates` of the other one of
    // its point (y1 for x1, ...); -1 when its element has none.
    QVector<int> partners;
    // The coordinates' values of a shifted copy, one after the other, and
    // where each ends, in the order of `coordinates`.
    QString movedText;
    // Every attribute as written, one after the other, and where each ends:
    // all copies of a board share them, and write them as they are.
    struct EncodedAttributes
    {
        QByteArray bytes;
        QVector<int> ends;
    };
    std::shared_ptr<EncodedAttributes> encoded = std::make_shared<EncodedAttributes>();
    QVector<int> movedEnds;
};

// How a number of millimetres (or degrees) is written into an attribute.
enum class MillimetreDigits {
    Moved, // a board's own coordinate moved: six significant digits
    Added, // a coordinate the frame adds: to a tenth of a micrometre
    Label, // a label's place and angle: to a nanometre
};

// Without exponent, trailing zeros or "-0", but with Moved, which keeps the
// exponent of a tiny or huge number, as the boards' numbers were moved before.
QString millimetreText(double value, MillimetreDigits digits);

// Calls `visit` with every start tag inside the first element named
// `section` below the document's root, and its depth below the section (1 for a
// child).
template<typename Visit>
void forEachInSection(const DocumentTokens &document, QLatin1String section, Visit visit)
{
    DocumentTokens::Reader reader(document);
    int depth = 0;
    int sectionDepth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (sectionDepth)
                visit(reader, depth - sectionDepth);
            else if (depth >= 2 && reader.name() == section)
                sectionDepth = depth;
            break;
        case QXmlStreamReader::EndElement:
            if (sectionDepth == depth)
                return;
            --depth;
            break;
        default:
            break;
        }
    }
}
