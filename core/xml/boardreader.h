// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QXmlStreamReader>

// Shared by every reader of a board file: the texts of the two read failures,
// the nesting limit and the device the reader reads the file through.

QString readErrorTitle(); // "Couldn't read board"
// "Couldn't open PATH: REASON", what the user is told of a board that cannot
// be read, whether its file would not open or its text is no board.
QString openFailureText(const QString &path, const QString &reason);
// Why `reader` stopped, and where: "Premature end of document (line 12,
// column 3)".
QString readFailureReason(const QXmlStreamReader &reader);

// Real EAGLE boards nest about ten levels. A file nested far deeper is broken
// or hostile, and a DOM parser recursing over it would overflow the stack.
constexpr int maxBoardNesting = 256;

// Reads the next token like QXmlStreamReader::readNext(). `depth` counts the
// elements open at the reader's position; a start tag that takes it past
// maxBoardNesting puts the reader into a custom error that says so, and so
// does a tag or text that holds a UTF-16 surrogate without its pair, or a
// name that holds a control character (unpairedSurrogateError()).
QXmlStreamReader::TokenType readNextLimited(QXmlStreamReader &reader, int &depth);
QString unpairedSurrogateError();

// A board file as QXmlStreamReader reads it: the bytes of `source`, from its
// current position, handed out in pieces of which none but the first starts
// a character of U+F000 to U+FFFF. The reader decodes each piece on its own,
// and Qt's UTF-8 decoder takes a U+FEFF at the start of a piece for a byte
// order mark and drops it as long as everything before it was ASCII: a board
// read in plain pieces of 8 kB lost such a character at every boundary.
class BoardDevice : public QIODevice
{
public:
    explicit BoardDevice(QIODevice &source);
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QIODevice &source;
    QByteArray pending; // read from the source; handed out up to `start`
    int start = 0;
    bool sourceDone = false;
};

// Reads the board document from `device`, which must be open for reading,
// through a BoardDevice under the nesting limit, and calls `visit` with the
// reader, the token read and the number of elements open after it, up to the
// first error. Returns why the read failed; empty when it reached the end.
template<typename Visit>
QString readBoard(QIODevice &device, Visit visit)
{
    BoardDevice board(device);
    QXmlStreamReader reader(&board);
    int depth = 0;
    while (!reader.atEnd() && !reader.hasError()) {
        const QXmlStreamReader::TokenType token = readNextLimited(reader, depth);
        if (reader.hasError())
            break;
        visit(reader, token, depth);
    }
    return reader.hasError() ? readFailureReason(reader) : QString();
}
