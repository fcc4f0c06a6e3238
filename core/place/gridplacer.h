// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "footprint.h"

#include <QVector>

#include <optional>

// Sets copies of one size edge to edge in a grid from the bottom-left
// corner, left to right and bottom to top, in as few rows as the width
// allows and those as full as they can be; the size is the first
// footprint's. Nothing for those beyond what the panel holds.
QVector<std::optional<PanelShift>> gridShifts(const QVector<BoardFootprint> &boards, double width,
                                              double height);
