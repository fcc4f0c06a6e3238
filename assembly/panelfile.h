#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>

// Puts `text` in `file` in place of what it held: written from the start,
// flushed, and the file cut to the text's length when it was longer. The file
// must be open for writing and is left open. Returns the file's error text,
// empty when everything was written.
QString writePanelFile(QFileDevice &file, const QByteArray &text);
