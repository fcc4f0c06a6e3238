// SPDX-License-Identifier: GPL-3.0-or-later
#include "documentreader.h"

DocumentReader::DocumentReader(const QString &document, int sliceSize)
    : document(document)
    , sliceSize(qMax(1, sliceSize))
{
    feed();
}

QXmlStreamReader::TokenType DocumentReader::readNext()
{
    for (;;) {
        const QXmlStreamReader::TokenType token = stream.readNext();
        if (stream.error() == QXmlStreamReader::PrematureEndOfDocumentError && moreToFeed()) {
            feed(); // the reader resumes inside the token it was reading
            continue;
        }
        if (token == QXmlStreamReader::EndDocument && moreToFeed()) {
            checkEpilogue();
            return stream.hasError() ? QXmlStreamReader::Invalid : token;
        }
        return token;
    }
}

void DocumentReader::feed()
{
    int size = qMin(sliceSize, int(document.size() - fed));
    // A surrogate pair stays in one slice. No slice but the first starts with
    // U+FEFF: the reader decodes each slice from UTF-8, and Qt's decoder,
    // as long as it has met nothing but ASCII (which its fast path takes
    // without noting that the stream has begun), drops a U+FEFF at the start
    // of the next piece as if it were a byte-order mark.
    while (fed + size < document.size()
           && (document.at(fed + size - 1).isHighSurrogate()
               || document.at(fed + size) == QChar(QChar::ByteOrderMark)))
        ++size;
    // Even an empty document is fed, so that the reader knows it has data.
    stream.addData(document.mid(fed, size));
    fed += size;
}

// The slice ended with the root's end tag. What follows it may only be
// white space, comments and processing instructions; anything else is the
// error the whole document would have given.
void DocumentReader::checkEpilogue()
{
    QXmlStreamReader epilogue(QStringLiteral("<r/>") + document.midRef(fed));
    while (!epilogue.atEnd())
        epilogue.readNext();
    fed = document.size();
    if (epilogue.hasError())
        stream.raiseError(epilogue.errorString());
}
