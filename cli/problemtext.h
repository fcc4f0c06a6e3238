// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/run/panelrun.h"

#include <QString>
#include <QStringList>

// A run's problem in the words of the message box the window shows it in.
QString problemTitle(const PanelProblem &problem);
QString problemText(const PanelProblem &problem);

// Why a board was left out, in a few words: "No fit", "cannot be held by two
// tabs", "cannot be read"; for a problem that leaves out what the rails
// carry, what it left out: "Fiducials left out: the frame is too narrow".
// Empty for any other problem.
QString leftOutReason(PanelProblem::Kind kind);

// A board house's finding, its board named by its file name where one board
// is meant.
QString houseLimitLine(const PanelProblem &problem);

// For the design rules: one sentence for each rule, the boards named by
// their file names (a board beyond the problem's boards is "board N",
// counting from 1).
QStringList ruleLines(const PanelProblem &problem);

// The problem as a terminal shows it: one line that names its subject, or
// for the design rules one line for each rule.
QStringList problemLines(const PanelProblem &problem);
