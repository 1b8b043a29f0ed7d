#pragma once

#include <QByteArray>
#include <QRandomGenerator>

// Every byte value from `first` to FFh in turn, then random bytes (the same
// at every run) up to `size`: data in which a dropped, doubled, reordered or
// translated byte shows.
inline QByteArray everyByteValue(int first = 0, qsizetype size = 0)
{
    QByteArray bytes;
    for (int value = first; value < 256; ++value)
        bytes.append(char(value));
    QRandomGenerator generator(20240601);
    while (bytes.size() < size)
        bytes.append(char(generator.bounded(256)));
    return bytes;
}
