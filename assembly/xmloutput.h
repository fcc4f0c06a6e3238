#pragma once

#include <QByteArray>
#include <QString>
#include <QStringRef>
#include <QVarLengthArray>
#include <QVector>
#include <QXmlStreamAttributes>

// Writes indented XML as UTF-8 text, token by token, the way
// QXmlStreamWriter's auto-formatting lays a document out: every element on a
// line of its own, indented by its depth, except inside an element that holds
// text, and an element without content closed as an empty one.
//
// Unlike QXmlStreamWriter it can start inside an element at any depth, and
// can splice in text it wrote earlier: the panel's sections are written as
// fragments first and joined into the first board's document at the end.
class XmlOutput
{
public:
    // `depth` is the number of elements already open around what is written.
    explicit XmlOutput(int indent, int depth = 0);

    void writeDeclaration();
    void writeStartElement(const QStringRef &name);
    void writeAttribute(const QStringRef &name, const QStringRef &value);
    void writeAttribute(const QStringRef &name, const QString &value);
    // Declares the namespace of each prefixed attribute of `attributes` on
    // the element just started. The panel takes elements away from the
    // ancestors that declared their prefixes, so each carries its own.
    template<typename Attributes>
    void writeNamespacesOf(const Attributes &attributes);
    void writeCharacters(const QStringRef &text);
    void writeEndElement();
    // Appends `fragment`, element children written by an XmlOutput opened at
    // the current depth, inside the innermost open element.
    void writeFragment(const QVector<QByteArray> &fragment);
    // Closes the elements still open and ends the text with a line break.
    void writeEndDocument();

    // The text written so far; the writer is empty afterwards.
    QByteArray take();
    // The same in the blocks it was written in, for writeFragment().
    QVector<QByteArray> takeBlocks();

private:
    struct Open
    {
        QString name;
        bool hasChildren = false;
        bool hasText = false;
    };

    void closeStartTag();
    void newLine(int depth);
    void flushIfLarge();
    void flushPending();
    void escaped(const QChar *text, int size, bool inAttribute);

    int indent;
    int baseDepth;
    bool atStart;
    QVector<Open> open;
    bool startTagOpen = false;
    QString pending; // written text not yet encoded
    QVector<QByteArray> chunks; // the UTF-8 text so far, in blocks
};

template<typename Attributes>
void XmlOutput::writeNamespacesOf(const Attributes &attributes)
{
    QVarLengthArray<QStringRef, 4> declared;
    for (const auto &attribute : attributes) {
        const QStringRef prefix = attribute.prefix();
        // "xml" is bound from the start and must not be declared again.
        if (prefix.isEmpty() || prefix == QLatin1String("xml") || declared.contains(prefix))
            continue;
        declared.append(prefix);
        const QString name = QLatin1String("xmlns:") + prefix;
        writeAttribute(QStringRef(&name), attribute.namespaceUri());
    }
}
