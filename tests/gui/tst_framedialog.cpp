// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/drivenwindow.h"

#include "gui/framedialog.h"
#include "gui/panelview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QtTest>

// The Frame and Tabs dialog as a user meets it: opened from the Panel menu,
// filled in, remembered for the next start, and its panel the same as the
// command line's with the same settings; the Panel dock shows the panel
// these settings and the form's numbers make, as they change.
Q_DECLARE_METATYPE(FrameSettings)
Q_DECLARE_METATYPE(BoardHouse)

class TestFrameDialog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void dialogPanelIsTheCommandLinesPanel();
    void cancelKeepsTheSettings();
    void dialogAndCommandLineAgreeAtTheEdges_data();
    void dialogAndCommandLineAgreeAtTheEdges();
    void previewFollowsTheWindow_data();
    void previewFollowsTheWindow();
    void turnFillAndArrangementReachThePreview_data();
    void turnFillAndArrangementReachThePreview();
    void housePresetFillsTheFields_data();
    void housePresetFillsTheFields();
    void houseLimitsBoxLetsTheUserChoose_data();
    void houseLimitsBoxLetsTheUserChoose();

private:
    QTemporaryDir settingsFolder;
};

namespace {

QAction *menuItem(Tavolin &window, const QString &menuTitle, const QString &text)
{
    for (QAction *menu : window.menuBar()->actions()) {
        if (menu->text() != menuTitle)
            continue;
        for (QAction *item : menu->menu()->actions()) {
            if (item->text() == text)
                return item;
        }
    }
    return nullptr;
}

void triggerItem(Tavolin &window, const QString &menuTitle, const QString &text)
{
    if (QAction *item = menuItem(window, menuTitle, text))
        item->trigger();
}

void triggerPanelItem(Tavolin &window, const QString &text)
{
    triggerItem(window, QStringLiteral("&Panel"), text);
}

void triggerFrameAndTabs(Tavolin &window)
{
    triggerPanelItem(window, QStringLiteral("Frame and Tabs…"));
}

template<typename Box>
Box *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<Box *>(QLatin1String(name));
}

// Types the settings into the open dialog, as a user would, and presses OK.
void fillIn(QWidget *dialog, const FrameSettings &settings)
{
    field<QSpinBox>(dialog, "frameWidth")->setValue(settings.frameWidth);
    field<QDoubleSpinBox>(dialog, "tabWidth")->setValue(settings.tabWidth);
    field<QDoubleSpinBox>(dialog, "biteDrill")->setValue(settings.biteDrill);
    field<QDoubleSpinBox>(dialog, "bitePitch")->setValue(settings.bitePitch);
    field<QCheckBox>(dialog, "fiducials")->setChecked(settings.fiducials);
    field<QDoubleSpinBox>(dialog, "toolingDrill")->setValue(settings.toolingDrill);
    field<QCheckBox>(dialog, "fixedSize")->setChecked(settings.fixedSize);
    static_cast<QDialog *>(dialog)->accept();
}

FrameSettings shownSettings(QWidget *dialog)
{
    return static_cast<FrameDialog *>(dialog)->settings();
}

bool sameSettings(const FrameSettings &a, const FrameSettings &b)
{
    return a.frameWidth == b.frameWidth && a.tabWidth == b.tabWidth && a.biteDrill == b.biteDrill
            && a.bitePitch == b.bitePitch && a.fiducials == b.fiducials
            && a.toolingDrill == b.toolingDrill && a.fixedSize == b.fixedSize
            && a.separation == b.separation && a.vcutLayer == b.vcutLayer && a.house == b.house;
}

FrameSettings typical()
{
    FrameSettings settings;
    settings.frameWidth = 5;
    settings.tabWidth = 4.5;
    settings.biteDrill = 0.6;
    settings.bitePitch = 0.9;
    settings.fiducials = true;
    settings.toolingDrill = 3.2;
    settings.fixedSize = true;
    return settings;
}

} // namespace

// The settings go to a folder of the test's own, never the user's.
void TestFrameDialog::initTestCase()
{
    QVERIFY(settingsFolder.isValid());
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
}

