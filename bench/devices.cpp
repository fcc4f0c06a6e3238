#include "devices.h"

#include "footprints.h"

namespace benchgen {

namespace {

// Library descriptions are long on real boards: every library carries its
// own copy of its maker's notes and licence.
QByteArray libraryDescription(const QByteArray &title, const QByteArray &contents,
                              const QByteArray &designator)
{
    return "<h3>Acme " + title + "</h3>\n" + contents + " Reference designator: " + designator
            + ".\n<br>\n<br>\n"
              "Every footprint here was checked against the land pattern its maker recommends, "
              "but it stays <b>the user's responsibility</b> to check it for a given part, "
              "process and assembly house before ordering boards.\n<br>\n<br>\n"
              "<b>Licence:</b> Creative Commons ShareAlike 4.0 International - "
              "https://creativecommons.org/licenses/by-sa/4.0/\n<br>\n<br>\n"
              "You may use this library for commercial work. If a product of yours uses our "
              "footprints, a note with a link to it is welcome: we like to know where our "
              "parts end up, and we may show it on our pages.";
}

class CatalogueBuilder
{
public:
    int library(const QByteArray &title, const QByteArray &contents, const QByteArray &designator)
    {
        result.libraries.append(
                {"Acme-" + title, libraryDescription(title, contents, designator), {}});
        return result.libraries.size() - 1;
    }

    int package(int library, const Package &package)
    {
        QVector<Package> &packages = result.libraries[library].packages;
        packages.append(package);
        return packages.size() - 1;
    }

    int device(const QByteArray &prefix, int library, int package, const QByteArrayList &values,
               const QByteArray &productId, int weight, Wiring wiring)
    {
        result.devices.append({prefix, library, package, values, productId, weight, wiring});
        return result.devices.size() - 1;
    }

    // A package used by one kind of part only.
    int device(const QByteArray &prefix, int library, const Package &package,
               const QByteArrayList &values, const QByteArray &productId, int weight, Wiring wiring)
    {
        return device(prefix, library, this->package(library, package), values, productId, weight,
                      wiring);
    }

