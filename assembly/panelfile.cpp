#include "panelfile.h"

QString writePanelFile(QFileDevice &file, const QByteArray &text)
{
    // Devices such as /dev/full or a pipe can neither seek nor be resized.
    const bool regular = !file.isSequential();
    if (regular && !file.seek(0))
        return file.errorString();
    if (file.write(text) != text.size() || !file.flush())
        return file.errorString();
    if (regular && file.size() > file.pos() && !file.resize(file.pos()))
        return file.errorString();
    return QString();
}
