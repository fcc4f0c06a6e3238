#include "netlist.h"

#include "devices.h"

#include <QRandomGenerator>

namespace benchgen {

namespace {

enum class Role { Signal, Supply, Ground, Open };

const QByteArrayList supplyNames = {"+3V3", "VCC", "+5V", "VBAT"};
const int supplyWeights[] = {55, 20, 15, 10};

const QByteArrayList namedSignals = {"SDA", "SCL",        "MOSI", "MISO", "SCK",   "!RESET",
                                     "TX",  "RX",         "D+",   "D-",   "!CS",   "INT",
                                     "EN",  "LED_STATUS", "PWM1", "ADC0", "SWDIO", "SWCLK"};

constexpr int openNetWindow = 6;

QVector<Role> seriesRoles(QRandomGenerator &random)
{
    QVector<Role> roles = {Role::Signal, Role::Signal};
    if (random.bounded(100) < 25)
        roles[random.bounded(2)] = Role::Supply;
    return roles;
}

Role chipRole(const QByteArray &padName, QRandomGenerator &random)
{
    if (padName == "EP")
        return Role::Ground;
    const int pick = random.bounded(100);
    if (pick < 10)
        return Role::Ground;
    if (pick < 17)
        return Role::Supply;
    if (pick < 50)
        return Role::Open; // most chips have spare pins

    return Role::Signal;
}

Role connectorRole(const QByteArray &padName, int index)
{
    if (padName.startsWith("NC"))
        return Role::Open;
    if (padName.startsWith('S') || index == 0)
        return Role::Ground; // shield tabs and the first pin
    return index == 1 ? Role::Supply : Role::Signal;
}

QVector<Role> rolesOf(const Device &device, const Package &package, QRandomGenerator &random)
{
    const int padCount = package.pads.size();
    if (device.wiring == Wiring::Series && padCount == 2)
        return seriesRoles(random);
    if (device.wiring == Wiring::Decoupling && padCount == 2)
        return {random.bounded(100) < 65 ? Role::Supply : Role::Signal, Role::Ground};
    QVector<Role> roles;
    for (int i = 0; i < padCount; ++i) {
        const QByteArray &name = package.pads.at(i).name;
        switch (device.wiring) {
        case Wiring::Connector:
            roles.append(connectorRole(name, i));
            break;
        case Wiring::Probe:
            roles.append(random.bounded(100) < 70 ? Role::Signal : Role::Supply);
            break;
        case Wiring::Unwired:
            roles.append(Role::Open);
            break;
        default:
            roles.append(chipRole(name, random));
        }
    }
    return roles;
}

int pickSupply(QRandomGenerator &random)
{
    int pick = random.bounded(100);
    for (int i = 0; i < supplyNames.size(); ++i) {
        pick -= supplyWeights[i];
        if (pick < 0)
            return i;
    }
    return 0;
}

// Fills signals from a small window of nets still open for pads, so that
// each joins parts placed one after the other.
class SignalCollector
{
public:
    explicit SignalCollector(QRandomGenerator &random)
        : random(random)
    { }

    void add(const Contact &contact)
    {
        if (!open.isEmpty() && random.bounded(100) < 60) {
            const int slot = random.bounded(open.size());
            QVector<Contact> &contacts = signalContacts[open.at(slot)];
            contacts.append(contact);
            if (contacts.size() >= targets.at(open.at(slot)))
                open.remove(slot);
            return;
        }
        signalContacts.append({contact});
        // Most signals join two to five pads; a few are buses or enables
        // that reach many.
        targets.append(random.bounded(100) < 10 ? 6 + random.bounded(7) : 2 + random.bounded(4));
        open.append(signalContacts.size() - 1);
        if (open.size() > openNetWindow)
            open.removeFirst();
    }

    // The signals with a lone pad joined to a neighbour: the one before, or
    // for the first, the one after.
    QVector<QVector<Contact>> finish() const
    {
        QVector<QVector<Contact>> merged;
        QVector<Contact> carried;
        for (const QVector<Contact> &contacts : signalContacts) {
            if (contacts.size() == 1 && !merged.isEmpty()) {
                merged.last().append(contacts.first());
                continue;
            }
            carried += contacts;
            if (carried.size() > 1) {
                merged.append(carried);
                carried.clear();
            }
        }
        if (!carried.isEmpty())
            merged.append(carried); // the board's only signal pad
        return merged;
    }

private:
    QRandomGenerator &random;
    QVector<QVector<Contact>> signalContacts;
    QVector<int> targets;
    QVector<int> open;
};

QByteArray signalName(int index)
{
    return index < namedSignals.size() ? namedSignals.at(index) : "N$" + num(index + 1);
}

} // namespace

QVector<Net> buildNets(const QVector<BoardPart> &parts, QRandomGenerator &random)
{
    const Catalogue &cat = catalogue();
    QVector<Net> supplies(supplyNames.size());
    for (int i = 0; i < supplyNames.size(); ++i)
        supplies[i] = {supplyNames.at(i), Net::Supply, {}};
    Net ground = {"GND", Net::Ground, {}};
    SignalCollector signalCollector(random);

    for (int part = 0; part < parts.size(); ++part) {
        const Device &device = cat.devices.at(parts.at(part).device);
        const QVector<Role> roles = rolesOf(device, cat.packageOf(device), random);
        for (int pad = 0; pad < roles.size(); ++pad) {
            const Contact contact = {part, pad};
            switch (roles.at(pad)) {
            case Role::Signal:
                signalCollector.add(contact);
                break;
            case Role::Supply:
                supplies[pickSupply(random)].contacts.append(contact);
                break;
            case Role::Ground:
                ground.contacts.append(contact);
                break;
            case Role::Open:
                break;
            }
        }
    }

    QVector<Net> nets;
    for (const Net &supply : qAsConst(supplies))
        if (!supply.contacts.isEmpty())
            nets.append(supply);
    const QVector<QVector<Contact>> signalNets = signalCollector.finish();
    for (int i = 0; i < signalNets.size(); ++i)
        nets.append({signalName(i), Net::Signal, signalNets.at(i)});
    if (!ground.contacts.isEmpty())
        nets.append(ground);
    return nets;
}

} // namespace benchgen
