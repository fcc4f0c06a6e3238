// SPDX-License-Identifier: GPL-3.0-or-later
// A copy on a panel is made by the panel's design rules. These tests work out,
// with EAGLE's formulas written here on their own, what each copy's vias, pads
// and SMDs become under the rules the panel file holds, and compare it with
// what its board's own rules make of the board.
#include "cli/problemtext.h"
#include "core/merge/assemblepanel.h"
#include "support/testsupport.h"

#include <QDomDocument>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <algorithm>
#include <cmath>

class TestPanelRules : public QObject
{
    Q_OBJECT

private slots:
    void mixedPanelsKeepEachBoardsCopper_data();
    void mixedPanelsKeepEachBoardsCopper();
    void secondBoardKeepsItsVia_data();
    void secondBoardKeepsItsVia();
    void layerSetupHoldsEveryBoard_data();
    void layerSetupHoldsEveryBoard();
    void classesThatDifferTakeFreeNumbers_data();
    void classesThatDifferTakeFreeNumbers();
};

namespace {

using Rules = QHash<QString, QString>;

double lengthOf(QString text)
{
    text = text.trimmed();
    const QList<QPair<QString, double>> units {{QStringLiteral("mil"), 0.0254},
                                               {QStringLiteral("mic"), 0.001},
                                               {QStringLiteral("mm"), 1.0},
                                               {QStringLiteral("inch"), 25.4},
                                               {QStringLiteral("in"), 25.4}};
    for (const auto &unit : units) {
        if (text.endsWith(unit.first))
            return text.chopped(unit.first.size()).toDouble() * unit.second;
    }
    return text.toDouble();
}

Rules rulesOf(const QDomDocument &document)
{
    Rules rules;
    const QDomNodeList params = document.documentElement()
                                        .elementsByTagName(QStringLiteral("designrules"))
                                        .item(0)
                                        .toElement()
                                        .elementsByTagName(QStringLiteral("param"));
    for (int i = 0; i < params.size(); ++i) {
        const QDomElement param = params.item(i).toElement();
        if (!rules.contains(param.attribute(QStringLiteral("name"))))
            rules.insert(param.attribute(QStringLiteral("name")),
                         param.attribute(QStringLiteral("value")));
    }
    return rules;
}

double number(const Rules &rules, const QString &name, double fallback)
{
    return rules.contains(name) ? rules.value(name).toDouble() : fallback;
}

double length(const Rules &rules, const QString &name, double fallback)
{
    return rules.contains(name) ? lengthOf(rules.value(name)) : fallback;
}

// EAGLE: ring = rv * drill, kept between rlMin and rlMax; rlMax when they cross.
double outer(const Rules &rules, const QString &kind, double drill, double diameter)
{
    const double least = length(rules, QStringLiteral("rlMin") + kind, 0);
    const double most = length(rules, QStringLiteral("rlMax") + kind, 1e6);
    double ring = number(rules, QStringLiteral("rv") + kind, 0.25) * drill;
    ring = least > most ? most : std::min(std::max(ring, least), most);
    return std::max(diameter, drill + 2 * ring);
}

QString um(double millimetres)
{
    return QString::number(std::llround(millimetres * 1000));
}

// A place as the panel writes it, to six significant digits, in hundredths.
QString place(double x, double y)
{
    const auto written = [](double v) {
        return std::llround(QString::number(v, 'g', 6).toDouble() * 100);
    };
    return QStringLiteral("%1,%2").arg(written(x)).arg(written(y));
}

QString padShape(const Rules &rules, const QDomElement &pad)
{
    const QStringList forced {QStringLiteral("square"), QStringLiteral("round"),
                              QStringLiteral("octagon")};
    const int top = int(number(rules, QStringLiteral("psTop"), -1));
    const int first = int(number(rules, QStringLiteral("psFirst"), -1));
    int shape = top;
    if (pad.attribute(QStringLiteral("first")) == QLatin1String("yes") && first >= 0)
        shape = first;
    return shape >= 0 && shape < 3
            ? forced.at(shape)
            : pad.attribute(QStringLiteral("shape"), QStringLiteral("round"));
}

int roundness(const Rules &rules, double dx, double dy, int own)
{
    const double side = std::min(dx, dy);
    const double least = length(rules, QStringLiteral("srMinRoundness"), 0);
    const double most = length(rules, QStringLiteral("srMaxRoundness"), 0);
    double radius = number(rules, QStringLiteral("srRoundness"), 0) * side;
    radius = least > most ? most : std::min(std::max(radius, least), most);
    const int byRules = side > 0 ? int(std::lround(200 * radius / side)) : 0;
    return std::min(std::max(own, byRules), 100);
}

double frame(const Rules &rules, double dx, double dy)
{
    const double least = length(rules, QStringLiteral("mlMinStopFrame"), 0);
    const double most = length(rules, QStringLiteral("mlMaxStopFrame"), 0);
    const double value = number(rules, QStringLiteral("mvStopFrame"), 1) * std::min(dx, dy);
    return least > most ? most : std::min(std::max(value, least), most);
}

// What the rules make of the copper of `document` moved by (dx, dy): one
// sorted list of keys per kind of feature.
struct Copper
{
    QStringList vias, tenting, pads, smds, frames;

