#pragma once

#include <QDomElement>
#include <QSet>
#include <QStringList>

// The names met while a panel is assembled. `known` and `duplicates` keep the
// names in the order met, as written; a case-folded set beside them answers
// "was this name used before?" in constant time.
class NameBook
{
public:
    NameBook(QStringList &known, QStringList &duplicates);

    // Records the names of the subtree of `root` (see namebook.cpp).
    void collect(const QDomElement &root);
    bool isKnown(const QString &name) const;
    void addKnown(const QString &name);
    void clear();

private:
    QStringList &known;
    QStringList &duplicates;
    QSet<QString> foldedKnown;
};
