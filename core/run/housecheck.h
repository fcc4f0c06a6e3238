// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "panelrun.h"

#include <QSize>

// The limits of the house that the panel breaks, one problem each: its
// size, its rails, channels and tabs as set, the fiducials and, for copies
// parted by V-cuts (`vcutGrid`), the copper near the cuts (a problem for
// each board) and the cuts' spacing.
QList<PanelProblem> houseFindings(const HouseRules &rules, const PanelNumbers &numbers, QSize panel,
                                  const FramePlan &plan, bool vcutGrid);