    void add(const Copper &other)
    {
        vias += other.vias;
        tenting += other.tenting;
        pads += other.pads;
        smds += other.smds;
        frames += other.frames;
    }
    void sort()
    {
        for (QStringList *list : {&vias, &tenting, &pads, &smds, &frames})
            std::sort(list->begin(), list->end());
    }
};

Copper copperOf(const QDomDocument &document, const Rules &rules, double dx, double dy)
{
    Copper copper;
    const QDomElement root = document.documentElement();
    const double stopLimit = length(rules, QStringLiteral("mlViaStopLimit"), 0);
    const QDomNodeList vias = root.elementsByTagName(QStringLiteral("via"));
    for (int i = 0; i < vias.size(); ++i) {
        const QDomElement via = vias.item(i).toElement();
        const QString at = place(via.attribute(QStringLiteral("x")).toDouble() + dx,
                                 via.attribute(QStringLiteral("y")).toDouble() + dy);
        const double drill = lengthOf(via.attribute(QStringLiteral("drill")));
        const double diameter = lengthOf(via.attribute(QStringLiteral("diameter"), "0"));
        copper.vias << at + QLatin1Char(' ') + um(drill) + QLatin1Char(' ')
                        + um(outer(rules, QStringLiteral("ViaOuter"), drill, diameter));
        const bool tented = via.attribute(QStringLiteral("alwaysstop")) != QLatin1String("yes")
                && drill <= stopLimit + 1e-9;
        copper.tenting << at + (tented ? QStringLiteral(" tented") : QStringLiteral(" open"));
    }
    QHash<QString, QDomElement> packages;
    const QDomNodeList libraries = root.elementsByTagName(QStringLiteral("library"));
    for (int i = 0; i < libraries.size(); ++i) {
        const QDomElement library = libraries.item(i).toElement();
        const QDomNodeList list = library.elementsByTagName(QStringLiteral("package"));
        for (int j = 0; j < list.size(); ++j)
            packages.insert(library.attribute(QStringLiteral("name")) + QLatin1Char('/')
                                    + list.item(j).toElement().attribute(QStringLiteral("name")),
                            list.item(j).toElement());
    }
    const QDomNodeList elements = root.elementsByTagName(QStringLiteral("element"));
    for (int i = 0; i < elements.size(); ++i) {
        const QDomElement element = elements.item(i).toElement();
        const QDomElement package =
                packages.value(element.attribute(QStringLiteral("library")) + QLatin1Char('/')
                               + element.attribute(QStringLiteral("package")));
        const QString at = place(element.attribute(QStringLiteral("x")).toDouble() + dx,
                                 element.attribute(QStringLiteral("y")).toDouble() + dy);
        const QDomNodeList pads = package.elementsByTagName(QStringLiteral("pad"));
        for (int j = 0; j < pads.size(); ++j) {
            const QDomElement pad = pads.item(j).toElement();
            const double drill = lengthOf(pad.attribute(QStringLiteral("drill")));
            const double diameter = lengthOf(pad.attribute(QStringLiteral("diameter"), "0"));
            copper.pads << QStringList {at, um(drill),
                                        um(outer(rules, QStringLiteral("PadTop"), drill, diameter)),
                                        um(outer(rules, QStringLiteral("PadBottom"), drill,
                                                 diameter)),
                                        padShape(rules, pad)}
                                   .join(QLatin1Char(' '));
        }
        const QDomNodeList smds = package.elementsByTagName(QStringLiteral("smd"));
        for (int j = 0; j < smds.size(); ++j) {
            const QDomElement smd = smds.item(j).toElement();
            const double w = lengthOf(smd.attribute(QStringLiteral("dx")));
            const double h = lengthOf(smd.attribute(QStringLiteral("dy")));
            const QString key = QStringList {at, um(w), um(h)}.join(QLatin1Char(' '));
            copper.smds << key + QLatin1Char(' ')
                            + QString::number(
                                    roundness(rules, w, h,
                                              smd.attribute(QStringLiteral("roundness")).toInt()));
            copper.frames << key + QLatin1Char(' ') + um(frame(rules, w, h));
        }
    }
    copper.sort();
    return copper;
}

// The definition of the net class of each signal, in order: what EAGLE routes
// and checks it by.
QStringList signalClassesOf(const QDomDocument &document)
{
    QHash<QString, QString> definitions;
    const QDomNodeList classes = document.elementsByTagName(QStringLiteral("class"));
    for (int i = 0; i < classes.size(); ++i) {
        const QDomElement entry = classes.item(i).toElement();
        QStringList definition {entry.attribute("width", "0"), entry.attribute("drill", "0"),
                                entry.attribute("clearance", "0")};
        // A clearance within the class stands under the class's own number.
        for (QDomElement c = entry.firstChildElement(); !c.isNull(); c = c.nextSiblingElement())
            definition << (c.attribute("class") == entry.attribute("number") ? QString("self")
                                                                             : c.attribute("class"))
                            + '=' + c.attribute("value");
        definitions.insert(entry.attribute("number"), definition.join(' '));
    }
    QStringList result;
    const QDomNodeList signalList = document.elementsByTagName(QStringLiteral("signal"));
    for (int i = 0; i < signalList.size(); ++i)
        result << definitions.value(signalList.item(i).toElement().attribute("class", "0"));
    return result;
}

// The copper layers (1 to 16) that the signals of `document` draw on.
QSet<int> copperLayersUsed(const QDomDocument &document)
{
    QSet<int> used;
    const QDomNodeList signalList = document.elementsByTagName(QStringLiteral("signal"));
    for (int i = 0; i < signalList.size(); ++i) {
        for (QDomElement item = signalList.item(i).firstChildElement(); !item.isNull();
             item = item.nextSiblingElement()) {
            const int layer = item.attribute(QStringLiteral("layer")).toInt();
            if (layer >= 1 && layer <= 16)
                used << layer;
        }
    }
    return used;
}

// The copper layers a layer setup names, and those of the layer table that
// are active.
QSet<int> setupLayers(const Rules &rules)
{
    QSet<int> layers;
    static const QRegularExpression number(QStringLiteral("\\d+"));
    auto it = number.globalMatch(rules.value(QStringLiteral("layerSetup")));
    while (it.hasNext())
        layers << it.next().captured().toInt();
    return layers;
}

QSet<int> activeLayers(const QDomDocument &document)
{
    QSet<int> active;
    const QDomNodeList layers = document.elementsByTagName(QStringLiteral("layer"));
    for (int i = 0; i < layers.size(); ++i) {
        const QDomElement layer = layers.item(i).toElement();
        if (layer.attribute(QStringLiteral("active")) == QLatin1String("yes"))
            active << layer.attribute(QStringLiteral("number")).toInt();
    }
    return active;
}

QDomDocument parsed(const QByteArray &text)
{
    QDomDocument document;
    document.setContent(text);
    return document;
}

// The first line of the two lists that differs, for a readable failure.
QString firstDifference(const QStringList &got, const QStringList &want)
{
    for (int i = 0; i < std::max(got.size(), want.size()); ++i) {
        const QString a = got.value(i), b = want.value(i);
        if (a != b)
            return QStringLiteral("panel %1, board %2").arg(a, b);
    }
    return QString();
}

} // namespace

