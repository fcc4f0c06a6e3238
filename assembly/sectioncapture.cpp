#include "sectioncapture.h"

#include <QVarLengthArray>

#include <optional>

namespace {

const QLatin1String numberKey("number");

struct RenamedAttribute
{
    QStringRef name;
    QString value;
};
using RenamedAttributes = QVarLengthArray<RenamedAttribute, 16>;

// The names refer into `attributes`, which must outlive the result.
RenamedAttributes renamedAttributes(const DocumentTokens::Attributes &attributes,
                                    FreshNames &freshNames)
{
    RenamedAttributes result;
    for (const DocumentTokens::Attribute attribute : attributes) {
        QString value = attribute.value().toString();
        const QString fresh = freshNames.renamed(value);
        result.append({attribute.qualifiedName(), fresh.isNull() ? value : fresh});
    }
    return result;
}

} // namespace

// One pass over one later board. A place's origin is the first element of its
// name below the board's root; what lies inside the origins of the four
// sections, apart from text straight under them, is written to their
// fragments, and of the two tables' origins each entry whose number is new.
// Origins may nest (a hostile board may hold "signals" inside "plain"): a
// token then goes to every fragment whose origin it is inside.
class SectionCapture::BoardPass
{
public:
    BoardPass(SectionCapture &capture, FreshNames &freshNames)
        : capture(capture)
        , freshNames(freshNames)
    { }

    void run(const DocumentTokens &document)
    {
        DocumentTokens::Reader reader(document);
        while (!reader.atEnd()) {
            switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                startElement(reader);
                break;
            case QXmlStreamReader::EndElement:
                endElement();
                break;
            case QXmlStreamReader::Characters:
                if (!reader.isWhitespace())
                    characters(reader.text());
                break;
            default:
                break;
            }
        }
    }

private:
    // Whether the current token goes to the fragment of `place`: inside a
    // section's origin, but not straight under it; inside or at a table entry.
    bool takes(int place) const
    {
        if (place < sectionCount)
            return origin[place] != 0 && depth > origin[place];
        return entry[place] != 0 && depth >= entry[place];
    }

    void startElement(const DocumentTokens::Reader &reader)
    {
        ++depth;
        const DocumentTokens::Attributes source = reader.attributes();
        std::optional<RenamedAttributes> attributes;
        auto attributesOnce = [&]() -> const RenamedAttributes & {
            if (!attributes)
                attributes = renamedAttributes(source, freshNames);
            return *attributes;
        };
        for (int place = 0; place < placeCount; ++place) {
            if (!capture.fragments[place])
                continue;
            if (place >= sectionCount && origin[place] != 0 && entry[place] == 0
                && depth == origin[place] + 1)
                openEntry(place, reader, attributesOnce());
            if (takes(place))
                write(place, reader.name(), source, attributesOnce());
            if (origin[place] == 0 && !ended[place] && depth >= 2
                && reader.name() == placeTag(place))
                origin[place] = depth;
        }
    }

    // An entry of a table joins the panel when the panel lacks its number.
    void openEntry(int place, const DocumentTokens::Reader &reader,
                   const RenamedAttributes &attributes)
    {
        if (reader.name() != tableEntryTag(place))
            return;
        for (const RenamedAttribute &attribute : attributes) {
            if (attribute.name != numberKey)
                continue;
            if (!capture.places.numbers(place).contains(attribute.value)) {
                capture.places.numbers(place).insert(attribute.value);
                entry[place] = depth;
            }
            return;
        }
    }

    void write(int place, const QStringRef &name, const DocumentTokens::Attributes &source,
               const RenamedAttributes &attributes)
    {
        XmlOutput &out = *capture.fragments[place];
        out.writeStartElement(name);
        out.writeNamespacesOf(source);
        for (const RenamedAttribute &attribute : attributes)
            out.writeAttribute(attribute.name, attribute.value);
    }

    void endElement()
    {
        for (int place = 0; place < placeCount; ++place) {
            if (!capture.fragments[place])
                continue;
            if (takes(place))
                capture.fragments[place]->writeEndElement();
            if (entry[place] == depth)
                entry[place] = 0;
            if (origin[place] == depth) {
                origin[place] = 0;
                ended[place] = true;
            }
        }
        --depth;
    }

    void characters(const QStringRef &text)
    {
        for (int place = 0; place < placeCount; ++place) {
            if (capture.fragments[place] && takes(place))
                capture.fragments[place]->writeCharacters(text);
        }
    }

    SectionCapture &capture;
    FreshNames &freshNames;
    int depth = 0;
    std::array<int, placeCount> origin {}; // depth of the origin being read
    std::array<bool, placeCount> ended {}; // the origin was read
    std::array<int, placeCount> entry {}; // depth of the table entry being taken
};

SectionCapture::SectionCapture(PanelPlaces &places)
    : places(places)
{
    for (int place = 0; place < placeCount; ++place) {
        if (places.depth[place] != 0)
            fragments[place] = std::make_unique<XmlOutput>(3, places.depth[place]);
    }
}

SectionCapture::~SectionCapture() = default;

void SectionCapture::addBoard(const DocumentTokens &document, FreshNames &freshNames)
{
    BoardPass(*this, freshNames).run(document);
}

QByteArray SectionCapture::take(int place)
{
    return fragments[place] ? fragments[place]->take() : QByteArray();
}
