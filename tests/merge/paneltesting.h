// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QDomDocument>
#include <QList>
#include <QString>
#include <QStringList>

// Helpers shared by the panel assembly tests.

QDomDocument parseXml(const QString &text);
// The raw text of a real board, empty when the boards are absent.
QString realBoardText(const QString &fileName);

// The first difference between two element trees (tag names, attribute sets,
// text, children in order), or an empty string when they are equal.
QString treeDifference(const QDomElement &expected, const QDomElement &actual);

// The names carried by the element children of the first `section` element
// below `root` ("elements", "signals", "libraries"), in document order.
QStringList entryNames(const QDomElement &root, const QString &section);

// How many entries a board puts into each section of a panel.
struct BoardShare
{
    int libraries = 0;
    int elements = 0;
    int signalCount = 0;
};
BoardShare shareOf(const QString &boardText);

// Assembles `boards`, each taken as it is, and saves the panel to `path` as
// the make-panel run does; returns the bytes the file then holds.
QByteArray runWritePanel(const QStringList &boards, const QString &path);

// Walks a panel made of boards with the given shares, in order, and lists what
// is wrong with it: a part whose library or package is not in its own board
// copy, a contact that names a part outside its own copy, two libraries, parts
// or signals sharing a name (letter case aside), a signal of a net class or a
// drawn item on a layer the panel does not define, or sections whose sizes do
// not add up. Empty when the panel is sound.
QStringList panelProblems(const QDomDocument &panel, const QList<BoardShare> &shares);
