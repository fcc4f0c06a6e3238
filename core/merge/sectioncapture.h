// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/rules/copperfit.h"
#include "core/xml/documenttokens.h"
#include "core/xml/xmloutput.h"
#include "freshnames.h"
#include "panelplaces.h"
#include "partlabels.h"

#include <map>
#include <memory>

// The content later boards add to the places of a panel, written as text
// fragments at the depth of each place in the first board, board after board.
class SectionCapture
{
public:
    explicit SectionCapture(PanelPlaces &places);
    ~SectionCapture();

    // Appends what the board `document` adds, its names and references
    // renamed by `freshNames`: the element children of its four sections,
    // and the entries of its class and layer tables whose number the panel
    // lacks. Its parts whose names are replaced keep printing their original
    // names (see Relabelling). Its vias, pads and SMDs carry what `fit` says
    // its own rules make of them. Its net classes take the panel's numbers
    // that NetClassTable gives them, and its signals follow. Returns the
    // classes that found no number of their own ("name (number)"). The
    // elements that `leftOut` starts (sorted token indexes) are left out.
    QStringList addBoard(const DocumentTokens &document, FreshNames &freshNames,
                         const CopperFit &fit, const QVector<int> &leftOut = {});

    // The text gathered for `place`; empty when the first board has no such
    // place or nothing was added to it.
    PanelText take(int place);

private:
    class BoardPass;

    // A library child the libraries' fragment holds as a board has it.
    struct WrittenSubtree
    {
        QByteArray text;
        int end; // its end tag
        QStringList names; // its names, none of which had a fresh name
    };

    PanelPlaces &places;
    std::array<std::unique_ptr<XmlOutput>, placeCount> fragments;
    // By board (DocumentTokens::identity()), then by start tag.
    std::map<std::shared_ptr<const void>, QHash<int, WrittenSubtree>> written;
};
