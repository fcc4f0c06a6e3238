// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "documenttokens.h"
#include "paneltext.h"

#include <QByteArray>
#include <QString>
#include <QStringRef>
#include <QVector>

#include <algorithm>
#include <string_view>

// Writes indented XML as UTF-8 text, token by token: every element on a line
// of its own, indented by its depth, except inside an element that holds
// text, and an element without content closed as an empty one.
//
// It can start inside an element at any depth, and can splice in text it
// wrote earlier: the panel's sections are written as fragments first and
// joined into the first board's document at the end.
class XmlOutput
{
public:
    // `depth` is the number of elements already open around what is written.
    explicit XmlOutput(int indent, int depth = 0);

    void writeDeclaration();
    // The name is referred to, not copied, until its element ends or
    // keepOpenNames() is called: each start tag costs no allocation.
    void writeStartElement(const QStringRef &name);
    void writeAttribute(const QStringRef &name, const QStringRef &value);
    void writeAttribute(const QStringRef &name, const QString &value);
    // The same for a value known to hold nothing to escape (isPlain()).
    void writePlainAttribute(const QStringRef &name, const QStringRef &value);
    // Whether `text` is written as it is, without a reference for any of
    // its characters.
    static bool isPlain(const QStringRef &text);
    // Declares the namespace of each prefixed attribute of `attributes` on
    // the element just started. The panel takes elements away from the
    // ancestors that declared their prefixes, so each carries its own.
    void writeNamespacesOf(const DocumentTokens::Attributes &attributes);
    // Appends attributes as another XmlOutput wrote them (see size()).
    void writeEncoded(std::string_view attributes);
    void writeCharacters(const QStringRef &text);
    void writeEndElement();
    // Appends `fragment`, element children written by an XmlOutput opened at
    // the current depth, inside the innermost open element.
    void writeFragment(const PanelText &fragment);
    // Closes the start tag still open and returns where a child element of
    // the innermost open element written next starts, for textSince().
    qint64 startChild();
    // What was written from `position` on, since the text was last taken.
    QByteArray textSince(qint64 position) const;
    // Appends again, inside the innermost open element, a child element
    // written at the same depth (from startChild() on). The text is shared,
    // not copied.
    void writeChildAgain(const QByteArray &child);
    // Copies the names of the elements still open, so that the texts they
    // were written from may go.
    void keepOpenNames();
    // Closes the elements still open and ends the text with a line break.
    void writeEndDocument();

    // How many bytes were written since the writer was made or last taken.
    qint64 size() const;
    // The text written so far; the writer is empty afterwards.
    PanelText take();

private:
    struct Open
    {
        QStringRef name; // the caller's, until keepOpenNames()
        QString kept;
        QStringRef tag() const { return kept.isNull() ? name : QStringRef(&kept); }
        bool hasChildren = false;
        bool hasText = false;
    };

    void append(char c)
    {
        makeRoom(1);
        *cursor++ = c;
    }
    void append(const char *bytes, int size)
    {
        makeRoom(size);
        std::copy(bytes, bytes + size, cursor);
        cursor += size;
    }
    void append(QLatin1String text) { append(text.data(), text.size()); }
    void append(const QStringRef &text) { append(text.constData(), text.size()); }
    void append(const QChar *text, int size);
    void appendSpaces(int count)
    {
        makeRoom(count);
        std::fill(cursor, cursor + count, ' ');
        cursor += count;
    }
    // Appended to by hand, since QByteArray's own appends check and grow at
    // every call, and the writer appends several times for every attribute.
    void makeRoom(int size)
    {
        if (size > blockEnd - cursor)
            nextBlock(size);
    }
    void nextBlock(int size);
    void closeBlock();

    void attribute(const QStringRef &name, const QStringRef &value, bool escape);
    void closeStartTag();
    void beginChild();
    void newLine(int depth);
    void escaped(const QChar *text, int size, bool inAttribute);

    int indent;
    int baseDepth;
    bool atStart;
    QVector<Open> open;
    bool startTagOpen = false;
    QVector<QByteArray> chunks; // the UTF-8 text so far, in blocks
    qint64 chunksSize = 0;
    QByteArray block; // the block being written, sized to its room
    char *cursor = nullptr; // the end of what was written in `block`
    char *blockEnd = nullptr;
    int nextBlockSize;
};
