// SPDX-License-Identifier: GPL-3.0-or-later
#include "formfont.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>

namespace {

constexpr int smallestPixelSize = 6;
// QLineEdit keeps this many pixels clear on either side of its text.
constexpr int lineEditSideMargin = 2;

QSize labelRoom(const QLabel &label)
{
    // A positive indent applies to the side the text is aligned to.
    const int margins = 2 * label.margin();
    const int indent = std::max(label.indent(), 0);
    return label.contentsRect().size() - QSize(margins + indent, margins);
}

// The spin box's edit field as the style lays it out at the box's size, less
// what its line edit keeps clear around the text and the cursor's width
// after the last character: a wider text scrolls out of sight.
QSize valueRoom(const QSpinBox &box)
{
    const QStyle *style = box.style();
    QStyleOptionSpinBox spinOption;
    spinOption.initFrom(&box);
    spinOption.rect = QRect(QPoint(), box.size());
    spinOption.frame = box.hasFrame();
    spinOption.buttonSymbols = box.buttonSymbols();
    spinOption.subControls = QStyle::SC_SpinBoxFrame | QStyle::SC_SpinBoxEditField;
    if (box.buttonSymbols() != QAbstractSpinBox::NoButtons)
        spinOption.subControls |= QStyle::SC_SpinBoxUp | QStyle::SC_SpinBoxDown;
    const QRect field = style->subControlRect(QStyle::CC_SpinBox, &spinOption,
                                              QStyle::SC_SpinBoxEditField, &box);

    const QLineEdit *edit = box.findChild<const QLineEdit *>();
    if (!edit)
        return field.size();
    QStyleOptionFrame editOption;
    editOption.initFrom(edit);
    editOption.rect = QRect(QPoint(), field.size());
    editOption.lineWidth = edit->hasFrame()
            ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &editOption, edit)
            : 0;
    const QRect text = style->subElementRect(QStyle::SE_LineEditContents, &editOption, edit)
                               .marginsRemoved(edit->textMargins());
    const int cursor = style->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, edit);
    return QSize(text.width() - 2 * lineEditSideMargin - cursor, text.height());
}

// The text QSpinBox shows for `value`.
QString valueText(const QSpinBox &box, int value)
{
    QString number = box.displayIntegerBase() == 10
            ? box.locale().toString(value)
            : QString::number(value, box.displayIntegerBase());
    if (!box.isGroupSeparatorShown())
        number.remove(box.locale().groupSeparator());
    return box.prefix() + number + box.suffix();
}

bool allFit(const QFont &font, const QVector<TextRoom> &texts)
{
    const QFontMetrics metrics(font);
    return std::all_of(texts.begin(), texts.end(), [&metrics](const TextRoom &text) {
        const QSize size = text.widget == TextRoom::Label
                ? metrics.size(0, text.text)
                : QSize(metrics.horizontalAdvance(text.text), metrics.height());
        return size.width() <= text.room.width() && size.height() <= text.room.height();
    });
}

} // namespace

QVector<TextRoom> textRooms(const QWidget &form)
{
    QVector<TextRoom> texts;
    const QList<QLabel *> labels = form.findChildren<QLabel *>();
    for (const QLabel *label : labels)
        texts.append({label->text(), labelRoom(*label), TextRoom::Label});
    const QList<QSpinBox *> boxes = form.findChildren<QSpinBox *>();
    for (const QSpinBox *box : boxes) {
        const QSize room = valueRoom(*box);
        texts.append({valueText(*box, box->minimum()), room, TextRoom::LineEdit});
        texts.append({valueText(*box, box->maximum()), room, TextRoom::LineEdit});
        if (!box->specialValueText().isEmpty())
            texts.append({box->specialValueText(), room, TextRoom::LineEdit});
    }
    return texts;
}

QFont fittingFont(const QFont &platformFont, QVector<TextRoom> texts)
{
    QFont smallest = platformFont;
    smallest.setPixelSize(smallestPixelSize);
    // A text cut even in the smallest legible font is cut in any font; it
    // must not make every other text smaller too.
    texts.erase(
            std::remove_if(texts.begin(), texts.end(),
                           [&smallest](const TextRoom &text) { return !allFit(smallest, {text}); }),
            texts.end());
    if (allFit(platformFont, texts))
        return platformFont;
    // Every pixel size renders differently, so each one below the
    // platform's is a candidate, the largest first.
    QFont font = platformFont;
    for (int pixels = QFontInfo(platformFont).pixelSize() - 1; pixels > smallestPixelSize;
         --pixels) {
        font.setPixelSize(pixels);
        if (allFit(font, texts))
            return font;
    }
    return smallest;
}