void TestPanelRules::mixedPanelsKeepEachBoardsCopper_data()
{
    QTest::addColumn<QStringList>("boards");
    // Boards of every maker, the four-layer RTK board first and later, and
    // pairs whose rings, via stop limits, first-pad shapes and stop frames
    // differ.
    const QList<QStringList> panels {
            {"OpenLog", "Graphic_LCD_Backpack", "ChairControl", "BusPirate-v3.8a-SSOP"},
            {"SparkFun_RTK_Express", "OpenLog", "SnowFlake"},
            {"AMG8833_REV-B", "SparkFun_RTK_Express", "MOAC"},
            {"Adafruit_TB6612", "Metro_Mini_328_V2_-_STEMMA_QT", "MoldTopPCBs", "Qwiic_LED_Stick"},
            {"SnowFlake", "Robotic_Finger_Sensor", "SBCONN", "Serial_Controlled_Motor_Driver"},
            {"MOAC", "Qwiic_MP3_Trigger", "BusPirate-v3.8a-SSOP", "SparkFun_RTK_Express"},
            {"ChairControl", "OpenLog", "Qwiic_MP3_Trigger-Panel"},
            {"BusPirate-v3.8a-SSOP", "SnowFlake", "Metro_Mini_328_V2_-_STEMMA_QT", "AMG8833_REV-B"},
    };
    for (const QStringList &panel : panels)
        QTest::newRow(qPrintable(panel.join(QLatin1Char('+')))) << panel;
}

