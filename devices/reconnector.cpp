#include "reconnector.h"

#include "serial/mscomm.h"

#include <QFileInfo>

Reconnector::Reconnector(MSComm &comm, QObject *parent)
    : QObject(parent)
    , m_comm(comm)
{
    m_timer.setInterval(kLookIntervalMs);
    m_timer.setTimerType(Qt::CoarseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Reconnector::look);
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
    Q_EMIT waitingStopped();
}

void Reconnector::look()
{
    // A dangling link or a missing node: not back yet, and nothing to open.
    if (!QFileInfo::exists(m_path) || m_comm.reopenAfterLoss())
        return;
    m_timer.stop();
    Q_EMIT reconnected();
}
