// SPDX-License-Identifier: GPL-3.0-or-later
#include "copyfidelity.h"

#include "paneltesting.h"

#include <QDomNamedNodeMap>
#include <QHash>
#include <QRegularExpression>

namespace {

// Plain last: it ends with the texts that the parts call for.
const QStringList sections {"libraries", "elements", "signals", "plain"};

bool holdsName(const QString &attribute)
{
    static const QStringList names {"name", "element", "library", "package", "pad"};
    return names.contains(attribute);
}

// Attribute keys, variants and settings: their names are no names of entries.
bool keepsNames(const QString &tag)
{
    static const QStringList tags {
            "attribute",        "variant", "variantdefs", "variantdef", "layers",     "layer",
            "classes",          "class",   "param",       "pass",       "autorouter", "designrules",
            "mfgpreviewcolors",
    };
    return tags.contains(tag);
}

// 0 for an x coordinate, 1 for a y coordinate, -1 for anything else.
// An attribute through which a via, pad or SMD keeps the copper its own
// board's design rules make where the panel's differ, or a signal its own net
// class under the number the panel gives it; its value is for the tests of
// the rules to judge.
bool carriedForRules(const QDomElement &element, const QString &attribute)
{
    static const QStringList objects {"via", "pad", "smd"};
    static const QStringList carried {"diameter", "shape", "alwaysstop", "roundness"};
    if (element.tagName() == QLatin1String("signal"))
        return attribute == QLatin1String("class");
    return objects.contains(element.tagName()) && carried.contains(attribute);
}

int axisOf(const QString &attribute)
{
    static const QRegularExpression coordinate("^([xy])[123]?$");
    const QRegularExpressionMatch match = coordinate.match(attribute);
    return match.hasMatch() ? (match.captured(1) == "x" ? 0 : 1) : -1;
}

QList<QDomElement> childElements(const QDomElement &parent)
{
    QList<QDomElement> list;
    for (QDomElement child = parent.firstChildElement(); !child.isNull();
         child = child.nextSiblingElement())
        list.append(child);
    return list;
}

QString ownText(const QDomElement &element)
{
    QString text;
    for (QDomNode node = element.firstChild(); !node.isNull(); node = node.nextSibling()) {
        if (node.isText())
            text += node.nodeValue();
    }
    return text;
}

QDomElement firstSection(const QDomElement &root, const QString &name)
{
    return root.elementsByTagName(name).item(0).toElement();
}

// What a part's "NAME" attribute prints of its name `name`; null when it is
// hidden or prints its key.
QString printedName(const QDomElement &attribute, const QString &name)
{
    const QString display = attribute.attribute("display");
    if (attribute.tagName() != "attribute" || attribute.attribute("name") != "NAME"
        || display == "off" || display == "name")
        return QString();
    return display == "both" ? "NAME = " + name : name;
}

QString labelKey(const QDomElement &text)
{
    return ownText(text).mid(1).toUpper();
}

class CopyCheck
{
public:
    CopyCheck(const QDomElement &board, double dx, double dy, bool first)
        : board(board)
        , shift {dx, dy}
        , first(first)
    {
        indexLabels();
    }

    // Compares the entries of the board's section `name` with the panel's
    // entries from `next` on, and moves `next` past them.
    QString section(const QString &name, const QList<QDomElement> &panel, int &next)
    {
        const QList<QDomElement> own = childElements(firstSection(board, name));
        for (int i = 0; i < own.size(); ++i, ++next) {
            const QString path = QStringLiteral("%1[%2]").arg(name).arg(i);
            if (next >= panel.size())
                return path + ": missing from the panel";
            const QString difference = name == "elements"
                    ? part(own.at(i), panel.at(next), path)
                    : compare(own.at(i), panel.at(next), name != "libraries", false, path);
            if (!difference.isEmpty())
                return difference;
        }
        return name == "plain" ? printedTexts(panel, next) : QString();
    }

private:
    using Extras = QHash<QString, QString>;

    void indexLabels()
    {
        for (const QDomElement &library : childElements(firstSection(board, "libraries"))) {
            const QDomNodeList packages = library.elementsByTagName("package");
            for (int i = 0; i < packages.count(); ++i) {
                const QDomElement package = packages.item(i).toElement();
                QList<QDomElement> &labels =
                        labelTexts[library.attribute("name") + '\n' + package.attribute("name")];
                const QDomNodeList texts = package.elementsByTagName("text");
                for (int j = 0; j < texts.count(); ++j) {
                    const QString text = ownText(texts.item(j).toElement());
                    if (text.size() > 1 && text.startsWith('>'))
                        labels.append(texts.item(j).toElement());
                }
            }
        }
    }

