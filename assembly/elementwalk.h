// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDomElement>
#include <QDomNamedNodeMap>

// Steps through the elements of a subtree in document order (preorder),
// starting with the root itself. It follows the tree's own parent and sibling
// links instead of recursing, so a deeply nested document cannot overflow the
// stack, and it needs no memory of its own.
class ElementWalk
{
public:
    explicit ElementWalk(const QDomElement &root)
        : root(root)
        , element(root)
    { }

    bool atEnd() const { return element.isNull(); }
    const QDomElement &current() const { return element; }
    // Moves to the next element; with `descend` false the subtree of the
    // current element is passed over.
    void next(bool descend = true);

private:
    QDomElement root;
    QDomElement element;
};

// Calls `visit` with each attribute (QDomAttr) of `element`. Qt 5 reaches the
// i-th attribute by stepping a hash iterator i times, so the map is fetched
// once and elements without attributes cost nothing.
template<typename Visit>
void forEachAttribute(const QDomElement &element, Visit visit)
{
    if (!element.hasAttributes())
        return;
    const QDomNamedNodeMap attributes = element.attributes();
    const int count = attributes.length();
    for (int i = 0; i < count; ++i)
        visit(attributes.item(i).toAttr());
}
