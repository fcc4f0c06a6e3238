// SPDX-License-Identifier: GPL-3.0-or-later
#include "referencepanel.h"

#include "assembly/freshnames.h"
#include "assembly/mergeops.h"
#include "assembly/partlabels.h"

#include <QSet>

namespace {

void renameThroughout(const QDomElement &root, FreshNames &freshNames)
{
    assembly::forEachNameAttribute(root, [&](QDomAttr attribute) {
        const QString fresh = freshNames.renamed(attribute.value());
        if (!fresh.isNull())
            attribute.setValue(fresh);
    });
}

QDomElement first(const QDomElement &root, const QString &tag)
{
    return root.elementsByTagName(tag).item(0).toElement();
}

TagAttributes tagAttributes(const QDomElement &element)
{
    TagAttributes result;
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.length(); ++i)
        result.append(attributes.item(i).nodeName(), attributes.item(i).nodeValue());
    return result;
}

PackageLabels packageLabels(const QDomElement &board)
{
    PackageLabels labels;
    const QDomNodeList libraries = board.elementsByTagName("library");
    for (int i = 0; i < libraries.count(); ++i) {
        const QDomElement library = libraries.item(i).toElement();
        const QDomNodeList texts = library.elementsByTagName("text");
        for (int j = 0; j < texts.count(); ++j) {
            const QDomElement text = texts.item(j).toElement();
            const QDomElement package = text.parentNode().toElement();
            if (package.tagName() == "package" && isLabelText(text.text()))
                labels.add(library.attribute("name"), package.attribute("name"),
                           {tagAttributes(text), text.text()});
        }
    }
    return labels;
}

// The parts of a later board whose names are replaced keep printing them.
void relabelParts(QDomDocument &board, FreshNames &freshNames)
{
    const QDomElement root = board.documentElement();
    QDomElement drawing = first(root, "plain");
    const PackageLabels labels = packageLabels(root);
    for (QDomElement part = first(root, "elements").firstChildElement("element"); !part.isNull();
         part = part.nextSiblingElement("element")) {
        if (freshNames.renamed(part.attribute("name")).isNull())
            continue;
        QList<QDomElement> children;
        QVector<TagAttributes> attributes;
        for (QDomElement child = part.firstChildElement("attribute"); !child.isNull();
             child = child.nextSiblingElement("attribute")) {
            children << child;
            attributes << tagAttributes(child);
        }
        const Relabelling relabelling =
                relabel(tagAttributes(part), attributes,
                        labels.find(part.attribute("library"), part.attribute("package")));
        if (relabelling.isEmpty())
            continue;
        for (int i = 0; i < children.size(); ++i) {
            if (relabelling.replaces(attributes.at(i)))
                part.removeChild(children.at(i));
            else if (relabelling.hides(attributes.at(i)))
                children[i].setAttribute("display", "off");
        }
        if (relabelling.smash)
            part.setAttribute("smashed", "yes");
        for (int i = relabelling.labels.size() - 1; i >= 0; --i) {
            QDomElement label = board.createElement("attribute");
            for (const TagAttributes::Item &item : relabelling.labels.at(i).list())
                label.setAttribute(item.first, item.second);
            part.insertBefore(label, QDomNode());
        }
        for (const LabelText &text : relabelling.texts) {
            QDomElement printed = board.createElement("text");
            for (const TagAttributes::Item &item : text.attributes.list())
                printed.setAttribute(item.first, item.second);
            printed.appendChild(board.createTextNode(text.text));
            drawing.appendChild(printed);
        }
    }
}

void addMissing(QDomDocument &panel, const QDomElement &board, const QString &table,
                const QString &entryTag)
{
    QDomElement target = first(panel.documentElement(), table);
    const QDomElement origin = first(board, table);
    if (target.isNull() || origin.isNull())
        return;
    QSet<QString> numbers;
    for (QDomElement entry = target.firstChildElement(entryTag); !entry.isNull();
         entry = entry.nextSiblingElement(entryTag))
        numbers << entry.attribute(QStringLiteral("number"));
    for (QDomElement entry = origin.firstChildElement(entryTag); !entry.isNull();
         entry = entry.nextSiblingElement(entryTag)) {
        if (!entry.hasAttribute(QStringLiteral("number"))
            || numbers.contains(entry.attribute(QStringLiteral("number"))))
            continue;
        numbers << entry.attribute(QStringLiteral("number"));
        target.appendChild(panel.importNode(entry, true));
    }
}

} // namespace

QDomDocument referencePanel(const QStringList &boards)
{
    QStringList known;
    QStringList duplicates;
    NameBook names(known, duplicates);
    QDomDocument panel;
    panel.setContent(boards.value(0));
    names.collect(panel.documentElement());
    FreshNames freshNames(names);
    for (int i = 1; i < boards.size(); ++i) {
        QDomDocument board;
        board.setContent(boards.at(i));
        const QDomElement root = board.documentElement();
        names.collect(root);
        freshNames.beginBoard();
        relabelParts(board, freshNames);
        renameThroughout(root, freshNames);
        freshNames.endBoard();
        for (const char *section : {"plain", "libraries", "elements", "signals"})
            assembly::mergeSection(QLatin1String(section), panel, root);
        addMissing(panel, root, QStringLiteral("classes"), QStringLiteral("class"));
        addMissing(panel, root, QStringLiteral("layers"), QStringLiteral("layer"));
    }
    return panel;
}
