#include "pacedcase.h"

#include <QFile>

namespace {

struct Rate
{
    qint64 bytesPerSecond;
    const char *name;
    const char *key;
};

// The rates the line speeds come to with ten bits a byte, as KiB/s:
// 11.25, 112.5 and 337.5.
constexpr Rate kRates[] = {
    { 11520, "115200 baud", "115200" },
    { 115200, "1 Mbaud", "1M" },
    { 345600, "3 Mbaud", "3M" },
};

constexpr const char *kStateKeys[] = { "visible", "minimised", "hidden", "idle", "idle-shown" };

QString cell(double value, int decimals)
{
    return value < 0 ? QStringLiteral("–") : QString::number(value, 'f', decimals);
}

} // namespace

QString PacedCase::rateName() const
{
    for (const Rate &rate : kRates) {
        if (rate.bytesPerSecond == bytesPerSecond)
            return QString::fromLatin1(rate.name);
    }
    return bytesPerSecond ? QStringLiteral("%1 B/s").arg(bytesPerSecond) : QStringLiteral("idle");
}

QString PacedCase::shapeName() const
{
    if (state == State::Idle)
        return QStringLiteral("–");
    return shape == StreamShape::Kind::TextLines ? QStringLiteral("text lines")
                                                 : QStringLiteral("no line break");
}

QString PacedCase::stateName() const
{
    switch (state) {
    case State::Visible:
        return QStringLiteral("both views visible");
    case State::Minimised:
        return QStringLiteral("main window minimised");
    case State::Hidden:
        return QStringLiteral("received window hidden");
    case State::Idle:
        return QStringLiteral("port open, idle");
    case State::IdleShown:
        return QStringLiteral("idle after data, views visible");
    }
    return {};
}

QStringList PacedCase::arguments() const
{
    // By its key: "115200" names the baud rate, not the bytes a second.
    QString rate = QString::number(bytesPerSecond);
    for (const Rate &known : kRates) {
        if (known.bytesPerSecond == bytesPerSecond)
            rate = QString::fromLatin1(known.key);
    }
    return { QStringLiteral("--rate"), rate, QStringLiteral("--shape"),
        shape == StreamShape::Kind::TextLines ? QStringLiteral("text") : QStringLiteral("endless"),
        QStringLiteral("--state"), QString::fromLatin1(kStateKeys[int(state)]) };
}

PacedCase PacedCase::fromArguments(const QString &rate, const QString &shape, const QString &state)
{
    PacedCase run;
    run.bytesPerSecond = rate.toLongLong();
    for (const Rate &known : kRates) {
        if (rate == QLatin1String(known.key))
            run.bytesPerSecond = known.bytesPerSecond;
    }
    run.shape = shape == QLatin1String("endless") ? StreamShape::Kind::EndlessPrintable
                                                  : StreamShape::Kind::TextLines;
    for (int i = 0; i < int(std::size(kStateKeys)); ++i) {
        if (state == QLatin1String(kStateKeys[i]))
            run.state = State(i);
    }
    if (run.state == State::Idle || run.state == State::IdleShown)
        run.bytesPerSecond = 0;
    return run;
}

QList<PacedCase> PacedCase::selected(
    const QString &rates, const QString &shapes, const QString &states)
{
    const auto list = [](const QString &value, QStringList all) {
        return value == QLatin1String("all") ? all : value.split(u',');
    };
    const QStringList stateKeys = list(states,
        { QStringLiteral("visible"), QStringLiteral("minimised"), QStringLiteral("hidden"),
            QStringLiteral("idle"), QStringLiteral("idle-shown") });
    QList<PacedCase> cases;
    for (const QString &rate : list(rates, { "115200", "1M", "3M" })) {
        for (const QString &shape : list(shapes, { "text", "endless" })) {
            for (const QString &state : stateKeys) {
                if (!state.startsWith(QLatin1String("idle")))
                    cases.append(fromArguments(rate, shape, state));
            }
        }
    }
    // Idle cases once each, whatever the rates.
    for (const QString &state : stateKeys) {
        if (state.startsWith(QLatin1String("idle")))
            cases.append(fromArguments(QStringLiteral("0"), QStringLiteral("text"), state));
    }
    return cases;
}

QString PacedResult::tableHeader()
{
    return QStringLiteral(
        "| rate | shape | state | mode | program CPU % | X server CPU % | wake-ups/s "
        "(preempted/s) | reads/s | frames/s | text / hex view paints/s | read to frame p50 / "
        "p99 ms | load before / after |\n"
        "|---|---|---|---|---|---|---|---|---|---|---|---|");
}

QString PacedResult::tableRow(const PacedCase &run) const
{
    const double s = seconds > 0 ? seconds : 1;
    const auto perSecond = [s](qint64 count) { return count < 0 ? -1.0 : double(count) / s; };
    QString row = QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 (%8) | %9 | %10 | %11 / %12 | "
                                 "%13 / %14 | %15 / %16 |")
                      .arg(run.rateName(), run.shapeName(), run.stateName(), mode,
                          cell(100 * programCpu / s, 2), cell(100 * serverCpu / s, 2),
                          cell(perSecond(wakeups), 1), cell(perSecond(preemptions), 1))
                      .arg(cell(perSecond(reads), 1), cell(perSecond(frames), 1),
                          cell(perSecond(textPaints), 1), cell(perSecond(hexPaints), 1),
                          cell(latencyP50, 1), cell(latencyP99, 1), cell(loadBefore, 2),
                          cell(loadAfter, 2));
    if (!note.isEmpty())
        row += QLatin1Char(' ') + note;
    return row;
}

double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    return file.readAll().split(' ').value(0).toDouble();
}
