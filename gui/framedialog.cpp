// SPDX-License-Identifier: GPL-3.0-or-later
#include "framedialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QSettings>
#include <QSpinBox>
#include <QVBoxLayout>

#include <cmath>

namespace {

// With a feature that 0 turns off, the arrows step between off and the
// least value, never into the values between.
class SettingBox : public QDoubleSpinBox
{
public:
    explicit SettingBox(const SettingLimits &limits)
        : limits(limits)
    { }

    void stepBy(int steps) override
    {
        const double before = value();
        QDoubleSpinBox::stepBy(steps);
        if (limits.offAtZero && value() > 0.0 && value() < limits.minimum)
            setValue(steps > 0 || before > limits.minimum ? limits.minimum : 0.0);
    }

private:
    const SettingLimits &limits;
};

QDoubleSpinBox *millimetreBox(const SettingLimits &limits, double value,
                              const QString &offText = QString())
{
    auto *box = new SettingBox(limits);
    box->setRange(limits.offAtZero ? 0.0 : limits.minimum, limits.maximum);
    box->setDecimals(limits.decimals);
    box->setSingleStep(limits.step);
    box->setSuffix(QStringLiteral(" mm"));
    box->setSpecialValueText(offText);
    box->setValue(limits.fitted(value));
    QObject::connect(box, &QDoubleSpinBox::editingFinished, box,
                     [box, &limits] { box->setValue(limits.fitted(box->value())); });
    return box;
}

const QString group = QStringLiteral("frame/");
const QString mouseBitesKey = QStringLiteral("mouseBites");
const QString vcutsKey = QStringLiteral("vcuts");

} // namespace

FrameDialog::FrameDialog(const FrameSettings &settings, int channel, QWidget *parent)
    : QDialog(parent)
    , house(new QComboBox)
    , separation(new QComboBox)
    , vcutLayer(new QSpinBox)
    , presetDifferences(new QLabel)
    , presetChannel(channel)
    , frameWidth(new QSpinBox)
    , tabWidth(millimetreBox(Limits::tabWidth, settings.tabWidth, QStringLiteral("no tabs")))
    , biteDrill(millimetreBox(Limits::biteDrill, settings.biteDrill))
    , bitePitch(millimetreBox(Limits::bitePitch, settings.bitePitch))
    , fiducials(new QCheckBox(QStringLiteral("Three fiducials on the rails")))
    , toolingDrill(millimetreBox(Limits::toolingDrill, settings.toolingDrill,
                                 QStringLiteral("no holes")))
    , fixedSize(new QCheckBox(QStringLiteral("Keep the panel at the set size")))
{
    setWindowTitle(QStringLiteral("Frame and Tabs"));
    frameWidth->setRange(int(Limits::frameWidth.minimum), int(Limits::frameWidth.maximum));
    frameWidth->setSuffix(QStringLiteral(" mm"));
    frameWidth->setSpecialValueText(QStringLiteral("no frame"));
    showChoices(settings);
    showSettings(settings);
    fixedSize->setChecked(settings.fixedSize);
    addFields();
    connectFields();
    showDifferences();
}

void FrameDialog::showChoices(const FrameSettings &settings)
{
    house->addItem(QStringLiteral("None"), int(BoardHouse::None));
    for (const HouseRules &rules : boardHouses())
        house->addItem(QLatin1String(rules.name), int(rules.house));
    house->setCurrentIndex(std::max(0, house->findData(int(settings.house))));
    separation->addItem(QStringLiteral("Mouse bites"), int(Separation::MouseBites));
    separation->addItem(QStringLiteral("V-cuts"), int(Separation::VCuts));
    separation->setCurrentIndex(settings.vcuts() ? 1 : 0);
    vcutLayer->setRange(int(Limits::vcutLayer.minimum), int(Limits::vcutLayer.maximum));
    vcutLayer->setValue(int(Limits::vcutLayer.fitted(settings.vcutLayer)));
    vcutLayer->setToolTip(QStringLiteral("46 is Milling, 20 the outline"));
    vcutLayer->setEnabled(settings.vcuts());
}

void FrameDialog::connectFields()
{
    connect(house, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &FrameDialog::applyHouse);
    connect(separation, QOverload<int>::of(&QComboBox::currentIndexChanged), vcutLayer,
            [this] { vcutLayer->setEnabled(separation->currentData() == int(Separation::VCuts)); });
    connect(frameWidth, QOverload<int>::of(&QSpinBox::valueChanged), this,
            &FrameDialog::showDifferences);
    for (QDoubleSpinBox *box : {tabWidth, biteDrill, bitePitch, toolingDrill})
        connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
                &FrameDialog::showDifferences);
    connect(fiducials, &QCheckBox::toggled, this, &FrameDialog::showDifferences);
}

