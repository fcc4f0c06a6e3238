#include "shiftedboard.h"

#include "boardtextwriter.h"
#include "catalogue/boardfile.h"
#include "catalogue/boardreader.h"
#include "sectioncopy.h"
#include "writerops.h"

#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

// Writes the rest of an element whose start tag was just written: a section
// is handed to its copy, any other element keeps its attributes.
template<typename Writer>
void copyStartElement(QXmlStreamReader &reader, Writer &writer, int dx, int dy, int &depth)
{
    const QStringRef name = reader.name();
    if (name == QLatin1String("plain"))
        copyShifted(reader, writer, QStringLiteral("plain"), dx, dy, depth);
    else if (name == QLatin1String("elements"))
        copyShifted(reader, writer, QStringLiteral("elements"), dx, dy, depth);
    else if (name == QLatin1String("signals"))
        copyShifted(reader, writer, QStringLiteral("signals"), dx, dy, depth);
    else if (name == QLatin1String("libraries"))
        copyElement(reader, writer, QStringLiteral("libraries"), depth);
    else
        writerops::attributes(writer, reader.attributes());
}

// One pass over the board into `writer`, which writes into `buffer`; stops
// early when the writer cannot write what it meets.
template<typename Writer>
ShiftedCopy copyDocument(QIODevice &device, Writer &writer, const QString &buffer, int dx, int dy)
{
    BoardDevice board(device);
    QXmlStreamReader reader(&board);
    ShiftedCopy copy;
    int depth = 0;
    while (!reader.atEnd() && !reader.hasError() && !writerops::unsupported(writer)) {
        readNextLimited(reader, depth);
        switch (reader.tokenType()) {
        case QXmlStreamReader::StartDocument:
            writer.writeStartDocument();
            break;
        case QXmlStreamReader::StartElement:
            writerops::startElement(writer, reader.name());
            copyStartElement(reader, writer, dx, dy, depth);
            break;
        case QXmlStreamReader::EndElement:
            writer.writeEndElement();
            break;
        case QXmlStreamReader::Characters:
            copyText(reader, writer);
            break;
        case QXmlStreamReader::EndDocument:
            writer.writeEndDocument();
            copy.document = buffer;
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return {QString(), readFailureReason(reader)};
    return copy;
}

ShiftedCopy copyWithStreamWriter(QIODevice &device, int dx, int dy)
{
    QString buffer;
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(true);
    return copyDocument(device, writer, buffer, dx, dy);
}

} // namespace

// The copy is written by BoardTextWriter, which makes the same text faster.
// A board with namespaced attributes, which only QXmlStreamWriter writes as
// it does, is read again from the start with that writer; a device that
// cannot go back is copied with it from the start.
ShiftedCopy shiftBoard(QIODevice &device, int dx, int dy)
{
    if (device.isSequential())
        return copyWithStreamWriter(device, dx, dy);
    const qint64 start = device.pos();
    QString buffer;
    // Room for the copy, which is about a third longer than the file.
    buffer.reserve(int(qBound(qint64(0), (device.size() - start) * 4 / 3, qint64(1) << 26)));
    BoardTextWriter writer(&buffer);
    const ShiftedCopy copy = copyDocument(device, writer, buffer, dx, dy);
    if (!writer.unsupported())
        return copy;
    buffer.clear();
    if (!device.seek(start))
        return {QString(), device.errorString()};
    return copyWithStreamWriter(device, dx, dy);
}

ShiftedCopy shiftBoardFile(QFile &file, int dx, int dy)
{
    const QString openError = openBoardFile(file);
    if (!openError.isEmpty())
        return {QString(), openError};
    const ShiftedCopy copy = shiftBoard(file, dx, dy);
    file.close();
    return copy;
}
