// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "framesettings.h"
#include "tabplan.h"
#include "vcuts.h"

#include "core/xml/documenttokens.h"

#include <QVector>

#include <memory>

// What the frame adds to a panel, planned from the shifted copies.
struct FramePlan
{
    QVector<Tab> tabs;
    QVector<ChannelEdge> channels; // the routed channels' outer edges
    QVector<OutlinePoint> biteHoles;
    QVector<OutlinePoint> toolingHoles;
    QVector<OutlinePoint> fiducials;
    bool bottomFiducials = false; // a board has parts on its bottom side
    QVector<int> untabbed; // boards that cannot get two tabs, left out
    // Boards placed with room for material around them, as their neighbours'
    // edges could not take their tabs.
    QVector<int> spaced;
    bool fiducialsLeftOut = false; // asked for, but the rails cannot take them
    bool toolingLeftOut = false;
    // With V-cuts: the cuts, the layer they are drawn on, and for each
    // board file how near the copper of its copies comes to them.
    QVector<VCut> vcuts;
    int vcutLayer = 0;
    struct NearCopper
    {
        int board = -1;
        double distance = 0.0;
    };
    QVector<NearCopper> vcutCopper;
};

// Plans the channels and tabs for the boards on the panel, or with V-cuts
// the cuts along their edges; the boards that cannot get two tabs go to
// `untabbed`, for the caller to place the others again without them. Fiducials are planned for the
// top side only; the caller sets `bottomFiducials` once it knows the boards kept.
FramePlan planFrame(const QVector<TabbedBoard> &boards, const TabArea &area,
                    const FrameSettings &settings);

// How the frame changes the copies: the outline wires each leaves out
// (their start tags, in document order), and what the panel gains (its
// outline, holes and fiducials, as the tokens of elements) for the drawing of the first
// copy not left out. `boards` holds the copies' outlines as the plan saw
// them; `leftOut` has one entry for each, the untabbed included.
struct FrameEdits
{
    QVector<QVector<int>> leftOut;
    std::shared_ptr<const DocumentTokens> additions; // the children of one "plain"
    int holder = -1; // the copy whose drawing takes `additions`; -1: none
};
FrameEdits frameEdits(const QVector<TabbedBoard> &boards, const TabArea &area,
                      const FrameSettings &settings, const FramePlan &plan);
