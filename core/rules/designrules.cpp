// SPDX-License-Identifier: GPL-3.0-or-later
#include "designrules.h"

#include <QLocale>
#include <QXmlStreamReader>

#include <cmath>

void DesignRules::addParam(const DocumentTokens::Attributes &attributes)
{
    const QString name = attributes.value(QLatin1String("name")).toString();
    if (!name.isEmpty() && !params.contains(name))
        params.insert(name, attributes.value(QLatin1String("value")).toString());
}

// Every parameter from the first "designrules" start tag up to the first
// such end tag, nested ones included.
DesignRules DesignRules::of(const DocumentTokens &document)
{
    const QLatin1String rulesTag("designrules");
    DesignRules rules;
    DocumentTokens::Reader reader(document);
    bool inRules = false;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType type = reader.readNext();
        if (!inRules) {
            inRules = type == QXmlStreamReader::StartElement && reader.name() == rulesTag;
        } else if (type == QXmlStreamReader::EndElement && reader.name() == rulesTag) {
            break;
        } else if (type == QXmlStreamReader::StartElement
                   && reader.name() == QLatin1String("param")) {
            rules.addParam(reader.attributes());
        }
    }
    return rules;
}

QString DesignRules::text(const QString &name, const QString &fallback) const
{
    return params.value(name, fallback);
}

double DesignRules::length(const QString &name, double fallback) const
{
    const auto found = params.constFind(name);
    return found == params.constEnd() ? fallback : ruleLength(*found, fallback);
}

double DesignRules::number(const QString &name, double fallback) const
{
    bool ok = false;
    const double value = params.value(name).trimmed().toDouble(&ok);
    return ok && std::isfinite(value) ? value : fallback;
}

double ruleLength(const QString &value, double fallback)
{
    const QString trimmed = value.trimmed();
    int unitAt = trimmed.size();
    while (unitAt > 0 && trimmed.at(unitAt - 1).isLetter())
        --unitAt;
    static const QHash<QString, double> millimetresPerUnit {{QString(), 1.0},
                                                            {QStringLiteral("mm"), 1.0},
                                                            {QStringLiteral("mil"), 0.0254},
                                                            {QStringLiteral("in"), 25.4},
                                                            {QStringLiteral("inch"), 25.4},
                                                            {QStringLiteral("mic"), 0.001}};
    const double scale = millimetresPerUnit.value(trimmed.mid(unitAt).toLower(), 0.0);
    bool ok = false;
    const double number = trimmed.left(unitAt).toDouble(&ok);
    if (!ok || scale == 0.0 || !std::isfinite(number))
        return fallback;
    return number * scale;
}

QString millimetres(double value)
{
    const double nanometres = std::round(value * 1e6);
    return QString::number(nanometres / 1e6, 'g', QLocale::FloatingPointShortest);
}
