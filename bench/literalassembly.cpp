// SPDX-License-Identifier: GPL-3.0-or-later
#include "literalassembly.h"

#include <QDomNamedNodeMap>
#include <QDomNodeList>
#include <QTextStream>

void LiteralAssembly::writePanel(const QStringList &shiftedBoards, QIODevice &file)
{
    if (shiftedBoards.isEmpty())
        return;
    QDomDocument panel;
    panel.setContent(shiftedBoards.first());
    collectNames(panel.documentElement());
    qint64 counter = 0;
    for (int i = 1; i < shiftedBoards.size(); ++i) {
        QDomDocument board;
        board.setContent(shiftedBoards.at(i));
        const QDomElement root = board.documentElement();
        collectNames(root);
        const int entries = duplicateNames.size();
        for (int k = 0; k < entries; ++k)
            replaceAttributeValue(root, duplicateNames.at(k),
                                  QStringLiteral("NewName") + QString::number(counter + k));
        counter += entries;
        for (const char *section : {"plain", "libraries", "elements", "signals"})
            mergeSection(QLatin1String(section), panel, root);
    }
    {
        QTextStream stream(&file);
        panel.save(stream, 3, QDomNode::EncodingFromDocument);
    }
    knownNames.clear();
    duplicateNames.clear();
}

// Recursive, as first described; real boards nest about ten levels.
void LiteralAssembly::collectNames(const QDomElement &element)
{
    const QString tag = element.tagName();
    if (tag == QLatin1String("layers") || tag == QLatin1String("autorouter")
        || tag == QLatin1String("designrules"))
        return;
    if (element.hasAttribute(QStringLiteral("name"))) {
        const QString name = element.attribute(QStringLiteral("name"));
        if (knownNames.contains(name, Qt::CaseInsensitive))
            duplicateNames.append(name);
        else
            knownNames.append(name);
    }
    if (!element.hasChildNodes() || tag == QLatin1String("library"))
        return;
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
        collectNames(child.toElement());
}

void LiteralAssembly::replaceAttributeValue(const QDomElement &element, const QString &oldValue,
                                            const QString &newValue)
{
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.length(); ++i) {
        QDomAttr attribute = attributes.item(i).toAttr();
        if (attribute.value() == oldValue)
            attribute.setValue(newValue);
    }
    for (QDomNode child = element.firstChild(); !child.isNull(); child = child.nextSibling())
        replaceAttributeValue(child.toElement(), oldValue, newValue);
}

void LiteralAssembly::mergeSection(const QString &tagName, QDomDocument &panel,
                                   const QDomElement &source)
{
    QDomElement target = panel.documentElement().elementsByTagName(tagName).item(0).toElement();
    const QDomNodeList children =
            source.elementsByTagName(tagName).item(0).toElement().childNodes();
    for (int i = 0; i < children.count(); ++i)
        target.appendChild(panel.importNode(children.item(i).toElement(), true));
}
