// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>

#include <map>

// What a board's packages hold of one kind (outline, copper), found for a
// part by library, library URN and package name (EAGLE 9 tells apart
// libraries of the same name by their URN), or for a part that names no URN
// by the first library of the name whose package holds any.
template<typename Drawing>
class PackageLookup
{
public:
    // The entry of a package, made when first asked for.
    Drawing &entry(const QString &library, const QString &urn, const QString &package)
    {
        const QString key = keyOf(library, urn, package);
        const QString byName = keyOf(library, QString(), package);
        if (!keyByName.contains(byName))
            keyByName.insert(byName, key);
        return drawings[key];
    }

    // `Attributes`: a start tag's, of DocumentTokens or QXmlStreamReader.
    template<typename Attributes>
    const Drawing *placedBy(const Attributes &part) const
    {
        const QString urn = part.value(QLatin1String("library_urn")).toString();
        QString key = keyOf(part.value(QLatin1String("library")).toString(), urn,
                            part.value(QLatin1String("package")).toString());
        if (urn.isEmpty() && !drawings.count(key))
            key = keyByName.value(key);
        const auto found = drawings.find(key);
        return found == drawings.end() ? nullptr : &found->second;
    }

private:
    // No name holds U+0000, which XML cannot carry.
    static QString keyOf(const QString &library, const QString &urn, const QString &package)
    {
        return library + QChar(0) + urn + QChar(0) + package;
    }

    std::map<QString, Drawing> drawings; // its values never move
    QHash<QString, QString> keyByName;
};
