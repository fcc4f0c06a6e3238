// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "core/xml/paneltext.h"

#include <QSaveFile>
#include <QString>

// A panel never overwrites its file in place. It is written into a new file
// in the same folder, which takes the old one's place only once every byte
// of it is on disk; until then, and after any failure, the path holds just
// what it held before, or nothing if it was new.

// Opens `file` to take a panel. False, with nothing created, when its path
// cannot take one: no name, a folder that takes no new file, a file that may
// not be written, or no regular file (a device would be replaced by a file).
bool openPanelFile(QSaveFile &file);

// Writes `text` into the open `file`, syncs it to disk and puts it in place of
// the file at its path. Returns the error text, empty when the panel is in
// place; on failure the new file is removed. `file` is closed afterwards.
QString savePanelFile(QSaveFile &file, const PanelText &text);

// Closes the open `file` and removes what was written, leaving its path alone.
void discardPanelFile(QSaveFile &file);
