// SPDX-License-Identifier: GPL-3.0-or-later
#include "copyfidelity.h"
#include "core/merge/assemblepanel.h"
#include "paneltesting.h"
#include "support/testsupport.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString openLog = QStringLiteral("OpenLog.brd");

// The entry names of one board copy within a panel.
QStringList copyNames(const QDomElement &panel, const QList<BoardShare> &shares, int copy)
{
    QStringList names;
    const QStringList sections {"libraries", "elements", "signals"};
    for (const QString &section : sections) {
        int start = 0;
        for (int i = 0; i < copy; ++i)
            start += section == "libraries" ? shares.at(i).libraries
                    : section == "elements" ? shares.at(i).elements
                                            : shares.at(i).signalCount;
        const BoardShare &share = shares.at(copy);
        const int count = section == "libraries" ? share.libraries
                : section == "elements"          ? share.elements
                                                 : share.signalCount;
        names += entryNames(panel, section).mid(start, count);
    }
    return names;
}

qint64 freshNumber(const QString &name)
{
    static const QRegularExpression fresh("^NewName(0|[1-9][0-9]*)$");
    const QRegularExpressionMatch match = fresh.match(name);
    return match.hasMatch() ? match.captured(1).toLongLong() : -1;
}

} // namespace

// The assembly on real boards, checked with a walk over the panel.
class TestRealPanels : public QObject
{
    Q_OBJECT

private slots:
    void init() { REQUIRE_REAL_BOARDS(); }
    void oneBoardGivesTheBoardBack_data();
    void oneBoardGivesTheBoardBack();
    void everyCopyIsItsBoardMoved_data();
    void everyCopyIsItsBoardMoved();
    void threeCopiesNumberOn();
    void secondRunStartsAgain();
    void mixedPanelsAreSound_data();
    void mixedPanelsAreSound();
    void checkerFindsBrokenPanels();

private:
    QDomDocument panelOf(const QStringList &fileNames, QList<BoardShare> *shares = nullptr);
    QTemporaryDir directory;
};

QDomDocument TestRealPanels::panelOf(const QStringList &fileNames, QList<BoardShare> *shares)
{
    QStringList boards;
    for (const QString &fileName : fileNames) {
        boards << realBoardText(fileName);
        if (shares)
            shares->append(shareOf(boards.last()));
    }
    return parseXml(runWritePanel(boards, directory.filePath("panel.brd")));
}

