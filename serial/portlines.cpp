#include "portlines.h"

#include "linebits.h"
#include "linessettings.h"
#include "threadwake.h"

#include <algorithm>
#include <chrono>

namespace {

// What the driver holds leaves within this time at any usual rate; a line
// held up by flow control gets its BREAK all the same once it is over.
constexpr int kDrainWaitMs = 1000;
constexpr int kDrainPollMs = 5;

} // namespace

PortLines::PortLines(Output output, QObject *parent)
    : QObject(parent)
    , m_output(std::move(output))
{
    m_drainTimer.setInterval(kDrainPollMs);
    m_drainTimer.setTimerType(Qt::PreciseTimer);
    connect(&m_drainTimer, &QTimer::timeout, this, &PortLines::onDrainTick);
}

PortLines::~PortLines()
{
    detach();
}

LineChoices PortLines::choices(int port) const
{
    return ComPortMap::isValidPort(port) ? m_choices[port - ComPortMap::kFirstPort]
                                         : LineChoices {};
}

void PortLines::setChoices(int port, const LineChoices &choices)
{
    if (!ComPortMap::isValidPort(port))
        return;
    m_choices[port - ComPortMap::kFirstPort] = choices;
    if (m_driver && port == m_port)
        applyFlowAndHangUp();
    Q_EMIT changed();
}

std::optional<bool> PortLines::line(int bit) const
{
    if (!linesKnown() || ((bit & LineBits::kFarLines) && !m_whyFarUnknown.isEmpty()))
        return std::nullopt;
    return (m_bits & bit) != 0;
}

std::optional<QString> PortLines::setOwnLine(int bit, bool on)
{
    if (!linesKnown())
        return m_whyUnknown;
    // A refusal now and then (a USB request that timed out) leaves the lines
    // usable; only lines that can no longer be read are unknown.
    const std::optional<QString> refused = m_driver->setOwnLines(bit & LineBits::kOwnLines, on);
    readLines();
    Q_EMIT changed();
    return refused;
}

void PortLines::attach(std::unique_ptr<LineDriver> driver, int port)
{
    detach();
    m_driver = std::move(driver);
    m_port = port;
    m_whyUnknown.clear();
    m_whyFarUnknown.clear();
    m_flowProblem.clear();
    m_breakProblem.clear();
    m_bits = 0;
    const LineChoices chosen = choices(port);
    // Under RTS/CTS the driver raises RTS when it can take data and never
    // again after it was dropped by hand.
    const bool rtsOff = chosen.rtsAtOpen == LineChoices::Level::Off
        && chosen.flowControl != LineChoices::FlowControl::RtsCts;
    const int off = (chosen.dtrAtOpen == LineChoices::Level::Off ? LineBits::kDtr : 0)
        | (rtsOff ? LineBits::kRts : 0);
    // A driver without modem lines refuses this; the port is used all the same.
    if (off != 0) {
        if (std::optional<QString> refused = m_driver->setOwnLines(off, false))
            m_whyUnknown = *refused;
    }
    if (m_whyUnknown.isEmpty())
        readLines();
    connect(m_driver.get(), &LineDriver::linesChanged, this, [this](int bits) {
        m_bits = bits;
        Q_EMIT changed();
    });
    connect(m_driver.get(), &LineDriver::watchFailed, this, &PortLines::markFarUnknown);
    connect(m_driver.get(), &LineDriver::linesLost, this, &PortLines::markUnknown);
    Q_EMIT changed();
}

void PortLines::applyFlowAndHangUp()
{
    if (!m_driver)
        return;
    const LineChoices chosen = choices(m_port);
    const std::optional<QString> refused
        = m_driver->applyFlowAndHangUp(chosen.flowControl, chosen.keepDtrAfterClose);
    if (!refused && chosen.flowControl == LineChoices::FlowControl::RtsCts && linesKnown()) {
        (void)m_driver->setOwnLines(LineBits::kRts, true);
        readLines();
    }
    const QString problem = refused.value_or(QString());
    if (problem == m_flowProblem)
        return;
    m_flowProblem = problem;
    Q_EMIT changed();
    if (!problem.isEmpty())
        Q_EMIT flowRefused(problem);
}

void PortLines::startWatching()
{
    if (linesKnown())
        m_driver->startWatching();
}

void PortLines::detach()
{
    if (!m_driver)
        return;
    endBreak();
    m_driver->stopWatching();
    m_driver.reset();
    m_port = 0;
    m_bits = 0;
    Q_EMIT changed();
}

void PortLines::readLines()
{
    const LineDriver::Reading reading = m_driver->read();
    if (reading.bits)
        m_bits = *reading.bits;
    else
        m_whyUnknown = reading.reason;
}

void PortLines::markUnknown(const QString &reason)
{
    if (!m_driver)
        return;
    m_whyUnknown = reason;
    m_driver->stopWatching();
    Q_EMIT changed();
}

void PortLines::markFarUnknown(const QString &reason)
{
    if (!m_driver)
        return;
    m_whyFarUnknown = reason;
    Q_EMIT changed();
}

void PortLines::sendBreak(int ms)
{
    if (!m_driver || isBreaking())
        return;
    m_breakMs = std::clamp(ms, LinesSettings::kBreakMinMs, LinesSettings::kBreakMaxMs);
    m_output.hold(true);
    m_breakState = BreakState::Draining;
    m_drainDeadline.setRemainingTime(kDrainWaitMs);
    Q_EMIT changed();
    onDrainTick();
}

void PortLines::onDrainTick()
{
    if (m_breakState != BreakState::Draining)
        return;
    if (!m_output.drained() && !m_drainDeadline.hasExpired()) {
        m_drainTimer.start();
        return;
    }
    m_drainTimer.stop();
    startHolding();
}

void PortLines::startHolding()
{
    m_breakState = BreakState::Holding;
    m_breakCut = false;
    m_breakThreadFinished = false;
    ThreadWake::prepare();
    LineDriver *driver = m_driver.get();
    const int generation = ++m_breakGeneration;
    const auto length = std::chrono::milliseconds(m_breakMs);
    m_breakThread = std::thread([this, driver, generation, length] {
        // The driver starts the BREAK once what it holds has left, which a
        // line held by flow control may never let happen; closing the port
        // then wakes this thread out of the call.
        std::optional<QString> problem = driver->setBreak(true);
        if (!problem) {
            const auto end = std::chrono::steady_clock::now() + length;
            {
                std::unique_lock lock(m_breakMutex);
                m_breakWake.wait_until(lock, end, [this] { return m_breakCut; });
            }
            problem = driver->setBreak(false);
        }
        QMetaObject::invokeMethod(
            this, [this, generation, problem] { onBreakEnded(generation, problem); },
            Qt::QueuedConnection);
        m_breakThreadFinished = true;
    });
}

void PortLines::onBreakEnded(int generation, const std::optional<QString> &problem)
{
    if (generation != m_breakGeneration || m_breakState != BreakState::Holding)
        return;
    endBreak();
    m_breakProblem = problem.value_or(QString());
    Q_EMIT changed();
}

void PortLines::endBreak()
{
    if (m_breakThread.joinable()) {
        {
            std::lock_guard lock(m_breakMutex);
            m_breakCut = true;
        }
        m_breakWake.notify_all();
        ThreadWake::stopAndJoin(m_breakThread, m_breakThreadFinished);
    }
    m_drainTimer.stop();
    if (m_breakState != BreakState::Idle)
        m_output.hold(false);
    m_breakState = BreakState::Idle;
}