void TestPanelRules::mixedPanelsKeepEachBoardsCopper()
{
    REQUIRE_REAL_BOARDS();
    QFETCH(QStringList, boards);
    QVector<BoardCopy> copies;
    Copper want, unreportedFramesWant, unreportedFramesGot;
    QVector<Rules> ownRules;
    QVector<QDomDocument> documents;
    for (int i = 0; i < boards.size(); ++i) {
        const QString path = realBoard(boards.at(i) + QLatin1String(".brd"));
        copies << readCopy(readWholeFile(path), 400 * i, 10 * i);
        documents << parsed(readWholeFile(path));
        ownRules << rulesOf(documents.last());
        want.add(copperOf(documents.last(), ownRules.last(), 400 * i, 10 * i));
    }
    want.sort();
    const PanelAssembly assembly = assembled(copies);
    const QDomDocument panel = parsed(assembly.text.joined());
    const Rules panelRules = rulesOf(panel);
    const Copper got = copperOf(panel, panelRules, 0, 0);
    QCOMPARE(got.vias.size(), want.vias.size());
    QVERIFY2(got.vias == want.vias, qPrintable(firstDifference(got.vias, want.vias)));
    QVERIFY2(got.tenting == want.tenting, qPrintable(firstDifference(got.tenting, want.tenting)));
    QVERIFY2(got.pads == want.pads, qPrintable(firstDifference(got.pads, want.pads)));
    QVERIFY2(got.smds == want.smds, qPrintable(firstDifference(got.smds, want.smds)));
    // Every copper layer a copy draws on is one of the panel's, and active.
    for (int i = 0; i < boards.size(); ++i) {
        const QSet<int> used = copperLayersUsed(documents.at(i));
        QVERIFY2(setupLayers(panelRules).contains(used), qPrintable(boards.at(i)));
        QVERIFY2(activeLayers(panel).contains(used), qPrintable(boards.at(i)));
    }
    // Every signal is routed by its own board's class definition.
    QStringList wantClasses;
    for (const QDomDocument &document : documents)
        wantClasses += signalClassesOf(document);
    QCOMPARE(signalClassesOf(panel), wantClasses);

    // Stop frames cannot be carried: a board whose frames the panel's rules
    // change must be named in the report.
    QSet<int> reported;
    for (const RuleDifference &difference : assembly.rules) {
        if (difference.rule.startsWith(QLatin1String("Stop mask frame"))) {
            for (const RuleDifference::BoardValue &board : difference.boards)
                reported << board.board;
        }
    }
    for (int i = 0; i < boards.size(); ++i) {
        const bool changed = copperOf(documents.at(i), panelRules, 0, 0).frames
                != copperOf(documents.at(i), ownRules.at(i), 0, 0).frames;
        QVERIFY2(!changed || reported.contains(i), qPrintable(boards.at(i)));
    }
}

namespace {

QString handMadeBoard(const QString &rules, const QString &via)
{
    return QStringLiteral(
                   "<eagle><drawing><board><plain/><libraries><library name=\"L\"><packages>"
                   "<package name=\"P\"><pad name=\"1\" x=\"0\" y=\"0\" drill=\"0.8\" "
                   "first=\"yes\"/><smd name=\"2\" x=\"2\" y=\"0\" dx=\"1\" dy=\"0.5\" "
                   "layer=\"1\"/></package></packages></library></libraries>"
                   "<designrules name=\"r\">%1</designrules><elements><element name=\"U\" "
                   "library=\"L\" package=\"P\" value=\"\" x=\"0\" y=\"0\"/></elements>"
                   "<signals><signal name=\"S\">%2</signal></signals></board></drawing></eagle>")
            .arg(rules, via);
}

QString params(const QStringList &pairs)
{
    QString text;
    for (int i = 0; i + 1 < pairs.size(); i += 2)
        text += QStringLiteral("<param name=\"%1\" value=\"%2\"/>")
                        .arg(pairs.at(i), pairs.at(i + 1));
    return text;
}

} // namespace

