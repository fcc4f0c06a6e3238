// SPDX-License-Identifier: GPL-3.0-or-later
#include "sectioncapture.h"

#include "namebook.h"

#include <QVarLengthArray>

#include <algorithm>

#include <optional>

namespace {

const QLatin1String nameKey("name");
const QLatin1String numberKey("number");
const QLatin1String elementTag("element");
const QLatin1String attributeTag("attribute");

// An attribute as the copy writes it: the board's own value, referred to
// where it is kept, or a value of the copy's own.
class RenamedAttribute
{
public:
    RenamedAttribute() = default;
    explicit RenamedAttribute(const DocumentTokens::Attribute &attribute)
        : name(attribute.qualifiedName())
        , source(attribute.value())
        , sourceIsPlain(attribute.isPlain())
        , sourceWritten(attribute.written())
    { }
    RenamedAttribute(const QStringRef &name, const QString &value)
        : name(name)
        , own(value)
    { }

    QStringRef qualifiedName() const { return name; }
    QStringRef value() const { return own ? QStringRef(&*own) : source; }
    // Whether value() is known to need no escaping.
    bool isPlain() const { return !own && sourceIsPlain; }
    // The attribute as written, when it is the board's own; else empty.
    std::string_view written() const { return own ? std::string_view() : sourceWritten; }

    QStringRef name;
    std::optional<QString> own;

private:
    QStringRef source;
    bool sourceIsPlain = false;
    std::string_view sourceWritten;
};
using RenamedAttributes = QVarLengthArray<RenamedAttribute, 16>;

TagAttributes tagAttributes(const DocumentTokens::Attributes &attributes)
{
    TagAttributes result;
    for (const DocumentTokens::Attribute attribute : attributes)
        result.append(attribute.qualifiedName().toString(), attribute.value().toString());
    return result;
}

enum class Added { AtEnd, BeforeRotation };

// Gives the attribute named as `set` its value in its place, or adds it:
// before the rotation where a board writes "smashed" and "display", else at
// the end.
void set(RenamedAttributes &attributes, const RenamedAttribute &set, Added added = Added::AtEnd)
{
    int at = attributes.size();
    for (int i = 0; i < attributes.size(); ++i) {
        if (attributes[i].name == set.name) {
            attributes[i] = set;
            return;
        }
        if (added == Added::BeforeRotation && attributes[i].name == QLatin1String("rot"))
            at = i;
    }
    attributes.insert(at, set);
}

// Writes an element of its own making: `tag` with `attributes` and, unless it
// is empty, the text `text`.
void writeMadeElement(XmlOutput &out, const QString &tag, const TagAttributes &attributes,
                      const QString &text = QString())
{
    out.writeStartElement(QStringRef(&tag));
    for (const TagAttributes::Item &item : attributes.list())
        out.writeAttribute(QStringRef(&item.first), item.second);
    if (!text.isEmpty())
        out.writeCharacters(QStringRef(&text));
    out.writeEndElement();
}

// The label texts of the packages in the libraries of `document`.
PackageLabels packageLabelsOf(const DocumentTokens &document)
{
    PackageLabels labels;
    DocumentTokens::Reader reader(document);
    QString library, package;
    int libraryDepth = 0, packageDepth = 0, textDepth = 0, depth = 0;
    LabelText text;
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (!libraryDepth && reader.name() == QLatin1String("library")) {
                libraryDepth = depth;
                library = reader.attributes().value(nameKey).toString();
            } else if (libraryDepth && !packageDepth && reader.name() == QLatin1String("package")) {
                packageDepth = depth;
                package = reader.attributes().value(nameKey).toString();
            } else if (packageDepth && !textDepth && reader.name() == QLatin1String("text")) {
                textDepth = depth;
                text = {tagAttributes(reader.attributes()), QString()};
            }
            break;
        case QXmlStreamReader::Characters:
            if (textDepth)
                text.text += reader.text();
            break;
        case QXmlStreamReader::EndElement:
            if (textDepth == depth && isLabelText(text.text))
                labels.add(library, package, text);
            for (int *open : {&libraryDepth, &packageDepth, &textDepth}) {
                if (*open == depth)
                    *open = 0;
            }
            --depth;
            break;
        default:
            break;
        }
    }
    return labels;
}

