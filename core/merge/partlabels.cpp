// SPDX-License-Identifier: GPL-3.0-or-later
#include "partlabels.h"

#include "core/board/partplacement.h"
#include "core/xml/documenttokens.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>

namespace {

const QLatin1String nameKey("name");
const QLatin1String nameLabel("NAME");
const QLatin1String displayKey("display");

QString rotationText(const Rotation &rotation)
{
    QString text;
    if (rotation.spin)
        text += QLatin1Char('S');
    if (rotation.mirror)
        text += QLatin1Char('M');
    const QString angle = millimetreText(rotation.angle, MillimetreDigits::Label);
    return text + QLatin1Char('R') + (angle == QLatin1String("360") ? QStringLiteral("0") : angle);
}

double number(const QString &text)
{
    const double value = text.toDouble();
    return std::isfinite(value) ? value : 0.0;
}

// The layer of the other side that a mirrored part's text moves to.
QString mirroredLayer(const QString &layer)
{
    static const int pairs[][2] = {{1, 16},  {21, 22}, {25, 26}, {27, 28}, {29, 30}, {31, 32},
                                   {33, 34}, {35, 36}, {37, 38}, {39, 40}, {41, 42}, {51, 52}};
    bool ok = false;
    const int number = layer.toInt(&ok);
    for (const auto &pair : pairs) {
        if (ok && number == pair[0])
            return QString::number(pair[1]);
        if (ok && number == pair[1])
            return QString::number(pair[0]);
    }
    return layer;
}

// The attributes of `from` named in `keys`, in that order, that it has.
void copyPresent(TagAttributes &to, const TagAttributes &from,
                 std::initializer_list<const char *> keys)
{
    for (const char *key : keys) {
        const QString value = from.value(QLatin1String(key));
        if (!value.isNull())
            to.append(QLatin1String(key), value);
    }
}

// Where and how a package's text stands on the board under `part`: its offset
// turned by the part's angle, then mirrored for a mirrored part, and moved to
// the part's place; its angle the sum of both; mirroring toggled and moved to
// the other side by a mirrored part; spinning if either spins.
TagAttributes placed(const TagAttributes &text, const TagAttributes &part)
{
    const Rotation partRotation = parseRotation(part.value(QLatin1String("rot")));
    const Rotation textRotation = parseRotation(text.value(QLatin1String("rot")));
    const PartPlacement placement {number(part.value(QLatin1String("x"))),
                                   number(part.value(QLatin1String("y"))), partRotation};
    const auto [x, y] = placement.map(number(text.value(QLatin1String("x"))),
                                      number(text.value(QLatin1String("y"))));
    const QString layer = text.value(QLatin1String("layer"));
    const Rotation rotation {partRotation.spin || textRotation.spin,
                             partRotation.mirror != textRotation.mirror,
                             normalisedAngle(partRotation.angle + textRotation.angle)};

    TagAttributes result;
    result.append(QStringLiteral("x"), millimetreText(x, MillimetreDigits::Label));
    result.append(QStringLiteral("y"), millimetreText(y, MillimetreDigits::Label));
    copyPresent(result, text, {"size"});
    if (!layer.isNull())
        result.append(QStringLiteral("layer"), partRotation.mirror ? mirroredLayer(layer) : layer);
    copyPresent(result, text, {"font", "ratio"});
    // A rotation of "R0" is what a board leaves out.
    const QString rot = rotationText(rotation);
    if (rot != QLatin1String("R0"))
        result.append(QStringLiteral("rot"), rot);
    copyPresent(result, text, {"align", "distance"});
    return result;
}

const LabelText *nameLabelOf(const QVector<LabelText> *labels)
{
    if (!labels)
        return nullptr;
    for (const LabelText &label : *labels) {
        if (label.text.midRef(1).compare(nameLabel, Qt::CaseInsensitive) == 0)
            return &label;
    }
    return nullptr;
}

QString labelKey(const LabelText &label)
{
    return label.text.mid(1).toUpper();
}

// The text a smashed part's visible "NAME" attribute prints: its own
// properties; those it leaves out that only the package's text has come from
// there; rotation and alignment otherwise their defaults.
LabelText nameTextOf(const TagAttributes &attribute, const TagAttributes &part,
                     const LabelText *packageLabel, const QString &printed)
{
    TagAttributes fallback;
    if (packageLabel) {
        fallback = placed(packageLabel->attributes, part);
    } else {
        const bool mirrored = parseRotation(part.value(QLatin1String("rot"))).mirror;
        fallback.append(QStringLiteral("x"), part.value(QLatin1String("x")));
        fallback.append(QStringLiteral("y"), part.value(QLatin1String("y")));
        fallback.append(QStringLiteral("size"), QStringLiteral("1.778"));
        fallback.append(QStringLiteral("layer"),
                        mirrored ? QStringLiteral("26") : QStringLiteral("25"));
    }
    LabelText text;
    text.text = printed;
    for (const char *key : {"x", "y", "size", "layer", "font", "ratio"}) {
        const QString own = attribute.value(QLatin1String(key));
        const QString value = own.isNull() ? fallback.value(QLatin1String(key)) : own;
        if (!value.isNull())
            text.attributes.append(QLatin1String(key), value);
    }
    copyPresent(text.attributes, attribute, {"rot", "align"});
    copyPresent(text.attributes, fallback, {"distance"});
    return text;
}

// Whether an attribute child of a part prints the part's name: its "NAME"
// shown as its value, or as key and value, but not hidden or as its key.
bool printsName(const TagAttributes &attribute)
{
    const QString display = attribute.value(displayKey);
    return attribute.value(nameKey) == nameLabel && display != QLatin1String("off")
            && display != QLatin1String("name");
}

// What such an attribute prints of the name.
QString printedName(const TagAttributes &attribute, const QString &name)
{
    return attribute.value(displayKey) == QLatin1String("both") ? QStringLiteral("NAME = ") + name
                                                                : name;
}

Relabelling relabelSmashed(const TagAttributes &part, const QVector<TagAttributes> &attributes,
                           const QVector<LabelText> *labels)
{
    Relabelling result;
    result.hideNames = true;
    const QString name = part.value(nameKey);
    for (const TagAttributes &attribute : attributes) {
        if (printsName(attribute))
            result.texts.append(
                    nameTextOf(attribute, part, nameLabelOf(labels), printedName(attribute, name)));
    }
    return result;
}

Relabelling smashed(const TagAttributes &part, const QVector<TagAttributes> &attributes,
                    const QVector<LabelText> &labels)
{
    Relabelling result;
    result.smash = true;
    for (const LabelText &label : labels) {
        const QString key = labelKey(label);
        const TagAttributes place = placed(label.attributes, part);
        TagAttributes attribute;
        attribute.append(QStringLiteral("name"), key);
        for (const TagAttributes &existing : attributes) {
            if (existing.value(nameKey) == key && existing.has(QLatin1String("value"))) {
                attribute.append(QStringLiteral("value"), existing.value(QLatin1String("value")));
                break;
            }
        }
        copyPresent(attribute, place, {"x", "y", "size", "layer", "font", "ratio", "rot"});
        if (key == nameLabel) {
            attribute.append(QStringLiteral("display"), QStringLiteral("off"));
            result.texts.append({place, part.value(nameKey)});
        }
        copyPresent(attribute, place, {"align"});
        result.labels.append(attribute);
    }
    return result;
}

} // namespace

