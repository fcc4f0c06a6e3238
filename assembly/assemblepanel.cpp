#include "assemblepanel.h"

#include "boardscan.h"
#include "documentreader.h"
#include "freshnames.h"
#include "sectioncapture.h"
#include "xmloutput.h"

#include <QXmlStreamReader>

namespace {

constexpr int panelIndent = 3;

// Writes the first board again, each of its places with the fragments of the
// later boards appended to its content.
void writeBase(const QString &document, const PanelPlaces &places, SectionCapture &capture,
               XmlOutput &out)
{
    DocumentReader text(document);
    const QXmlStreamReader &reader = text.reader();
    std::array<bool, placeCount> reached {};
    int depth = 0;
    while (!text.atEnd()) {
        switch (text.readNext()) {
        case QXmlStreamReader::StartElement: {
            ++depth;
            out.writeStartElement(reader.name());
            out.writeNamespacesOf(reader.attributes());
            for (const QXmlStreamAttribute &attribute : reader.attributes())
                out.writeAttribute(attribute.qualifiedName(), attribute.value());
            break;
        }
        case QXmlStreamReader::EndElement:
            for (int place = 0; place < placeCount; ++place) {
                if (!reached[place] && places.depth[place] == depth
                    && reader.name() == placeTag(place)) {
                    reached[place] = true;
                    out.writeFragment(capture.take(place));
                }
            }
            out.writeEndElement();
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (!reader.isWhitespace())
                out.writeCharacters(reader.text());
            break;
        default:
            break;
        }
    }
}

} // namespace

// The boards are read as streams, never held as trees: the first board once
// for its names and places, each later one once for its names and once for
// its renamed content, and the first board again while the panel is written.
// The panel's text then takes about as much memory as the boards' own.
QByteArray assemblePanel(const QStringList &shiftedBoards, NameBook &names)
{
    if (shiftedBoards.isEmpty())
        return QByteArray();
    XmlOutput out(panelIndent);
    out.writeDeclaration();
    PanelPlaces places;
    if (scanBoard(shiftedBoards.first(), names, &places)) {
        SectionCapture capture(places);
        FreshNames freshNames(names);
        for (int i = 1; i < shiftedBoards.size(); ++i) {
            if (!scanBoard(shiftedBoards.at(i), names))
                continue;
            freshNames.beginBoard();
            capture.addBoard(shiftedBoards.at(i), freshNames);
            freshNames.endBoard();
        }
        writeBase(shiftedBoards.first(), places, capture, out);
    }
    out.writeEndDocument();
    return out.take();
}
