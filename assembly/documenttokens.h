#pragma once

#include <QLatin1String>
#include <QString>
#include <QStringRef>
#include <QVector>
#include <QXmlStreamReader>

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
    struct Token
    {
        QXmlStreamReader::TokenType type;
        Span text; // tag name, or the text of Characters
        int firstAttribute;
        int attributeCount;
    };
    struct AttributeSpans
    {
        Span qualifiedName;
        Span value;
        Span namespaceUri; // empty for an attribute without prefix
    };

public:
    // Reads `document` to its end or its first error; the tokens before an
    // error are kept.
    explicit DocumentTokens(const QString &document);

    // Whether the whole document was read without an error.
    bool wellFormed() const { return !failed; }
    // How many tokens were kept.
    int size() const { return tokens.size(); }

    class Attribute
    {
    public:
        Attribute(const DocumentTokens &tokens, int index)
            : tokens(&tokens)
            , spans(&tokens.attributes.at(index))
        { }
        QStringRef qualifiedName() const { return tokens->ref(spans->qualifiedName); }
        QStringRef value() const { return tokens->ref(spans->value); }
        QStringRef namespaceUri() const { return tokens->ref(spans->namespaceUri); }
        // The part of the qualified name before its colon; empty without one.
        QStringRef prefix() const;

    private:
        const DocumentTokens *tokens;
        const AttributeSpans *spans;
    };

    // The attributes of a start tag, like QXmlStreamAttributes.
    class Attributes
    {
    public:
        class const_iterator
        {
        public:
            const_iterator(const DocumentTokens &tokens, int index)
                : tokens(&tokens)
                , index(index)
            { }
            Attribute operator*() const { return Attribute(*tokens, index); }
            const_iterator &operator++()
            {
                ++index;
                return *this;
            }
            bool operator!=(const const_iterator &other) const { return index != other.index; }

        private:
            const DocumentTokens *tokens;
            int index;
        };

        Attributes(const DocumentTokens &tokens, int first, int count)
            : tokens(&tokens)
            , first(first)
            , count(count)
        { }
        const_iterator begin() const { return const_iterator(*tokens, first); }
        const_iterator end() const { return const_iterator(*tokens, first + count); }
        // The value of the attribute of that qualified name; a null
        // reference when there is none.
        QStringRef value(QLatin1String qualifiedName) const;
        bool hasAttribute(QLatin1String qualifiedName) const
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
        QXmlStreamReader::TokenType readNext();
        QXmlStreamReader::TokenType tokenType() const;
        QStringRef name() const;
        QStringRef text() const { return name(); }
        bool isWhitespace() const { return false; } // such texts are not kept
        Attributes attributes() const;

    private:
        const DocumentTokens &tokens;
        int next = 0;
    };

private:
    Span keep(const QStringRef &text);
    QStringRef ref(const Span &span) const { return QStringRef(&text, span.position, span.size); }

    QString text; // every name, value and text, one after the other
    QVector<Token> tokens;
    QVector<AttributeSpans> attributes;
    bool failed = false;
};
