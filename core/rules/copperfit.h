// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "designrules.h"

#include <QLatin1String>
#include <QString>
#include <QStringRef>
#include <QVector>

#include <functional>

// EAGLE makes part of the copper of vias, pads and SMDs from the design rules
// (rings, pad shapes, SMD roundness, via tenting). On a panel, a copy's
// objects are made by the panel's rules, so where its own board's rules would
// make them differently they carry what their own rules make explicitly: an
// explicit diameter or roundness is a floor the rules can only raise, a forced
// shape and "alwaysstop" are kept as they are.
class CopperFit
{
public:
    struct Edit
    {
        QString name;
        QString value;
    };
    using Edits = QVector<Edit>;
    // The value of an attribute of the object; a null reference when absent.
    using Lookup = std::function<QStringRef(QLatin1String)>;

    CopperFit(const DesignRules &own, const DesignRules &panel);

    // The names of the attributes an edit may set.
    static QStringList attributeNames();

    // Whether the panel's rules make every object as the board's own do.
    bool keepsAll() const { return same; }
    // The attributes the object `tag` (via, pad, smd) needs set or added so
    // that the panel's rules make it as its own rules do; empty when none.
    Edits edits(const QStringRef &tag, const Lookup &value) const;

private:
    Edits viaEdits(const Lookup &value) const;
    Edits padEdits(const Lookup &value) const;
    Edits smdEdits(const Lookup &value) const;

    DesignRules own;
    DesignRules panel;
    bool same;
};

// EAGLE's formulas, on the rules of one board.
namespace eagle {
// A via's or pad's outer diameter: an explicit diameter is a floor.
double outerDiameter(const DesignRules &rules, const QString &kind, double drill, double diameter);
// The shape the rules force on a pad; empty when the library's stands.
QString forcedPadShape(const DesignRules &rules, bool first);
} // namespace eagle