    Catalogue result;
};

const QByteArrayList resistorValues = {"10k",  "4.7k", "1k",   "330",  "100k",
                                       "2.2k", "0",    "49.9", "5.1k", "22"};
const QByteArrayList capacitorValues = {"100nF", "1uF",   "10uF",      "22pF",
                                        "4.7uF", "0.1uF", "22uF 6.3V", "10nF"};

void addPassives(CatalogueBuilder &c)
{
    const int resistors =
            c.library("Resistors", "This library holds resistors of every common size.", "R");
    const int capacitors =
            c.library("Capacitors", "Ceramic, tantalum and electrolytic capacitors.", "C");
    const int inductors =
            c.library("Inductors", "Inductors and ferrite beads for supplies and filters.", "L");

    const ChipShape c0402 = {1_mm, 0.5_mm, 0.6_mm, 0.7_mm, 1_mm};
    const ChipShape c0603 = {1.6_mm, 0.8_mm, 1.1_mm, 1_mm, 1.7_mm};
    const ChipShape c0805 = {2_mm, 1.25_mm, 1.2_mm, 1.4_mm, 2_mm};
    const ChipShape c1206 = {3.2_mm, 1.6_mm, 1.4_mm, 1.8_mm, 3.2_mm};
    const ChipShape c1210 = {3.2_mm, 2.5_mm, 1.4_mm, 2.7_mm, 3.2_mm};
    const ChipShape c2512 = {6.3_mm, 3.2_mm, 1.8_mm, 3.4_mm, 6_mm};

    const Wiring series = Wiring::Series;
    c.device("R", resistors, chipPackage("0402", c0402), resistorValues, "RES-12345", 16, series);
    c.device("R", resistors, chipPackage("0603", c0603), resistorValues, "RES-07857", 32, series);
    c.device("R", resistors, chipPackage("0805", c0805), resistorValues, "RES-08375", 8, series);
    c.device("R", resistors, chipPackage("1206", c1206), resistorValues, "", 4, series);
    c.device("R", resistors, chipPackage("2512", c2512), {"0.05", "0.1"}, "", 2, series);

    const Wiring decoupling = Wiring::Decoupling;
    const QByteArray cap = "CAP-00810";
    c.device("C", capacitors, chipPackage("0402", c0402), capacitorValues, cap, 16, decoupling);
    c.device("C", capacitors, chipPackage("0603", c0603), capacitorValues, cap, 32, decoupling);
    c.device("C", capacitors, chipPackage("0805", c0805), capacitorValues, cap, 12, decoupling);
    c.device("C", capacitors, chipPackage("1206", c1206), {"47uF", "22uF"}, "", 4, decoupling);
    c.device("C", capacitors, chipPackage("1210", c1210), {"100uF"}, "", 2, decoupling);
    c.device("C", capacitors, electrolyticPackage("PANASONIC_C", 5_mm), {"47uF 16V"}, "", 1,
             decoupling);
    c.device("C", capacitors, electrolyticPackage("PANASONIC_D", 6.3_mm), {"100uF 16V"}, "", 1,
             decoupling);
    c.device("C", capacitors, electrolyticPackage("PANASONIC_E", 8_mm), {"220uF 25V"}, "", 1,
             decoupling);
    c.device("C", capacitors, chipPackage("EIA3528", {3.5_mm, 2.8_mm, 1.6_mm, 2.4_mm, 3_mm}),
             {"100uF 10V", "220uF"}, "CAP-13355", 2, decoupling);

    // Ferrite beads are drawn in the inductor library under the same package
    // names as the resistors', as real libraries do.
    c.device("FB", inductors, chipPackage("0603", c0603), {"600\xce\xa9@100MHz", "120\xce\xa9"},
             "NDT-07859", 2, series);
    c.device("L", inductors, chipPackage("0805", c0805), {"2.2uH"}, "", 2, series);
    c.device("L", inductors, chipPackage("4X4-SMD", {4_mm, 4_mm, 1.5_mm, 3.6_mm, 3.6_mm}),
             {"4.7uH", "10uH"}, "NDT-13489", 2, series);
    c.device("L", inductors, chipPackage("SRN6045", {6_mm, 6_mm, 1.8_mm, 5.2_mm, 4.4_mm}), {"22uH"},
             "", 2, series);
}

void addSemiconductors(CatalogueBuilder &c)
{
    const int diodes = c.library("Diodes", "Rectifiers, Schottky and signal diodes.", "D");
    const int leds = c.library("LED", "Light emitting diodes in common SMD sizes.", "D");
    const int transistors = c.library("Transistors", "Bipolar transistors and MOSFETs.", "Q");
    const QByteArrayList ac = {"A", "C"};

    const Wiring series = Wiring::Series;
    c.device("D", diodes, chipPackage("SOD-123", {2.7_mm, 1.6_mm, 1.2_mm, 1.2_mm, 3.6_mm}, ac),
             {"1N4148W", "BAT54"}, "DIO-11525", 4, series);
    c.device("D", diodes, chipPackage("SMA", {4.3_mm, 2.6_mm, 2.2_mm, 1.8_mm, 4.6_mm}, ac),
             {"SS14", "M7"}, "DIO-09646", 2, series);
    c.device("D", diodes, chipPackage("SOD-323", {1.7_mm, 1.25_mm, 0.6_mm, 0.5_mm, 2.3_mm}, ac),
             {"BAT760"}, "", 2, series);
    const QByteArrayList colours = {"RED", "GREEN", "BLUE", "YELLOW", "WHITE"};
    c.device("LED", leds, chipPackage("LED-0603", {1.6_mm, 0.8_mm, 0.9_mm, 0.9_mm, 1.6_mm}, ac),
             colours, "DIO-00819", 6, series);
    c.device("LED", leds, chipPackage("LED-0805", {2_mm, 1.25_mm, 1.1_mm, 1.2_mm, 2_mm}, ac),
             colours, "", 2, series);
    c.device("LED", leds, chipPackage("LED-1206", {3.2_mm, 1.6_mm, 1.4_mm, 1.6_mm, 3.2_mm}, ac),
             colours, "", 2, series);

    const DualRowShape sot23 = {2, 1, 1.9_mm, 2.2_mm, 1_mm, 0.8_mm};
    c.device("Q", transistors, dualRowPackage("SOT-23", sot23), {"BSS138", "MMBT3904", "AO3401"},
             "TRANS-00830", 6, Wiring::Chip);
    const DualRowShape sot223 = {3, 1, 2.3_mm, 6.2_mm, 2_mm, 1.2_mm};
    c.device("Q", transistors, dualRowPackage("SOT-223", sot223), {"BCP56"}, "", 2, Wiring::Chip);
}

void addIntegratedCircuits(CatalogueBuilder &c)
{
    const int power = c.library("PowerIC", "Regulators, chargers and supervisors.", "U");
    const int logic = c.library("ICs", "Logic, interface and sensor chips.", "U");
    const int mcus = c.library("Microcontrollers", "Microcontrollers and radios.", "U");
    const Wiring chip = Wiring::Chip;

    c.device("U", power, dualRowPackage("SOT23-5", {3, 2, 0.95_mm, 2.6_mm, 1.1_mm, 0.6_mm}),
             {"AP2112K-3.3", "MIC5205"}, "VREG-12457", 4, chip);
    c.device("U", power, dualRowPackage("SOT-223", {3, 1, 2.3_mm, 6.2_mm, 2_mm, 1.2_mm}),
             {"LM1117-3.3", "AMS1117"}, "", 2, chip);
    c.device("U", power, dualRowPackage("MSOP-10", {5, 5, 0.5_mm, 4.4_mm, 1.4_mm, 0.3_mm}),
             {"MCP73871", "TPS2113A"}, "", 2, chip);
    c.device("U", logic, dualRowPackage("SO-08", {4, 4, 1.27_mm, 5.4_mm, 1.55_mm, 0.6_mm}),
             {"24LC256", "LM358", "MAX485"}, "IC-09460", 4, chip);
    c.device("U", logic, dualRowPackage("SO-14", {7, 7, 1.27_mm, 5.4_mm, 1.55_mm, 0.6_mm}),
             {"74HC00", "LM324"}, "", 2, chip);
    c.device("U", logic, dualRowPackage("SO-16", {8, 8, 1.27_mm, 5.4_mm, 1.55_mm, 0.6_mm}),
             {"CD4051", "74HC595"}, "", 1, chip);
    c.device("U", logic, dualRowPackage("SOT-363", {3, 3, 0.65_mm, 2.1_mm, 0.8_mm, 0.4_mm}),
             {"74LVC2G14", "BSS138DW"}, "", 2, chip);
    c.device("U", logic, dualRowPackage("DFN-8", {4, 4, 0.5_mm, 2.9_mm, 0.7_mm, 0.3_mm}),
             {"MCP1700", "SHT31"}, "", 1, chip);
    c.device("U", logic, dualRowPackage("TSSOP-14", {7, 7, 0.65_mm, 5.8_mm, 1.5_mm, 0.45_mm}),
             {"74HC14"}, "", 1, chip);
    c.device("U", logic, dualRowPackage("TSSOP-24", {12, 12, 0.65_mm, 5.8_mm, 1.5_mm, 0.45_mm}),
             {"TCA9548A"}, "", 1, chip);
    c.device("U", logic, dualRowPackage("SSOP-28", {14, 14, 0.65_mm, 7.2_mm, 1.75_mm, 0.45_mm}),
             {"FT232RL", "CP2102N"}, "IC-09460", 1, chip);
    c.device("U", logic, dualRowPackage("TSSOP-16", {8, 8, 0.65_mm, 5.8_mm, 1.5_mm, 0.45_mm}),
             {"CH340C", "TXB0104"}, "", 2, chip);
    c.device("U", logic, dualRowPackage("TSSOP-20", {10, 10, 0.65_mm, 5.8_mm, 1.5_mm, 0.45_mm}),
             {"TXS0108E", "PCA9685"}, "IC-13872", 1, chip);
    c.device("U", logic, quadPackage("QFN-16", {4, 0.65_mm, 3.1_mm, 0.8_mm, 0.35_mm, 1.7_mm}),
             {"LIS3DH", "BME280"}, "", 2, chip);
    c.device("U", logic, quadPackage("QFN-24", {6, 0.5_mm, 4.1_mm, 0.8_mm, 0.28_mm, 2.6_mm}),
             {"ICM-20948", "FT231X"}, "IC-14001", 1, chip);
    c.device("U", logic, quadPackage("QFN-20", {5, 0.5_mm, 4_mm, 0.8_mm, 0.28_mm, 2.1_mm}),
             {"DRV8833", "MAX17048"}, "", 1, chip);
    c.device("U", logic, quadPackage("QFN-28", {7, 0.5_mm, 5_mm, 0.8_mm, 0.28_mm, 3.2_mm}),
             {"TPA2016", "WM8960"}, "", 1, chip);
    c.device("U", mcus, quadPackage("QFN-40", {10, 0.4_mm, 5.9_mm, 0.8_mm, 0.22_mm, 4.2_mm}),
             {"RP2040-QFN40"}, "", 1, chip);
    c.device("U", mcus, quadPackage("QFN-64", {16, 0.5_mm, 9_mm, 0.8_mm, 0.28_mm, 5.6_mm}),
             {"ATSAMD51"}, "", 1, chip);
    c.device("U", mcus, quadPackage("LQFP-48", {12, 0.5_mm, 8.4_mm, 1.5_mm, 0.3_mm, 0}),
             {"STM32F103C8T6"}, "IC-13920", 1, chip);
    c.device("U", mcus, modulePackage("ESP32-WROOM", 14, 10), {"ESP32-WROOM-32E"}, "WRL-15663", 1,
             chip);
    c.device("U", mcus, quadPackage("QFN-32", {8, 0.5_mm, 5_mm, 0.8_mm, 0.28_mm, 3.4_mm}),
             {"ATMEGA328P-MU", "NRF52810"}, "", 1, chip);
    c.device("U", mcus, quadPackage("QFN-48", {12, 0.4_mm, 6.1_mm, 0.8_mm, 0.22_mm, 4.6_mm}),
             {"NRF52840", "STM32F103CBU6"}, "IC-15172", 1, chip);
    c.device("U", mcus, quadPackage("TQFP-32", {8, 0.8_mm, 8.4_mm, 1.5_mm, 0.5_mm, 0}),
             {"ATMEGA328P-AU"}, "IC-09069", 1, chip);
    c.device("U", mcus, quadPackage("TQFP-44", {11, 0.8_mm, 11.4_mm, 1.5_mm, 0.5_mm, 0}),
             {"ATMEGA32U4"}, "", 1, chip);
    c.device("U", mcus, quadPackage("TQFP-64", {16, 0.5_mm, 11.4_mm, 1.5_mm, 0.3_mm, 0}),
             {"STM32F405RGT6"}, "", 1, chip);
    c.device("U", mcus, quadPackage("TQFP-100", {25, 0.5_mm, 15.4_mm, 1.5_mm, 0.3_mm, 0}),
             {"STM32F407VGT6", "SAMD51J20A"}, "IC-16117", 1, chip);
}

void addElectromechanical(CatalogueBuilder &c)
{
    const int crystals = c.library("Crystals", "Crystals and resonators.", "Y");
    const int connectors =
            c.library("Connectors", "Headers, board-to-wire connectors and USB receptacles.", "J");
    const int switches = c.library("Switches", "Push buttons and slide switches.", "SW");
    const Wiring chip = Wiring::Chip;
    const Wiring connector = Wiring::Connector;

    c.device("Y", crystals, crystalPackage("CRYSTAL-SMD-3.2X2.5"), {"16MHz", "32MHz"}, "XTAL-12345",
             2, chip);
    c.device("Y", crystals, chipPackage("CRYSTAL-SMD-2X6", {6_mm, 2_mm, 1.2_mm, 2_mm, 5_mm}),
             {"32.768kHz"}, "", 2, Wiring::Series);
    const QByteArray header = "CONN-08352";
    const QVector<int> singleRows = {1, 2, 3, 4, 5, 6, 8, 10, 12};
    const QVector<int> singleRowWeights = {1, 4, 2, 4, 1, 2, 2, 1, 1};
    for (int i = 0; i < singleRows.size(); ++i) {
        const int pins = singleRows.at(i);
        const QByteArray name = "1X" + num(pins).rightJustified(2, '0');
        c.device("J", connectors, headerPackage(name, 1, pins), {"", name}, header,
                 singleRowWeights.at(i), connector);
    }
    c.device("J", connectors, headerPackage("2X03", 2, 3), {"AVR_SPI_PROG"}, "", 2, connector);
    c.device("J", connectors, headerPackage("2X04", 2, 4), {""}, "", 1, connector);
    c.device("J", connectors, headerPackage("2X05", 2, 5), {"CORTEX_DEBUG"}, "", 2, connector);
    c.device("J", connectors, headerPackage("2X08", 2, 8), {""}, "", 1, connector);
    c.device("J", connectors, headerPackage("2X10", 2, 10), {"JTAG"}, "", 1, connector);
    c.device("J", connectors, headerPackage("2X20", 2, 20), {"RPI_GPIO"}, "", 1, connector);
    for (const int pins : {3, 5, 6})
        c.device("J", connectors, smdConnectorPackage("JST-" + num(pins) + "-SMD", pins),
                 {"JST-" + num(pins)}, "", 1, connector);
    c.device("J", connectors, smdConnectorPackage("JST-2-SMD", 2), {"JST-2"}, "CONN-08352", 2,
             connector);
    c.device("J", connectors, smdConnectorPackage("JST04_1MM_RA", 4), {"QWIIC"}, "CONN-13694", 4,
             connector);
    c.device("J", connectors, usbCPackage("USB-C-16P"), {"USB_C"}, "CONN-15100", 2, connector);

    c.device("SW", switches, tactileSwitchPackage("TACTILE-SWITCH-SMD-6X3.5"), {"RESET", "BOOT"},
             "SWCH-08247", 4, chip);
    c.device("SW", switches, slideSwitchPackage("SWITCH-SPDT-SMD"), {"POWER"}, "", 2, chip);
}

void addMechanical(CatalogueBuilder &c)
{
    const int mechanical =
            c.library("Mechanical",
                      "Stand-offs, fiducials, test points and other footprints without "
                      "a symbol of their own.",
                      "H, FD, TP");
    const int aesthetics = c.library("Aesthetics", "Logos and other silkscreen art.", "LOGO");

    c.device("TP", mechanical, testPointPackage("TEST-POINT-1.5"), {""}, "", 6, Wiring::Probe);
    c.result.standOff = c.device("H", mechanical, standOffPackage("STAND-OFF"), {"STAND-OFF"}, "",
                                 0, Wiring::Unwired);
    c.result.fiducial = c.device("FD", mechanical, fiducialPackage("FIDUCIAL-1X2"), {"FIDUCIAL"},
                                 "", 0, Wiring::Unwired);
    c.result.logo = c.device("LOGO", aesthetics, logoPackage("OSHW-LOGO-M", 7_mm), {"OSHW-LOGO"},
                             "", 0, Wiring::Unwired);
    c.device("LOGO", aesthetics, logoPackage("OSHW-LOGO-S", 4_mm), {"OSHW-LOGO"}, "", 1,
             Wiring::Unwired);
    c.result.maker =
            c.device("LOGO", aesthetics, labelPackage("ACME-LOGO-NAME", "ACME ELECTRONICS"), {""},
                     "", 0, Wiring::Unwired);
    c.result.licence =
            c.device("LOGO", aesthetics, labelPackage("CREATIVE_COMMONS", "CC BY-SA 4.0"), {""}, "",
                     0, Wiring::Unwired);

    // Parts without a prefix of their own get EAGLE's "U$" names.
    const int labels = c.library("Labels", "Pin and function labels for the silkscreen.", "none");
    const QByteArrayList words = {"GND", "3V3", "SDA",  "SCL",  "TX",   "RX",     "RST",   "VIN",
                                  "5V",  "INT", "SCK",  "MISO", "MOSI", "CS",     "EN",    "BOOT",
                                  "A0",  "A1",  "VBAT", "LED",  "USB",  "SERIAL", "POWER", "QWIIC"};
    for (const QByteArray &word : words)
        c.device("U$", labels, labelPackage("LABEL-" + word, word), {""}, "", 2, Wiring::Unwired);
}

Catalogue buildCatalogue()
{
    CatalogueBuilder builder;
    addPassives(builder);
    addSemiconductors(builder);
    addIntegratedCircuits(builder);
    addElectromechanical(builder);
    addMechanical(builder);
    return builder.result;
}

} // namespace

const Catalogue &catalogue()
{
    static const Catalogue instance = buildCatalogue();
    return instance;
}

} // namespace benchgen
