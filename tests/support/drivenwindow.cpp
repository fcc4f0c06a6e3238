// SPDX-License-Identifier: GPL-3.0-or-later
#include "drivenwindow.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

namespace {

QStringList rowTexts(const QListView *list)
{
    QStringList texts;
    const QAbstractItemModel *model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, list->modelColumn()).data().toString();
    return texts;
}

} // namespace

QListView *DrivenWindow::files()
{
    return tavolin.findChild<QListView *>(QStringLiteral("listBrdFiles"));
}

QListView *DrivenWindow::sizes()
{
    return tavolin.findChild<QListView *>(QStringLiteral("listSizes"));
}

QStringList DrivenWindow::fileRows()
{
    return rowTexts(files());
}

QStringList DrivenWindow::sizeRows()
{
    return rowTexts(sizes());
}

void DrivenWindow::choose(QListView *list, int row)
{
    list->setCurrentIndex(list->model()->index(row, list->modelColumn()));
}

void DrivenWindow::click(const char *button)
{
    auto *pushButton = tavolin.findChild<QPushButton *>(QLatin1String(button));
    QVERIFY(pushButton);
    QTest::mouseClick(pushButton, Qt::LeftButton);
}

void DrivenWindow::typeInto(const char *spinBox, int value)
{
    auto *box = tavolin.findChild<QSpinBox *>(QLatin1String(spinBox));
    QVERIFY(box);
    box->selectAll();
    QTest::keyClicks(box, QString::number(value));
    QTest::keyClick(box, Qt::Key_Enter);
    QCOMPARE(box->value(), value);
}

void DrivenWindow::load(const QString &path)
{
    script.chooseFile(path);
    click("loadButton");
}

void DrivenWindow::makePanel(const QString &path, int messages)
{
    script.chooseFile(path);
    if (QFileInfo::exists(path)) {
        // The save dialog asks before it replaces a file; the user says yes.
        script.answer([](QWidget *modal) {
            auto *question = qobject_cast<QMessageBox *>(modal);
            if (question && question->button(QMessageBox::Yes))
                question->button(QMessageBox::Yes)->click();
            else
                modal->close();
        });
    }
    for (int i = 0; i < messages; ++i)
        script.dismissMessage();
    click("makePanel");
}
