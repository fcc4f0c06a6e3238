// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "footprint.h"

#include <QVector>

#include <optional>

// Packs boards onto a panel `width` x `height` mm, at least `offset` mm
// apart: as many as fit and, of packings that hold as many, the one whose
// boards take the smallest box. Larger boards go first, each into the free
// space that suits it best, turned a quarter turn where that suits better.
// As in rows, slots are whole millimetres and every board lies strictly
// inside the panel.
//
// One entry per board, in their order; nothing for a board left out.
QVector<std::optional<PanelShift>> packBoards(const QVector<BoardFootprint> &boards, double width,
                                              double height, int offset);
