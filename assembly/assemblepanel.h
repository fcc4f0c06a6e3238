#pragma once

#include "namebook.h"

#include <QByteArray>
#include <QStringList>

// Builds one panel out of the shifted board documents, in placement order,
// and returns its text (see documentText()). The first document becomes the
// panel. Of every later one, after its used names were given fresh ones, the
// content of "plain", "libraries", "elements" and "signals" is appended to the
// panel's sections, and the net classes and layers it defines by a number the
// panel lacks are added to the panel's tables. The names met are left in
// `names`. Empty when there is no document.
QByteArray assemblePanel(const QStringList &shiftedBoards, NameBook &names);