    QString compare(const QDomElement &b, const QDomElement &c, bool shifting, bool keeping,
                    const QString &path, const Extras &extras = Extras())
    {
        if (b.tagName() != c.tagName())
            return path + ": <" + c.tagName() + "> instead of <" + b.tagName() + ">";
        keeping = keeping || keepsNames(b.tagName());
        QString difference = compareAttributes(b, c, shifting, keeping, extras, path);
        if (difference.isEmpty() && ownText(b) != ownText(c))
            difference = path + ": text \"" + ownText(c) + "\" instead of \"" + ownText(b) + '"';
        if (!difference.isEmpty())
            return difference;
        return compareChildren(childElements(b), childElements(c), shifting, keeping, path);
    }

    QString compareChildren(const QList<QDomElement> &b, const QList<QDomElement> &c, bool shifting,
                            bool keeping, const QString &path)
    {
        if (b.size() != c.size())
            return path + QStringLiteral(": %1 children instead of %2").arg(c.size()).arg(b.size());
        for (int i = 0; i < b.size(); ++i) {
            const QString difference =
                    compare(b.at(i), c.at(i), shifting, keeping,
                            path + '/' + b.at(i).tagName() + '[' + QString::number(i) + ']');
            if (!difference.isEmpty())
                return difference;
        }
        return QString();
    }

    // `extras`: attributes the copy must have with these values, whatever
    // the board's.
    QString compareAttributes(const QDomElement &b, const QDomElement &c, bool shifting,
                              bool keeping, const Extras &extras, const QString &path)
    {
        const QDomNamedNodeMap own = b.attributes();
        for (int i = 0; i < own.length(); ++i) {
            const QString name = own.item(i).nodeName();
            const QString value = own.item(i).nodeValue();
            if (!c.hasAttribute(name))
                return path + ": lost " + name;
            const QString got = c.attribute(name);
            if (extras.contains(name) || carriedForRules(b, name))
                continue;
            if (!keeping && holdsName(name)) {
                const QString difference = mapName(value, got);
                if (!difference.isEmpty())
                    return path + ": " + difference;
                continue;
            }
            const int axis = shifting ? axisOf(name) : -1;
            const QString want =
                    axis < 0 ? value : QString::number(value.toDouble() + shift[axis], 'g', 6);
            if (got != want)
                return path + ": " + name + "=\"" + got + "\" instead of \"" + want + '"';
        }
        const QDomNamedNodeMap copied = c.attributes();
        for (int i = 0; i < copied.length(); ++i) {
            const QString name = copied.item(i).nodeName();
            if (!b.hasAttribute(name) && !extras.contains(name) && !carriedForRules(b, name))
                return path + ": gained " + name;
        }
        for (auto extra = extras.begin(); extra != extras.end(); ++extra) {
            if (c.attribute(extra.key()) != extra.value())
                return path + ": " + extra.key() + "=\"" + c.attribute(extra.key())
                        + "\" instead of \"" + extra.value() + '"';
        }
        return QString();
    }

    QString mapName(const QString &original, const QString &copied)
    {
        static const QRegularExpression fresh("^NewName(0|[1-9][0-9]*)$");
        if (original.isEmpty() || first)
            return copied == original ? QString() : "name \"" + original + "\" became " + copied;
        if (copied != original && !fresh.match(copied).hasMatch())
            return "name " + original + " became " + copied + ", no fresh name";
        if (forward.value(original, copied) != copied)
            return "name " + original + " became both " + forward.value(original) + " and "
                    + copied;
        if (backward.value(copied, original) != original)
            return "names " + backward.value(copied) + " and " + original + " both became "
                    + copied;
        forward.insert(original, copied);
        backward.insert(copied, original);
        return QString();
    }

    // A part of the board; one whose name is replaced prints its old name.
    QString part(const QDomElement &b, const QDomElement &c, const QString &path)
    {
        const QString name = b.attribute("name");
        if (b.tagName() != "element" || c.tagName() != "element" || name.isEmpty()
            || c.attribute("name") == name)
            return compare(b, c, true, false, path);
        if (b.attribute("smashed") == "yes")
            return smashedPart(b, c, name, path);
        const QList<QDomElement> labels =
                labelTexts.value(b.attribute("library") + '\n' + b.attribute("package"));
        const bool printsName = std::any_of(labels.begin(), labels.end(), [](const QDomElement &t) {
            return labelKey(t) == "NAME";
        });
        if (!printsName)
            return compare(b, c, true, false, path);
        return newlySmashedPart(b, c, name, labels, path);
    }

    QString smashedPart(const QDomElement &b, const QDomElement &c, const QString &name,
                        const QString &path)
    {
        QString difference = compareAttributes(b, c, true, false, Extras(), path);
        const QList<QDomElement> own = childElements(b);
        const QList<QDomElement> copied = childElements(c);
        if (difference.isEmpty() && own.size() != copied.size())
            difference = path + ": children differ in number";
        for (int i = 0; difference.isEmpty() && i < own.size(); ++i) {
            const QString printed = printedName(own.at(i), name);
            const QString childPath = path + "/attribute[" + QString::number(i) + ']';
            if (printed.isNull()) {
                difference = compare(own.at(i), copied.at(i), true, false, childPath);
                continue;
            }
            difference =
                    compare(own.at(i), copied.at(i), true, false, childPath, {{"display", "off"}});
            texts.append({copied.at(i), printed, nameLabel(b)});
        }
        return difference;
    }