void TestFrameDialog::dialogPanelIsTheCommandLinesPanel()
{
    REQUIRE_REAL_BOARDS();
    QTemporaryDir dir;
    const QStringList paths {realBoard(QStringLiteral("MOAC.brd")),
                             realBoard(QStringLiteral("OpenLog.brd")),
                             realBoard(QStringLiteral("Adafruit_TB6612.brd"))};
    const FrameSettings settings = typical();
    {
        DrivenWindow window;
        window.script.answer([&](QWidget *dialog) { fillIn(dialog, settings); });
        triggerFrameAndTabs(window.tavolin);
        QCOMPARE(window.script.pendingAnswers(), 0);
    }

    // A new start shows what was set, and makes its panel with it.
    DrivenWindow window;
    FrameSettings shown;
    window.script.answer([&](QWidget *dialog) {
        shown = shownSettings(dialog);
        static_cast<QDialog *>(dialog)->reject();
    });
    triggerFrameAndTabs(window.tavolin);
    QVERIFY(sameSettings(shown, settings));
    for (const QString &path : paths)
        window.load(path);
    window.typeInto("panelWidthBox", 150);
    window.typeInto("panelHeightBox", 100);
    window.typeInto("offsetBox", 3);
    const QString windowPanel = dir.filePath(QStringLiteral("window.brd"));
    // The three boards' design rules differ: the user goes on.
    window.makePanel(windowPanel, 1);
    QCOMPARE(window.script.unexpected, QStringList());
    QCOMPARE(window.script.messages.size(), 1);
    QCOMPARE(window.script.messages.first().title, QStringLiteral("Design rules"));
    const QByteArray panel = readWholeFile(windowPanel);
    QVERIFY(panel.contains("<hole "));

    const QString commandPanel = dir.filePath(QStringLiteral("command.brd"));
    QProcess process;
    process.start(
            QStringLiteral(TAVOLIN_EXECUTABLE),
            QStringList {QStringLiteral("--width"), QStringLiteral("150"),
                         QStringLiteral("--height"), QStringLiteral("100"),
                         QStringLiteral("--offset"), QStringLiteral("3"), QStringLiteral("--frame"),
                         QStringLiteral("5"), QStringLiteral("--tabs"), QStringLiteral("4.5"),
                         QStringLiteral("--bite-drill"), QStringLiteral("0.6"),
                         QStringLiteral("--bite-pitch=0.9"), QStringLiteral("--fiducials"),
                         QStringLiteral("--tooling-holes"), QStringLiteral("3.2"),
                         QStringLiteral("--fixed-size"), QStringLiteral("--output"), commandPanel}
                    + paths);
    QVERIFY(process.waitForFinished(300000));
    const QList<QByteArray> warnings = process.readAllStandardError().split('\n');
    for (const QByteArray &line : warnings)
        QVERIFY2(line.isEmpty() || line.startsWith("tavolin: warning: Design rules: "), line);
    QCOMPARE(process.exitCode(), 3);
    QVERIFY(readWholeFile(commandPanel) == panel);
}

void TestFrameDialog::cancelKeepsTheSettings()
{
    storeFrameSettings(typical());
    DrivenWindow window;
    window.script.answer([](QWidget *dialog) {
        FrameSettings off;
        field<QSpinBox>(dialog, "frameWidth")->setValue(off.frameWidth);
        field<QDoubleSpinBox>(dialog, "tabWidth")->setValue(off.tabWidth);
        static_cast<QDialog *>(dialog)->reject();
    });
    triggerFrameAndTabs(window.tavolin);
    QVERIFY(sameSettings(storedFrameSettings(), typical()));
}

using Values = QList<double>;

// For each setting: the values just past its limits, refused, and those at
// them, taken.
void TestFrameDialog::dialogAndCommandLineAgreeAtTheEdges_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("option");
    QTest::addColumn<Values>("refused");
    QTest::addColumn<Values>("taken");

    QTest::newRow("rails") << "frameWidth"
                           << "frame" << Values {-1, 51} << Values {0, 1, 50};
    QTest::newRow("tabs") << "tabWidth"
                          << "tabs" << Values {-1, 0.4, 50.5} << Values {0, 0.5, 50};
    QTest::newRow("bite drill") << "biteDrill"
                                << "bite-drill" << Values {0.15, 2.05} << Values {0.2, 2};
    QTest::newRow("bite pitch") << "bitePitch"
                                << "bite-pitch" << Values {0.15, 4.05} << Values {0.2, 4};
    QTest::newRow("tooling holes") << "toolingDrill"
                                   << "tooling-holes" << Values {0.9, 10.5} << Values {0, 1, 10};
}

