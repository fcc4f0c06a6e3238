#include "assemblepanel.h"

#include "documenttext.h"
#include "elementwalk.h"
#include "freshnames.h"
#include "mergeops.h"

#include <QDomDocument>
#include <QHash>
#include <QSet>

namespace {

const QString plainTag = QStringLiteral("plain");
const QString librariesTag = QStringLiteral("libraries");
const QString elementsTag = QStringLiteral("elements");
const QString signalsTag = QStringLiteral("signals");
const QString classesTag = QStringLiteral("classes");
const QString layersTag = QStringLiteral("layers");

// The panel document with the places where boards are added. The place for a
// tag is the first element of that name below the panel's root; it is looked
// up once and kept, because searching the growing panel for every board would
// make the assembly quadratic. Only an added subtree that itself holds an
// element of such a name could move a first occurrence, and then the kept
// places are looked up again.
class Panel
{
public:
    explicit Panel(const QString &text);

    QDomElement root() const { return document.documentElement(); }
    const QDomDocument &doc() const { return document; }
    void addBoard(const QDomElement &board);

private:
    QDomElement place(const QString &tag);
    void appendCopy(QDomElement &target, const QDomElement &original);
    void appendChildren(const QString &tag, const QDomElement &origin);
    void addMissingNumbered(const QString &tableTag, const QString &entryTag,
                            const QDomElement &table);
    QSet<QString> &numbersIn(const QString &tableTag, const QString &entryTag);

    QDomDocument document;
    QHash<QString, QDomElement> places;
    QHash<QString, QSet<QString>> numbers; // numbers defined in a kept table
    bool placesMoved = false;
};

bool isPlaceTag(const QString &tag)
{
    return tag == plainTag || tag == librariesTag || tag == elementsTag || tag == signalsTag
            || tag == classesTag || tag == layersTag;
}

bool holdsPlaceTag(const QDomElement &subtree)
{
    for (ElementWalk walk(subtree); !walk.atEnd(); walk.next()) {
        if (isPlaceTag(walk.current().tagName()))
            return true;
    }
    return false;
}

// The first element of each place name below `board`, found in one walk.
QHash<QString, QDomElement> firstPlaces(const QDomElement &board)
{
    const int placeTags = 6;
    QHash<QString, QDomElement> found;
    ElementWalk walk(board);
    for (walk.next(); !walk.atEnd() && found.size() < placeTags; walk.next()) {
        const QString tag = walk.current().tagName();
        if (isPlaceTag(tag) && !found.contains(tag))
            found.insert(tag, walk.current());
    }
    return found;
}

Panel::Panel(const QString &text)
{
    document.setContent(text);
}

void Panel::addBoard(const QDomElement &board)
{
    const QHash<QString, QDomElement> origins = firstPlaces(board);
    for (const QString &tag : {plainTag, librariesTag, elementsTag, signalsTag})
        appendChildren(tag, origins.value(tag));
    // The board's signals name their net class by number and its drawing
    // uses layers by number; without these definitions they would refer to
    // nothing in the panel.
    addMissingNumbered(classesTag, QStringLiteral("class"), origins.value(classesTag));
    addMissingNumbered(layersTag, QStringLiteral("layer"), origins.value(layersTag));
}

QDomElement Panel::place(const QString &tag)
{
    if (placesMoved) {
        places.clear();
        numbers.clear();
        placesMoved = false;
    }
    auto kept = places.find(tag);
    if (kept == places.end())
        kept = places.insert(tag, assembly::firstDescendant(root(), tag));
    return *kept;
}

void Panel::appendCopy(QDomElement &target, const QDomElement &original)
{
    placesMoved = placesMoved || holdsPlaceTag(original);
    target.appendChild(document.importNode(original, true));
}

void Panel::appendChildren(const QString &tag, const QDomElement &origin)
{
    QDomElement target = place(tag);
    if (target.isNull() || origin.isNull())
        return;
    for (QDomElement child = origin.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement())
        appendCopy(target, child);
}

void Panel::addMissingNumbered(const QString &tableTag, const QString &entryTag,
                               const QDomElement &table)
{
    QDomElement target = place(tableTag);
    if (target.isNull() || table.isNull())
        return;
    QSet<QString> &defined = numbersIn(tableTag, entryTag);
    const QString numberKey = QStringLiteral("number");
    for (QDomElement entry = table.firstChildElement(entryTag); !entry.isNull();
         entry = entry.nextSiblingElement(entryTag)) {
        const QDomAttr number = entry.attributeNode(numberKey);
        if (number.isNull() || defined.contains(number.value()))
            continue;
        defined.insert(number.value());
        appendCopy(target, entry);
    }
}

QSet<QString> &Panel::numbersIn(const QString &tableTag, const QString &entryTag)
{
    auto known = numbers.find(tableTag);
    if (known != numbers.end())
        return *known;
    QSet<QString> &defined = numbers[tableTag];
    const QDomElement table = places.value(tableTag);
    for (QDomElement entry = table.firstChildElement(entryTag); !entry.isNull();
         entry = entry.nextSiblingElement(entryTag)) {
        const QDomAttr number = entry.attributeNode(QStringLiteral("number"));
        if (!number.isNull())
            defined.insert(number.value());
    }
    return defined;
}

} // namespace

QByteArray assemblePanel(const QStringList &shiftedBoards, NameBook &names)
{
    if (shiftedBoards.isEmpty())
        return QByteArray();
    Panel panel(shiftedBoards.first());
    names.collect(panel.root());
    FreshNames freshNames(names);
    for (int i = 1; i < shiftedBoards.size(); ++i) {
        // One board tree at a time beside the panel.
        QDomDocument board;
        board.setContent(shiftedBoards.at(i));
        const QDomElement boardRoot = board.documentElement();
        names.collect(boardRoot);
        freshNames.renameBoard(boardRoot);
        panel.addBoard(boardRoot);
    }
    return documentText(panel.doc());
}