// The net classes of `document`, from the first "classes" element below its
// root.
QVector<NetClass> netClassesOf(const DocumentTokens &document)
{
    NetClassReader classes;
    forEachInSection(document, placeTag(int(Place::Classes)),
                     [&](const DocumentTokens::Reader &reader, int depth) {
                         classes.startElement(reader.name(), reader.attributes(), depth);
                     });
    return classes.classes;
}

// The attributes of the "attribute" children of the element `reader` has
// just started.
QVector<TagAttributes> attributeChildren(DocumentTokens::Reader reader)
{
    QVector<TagAttributes> children;
    for (int depth = 1; depth > 0 && !reader.atEnd();) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (++depth == 2 && reader.name() == attributeTag)
                children.append(tagAttributes(reader.attributes()));
            break;
        case QXmlStreamReader::EndElement:
            --depth;
            break;
        default:
            break;
        }
    }
    return children;
}

} // namespace

// One pass over one later board. A place's origin is the first element of its
// name below the board's root; what lies inside the origins of the four
// sections, apart from text straight under them, is written to their
// fragments, and of the two tables' origins each entry whose number is new.
// Origins may nest (a hostile board may hold "signals" inside "plain"): a
// token then goes to every fragment whose origin it is inside.
//
// A part whose name is replaced is relabelled on its way (see Relabelling):
// its start tag may gain "smashed", labels are written as its first
// children, and the attribute children they replace are left out.
//
// Most of a panel of many copies is the copies' libraries, written again and
// again with the same text: each child of a library that its copy writes as
// the board has it (nothing renamed, carried or left out, no place inside) is
// recorded, and a later copy that would write it alike copies it.
class SectionCapture::BoardPass
{
public:
    BoardPass(SectionCapture &capture, FreshNames &freshNames, const PackageLabels *labels,
              const CopperFit &fit, const NetClassTable::Admission &classes)
        : capture(capture)
        , freshNames(freshNames)
        , labels(labels)
        , fit(fit)
        , classes(classes)
    { }

    void run(const DocumentTokens &document, const QVector<int> &leftOutTags)
    {
        leftOut = &leftOutTags;
        labelBudget = document.size();
        subtrees = &capture.written[document.identity()];
        DocumentTokens::Reader reader(document);
        while (!reader.atEnd()) {
            switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                startElement(reader);
                break;
            case QXmlStreamReader::EndElement:
                endElement(reader.index());
                break;
            case QXmlStreamReader::Characters:
                if (!leftOutFrom)
                    characters(reader.text());
                break;
            default:
                break;
            }
        }
    }

    // The texts that print the original names of the relabelled parts.
    const QVector<LabelText> &printedNames() const { return texts; }

