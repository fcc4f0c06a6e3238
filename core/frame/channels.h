// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "tabplan.h"

#include <QVector>

#include <utility>

// The outer edges of the channels a board house routes around the boards:
// each a closed polygon (its last point joins its first) that bounds one
// routed region, the boards inside it. Everything between the rails' inner
// edge and these edges, outside them, stays material joined to the rails.
// The channels are every board's outline grown by `area.channel` and
// clipped to the rails, with what they enclose filled and material thinner
// than a channel routed too. Without rails there is no material to keep:
// no edges. Without a channel (0) the whole inside of the rails is routed.
QVector<ChannelEdge> channelEdges(const QVector<TabbedBoard> &boards, const TabArea &area);

// Whether a disc at `centre` lies wholly outside every channel.
bool solidAround(const QVector<ChannelEdge> &edges, OutlinePoint centre, double radius);

// The stretch of `edge` between two places on it that is the shorter way
// round, as its start and end in the edge's own order.
std::pair<double, double> shorterStretch(const ChannelEdge &edge, double a, double b);

// The indexes of the edge's points strictly inside the stretch from `from`
// to `to`, in the edge's order.
QVector<int> pointsWithin(const ChannelEdge &edge, double from, double to);
