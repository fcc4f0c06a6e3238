#include "referencepanel.h"

#include "app/tavolin.h"
#include "assembly/freshnames.h"

#include <QSet>

namespace {

void renameThroughout(const QDomElement &root, FreshNames &freshNames)
{
    QList<QDomElement> pending {root};
    while (!pending.isEmpty()) {
        const QDomElement element = pending.takeLast();
        const QDomNamedNodeMap attributes = element.attributes();
        for (int i = 0; i < attributes.length(); ++i) {
            QDomAttr attribute = attributes.item(i).toAttr();
            const QString fresh = freshNames.renamed(attribute.value());
            if (!fresh.isNull())
                attribute.setValue(fresh);
        }
        for (QDomElement child = element.lastChildElement(); !child.isNull();
             child = child.previousSiblingElement())
            pending << child;
    }
}

QDomElement first(const QDomElement &root, const QString &tag)
{
    return root.elementsByTagName(tag).item(0).toElement();
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
    Tavolin window;
    QDomDocument panel;
    panel.setContent(boards.value(0));
    window.collectNames(panel.documentElement());
    FreshNames freshNames(window.nameBook);
    for (int i = 1; i < boards.size(); ++i) {
        QDomDocument board;
        board.setContent(boards.at(i));
        const QDomElement root = board.documentElement();
        window.collectNames(root);
        freshNames.beginBoard();
        renameThroughout(root, freshNames);
        freshNames.endBoard();
        for (const char *section : {"plain", "libraries", "elements", "signals"})
            window.mergeSection(QLatin1String(section), panel, root);
        addMissing(panel, root, QStringLiteral("classes"), QStringLiteral("class"));
        addMissing(panel, root, QStringLiteral("layers"), QStringLiteral("layer"));
    }
    return panel;
}
