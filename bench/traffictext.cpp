#include "traffictext.h"

#include <QRandomGenerator>
#include <QString>
#include <algorithm>
#include <cstring>

QByteArray textLog(qsizetype size)
{
    const char *states[] = { "bereit", "aktiv", "Messung läuft", "warte auf Antwort" };
    QRandomGenerator dice(7);
    QByteArray tile;
    for (int line = 0; tile.size() < 4 * 1024 * 1024; ++line) {
        tile += QString::asprintf("2026-12-07 %02d:%02d:%02d Sensor %d: T=%.1f °C, U=%.2f V, "
                                  "Zustand %s\r\n",
            line / 3600 % 24, line / 60 % 60, line % 60, dice.bounded(8), dice.bounded(400) / 10.0,
            dice.bounded(1300) / 100.0, states[dice.bounded(4)])
                    .toLatin1();
    }
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype at = 0; at < size; at += tile.size())
        memcpy(bytes.data() + at, tile.constData(), size_t(std::min(tile.size(), size - at)));
    return bytes;
}
