// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringRef>

// The names met while a panel is assembled. `known` and `duplicates` keep the
// names in the order met, as written; a set of their keys beside them answers
// "was this name used before?" in constant time.
class NameBook
{
public:
    NameBook(QStringList &known, QStringList &duplicates);

    // The rules of the walks that record the names of a document's named
    // entries (see namebook.cpp): no name is recorded in a subtree whose root
    // passes over, and only the element's own name in one whose root keeps
    // out of it.
    static bool passesOver(const QStringRef &tag);
    static bool keepsOutOf(const QStringRef &tag);
    // Whether an attribute of that qualified name is renamed with the name
    // it holds, outside the subtrees the walk passes over. Inside libraries
    // too: the names of packages and pads change with the references to them.
    static bool holdsName(const QStringRef &attribute);
    // A name not met before (see key()) joins the known names, any other the
    // duplicates; both as written. An empty name is not recorded.
    void record(const QString &name);
    // Makes `name` known unless it is already; returns whether it was added.
    bool addKnown(const QString &name);

    const QStringList &knownNames() const { return known; }
    const QStringList &duplicateNames() const { return duplicates; }

    // Two names are the same name when their keys are equal: when they read
    // alike (readForm()), letter case aside.
    static QString key(const QString &name);
    // The name as EAGLE draws it: each "!" prints nothing and turns the bar
    // over the characters after it on or off, so "!RST" and "!RST!" read
    // alike, "!RS!T" does not. Spelt with a "!" only where the bar changes
    // between two characters; a name without "!" is its own read form.
    static QString readForm(const QString &name);
    // Folds code unit by code unit exactly as QString::compare does with
    // Qt::CaseInsensitive, so the set agrees with QStringList::contains; a
    // whole-string fold would not (it turns "ß" into "ss").
    static QString foldedKey(const QString &name);

private:
    // Changed only through the book, which keeps the keys of `known`.
    QStringList &known;
    QStringList &duplicates;
    QSet<QString> knownKeys;
};
