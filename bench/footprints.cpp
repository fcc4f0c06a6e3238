#include "footprints.h"

#include <algorithm>
#include <cstdlib>

namespace benchgen {

namespace {

constexpr Length silkWidth = 0.2032_mm;
constexpr Length docuWidth = 0.1016_mm;
constexpr Length courtyardWidth = 0.0508_mm;

constexpr int tPlace = 21;
constexpr int tStop = 29;
constexpr int tCream = 31;
constexpr int tGlue = 35;
constexpr int tKeepout = 39;
constexpr int tRestrict = 41;
constexpr int bRestrict = 42;
constexpr int tDocu = 51;

// The centre of the index-th of `count` pins spread evenly around 0.
Length centred(int index, int count, Length pitch)
{
    return (2 * index - (count - 1)) * pitch / 2;
}

QByteArray padName(const QByteArrayList &names, int index)
{
    return index < names.size() ? names.at(index) : num(index + 1);
}

// Descriptions as library makers write them: a title, a sentence, and a
// list of the figures that matter when choosing a footprint.
QByteArray describe(const QByteArray &title, const QByteArray &detail,
                    const QByteArrayList &figures = {})
{
    QByteArray text = "<h3>" + title + "</h3>\n<p>" + detail + "</p>\n";
    if (figures.isEmpty())
        return text;
    text += "<p><b>Key figures:</b>\n<ul>";
    for (const QByteArray &figure : figures)
        text += "<li>" + figure + "</li>\n";
    return text + "</ul></p>";
}

void squareBody(PackageBuilder &builder, Length halfX, Length halfY, Length width, int layer)
{
    builder.box({-halfX, -halfY}, {halfX, halfY}, width, layer);
}

void quadPads(PackageBuilder &builder, const QuadShape &shape)
{
    const int n = shape.pinsPerSide;
    const Length half = shape.span / 2;
    for (int i = 0; i < n; ++i)
        builder.smd(num(i + 1), {-half, -centred(i, n, shape.pitch)}, shape.padLength,
                    shape.padWidth);
    for (int i = 0; i < n; ++i)
        builder.smd(num(n + i + 1), {centred(i, n, shape.pitch), -half}, shape.padWidth,
                    shape.padLength);
    for (int i = 0; i < n; ++i)
        builder.smd(num(2 * n + i + 1), {half, centred(i, n, shape.pitch)}, shape.padLength,
                    shape.padWidth);
    for (int i = 0; i < n; ++i)
        builder.smd(num(3 * n + i + 1), {-centred(i, n, shape.pitch), half}, shape.padWidth,
                    shape.padLength);
}

// Four paste windows over the thermal pad, so that the solder does not float
// the part.
void pasteWindows(PackageBuilder &builder, Length side)
{
    const Length gap = 0.2_mm;
    const Length quarter = side / 2 - gap;
    for (const int sx : {-1, 1}) {
        for (const int sy : {-1, 1}) {
            const Point inner = {sx * gap / 2, sy * gap / 2};
            const Point outer = {sx * quarter, sy * quarter};
            builder.polygon({inner, {outer.x, inner.y}, outer, {inner.x, outer.y}}, 0, tCream);
        }
    }
}

void cornerMarks(PackageBuilder &builder, Length half)
{
    const Length mark = 0.5_mm;
    for (const int sx : {-1, 1}) {
        for (const int sy : {-1, 1}) {
            const Point corner = {sx * half, sy * half};
            builder.wire(corner, {corner.x - sx * mark, corner.y}, silkWidth, tPlace);
            builder.wire(corner, {corner.x, corner.y - sy * mark}, silkWidth, tPlace);
        }
    }
}

// The classic chamfered outline around one column of a pin header.
void headerColumnOutline(PackageBuilder &builder, Length x, int rows)
{
    const Length c = 0.635_mm;
    const Length top = rows * 1.27_mm;
    const Length bottom = -top;
    const QVector<Point> corners = {
            {x - c, top},    {x + c, top},    {x + 2 * c, top - c},    {x + 2 * c, bottom + c},
            {x + c, bottom}, {x - c, bottom}, {x - 2 * c, bottom + c}, {x - 2 * c, top - c}};
    for (int i = 0; i < corners.size(); ++i)
        builder.wire(corners.at(i), corners.at((i + 1) % corners.size()), silkWidth, tPlace);
}

// A rectangle with round corners, each corner a quarter circle of 17
// points.
QVector<Point> roundedOutline(Point low, Point high, Length radius)
{
    const Point centres[] = {{high.x - radius, high.y - radius},
                             {low.x + radius, high.y - radius},
                             {low.x + radius, low.y + radius},
                             {high.x - radius, low.y + radius}};
    QVector<Point> outline;
    for (int corner = 0; corner < 4; ++corner)
        for (int step = 0; step <= 16; ++step)
            outline.append(onCircle(centres[corner], radius, corner * 16 + step));
    return outline;
}

// Text set as one round-cornered polygon a character, centred on `centre`,
// the way fonts converted to silkscreen polygons come out: many vertices.
void glyphs(PackageBuilder &builder, const QByteArray &text, Point centre, Length height)
{
    const Length width = height * 3 / 4;
    const Length advance = width + height / 8;
    const Length left = centre.x - (text.size() * advance - (advance - width)) / 2;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == ' ')
            continue;
        const Point low = {left + i * advance, centre.y - height / 2};
        const Point high = {low.x + width, centre.y + height / 2};
        const Length radius = height / 12 * (1 + text.at(i) % 4);
        builder.polygon(roundedOutline(low, high, radius), 0, tPlace);
    }
}

} // namespace

