// SPDX-License-Identifier: GPL-3.0-or-later
#include "paneltesting.h"

#include "core/run/panelrun.h"
#include "support/testsupport.h"

#include <QDomNamedNodeMap>
#include <QHash>
#include <QMap>
#include <QSaveFile>
#include <QSet>

QDomDocument parseXml(const QString &text)
{
    QDomDocument document;
    document.setContent(text);
    return document;
}

QByteArray runWritePanel(const QStringList &boards, const QString &path)
{
    QSaveFile file(path);
    if (openPanelOutput(file) || savePanelOutput(file, assembled(boards).text))
        return QByteArray();
    return readWholeFile(path);
}

QString realBoardText(const QString &fileName)
{
    return QString::fromUtf8(readWholeFile(realBoard(fileName)));
}

namespace {

QMap<QString, QString> attributeMap(const QDomElement &element)
{
    QMap<QString, QString> map;
    const QDomNamedNodeMap attributes = element.attributes();
    for (int i = 0; i < attributes.length(); ++i)
        map.insert(attributes.item(i).nodeName(), attributes.item(i).nodeValue());
    return map;
}

QString describe(const QDomNode &node)
{
    return node.isElement() ? QLatin1Char('<') + node.nodeName() + QLatin1Char('>')
                            : node.nodeName() + QLatin1Char(' ') + node.nodeValue();
}

QString nodeDifference(const QDomNode &expected, const QDomNode &actual, const QString &path)
{
    if (expected.nodeType() != actual.nodeType() || expected.nodeName() != actual.nodeName())
        return path + QStringLiteral(": expected ") + describe(expected) + QStringLiteral(", got ")
                + describe(actual);
    if (!expected.isElement())
        return expected.nodeValue() == actual.nodeValue() ? QString()
                                                          : path + QStringLiteral(": text ")
                        + expected.nodeValue() + QStringLiteral(" vs ") + actual.nodeValue();
    const QDomElement e = expected.toElement();
    const QDomElement a = actual.toElement();
    if (attributeMap(e) != attributeMap(a))
        return path + QStringLiteral(": attributes differ");
    const QDomNodeList expectedChildren = e.childNodes();
    const QDomNodeList actualChildren = a.childNodes();
    if (expectedChildren.count() != actualChildren.count())
        return path
                + QStringLiteral(": %1 children, got %2")
                          .arg(expectedChildren.count())
                          .arg(actualChildren.count());
    for (int i = 0; i < expectedChildren.count(); ++i) {
        const QString difference =
                nodeDifference(expectedChildren.item(i), actualChildren.item(i),
                               path + QLatin1Char('/') + expectedChildren.item(i).nodeName()
                                       + QLatin1Char('[') + QString::number(i) + QLatin1Char(']'));
        if (!difference.isEmpty())
            return difference;
    }
    return QString();
}

QList<QDomElement> children(const QDomElement &root, const QString &section)
{
    QList<QDomElement> list;
    const QDomElement parent = root.elementsByTagName(section).item(0).toElement();
    for (QDomElement child = parent.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement())
        list.append(child);
    return list;
}

// Reports names used twice (letter case aside) among the entries.
void checkUnique(const QList<QDomElement> &entries, const QString &kind, QStringList &problems)
{
    QSet<QString> seen;
    for (const QDomElement &entry : entries) {
        const QString key = entry.attribute(QStringLiteral("name")).toCaseFolded();
        if (seen.contains(key))
            problems << kind + QStringLiteral(" name used twice: ")
                            + entry.attribute(QStringLiteral("name"));
        seen.insert(key);
    }
}

// Checks the references of one board copy against its own entries.
void checkCopy(int copy, const QList<QDomElement> &libraries, const QList<QDomElement> &elements,
               const QList<QDomElement> &signalList, QStringList &problems)
{
    QHash<QString, QSet<QString>> packages; // library -> its packages
    for (const QDomElement &library : libraries) {
        QSet<QString> &names = packages[library.attribute(QStringLiteral("name"))];
        const QDomNodeList list = library.elementsByTagName(QStringLiteral("package"));
        for (int i = 0; i < list.count(); ++i)
            names.insert(list.item(i).toElement().attribute(QStringLiteral("name")));
    }
    QSet<QString> parts;
    const QString where = QStringLiteral(" in copy %1").arg(copy);
    for (const QDomElement &element : elements) {
        const QString name = element.attribute(QStringLiteral("name"));
        parts.insert(name);
        const QString library = element.attribute(QStringLiteral("library"));
        const QString package = element.attribute(QStringLiteral("package"));
        if (!packages.contains(library))
            problems << QStringLiteral("part %1 uses missing library %2").arg(name, library)
                            + where;
        else if (!packages.value(library).contains(package))
            problems << QStringLiteral("part %1 uses missing package %2").arg(name, package)
                            + where;
    }
    for (const QDomElement &signal : signalList) {
        const QDomNodeList refs = signal.elementsByTagName(QStringLiteral("contactref"));
        for (int i = 0; i < refs.count(); ++i) {
            const QString part = refs.item(i).toElement().attribute(QStringLiteral("element"));
            if (!parts.contains(part))
                problems << QStringLiteral("signal %1 names missing part %2")
                                        .arg(signal.attribute(QStringLiteral("name")), part)
                                + where;
        }
    }
}

QSet<QString> numbersIn(const QDomElement &root, const QString &table)
{
    QSet<QString> numbers;
    for (const QDomElement &entry : children(root, table))
        numbers.insert(entry.attribute(QStringLiteral("number")));
    return numbers;
}

// Reports net classes and layers used by number but not defined.
void checkNumbered(const QDomElement &root, QStringList &problems)
{
    const QSet<QString> classes = numbersIn(root, QStringLiteral("classes"));
    for (const QDomElement &signal : children(root, QStringLiteral("signals"))) {
        if (signal.hasAttribute(QStringLiteral("class"))
            && !classes.contains(signal.attribute(QStringLiteral("class"))))
            problems << QStringLiteral("signal %1 of undefined class %2")
                                .arg(signal.attribute(QStringLiteral("name")),
                                     signal.attribute(QStringLiteral("class")));
    }
    const QSet<QString> layers = numbersIn(root, QStringLiteral("layers"));
    for (const QString &section : {QStringLiteral("plain"), QStringLiteral("signals")}) {
        QList<QDomElement> pending = children(root, section);
        while (!pending.isEmpty()) {
            const QDomElement item = pending.takeLast();
            for (QDomElement child = item.firstChildElement(); !child.isNull();
                 child = child.nextSiblingElement())
                pending.append(child);
            if (item.hasAttribute(QStringLiteral("layer"))
                && !layers.contains(item.attribute(QStringLiteral("layer"))))
                problems << QStringLiteral("%1 on undefined layer %2")
                                    .arg(item.tagName(), item.attribute(QStringLiteral("layer")));
        }
    }
}

} // namespace