void TestPanelRules::secondBoardKeepsItsVia_data()
{
    QTest::addColumn<QStringList>("firstRules");
    QTest::addColumn<QStringList>("secondRules");
    QTest::addColumn<QString>("via");
    // The attributes the second copy's via carries on the panel.
    QTest::addColumn<QString>("diameter");
    QTest::addColumn<QString>("alwaysStop");

    const QString small = QStringLiteral("<via x=\"1\" y=\"1\" extent=\"1-16\" drill=\"0.3\"/>");
    QTest::newRow("same rules: nothing written")
            << QStringList {"rlMinViaOuter", "8mil"} << QStringList {"rlMinViaOuter", "8mil"}
            << small << QString() << QString();
    QTest::newRow("larger minimum ring: its own diameter")
            << QStringList {"rlMinViaOuter", "5mil"} << QStringList {"rlMinViaOuter", "10mil"}
            << small << "0.808" << QString();
    QTest::newRow("smaller minimum ring: the panel takes it, nothing written")
            << QStringList {"rlMinViaOuter", "10mil"} << QStringList {"rlMinViaOuter", "5mil"}
            << small << QString() << QString();
    QTest::newRow("minimum above maximum: the maximum wins")
            << QStringList {"rlMinViaOuter", "5mil", "rlMaxViaOuter", "20mil"}
            << QStringList {"rlMinViaOuter", "30mil", "rlMaxViaOuter", "10mil"} << small << "0.808"
            << QString();
    QTest::newRow("percent between the limits")
            << QStringList {"rvViaOuter", "0.25", "rlMinViaOuter", "0mm", "rlMaxViaOuter", "1mm"}
            << QStringList {"rvViaOuter", "0.35", "rlMinViaOuter", "0mm", "rlMaxViaOuter", "1mm"}
            << "<via x=\"1\" y=\"1\" extent=\"1-16\" drill=\"1\"/>"
            << "1.7" << QString();
    QTest::newRow("percent held by the maximum")
            << QStringList {"rvViaOuter", "0.25", "rlMinViaOuter", "0mm", "rlMaxViaOuter", "1mm"}
            << QStringList {"rvViaOuter", "0.5", "rlMinViaOuter", "0mm", "rlMaxViaOuter", "0.3mm"}
            << "<via x=\"1\" y=\"1\" extent=\"1-16\" drill=\"1\"/>"
            << "1.6" << QString();
    QTest::newRow("explicit diameter above both rings stays")
            << QStringList {"rlMinViaOuter", "5mil"} << QStringList {"rlMinViaOuter", "10mil"}
            << "<via x=\"1\" y=\"1\" extent=\"1-16\" drill=\"0.3\" diameter=\"1.2\"/>"
            << "1.2" << QString();
    QTest::newRow("explicit diameter below its ring grows")
            << QStringList {"rlMinViaOuter", "5mil"} << QStringList {"rlMinViaOuter", "10mil"}
            << "<via x=\"1\" y=\"1\" extent=\"1-16\" drill=\"0.3\" diameter=\"0.6\"/>"
            << "0.808" << QString();
    QTest::newRow("open under its own stop limit, tented under the panel's")
            << QStringList {"mlViaStopLimit", "20mil"} << QStringList {"mlViaStopLimit", "0mil"}
            << small << QString() << "yes";
    QTest::newRow("tented under both limits")
            << QStringList {"mlViaStopLimit", "0mil"} << QStringList {"mlViaStopLimit", "20mil"}
            << small << QString() << QString();
    QTest::newRow("a board without rules is made by the panel's")
            << QStringList {"rlMinViaOuter", "10mil", "mlViaStopLimit", "20mil"} << QStringList()
            << small << QString() << QString();
    QTest::newRow("drill above both limits")
            << QStringList {"mlViaStopLimit", "5mil"} << QStringList {"mlViaStopLimit", "10mil"}
            << small << QString() << QString();
}

