// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/formfont.h"
#include "gui/tavolin.h"

#include <QActionGroup>
#include <QDockWidget>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QtTest>

class TestForm : public QObject
{
    Q_OBJECT

private slots:
    void geometry_data();
    void geometry();
    void texts_data();
    void texts();
    void spinBoxes_data();
    void spinBoxes();
    void everyTextShowsWhole_data();
    void everyTextShowsWhole();
    void textThatFitsNoFontLeavesTheOthersAlone();
    void makePanelCaptionReadsDownwards();
    void barsAndListsAtStart();
    void panelDockUnderTheForm();
    void slotsAreTheThreeButtons();
    void eachButtonIsConnectedToItsSlot_data();
    void eachButtonIsConnectedToItsSlot();
};

void TestForm::geometry_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("className");
    QTest::addColumn<QRect>("rect");
    const struct
    {
        const char *name;
        const char *className;
        QRect rect;
    } rows[] = {
            {"label", "QLabel", {10, 10, 141, 16}},
            {"loadButton", "QPushButton", {10, 230, 121, 23}},
            {"deleteButton", "QPushButton", {144, 230, 121, 23}},
            {"label_2", "QLabel", {270, 10, 101, 16}},
            {"label_3", "QLabel", {540, 10, 151, 16}},
            {"label_4", "QLabel", {540, 40, 71, 16}},
            {"label_5", "QLabel", {540, 60, 71, 16}},
            {"label_6", "QLabel", {540, 80, 71, 16}},
            {"panelHeightBox", "QSpinBox", {620, 40, 42, 22}},
            {"panelWidthBox", "QSpinBox", {620, 60, 42, 22}},
            {"offsetBox", "QSpinBox", {620, 80, 42, 22}},
            {"label_7", "QLabel", {670, 40, 47, 13}},
            {"label_8", "QLabel", {670, 60, 47, 13}},
            {"label_9", "QLabel", {670, 80, 47, 13}},
            {"listBrdFiles", "QListView", {10, 30, 256, 192}},
            {"listSizes", "QListView", {270, 30, 256, 192}},
            {"makePanel", "QPushButton", {740, 10, 31, 241}},
    };
    for (const auto &row : rows)
        QTest::newRow(row.name) << QString::fromLatin1(row.name)
                                << QString::fromLatin1(row.className) << row.rect;
}

void TestForm::geometry()
{
    QFETCH(QString, name);
    QFETCH(QString, className);
    QFETCH(QRect, rect);
    Tavolin window;
    // The form's 779 x 312 and the Panel dock under it.
    QCOMPARE(window.size(), QSize(779, 632));
    auto *widget = window.findChild<QWidget *>(name);
    QVERIFY(widget);
    QCOMPARE(QString::fromLatin1(widget->metaObject()->className()), className);
    QCOMPARE(widget->parentWidget(), window.centralWidget());
    QCOMPARE(widget->geometry(), rect);
}

void TestForm::texts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("label") << "label"
                           << "Using the following .brd files";
    QTest::newRow("loadButton") << "loadButton"
                                << "Load";
    QTest::newRow("deleteButton") << "deleteButton"
                                  << "Delete";
    QTest::newRow("label_2") << "label_2"
                             << "of the following sizes";
    QTest::newRow("label_3") << "label_3"
                             << "to make a Panel of Sizes :";
    QTest::newRow("label_4") << "label_4"
                             << "Panel - Height";
    QTest::newRow("label_5") << "label_5"
                             << "Panel - Width";
    QTest::newRow("label_6 ends in a blank") << "label_6"
                                             << "Min Offset ";
    QTest::newRow("label_7") << "label_7"
                             << "mm";
    QTest::newRow("label_8") << "label_8"
                             << "mm";
    QTest::newRow("label_9") << "label_9"
                             << "mm";
}

void TestForm::texts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    Tavolin window;
    QCOMPARE(window.windowTitle(), QStringLiteral("Tavolin"));
    auto *widget = window.findChild<QWidget *>(name);
    QVERIFY(widget);
    if (auto *label = qobject_cast<QLabel *>(widget))
        QCOMPARE(label->text(), text);
    else
        QCOMPARE(qobject_cast<QAbstractButton *>(widget)->text(), text);
}

