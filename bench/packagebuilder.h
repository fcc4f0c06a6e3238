#pragma once

#include "geometry.h"
#include "xmlout.h"

#include <QByteArray>
#include <QVector>

namespace benchgen {

struct Pad
{
    QByteArray name;
    Point at; // around the package origin
    bool throughHole = false; // a <pad> on every copper layer, else an <smd> on top
};

// A package as a library holds it: its finished XML and what the board
// generator needs to know about it.
struct Package
{
    QByteArray name;
    QByteArray xml; // <package name="...">...</package>
    QVector<Pad> pads;
    Length extent = 0; // the largest |x| or |y| any of its shapes reaches
};

// Draws one package, shape by shape, in the order EAGLE writes them, and
// keeps track of how far from the origin the drawing reaches so that parts
// can be placed wholly inside the board.
class PackageBuilder
{
public:
    PackageBuilder(const QByteArray &name, const QByteArray &description);

    void wire(Point from, Point to, Length width, int layer, const QByteArray &curve = {});
    void box(Point corner, Point opposite, Length width, int layer);
    void smd(const QByteArray &name, Point at, Length dx, Length dy, int roundness = 0,
             int quarterTurns = 0);
    void pad(const QByteArray &name, Point at, Length drill, Length diameter,
             const QByteArray &shape = {});
    void text(Point at, Length size, int layer, const QByteArray &text,
              const QByteArray &align = {});
    // The >NAME and >VALUE placeholders above and below the body.
    void labels(Length halfHeight);
    void rectangle(Point corner, Point opposite, int layer);
    void circle(Point centre, Length radius, Length width, int layer);
    void hole(Point centre, Length drill);
    void polygon(const QVector<Point> &vertices, Length width, int layer);

    Package finish();

private:
    void reach(Point point, Length margin = 0);

    Package package;
    XmlOut out;
};

} // namespace benchgen
