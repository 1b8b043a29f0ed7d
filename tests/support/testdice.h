#pragma once

#include <QByteArray>
#include <QRandomGenerator>

// The dice of a test that draws random data. The seed comes from
// TAVEL_TEST_SEED when that is set, otherwise from the system, and is written
// to the test's log either way: a failing run is repeated by running the same
// executable (the same functions, in the same order) with that seed.
inline QRandomGenerator &testDice()
{
    static QRandomGenerator dice = [] {
        bool given = false;
        quint32 seed = qgetenv("TAVEL_TEST_SEED").toUInt(&given);
        if (!given)
            seed = QRandomGenerator::system()->generate();
        qInfo("random data from seed %u (TAVEL_TEST_SEED=%u draws the same)", seed, seed);
        return QRandomGenerator(seed);
    }();
    return dice;
}
