// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>
#include <QSize>
#include <QString>
#include <QVector>

class QWidget;

// One text a fixed form must show whole, and the room its widget leaves for
// it in pixels.
struct TextRoom
{
    // A label needs the text's bounding rectangle, rounded up; a line edit
    // sets its cursor after the last character at the text's advance,
    // rounded to the nearest pixel, and needs room up to there.
    enum Widget { Label, LineEdit };

    QString text;
    QSize room;
    Widget widget = Label;
};

// The texts of `form` that must show whole: each label's text in its
// contents rectangle, and each spin box's widest value (its minimum or its
// maximum, with prefix and suffix) in the text area of its edit field.
QVector<TextRoom> textRooms(const QWidget &form);

// The largest font, no larger than `platformFont`, in which every text fits
// its room; `platformFont` itself when they all fit in it. A form with fixed
// geometry can only give way in its font. Below 6 pixels nothing is legible
// any more: the search stops there, and a text that does not fit even in 6
// pixels is left out of it.
QFont fittingFont(const QFont &platformFont, QVector<TextRoom> texts);