void TestFrameDialog::dialogAndCommandLineAgreeAtTheEdges()
{
    QFETCH(QString, box);
    QFETCH(QString, option);
    QFETCH(Values, refused);
    QFETCH(Values, taken);
    // The bites at their least drill and widest pitch, so that neither
    // limits the other.
    FrameSettings start;
    start.biteDrill = 0.2;
    start.bitePitch = 4;
    const QStringList startArguments {QStringLiteral("--bite-drill=0.2"),
                                      QStringLiteral("--bite-pitch=4")};
    for (const bool expected : {false, true}) {
        for (const double value : expected ? taken : refused) {
            FrameDialog dialog(start, int(Limits::offset.defaultValue));
            if (auto *millimetres = field<QDoubleSpinBox>(&dialog, qPrintable(box)))
                millimetres->setValue(value);
            else
                field<QSpinBox>(&dialog, qPrintable(box))->setValue(int(value));
            const FrameSettings kept = dialog.settings();
            const double shown = QMap<QString, double> {
                    {"frameWidth", kept.frameWidth},
                    {"tabWidth", kept.tabWidth},
                    {"biteDrill", kept.biteDrill},
                    {"bitePitch", kept.bitePitch},
                    {"toolingDrill",
                     kept.toolingDrill}}.value(box);
            QProcess process;
            process.start(QStringLiteral(TAVOLIN_EXECUTABLE),
                          startArguments
                                  + QStringList {QStringLiteral("--%1=%2").arg(option).arg(value)});
            QVERIFY(process.waitForFinished(60000));
            const bool commandTakes = !process.readAllStandardError().contains(" takes ");
            QCOMPARE(shown == value, expected);
            QCOMPARE(commandTakes, expected);
        }
    }
}

namespace {

// How large the panel is, where each copy lies and what is left out, a
// line for each.
QStringList layoutOf(const PanelPreview &preview)
{
    QStringList lines {QStringLiteral("%1 x %2").arg(preview.width).arg(preview.height)};
    for (const PreviewCopy &copy : preview.copies)
        lines << QStringLiteral("board %1 moved %2, %3")
                         .arg(copy.board)
                         .arg(copy.shift.dx)
                         .arg(copy.shift.dy);
    for (const PanelProblem &problem : preview.problems)
        lines << QStringLiteral("problem %1 of board %2").arg(problem.kind).arg(problem.board);
    return lines;
}

const PanelPreview &shownPreview(const Tavolin &window)
{
    return window.findChild<PanelView *>(QStringLiteral("panelView"))->picture().preview();
}

QStringList expectedLayout(const QStringList &paths, PanelNumbers numbers)
{
    QVector<PanelBoard> boards;
    MeasuredBoards measuredBoards;
    for (const QString &path : paths) {
        const OutlineMeasurement measured = measuredBoards.measure(path);
        boards.append(measuredBoard(path, measured.box, measured.drawing));
    }
    return layoutOf(previewPanel(boards, numbers));
}

} // namespace

