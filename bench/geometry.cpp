#include "geometry.h"

namespace benchgen {

Point placed(Point local, const Placement &placement)
{
    // EAGLE mirrors about the part's y axis first, then turns.
    Point p = {placement.mirrored ? -local.x : local.x, local.y};
    for (int turn = 0; turn < placement.quarterTurns % 4; ++turn)
        p = {-p.y, p.x};
    return p + placement.origin;
}

Point onCircle(Point centre, Length radius, int step)
{
    // 10000 sin(k pi / 32) for the first quarter turn.
    static const int sine[17] = {0,    980,  1951, 2903, 3827, 4714, 5556, 6344, 7071,
                                 7730, 8315, 8819, 9239, 9569, 9808, 9952, 10000};
    const int turn = ((step % 64) + 64) % 64;
    const int k = turn % 16;
    const qint64 c = sine[16 - k];
    const qint64 s = sine[k];
    qint64 x = c;
    qint64 y = s;
    for (int quarter = 0; quarter < turn / 16; ++quarter) {
        const qint64 previousX = x;
        x = -y;
        y = previousX;
    }
    return {centre.x + Length(x * radius / 10000), centre.y + Length(y * radius / 10000)};
}

QByteArray rotationText(const Placement &placement)
{
    QByteArray text = placement.mirrored ? "MR" : "R";
    return text + QByteArray::number(placement.quarterTurns % 4 * 90);
}

QByteArray lengthText(Length length)
{
    // Written backwards into a buffer: a board writes hundreds of thousands
    // of these, and one allocation each keeps generation fast.
    char buffer[24];
    char *const end = buffer + sizeof buffer;
    char *p = end;
    const qint64 magnitude = length < 0 ? -qint64(length) : qint64(length);
    int fraction = int(magnitude % 10000);
    if (fraction != 0) {
        int digits = 4;
        while (fraction % 10 == 0) {
            fraction /= 10;
            --digits;
        }
        for (int i = 0; i < digits; ++i, fraction /= 10)
            *--p = char('0' + fraction % 10);
        *--p = '.';
    }
    qint64 whole = magnitude / 10000;
    do {
        *--p = char('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    if (length < 0)
        *--p = '-';
    return QByteArray(p, int(end - p));
}

} // namespace benchgen