Package chipPackage(const QByteArray &name, const ChipShape &shape, const QByteArrayList &padNames)
{
    const Length halfPitch = shape.pitch / 2;
    const Length halfBodyX = shape.bodyLength / 2;
    const Length halfBodyY = shape.bodyWidth / 2;
    const Length courtX = halfPitch + shape.padLength / 2 + 0.2_mm;
    const Length courtY = std::max(shape.padWidth, shape.bodyWidth) / 2 + 0.2_mm;
    const Length inner = std::max(halfPitch - shape.padLength / 2, 0.1_mm);

    PackageBuilder builder(name,
                           describe("Chip " + name,
                                    "Generic two-terminal chip package; the courtyard lies "
                                    "0.2 mm beyond the pads.",
                                    {"Body: " + lengthText(shape.bodyLength) + " mm x "
                                             + lengthText(shape.bodyWidth) + " mm",
                                     "Pads: " + lengthText(shape.padLength) + " mm x "
                                             + lengthText(shape.padWidth) + " mm",
                                     "Pad pitch: " + lengthText(shape.pitch) + " mm"}));
    squareBody(builder, courtX, courtY, courtyardWidth, tKeepout);
    builder.wire({-inner, halfBodyY}, {inner, halfBodyY}, docuWidth, tDocu);
    builder.wire({-inner, -halfBodyY}, {inner, -halfBodyY}, docuWidth, tDocu);
    if (shape.bodyLength >= 2_mm) {
        builder.wire({-inner, courtY - 0.1_mm}, {inner, courtY - 0.1_mm}, silkWidth, tPlace);
        builder.wire({-inner, 0.1_mm - courtY}, {inner, 0.1_mm - courtY}, silkWidth, tPlace);
    }
    builder.smd(padName(padNames, 0), {-halfPitch, 0}, shape.padLength, shape.padWidth);
    builder.smd(padName(padNames, 1), {halfPitch, 0}, shape.padLength, shape.padWidth);
    if (padName(padNames, 1) == "C")
        builder.wire({inner, -halfBodyY}, {inner, halfBodyY}, silkWidth, tPlace);
    builder.labels(courtY);
    builder.rectangle({-halfBodyX, -halfBodyY}, {-inner, halfBodyY}, tDocu);
    builder.rectangle({inner, -halfBodyY}, {halfBodyX, halfBodyY}, tDocu);
    builder.rectangle({-0.2_mm, -0.3_mm}, {0.2_mm, 0.3_mm}, tGlue);
    return builder.finish();
}