void TestRealPanels::oneBoardGivesTheBoardBack_data()
{
    QTest::addColumn<QString>("fileName");
    for (const char *name : {"OpenLog.brd", "SBCONN.brd", "MoldTopPCBs.brd",
                             "Graphic_LCD_Backpack.brd", "Metro_Mini_328_V2_-_STEMMA_QT.brd"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestRealPanels::oneBoardGivesTheBoardBack()
{
    QFETCH(QString, fileName);
    const QDomDocument panel = panelOf({fileName});
    const QDomDocument original = parseXml(realBoardText(fileName));
    QVERIFY(!original.documentElement().isNull());
    const QString difference = treeDifference(original.documentElement(), panel.documentElement());
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
}

void TestRealPanels::everyCopyIsItsBoardMoved_data()
{
    QTest::addColumn<QString>("fileName");
    REQUIRE_REAL_BOARDS();
    const QStringList names = QDir(realBoardsDir()).entryList({"*.brd"}, QDir::Files, QDir::Name);
    QVERIFY(names.size() >= 17);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << name;
}

// Three copies through the shift and the assembly, at three places.
void TestRealPanels::everyCopyIsItsBoardMoved()
{
    QFETCH(QString, fileName);
    const QByteArray bytes = readWholeFile(realBoard(fileName));
    QList<PlacedBoard> placed;
    QVector<BoardCopy> copies;
    QList<BoardShare> shares;
    for (const auto &[dx, dy] : {std::pair(0, 0), std::pair(137, 0), std::pair(-3, 251)}) {
        copies << readCopy(bytes, dx, dy);
        QVERIFY(copies.last().board);
        shares << shareOf(QString::fromUtf8(bytes));
        placed.append({QString::fromUtf8(bytes), double(dx), double(dy)});
    }
    const QDomDocument panel = parseXml(QString::fromUtf8(assembled(copies).text.joined()));
    QVERIFY(!panel.documentElement().isNull());
    const QString difference = copiesDifference(panel, placed);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    const QStringList problems = panelProblems(panel, shares);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void TestRealPanels::threeCopiesNumberOn()
{
    // OpenLog's named entries are its 9 libraries, 26 parts and 17 signals,
    // all different: the second copy's duplicates are these 52 names, so it
    // takes NewName0 to NewName51; the third board's list holds them twice,
    // and its first 52 entries give it NewName52 to NewName103, each name
    // 52 on from the one the same entry took in the second copy.
    QList<BoardShare> shares;
    const QDomDocument panel = panelOf({openLog, openLog, openLog}, &shares);
    const BoardShare share = shares.first();
    QCOMPARE(share.libraries + share.elements + share.signalCount, 52);
    const QStringList second = copyNames(panel.documentElement(), shares, 1);
    const QStringList third = copyNames(panel.documentElement(), shares, 2);
    QSet<qint64> numbers;
    for (int i = 0; i < second.size(); ++i) {
        QVERIFY(freshNumber(second.at(i)) >= 0 && freshNumber(second.at(i)) < 52);
        QCOMPARE(freshNumber(third.at(i)), freshNumber(second.at(i)) + 52);
        numbers.insert(freshNumber(second.at(i)));
    }
    QCOMPARE(numbers.size(), 52);
    const QStringList problems = panelProblems(panel, shares);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void TestRealPanels::secondRunStartsAgain()
{
    const QStringList boards {realBoardText(openLog), realBoardText(openLog)};
    const QByteArray first = runWritePanel(boards, directory.filePath("first.brd"));
    const QByteArray second = runWritePanel(boards, directory.filePath("second.brd"));
    QVERIFY(first.contains("\"NewName0\""));
    QVERIFY(!first.contains("\"NewName52\""));
    QCOMPARE(second, first);
}

void TestRealPanels::mixedPanelsAreSound_data()
{
    QTest::addColumn<QStringList>("fileNames");
    QTest::newRow("OpenLog, MP3 trigger, SBCONN")
            << QStringList {openLog, "Qwiic_MP3_Trigger.brd", "SBCONN.brd"};
    // AMG8833 defines net class 0 only; OpenLog's power nets are of class 1.
    QTest::newRow("AMG8833, OpenLog, AMG8833")
            << QStringList {"AMG8833_REV-B.brd", openLog, "AMG8833_REV-B.brd"};
    QTest::newRow("RTK, LED stick, MOAC, Metro Mini")
            << QStringList {"SparkFun_RTK_Express.brd", "Qwiic_LED_Stick.brd", "MOAC.brd",
                            "Metro_Mini_328_V2_-_STEMMA_QT.brd"};
    QTest::newRow("outline only first, then motor drivers")
            << QStringList {"MoldTopPCBs.brd", "Adafruit_TB6612.brd",
                            "Serial_Controlled_Motor_Driver.brd", "Adafruit_TB6612.brd"};
    QTest::newRow("finger sensor, snowflake, chair control, LCD backpack")
            << QStringList {"Robotic_Finger_Sensor.brd", "SnowFlake.brd", "ChairControl.brd",
                            "Graphic_LCD_Backpack.brd"};
}

void TestRealPanels::mixedPanelsAreSound()
{
    QFETCH(QStringList, fileNames);
    QList<BoardShare> shares;
    const QDomDocument panel = panelOf(fileNames, &shares);
    const QStringList problems = panelProblems(panel, shares);
    QVERIFY2(problems.isEmpty(), qPrintable(problems.join('\n')));
}

void TestRealPanels::checkerFindsBrokenPanels()
{
    QList<BoardShare> shares;
    const QDomDocument panel = panelOf({openLog, openLog}, &shares);
    QVERIFY(panelProblems(panel, shares).isEmpty());
    const QDomElement root = panel.documentElement();
    const QDomNodeList elements = root.elementsByTagName("element");
    const QString firstPart = elements.item(0).toElement().attribute("name");

    // A contact of the second copy naming a part of the first.
    QDomDocument broken = panel.cloneNode(true).toDocument();
    const QDomNodeList contacts = broken.elementsByTagName("contactref");
    contacts.item(contacts.count() - 1).toElement().setAttribute("element", firstPart);
    QVERIFY(!panelProblems(broken, shares).isEmpty());

    // A part of the second copy sharing a name with one of the first.
    broken = panel.cloneNode(true).toDocument();
    QDomElement copied =
            broken.elementsByTagName("element").item(shares.first().elements).toElement();
    copied.setAttribute("name", firstPart.toLower());
    QVERIFY(!panelProblems(broken, shares).isEmpty());

    // A signal of a net class the panel lacks.
    broken = panel.cloneNode(true).toDocument();
    QDomElement classes = broken.elementsByTagName("classes").item(0).toElement();
    classes.removeChild(classes.lastChildElement("class"));
    QVERIFY(!panelProblems(broken, shares).isEmpty());
}

QTEST_MAIN(TestRealPanels)
#include "tst_realpanels.moc"
