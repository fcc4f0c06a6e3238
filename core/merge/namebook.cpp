// SPDX-License-Identifier: GPL-3.0-or-later
#include "namebook.h"

#include <algorithm>

// Subtrees whose `name` attributes are not names of entries: the settings
// tables (layers, design rules and autorouter passes with their parameters,
// preview colours), the keys of part attributes ("NAME", "VALUE", repeated on
// every part), assembly variants and net classes, also where one of their
// entries stands outside its table. Renaming such a key in a later board
// would cut the link to what it labels, so they are neither recorded nor
// renamed.
bool NameBook::passesOver(const QStringRef &tag)
{
    static const QLatin1String passedOver[] = {
            QLatin1String("layers"),           QLatin1String("layer"),
            QLatin1String("autorouter"),       QLatin1String("pass"),
            QLatin1String("designrules"),      QLatin1String("param"),
            QLatin1String("attribute"),        QLatin1String("variantdefs"),
            QLatin1String("variantdef"),       QLatin1String("variant"),
            QLatin1String("classes"),          QLatin1String("class"),
            QLatin1String("mfgpreviewcolors"),
    };
    return std::any_of(std::begin(passedOver), std::end(passedOver), [&](QLatin1String skipped) {
        return tag.size() == skipped.size() && tag == skipped;
    });
}

// The attributes that hold a name or refer to one: a part refers to its
// library and package, a contact to its part and pad. Every other attribute
// holds a number, a layer, a rotation, a value to print or a setting, and
// keeps its text whatever names it happens to equal.
bool NameBook::holdsName(const QStringRef &attribute)
{
    static const QLatin1String names[] = {
            QLatin1String("name"),    QLatin1String("element"), QLatin1String("library"),
            QLatin1String("package"), QLatin1String("pad"),
    };
    return std::any_of(std::begin(names), std::end(names), [&](QLatin1String held) {
        return attribute.size() == held.size() && attribute == held;
    });
}

// A library's own name is an entry; its packages and pads are not.
bool NameBook::keepsOutOf(const QStringRef &tag)
{
    return tag == QLatin1String("library");
}

NameBook::NameBook(QStringList &known, QStringList &duplicates)
    : known(known)
    , duplicates(duplicates)
{
    for (const QString &name : known)
        knownKeys.insert(key(name));
}

// An empty name names nothing, so it never clashes.
void NameBook::record(const QString &name)
{
    if (name.isEmpty())
        return;
    if (!addKnown(name))
        duplicates.append(name);
}

bool NameBook::addKnown(const QString &name)
{
    const int before = knownKeys.size();
    knownKeys.insert(key(name));
    if (knownKeys.size() == before)
        return false;
    known.append(name);
    return true;
}

QString NameBook::key(const QString &name)
{
    return foldedKey(readForm(name));
}

// Most names have no bar; they are returned as they are, without a copy.
QString NameBook::readForm(const QString &name)
{
    const QChar toggle = QLatin1Char('!');
    if (!name.contains(toggle))
        return name;
    QString form;
    form.reserve(name.size());
    bool barred = false;
    bool formBarred = false;
    for (const QChar c : name) {
        if (c == toggle) {
            barred = !barred;
            continue;
        }
        if (barred != formBarred) {
            form += toggle;
            formBarred = barred;
        }
        form += c;
    }
    return form;
}

QString NameBook::foldedKey(const QString &name)
{
    QString folded(name.size(), Qt::Uninitialized);
    QChar *out = folded.data();
    ushort last = 0;
    for (const QChar c : name) {
        const ushort unit = c.unicode();
        if (QChar::isLowSurrogate(unit) && QChar::isHighSurrogate(last))
            *out++ = QChar(
                    QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(last, unit))));
        else
            *out++ = QChar(ushort(QChar::toCaseFolded(uint(unit))));
        last = unit;
    }
    return folded;
}