void TestForm::spinBoxes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("maximum");
    // A panel made without the window takes by default what the form starts
    // with, and only what the form lets through.
    QTest::addColumn<int>("numbersStart");
    QTest::addColumn<int>("numbersMinimum");
    QTest::addColumn<int>("numbersMaximum");
    const PanelNumbers numbers;
    const SettingLimits side = Limits::panelWidth, offset = Limits::offset;
    QTest::newRow("panel height") << "panelHeightBox" << 80 << 300 << numbers.height
                                  << int(side.minimum) << int(side.maximum);
    QTest::newRow("panel width") << "panelWidthBox" << 160 << 300 << numbers.width
                                 << int(side.minimum) << int(side.maximum);
    QTest::newRow("offset") << "offsetBox" << 5 << 50 << numbers.offset << int(offset.minimum)
                            << int(offset.maximum);
}

void TestForm::spinBoxes()
{
    QFETCH(QString, name);
    QFETCH(int, start);
    QFETCH(int, maximum);
    Tavolin window;
    auto *box = window.findChild<QSpinBox *>(name);
    QVERIFY(box);
    QCOMPARE(box->value(), start);
    QCOMPARE(box->minimum(), 0);
    QCOMPARE(box->maximum(), maximum);
    QCOMPARE(box->singleStep(), 1);
    QTEST(box->value(), "numbersStart");
    QTEST(box->minimum(), "numbersMinimum");
    QTEST(box->maximum(), "numbersMaximum");
    QVERIFY(box->prefix().isEmpty() && box->suffix().isEmpty());

    // The limits hold against typed input too.
    box->selectAll();
    QTest::keyClicks(box, QString::number(maximum + 1));
    QVERIFY(box->value() <= maximum);
    box->setValue(-1);
    QCOMPARE(box->value(), 0);
}

namespace {

// The form's widgets whose text does not show whole: a label that needs more
// than its rectangle, or a spin box whose largest value scrolls in its edit
// field or does not fit its height. Sets each spin box to its maximum.
QStringList cutTexts(Tavolin &window)
{
    QStringList cut;
    const QList<QLabel *> labels = window.centralWidget()->findChildren<QLabel *>();
    const QList<QSpinBox *> boxes = window.centralWidget()->findChildren<QSpinBox *>();
    if (labels.size() != 9 || boxes.size() != 3)
        return {QStringLiteral("form has %1 labels, %2 spin boxes")
                        .arg(labels.size())
                        .arg(boxes.size())};
    for (const QLabel *label : labels) {
        const QSize needed = label->sizeHint();
        if (needed.width() > label->width() || needed.height() > label->height())
            cut << label->objectName();
    }
    for (QSpinBox *box : boxes) {
        box->setValue(box->maximum());
        auto *edit = box->findChild<QLineEdit *>();
        // The line edit scrolls when it paints: the cursor moves from the
        // first character to behind the last by the text's whole width only
        // when nothing scrolled out of sight.
        const auto cursorAt = [edit](bool end) {
            end ? edit->end(false) : edit->home(false);
            edit->grab();
            return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        };
        const QRect first = cursorAt(false);
        const QRect last = cursorAt(true);
        const QFontMetrics metrics = edit->fontMetrics();
        if (last.center().x() - first.center().x() != metrics.horizontalAdvance(edit->text())
            || last.center().x() >= edit->width() || first.top() < 0
            || first.top() + metrics.height() > edit->height())
            cut << box->objectName();
    }
    return cut;
}

} // namespace

void TestForm::everyTextShowsWhole_data()
{
    QTest::addColumn<QFont>("applicationFont");
    const QFont platform = QApplication::font();
    QTest::newRow("platform font") << platform;
    QFont large = platform;
    large.setPointSize(24);
    QTest::newRow("large application font") << large;
    QFont small = platform;
    small.setPixelSize(8);
    QTest::newRow("small application font, kept") << small;
    QTest::newRow("monospaced, 11 pt") << QFont(QStringLiteral("DejaVu Sans Mono"), 11);
    QFont serif(QStringLiteral("DejaVu Serif"));
    serif.setPixelSize(15);
    QTest::newRow("serif, 15 px") << serif;
}

