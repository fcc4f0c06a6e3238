#pragma once

#include "packagebuilder.h"

#include <QByteArrayList>
#include <QVector>

namespace benchgen {

struct Library
{
    QByteArray name;
    QByteArray description;
    QVector<Package> packages;
};

// How the pads of a kind of part are usually wired.
enum class Wiring {
    Series, // both ends on signals, now and then one on a supply: resistors, LEDs
    Decoupling, // the first pad on a supply or signal, the second on ground: capacitors
    Chip, // mostly signals, some ground and supply pins, a few left open
    Connector, // ground, supply, then signals; mounting and shield pads as named
    Probe, // a single pad on a signal or a supply: test points
    Unwired, // nothing: stand-offs, fiducials, logos
};

// A kind of part a board can hold, such as "a 0603 resistor".
struct Device
{
    QByteArray prefix; // of the part names: R for R1, R2, ...
    int library = 0; // index in Catalogue::libraries
    int package = 0; // index in that library's packages
    QByteArrayList values;
    QByteArray productId; // written as a hidden PROD_ID attribute when not empty
    int weight = 0; // how common it is relative to the others; 0 for placed-by-rule parts
    Wiring wiring = Wiring::Chip;
};

struct Catalogue
{
    QVector<Library> libraries;
    QVector<Device> devices;
    // The parts placed by rule rather than drawn at random.
    int standOff = -1;
    int fiducial = -1;
    int logo = -1;
    int maker = -1; // the maker's name in large letters
    int licence = -1;

    const Package &packageOf(const Device &device) const
    {
        return libraries.at(device.library).packages.at(device.package);
    }
};

// Built once, the same on every machine.
const Catalogue &catalogue();

} // namespace benchgen
