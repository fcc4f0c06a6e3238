// SPDX-License-Identifier: GPL-3.0-or-later
#include "netclasses.h"

namespace {

// Values are compared as numbers, an absent one as 0.
bool sameValue(const QString &a, const QString &b)
{
    return a == b || a.toDouble() == b.toDouble();
}

} // namespace

bool NetClass::routesAs(const NetClass &other, const QHash<QString, QString> &numbers) const
{
    if (!sameValue(width, other.width) || !sameValue(drill, other.drill)
        || !sameValue(clearance, other.clearance) || clearances.size() != other.clearances.size())
        return false;
    for (auto it = clearances.constBegin(); it != clearances.constEnd(); ++it) {
        const QString to = it.key() == number ? other.number : numbers.value(it.key(), it.key());
        if (!other.clearances.contains(to) || !sameValue(it.value(), other.clearances.value(to)))
            return false;
    }
    return true;
}

void NetClassTable::setPanelClasses(const QVector<NetClass> &classes)
{
    panel.clear();
    for (const NetClass &netClass : classes) {
        if (!netClass.number.isNull())
            panel.append(netClass);
    }
}

// Classes are taken in the board's order, which is EAGLE's order of numbers,
// so a clearance to a lower class finds that class's panel number known.
NetClassTable::Admission NetClassTable::admit(const QVector<NetClass> &classes)
{
    Admission admission;
    auto used = [this](const QString &number) {
        for (const NetClass &netClass : panel) {
            if (netClass.number == number)
                return &netClass;
        }
        return static_cast<const NetClass *>(nullptr);
    };
    for (const NetClass &netClass : classes) {
        if (netClass.number.isNull() || admission.numbers.contains(netClass.number))
            continue;
        QString number;
        const NetClass *same = used(netClass.number);
        if (!same || netClass.routesAs(*same, admission.numbers))
            number = netClass.number;
        for (int i = 0; number.isNull() && i < panel.size(); ++i) {
            if (netClass.routesAs(panel.at(i), admission.numbers))
                number = panel.at(i).number;
        }
        for (int free = 0; number.isNull() && free < limit; ++free) {
            if (!used(QString::number(free)))
                number = QString::number(free);
        }
        if (number.isNull()) {
            admission.overflow << netClass.name + QStringLiteral(" (") + netClass.number
                            + QLatin1Char(')');
            number = netClass.number;
        } else if (!used(number)) {
            NetClass joined = netClass;
            joined.number = number;
            joined.clearances.clear();
            for (auto it = netClass.clearances.constBegin(); it != netClass.clearances.constEnd();
                 ++it) {
                const QString to = it.key() == netClass.number
                        ? number
                        : admission.numbers.value(it.key(), it.key());
                joined.clearances.insert(to, it.value());
            }
            panel.append(joined);
            admission.joining << netClass.number;
        }
        admission.numbers.insert(netClass.number, number);
    }
    return admission;
}

void NetClassReader::startElement(const QStringRef &tag,
                                  const DocumentTokens::Attributes &attributes, int level)
{
    if (level == 1 && tag == QLatin1String("class")) {
        NetClass added;
        added.number = attributes.value(QLatin1String("number")).toString();
        added.name = attributes.value(QLatin1String("name")).toString();
        added.width = attributes.value(QLatin1String("width")).toString();
        added.drill = attributes.value(QLatin1String("drill")).toString();
        added.clearance = attributes.value(QLatin1String("clearance")).toString();
        // A class without a number is left out, and takes its clearances with it.
        classes.append(added.number.isNull() ? NetClass {} : added);
    } else if (level == 2 && tag == QLatin1String("clearance") && !classes.isEmpty()) {
        classes.last().clearances.insert(attributes.value(QLatin1String("class")).toString(),
                                         attributes.value(QLatin1String("value")).toString());
    }
}