void FrameDialog::addFields()
{
    auto *form = new QFormLayout;
    const auto addRow = [form](const char *label, QWidget *field, const char *name) {
        field->setObjectName(QLatin1String(name));
        form->addRow(QLatin1String(label), field);
    };
    addRow("Board house:", house, "boardHouse");
    addRow("Frame (rail) width:", frameWidth, "frameWidth");
    addRow("Parting:", separation, "separation");
    addRow("V-cut layer:", vcutLayer, "vcutLayer");
    addRow("Tab width:", tabWidth, "tabWidth");
    addRow("Mouse-bite drill:", biteDrill, "biteDrill");
    addRow("Mouse-bite hole pitch:", bitePitch, "bitePitch");
    addRow("", fiducials, "fiducials");
    addRow("Tooling-hole drill:", toolingDrill, "toolingDrill");
    addRow("", fixedSize, "fixedSize");
    presetDifferences->setObjectName(QStringLiteral("presetDifferences"));
    presetDifferences->setWordWrap(true);
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
    layout->addWidget(presetDifferences);
    layout->addWidget(note);
    layout->addWidget(buttons);
}

// The numbers a preset sets; how the boards come apart and the panel's
// size are the user's alone.
void FrameDialog::showSettings(const FrameSettings &settings)
{
    frameWidth->setValue(settings.frameWidth);
    tabWidth->setValue(Limits::tabWidth.fitted(settings.tabWidth));
    biteDrill->setValue(Limits::biteDrill.fitted(settings.biteDrill));
    bitePitch->setValue(Limits::bitePitch.fitted(settings.bitePitch));
    fiducials->setChecked(settings.fiducials);
    toolingDrill->setValue(Limits::toolingDrill.fitted(settings.toolingDrill));
}

// "None" keeps the numbers: the user may go on from any house's.
void FrameDialog::applyHouse()
{
    FrameSettings chosen = settings();
    applyPreset(chosen.house, chosen, presetChannel);
    showSettings(chosen);
    showDifferences();
}

void FrameDialog::showDifferences()
{
    const FrameSettings shown = settings();
    const QStringList differences = differencesFromPreset(shown, presetChannel);
    const HouseRules *rules = houseRules(shown.house);
    presetDifferences->setText(!rules || differences.isEmpty()
                                       ? QString()
                                       : QStringLiteral("Changed from the %1 preset: %2")
                                                 .arg(QLatin1String(rules->name),
                                                      differences.join(QLatin1String(", "))));
    presetDifferences->setHidden(presetDifferences->text().isEmpty());
}

FrameSettings FrameDialog::settings() const
{
    FrameSettings settings;
    settings.frameWidth = frameWidth->value();
    settings.tabWidth = Limits::tabWidth.fitted(tabWidth->value());
    settings.biteDrill = biteDrill->value();
    // Holes closer than their drill would run into one another.
    settings.bitePitch = std::max(bitePitch->value(), biteDrill->value());
    settings.fiducials = fiducials->isChecked();
    settings.toolingDrill = Limits::toolingDrill.fitted(toolingDrill->value());
    settings.fixedSize = fixedSize->isChecked();
    settings.separation = Separation(separation->currentData().toInt());
    settings.vcutLayer = vcutLayer->value();
    settings.house = BoardHouse(house->currentData().toInt());
    return settings;
}

FrameSettings storedFrameSettings()
{
    const QSettings stored;
    FrameSettings settings;
    const auto number = [&stored](const char *key, const SettingLimits &limits) {
        const QVariant value = stored.value(group + QLatin1String(key));
        bool ok = false;
        const double number = value.toDouble(&ok);
        return ok ? limits.fitted(number) : limits.defaultValue;
    };
    settings.frameWidth = int(std::lround(number("width", Limits::frameWidth)));
    settings.tabWidth = number("tabs", Limits::tabWidth);
    settings.biteDrill = number("biteDrill", Limits::biteDrill);
    settings.bitePitch = std::max(number("bitePitch", Limits::bitePitch), settings.biteDrill);
    settings.fiducials = stored.value(group + QStringLiteral("fiducials"), false).toBool();
    settings.toolingDrill = number("toolingDrill", Limits::toolingDrill);
    settings.fixedSize = stored.value(group + QStringLiteral("fixedSize"), false).toBool();
    if (stored.value(group + QStringLiteral("separation")).toString() == vcutsKey)
        settings.separation = Separation::VCuts;
    settings.vcutLayer = int(std::lround(number("vcutLayer", Limits::vcutLayer)));
    settings.house = houseOfKey(stored.value(group + QStringLiteral("house")).toString())
                             .value_or(BoardHouse::None);
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
    stored.setValue(group + QStringLiteral("separation"),
                    settings.vcuts() ? vcutsKey : mouseBitesKey);
    stored.setValue(group + QStringLiteral("vcutLayer"), settings.vcutLayer);
    const HouseRules *rules = houseRules(settings.house);
    stored.setValue(group + QStringLiteral("house"),
                    rules ? QString::fromLatin1(rules->key) : QString());
}
