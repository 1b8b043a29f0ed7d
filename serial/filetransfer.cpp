#include "filetransfer.h"

#include "linebits.h"
#include "mscomm.h"

#include <algorithm>

namespace {

constexpr int kDrainWatchMsecs = 100;
// A line that moves at all moves within this time at any usual rate; longer,
// and XON/XOFF has it held.
constexpr int kStallMsecs = 500;

} // namespace

FileTransfer::FileTransfer(MSComm &comm, QObject *parent)
    : QObject(parent)
    , m_comm(comm)
{
    m_drainWatch.setInterval(kDrainWatchMsecs);
    connect(&m_drainWatch, &QTimer::timeout, this, &FileTransfer::onProgress);
    connect(&m_comm, &MSComm::outputPassedOnChanged, this, &FileTransfer::onProgress);
    connect(&m_comm, &MSComm::portClosed, this, [this] {
        if (m_running)
            finish(Outcome::PortClosed, m_reported);
    });
    connect(&m_comm, &MSComm::connectionLost, this, [this] {
        if (m_running)
            finish(Outcome::DeviceLost, m_reported);
    });
    connect(&m_comm.lines(), &PortLines::changed, this, &FileTransfer::updateHold);
}

CommResult FileTransfer::start(const QString &name, const QByteArray &bytes)
{
    const qint64 start = m_comm.outputEnd();
    if (CommResult refused = m_comm.Output(bytes))
        return refused;
    if (bytes.isEmpty())
        return std::nullopt;
    m_name = name;
    m_start = start;
    m_total = bytes.size();
    m_reported = 0;
    m_sentAtEnd = 0;
    m_running = true;
    m_sinceMove.start();
    m_drainWatch.start();
    return std::nullopt;
}

void FileTransfer::cancel()
{
    if (!m_running)
        return;
    const qint64 passedOn = m_comm.outputPassedOn();
    const qint64 held = m_comm.outputInDriver();
    const qint64 leftSoFar = sent();
    m_comm.dropOutput(m_start);
    // The driver sends in order. Bytes handed over before the file have left
    // it once what has left reaches the file's start; bytes queued after the
    // file reach it only after the file's last byte. Between the two, all it
    // holds is this file, and throwing that away keeps everything else.
    // Only once some of the file has reached the driver: a driver that does
    // not tell what it holds (a pty) may then still hold what came before.
    if (passedOn > m_start && passedOn - held >= m_start && passedOn <= m_start + m_total)
        m_comm.discardOutputInDriver();
    finish(Outcome::Cancelled, leftSoFar);
}

qint64 FileTransfer::sent() const
{
    if (!m_running)
        return m_sentAtEnd;
    const qint64 left = m_comm.outputPassedOn() - m_comm.outputInDriver();
    // Some drivers count what they hold in whole buffers (CDC-ACM says it
    // overcounts); the count must not step back when such a buffer goes.
    return std::clamp<qint64>(left - m_start, std::max<qint64>(m_reported, 0), m_total);
}

int FileTransfer::percent() const
{
    return m_total > 0 ? int(sent() * 100 / m_total) : 100;
}

void FileTransfer::onProgress()
{
    if (!m_running)
        return;
    const qint64 done = sent();
    if (done == m_reported) {
        updateHold();
        return;
    }
    m_reported = done;
    m_sinceMove.start();
    updateHold();
    Q_EMIT progressed(done, m_total);
    if (done == m_total)
        finish(Outcome::Sent, done);
}

void FileTransfer::finish(Outcome outcome, qint64 sentAtEnd)
{
    m_sentAtEnd = std::max<qint64>(sentAtEnd, 0);
    m_running = false;
    m_drainWatch.stop();
    updateHold();
    Q_EMIT finished(outcome);
}

void FileTransfer::updateHold()
{
    Hold hold = Hold::None;
    const PortLines &lines = m_comm.lines();
    const LineChoices::FlowControl flow = lines.choices(lines.port()).flowControl;
    if (m_running && flow == LineChoices::FlowControl::RtsCts
        && lines.line(LineBits::kCts) == false)
        hold = Hold::ClearToSendOff;
    else if (m_running && flow == LineChoices::FlowControl::XonXoff && !lines.isBreaking()
        && m_sinceMove.elapsed() >= kStallMsecs)
        hold = Hold::XoffReceived;
    if (hold == m_hold)
        return;
    m_hold = hold;
    Q_EMIT holdChanged(hold);
}
