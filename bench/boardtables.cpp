#include "boardtables.h"

namespace benchgen {

namespace {

struct Layer
{
    int number;
    const char *name;
    int color;
    int fill;
    bool visible;
    bool active;
};

// The copper, the board layers, the schematic layers boards keep from their
// design, and the user layers (100 and up) common libraries bring along.
const Layer layers[] = {
        {1, "Top", 4, 1, true, true},
        {2, "Route2", 1, 3, false, true},
        {3, "Route3", 4, 3, false, true},
        {4, "Route4", 1, 4, false, true},
        {5, "Route5", 4, 4, false, true},
        {6, "Route6", 1, 8, false, true},
        {7, "Route7", 4, 8, false, true},
        {8, "Route8", 1, 2, false, true},
        {9, "Route9", 4, 2, false, true},
        {10, "Route10", 1, 7, false, true},
        {11, "Route11", 4, 7, false, true},
        {12, "Route12", 1, 5, false, true},
        {13, "Route13", 4, 5, false, true},
        {14, "Route14", 1, 6, false, true},
        {15, "Route15", 4, 6, false, true},
        {16, "Bottom", 1, 1, true, true},
        {17, "Pads", 2, 1, true, true},
        {18, "Vias", 2, 1, true, true},
        {19, "Unrouted", 6, 1, true, true},
        {20, "Dimension", 24, 1, true, true},
        {21, "tPlace", 7, 1, true, true},
        {22, "bPlace", 7, 1, true, true},
        {23, "tOrigins", 15, 1, true, true},
        {24, "bOrigins", 15, 1, true, true},
        {25, "tNames", 7, 1, true, true},
        {26, "bNames", 7, 1, true, true},
        {27, "tValues", 7, 1, true, true},
        {28, "bValues", 7, 1, true, true},
        {29, "tStop", 7, 3, false, true},
        {30, "bStop", 7, 6, false, true},
        {31, "tCream", 7, 4, false, true},
        {32, "bCream", 7, 5, false, true},
        {33, "tFinish", 6, 3, false, true},
        {34, "bFinish", 6, 6, false, true},
        {35, "tGlue", 7, 4, false, true},
        {36, "bGlue", 7, 5, false, true},
        {37, "tTest", 7, 1, false, true},
        {38, "bTest", 7, 1, false, true},
        {39, "tKeepout", 4, 11, true, true},
        {40, "bKeepout", 1, 11, true, true},
        {41, "tRestrict", 4, 10, true, true},
        {42, "bRestrict", 1, 10, true, true},
        {43, "vRestrict", 2, 10, true, true},
        {44, "Drills", 7, 1, false, true},
        {45, "Holes", 7, 1, false, true},
        {46, "Milling", 3, 1, false, true},
        {47, "Measures", 7, 1, false, true},
        {48, "Document", 7, 1, true, true},
        {49, "Reference", 7, 1, true, true},
        {50, "dxf", 7, 1, false, false},
        {51, "tDocu", 7, 1, true, true},
        {52, "bDocu", 7, 1, true, true},
        {53, "tGND_GNDA", 7, 9, false, false},
        {54, "bGND_GNDA", 1, 9, false, false},
        {56, "wert", 7, 1, false, false},
        {57, "tCAD", 7, 1, false, false},
        {59, "tCarbon", 7, 1, false, false},
        {60, "bCarbon", 7, 1, false, false},
        {88, "SimResults", 9, 1, true, true},
        {89, "SimProbes", 9, 1, true, true},
        {90, "Modules", 5, 1, false, false},
        {91, "Nets", 2, 1, false, false},
        {92, "Busses", 1, 1, false, false},
        {93, "Pins", 2, 1, false, false},
        {94, "Symbols", 4, 1, false, false},
        {95, "Names", 7, 1, false, false},
        {96, "Values", 7, 1, false, false},
        {97, "Info", 7, 1, false, false},
        {98, "Guide", 6, 1, false, false},
        {99, "SpiceOrder", 7, 1, false, false},
        {100, "Muster", 7, 1, false, false},
        {101, "Patch_Top", 12, 4, true, true},
        {102, "Vscore", 7, 1, true, true},
        {103, "tMap", 7, 1, true, true},
        {104, "Name", 7, 1, true, true},
        {105, "tPlate", 7, 1, true, true},
        {106, "bPlate", 7, 1, true, true},
        {107, "Crop", 7, 1, true, true},
        {108, "tplace-old", 10, 1, true, true},
        {109, "ref-old", 11, 1, true, true},
        {110, "fp0", 7, 1, true, true},
        {111, "LPC17xx", 7, 1, true, true},
        {112, "tSilk", 7, 1, true, true},
        {116, "Patch_BOT", 9, 4, true, true},
        {121, "_tsilk", 7, 1, true, true},
        {122, "_bsilk", 7, 1, true, true},
        {125, "_tNames", 7, 1, true, true},
        {126, "_bNames", 7, 1, true, true},
        {127, "_tValues", 7, 1, true, true},
        {128, "_bValues", 7, 1, true, true},
        {131, "tAdjust", 7, 1, true, true},
        {132, "bAdjust", 7, 1, true, true},
        {144, "Drill_legend", 7, 1, true, true},
        {150, "Notes", 7, 1, true, true},
        {151, "HeatSink", 7, 1, true, true},
        {152, "_bDocu", 7, 1, true, true},
        {199, "Contour", 7, 1, true, true},
        {200, "200bmp", 1, 10, true, true},
        {201, "201bmp", 2, 10, true, true},
        {202, "202bmp", 3, 10, true, true},
        {217, "217bmp", 18, 1, false, false},
        {218, "218bmp", 19, 1, false, false},
        {250, "Descript", 3, 1, true, true},
        {251, "SMDround", 12, 11, true, true},
        {254, "cooling", 7, 1, true, true},
        {255, "routoute", 7, 1, true, true},
};

struct Param
{
    const char *name;
    const char *value;
};

const Param designRules[] = {
        {"layerSetup", "(1*16)"},
        {"mtCopper",
         "0.035mm 0.0175mm 0.0175mm 0.0175mm 0.0175mm 0.0175mm 0.0175mm 0.0175mm "
         "0.0175mm 0.0175mm 0.0175mm 0.0175mm 0.0175mm 0.0175mm 0.0175mm 0.035mm"},
        {"mtIsolate",
         "1.5mm 0.15mm 0.2mm 0.15mm 0.2mm 0.15mm 0.2mm 0.15mm 0.2mm 0.15mm 0.2mm "
         "0.15mm 0.2mm 0.15mm 0.2mm"},
        {"mdWireWire", "6mil"},
        {"mdWirePad", "6mil"},
        {"mdWireVia", "6mil"},
        {"mdPadPad", "6mil"},
        {"mdPadVia", "6mil"},
        {"mdViaVia", "6mil"},
        {"mdSmdPad", "6mil"},
        {"mdSmdVia", "6mil"},
        {"mdSmdSmd", "6mil"},
        {"mdViaViaSameLayer", "8mil"},
        {"mnLayersViaInSmd", "2"},
        {"mdCopperDimension", "10mil"},
        {"mdDrill", "8mil"},
        {"mdSmdStop", "0mil"},
        {"msWidth", "6mil"},
        {"msDrill", "0.3mm"},
        {"msMicroVia", "9.99mm"},
        {"msBlindViaRatio", "0.5"},
        {"rvPadTop", "0.25"},
        {"rvPadInner", "0.25"},
        {"rvPadBottom", "0.25"},
        {"rvViaOuter", "0.25"},
        {"rvViaInner", "0.25"},
        {"rvMicroViaOuter", "0.25"},
        {"rvMicroViaInner", "0.25"},
        {"rlMinPadTop", "10mil"},
        {"rlMaxPadTop", "20mil"},
        {"rlMinPadInner", "10mil"},
        {"rlMaxPadInner", "20mil"},
        {"rlMinPadBottom", "10mil"},
        {"rlMaxPadBottom", "20mil"},
        {"rlMinViaOuter", "7mil"},
        {"rlMaxViaOuter", "20mil"},
        {"rlMinViaInner", "7mil"},
        {"rlMaxViaInner", "20mil"},
        {"rlMinMicroViaOuter", "4mil"},
        {"rlMaxMicroViaOuter", "20mil"},
        {"rlMinMicroViaInner", "4mil"},
        {"rlMaxMicroViaInner", "20mil"},
        {"psTop", "-1"},
        {"psBottom", "-1"},
        {"psFirst", "-1"},
        {"psElongationLong", "100"},
        {"psElongationOffset", "100"},
        {"mvStopFrame", "1"},
        {"mvCreamFrame", "0"},
        {"mlMinStopFrame", "4mil"},
        {"mlMaxStopFrame", "4mil"},
        {"mlMinCreamFrame", "0mil"},
        {"mlMaxCreamFrame", "0mil"},
        {"mlViaStopLimit", "0mil"},
        {"srRoundness", "0"},
        {"srMinRoundness", "0mil"},
        {"srMaxRoundness", "0mil"},
        {"slThermalIsolate", "10mil"},
        {"slThermalsForVias", "0"},
        {"dpMaxLengthDifference", "10mm"},
        {"dpGapFactor", "2.5"},
        {"checkAngle", "0"},
        {"checkFont", "1"},
        {"checkRestrict", "1"},
        {"checkStop", "0"},
        {"checkValues", "0"},
        {"checkNames", "1"},
        {"checkWireStubs", "1"},
        {"checkPolygonWidth", "0"},
        {"useDiameter", "13"},
        {"maxErrors", "50"},
};

const Param defaultPass[] = {
        {"RoutingGrid", "50mil"}, {"AutoGrid", "1"},
        {"Efforts", "0"},         {"TopRouterVariant", "1"},
        {"tpViaShape", "round"},  {"PrefDir.1", "a"},
        {"PrefDir.2", "0"},       {"PrefDir.3", "0"},
        {"PrefDir.4", "0"},       {"PrefDir.5", "0"},
        {"PrefDir.6", "0"},       {"PrefDir.7", "0"},
        {"PrefDir.8", "0"},       {"PrefDir.9", "0"},
        {"PrefDir.10", "0"},      {"PrefDir.11", "0"},
        {"PrefDir.12", "0"},      {"PrefDir.13", "0"},
        {"PrefDir.14", "0"},      {"PrefDir.15", "0"},
        {"PrefDir.16", "a"},      {"cfVia", "8"},
        {"cfNonPref", "5"},       {"cfChangeDir", "2"},
        {"cfOrthStep", "2"},      {"cfDiagStep", "3"},
        {"cfExtdStep", "0"},      {"cfBonusStep", "1"},
        {"cfMalusStep", "1"},     {"cfPadImpact", "4"},
        {"cfSmdImpact", "4"},     {"cfBusImpact", "0"},
        {"cfHugging", "3"},       {"cfAvoid", "4"},
        {"cfPolygon", "10"},      {"cfBase.1", "0"},
        {"cfBase.2", "1"},        {"cfBase.3", "1"},
        {"cfBase.4", "1"},        {"cfBase.5", "1"},
        {"cfBase.6", "1"},        {"cfBase.7", "1"},
        {"cfBase.8", "1"},        {"cfBase.9", "1"},
        {"cfBase.10", "1"},       {"cfBase.11", "1"},
        {"cfBase.12", "1"},       {"cfBase.13", "1"},
        {"cfBase.14", "1"},       {"cfBase.15", "1"},
        {"cfBase.16", "0"},       {"mnVias", "20"},
        {"mnSegments", "9999"},   {"mnExtdSteps", "9999"},
        {"mnRipupLevel", "10"},   {"mnRipupSteps", "100"},
        {"mnRipupTotal", "100"},
};

// The passes after the default one: their name and the parameters they
// change, the rest being the default pass's.
struct Pass
{
    const char *name;
    QVector<Param> params;
};

const Pass laterPasses[] = {
        {"Follow-me", {}},
        {"Busses", {{"cfNonPref", "4"}, {"cfBusImpact", "4"}, {"cfHugging", "0"}, {"mnVias", "0"}}},
        {"Route", {}},
        {"Optimize1",
         {{"cfVia", "99"},
          {"cfExtdStep", "10"},
          {"cfHugging", "1"},
          {"mnExtdSteps", "1"},
          {"mnRipupLevel", "0"}}},
        {"Optimize2",
         {{"cfVia", "20"},
          {"cfExtdStep", "10"},
          {"cfHugging", "2"},
          {"mnExtdSteps", "1"},
          {"mnRipupLevel", "0"}}},
        {"Optimize3",
         {{"cfVia", "8"},
          {"cfExtdStep", "10"},
          {"cfHugging", "4"},
          {"mnExtdSteps", "1"},
          {"mnRipupLevel", "0"}}},
        {"Optimize4",
         {{"cfVia", "4"},
          {"cfExtdStep", "6"},
          {"cfHugging", "3"},
          {"mnExtdSteps", "1"},
          {"mnRipupLevel", "0"}}},
};

void writeParam(XmlOut &out, const Param &param)
{
    out.empty("param", {{"name", param.name}, {"value", param.value}});
}

QByteArray yesNo(bool value)
{
    return value ? "yes" : "no";
}

} // namespace

void writeSettings(XmlOut &out)
{
    out.open("settings");
    out.empty("setting", {{"alwaysvectorfont", "yes"}});
    out.empty("setting", {{"keepoldvectorfont", "yes"}});
    out.empty("setting", {{"verticaltext", "up"}});
    out.close("settings");
    out.empty("grid",
              {{"distance", "0.05"},
               {"unitdist", "inch"},
               {"unit", "inch"},
               {"style", "lines"},
               {"multiple", "1"},
               {"display", "no"},
               {"altdistance", "0.005"},
               {"altunitdist", "inch"},
               {"altunit", "inch"}});
}

void writeLayers(XmlOut &out)
{
    out.open("layers");
    for (const Layer &layer : layers)
        out.empty("layer",
                  {{"number", num(layer.number)},
                   {"name", layer.name},
                   {"color", num(layer.color)},
                   {"fill", num(layer.fill)},
                   {"visible", yesNo(layer.visible)},
                   {"active", yesNo(layer.active)}});
    out.close("layers");
}

void writeClasses(XmlOut &out)
{
    out.open("classes");
    out.open("class", {{"number", "0"}, {"name", "default"}, {"width", "0"}, {"drill", "0"}});
    out.close("class");
    out.open("class",
             {{"number", "1"}, {"name", "power"}, {"width", len(0.3048_mm)}, {"drill", "0"}});
    out.empty("clearance", {{"class", "1"}, {"value", len(0.254_mm)}});
    out.close("class");
    out.close("classes");
}

void writeDesignRules(XmlOut &out)
{
    out.open("designrules", {{"name", "default"}});
    out.textElement("description", {{"language", "de"}},
                    "<b>EAGLE Design Rules</b>\n<p>\nDie Standard-Design-Rules sind so gewählt, "
                    "dass sie für die meisten Anwendungen passen.");
    out.textElement("description", {{"language", "en"}},
                    "<b>EAGLE Design Rules</b>\n<p>\nThe default Design Rules have been set "
                    "to cover a wide range of applications. Your particular design may have "
                    "different requirements, so please make the necessary adjustments and save "
                    "your customized Design Rules under a new name.");
    for (const Param &param : designRules)
        writeParam(out, param);
    out.close("designrules");
}

void writeAutorouter(XmlOut &out)
{
    out.open("autorouter");
    out.open("pass", {{"name", "Default"}});
    for (const Param &param : defaultPass)
        writeParam(out, param);
    out.close("pass");
    for (const Pass &pass : laterPasses) {
        out.open("pass", {{"name", pass.name}, {"refer", "Default"}, {"active", "yes"}});
        for (const Param &param : pass.params)
            writeParam(out, param);
        out.close("pass");
    }
    out.close("autorouter");
}

} // namespace benchgen
