// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/frame/framesettings.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QSpinBox;

// The frame, tab, mouse-bite, fiducial and tooling-hole settings of the
// panel. Its fields start from the settings given; settings() reads them.
class FrameDialog : public QDialog
{
    Q_OBJECT

public:
    explicit FrameDialog(const FrameSettings &settings, QWidget *parent = nullptr);

    FrameSettings settings() const;

private:
    QSpinBox *frameWidth;
    QDoubleSpinBox *tabWidth;
    QDoubleSpinBox *biteDrill;
    QDoubleSpinBox *bitePitch;
    QCheckBox *fiducials;
    QDoubleSpinBox *toolingDrill;
    QCheckBox *fixedSize;
};

// The settings as the last run left them; the defaults the first time.
FrameSettings storedFrameSettings();
void storeFrameSettings(const FrameSettings &settings);