Package dualRowPackage(const QByteArray &name, const DualRowShape &shape,
                       const QByteArrayList &padNames)
{
    const int pins = shape.bottomPins + shape.topPins;
    const int columns = std::max(shape.bottomPins, shape.topPins);
    const Length halfBodyX = columns * shape.pitch / 2 + 0.3_mm;
    const Length halfBodyY = std::max(shape.span / 2 - shape.padLength / 2, 0.4_mm);
    const Length row = shape.span / 2;

    PackageBuilder builder(
            name,
            describe(name,
                     "Leads on two sides, pin 1 marked by a dot on the "
                     "silkscreen.",
                     {"Pin count: " + num(pins), "Pitch: " + lengthText(shape.pitch) + " mm",
                      "Row spacing: " + lengthText(shape.span) + " mm",
                      "Pads: " + lengthText(shape.padWidth) + " mm x " + lengthText(shape.padLength)
                              + " mm"}));
    squareBody(builder, halfBodyX, halfBodyY, silkWidth, tPlace);
    builder.circle({-halfBodyX + 0.35_mm, -halfBodyY + 0.3_mm}, 0.1_mm, silkWidth, tPlace);
    squareBody(builder, halfBodyX, halfBodyY, docuWidth, tDocu);
    for (int i = 0; i < shape.bottomPins; ++i)
        builder.smd(padName(padNames, i), {centred(i, shape.bottomPins, shape.pitch), -row},
                    shape.padWidth, shape.padLength);
    for (int i = 0; i < shape.topPins; ++i)
        builder.smd(padName(padNames, shape.bottomPins + i),
                    {-centred(i, shape.topPins, shape.pitch), row}, shape.padWidth,
                    shape.padLength);
    builder.labels(row + shape.padLength / 2);
    const Length lead = shape.padWidth / 4;
    for (int i = 0; i < shape.bottomPins; ++i) {
        const Length x = centred(i, shape.bottomPins, shape.pitch);
        builder.rectangle({x - lead, -row}, {x + lead, -halfBodyY}, tDocu);
    }
    for (int i = 0; i < shape.topPins; ++i) {
        const Length x = -centred(i, shape.topPins, shape.pitch);
        builder.rectangle({x - lead, halfBodyY}, {x + lead, row}, tDocu);
    }
    return builder.finish();
}

Package quadPackage(const QByteArray &name, const QuadShape &shape)
{
    const int pins = 4 * shape.pinsPerSide;
    const Length halfBody = shape.pinsPerSide * shape.pitch / 2 + shape.pitch;

    QByteArrayList figures = {"Pin count: " + num(pins),
                              "Pitch: " + lengthText(shape.pitch) + " mm",
                              "Span: " + lengthText(shape.span) + " mm"};
    if (shape.exposedPad)
        figures << "Exposed pad: " + lengthText(shape.exposedPad) + " mm, to ground";
    PackageBuilder builder(name,
                           describe(name,
                                    "Leads on four sides, counted counter-clockwise "
                                    "from the top of the left side.",
                                    figures));
    squareBody(builder, halfBody, halfBody, docuWidth, tDocu);
    cornerMarks(builder, halfBody);
    builder.circle({-halfBody + 0.6_mm, halfBody - 0.6_mm}, 0.2_mm, silkWidth, tPlace);
    quadPads(builder, shape);
    if (shape.exposedPad) {
        builder.smd("EP", {0, 0}, shape.exposedPad, shape.exposedPad);
        pasteWindows(builder, shape.exposedPad);
    }
    builder.labels(shape.span / 2 + shape.padLength / 2);
    return builder.finish();
}

Package electrolyticPackage(const QByteArray &name, Length diameter)
{
    const Length half = diameter / 2 + 0.15_mm;
    const Length cut = diameter / 5;
    const Length padX = diameter * 2 / 5;
    PackageBuilder builder(name,
                           describe("Electrolytic capacitor, " + lengthText(diameter) + " mm can",
                                    "SMD aluminium can; the cut corners mark the positive pad.",
                                    {"Can diameter: " + lengthText(diameter) + " mm",
                                     "Base: " + lengthText(2 * half) + " mm square"}));
    builder.wire({-half + cut, half}, {half, half}, silkWidth, tPlace);
    builder.wire({half, half}, {half, -half}, silkWidth, tPlace);
    builder.wire({half, -half}, {-half + cut, -half}, silkWidth, tPlace);
    builder.wire({-half + cut, -half}, {-half, -half + cut}, silkWidth, tPlace);
    builder.wire({-half, half - cut}, {-half + cut, half}, silkWidth, tPlace);
    builder.wire({0, diameter / 2}, {0, -diameter / 2}, docuWidth, tDocu, "-180");
    builder.wire({0, -diameter / 2}, {0, diameter / 2}, docuWidth, tDocu, "-180");
    builder.smd("+", {-padX, 0}, diameter / 3, diameter / 4);
    builder.smd("-", {padX, 0}, diameter / 3, diameter / 4);
    builder.wire({-half - 0.8_mm, 0}, {-half - 0.3_mm, 0}, silkWidth, tPlace);
    builder.wire({-half - 0.55_mm, 0.25_mm}, {-half - 0.55_mm, -0.25_mm}, silkWidth, tPlace);
    builder.labels(half);
    return builder.finish();
}