private:
    // Whether the current token goes to the fragment of `place`: inside a
    // section's origin, but not straight under it; inside or at a table entry.
    bool takes(int place) const
    {
        if (leftOutFrom)
            return false;
        if (place < sectionCount)
            return origin[place] != 0 && depth > origin[place];
        return entry[place] != 0 && depth >= entry[place];
    }

    void startElement(DocumentTokens::Reader &reader)
    {
        ++depth;
        const bool libraryChild = isRecordable();
        if (libraryChild && writtenAgain(reader))
            return;
        if (!leftOutFrom && std::binary_search(leftOut->begin(), leftOut->end(), reader.index())) {
            leftOutFrom = depth;
            recording.spoilt = true;
        }
        if (!passedOverFrom && NameBook::passesOver(reader.name()))
            passedOverFrom = depth;
        if (libraryChild && !leftOutFrom) {
            recording = Recording();
            recording.depth = depth;
            recording.start = reader.index();
            recording.from = capture.fragments[int(Place::Libraries)]->startChild();
        }
        const DocumentTokens::Attributes source = reader.attributes();
        const bool startsPart = relabelsPart(reader, source);
        const std::optional<RenamedAttribute> gained =
                startsPart ? partEdit() : childEdit(reader, source);
        bool renamedMade = false;
        auto attributesOnce = [&]() -> const RenamedAttributes & {
            if (!renamedMade) {
                renamedMade = true;
                recording.spoilt = true;
                rename(source);
                if (gained)
                    set(renamed, *gained, Added::BeforeRotation);
                if (!fit.keepsAll())
                    carryOwnCopper(renamed, reader.name(), source);
                renumberClass(renamed, reader.name());
            }
            return renamed;
        };
        std::optional<bool> asRead;
        for (int place = 0; place < placeCount; ++place) {
            if (!capture.fragments[place])
                continue;
            if (place >= sectionCount && origin[place] != 0 && entry[place] == 0
                && depth == origin[place] + 1)
                openEntry(place, reader, source);
            if (takes(place)) {
                if (!asRead)
                    asRead = !gained && keepsAsRead(reader.name(), source);
                if (*asRead)
                    write(place, reader.name(), source, source);
                else
                    write(place, reader.name(), source, attributesOnce());
                if (startsPart)
                    writeLabels(place);
            }
            if (origin[place] == 0 && !ended[place] && depth >= 2
                && namesPlace(reader.name(), place)) {
                origin[place] = depth;
                recording.spoilt = true;
            }
        }
    }

    // Whether the start tag is written as the board has it: none of its
    // attributes renamed, carrying the copper its own rules make, or
    // renumbered. Nearly every tag of a board is.
    bool keepsAsRead(const QStringRef &tag, const DocumentTokens::Attributes &source)
    {
        QString unused;
        if (!fit.keepsAll() || classKeyOf(tag, unused))
            return false;
        if (passedOverFrom)
            return true;
        for (const DocumentTokens::Attribute attribute : source) {
            if (NameBook::holdsName(attribute.qualifiedName())
                && !renamedName(attribute.value()).isNull())
                return false;
        }
        return true;
    }

    // Makes `renamed` the attributes of the start tag with the names and
    // references among them renamed, outside the subtrees passed over.
    void rename(const DocumentTokens::Attributes &source)
    {
        renamed.clear();
        for (const DocumentTokens::Attribute attribute : source) {
            renamed.append(RenamedAttribute(attribute));
            if (passedOverFrom || !NameBook::holdsName(attribute.qualifiedName()))
                continue;
            const QString fresh = renamedName(attribute.value());
            if (!fresh.isNull())
                renamed.last().own = fresh;
        }
    }

    // The fresh name of a name of the board, noted while a subtree is being
    // recorded: a later copy writes the subtree again only if none of its
    // names has a fresh name there.
    QString renamedName(const QStringRef &name)
    {
        const QString value = name.toString();
        QString fresh = freshNames.renamed(value);
        if (recording.depth && fresh.isNull())
            recording.names.append(value);
        return fresh;
    }

    // Whether the element starting is a child of a library that only the
    // libraries' fragment takes, and that may be written as the board has it.
    bool isRecordable() const
    {
        const int libraries = origin[int(Place::Libraries)];
        if (!libraries || depth != libraries + 2 || leftOutFrom || passedOverFrom || part
            || !fit.keepsAll())
            return false;
        for (int place = 0; place < placeCount; ++place) {
            if (place != int(Place::Libraries) && origin[place])
                return false;
        }
        return true;
    }

    // Writes the element starting as an earlier copy of the board recorded
    // it, and goes on after it; false where this copy writes it otherwise.
    bool writtenAgain(DocumentTokens::Reader &reader)
    {
        const auto found = subtrees->constFind(reader.index());
        if (found == subtrees->constEnd())
            return false;
        const auto firstLeftOut =
                std::lower_bound(leftOut->begin(), leftOut->end(), reader.index());
        if (firstLeftOut != leftOut->end() && *firstLeftOut <= found->end)
            return false;
        if (std::any_of(found->names.begin(), found->names.end(),
                        [&](const QString &name) { return freshNames.renames(name); }))
            return false;
        capture.fragments[int(Place::Libraries)]->writeChildAgain(found->text);
        reader.skipTo(found->end);
        --depth;
        return true;
    }

    // Sets what the object needs to keep the copper its own rules make.
    void carryOwnCopper(RenamedAttributes &attributes, const QStringRef &tag,
                        const DocumentTokens::Attributes &source) const
    {
        const CopperFit::Edits edits =
                fit.edits(tag, [&](QLatin1String name) { return source.value(name); });
        // An added attribute's name must outlive the pass.
        static const QStringList names = CopperFit::attributeNames();
        for (const CopperFit::Edit &edit : edits) {
            const int name = names.indexOf(edit.name);
            if (name >= 0)
                set(attributes, {QStringRef(&names.at(name)), edit.value});
        }
    }

    // A class entry joining the panel, its clearances and the signals take the
    // numbers the panel gives the board's classes.
    void renumberClass(RenamedAttributes &attributes, const QStringRef &tag) const
    {
        QString board;
        const QString *key = classKeyOf(tag, board);
        if (!key)
            return;
        for (const RenamedAttribute &attribute : attributes) {
            if (attribute.name == *key)
                board = attribute.value().toString();
        }
        const QString panel = classes.numbers.value(board, board);
        if (panel != board)
            set(attributes, {QStringRef(key), panel});
    }

    // The attribute of the start tag `tag` that holds a class number, if the
    // tag has one; `implied` is set to the class of a tag that writes none.
    const QString *classKeyOf(const QStringRef &tag, QString &implied) const
    {
        static const QString numberKey = QStringLiteral("number");
        static const QString classKey = QStringLiteral("class");
        const int entryDepth = entry[int(Place::Classes)];
        if (entryDepth && depth == entryDepth && tag == tableEntryTag(int(Place::Classes)))
            return &numberKey;
        if (entryDepth && depth == entryDepth + 1 && tag == QLatin1String("clearance"))
            return &classKey;
        if (origin[int(Place::Signals)] && depth == origin[int(Place::Signals)] + 1
            && tag == QLatin1String("signal")) {
            implied = QStringLiteral("0"); // a signal without a class is of class 0
            return &classKey;
        }
        return nullptr;
    }

    // Whether a part of the board's parts whose name is replaced starts
    // here, one that its copy relabels; works out how.
    bool relabelsPart(const DocumentTokens::Reader &reader,
                      const DocumentTokens::Attributes &source)
    {
        if (!labels || part || passedOverFrom || reader.name() != elementTag
            || origin[int(Place::Elements)] == 0 || depth != origin[int(Place::Elements)] + 1)
            return false;
        const QStringRef name = source.value(nameKey);
        if (name.isEmpty() || freshNames.renamed(name.toString()).isNull())
            return false;
        const TagAttributes attributes = tagAttributes(source);
        relabelling = relabel(attributes, attributeChildren(reader),
                              labels->find(attributes.value(QLatin1String("library")),
                                           attributes.value(QLatin1String("package"))));
        // Each label is an element more than the board has; a crafted board
        // whose packages hold hundreds of labels for hundreds of parts must
        // not make a panel many times its size, so the labels of one board
        // never outnumber its own tokens.
        const int cost = relabelling.labels.size() + relabelling.texts.size();
        if (relabelling.isEmpty() || cost > labelBudget)
            return false;
        labelBudget -= cost;
        part = depth;
        texts += relabelling.texts;
        return true;
    }

    // The attribute the start tag of the relabelled part gains, if any.
    std::optional<RenamedAttribute> partEdit() const
    {
        static const QString smashed = QStringLiteral("smashed");
        if (!relabelling.smash)
            return std::nullopt;
        return RenamedAttribute {QStringRef(&smashed), QStringLiteral("yes")};
    }

    // The attribute an attribute child of the relabelled part gains, if any;
    // a child that a label replaces is left out.
    std::optional<RenamedAttribute> childEdit(const DocumentTokens::Reader &reader,
                                              const DocumentTokens::Attributes &source)
    {
        static const QString display = QStringLiteral("display");
        if (!part || depth != part + 1 || reader.name() != attributeTag || leftOutFrom)
            return std::nullopt;
        const TagAttributes child = tagAttributes(source);
        if (relabelling.replaces(child))
            leftOutFrom = depth;
        else if (relabelling.hides(child))
            return RenamedAttribute {QStringRef(&display), QStringLiteral("off")};
        return std::nullopt;
    }

    void writeLabels(int place)
    {
        static const QString tag = attributeTag;
        for (const TagAttributes &label : relabelling.labels)
            writeMadeElement(*capture.fragments[place], tag, label);
    }

    // An entry of a table joins the panel when the panel lacks its number,
    // as the board writes it.
    void openEntry(int place, const DocumentTokens::Reader &reader,
                   const DocumentTokens::Attributes &source)
    {
        if (reader.name() != tableEntryTag(place))
            return;
        const QStringRef number = source.value(numberKey);
        if (number.isNull())
            return;
        if (place == int(Place::Classes)) {
            if (!classes.joining.contains(number.toString()))
                return;
            capture.places.numbers(place).insert(classes.numbers.value(number.toString()));
            entry[place] = depth;
        } else if (!capture.places.numbers(place).contains(number.toString())) {
            capture.places.numbers(place).insert(number.toString());
            entry[place] = depth;
        }
    }

    // Writes the start tag `name` with `attributes`, the source's own or
    // RenamedAttributes made of them.
    template<typename Attributes>
    void write(int place, const QStringRef &name, const DocumentTokens::Attributes &source,
               const Attributes &attributes)
    {
        XmlOutput &out = *capture.fragments[place];
        out.writeStartElement(name);
        if (source.mayHavePrefixes())
            out.writeNamespacesOf(source);
        // The board's own attributes lie one after the other as written:
        // a run of them is copied at once.
        std::string_view run;
        for (const auto &attribute : attributes) {
            const std::string_view written = attribute.written();
            if (!written.empty() && run.data() + run.size() == written.data()) {
                run = std::string_view(run.data(), run.size() + written.size());
                continue;
            }
            out.writeEncoded(run);
            run = written;
            if (!written.empty())
                continue;
            recording.spoilt = true; // a moved coordinate
            if (attribute.isPlain())
                out.writePlainAttribute(attribute.qualifiedName(), attribute.value());
            else
                out.writeAttribute(attribute.qualifiedName(), attribute.value());
        }
        out.writeEncoded(run);
    }

    void endElement(int index)
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
        for (int *open : {&passedOverFrom, &leftOutFrom, &part}) {
            if (*open == depth)
                *open = 0;
        }
        if (recording.depth == depth) {
            if (!recording.spoilt)
                subtrees->insert(
                        recording.start,
                        {capture.fragments[int(Place::Libraries)]->textSince(recording.from), index,
                         recording.names});
            recording = Recording();
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
    const PackageLabels *labels; // null where no part is relabelled
    const CopperFit &fit;
    const NetClassTable::Admission &classes;
    int depth = 0;
    std::array<int, placeCount> origin {}; // depth of the origin being read
    std::array<bool, placeCount> ended {}; // the origin was read
    std::array<int, placeCount> entry {}; // depth of the table entry being taken
    int passedOverFrom = 0; // depth of the subtree whose names are not renamed
    int part = 0; // depth of the part being relabelled
    Relabelling relabelling; // of that part
    int leftOutFrom = 0; // depth of the subtree the copy leaves out
    const QVector<int> *leftOut = nullptr; // start tags whose subtrees the copy leaves out
    int labelBudget = 0; // labels and texts the board may still add
    // Of the start tag being written; they refer into its source attributes.
    RenamedAttributes renamed;
    // The library child being recorded; depth 0 when none is.
    struct Recording
    {
        int depth = 0;
        int start = 0; // its start tag
        qint64 from = 0; // where its text starts in the libraries' fragment
        QStringList names; // its names that have no fresh name
        bool spoilt = false; // written otherwise than as the board has it
    } recording;
    QHash<int, WrittenSubtree> *subtrees = nullptr; // of the board
    QVector<LabelText> texts;
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

// The texts that print the names of relabelled parts go to the panel's
// drawing, after the board's own; without a drawing no part is relabelled.
QStringList SectionCapture::addBoard(const DocumentTokens &document, FreshNames &freshNames,
                                     const CopperFit &fit, const QVector<int> &leftOut)
{
    document.encodeAttributes();
    const NetClassTable::Admission classes = places.classTable.admit(netClassesOf(document));
    XmlOutput *drawing = fragments[int(Place::Plain)].get();
    const PackageLabels labels = drawing ? packageLabelsOf(document) : PackageLabels();
    BoardPass pass(*this, freshNames, drawing ? &labels : nullptr, fit, classes);
    pass.run(document, leftOut);
    for (const std::unique_ptr<XmlOutput> &fragment : fragments) {
        if (fragment)
            fragment->keepOpenNames();
    }
    static const QString textTag = QStringLiteral("text");
    for (const LabelText &text : pass.printedNames())
        writeMadeElement(*drawing, textTag, text.attributes, text.text);
    return classes.overflow;
}

PanelText SectionCapture::take(int place)
{
    return fragments[place] ? fragments[place]->take() : PanelText();
}