void TestForm::everyTextShowsWhole()
{
    QFETCH(QFont, applicationFont);
    const QFont platform = QApplication::font();
    QApplication::setFont(applicationFont);
    const auto restore = qScopeGuard([&platform] { QApplication::setFont(platform); });
    Tavolin window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QStringList cut = cutTexts(window);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));

    // The largest such font, never larger than the application's.
    const int chosen = QFontInfo(window.font()).pixelSize();
    const int own = QFontInfo(applicationFont).pixelSize();
    QVERIFY(chosen <= own);
    if (chosen == own)
        return;
    QFont larger = window.font();
    larger.setPixelSize(chosen + 1);
    window.setFont(larger);
    QVERIFY(!cutTexts(window).isEmpty());
}

void TestForm::textThatFitsNoFontLeavesTheOthersAlone()
{
    // As a spin box whose buttons grow with a high font DPI leaves its
    // value almost no room.
    Tavolin window;
    const QVector<TextRoom> texts = textRooms(*window.centralWidget());
    QVector<TextRoom> withHopeless = texts;
    withHopeless.append({QStringLiteral("300"), QSize(4, 16), TextRoom::LineEdit});
    const QFont platform = QApplication::font();
    const QFont font = fittingFont(platform, texts);
    QVERIFY(QFontInfo(font).pixelSize() > 6);
    QCOMPARE(fittingFont(platform, withHopeless), font);
}

void TestForm::makePanelCaptionReadsDownwards()
{
    Tavolin window;
    auto *button = window.findChild<QPushButton *>(QStringLiteral("makePanel"));
    QVERIFY(button);
    const QStringList lines = button->text().split(QLatin1Char('\n'));
    QCOMPARE(lines, QStringList({"M", "A", "K", "E", "", "P", "A", "N", "E", "L"}));
}

void TestForm::barsAndListsAtStart()
{
    Tavolin window;
    QCOMPARE(window.menuBar()->objectName(), QStringLiteral("menuBar"));
    QCOMPARE(window.menuBar()->geometry(), QRect(0, 0, 779, 21));
    // The menu bar holds the Edit, Panel and View menus, each opened by its
    // letter with Alt.
    const QList<QAction *> menus = window.menuBar()->actions();
    QStringList titles;
    QList<QStringList> items;
    for (const QAction *menu : menus) {
        titles << menu->text();
        QVERIFY(menu->menu());
        QStringList texts;
        for (const QAction *item : menu->menu()->actions())
            texts << item->text();
        items << texts;
    }
    QCOMPARE(titles, QStringList({"&Edit", "&Panel", "&View"}));
    QCOMPARE(items,
             QList<QStringList>({{"Duplicate Board", "Turn Board"},
                                 {"Frame and Tabs…", "Fill With Selected Board", "Save Preview…",
                                  "", "Rows in Load Order", "Packed"},
                                 {"Panel"}}));
    QCOMPARE(menus.first()->menu()->actions().first()->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_D));
    QCOMPARE(menus.first()->menu()->actions().last()->shortcut(),
             QKeySequence(Qt::CTRL | Qt::Key_R));
    // Rows in load order at first, and one arrangement at a time.
    const QList<QAction *> arrangements = menus.at(1)->menu()->actions().mid(4);
    QVERIFY(arrangements.first()->isChecked() && !arrangements.last()->isChecked());
    const QActionGroup *group = arrangements.first()->actionGroup();
    QVERIFY(group && group->isExclusive() && group->actions() == arrangements);
    auto *toolBar = window.findChild<QToolBar *>(QStringLiteral("mainToolBar"));
    QVERIFY(toolBar);
    QCOMPARE(toolBar->parentWidget(), &window);
    QCOMPARE(window.toolBarArea(toolBar), Qt::TopToolBarArea);
    QVERIFY(toolBar->actions().isEmpty());
    QCOMPARE(window.statusBar()->objectName(), QStringLiteral("statusBar"));
    QVERIFY(window.statusBar()->currentMessage().isEmpty());
    QCOMPARE(window.centralWidget()->objectName(), QStringLiteral("centralWidget"));
    for (const char *name : {"listBrdFiles", "listSizes"}) {
        const auto *list = window.findChild<QListView *>(QLatin1String(name));
        QVERIFY(list);
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(list->selectionMode(), QAbstractItemView::SingleSelection);
    }
    QCOMPARE(window.objectName(), QStringLiteral("Tavolin"));
}

