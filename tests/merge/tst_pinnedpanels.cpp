// SPDX-License-Identifier: GPL-3.0-or-later
// Pins the exact bytes that reading and assembly give for real and hand-made
// boards, so that work on their speed can prove it changed no output: every
// expected digest was taken from the code before that work began. The panels
// of real boards were pinned again once later copies kept every attribute
// that holds no name and printed their parts' original names.
#include "core/merge/assemblepanel.h"
#include "support/testsupport.h"

#include <QCryptographicHash>
#include <QtTest>

namespace {

QByteArray digest(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex();
}

struct HandMade
{
    QString name;
    QByteArray xml;
    QByteArray panelDigest; // of a panel of three copies
};

// Documents with what real boards rarely hold: namespaces, escapes, mixed
// content, empty sections, markup that the copy drops.
QList<HandMade> handMadeDocuments()
{
    return {
            {QStringLiteral("namespaced"),
             "<eagle xmlns:t=\"urn:t\"><drawing><board><plain><wire t:x1=\"1\" x1=\"2\" "
             "t:layer=\"20\" xml:lang=\"de\"/></plain><libraries><library name=\"a\" "
             "t:note=\"n\"><t:package t:name=\"p\"/></library></libraries></board>"
             "<t:settings t:a=\"1\" xmlns:u=\"urn:u\" u:b=\"2\"><t:inner u:x=\"3\"/></t:settings>"
             "</drawing></eagle>",
             // Each element of the panel declares the prefixes of its own
             // attributes, since it leaves the ancestor that declared them.
             "a0ff6eab0b33ae53efb34efe5fb19df972cdf948"},
            {QStringLiteral("escapes"),
             "<?xml version=\"1.0\" encoding=\"utf-8\"?><eagle a=\"&amp;&lt;&gt;&quot;&apos;"
             "&#9;&#10;&#13; \xc3\xa4\xe2\x82\xac&#x1D11E;\"><drawing><board><plain><text "
             "x=\"1\">&amp;&lt;&gt;&quot;&apos;&#9;x&#10;y&#13;z \xc3\xa4<![CDATA[<&>]]></text>"
             "</plain><description>\ttab\r\nline</description></board></drawing></eagle>",
             "08c53ecae02b8c18a81d75c33c50530aabe102d2"},
            {QStringLiteral("escapes in sections"),
             "<eagle><drawing><board><plain><text x=\"1\" font=\"a&amp;b\" "
             "align=\"&quot;&#9;\">t</text></plain><libraries><library name=\"L&lt;1\">"
             "<packages><package name=\"P&gt;\"><smd name=\"1&amp;\" x=\"0\" y=\"&lt;\" "
             "dx=\"1\" dy=\"1\" layer=\"1\"/><text x=\"0\" y=\"0\" size=\"1\" "
             "layer=\"25\">&gt;NAME</text></package></packages></library></libraries>"
             "<elements><element name=\"R&amp;1\" library=\"L&lt;1\" package=\"P&gt;\" "
             "value=\"1k&#10;\" x=\"&amp;\" y=\"2\"/></elements><signals><signal "
             "name=\"N&quot;1\"><contactref element=\"R&amp;1\" pad=\"1&amp;\"/></signal>"
             "</signals></board></drawing></eagle>",
             "7bb12e6bddd94d4cc5365c42092befbd52af6ca1"},
            {QStringLiteral("mixed content"),
             "<eagle><drawing><board><plain><text x=\"1\">a<b y=\"2\"/>c<d/></text>"
             "</plain><note>n<e>f</e></note><elements>x<element name=\"R1\">v</element>y"
             "</elements></board></drawing></eagle>",
             "ff08ea47ec34f7d7dc12779c40a7c41c59ca1e97"},
            {QStringLiteral("empty sections"),
             "<eagle><drawing><board><plain/><libraries></libraries><elements> </elements>"
             "<signals><signal name=\"a\"></signal><signal/></signals></board><empty/>"
             "<empty></empty></drawing></eagle>",
             "94741af79076d4ff9b8cf54a28427a20fa5c1dfa"},
            {QStringLiteral("dropped markup"),
             "<?xml version=\"1.0\"?>\r\n<!DOCTYPE eagle [<!ENTITY co \"Co\">]>\r\n"
             "<!-- c --><eagle><?pi x?><drawing><!-- d --><board><plain><text>&co; "
             "<!-- e -->t</text></plain></board></drawing></eagle><!-- end -->\r\n",
             "9cb2f746416761c909862d7eca2791f6c56dae48"},
            {QStringLiteral("no sections"), "<eagle x=\"1\"><x1 y=\"2\">t</x1></eagle>",
             "b330c7d325c41e979ad74df536fd7e7212f06233"},
    };
}

QByteArray handMade(const QString &name)
{
    for (const HandMade &document : handMadeDocuments()) {
        if (document.name == name)
            return document.xml;
    }
    return QByteArray();
}

QByteArray boardBytes(const QString &source)
{
    if (source.startsWith(QLatin1String("hand:")))
        return handMade(source.mid(5));
    return readWholeFile(realBoard(source));
}

} // namespace

class TestPinnedPanels : public QObject
{
    Q_OBJECT

private slots:
    void panelIsPinned_data();
    void panelIsPinned();
};

