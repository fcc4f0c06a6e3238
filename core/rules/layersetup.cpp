// SPDX-License-Identifier: GPL-3.0-or-later
#include "layersetup.h"

#include <QRegularExpression>

namespace layersetup {

namespace {

QString compact(QString setup)
{
    return setup.remove(QRegularExpression(QStringLiteral("\\s")));
}

// One span over all layers, nothing inside it spanning less.
bool throughOnly(const QString &setup)
{
    static const QRegularExpression plain(QStringLiteral("^\\([0-9*+]+\\)$"));
    return plain.match(compact(setup)).hasMatch();
}

// Whether the setup's outermost span, the through vias, covers all of it.
bool allowsThrough(const QString &setup)
{
    const QString text = compact(setup);
    if (!text.startsWith(QLatin1Char('(')) || !text.endsWith(QLatin1Char(')')))
        return false;
    int open = 0;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('('))
            ++open;
        else if (text.at(i) == QLatin1Char(')') && --open == 0)
            return i == text.size() - 1;
    }
    return false;
}

} // namespace

QSet<int> layers(const QString &setup)
{
    static const QRegularExpression number(QStringLiteral("(?<![:\\d])(\\d+)(?![:\\d])"));
    QSet<int> result;
    auto it = number.globalMatch(setup);
    while (it.hasNext()) {
        const int layer = it.next().captured(1).toInt();
        if (layer >= 1 && layer <= 16)
            result.insert(layer);
    }
    return result;
}

bool holds(const QString &setup, const QString &board)
{
    if (compact(setup) == compact(board))
        return true;
    return throughOnly(board) && allowsThrough(setup) && layers(setup).contains(layers(board));
}

Choice choose(const QVector<QString> &setups)
{
    for (const QString &candidate : setups) {
        bool all = true;
        for (const QString &board : setups)
            all = all && holds(candidate, board);
        if (all)
            return {candidate, layers(candidate)};
    }
    return {};
}

} // namespace layersetup