QString treeDifference(const QDomElement &expected, const QDomElement &actual)
{
    if (expected.isNull() || actual.isNull())
        return expected.isNull() == actual.isNull() ? QString() : QStringLiteral("null element");
    return nodeDifference(expected, actual, expected.tagName());
}

QStringList entryNames(const QDomElement &root, const QString &section)
{
    QStringList names;
    for (const QDomElement &child : children(root, section))
        names << child.attribute(QStringLiteral("name"));
    return names;
}

BoardShare shareOf(const QString &boardText)
{
    const QDomElement root = parseXml(boardText).documentElement();
    BoardShare share;
    share.libraries = children(root, QStringLiteral("libraries")).size();
    share.elements = children(root, QStringLiteral("elements")).size();
    share.signalCount = children(root, QStringLiteral("signals")).size();
    return share;
}

QStringList panelProblems(const QDomDocument &panel, const QList<BoardShare> &shares)
{
    const QDomElement root = panel.documentElement();
    const QList<QDomElement> libraries = children(root, QStringLiteral("libraries"));
    const QList<QDomElement> elements = children(root, QStringLiteral("elements"));
    const QList<QDomElement> signalList = children(root, QStringLiteral("signals"));
    QStringList problems;
    BoardShare total;
    for (const BoardShare &share : shares) {
        total.libraries += share.libraries;
        total.elements += share.elements;
        total.signalCount += share.signalCount;
    }
    if (total.libraries != libraries.size() || total.elements != elements.size()
        || total.signalCount != signalList.size())
        return {QStringLiteral("sections hold %1/%2/%3 entries, the boards %4/%5/%6")
                        .arg(libraries.size())
                        .arg(elements.size())
                        .arg(signalList.size())
                        .arg(total.libraries)
                        .arg(total.elements)
                        .arg(total.signalCount)};
    checkUnique(libraries, QStringLiteral("library"), problems);
    checkUnique(elements, QStringLiteral("part"), problems);
    checkUnique(signalList, QStringLiteral("signal"), problems);
    checkNumbered(root, problems);
    BoardShare start;
    for (int copy = 0; copy < shares.size(); ++copy) {
        const BoardShare &share = shares.at(copy);
        checkCopy(copy, libraries.mid(start.libraries, share.libraries),
                  elements.mid(start.elements, share.elements),
                  signalList.mid(start.signalCount, share.signalCount), problems);
        start.libraries += share.libraries;
        start.elements += share.elements;
        start.signalCount += share.signalCount;
    }
    return problems;
}
