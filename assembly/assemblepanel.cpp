#include "assemblepanel.h"

#include "boardscan.h"
#include "documentreader.h"
#include "documenttokens.h"
#include "freshnames.h"
#include "sectioncapture.h"
#include "xmloutput.h"

namespace {

constexpr int panelIndent = 3;

// Writes the first board again, each of its places with the fragments of the
// later boards appended to its content.
void writeBase(const QString &document, const PanelPlaces &places, SectionCapture &capture,
               XmlOutput &out)
{
    DocumentReader reader(document);
    std::array<bool, placeCount> reached {};
    int depth = 0;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            ++depth;
            out.writeStartElement(reader.name());
            const QXmlStreamAttributes attributes = reader.attributes();
            out.writeNamespacesOf(attributes);
            for (const QXmlStreamAttribute &attribute : attributes)
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

// The boards are never held as trees. Each later board is parsed once into
// its tokens, which are gone through for its names and then for its renamed
// content. The first board is read as a stream twice, for its names and
// places and while the panel is written, so that no more than one board's
// tokens are held at a time. The panel's text then takes about as much
// memory as the boards' own.
QByteArray assemblePanel(const QStringList &shiftedBoards, NameBook &names)
{
    if (shiftedBoards.isEmpty())
        return QByteArray();
    XmlOutput out(panelIndent);
    out.writeDeclaration();
    PanelPlaces places;
    if (scanBoard(shiftedBoards.first(), names, places)) {
        SectionCapture capture(places);
        FreshNames freshNames(names);
        for (int i = 1; i < shiftedBoards.size(); ++i) {
            const DocumentTokens board(shiftedBoards.at(i));
            if (!scanBoard(board, names))
                continue;
            freshNames.beginBoard();
            capture.addBoard(board, freshNames);
            freshNames.endBoard();
        }
        writeBase(shiftedBoards.first(), places, capture, out);
    }
    out.writeEndDocument();
    return out.take();
}