void TestFrameDialog::previewFollowsTheWindow_data()
{
    QTest::addColumn<QStringList>("boards");
    QTest::addColumn<FrameSettings>("frame");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("offsetMoves");
    QTest::addColumn<QStringList>("leftOut");
    const QString bus = QStringLiteral("BusPirate-v3.8a-SSOP.brd");
    const QString log = QStringLiteral("OpenLog.brd");
    QTest::newRow("two boards in a row") << QStringList {bus, log} << FrameSettings() << 160 << 80
                                         << 15 << true << QStringList();
    QTest::newRow("a panel too small for the second board")
            << QStringList {log, bus} << FrameSettings() << 30 << 30 << 15 << false
            << QStringList {QStringLiteral("2  BusPirate-v3.8a-SSOP.brd: No fit")};
    QTest::newRow("rails and tabs, two boards left out")
            << QStringList {log, bus, log} << typical() << 100 << 60 << 2 << true
            << QStringList {QStringLiteral("2  BusPirate-v3.8a-SSOP.brd: No fit"),
                            QStringLiteral("3  OpenLog.brd: No fit")};
    FrameSettings tabsAlone;
    tabsAlone.tabWidth = 5;
    QTest::newRow("tabs without rails or neighbours")
            << QStringList {log} << tabsAlone << 160 << 80 << 3 << false
            << QStringList {QStringLiteral("1  OpenLog.brd: cannot be held by two tabs")};
    FrameSettings narrow;
    narrow.frameWidth = 2;
    narrow.tabWidth = 3;
    narrow.fiducials = true;
    narrow.toolingDrill = 3;
    QTest::newRow("rails too narrow for fiducials and tooling holes")
            << QStringList {log} << narrow << 160 << 80 << 8 << true
            << QStringList {QStringLiteral("Fiducials left out: the frame is too narrow"),
                            QStringLiteral("Tooling holes left out: the frame is too narrow")};
}

void TestFrameDialog::previewFollowsTheWindow()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QStringList, boards);
    QFETCH(FrameSettings, frame);
    QFETCH(int, width);
    QFETCH(int, height);
    QFETCH(int, offset);
    QFETCH(bool, offsetMoves);
    QFETCH(QStringList, leftOut);
    // The boards are gone once loaded: the preview reads no file again.
    QTemporaryDir dir;
    QStringList paths;
    for (const QString &board : boards) {
        paths << dir.filePath(board);
        QVERIFY(QFile::exists(paths.last()) || QFile::copy(realBoard(board), paths.last()));
    }
    PanelNumbers numbers {width, height, 5, frame};
    const QStringList before = expectedLayout(paths, numbers);
    numbers.offset = offset;
    const QStringList after = expectedLayout(paths, numbers);
    QCOMPARE(after != before, offsetMoves);

    DrivenWindow window;
    for (const QString &path : paths)
        window.load(path);
    for (const QString &path : paths)
        QFile::remove(path);
    window.script.answer([&](QWidget *dialog) { fillIn(dialog, frame); });
    triggerFrameAndTabs(window.tavolin);
    window.typeInto("panelWidthBox", width);
    window.typeInto("panelHeightBox", height);
    const auto *view = window.tavolin.findChild<PanelView *>(QStringLiteral("panelView"));
    QVERIFY(view);
    QTRY_COMPARE(layoutOf(view->picture().preview()), before);
    window.typeInto("offsetBox", offset);
    QTRY_COMPARE(layoutOf(view->picture().preview()), after);
    const auto *list = window.tavolin.findChild<QLabel *>(QStringLiteral("leftOutList"));
    QVERIFY(list);
    QCOMPARE(list->text(), leftOut.join(QLatin1Char('\n')));
    QCOMPARE(list->isHidden(), leftOut.isEmpty());

    // Panel > Save Preview writes what the view shows.
    const QString picture = dir.filePath(QStringLiteral("preview.svg"));
    window.script.chooseFile(picture);
    triggerPanelItem(window.tavolin, QStringLiteral("Save Preview…"));
    QVERIFY(readWholeFile(picture).contains("<svg"));
    QCOMPARE(window.script.unexpected, QStringList());
}

void TestFrameDialog::turnFillAndArrangementReachThePreview_data()
{
    QTest::addColumn<QString>("board");
    QTest::addColumn<int>("turns");
    QTest::addColumn<bool>("packed");
    QTest::newRow("unturned, packed") << "BusPirate-v3.8a-SSOP.brd" << 0 << true;
    QTest::newRow("a quarter, in rows") << "BusPirate-v3.8a-SSOP.brd" << 1 << false;
    QTest::newRow("three quarters, packed") << "OpenLog.brd" << 3 << true;
    QTest::newRow("a half, in rows") << "OpenLog.brd" << 2 << false;
}

