// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QXmlStreamReader>

// A stream reader over a whole document held as a QString, fed to the reader
// in slices as it runs out. QXmlStreamReader's own QString constructor first
// copies the text, at two bytes a character; for a board of 50 MB that copy
// alone was more than twice the file, once per pass over every board.
//
// It reads what that reader reads of the documents the shift writes: the
// encoding is that of the QString whatever the XML declaration says, and
// what follows the root element is checked as a whole, even where a slice
// happens to end with the root's end tag (an incremental reader would end
// the document there; the comments and processing instructions after the
// root are then not reported). Qt's incremental parser misses a few errors
// that straddle the end of a slice, a document type inside an element or
// "]]>" in text, which no written document holds.
// Characters fed at a time: large enough that slices cost nothing, small
// enough that the reader's copy of one is a small part of a large board. A
// surrogate pair is never split, and a U+FEFF never starts a later slice.
constexpr int documentSliceSize = 1 << 20;

class DocumentReader
{
public:
    // `sliceSize` other than the default is for tests.
    explicit DocumentReader(const QString &document, int sliceSize = documentSliceSize);

    // Reads the next token like QXmlStreamReader::readNext(), never stopping
    // at the end of a slice.
    QXmlStreamReader::TokenType readNext();
    bool atEnd() const { return stream.atEnd(); }
    bool hasError() const { return stream.hasError(); }
    const QXmlStreamReader &reader() const { return stream; }
    // The current token, as the reader gives it.
    QStringRef name() const { return stream.name(); }
    QStringRef text() const { return stream.text(); }
    bool isWhitespace() const { return stream.isWhitespace(); }
    QXmlStreamAttributes attributes() const { return stream.attributes(); }

private:
    bool moreToFeed() const { return fed < document.size(); }
    void feed();
    void checkEpilogue();

    const QString document; // shares the caller's text
    const int sliceSize;
    int fed = 0;
    QXmlStreamReader stream;
};
