// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QString>
#include <QVector>

// EAGLE's layer setup ("(1*16)", "(1*2*15*16)", "(1+2*15+16)", blind
// "[2:1+2*15+16]" and buried "(...)" spans) tells which copper layers a board
// has and which via spans it allows.
namespace layersetup {

// The copper layers the setup names.
QSet<int> layers(const QString &setup);
// Whether a board of setup `board` has all its copper layers and via spans
// in `setup`: the same setup, or a board of through vias only whose layers
// `setup` has and whose through vias it allows.
bool holds(const QString &setup, const QString &board);

struct Choice
{
    QString setup; // null when no setup of the boards holds them all
    QSet<int> layers;
};
// The first of the boards' setups that holds every board's, the first
// board's where it does.
Choice choose(const QVector<QString> &setups);

} // namespace layersetup