Package modulePackage(const QByteArray &name, int sidePins, int bottomPins)
{
    const Length pitch = 1.27_mm;
    const Length halfWidth = 9_mm;
    const Length bottom = -(sidePins * pitch / 2 + 1.5_mm);
    const Length antenna = sidePins * pitch / 2 + 1_mm;
    const Length top = antenna + 6_mm;
    PackageBuilder builder(
            name,
            describe(name + " module",
                     "Castellated radio module. Keep copper out from under the "
                     "antenna on every layer.",
                     {"Pin count: " + num(2 * sidePins + bottomPins + 1), "Pitch: 1.27 mm",
                      "Size: 18 mm x " + lengthText(top - bottom) + " mm"}));
    builder.box({-halfWidth, bottom}, {halfWidth, top}, silkWidth, tPlace);
    builder.wire({-halfWidth, antenna}, {halfWidth, antenna}, docuWidth, tDocu);
    for (int i = 0; i < sidePins; ++i)
        builder.smd(num(i + 1), {-halfWidth + 0.4_mm, -centred(i, sidePins, pitch)}, 1.5_mm,
                    0.9_mm);
    for (int i = 0; i < bottomPins; ++i)
        builder.smd(num(sidePins + i + 1), {centred(i, bottomPins, pitch), bottom + 0.4_mm}, 0.9_mm,
                    1.5_mm);
    for (int i = 0; i < sidePins; ++i)
        builder.smd(num(sidePins + bottomPins + i + 1),
                    {halfWidth - 0.4_mm, centred(i, sidePins, pitch)}, 1.5_mm, 0.9_mm);
    builder.smd("EP", {-1_mm, -1.5_mm}, 5_mm, 5_mm);
    for (const int layer : {tRestrict, bRestrict, 43})
        builder.polygon(
                {{-halfWidth, antenna}, {halfWidth, antenna}, {halfWidth, top}, {-halfWidth, top}},
                0.254_mm, layer);
    glyphs(builder, name, {0, (antenna + top) / 2}, 1.5_mm);
    builder.labels(top);
    return builder.finish();
}

Package headerPackage(const QByteArray &name, int rows, int columns)
{
    const Length pitch = 2.54_mm;
    PackageBuilder builder(name,
                           describe("Header " + num(rows) + "x" + num(columns),
                                    "Plated through-hole header, pin 1 square.",
                                    {"Pin count: " + num(rows * columns), "Pitch: 2.54 mm",
                                     "Drill: 1.016 mm", "Pad: 1.8796 mm round"}));
    for (int i = 0; i < columns; ++i)
        headerColumnOutline(builder, centred(i, columns, pitch), rows);
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            const int index = rows == 1 ? i : 2 * i + j;
            const Point at = {centred(i, columns, pitch), centred(j, rows, pitch)};
            builder.pad(num(index + 1), at, 1.016_mm, 1.8796_mm,
                        index == 0 ? QByteArray("square") : QByteArray());
        }
    }
    builder.labels(rows * 1.27_mm);
    for (int i = 0; i < columns; ++i) {
        for (int j = 0; j < rows; ++j) {
            const Point at = {centred(i, columns, pitch), centred(j, rows, pitch)};
            builder.rectangle({at.x - 0.254_mm, at.y - 0.254_mm},
                              {at.x + 0.254_mm, at.y + 0.254_mm}, tDocu);
        }
    }
    return builder.finish();
}

Package smdConnectorPackage(const QByteArray &name, int pins)
{
    const Length pitch = 2_mm;
    const Length side = (pins - 1) * pitch / 2 + 2.35_mm;
    PackageBuilder builder(name,
                           describe("2 mm right-angle connector, " + num(pins) + " pins",
                                    "SMD, with two mounting pads that carry no signal."));
    builder.wire({-side + 1_mm, 3.3_mm}, {side - 1_mm, 3.3_mm}, silkWidth, tPlace);
    builder.wire({-side, 1.4_mm}, {-side, -1.2_mm}, silkWidth, tPlace);
    builder.wire({side, 1.4_mm}, {side, -1.2_mm}, silkWidth, tPlace);
    builder.wire({-side, -1.2_mm}, {-side + 0.8_mm, -1.2_mm}, silkWidth, tPlace);
    builder.wire({side, -1.2_mm}, {side - 0.8_mm, -1.2_mm}, silkWidth, tPlace);
    for (int i = 0; i < pins; ++i)
        builder.smd(num(i + 1), {centred(i, pins, pitch), -2.1_mm}, 1_mm, 3.5_mm);
    builder.smd("NC1", {-side - 0.3_mm, 2_mm}, 1.6_mm, 3_mm);
    builder.smd("NC2", {side + 0.3_mm, 2_mm}, 1.6_mm, 3_mm);
    builder.circle({centred(0, pins, pitch), -4.3_mm}, 0.2_mm, silkWidth, tPlace);
    builder.labels(4.6_mm);
    return builder.finish();
}