void TestFrameDialog::turnFillAndArrangementReachThePreview()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QString, board);
    QFETCH(int, turns);
    QFETCH(bool, packed);
    const QString path = realBoard(board);
    const BoardFootprint drawn = measuredBoard(path, MeasuredBoards().measure(path).box).footprint;
    const QString size =
            (turns % 2 ? sizeText(drawn.height, drawn.width) : sizeText(drawn.width, drawn.height))
            + (turns ? QStringLiteral(" (%1°)").arg(90 * turns) : QString());
    storeFrameSettings(FrameSettings());
    DrivenWindow window;
    window.load(path);
    window.typeInto("panelWidthBox", 300);
    window.typeInto("panelHeightBox", 200);
    // Each row's arrangement differs from the one the row before left, and
    // the last change of a turned board is its turn.
    triggerPanelItem(window.tavolin, packed ? "Packed" : "Rows in Load Order");
    DrivenWindow::choose(window.files(), 0);
    for (int i = 0; i < turns; ++i)
        triggerItem(window.tavolin, "&Edit", "Turn Board");
    const PanelPreview &shown = shownPreview(window.tavolin);
    QTRY_VERIFY(shown.boards.value(0).turn == turns && shown.numbers.packed == packed);
    QCOMPARE(shown.copies.size(), 1);
    // Packed may turn the copy a quarter further.
    const int further = (shown.copies.first().shift.turn - turns + 4) % 4;
    QVERIFY(further == 0 || (packed && further == 1));

    triggerPanelItem(window.tavolin, "Fill With Selected Board");
    const int filled = window.sizeRows().count(size);
    QVERIFY(filled > 2);
    QCOMPARE(window.sizeRows().size(), filled);
    QTRY_COMPARE(shown.copies.size(), filled);
    QVector<PanelBoard> oneMore = shown.boards;
    oneMore.append(oneMore.first());
    QCOMPARE(previewPanel(oneMore, shown.numbers).copies.size(), filled);

    // The arrangement is the next start's too.
    Tavolin next;
    QCOMPARE(menuItem(next, "&Panel", "Packed")->isChecked(), packed);
}

void TestFrameDialog::housePresetFillsTheFields_data()
{
    QTest::addColumn<BoardHouse>("house");
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("changed"); // as the dialog names the box
    const QStringList boxes {"frameWidth", "tabWidth", "biteDrill", "fiducials"};
    const QStringList words {"rail width", "tab width", "mouse-bite drill", "fiducials"};
    for (int i = 0; i < boardHouses().size(); ++i)
        QTest::newRow(boardHouses().at(i).key)
                << boardHouses().at(i).house << boxes.at(i % 4) << words.at(i % 4);
}

void TestFrameDialog::housePresetFillsTheFields()
{
    QFETCH(BoardHouse, house);
    QFETCH(QString, box);
    QFETCH(QString, changed);
    const HouseRules &rules = *houseRules(house);
    FrameDialog dialog(typical(), 9);
    auto *houses = field<QComboBox>(&dialog, "boardHouse");
    houses->setCurrentText(QLatin1String(rules.name));
    const FrameSettings preset = dialog.settings();
    QVERIFY(preset.frameWidth == rules.frameWidth && preset.tabWidth == rules.tabWidth
            && preset.biteDrill == rules.biteDrill && preset.bitePitch == rules.bitePitch
            && preset.fiducials == rules.fiducials && preset.toolingDrill == rules.toolingDrill);
    auto *differences = field<QLabel>(&dialog, "presetDifferences");
    QVERIFY(dialog.channel() == rules.channel && differences->isHidden());
    QTest::keyClick(field<QWidget>(&dialog, qPrintable(box)),
                    box == "fiducials" ? Qt::Key_Space : Qt::Key_Up);
    QCOMPARE(differences->text(),
             QString("Changed from the %1 preset: %2").arg(rules.name, changed));
    QVERIFY(!differences->isHidden());
    // None keeps the numbers as they are.
    FrameSettings kept = dialog.settings();
    kept.house = BoardHouse::None;
    houses->setCurrentIndex(0);
    QVERIFY(sameSettings(dialog.settings(), kept) && differences->isHidden());
    QCOMPARE(dialog.channel(), rules.channel);
}

