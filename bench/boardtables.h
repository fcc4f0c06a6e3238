#pragma once

#include "xmlout.h"

namespace benchgen {

// The sections every board carries whatever its parts: they are the same
// bytes on every generated board, as they nearly are on real boards drawn
// with one setup.
void writeSettings(XmlOut &out);
void writeLayers(XmlOut &out);
void writeClasses(XmlOut &out);
void writeDesignRules(XmlOut &out);
void writeAutorouter(XmlOut &out);

} // namespace benchgen
