#pragma once

#include <QDomDocument>
#include <QDomElement>
#include <QString>

namespace assembly {

// Gives every attribute in the subtree of `element` whose whole value is
// exactly `oldValue` the value `newValue`, whatever the attribute's name, so
// that a name and every reference to it change together.
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