void TestPanelRules::secondBoardKeepsItsVia()
{
    QFETCH(QStringList, firstRules);
    QFETCH(QStringList, secondRules);
    QFETCH(QString, via);
    QFETCH(QString, diameter);
    QFETCH(QString, alwaysStop);
    const QString first = handMadeBoard(params(firstRules), via);
    const QString second = handMadeBoard(params(secondRules), via);
    const QDomDocument panel = parsed(assembled(QStringList {first, second}).text.joined());
    const QDomNodeList vias = panel.elementsByTagName(QStringLiteral("via"));
    QCOMPARE(vias.size(), 2);
    const QDomElement copy = vias.item(1).toElement();
    QCOMPARE(copy.attribute(QStringLiteral("diameter")), diameter);
    QCOMPARE(copy.attribute(QStringLiteral("alwaysstop")), alwaysStop);

    // Both copies, the first as well, are what their own rules make them.
    const Rules panelRules = rulesOf(panel);
    for (int i = 0; i < 2; ++i) {
        const QDomElement written = vias.item(i).toElement();
        const QDomElement source = parsed((i ? second : first).toUtf8())
                                           .elementsByTagName(QStringLiteral("via"))
                                           .item(0)
                                           .toElement();
        Rules own = rulesOf(parsed((i ? second : first).toUtf8()));
        if (own.isEmpty())
            own = panelRules;
        const double drill = lengthOf(source.attribute(QStringLiteral("drill")));
        QCOMPARE(um(outer(panelRules, QStringLiteral("ViaOuter"), drill,
                          lengthOf(written.attribute(QStringLiteral("diameter"), "0")))),
                 um(outer(own, QStringLiteral("ViaOuter"), drill,
                          lengthOf(source.attribute(QStringLiteral("diameter"), "0")))));
    }
}

namespace {

QString classBoard(const QString &classes, const QString &signalClass)
{
    const QString signal = signalClass.isNull()
            ? QStringLiteral("<signal name=\"S\"/>")
            : QStringLiteral("<signal name=\"S\" class=\"%1\"/>").arg(signalClass);
    return QStringLiteral("<eagle><drawing><board><plain/><libraries/><classes>%1</classes>"
                          "<elements/><signals>%2</signals></board></drawing></eagle>")
            .arg(classes, signal);
}

QString netClass(int number, const QString &name, const QString &width,
                 const QString &clearances = QString())
{
    return QStringLiteral("<class number=\"%1\" name=\"%2\" width=\"%3\" drill=\"0\">%4</class>")
            .arg(QString::number(number), name, width, clearances);
}

} // namespace

void TestPanelRules::classesThatDifferTakeFreeNumbers_data()
{
    QTest::addColumn<QStringList>("boards");
    QTest::addColumn<QStringList>("classes"); // the panel's table, number:name:width
    QTest::addColumn<QStringList>("signalClasses"); // each copy's signal, "" without one
    QTest::addColumn<QString>("overflow"); // the report's text on classes past the limit

    const QString first = netClass(0, "default", "0") + netClass(1, "power", "0.3");
    QTest::newRow("equal definitions keep their numbers")
            << QStringList {classBoard(first, "1"), classBoard(first, "1")}
            << QStringList {"0:default:0", "1:power:0.3"} << QStringList {"1", "1"} << QString();
    QTest::newRow("a wider power class takes the next free number")
            << QStringList {classBoard(first, "1"),
                            classBoard(netClass(0, "default", "0") + netClass(1, "power", "0.4"),
                                       "1")}
            << QStringList {"0:default:0", "1:power:0.3", "2:power:0.4"} << QStringList {"1", "2"}
            << QString();
    QTest::newRow("a signal without a class follows its class 0")
            << QStringList {classBoard(first, QString()),
                            classBoard(netClass(0, "default", "0.2"), QString())}
            << QStringList {"0:default:0", "1:power:0.3", "2:default:0.2"} << QStringList {"", "2"}
            << QString();
    QTest::newRow("a number the panel lacks is kept")
            << QStringList {classBoard(first, "1"), classBoard(netClass(3, "rf", "0.5"), "3")}
            << QStringList {"0:default:0", "1:power:0.3", "3:rf:0.5"} << QStringList {"1", "3"}
            << QString();
    QTest::newRow("equal definitions share the number one of them took")
            << QStringList {classBoard(first, "1"), classBoard(netClass(1, "power", "0.4"), "1"),
                            classBoard(netClass(1, "vcc", "0.4"), "1")}
            << QStringList {"0:default:0", "1:power:0.3", "2:power:0.4"}
            << QStringList {"1", "2", "2"} << QString();
    QTest::newRow("a class-to-class clearance makes another definition")
            << QStringList {classBoard(first, "1"),
                            classBoard(netClass(0, "default", "0")
                                               + netClass(1, "power", "0.3",
                                                          "<clearance class=\"0\" value=\"0.5\"/>"),
                                       "1")}
            << QStringList {"0:default:0", "1:power:0.3", "2:power:0.3"} << QStringList {"1", "2"}
            << QString();
    QString full;
    QStringList fullTable;
    for (int i = 0; i < 16; ++i) {
        full += netClass(i, QStringLiteral("c%1").arg(i), QString::number(0.1 * (i + 1)));
        fullTable << QStringLiteral("%1:c%1:%2").arg(i).arg(0.1 * (i + 1));
    }
    QTest::newRow("past EAGLE's sixteen classes: reported, the number shared")
            << QStringList {classBoard(full, "1"), classBoard(netClass(1, "wide", "2"), "1")}
            << fullTable << QStringList {"1", "1"} << "board 2 wide (1)";
}