    // The copy is smashed: first one attribute per label text, then the
    // children of the part that no label replaces.
    QString newlySmashedPart(const QDomElement &b, const QDomElement &c, const QString &name,
                             const QList<QDomElement> &labels, const QString &path)
    {
        QString difference = compareAttributes(b, c, true, false, {{"smashed", "yes"}}, path);
        if (!difference.isEmpty())
            return difference;
        const QList<QDomElement> copied = childElements(c);
        QStringList keys;
        for (int i = 0; i < labels.size(); ++i) {
            keys << labelKey(labels.at(i));
            const QDomElement attribute = copied.value(i);
            const bool hidden = attribute.attribute("display") == "off";
            if (attribute.tagName() != "attribute" || attribute.attribute("name") != keys.last()
                || hidden != (keys.last() == "NAME"))
                return path + ": no label " + keys.last() + " in place " + QString::number(i);
            if (hidden)
                texts.append({attribute, name, QDomElement()});
        }
        QList<QDomElement> kept;
        for (const QDomElement &child : childElements(b)) {
            if (child.tagName() != "attribute" || !keys.contains(child.attribute("name")))
                kept.append(child);
        }
        return compareChildren(kept, copied.mid(labels.size()), true, false, path);
    }

    // The first name label of the part's package; null when there is none.
    QDomElement nameLabel(const QDomElement &part) const
    {
        for (const QDomElement &label :
             labelTexts.value(part.attribute("library") + '\n' + part.attribute("package"))) {
            if (labelKey(label) == "NAME")
                return label;
        }
        return QDomElement();
    }

    // The texts that print the original names, after the board's drawing.
    QString printedTexts(const QList<QDomElement> &panel, int &next)
    {
        for (const auto &[attribute, printed, label] : texts) {
            const QString path = "text printing " + printed;
            if (next >= panel.size())
                return path + ": missing from the panel";
            const QDomElement text = panel.at(next++);
            if (text.tagName() != "text" || ownText(text) != printed)
                return path + ": <" + text.tagName() + ">" + ownText(text) + " instead";
            // What a smashed part's label leaves out of its size and font
            // comes from its package's name label, its rotation and
            // alignment are the defaults, and its place is worked out from
            // the package.
            for (const char *key : {"x", "y", "size", "layer", "font", "ratio", "rot", "align"}) {
                QString want;
                if (attribute.hasAttribute(key))
                    want = attribute.attribute(key);
                else if (QStringList {"size", "font", "ratio"}.contains(key))
                    want = label.attribute(key);
                else if (QStringList {"x", "y", "layer"}.contains(key))
                    continue;
                QString got = text.attribute(key);
                if (QLatin1String(key) == "rot" && want.isEmpty())
                    want = "R0";
                if (QLatin1String(key) == "rot" && got.isEmpty())
                    got = "R0";
                if (got != want)
                    return path + ": " + key + "=\"" + got + "\" instead of \"" + want + '"';
            }
        }
        return QString();
    }

    const QDomElement board;
    const double shift[2];
    const bool first;
    QHash<QString, QList<QDomElement>> labelTexts; // by library and package
    QHash<QString, QString> forward; // original name -> name in the copy
    QHash<QString, QString> backward;
    struct PrintedName
    {
        QDomElement hidden; // the label the copy hides
        QString text;
        QDomElement packageLabel; // where a smashed part's label leaves properties out
    };
    QList<PrintedName> texts;
};

} // namespace

QString copiesDifference(const QDomDocument &panel, const QList<PlacedBoard> &boards)
{
    const QDomElement root = panel.documentElement();
    QHash<QString, QList<QDomElement>> entries;
    QHash<QString, int> next;
    for (const QString &section : sections)
        entries.insert(section, childElements(firstSection(root, section)));
    for (int copy = 0; copy < boards.size(); ++copy) {
        const QDomDocument board = parseXml(boards.at(copy).text);
        if (board.documentElement().isNull())
            return QStringLiteral("board %1 is not well-formed").arg(copy);
        CopyCheck check(board.documentElement(), boards.at(copy).dx, boards.at(copy).dy, copy == 0);
        for (const QString &section : sections) {
            const QString difference = check.section(section, entries[section], next[section]);
            if (!difference.isEmpty())
                return QStringLiteral("copy %1: ").arg(copy) + difference;
        }
    }
    for (const QString &section : sections) {
        if (next[section] != entries[section].size())
            return QStringLiteral("%1 more entries in the panel's %2")
                    .arg(entries[section].size() - next[section])
                    .arg(section);
    }
    return QString();
}
