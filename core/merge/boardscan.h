// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/xml/documenttokens.h"
#include "namebook.h"
#include "panelplaces.h"

// Goes through one shifted board document and records its names in `names`
// (under the rules of NameBook::collect). For the first board of a panel,
// `places` receives where its places are and the numbers its class and layer
// tables define.
void scanBoard(const DocumentTokens &document, NameBook &names, PanelPlaces *places = nullptr);