void TestPanelRules::classesThatDifferTakeFreeNumbers()
{
    QFETCH(QStringList, boards);
    QFETCH(QStringList, classes);
    QFETCH(QStringList, signalClasses);
    QFETCH(QString, overflow);
    const PanelAssembly assembly = assembled(boards);
    const QDomDocument panel = parsed(assembly.text.joined());
    QStringList table;
    const QDomNodeList entries = panel.elementsByTagName(QStringLiteral("class"));
    for (int i = 0; i < entries.size(); ++i) {
        const QDomElement entry = entries.item(i).toElement();
        table << QStringList {entry.attribute("number"), entry.attribute("name"),
                              entry.attribute("width")}
                         .join(QLatin1Char(':'));
    }
    QCOMPARE(table, classes);
    QStringList used;
    const QDomNodeList signalList = panel.elementsByTagName(QStringLiteral("signal"));
    for (int i = 0; i < signalList.size(); ++i)
        used << signalList.item(i).toElement().attribute(QStringLiteral("class"));
    QCOMPARE(used, signalClasses);
    const QString report = ruleLines(designRulesProblem(assembly.rules, {})).join('\n');
    if (overflow.isEmpty())
        QCOMPARE(report, QString());
    else
        QVERIFY2(report.contains(overflow), qPrintable(report));
}

void TestPanelRules::layerSetupHoldsEveryBoard_data()
{
    QTest::addColumn<QStringList>("setups");
    QTest::addColumn<QString>("panelSetup");
    QTest::addColumn<bool>("reported");
    QTest::newRow("two layers on a four-layer panel")
            << QStringList {"(1*2*15*16)", "(1*16)"} << "(1*2*15*16)" << false;
    QTest::newRow("a four-layer board behind two-layer ones")
            << QStringList {"(1*16)", "(1*16)", "(1*2*15*16)"} << "(1*2*15*16)" << false;
    QTest::newRow("one setup") << QStringList {"(1*16)", "(1*16)"} << "(1*16)" << false;
    QTest::newRow("blind vias and other inner layers: none holds both")
            << QStringList {"[2:1+2*15+16]", "(1*3*14*16)"} << "[2:1+2*15+16]" << true;
}

void TestPanelRules::layerSetupHoldsEveryBoard()
{
    QFETCH(QStringList, setups);
    QFETCH(QString, panelSetup);
    QFETCH(bool, reported);
    QStringList boards;
    for (const QString &setup : setups)
        boards << handMadeBoard(params({"layerSetup", setup}), QString());
    const PanelAssembly assembly = assembled(boards);
    QCOMPARE(rulesOf(parsed(assembly.text.joined())).value(QStringLiteral("layerSetup")),
             panelSetup);
    QCOMPARE(ruleLines(designRulesProblem(assembly.rules, setups))
                     .join(QLatin1Char('\n'))
                     .contains(QLatin1String("Layer setup")),
             reported);
}

QTEST_GUILESS_MAIN(TestPanelRules)
#include "tst_panelrules.moc"
