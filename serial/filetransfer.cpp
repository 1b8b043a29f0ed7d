#include "filetransfer.h"

#include "mscomm.h"

#include <algorithm>

FileTransfer::FileTransfer(MSComm &comm, QObject *parent)
    : QObject(parent)
    , m_comm(comm)
{
    connect(&m_comm, &MSComm::outputPassedOnChanged, this, &FileTransfer::onPassedOn);
    connect(&m_comm, &MSComm::portClosed, this, [this] {
        if (m_running)
            finish(Outcome::PortClosed);
    });
    connect(&m_comm, &MSComm::connectionLost, this, [this] {
        if (m_running)
            finish(Outcome::DeviceLost);
    });
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
    m_sentAtEnd = 0;
    m_running = true;
    return std::nullopt;
}

void FileTransfer::cancel()
{
    if (!m_running)
        return;
    m_comm.dropOutput(m_start);
    finish(Outcome::Cancelled);
}

qint64 FileTransfer::sent() const
{
    if (!m_running)
        return m_sentAtEnd;
    return std::clamp<qint64>(m_comm.outputPassedOn() - m_start, 0, m_total);
}

int FileTransfer::percent() const
{
    return m_total > 0 ? int(sent() * 100 / m_total) : 100;
}

void FileTransfer::onPassedOn()
{
    if (!m_running)
        return;
    const qint64 done = sent();
    Q_EMIT progressed(done, m_total);
    if (done == m_total)
        finish(Outcome::Sent);
}

void FileTransfer::finish(Outcome outcome)
{
    m_sentAtEnd = sent();
    m_running = false;
    Q_EMIT finished(outcome);
}
