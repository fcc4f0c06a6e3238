// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "copyoutline.h"

#include <QVector>

// A run of a board's outline wires that meet end to end, followed as one
// line (arcs by their chords): closed where its last wire meets its first.
class OutlineChain
{
public:
    // Every wire is in one chain; wires that meet no other make chains of
    // their own.
    static QVector<OutlineChain> of(const QVector<OutlineWire> &wires);

    double length() const { return lengths.isEmpty() ? 0.0 : lengths.last(); }
    bool isClosed() const { return closed; }
    // Of a closed chain: whether it runs counterclockwise round what it
    // encloses.
    bool isCounterclockwise() const { return area > 0.0; }
    // The point `distance` along the chain from its start: round again on a
    // closed chain, no farther than its ends on an open one.
    OutlinePoint pointAt(double distance) const;

private:
    QVector<OutlinePoint> points;
    QVector<double> lengths; // from the start to each point
    bool closed = false;
    double area = 0.0;
};
