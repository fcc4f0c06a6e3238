// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardreader.h"

#include <QDir>

#include <algorithm>

QString readErrorTitle()
{
    return QStringLiteral("Couldn't read board");
}

QString openFailureText(const QString &path, const QString &reason)
{
    return QStringLiteral("Couldn't open %1: %2").arg(QDir::toNativeSeparators(path), reason);
}

QString readFailureReason(const QXmlStreamReader &reader)
{
    // Qt ends some of its texts with a full stop, which would stand inside
    // the sentence.
    QString error = reader.errorString();
    if (error.endsWith(QLatin1Char('.')))
        error.chop(1);
    return QStringLiteral("%1 (line %2, column %3)")
            .arg(error)
            .arg(reader.lineNumber())
            .arg(reader.columnNumber());
}

namespace {

// Qt's reader lets a UTF-16 surrogate without its pair through, which no XML
// document can carry: a copy written out of it would not read again.
bool hasUnpairedSurrogate(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!text.at(i).isSurrogate())
            continue;
        if (!text.at(i).isHighSurrogate() || i + 1 == text.size()
            || !text.at(i + 1).isLowSurrogate())
            return true;
        ++i;
    }
    return false;
}

// Qt's reader lets a name hold control characters, even NUL, which no XML
// document can carry: written as read, such a name breaks the panel.
bool isWritableName(QStringView name)
{
    return !hasUnpairedSurrogate(name) && std::none_of(name.begin(), name.end(), [](QChar c) {
        return c.unicode() < 0x20 || c.unicode() >= 0xfffe;
    });
}

// Why the text of the reader's token cannot be read as it stands; empty when
// it can.
QString brokenText(const QXmlStreamReader &reader)
{
    if (reader.tokenType() == QXmlStreamReader::Characters)
        return hasUnpairedSurrogate(reader.text()) ? unpairedSurrogateError() : QString();
    if (!isWritableName(reader.qualifiedName()))
        return unpairedSurrogateError();
    const QXmlStreamAttributes attributes = reader.attributes();
    const bool broken =
            std::any_of(attributes.begin(), attributes.end(), [](const QXmlStreamAttribute &a) {
                return !isWritableName(a.qualifiedName()) || hasUnpairedSurrogate(a.value());
            });
    return broken ? unpairedSurrogateError() : QString();
}

} // namespace

QXmlStreamReader::TokenType readNextLimited(QXmlStreamReader &reader, int &depth)
{
    const QXmlStreamReader::TokenType token = reader.readNext();
    if (token == QXmlStreamReader::StartElement) {
        if (++depth > maxBoardNesting)
            reader.raiseError(QStringLiteral("Board file nested too deeply (more than %1 levels)")
                                      .arg(maxBoardNesting));
    } else if (token == QXmlStreamReader::EndElement) {
        --depth;
    }
    if ((token == QXmlStreamReader::StartElement || token == QXmlStreamReader::Characters)
        && !reader.hasError()) {
        const QString broken = brokenText(reader);
        if (!broken.isEmpty())
            reader.raiseError(broken);
    }
    return token;
}

QString unpairedSurrogateError()
{
    return QStringLiteral("Board text holds a character no XML document can carry");
}

BoardDevice::BoardDevice(QIODevice &source)
    : source(source)
{
    open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

qint64 BoardDevice::readData(char *data, qint64 maxSize)
{
    // The byte after the piece must be known to place its end. What was
    // handed out is dropped only when more is read, a piece's length at most.
    constexpr qint64 block = 1 << 16;
    while (!sourceDone && pending.size() - start <= maxSize) {
        pending.remove(0, start);
        start = 0;
        const QByteArray more = source.read(qMax(block, maxSize + 1 - pending.size()));
        sourceDone = more.isEmpty();
        pending += more;
    }
    qint64 size = qMin(maxSize, qint64(pending.size() - start));
    // Back over continuation bytes and lead bytes 0xEF to the start of
    // another character; within a few bytes, since a U+FEFF is only dropped
    // after ASCII.
    auto startsNoPiece = [&](qint64 at) {
        const uchar byte = uchar(pending.at(int(start + at)));
        return byte == 0xEF || (byte & 0xC0) == 0x80;
    };
    for (int step = 0; step < 4 && size > 1 && start + size < pending.size() && startsNoPiece(size);
         ++step)
        --size;
    memcpy(data, pending.constData() + start, size_t(size));
    start += int(size);
    return size;
}
