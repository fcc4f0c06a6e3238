#include "processmemory.h"

#include <QByteArray>
#include <QFile>

namespace {

qint64 statusKb(const QByteArray &key)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return 0;
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith(key))
            return line.mid(key.size()).simplified().split(' ').value(0).toLongLong();
    }
    return 0;
}

} // namespace

qint64 residentKb()
{
    return statusKb("VmRSS:");
}

qint64 peakResidentKb()
{
    return statusKb("VmHWM:");
}
