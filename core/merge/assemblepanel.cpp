// SPDX-License-Identifier: GPL-3.0-or-later
#include "assemblepanel.h"

#include "boardscan.h"
#include "core/rules/copperfit.h"
#include "core/xml/documenttokens.h"
#include "core/xml/xmloutput.h"
#include "freshnames.h"
#include "sectioncapture.h"

#include <algorithm>

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

    void write(const BoardCopy &copy, const DocumentTokens &document, const PanelPlaces &places,
               SectionCapture &capture)
    {
        layersDepth = places.depth[int(Place::Layers)];
        DocumentTokens::Reader reader(document);
        std::array<bool, placeCount> reached {};
        int leftOutFrom = 0; // depth of the element the copy leaves out
        while (!reader.atEnd()) {
            switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                ++depth;
                if (!leftOutFrom
                    && std::binary_search(copy.leftOut.begin(), copy.leftOut.end(), reader.index()))
                    leftOutFrom = depth;
                if (!leftOutFrom)
                    startElement(reader);
                break;
            case QXmlStreamReader::EndElement:
                if (leftOutFrom == depth)
                    leftOutFrom = 0;
                else if (!leftOutFrom)
                    endElement(reader, copy, places, reached, capture);
                --depth;
                break;
            case QXmlStreamReader::Characters:
                if (!leftOutFrom)
                    out.writeCharacters(reader.text());
                break;
            default:
                break;
            }
        }
    }

private:
    // Before a place of the panel closes, what the later boards (and, in the
    // drawing, the frame) add to it is written into it.
    void endElement(const DocumentTokens::Reader &reader, const BoardCopy &copy,
                    const PanelPlaces &places, std::array<bool, placeCount> &reached,
                    SectionCapture &capture)
    {
        for (int place = 0; place < placeCount; ++place) {
            if (!reached[place] && places.depth[place] == depth
                && namesPlace(reader.name(), place)) {
                reached[place] = true;
                if (place == int(Place::Plain) && copy.drawingAdditions)
                    writeChildrenOfRoot(*copy.drawingAdditions);
                out.writeFragment(capture.take(place));
            }
        }
        if (rulesDepth == depth)
            endRules();
        out.writeEndElement();
    }

    void writeChildrenOfRoot(const DocumentTokens &document)
    {
        DocumentTokens::Reader reader(document);
        for (int depth = 0; !reader.atEnd();) {
            switch (reader.readNext()) {
            case QXmlStreamReader::StartElement:
                if (++depth < 2)
                    break;
                out.writeStartElement(reader.name());
                for (const DocumentTokens::Attribute attribute : reader.attributes())
                    out.writeAttribute(attribute.qualifiedName(), attribute.value());
                break;
            case QXmlStreamReader::EndElement:
                if (depth-- >= 2)
                    out.writeEndElement();
                break;
            case QXmlStreamReader::Characters:
                if (depth >= 2)
                    out.writeCharacters(reader.text());
                break;
            default:
                break;
            }
        }
    }

    void startElement(const DocumentTokens::Reader &reader)
    {
        out.writeStartElement(reader.name());
        const DocumentTokens::Attributes attributes = reader.attributes();
        if (attributes.mayHavePrefixes())
            out.writeNamespacesOf(attributes);
        if (!rulesSeen && reader.name() == rulesTag) {
            rulesSeen = true;
            rulesDepth = depth;
        }
        const CopperFit::Edits edits = editsOf(reader.name(), attributes);
        for (const DocumentTokens::Attribute attribute : attributes) {
            const QStringRef name = attribute.qualifiedName();
            const auto edit =
                    std::find_if(edits.begin(), edits.end(),
                                 [&](const CopperFit::Edit &e) { return name == e.name; });
            if (edit == edits.end() && !attribute.written().empty())
                out.writeEncoded(attribute.written());
            else if (edit == edits.end() && attribute.isPlain())
                out.writePlainAttribute(name, attribute.value());
            else if (edit == edits.end())
                out.writeAttribute(name, attribute.value());
            else
                out.writeAttribute(name, edit->value);
        }
        for (const CopperFit::Edit &edit : edits) {
            if (!attributes.hasAttribute(QStringRef(&edit.name)))
                out.writeAttribute(QStringRef(&edit.name), edit.value);
        }
    }

    CopperFit::Edits editsOf(const QStringRef &tag, const DocumentTokens::Attributes &attributes)
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
    CopperFit::Edits activated(const DocumentTokens::Attributes &attributes) const
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

DocumentTokens BoardCopy::tokens() const
{
    return board->shifted(dx, dy, turn);
}

// The boards are never held as trees, nor as texts: each copy is made from
// its board's tokens when its turn comes and let go after. The first copy is
// held while the panel is written, which walks it twice: for its names and
// places, then while the panel is written around it.
PanelAssembly assembleCopies(QVector<BoardCopy> copies, NameBook &names)
{
    if (copies.isEmpty())
        return {};
    QVector<DesignRules> rules;
    for (const BoardCopy &copy : copies)
        rules << copy.rules;
    PanelRules panel = choosePanelRules(rules);
    // A board that writes no rules is made by whatever rules it is given.
    for (DesignRules &own : rules) {
        if (own.isEmpty())
            own = panel.rules;
    }
    XmlOutput out(panelIndent);
    out.writeDeclaration();
    PanelPlaces places;
    DocumentTokens first = copies.first().tokens();
    scanBoard(first, names, &places);
    SectionCapture capture(places);
    FreshNames freshNames(names);
    for (int i = 1; i < copies.size(); ++i) {
        const DocumentTokens board = copies.at(i).tokens();
        scanBoard(board, names);
        freshNames.beginBoard();
        const QStringList unnumbered = capture.addBoard(
                board, freshNames, CopperFit(rules.at(i), panel.rules), copies.at(i).leftOut);
        freshNames.endBoard();
        if (!unnumbered.isEmpty())
            reportUnnumbered(panel.report, i, unnumbered);
        copies[i] = BoardCopy();
    }
    const CopperFit fit(rules.first(), panel.rules);
    BaseWriter(panel, fit, out).write(copies.first(), first, places, capture);
    // The boards are let go before the panel's text is put together.
    out.keepOpenNames();
    first = DocumentTokens();
    copies.clear();
    out.writeEndDocument();
    return {out.take(), panel.report};
}
