// SPDX-License-Identifier: GPL-3.0-or-later
#include "boardscan.h"

namespace {

const QLatin1String nameKey("name");
const QLatin1String numberKey("number");

// Finds the places of the first board and the numbers their tables define.
class PlaceFinder
{
public:
    explicit PlaceFinder(PanelPlaces &places)
        : places(places)
    { }

    void startElement(const DocumentTokens::Reader &reader, int depth)
    {
        const int place = placeOf(reader.name());
        if (place >= 0 && depth >= 2 && places.depth[place] == 0) {
            places.depth[place] = depth;
            open[place] = true;
        }
        const int classes = places.depth[int(Place::Classes)];
        if (open[int(Place::Classes)] && depth > classes)
            classReader.startElement(reader.name(), reader.attributes(), depth - classes);
        for (const int table : {int(Place::Classes), int(Place::Layers)}) {
            if (open[table] && depth == places.depth[table] + 1
                && reader.name() == tableEntryTag(table)) {
                const QStringRef number = reader.attributes().value(numberKey);
                if (!number.isNull())
                    places.numbers(table).insert(number.toString());
            }
        }
    }

    void endElement(int depth)
    {
        for (int place = 0; place < placeCount; ++place) {
            if (open[place] && places.depth[place] == depth)
                open[place] = false;
        }
    }

    NetClassReader classReader;

private:
    PanelPlaces &places;
    std::array<bool, placeCount> open {};
};

// Records the element's name, if it has one and is not passed over; false
// when the names of its subtree are not to be recorded.
bool recordName(const DocumentTokens::Reader &reader, NameBook &names)
{
    if (NameBook::passesOver(reader.name()))
        return false;
    const auto attributes = reader.attributes();
    if (attributes.hasAttribute(nameKey))
        names.record(attributes.value(nameKey).toString());
    return !NameBook::keepsOutOf(reader.name());
}

// Goes through the tokens of `reader`; `finder`, where there is one, is shown
// every start and end tag.
void scanTokens(DocumentTokens::Reader &reader, NameBook &names, PlaceFinder *finder)
{
    int depth = 0;
    int passedOverFrom = 0; // depth of the subtree whose names are not recorded
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (finder)
                finder->startElement(reader, depth);
            if (!passedOverFrom)
                passedOverFrom = recordName(reader, names) ? 0 : depth;
            break;
        case QXmlStreamReader::EndElement:
            if (finder)
                finder->endElement(depth);
            if (passedOverFrom == depth)
                passedOverFrom = 0;
            --depth;
            break;
        default:
            break;
        }
    }
}

} // namespace

void scanBoard(const DocumentTokens &document, NameBook &names, PanelPlaces *places)
{
    DocumentTokens::Reader reader(document);
    if (!places)
        return scanTokens(reader, names, nullptr);
    PlaceFinder finder(*places);
    scanTokens(reader, names, &finder);
    places->classTable.setPanelClasses(finder.classReader.classes);
}