// Two copies of each board side by side, the second renamed, and panels of
// several boards; every second copy read through a device that cannot seek.
void TestPinnedPanels::panelIsPinned_data()
{
    QTest::addColumn<QStringList>("sources");
    QTest::addColumn<QByteArray>("expected");
    QTest::newRow("AMG8833_REV-B x2") << QStringList {"AMG8833_REV-B.brd", "AMG8833_REV-B.brd"}
                                      << QByteArray("10d28d6192189c41937635e1ccefe0a4156c9321");
    QTest::newRow("Adafruit_TB6612 x2")
            << QStringList {"Adafruit_TB6612.brd", "Adafruit_TB6612.brd"}
            << QByteArray("f42bcb93c38cd67900a011511ff0d1cf6f2fad09");
    QTest::newRow("BusPirate-v3.8a-SSOP x2")
            << QStringList {"BusPirate-v3.8a-SSOP.brd", "BusPirate-v3.8a-SSOP.brd"}
            << QByteArray("58c8ace062845e07264fad1cb21f49271e1d071b");
    QTest::newRow("ChairControl x2") << QStringList {"ChairControl.brd", "ChairControl.brd"}
                                     << QByteArray("32c5f61cae57dfadf27c8675441674d0445515bc");
    QTest::newRow("Graphic_LCD_Backpack x2")
            << QStringList {"Graphic_LCD_Backpack.brd", "Graphic_LCD_Backpack.brd"}
            << QByteArray("0d72c1c1ec7ee164ccc6375e11503ccac8169488");
    QTest::newRow("MOAC x2") << QStringList {"MOAC.brd", "MOAC.brd"}
                             << QByteArray("a5bab60ffaefdc6746edc80f9cc32786040cf6a4");
    QTest::newRow("Metro_Mini_328_V2_-_STEMMA_QT x2")
            << QStringList {"Metro_Mini_328_V2_-_STEMMA_QT.brd",
                            "Metro_Mini_328_V2_-_STEMMA_QT.brd"}
            << QByteArray("81d4dd06b64dbec90ad64ba6220af6a5ad0efe11");
    QTest::newRow("MoldTopPCBs x2") << QStringList {"MoldTopPCBs.brd", "MoldTopPCBs.brd"}
                                    << QByteArray("14c3f429c51ed02cbb195d4a0d61f515ea01c4ec");
    QTest::newRow("OpenLog x2") << QStringList {"OpenLog.brd", "OpenLog.brd"}
                                << QByteArray("3be863e4dda9c5128c16e7ca3f3a0f74682faf05");
    QTest::newRow("Qwiic_LED_Stick x2")
            << QStringList {"Qwiic_LED_Stick.brd", "Qwiic_LED_Stick.brd"}
            << QByteArray("d4912ac1eaf891687033e615696cc859c29b7064");
    QTest::newRow("Qwiic_MP3_Trigger-Panel x2")
            << QStringList {"Qwiic_MP3_Trigger-Panel.brd", "Qwiic_MP3_Trigger-Panel.brd"}
            << QByteArray("596326fc721f90aee379ddb7701c9386bb1a7a7a");
    QTest::newRow("Qwiic_MP3_Trigger x2")
            << QStringList {"Qwiic_MP3_Trigger.brd", "Qwiic_MP3_Trigger.brd"}
            << QByteArray("dff297e185ecd39f5077dea084803515394e7ba3");
    QTest::newRow("Robotic_Finger_Sensor x2")
            << QStringList {"Robotic_Finger_Sensor.brd", "Robotic_Finger_Sensor.brd"}
            << QByteArray("01cec69557bcfc297704690286642004d0deed78");
    QTest::newRow("SBCONN x2") << QStringList {"SBCONN.brd", "SBCONN.brd"}
                               << QByteArray("303ab5a48cd23d70944b2d1b4c90b431af81607d");
    QTest::newRow("Serial_Controlled_Motor_Driver x2")
            << QStringList {"Serial_Controlled_Motor_Driver.brd",
                            "Serial_Controlled_Motor_Driver.brd"}
            << QByteArray("4cb18c896b1ed864ab984017e9e323374b17e3ce");
    QTest::newRow("SnowFlake x2") << QStringList {"SnowFlake.brd", "SnowFlake.brd"}
                                  << QByteArray("02210c0c7a0b8deb4f18de2d245a1f1ccd375e79");
    QTest::newRow("SparkFun_RTK_Express x2")
            << QStringList {"SparkFun_RTK_Express.brd", "SparkFun_RTK_Express.brd"}
            << QByteArray("d5a492ad23745b3f037ff56d927c482737b12d16");
    for (const HandMade &document : handMadeDocuments()) {
        const QString source = QStringLiteral("hand:") + document.name;
        QTest::newRow(qPrintable(QStringLiteral("hand-made ") + document.name))
                << QStringList {source, source, source} << document.panelDigest;
    }
    // Pinned again when the copies of boards whose design rules differ from
    // the panel's came to carry their own via and pad sizes and tenting, and
    // their net classes that differ took numbers of their own.
    QTest::newRow("mixed") << QStringList {"OpenLog.brd", "MOAC.brd", "OpenLog.brd", "SBCONN.brd"}
                           << QByteArray("2fee8d54159d13d1894f80667a09610fce41f51e");
}

void TestPinnedPanels::panelIsPinned()
{
    QFETCH(QStringList, sources);
    QFETCH(QByteArray, expected);
    QVector<BoardCopy> copies;
    for (int i = 0; i < sources.size(); ++i) {
        if (sources.at(i).endsWith(QLatin1String(".brd")))
            REQUIRE_REAL_BOARDS();
        copies << readCopy(boardBytes(sources.at(i)), 150 * i, 3 * i, i % 2 == 1);
        QVERIFY(copies.last().board);
    }
    QCOMPARE(digest(assembled(copies).text.joined()), expected);
}

QTEST_GUILESS_MAIN(TestPinnedPanels)
#include "tst_pinnedpanels.moc"