Package usbCPackage(const QByteArray &name)
{
    static const QByteArrayList names = {"A1B12", "A4B9", "B8", "A5", "B7",   "A6",
                                         "A7",    "B6",   "A8", "B5", "B4A9", "B1A12"};
    static const Length xs[] = {-3.2_mm, -2.4_mm, -1.75_mm, -1.25_mm, -0.75_mm, -0.25_mm,
                                0.25_mm, 0.75_mm, 1.25_mm,  1.75_mm,  2.4_mm,   3.2_mm};
    PackageBuilder builder(name,
                           describe("USB Type-C receptacle",
                                    "USB 2.0 only: 12 signal pads, four shield tabs and two "
                                    "locating pegs. The front edge sits on the board edge."));
    builder.wire({-4.47_mm, -3.6_mm}, {4.47_mm, -3.6_mm}, docuWidth, tDocu);
    builder.wire({-4.47_mm, -3.6_mm}, {-4.47_mm, 3.7_mm}, docuWidth, tDocu);
    builder.wire({4.47_mm, -3.6_mm}, {4.47_mm, 3.7_mm}, docuWidth, tDocu);
    builder.wire({-4.47_mm, 0.4_mm}, {-4.47_mm, 1.5_mm}, silkWidth, tPlace);
    builder.wire({4.47_mm, 0.4_mm}, {4.47_mm, 1.5_mm}, silkWidth, tPlace);
    for (int i = 0; i < names.size(); ++i) {
        const bool wide = i < 2 || i >= names.size() - 2;
        builder.smd(names.at(i), {xs[i], 3.4_mm}, wide ? 0.6_mm : 0.3_mm, 1.15_mm);
    }
    builder.pad("S1", {-4.32_mm, 2.6_mm}, 0.6_mm, 1_mm, "long");
    builder.pad("S2", {4.32_mm, 2.6_mm}, 0.6_mm, 1_mm, "long");
    builder.pad("S3", {-4.32_mm, -1.58_mm}, 0.6_mm, 1_mm, "long");
    builder.pad("S4", {4.32_mm, -1.58_mm}, 0.6_mm, 1_mm, "long");
    builder.hole({-2.89_mm, 2.08_mm}, 0.65_mm);
    builder.hole({2.89_mm, 2.08_mm}, 0.65_mm);
    builder.labels(4.3_mm);
    return builder.finish();
}

Package crystalPackage(const QByteArray &name)
{
    PackageBuilder builder(name,
                           describe("Crystal 3.2 mm x 2.5 mm",
                                    "Four pads; 2 and 4 are the case and go to ground."));
    squareBody(builder, 1.6_mm, 1.25_mm, docuWidth, tDocu);
    builder.wire({-0.2_mm, 1.45_mm}, {0.2_mm, 1.45_mm}, silkWidth, tPlace);
    builder.wire({-0.2_mm, -1.45_mm}, {0.2_mm, -1.45_mm}, silkWidth, tPlace);
    builder.smd("1", {-1.1_mm, -0.85_mm}, 1.4_mm, 1.15_mm);
    builder.smd("2", {1.1_mm, -0.85_mm}, 1.4_mm, 1.15_mm);
    builder.smd("3", {1.1_mm, 0.85_mm}, 1.4_mm, 1.15_mm);
    builder.smd("4", {-1.1_mm, 0.85_mm}, 1.4_mm, 1.15_mm);
    builder.labels(1.8_mm);
    return builder.finish();
}

Package tactileSwitchPackage(const QByteArray &name)
{
    PackageBuilder builder(name,
                           describe("Tactile switch 6 mm x 3.5 mm",
                                    "Pads 1 and 2 are joined inside, and so are 3 and 4."));
    squareBody(builder, 3_mm, 1.75_mm, silkWidth, tPlace);
    builder.circle({0, 0}, 0.8_mm, silkWidth, tPlace);
    squareBody(builder, 3_mm, 1.75_mm, docuWidth, tDocu);
    builder.smd("1", {-3.975_mm, 1.55_mm}, 1.55_mm, 1.3_mm);
    builder.smd("2", {3.975_mm, 1.55_mm}, 1.55_mm, 1.3_mm);
    builder.smd("3", {-3.975_mm, -1.55_mm}, 1.55_mm, 1.3_mm);
    builder.smd("4", {3.975_mm, -1.55_mm}, 1.55_mm, 1.3_mm);
    builder.labels(2.3_mm);
    return builder.finish();
}

