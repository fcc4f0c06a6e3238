// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "elementwalk.h"
#include "namebook.h"

#include <QDomDocument>
#include <QDomElement>
#include <QString>

namespace assembly {

// Calls `visit` with each attribute (QDomAttr) in the subtree of `root` that
// holds a name or a reference to one (NameBook::holdsName), outside the
// subtrees whose names are not collected.
template<typename Visit>
void forEachNameAttribute(const QDomElement &root, Visit visit)
{
    for (ElementWalk walk(root); !walk.atEnd();) {
        const QString tag = walk.current().tagName();
        if (NameBook::passesOver(QStringRef(&tag))) {
            walk.next(false);
            continue;
        }
        forEachAttribute(walk.current(), [&](const QDomAttr &attribute) {
            const QString name = attribute.name();
            if (NameBook::holdsName(QStringRef(&name)))
                visit(attribute);
        });
        walk.next();
    }
}

// Gives every name or reference in the subtree of `element` whose whole value
// is exactly `oldValue` the value `newValue`, so that a name and every
// reference to it change together. Nothing else changes, whatever text it
// happens to hold; an empty `oldValue` names nothing and changes nothing.
void replaceAttributeValue(const QDomElement &element, const QString &oldValue,
                           const QString &newValue);

// The first element named `tagName` among the descendants of `root`, in
// document order; null when there is none.
QDomElement firstDescendant(const QDomElement &root, const QString &tagName);

// Appends deep copies, owned by `panel`, of the element children of the first
// `tagName` element below `source` to the first `tagName` element below the
// panel's document element. Without either of the two nothing happens.
void mergeSection(const QString &tagName, QDomDocument &panel, const QDomElement &source);

} // namespace assembly
