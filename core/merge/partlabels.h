// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QLatin1String>
#include <QPair>
#include <QString>
#include <QVector>

// The attributes of one XML element, in their order.
class TagAttributes
{
public:
    // The value of the attribute `name`; a null string when there is none.
    QString value(QLatin1String name) const;
    bool has(QLatin1String name) const { return !value(name).isNull(); }
    void append(const QString &name, const QString &value) { items.append({name, value}); }

    using Item = QPair<QString, QString>;
    const QVector<Item> &list() const { return items; }

private:
    QVector<Item> items;
};

// A text that prints one of its part's attributes where the part's package
// puts it: ">NAME", ">VALUE" or the name of any other attribute after ">".
struct LabelText
{
    TagAttributes attributes; // of the "text" element
    QString text;
};

// The label texts of the packages of one board, by library and package name.
class PackageLabels
{
public:
    void add(const QString &library, const QString &package, const LabelText &label);
    // Null when the package has no label text.
    const QVector<LabelText> *find(const QString &library, const QString &package) const;

private:
    QHash<QString, QVector<LabelText>> labels;
};

// Whether `text`, the content of a package's text, is a label text.
bool isLabelText(const QString &text);

// What the copy of a part whose name is replaced needs so that it prints the
// part's original name as its board does, and no longer its new name.
//
// A smashed part prints its name through its "NAME" attribute; the copy
// hides that attribute and draws a text with the name in its place. A part
// that is not smashed prints it where its package's ">NAME" text says; the
// copy is smashed as the CAD program smashes a part, each label text of the
// package becoming an attribute of the part at the place the text stands on
// the board, "NAME" hidden, and the name drawn there as a text.
struct Relabelling
{
    // The copy becomes smashed, `labels` taking the place of the part's
    // attribute children of the same names.
    bool smash = false;
    QVector<TagAttributes> labels;
    // The copy's attribute children that print the name are hidden.
    bool hideNames = false;
    // Texts for the panel's drawing, each printing the original name.
    QVector<LabelText> texts;

    bool isEmpty() const { return texts.isEmpty(); }
    // Whether an attribute child of the part (its attributes given) is left
    // out of the copy, a label taking its place.
    bool replaces(const TagAttributes &attribute) const;
    // Whether an attribute child of the part is hidden in the copy.
    bool hides(const TagAttributes &attribute) const;
};

// `part`: the attributes of the part ("element") as its board writes them,
// with its original name; `attributes`: those of its "attribute" children;
// `labels`: the label texts of its package, null when it has none.
Relabelling relabel(const TagAttributes &part, const QVector<TagAttributes> &attributes,
                    const QVector<LabelText> *labels);
