// SPDX-License-Identifier: GPL-3.0-or-later
#include "elementwalk.h"

void ElementWalk::next(bool descend)
{
    if (descend) {
        const QDomElement child = element.firstChildElement();
        if (!child.isNull()) {
            element = child;
            return;
        }
    }
    while (element != root) {
        const QDomElement sibling = element.nextSiblingElement();
        if (!sibling.isNull()) {
            element = sibling;
            return;
        }
        element = element.parentNode().toElement();
    }
    element = QDomElement();
}
