// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/frame/framesettings.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;

// The frame, tab, mouse-bite, V-cut, fiducial and tooling-hole settings of
// the panel, and the board house they start from. Its fields start from the
// settings given; settings() reads them. The channel is the window's
// offset: a house's preset sets it too, so the dialog carries it.
class FrameDialog : public QDialog
{
    Q_OBJECT

public:
    FrameDialog(const FrameSettings &settings, int channel, QWidget *parent = nullptr);

    FrameSettings settings() const;
    int channel() const { return presetChannel; }

private:
    void showChoices(const FrameSettings &settings);
    void addFields();
    void connectFields();
    void showSettings(const FrameSettings &settings);
    void applyHouse();
    void showDifferences();

    QComboBox *house;
    QComboBox *separation;
    QSpinBox *vcutLayer;
    QLabel *presetDifferences;
    int presetChannel;
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