Package slideSwitchPackage(const QByteArray &name)
{
    PackageBuilder builder(name,
                           describe("Slide switch, single pole, two throws",
                                    "Three switch pads in a row and two mounting tabs."));
    squareBody(builder, 3.35_mm, 1.3_mm, silkWidth, tPlace);
    builder.rectangle({-1.5_mm, 1.3_mm}, {0, 2.3_mm}, tDocu);
    for (int i = 0; i < 3; ++i)
        builder.smd(num(i + 1), {centred(i, 3, 2.25_mm), -2.3_mm}, 0.7_mm, 1.5_mm);
    builder.smd("M1", {-3.65_mm, 1.1_mm}, 1_mm, 0.8_mm);
    builder.smd("M2", {3.65_mm, 1.1_mm}, 1_mm, 0.8_mm);
    builder.hole({-1.5_mm, 0}, 0.9_mm);
    builder.hole({1.5_mm, 0}, 0.9_mm);
    builder.labels(3.2_mm);
    return builder.finish();
}

Package testPointPackage(const QByteArray &name)
{
    PackageBuilder builder(name, describe("Test point", "1.5 mm round pad for a probe."));
    builder.smd("1", {0, 0}, 1.5_mm, 1.5_mm, 100);
    builder.circle({0, 0}, 1_mm, 0.127_mm, tPlace);
    builder.labels(1.1_mm);
    return builder.finish();
}

Package fiducialPackage(const QByteArray &name)
{
    PackageBuilder builder(name, QByteArray());
    builder.smd("1", {0, 0}, 1_mm, 1_mm, 100);
    builder.circle({0, 0}, 1_mm, 0, tStop);
    builder.circle({0, 0}, 1.5_mm, 0.1_mm, tRestrict);
    return builder.finish();
}

Package standOffPackage(const QByteArray &name)
{
    PackageBuilder builder(name,
                           describe("Stand-off",
                                    "Mechanical footprint for an M3 or #4 screw. Keep traces "
                                    "out of the ring so that the screw head cannot short them."));
    builder.wire({0, 1.8542_mm}, {0, -1.8542_mm}, silkWidth, tRestrict, "-180");
    builder.wire({0, -1.8542_mm}, {0, 1.8542_mm}, silkWidth, tRestrict, "-180");
    builder.wire({0, -1.8542_mm}, {0, 1.8542_mm}, silkWidth, bRestrict, "180");
    builder.wire({0, -1.8542_mm}, {0, 1.8542_mm}, silkWidth, bRestrict, "-180");
    builder.circle({0, 0}, 2.794_mm, 0.127_mm, tKeepout);
    builder.hole({0, 0}, 3.302_mm);
    return builder.finish();
}

Package labelPackage(const QByteArray &name, const QByteArray &label)
{
    PackageBuilder builder(name,
                           describe("Label " + label,
                                    "Silkscreen text drawn as polygons, so that it looks the "
                                    "same from every CAM processor.",
                                    {"Height: 1.2 mm", "Characters: " + num(label.size())}));
    glyphs(builder, label, {0, 0}, 1.2_mm);
    return builder.finish();
}

Package logoPackage(const QByteArray &name, Length diameter)
{
    const Length tip = diameter / 2;
    const Length root = tip * 4 / 5;
    PackageBuilder builder(name,
                           describe("Open hardware logo",
                                    "Silkscreen only: a gear with the words below it.",
                                    {"Diameter: " + lengthText(diameter) + " mm"}));
    QVector<Point> gear;
    for (int step = 0; step < 64; ++step)
        gear.append(onCircle({0, 0}, step / 4 % 2 ? root : tip, step));
    builder.polygon(gear, 0, tPlace);
    QVector<Point> centre;
    for (int step = 0; step < 64; step += 2)
        centre.append(onCircle({0, 0}, tip * 2 / 5, step));
    builder.polygon(centre, 0, tDocu);
    glyphs(builder, "OPEN HARDWARE", {0, -tip - 1_mm}, tip / 3);
    return builder.finish();
}

} // namespace benchgen