void TestFrameDialog::houseLimitsBoxLetsTheUserChoose_data()
{
    QTest::addColumn<bool>("vcuts");
    QTest::addColumn<int>("answer");
    QTest::newRow("tabs too narrow, Ok writes") << false << int(QMessageBox::Ok);
    QTest::newRow("copper near a V-cut, Cancel writes nothing") << true << int(QMessageBox::Cancel);
}

void TestFrameDialog::houseLimitsBoxLetsTheUserChoose()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(bool, vcuts);
    QFETCH(int, answer);
    const HouseRules &rules = *houseRules(BoardHouse::Jlcpcb);
    storeFrameSettings(FrameSettings());
    DrivenWindow window;
    window.load(realBoard(QStringLiteral("OpenLog.brd")));
    window.script.answer([&](QWidget *dialog) {
        field<QComboBox>(dialog, "boardHouse")->setCurrentText(QLatin1String(rules.name));
        field<QComboBox>(dialog, "separation")->setCurrentIndex(vcuts);
        field<QDoubleSpinBox>(dialog, "tabWidth")->setValue(rules.leastTabWidth - 1);
        auto *layer = field<QSpinBox>(dialog, "vcutLayer");
        QCOMPARE(layer->isEnabled(), vcuts);
        layer->setValue(20);
        // At the set size, the rails have room for the fiducials.
        field<QCheckBox>(dialog, "fixedSize")->setChecked(true);
        static_cast<QDialog *>(dialog)->accept();
    });
    triggerFrameAndTabs(window.tavolin);
    QCOMPARE(window.tavolin.findChild<QSpinBox *>("offsetBox")->value(), rules.channel);
    const auto *list = window.tavolin.findChild<QLabel *>(QStringLiteral("leftOutList"));
    const QString houseLine = QStringLiteral("Board house: ");
    const auto houseLines = [&] {
        return list->text().split(QLatin1Char('\n')).filter(houseLine);
    };
    QTRY_VERIFY(!houseLines().isEmpty());
    QVERIFY(sameSettings(storedFrameSettings(), shownPreview(window.tavolin).numbers.frame));

    // The first cut, if any, shows in a strip along it.
    QTemporaryDir dir;
    const PanelPicture &picture = window.tavolin.findChild<PanelView *>()->picture();
    PanelPreview bare = picture.preview();
    const VCut cut = bare.plan.vcuts.value(0);
    bare.plan.vcuts.clear();
    savePicture(picture, dir.filePath("cut.png"));
    savePicture(PanelPicture(bare), dir.filePath("bare.png"));
    const QImage cutImage(dir.filePath("cut.png")), bareImage(dir.filePath("bare.png"));
    const QRect strip = picture.fitting(cutImage.rect())
                                .mapRect(cut.vertical ? QRectF(cut.at - 0.1, 0, 0.2, bare.height)
                                                      : QRectF(0, cut.at - 0.1, bare.width, 0.2))
                                .toAlignedRect();
    QCOMPARE(cutImage.copy(strip) != bareImage.copy(strip), vcuts);

    const QString output = dir.filePath(QStringLiteral("panel.brd"));
    SeenMessage seen;
    window.script.chooseFile(output);
    window.script.answer([&](QWidget *modal) {
        auto *box = qobject_cast<QMessageBox *>(modal);
        QVERIFY(box && box->button(QMessageBox::Cancel));
        seen = {box->windowTitle(), box->text()};
        box->button(QMessageBox::StandardButton(answer))->click();
    });
    window.click("makePanel");
    QTRY_COMPARE(window.script.pendingAnswers(), 0);
    QCOMPARE(window.script.unexpected, QStringList());
    QVERIFY(seen.title == "Board house" && seen.text.contains(QLatin1String(rules.name)));
    for (const QString &line : houseLines())
        QVERIFY2(seen.text.contains(line.mid(houseLine.size())), qPrintable(seen.text));
    QCOMPARE(QFile::exists(output), answer == QMessageBox::Ok);
}

QTEST_MAIN(TestFrameDialog)
#include "tst_framedialog.moc"
