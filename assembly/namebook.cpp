#include "namebook.h"

// Placeholder bodies; panel assembly replaces them.
NameBook::NameBook(QStringList &known, QStringList &duplicates)
    : known(known), duplicates(duplicates)
{
}
void NameBook::collect(const QDomElement &) {}
bool NameBook::isKnown(const QString &) const
{
    return false;
}
void NameBook::addKnown(const QString &) {}
void NameBook::clear() {}