QString TagAttributes::value(QLatin1String name) const
{
    for (const Item &item : items) {
        if (item.first == name)
            return item.second.isNull() ? QString(QLatin1String("")) : item.second;
    }
    return QString();
}

void PackageLabels::add(const QString &library, const QString &package, const LabelText &label)
{
    // No name holds U+0000, which XML cannot carry.
    labels[library + QChar(0) + package].append(label);
}

const QVector<LabelText> *PackageLabels::find(const QString &library, const QString &package) const
{
    const auto found = labels.constFind(library + QChar(0) + package);
    return found == labels.constEnd() ? nullptr : &*found;
}

bool isLabelText(const QString &text)
{
    return text.size() > 1 && text.at(0) == QLatin1Char('>');
}

bool Relabelling::replaces(const TagAttributes &attribute) const
{
    const QString name = attribute.value(nameKey);
    return smash && std::any_of(labels.begin(), labels.end(), [&](const TagAttributes &label) {
               return label.value(nameKey) == name;
           });
}

bool Relabelling::hides(const TagAttributes &attribute) const
{
    return hideNames && printsName(attribute);
}

Relabelling relabel(const TagAttributes &part, const QVector<TagAttributes> &attributes,
                    const QVector<LabelText> *labels)
{
    if (part.value(QLatin1String("smashed")) == QLatin1String("yes"))
        return relabelSmashed(part, attributes, labels);
    if (!nameLabelOf(labels))
        return Relabelling(); // the part prints no name
    return smashed(part, attributes, *labels);
}
