#include "namebook.h"

#include "elementwalk.h"

#include <algorithm>
#include <iterator>

// Subtrees whose `name` attributes are not names of entries: the settings
// tables (layers, design rules, autorouter passes), the keys of part
// attributes ("NAME", "VALUE", repeated on every part), assembly variants and
// net classes. Renaming such a key in a later board would cut the link to
// what it labels, so they are never recorded.
bool NameBook::passesOver(const QStringRef &tag)
{
    static const QLatin1String passedOver[] = {
            QLatin1String("layers"),    QLatin1String("autorouter"),  QLatin1String("designrules"),
            QLatin1String("attribute"), QLatin1String("variantdefs"), QLatin1String("variant"),
            QLatin1String("classes"),
    };
    return std::any_of(std::begin(passedOver), std::end(passedOver),
                       [&](QLatin1String skipped) { return tag == skipped; });
}

// A library's own name is an entry; its packages and pads are not.
bool NameBook::keepsOutOf(const QStringRef &tag)
{
    return tag == QLatin1String("library");
}

NameBook::NameBook(QStringList &known, QStringList &duplicates)
    : known(known)
    , duplicates(duplicates)
{ }

void NameBook::collect(const QDomElement &root)
{
    const QString nameKey = QStringLiteral("name");
    for (ElementWalk walk(root); !walk.atEnd();) {
        QDomElement element = walk.current(); // attributeNode() is not const
        const QString tag = element.tagName();
        if (passesOver(QStringRef(&tag))) {
            walk.next(false);
            continue;
        }
        const QDomAttr name = element.attributeNode(nameKey);
        if (!name.isNull())
            record(name.value());
        walk.next(!keepsOutOf(QStringRef(&tag)));
    }
}

void NameBook::record(const QString &name)
{
    if (!addKnown(name))
        duplicates.append(name);
}

bool NameBook::isKnown(const QString &name) const
{
    syncIndex();
    return foldedKnown.contains(foldedKey(name));
}

bool NameBook::addKnown(const QString &name)
{
    syncIndex();
    const int before = foldedKnown.size();
    foldedKnown.insert(foldedKey(name));
    if (foldedKnown.size() == before)
        return false;
    known.append(name);
    ++indexedSize;
    return true;
}

void NameBook::clear()
{
    known.clear();
    duplicates.clear();
    foldedKnown.clear();
    indexedSize = 0;
}

QString NameBook::foldedKey(const QString &name)
{
    QString key(name.size(), Qt::Uninitialized);
    QChar *out = key.data();
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
    return key;
}

void NameBook::syncIndex() const
{
    if (indexedSize == known.size())
        return;
    foldedKnown.clear();
    foldedKnown.reserve(known.size());
    for (const QString &name : known)
        foldedKnown.insert(foldedKey(name));
    indexedSize = known.size();
}
