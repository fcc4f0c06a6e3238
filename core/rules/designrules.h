// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/xml/documenttokens.h"

#include <QHash>
#include <QString>

// The design rules of one board as its file writes them: each parameter of
// its "designrules" element by name, with the value as written ("10mil",
// "0.25", "-1"). EAGLE sizes part of the copper from them when it makes the
// board, so a copy on a panel must be judged by its own board's rules.
class DesignRules
{
public:
    // The rules of the first "designrules" element of `document`; empty when
    // it has none.
    static DesignRules of(const DocumentTokens &document);

    bool isEmpty() const { return params.isEmpty(); }
    bool has(const QString &name) const { return params.contains(name); }
    // The value as written; `fallback` when the rules lack it.
    QString text(const QString &name, const QString &fallback = QString()) const;
    // A length in millimetres ("10mil", "0.2mm", "1in", "25mic"; a bare
    // number is in millimetres).
    double length(const QString &name, double fallback = 0.0) const;
    // A plain number ("0.25", "-1").
    double number(const QString &name, double fallback = 0.0) const;

    void set(const QString &name, const QString &value) { params.insert(name, value); }

private:
    void addParam(const DocumentTokens::Attributes &attributes);

    QHash<QString, QString> params;
};

// A length as EAGLE writes one, in millimetres; `fallback` when it is none.
double ruleLength(const QString &value, double fallback = 0.0);
// Millimetres as the shifted copy writes its coordinates: the shortest
// decimal that reads back as the value to a nanometre.
QString millimetres(double value);
