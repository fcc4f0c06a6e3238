// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "gui/tavolin.h"
#include "testsupport.h"

class QListView;

// The main window as a user drives it: clicks on its buttons, values typed
// into its spin boxes, and the dialogs it opens answered by `script`.
struct DrivenWindow
{
    Tavolin tavolin;
    DialogScript script;

    QListView *files();
    QListView *sizes();
    // What each list shows, a text a row.
    QStringList fileRows();
    QStringList sizeRows();
    // Makes `row` of `list` the current one, as a click on it does; -1
    // leaves none current.
    static void choose(QListView *list, int row);
    void click(const char *button);
    void typeInto(const char *spinBox, int value);
    // Load: choose `path` in the open dialog.
    void load(const QString &path);
    // Make panel: choose `path` in the save dialog (confirming the overwrite
    // question when the file exists), dismissing `messages` message boxes.
    void makePanel(const QString &path, int messages = 0);
};
