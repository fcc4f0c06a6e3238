// SPDX-License-Identifier: GPL-3.0-or-later
#include "panelfile.h"

#include <QFileInfo>

#include <cerrno>

#include <unistd.h>

namespace {

// QFileDevice::write() reports a write that the disk or a file-size limit cut
// short as a success of fewer bytes; writing the rest brings out the error.
QString writeAll(QSaveFile &file, const PanelText &text)
{
    for (const QByteArray &block : text.blocks()) {
        for (qint64 done = 0; done < block.size();) {
            const qint64 written = file.write(block.constData() + done, block.size() - done);
            if (written <= 0)
                return file.errorString();
            done += written;
        }
    }
    // QSaveFile::commit() syncs too, but goes on to rename when that fails.
    if (!file.flush())
        return file.errorString();
    if (::fsync(file.handle()) != 0)
        return qt_error_string(errno);
    return QString();
}

} // namespace

bool openPanelFile(QSaveFile &file)
{
    const QFileInfo target(file.fileName());
    if (file.fileName().isEmpty() || (target.exists() && !target.isFile()))
        return false;
    // Unbuffered: every write reaches the file at once, so a short one shows.
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

QString savePanelFile(QSaveFile &file, const PanelText &text)
{
    const QString error = writeAll(file, text);
    if (!error.isEmpty()) {
        discardPanelFile(file);
        return error;
    }
    return file.commit() ? QString() : file.errorString();
}

void discardPanelFile(QSaveFile &file)
{
    // A commit after a cancel removes the new file instead of renaming it.
    file.cancelWriting();
    file.commit();
}
