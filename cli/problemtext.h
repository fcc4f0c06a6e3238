// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/run/panelrun.h"

#include <QString>
#include <QStringList>

// A run's problem in the words of the message box the window shows it in.
QString problemTitle(const PanelProblem &problem);
QString problemText(const PanelProblem &problem);

// For the design rules: one sentence for each rule, the boards named by
// their file names (a board beyond the problem's boards is "board N",
// counting from 1).
QStringList ruleLines(const PanelProblem &problem);
