// SPDX-License-Identifier: GPL-3.0-or-later
#include "freshnames.h"

namespace {

QString freshName(qint64 number)
{
    return QStringLiteral("NewName") + QString::number(number);
}

// Whether `name` reads, letter case aside, as "NewName" followed by a number
// written as freshName() writes it; the number goes to `number`.
bool isFreshName(const QString &name, qint64 *number)
{
    const QString key = NameBook::key(name);
    const QLatin1String prefix("newname");
    if (!key.startsWith(prefix))
        return false;
    const QStringRef digits = key.midRef(prefix.size());
    if (digits.isEmpty() || (digits.size() > 1 && digits.at(0) == QLatin1Char('0')))
        return false;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    *number = digits.toLongLong(&ok);
    return ok;
}

} // namespace

void FreshNames::beginBoard()
{
    indexNewNames();
    taken = takenNumbers();
    given.clear();
}

QString FreshNames::renamed(const QString &value)
{
    if (value.isEmpty())
        return QString();
    const auto entry = firstEntry.constFind(value);
    if (entry == firstEntry.constEnd())
        return QString();
    QString &name = given[*entry];
    if (name.isNull()) {
        name = freshName(number(*entry, taken));
        names.addKnown(name);
    }
    return name;
}

void FreshNames::endBoard()
{
    const int entries = names.duplicateNames().size();
    if (entries > 0)
        counter = number(entries - 1, taken) + 1;
    given.clear();
}

// Brings the value and number indexes up to the lists, which only grow while
// a panel is assembled.
void FreshNames::indexNewNames()
{
    const QStringList &duplicates = names.duplicateNames();
    for (; indexedDuplicates < duplicates.size(); ++indexedDuplicates) {
        if (!firstEntry.contains(duplicates.at(indexedDuplicates)))
            firstEntry.insert(duplicates.at(indexedDuplicates), indexedDuplicates);
    }
    const QStringList &known = names.knownNames();
    for (; indexedKnown < known.size(); ++indexedKnown) {
        qint64 n = 0;
        if (isFreshName(known.at(indexedKnown), &n))
            knownNumbers.insert(n);
    }
}

// The numbers from the counter on whose fresh names are known, ascending.
std::vector<qint64> FreshNames::takenNumbers() const
{
    return std::vector<qint64>(knownNumbers.lower_bound(counter), knownNumbers.end());
}

// The number of the given entry of the list in the current board: the
// (entry + 1)-th number from the counter on that is not taken. With t_j the
// taken numbers, t_j - j never falls, so the count j of taken numbers passed
// over is found by bisection.
qint64 FreshNames::number(int entry, const std::vector<qint64> &taken) const
{
    const qint64 untaken = counter + entry;
    size_t low = 0;
    size_t high = taken.size();
    while (low < high) {
        const size_t middle = (low + high) / 2;
        if (taken[middle] - qint64(middle) <= untaken)
            low = middle + 1;
        else
            high = middle;
    }
    return untaken + qint64(low);
}
