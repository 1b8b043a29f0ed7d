#pragma once

#include "devices/comportmap.h"
#include "linechoices.h"
#include "linedriver.h"

#include <QDeadlineTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// The wires beside the data of the port object's open port: DTR and RTS,
// BREAK, the four lines the far end drives, and flow control, together with
// what the user chose for each port. Lives as long as the port object; while
// a port is open, a driver of that port's kind stands behind it.
class PortLines : public QObject
{
    Q_OBJECT

public:
    // How a BREAK reaches into the port object's output.
    struct Output
    {
        // Nothing of the port object's waits, and the driver holds nothing.
        std::function<bool()> drained;
        // Stops passing queued bytes on to the driver, or lets them go again.
        std::function<void(bool)> hold;
    };

    explicit PortLines(Output output, QObject *parent = nullptr);
    ~PortLines() override;

    LineChoices choices(int port) const;
    // On the open port the flow control and keeping DTR take effect at once,
    // the levels at open with the next opening. A flow control the driver
    // refuses is reported with flowRefused; the choice is kept for the next
    // opening all the same.
    void setChoices(int port, const LineChoices &choices);

    // COMn of the open port; 0 while closed.
    int port() const { return m_driver ? m_port : 0; }
    // Whether the open port's lines can be read and set; when not, why, in
    // the system's words.
    bool linesKnown() const { return m_driver && m_whyUnknown.isEmpty(); }
    QString whyUnknown() const { return m_whyUnknown; }
    // The lines as last read (LineBits); meaningful while linesKnown().
    int bits() const { return m_bits; }
    // Whether a line is on; nothing while it is not known. The far end's
    // lines can be unknown alone, when the driver stopped reporting them.
    std::optional<bool> line(int bit) const;
    // Why the open port runs without its chosen flow control; empty when it
    // has it.
    QString flowProblem() const { return m_flowProblem; }

    // Raises or drops DTR or RTS. A refusal makes the lines unknown and is
    // returned.
    std::optional<QString> setOwnLine(int bit, bool on);

    // Holds BREAK for ms (kept within LinesSettings' limits). Bytes handed to
    // the port meanwhile wait; what the driver already holds leaves first, as
    // a BREAK over a byte on its way would spoil it. Does nothing while a
    // BREAK is under way or the port is closed.
    void sendBreak(int ms);
    bool isBreaking() const { return m_breakState != BreakState::Idle; }
    // Why the driver refused the last BREAK; empty when it did not.
    QString breakProblem() const { return m_breakProblem; }

    // For the port object: a port has opened. The own lines chosen off are
    // dropped at once, before anything else is set.
    void attach(std::unique_ptr<LineDriver> driver, int port);
    // After the line settings: the chosen flow control and hang-up rule. A
    // refused flow control leaves the port open without it; flowRefused
    // says so.
    void applyFlowAndHangUp();
    void startWatching();
    // The port closes or is lost; a BREAK under way ends.
    void detach();

Q_SIGNALS:
    // Anything that the accessors above report has changed.
    void changed();
    // The driver refused the chosen flow control (a phrase in the interface's language with its
    // reason); the port goes on without it.
    void flowRefused(const QString &reason);

private:
    enum class BreakState { Idle, Draining, Holding };

    void readLines();
    void markUnknown(const QString &reason);
    void markFarUnknown(const QString &reason);
    void onDrainTick();
    void startHolding();
    void onBreakEnded(int generation, const std::optional<QString> &problem);
    void endBreak();

    Output m_output;
    std::array<LineChoices, ComPortMap::kPortCount> m_choices {};
    std::unique_ptr<LineDriver> m_driver;
    int m_port = 0;
    int m_bits = 0;
    QString m_whyUnknown;
    QString m_whyFarUnknown;
    QString m_flowProblem;

    BreakState m_breakState = BreakState::Idle;
    int m_breakMs = 0;
    int m_breakGeneration = 0;
    QString m_breakProblem;
    QTimer m_drainTimer;
    QDeadlineTimer m_drainDeadline;
    // The BREAK is timed on a thread of its own, so that a busy window
    // cannot lengthen it.
    std::thread m_breakThread;
    std::mutex m_breakMutex;
    std::condition_variable m_breakWake;
    bool m_breakCut = false;
    std::atomic<bool> m_breakThreadFinished { true };
};
