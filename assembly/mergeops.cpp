// SPDX-License-Identifier: GPL-3.0-or-later
#include "mergeops.h"

namespace assembly {

void replaceAttributeValue(const QDomElement &element, const QString &oldValue,
                           const QString &newValue)
{
    if (oldValue.isEmpty())
        return;
    forEachNameAttribute(element, [&](QDomAttr attribute) {
        if (attribute.value() == oldValue)
            attribute.setValue(newValue);
    });
}

QDomElement firstDescendant(const QDomElement &root, const QString &tagName)
{
    ElementWalk walk(root);
    for (walk.next(); !walk.atEnd(); walk.next()) {
        if (walk.current().tagName() == tagName)
            return walk.current();
    }
    return QDomElement();
}

void mergeSection(const QString &tagName, QDomDocument &panel, const QDomElement &source)
{
    QDomElement target = firstDescendant(panel.documentElement(), tagName);
    const QDomElement origin = firstDescendant(source, tagName);
    if (target.isNull() || origin.isNull())
        return;
    // The children present at the start are copied, even when the origin is
    // the target itself and grows while it is read.
    const QDomElement last = origin.lastChildElement();
    for (QDomElement child = origin.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement()) {
        target.appendChild(panel.importNode(child, true));
        if (child == last)
            break;
    }
}

} // namespace assembly
