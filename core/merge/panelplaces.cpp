// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelplaces.h"

namespace {

const QLatin1String tags[placeCount] = {
        QLatin1String("plain"),   QLatin1String("libraries"), QLatin1String("elements"),
        QLatin1String("signals"), QLatin1String("classes"),   QLatin1String("layers"),
};

} // namespace

QLatin1String placeTag(int place)
{
    return tags[place];
}

QLatin1String tableEntryTag(int place)
{
    return place == int(Place::Classes) ? QLatin1String("class") : QLatin1String("layer");
}

int placeOf(const QStringRef &tag)
{
    for (int place = 0; place < placeCount; ++place) {
        if (tag == tags[place])
            return place;
    }
    return -1;
}
