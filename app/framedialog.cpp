// SPDX-License-Identifier: GPL-3.0-or-later
#include "framedialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QDoubleSpinBox *millimetreBox(double minimum, double maximum, double step, double value,
                              const QString &offText = QString())
{
    auto *box = new QDoubleSpinBox;
    box->setRange(minimum, maximum);
    box->setDecimals(2);
    box->setSingleStep(step);
    box->setSuffix(QStringLiteral(" mm"));
    box->setSpecialValueText(offText);
    box->setValue(value);
    return box;
}

const QString group = QStringLiteral("frame/");

} // namespace

FrameDialog::FrameDialog(const FrameSettings &settings, QWidget *parent)
    : QDialog(parent)
    , frameWidth(new QSpinBox)
    , tabWidth(millimetreBox(0.0, FrameLimits::maxTabWidth, 0.5, settings.tabWidth,
                             QStringLiteral("no tabs")))
    , biteDrill(millimetreBox(FrameLimits::minBiteDrill, FrameLimits::maxBiteDrill, 0.05,
                              settings.biteDrill))
    , bitePitch(millimetreBox(FrameLimits::minBiteDrill, 2 * FrameLimits::maxBiteDrill, 0.05,
                              settings.bitePitch))
    , fiducials(new QCheckBox(QStringLiteral("Three fiducials on the rails")))
    , toolingDrill(millimetreBox(0.0, FrameLimits::maxToolingDrill, 0.1, settings.toolingDrill,
                                 QStringLiteral("no holes")))
    , fixedSize(new QCheckBox(QStringLiteral("Keep the panel at the set size")))
{
    setWindowTitle(QStringLiteral("Frame and Tabs"));
    frameWidth->setRange(0, FrameLimits::maxFrameWidth);
    frameWidth->setSuffix(QStringLiteral(" mm"));
    frameWidth->setSpecialValueText(QStringLiteral("no frame"));
    frameWidth->setValue(settings.frameWidth);
    fiducials->setChecked(settings.fiducials);
    fixedSize->setChecked(settings.fixedSize);
    frameWidth->setObjectName(QStringLiteral("frameWidth"));
    tabWidth->setObjectName(QStringLiteral("tabWidth"));
    biteDrill->setObjectName(QStringLiteral("biteDrill"));
    bitePitch->setObjectName(QStringLiteral("bitePitch"));
    fiducials->setObjectName(QStringLiteral("fiducials"));
    toolingDrill->setObjectName(QStringLiteral("toolingDrill"));
    fixedSize->setObjectName(QStringLiteral("fixedSize"));

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("Frame (rail) width:"), frameWidth);
    form->addRow(QStringLiteral("Tab width:"), tabWidth);
    form->addRow(QStringLiteral("Mouse-bite drill:"), biteDrill);
    form->addRow(QStringLiteral("Mouse-bite hole pitch:"), bitePitch);
    form->addRow(QString(), fiducials);
    form->addRow(QStringLiteral("Tooling-hole drill:"), toolingDrill);
    form->addRow(QString(), fixedSize);
    auto *note = new QLabel(QStringLiteral(
            "The minimum offset becomes the routing channel between the boards and along the "
            "rails; board houses route with 2 mm tools. With rails, the panel takes only the "
            "room its boards need, at most the set size."));
    note->setWordWrap(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

FrameSettings FrameDialog::settings() const
{
    FrameSettings settings;
    settings.frameWidth = frameWidth->value();
    settings.tabWidth = tabWidth->value();
    settings.biteDrill = biteDrill->value();
    // Holes closer than their drill would run into one another.
    settings.bitePitch = std::max(bitePitch->value(), biteDrill->value());
    settings.fiducials = fiducials->isChecked();
    settings.toolingDrill = toolingDrill->value();
    settings.fixedSize = fixedSize->isChecked();
    return settings;
}

FrameSettings storedFrameSettings()
{
    const QSettings stored;
    FrameSettings settings;
    const auto number = [&stored](const char *key, double fallback, double low, double high) {
        const double value = stored.value(group + QLatin1String(key), fallback).toDouble();
        return value >= low && value <= high ? value : fallback;
    };
    settings.frameWidth = int(number("width", settings.frameWidth, 0, FrameLimits::maxFrameWidth));
    settings.tabWidth = number("tabs", settings.tabWidth, 0, FrameLimits::maxTabWidth);
    settings.biteDrill = number("biteDrill", settings.biteDrill, FrameLimits::minBiteDrill,
                                FrameLimits::maxBiteDrill);
    settings.bitePitch = number("bitePitch", settings.bitePitch, settings.biteDrill,
                                2 * FrameLimits::maxBiteDrill);
    settings.fiducials = stored.value(group + QStringLiteral("fiducials"), false).toBool();
    settings.toolingDrill =
            number("toolingDrill", settings.toolingDrill, 0, FrameLimits::maxToolingDrill);
    settings.fixedSize = stored.value(group + QStringLiteral("fixedSize"), false).toBool();
    return settings;
}

void storeFrameSettings(const FrameSettings &settings)
{
    QSettings stored;
    stored.setValue(group + QStringLiteral("width"), settings.frameWidth);
    stored.setValue(group + QStringLiteral("tabs"), settings.tabWidth);
    stored.setValue(group + QStringLiteral("biteDrill"), settings.biteDrill);
    stored.setValue(group + QStringLiteral("bitePitch"), settings.bitePitch);
    stored.setValue(group + QStringLiteral("fiducials"), settings.fiducials);
    stored.setValue(group + QStringLiteral("toolingDrill"), settings.toolingDrill);
    stored.setValue(group + QStringLiteral("fixedSize"), settings.fixedSize);
}
