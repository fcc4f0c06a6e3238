#include "assemblepanel.h"

#include "boardscan.h"
#include "copperfit.h"
#include "documentreader.h"
#include "documenttokens.h"
#include "freshnames.h"
#include "sectioncapture.h"
#include "xmloutput.h"

namespace {

constexpr int panelIndent = 3;
const QLatin1String rulesTag("designrules");
const QLatin1String paramTag("param");

// Writes the first board again, each of its places with the fragments of the
// later boards appended to its content, its design rules those of the panel
// and its objects carrying what its own rules made of them.
class BaseWriter
{
public:
    BaseWriter(const PanelRules &panel, const CopperFit &fit, XmlOutput &out)
        : panel(panel)
        , fit(fit)
        , out(out)
    { }

    void write(const QString &document, const PanelPlaces &places, SectionCapture &capture)
    {
        layersDepth = places.depth[int(Place::Layers)];
        DocumentReader reader(document);
        std::array<bool, placeCount> reached {};
        while (!reader.atEnd()) {
            switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                startElement(reader);
                break;
            case QXmlStreamReader::EndElement:
                for (int place = 0; place < placeCount; ++place) {
                    if (!reached[place] && places.depth[place] == depth
                        && reader.name() == placeTag(place)) {
                        reached[place] = true;
                        out.writeFragment(capture.take(place));
                    }
                }
                if (rulesDepth == depth)
                    endRules();
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

private:
    void startElement(const DocumentReader &reader)
    {
        out.writeStartElement(reader.name());
        const QXmlStreamAttributes attributes = reader.attributes();
        out.writeNamespacesOf(attributes);
        if (!rulesSeen && reader.name() == rulesTag) {
            rulesSeen = true;
            rulesDepth = depth;
        }
        const CopperFit::Edits edits = editsOf(reader.name(), attributes);
        for (const QXmlStreamAttribute &attribute : attributes) {
            const QStringRef name = attribute.qualifiedName();
            const auto edit =
                    std::find_if(edits.begin(), edits.end(),
                                 [&](const CopperFit::Edit &e) { return name == e.name; });
            if (edit == edits.end())
                out.writeAttribute(name, attribute.value());
            else
                out.writeAttribute(name, edit->value);
        }
        for (const CopperFit::Edit &edit : edits) {
            if (!attributes.hasAttribute(edit.name))
                out.writeAttribute(QStringRef(&edit.name), edit.value);
        }
    }

    CopperFit::Edits editsOf(const QStringRef &tag, const QXmlStreamAttributes &attributes)
    {
        if (rulesDepth != 0 && depth == rulesDepth + 1 && tag == paramTag) {
            const QString name = attributes.value(QLatin1String("name")).toString();
            if (!panel.changed.contains(name))
                return {};
            written << name;
            return {{QStringLiteral("value"), panel.rules.text(name)}};
        }
        if (layersDepth != 0 && depth == layersDepth + 1 && tag == QLatin1String("layer"))
            return activated(attributes);
        return fit.edits(tag, [&](QLatin1String name) { return attributes.value(name); });
    }

    // A copper layer of the panel's layer setup is active in its table.
    CopperFit::Edits activated(const QXmlStreamAttributes &attributes) const
    {
        const int number = attributes.value(QLatin1String("number")).toInt();
        if (!panel.activeLayers.contains(number)
            || attributes.value(QLatin1String("active")) == QLatin1String("yes"))
            return {};
        return {{QStringLiteral("active"), QStringLiteral("yes")}};
    }

    // The panel's rules that the first board does not write.
    void endRules()
    {
        static const QString param = paramTag;
        static const QString nameKey = QStringLiteral("name");
        static const QString valueKey = QStringLiteral("value");
        rulesDepth = 0;
        for (const QString &name : panel.changed) {
            if (written.contains(name))
                continue;
            out.writeStartElement(QStringRef(&param));
            out.writeAttribute(QStringRef(&nameKey), name);
            out.writeAttribute(QStringRef(&valueKey), panel.rules.text(name));
            out.writeEndElement();
        }
    }

    const PanelRules &panel;
    const CopperFit &fit;
    XmlOutput &out;
    int depth = 0;
    bool rulesSeen = false;
    int rulesDepth = 0; // of the design rules being written
    int layersDepth = 0; // of the layer table
    QStringList written;
};

// Classes beyond EAGLE's limit share the panel's class of their number.
void reportUnnumbered(RulesReport &report, int board, const QStringList &classes)
{
    const QString rule = QStringLiteral("Net classes beyond EAGLE's %1").arg(NetClassTable::limit);
    if (report.isEmpty() || report.last().rule != rule)
        report.append({rule, {}, QStringLiteral("the class of the same number")});
    report.last().boards.append({board, classes.join(QLatin1String(", "))});
}

} // namespace

// The boards are never held as trees. Each later board is parsed once into
// its tokens, which are gone through for its names and then for its renamed
// content. The first board is read as a stream twice, for its names and
// places and while the panel is written, so that no more than one board's
// tokens are held at a time. The panel's text then takes about as much
// memory as the boards' own.
PanelAssembly assemblePanelReporting(const QStringList &shiftedBoards, NameBook &names)
{
    if (shiftedBoards.isEmpty())
        return {};
    QVector<DesignRules> rules;
    for (const QString &board : shiftedBoards)
        rules << DesignRules::of(board);
    PanelRules panel = choosePanelRules(rules);
    // A board that writes no rules is made by whatever rules it is given.
    for (DesignRules &own : rules) {
        if (own.isEmpty())
            own = panel.rules;
    }
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
            const QStringList unnumbered =
                    capture.addBoard(board, freshNames, CopperFit(rules.at(i), panel.rules));
            freshNames.endBoard();
            if (!unnumbered.isEmpty())
                reportUnnumbered(panel.report, i, unnumbered);
        }
        const CopperFit fit(rules.first(), panel.rules);
        BaseWriter(panel, fit, out).write(shiftedBoards.first(), places, capture);
    }
    out.writeEndDocument();
    return {out.take(), panel.report};
}

QByteArray assemblePanel(const QStringList &shiftedBoards, NameBook &names)
{
    return assemblePanelReporting(shiftedBoards, names).text;
}
