// SPDX-License-Identifier: GPL-3.0-or-later
#include "shiftedboard.h"

#include "catalogue/boardfile.h"
#include "catalogue/boardreader.h"
#include "sectioncopy.h"

#include <QFile>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace {

// Writes the rest of an element whose start tag was just written: a section
// is handed to its copy, any other element keeps its attributes.
void copyStartElement(QXmlStreamReader &reader, QXmlStreamWriter &writer, int dx, int dy,
                      int &depth)
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
        copyAttributes(reader.attributes(), writer);
}

} // namespace

ShiftedCopy shiftBoard(QIODevice &device, int dx, int dy)
{
    BoardDevice board(device);
    QXmlStreamReader reader(&board);
    QString buffer;
    QXmlStreamWriter writer(&buffer);
    writer.setAutoFormatting(true);
    ShiftedCopy copy;
    int depth = 0;
    while (!reader.atEnd() && !reader.hasError()) {
        readNextLimited(reader, depth);
        switch (reader.tokenType()) {
        case QXmlStreamReader::StartDocument:
            writer.writeStartDocument();
            break;
        case QXmlStreamReader::StartElement:
            writer.writeStartElement(reader.name().toString());
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

ShiftedCopy shiftBoardFile(QFile &file, int dx, int dy)
{
    const QString openError = openBoardFile(file);
    if (!openError.isEmpty())
        return {QString(), openError};
    const ShiftedCopy copy = shiftBoard(file, dx, dy);
    file.close();
    return copy;
}
