// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDockWidget>

class PanelPicture;
class PanelView;
class QLabel;

// The dock that shows the panel before it is made: its picture and, under
// it, the boards the panel leaves out and why.
class PanelPane : public QDockWidget
{
    Q_OBJECT

public:
    explicit PanelPane(QWidget *parent = nullptr);

    PanelView *view() const { return panelView; }
    void showPicture(const PanelPicture &picture);

private:
    PanelView *panelView;
    QLabel *leftOut;
};

// A line for each board left out or that keeps the panel from V-cuts,
// "row  file: why", one for each rail feature left out, and one for each
// limit of the board house the panel breaks, "Board house: what".
QStringList leftOutLines(const PanelPicture &picture);
