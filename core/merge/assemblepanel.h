// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/rules/designrules.h"
#include "core/rules/panelrules.h"
#include "core/xml/documenttokens.h"
#include "core/xml/paneltext.h"
#include "namebook.h"

#include <QVector>

#include <memory>

struct PanelAssembly
{
    PanelText text;
    // What the panel cannot keep of each board's rules; the user is to be
    // told before the panel is written.
    RulesReport rules;
};

// One copy of a board on the panel: the tokens of its board as read, turned
// and moved to its place as they are gone through.
struct BoardCopy
{
    std::shared_ptr<const DocumentTokens> board;
    double dx = 0.0;
    double dy = 0.0;
    int turn = 0; // quarter turns counterclockwise about its origin, before the move
    DesignRules rules; // the board's own
    // The start tags (Reader::index()) whose elements the copy leaves out,
    // in document order: the outline a panel's frame replaces.
    QVector<int> leftOut;
    // Elements the first copy's drawing gains at its end, the children of
    // the root of these tokens: what a frame adds to the panel.
    std::shared_ptr<const DocumentTokens> drawingAdditions;
    DocumentTokens tokens() const;
};

// Builds one panel out of the copies, in placement order, and returns its
// text: UTF-8, indented by three blanks a level, attributes in their source
// order, without comments, processing instructions or document type. The
// first copy becomes the panel. Of every later one, after its used names were
// given fresh ones, the content of "plain", "libraries", "elements" and
// "signals" is appended to the first board's sections, and the net classes
// and layers it defines by a number the panel lacks are added to the panel's
// tables. A later copy that is not well-formed adds nothing; a first one that
// is not gives a panel of nothing but the XML declaration. The names met are
// left in `names`. Empty when there is no copy; each copy is let go once it
// is written.
//
// The panel is written with rules chosen for all its boards
// (choosePanelRules), and every copy whose own rules would make its vias, pads
// or SMDs differently carries its own sizes on them (CopperFit).
PanelAssembly assembleCopies(QVector<BoardCopy> copies, NameBook &names);