void TestForm::panelDockUnderTheForm()
{
    Tavolin window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *dock = window.findChild<QDockWidget *>(QStringLiteral("panelDock"));
    QVERIFY(dock);
    QCOMPARE(dock->windowTitle(), QStringLiteral("Panel"));
    QCOMPARE(window.dockWidgetArea(dock), Qt::BottomDockWidgetArea);
    QVERIFY(dock->geometry().top() > window.centralWidget()->geometry().bottom());
    // The form keeps the room it had in a window of 312 pixels.
    const auto *toolBar = window.findChild<QToolBar *>(QStringLiteral("mainToolBar"));
    QCOMPARE(window.menuBar()->height() + toolBar->height() + window.centralWidget()->height()
                     + window.statusBar()->height(),
             312);
    const QList<QAction *> menus = window.menuBar()->actions();
    QAction *showPanel = menus.last()->menu()->actions().value(0);
    QVERIFY(showPanel);
    dock->close();
    QVERIFY(dock->isHidden() && !showPanel->isChecked());
    showPanel->trigger();
    QVERIFY(dock->isVisible());
    QVERIFY(window.findChild<QWidget *>(QStringLiteral("panelView"))->isVisible());
    QVERIFY(window.findChild<QWidget *>(QStringLiteral("leftOutList"))->isHidden());
}

void TestForm::slotsAreTheThreeButtons()
{
    const QMetaObject &meta = Tavolin::staticMetaObject;
    QCOMPARE(QString::fromLatin1(meta.className()), QStringLiteral("Tavolin"));
    QStringList slotNames;
    for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
        const QMetaMethod method = meta.method(i);
        QCOMPARE(method.methodType(), QMetaMethod::Slot);
        QCOMPARE(method.access(), QMetaMethod::Public);
        QCOMPARE(method.parameterCount(), 0);
        slotNames << QString::fromLatin1(method.name());
    }
    QCOMPARE(slotNames,
             QStringList(
                     {"on_loadButton_clicked", "on_deleteButton_clicked", "on_makePanel_clicked"}));
    QCOMPARE(meta.propertyCount(), meta.propertyOffset());
    QCOMPARE(meta.enumeratorCount(), meta.enumeratorOffset());
    QCOMPARE(meta.classInfoCount(), meta.classInfoOffset());
}

void TestForm::eachButtonIsConnectedToItsSlot_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("slot");
    QTest::newRow("load") << "loadButton"
                          << "on_loadButton_clicked()";
    QTest::newRow("delete") << "deleteButton"
                            << "on_deleteButton_clicked()";
    QTest::newRow("make panel") << "makePanel"
                                << "on_makePanel_clicked()";
}

void TestForm::eachButtonIsConnectedToItsSlot()
{
    QFETCH(QString, button);
    QFETCH(QString, slot);
    Tavolin window;
    auto *pushButton = window.findChild<QPushButton *>(button);
    QVERIFY(pushButton);
    // connectSlotsByName made exactly one connection from this button to
    // its slot: the first disconnect finds it, a second finds none.
    const QMetaMethod clicked = QMetaMethod::fromSignal(&QAbstractButton::clicked);
    const int slotIndex = window.metaObject()->indexOfSlot(slot.toLatin1().constData());
    QVERIFY(slotIndex >= 0);
    const QMetaMethod slotMethod = window.metaObject()->method(slotIndex);
    QVERIFY(QObject::disconnect(pushButton, clicked, &window, slotMethod));
    QVERIFY(!QObject::disconnect(pushButton, clicked, &window, slotMethod));
}

QTEST_MAIN(TestForm)
#include "tst_form.moc"
