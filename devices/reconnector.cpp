#include "reconnector.h"

#include "serial/mscomm.h"
#include "serial/networkaddress.h"

#include <QFileInfo>

Reconnector::Reconnector(MSComm &comm, QObject *parent)
    : QObject(parent)
    , m_comm(comm)
{
    m_timer.setInterval(kLookIntervalMs);
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Reconnector::look);
    // A server is connected on the event loop; the port says when it is back.
    connect(&m_comm, &MSComm::opened, this, [this] {
        if (isWaiting())
            finish();
    });
}

void Reconnector::startWaiting()
{
    m_path = m_comm.returnPath();
    if (m_path.isEmpty())
        return;
    m_timer.start();
}

void Reconnector::stopWaiting()
{
    if (!isWaiting())
        return;
    m_timer.stop();
    if (m_comm.isConnecting())
        (void)m_comm.setPortOpen(false);
    Q_EMIT waitingStopped();
}

void Reconnector::look()
{
    if (m_comm.isConnecting())
        return;
    // A dangling link or a missing node: not back yet, and nothing to open.
    // A server is simply tried: a refusal costs a few microseconds.
    if (!NetworkAddress::looksLikeOne(m_path) && !QFileInfo::exists(m_path))
        return;
    if (m_comm.reopenAfterLoss() || !m_comm.PortOpen())
        return;
    finish();
}

void Reconnector::finish()
{
    m_timer.stop();
    Q_EMIT reconnected();
}
