#pragma once

#include <QString>
#include <QStringRef>
#include <QVector>
#include <QXmlStreamAttributes>

// Writes XML into a QString exactly as a QXmlStreamWriter on a string with
// auto-formatting on writes it (four blanks a level), for the calls a board
// copy makes, without QXmlStreamWriter's per-call conversions and copies.
//
// Namespaced attributes are the exception: QXmlStreamWriter invents prefixes
// and declarations for them. The writer does not imitate that; it notes such
// an attribute in `unsupported()` and writes nothing more, so the caller can
// make the copy with QXmlStreamWriter instead.
class BoardTextWriter
{
public:
    explicit BoardTextWriter(QString *text)
        : text(*text)
    { }

    void writeStartDocument();
    void writeStartElement(const QStringRef &name);
    void writeAttribute(const QStringRef &qualifiedName, const QStringRef &value);
    void writeAttribute(const QStringRef &qualifiedName, const QString &value);
    // Takes the attribute's qualified name; see unsupported() for namespaces.
    void writeAttribute(const QXmlStreamAttribute &attribute);
    void writeNamespacedAttribute();
    void writeCharacters(const QStringRef &characters);
    void writeEndElement();
    void writeEndDocument();

    bool unsupported() const { return failed; }

private:
    bool finishStartElement(bool contents);
    void indent(int level);
    void writeEscaped(const QStringRef &value, bool inAttribute);

    QString &text;
    // The names of the open elements, one after the other, and where each
    // starts. Kept apart from `text`: appending a piece of a string to that
    // same string would read it after it moved.
    QString openNames;
    QVector<int> open;
    bool inStartElement = false;
    bool lastWasStartElement = false;
    bool wroteSomething = false;
    bool failed = false;
};
