#pragma once

#include <QByteArray>
#include <QDomDocument>

// The text of `document` as UTF-8 XML, indented by 3 spaces a level, with the
// attributes of each element sorted by name. QDomNode::save writes them in the
// order of a hash seeded afresh in every process, so the same document would
// give different bytes on every run.
QByteArray documentText(const QDomDocument &document);
