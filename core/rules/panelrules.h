// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "designrules.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

// One rule that the boards of a panel set differently and that no attribute
// of a copy's objects can carry: each board whose value differs from the
// panel's, by its place in the panel (0 is the first board), and the value the
// panel uses. Values are written as the boards write them, several
// parameters of one rule separated by " / ".
struct RuleDifference
{
    struct BoardValue
    {
        int board;
        QString value;
    };
    QString rule;
    QVector<BoardValue> boards;
    QString panelValue;
};
using RulesReport = QVector<RuleDifference>;

struct PanelRules
{
    // The rules the panel is written with.
    DesignRules rules;
    // The names of the parameters whose value differs from the first board's.
    QStringList changed;
    // The copper layers to mark active in the first board's layer table: those
    // of the layer setup the panel takes from a later board.
    QSet<int> activeLayers;
    RulesReport report;
};

// Chooses the panel's rules for boards whose own are `boards`, in panel
// order. They start as the first board's. Those that objects can carry are
// chosen so that they never grow what a copy carries: the least rings and
// SMD roundness, the largest via stop limit, a pad shape forced only where
// every board forces it. The layer setup is the first of the boards' own that
// holds every board's copper layers and via spans, and the inner rings those
// of the first board with inner copper. The rest stay the first board's.
// Where a board differs in what its objects cannot carry, it is reported. A
// board without design rules is made by the panel's and never reported.
PanelRules choosePanelRules(const QVector<DesignRules> &boards);
