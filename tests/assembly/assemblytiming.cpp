// Times the panel assembly for n copies of one board:
//   assemblytiming BOARD.brd N [N...]
// prints, per N, the time of assemblePanel, of writing the file, the panel's
// size and the peak memory of the process so far.
#include "assembly/assemblepanel.h"
#include "assembly/panelfile.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryFile>
#include <QTextStream>

namespace {

QString peakMemory()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly | QIODevice::Text))
        return QStringLiteral("?");
    for (QByteArray line = status.readLine(); !line.isEmpty(); line = status.readLine()) {
        if (line.startsWith("VmHWM:"))
            return QString::fromLatin1(line.mid(6).simplified());
    }
    return QStringLiteral("?");
}

} // namespace

int main(int argc, char *argv[])
{
    QTextStream out(stdout);
    if (argc < 3) {
        out << "usage: assemblytiming BOARD.brd N [N...]\n";
        return 2;
    }
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::ReadOnly))
        return 2;
    const QString board = QString::fromUtf8(file.readAll());
    for (int i = 2; i < argc; ++i) {
        const int copies = QByteArray(argv[i]).toInt();
        QStringList known;
        QStringList duplicates;
        NameBook names(known, duplicates);
        QElapsedTimer timer;
        timer.start();
        const QByteArray text =
                assemblePanel(QStringList(QVector<QString>(copies, board).toList()), names);
        const qint64 assembled = timer.elapsed();
        QTemporaryFile output;
        if (!output.open())
            return 2;
        timer.restart();
        const QString error = writePanelFile(output, text);
        const qint64 written = timer.elapsed();
        out << copies << " copies: assemblePanel " << assembled << " ms, writePanelFile " << written
            << " ms, " << text.size() / 1024 << " KiB, " << duplicates.size()
            << " duplicates, peak " << peakMemory() << (error.isEmpty() ? "" : " ERROR ") << error
            << '\n';
        out.flush();
    }
    return 0;
}
