#include "mscomm.h"

#include "commerrorcatalog.h"
#include "deviceport.h"
#include "devices/comportmap.h"
#include "devices/devicescan.h"
#include "linesettings.h"
#include "networkaddress.h"
#include "networkport.h"

#include <QFileInfo>

namespace {

// Overruns are rare and reported after the fact anyway; once a second costs
// nothing while the program is idle.
constexpr int kOverrunPollMs = 1000;

} // namespace

MSComm::MSComm(QObject *parent)
    : QObject(parent)
    , m_lines({ [this] { return outputInDriver() == 0 && m_writer.staged() == 0; },
          [this](bool held) { m_writer.setHeld(held); } })
{
    connect(&m_writer, &SerialWriter::bytesPassedOn, this, &MSComm::outputPassedOnChanged);
    connect(&m_writer, &SerialWriter::failed, this, [this] {
        if (PortOpen())
            handleConnectionLoss();
    });
    m_overrunPoll.setInterval(kOverrunPollMs);
    m_overrunPoll.setTimerType(Qt::VeryCoarseTimer);
    connect(&m_overrunPoll, &QTimer::timeout, this, &MSComm::onOverrunPoll);
}

MSComm::~MSComm()
{
    // Closing during member destruction would report into a half-destroyed object.
    m_lines.detach();
    if (m_port) {
        m_port->disconnect(this);
        const bool pending = dropPendingOutput();
        m_port->close(pending, keepsDtr());
    }
}

CommResult MSComm::setCommPort(int port)
{
    if (!ComPortMap::isValidPort(port))
        return CommErrorCatalog::invalidPortNumber(port);
    if (PortOpen() || isConnecting())
        return CommErrorCatalog::portAlreadyOpen(m_commPort);
    m_commPort = port;
    return std::nullopt;
}

CommResult MSComm::setSettings(const QString &settings)
{
    QString problem;
    const std::optional<LineSettings> parsed = LineSettings::parse(settings, &problem);
    if (!parsed)
        return CommErrorCatalog::invalidSettings(settings, problem);
    // A server being connected takes them when it is ready.
    if (PortOpen() || isConnecting()) {
        if (CommResult refused = applySettings(*parsed)) {
            // Best effort back to what worked; the port stays open.
            if (const std::optional<LineSettings> previous = LineSettings::parse(m_settings))
                (void)applySettings(*previous);
            return refused;
        }
    }
    m_settings = settings;
    return std::nullopt;
}

bool MSComm::PortOpen() const
{
    return m_port && m_port->isOpen();
}

bool MSComm::isConnecting() const
{
    return m_connecting;
}

CommResult MSComm::setPortOpen(bool open)
{
    if (isConnecting()) {
        if (open)
            return std::nullopt;
        closePort();
        return std::nullopt;
    }
    if (open == PortOpen())
        return std::nullopt;
    if (!open) {
        m_salvaged.clear();
        closePort();
        emit portClosed();
        return std::nullopt;
    }
    return openPort();
}

CommResult MSComm::Output(const QByteArray &bytes)
{
    if (!PortOpen())
        return CommErrorCatalog::portNotOpen();
    (void)m_writer.enqueue(bytes);
    return std::nullopt;
}

qint64 MSComm::dropOutput(qint64 start)
{
    return m_writer.dropPiece(start);
}

qint64 MSComm::outputInDriver() const
{
    return PortOpen() ? m_port->outputInDriver() : 0;
}

void MSComm::discardOutputInDriver()
{
    if (PortOpen())
        m_port->discardOutputInDriver();
}

QByteArray MSComm::Input()
{
    QByteArray bytes = std::exchange(m_salvaged, {});
    if (m_port)
        bytes += m_port->readAll();
    m_bytesTaken += bytes.size();
    return bytes;
}

qint64 MSComm::bytesToWrite() const
{
    return PortOpen() ? m_writer.pending() : 0;
}

QString MSComm::devicePath() const
{
    return ComPortMap::devicePath(m_commPort);
}

void MSComm::raiseCommEvent(int event)
{
    const qint64 arrivedBefore = bytesArrived();
    m_commEvent = event;
    ++m_dispatchDepth;
    emit OnComm();
    --m_dispatchDepth;
    // QSerialPort does not announce bytes that come in while its own
    // readyRead is still being handled, and this object raises no event while
    // a handler runs; bytes that arrived during a handler's nested event loop
    // (a message box) would otherwise wait unannounced for the next byte.
    if (bytesArrived() > arrivedBefore)
        m_receiveDeferred = true;
    if (m_dispatchDepth == 0 && std::exchange(m_receiveDeferred, false))
        scheduleReceiveEvent();
}

void MSComm::onReadyRead()
{
    if (m_dispatchDepth > 0) {
        m_receiveDeferred = true;
        return;
    }
    // A loss is told before the data that came after it, as the UART saw it.
    if (overrunSinceLastLook())
        raiseCommEvent(comEventOverrun);
    raiseCommEvent(comEvReceive);
}

void MSComm::handleConnectionLoss()
{
    m_salvaged += m_port->readAll();
    // Nobody is left to take what is still queued; it is not kept for the
    // device's return either, as another device may answer then.
    m_outputLostAtLoss += m_writer.pending();
    m_writer.detach();
    m_writer.clear();
    m_lines.detach();
    stopOverrunWatch();
    m_port->closeLost();
    m_openDevice.clear();
    m_openPath.clear();
    if (!m_salvaged.isEmpty())
        scheduleReceiveEvent();
    emit connectionLost();
}

CommResult MSComm::openPort()
{
    m_salvaged.clear();
    m_outputLostAtLoss = 0;
    m_returnPath.clear();
    return openPath(devicePath());
}

CommResult MSComm::reopenAfterLoss()
{
    if (PortOpen() || isConnecting())
        return std::nullopt;
    return openPath(m_returnPath);
}

CommResult MSComm::openPath(const QString &configured)
{
    QString problem;
    const std::optional<LineSettings> settings = LineSettings::parse(m_settings, &problem);
    if (!settings)
        return CommErrorCatalog::invalidSettings(m_settings, problem);
    // Asked for before the device is touched: no device can send this.
    if (!settings->isSendable())
        return CommErrorCatalog::stopBitsNeedFiveDataBits(*settings);
    if (configured.isEmpty())
        return CommErrorCatalog::noDeviceForPort(m_commPort);
    if (!NetworkAddress::looksLikeOne(configured))
        return openDevicePath(configured, *settings);
    const std::optional<NetworkAddress> address = NetworkAddress::parse(configured, &problem);
    if (!address)
        return CommErrorCatalog::connectFailed(m_commPort, configured, problem);
    connectToServer(*address, *settings);
    return std::nullopt;
}

void MSComm::usePort(std::unique_ptr<OpenPort> port)
{
    if (m_port) {
        m_port->disconnect(this);
        m_port.release()->deleteLater();
    }
    m_port = std::move(port);
    connect(m_port.get(), &OpenPort::readyRead, this, &MSComm::onReadyRead);
    connect(m_port.get(), &OpenPort::lost, this, [this] {
        if (PortOpen())
            handleConnectionLoss();
    });
}

void MSComm::connectToServer(const NetworkAddress &address, const LineSettings &settings)
{
    auto owned = std::make_unique<NetworkPort>(address, m_writer);
    NetworkPort *port = owned.get();
    usePort(std::move(owned));
    connect(port, &NetworkPort::ready, this, [this, port] { onServerReady(port); });
    connect(port, &NetworkPort::failed, this, [this](const CommError &error) {
        m_connecting = false;
        emit openFailed(error);
    });
    m_connecting = true;
    m_returnPath = address.toString();
    port->connectToServer(m_commPort, settings);
}

void MSComm::onServerReady(NetworkPort *port)
{
    m_connecting = false;
    m_openDevice = port->address().toString();
    m_openPath = m_openDevice;
    m_lines.attach(port->makeLineDriver(), m_commPort);
    // The server has the line settings already.
    m_lines.applyFlowAndHangUp();
    m_lines.startWatching();
    emit opened();
}

CommResult MSComm::openDevicePath(const QString &configured, const LineSettings &settings)
{
    // QSerialPort names its lock file after the path it is given; resolving
    // links first makes every name of one device share one lock.
    const QString canonical = QFileInfo(configured).canonicalFilePath();
    const QString device = canonical.isEmpty() ? configured : canonical;

    auto owned = std::make_unique<DevicePort>();
    DevicePort *port = owned.get();
    usePort(std::move(owned));
    if (CommResult failed = port->open(m_commPort, configured, device, m_lines))
        return failed;
    m_openDevice = device;
    m_openPath = configured;
    m_returnPath = returnPathFor(configured, device);
    m_writer.attach(port->descriptor());
    if (CommResult refused = applySettings(settings)) {
        closePort();
        return refused;
    }
    startOverrunWatch();
    m_lines.startWatching();
    return std::nullopt;
}

QString MSComm::returnPathFor(const QString &configured, const QString &device)
{
    // Taken now, while the device is there: udev removes its by-id link as
    // soon as it goes. A link the user named follows the device by itself.
    if (QFileInfo(configured).isSymLink())
        return configured;
    const QString byId = DeviceScan::byIdPathOf(device);
    return byId.isEmpty() ? configured : byId;
}

void MSComm::closePort()
{
    m_lines.detach();
    m_connecting = false;
    const bool pending = dropPendingOutput();
    stopOverrunWatch();
    if (m_port)
        m_port->close(pending, keepsDtr());
    m_openDevice.clear();
    m_openPath.clear();
}

bool MSComm::keepsDtr() const
{
    return m_lines.choices(m_commPort).keepDtrAfterClose;
}

CommResult MSComm::applySettings(const LineSettings &settings)
{
    if (!settings.isSendable())
        return CommErrorCatalog::stopBitsNeedFiveDataBits(settings);
    if (CommResult refused = m_port->applySettings(m_commPort, settings))
        return refused;
    // Also on a pseudo-terminal, whose line discipline honours XON/XOFF. A
    // flow control the driver refuses leaves the port usable without it.
    m_lines.applyFlowAndHangUp();
    return std::nullopt;
}

void MSComm::scheduleReceiveEvent()
{
    if (m_receiveEventScheduled)
        return;
    m_receiveEventScheduled = true;
    QMetaObject::invokeMethod(this, &MSComm::onScheduledReceiveEvent, Qt::QueuedConnection);
}

void MSComm::onScheduledReceiveEvent()
{
    m_receiveEventScheduled = false;
    if (waitingBytes() == 0)
        return;
    onReadyRead();
}

qint64 MSComm::waitingBytes() const
{
    return m_salvaged.size() + (m_port ? m_port->bytesAvailable() : 0);
}

qint64 MSComm::bytesArrived() const
{
    // Taking bytes moves them from waiting to taken; only arrivals raise the sum.
    return m_bytesTaken + waitingBytes();
}

bool MSComm::dropPendingOutput()
{
    // What has not left by now is given up, and so is the driver's share of
    // it (see DevicePort::close). With nothing of ours pending the tail of
    // the last write may still leave.
    const bool pending = m_writer.pending() > 0;
    m_writer.detach();
    m_writer.clear();
    return pending;
}

std::optional<SerialErrorCounts> MSComm::driverErrorCounts() const
{
    return PortOpen() ? m_port->errorCounts() : std::nullopt;
}

void MSComm::startOverrunWatch()
{
    m_overrunWatch.start(driverErrorCounts());
    if (m_overrunWatch.isWatching())
        m_overrunPoll.start();
}

void MSComm::stopOverrunWatch()
{
    m_overrunWatch.stop();
    m_overrunPoll.stop();
}

bool MSComm::overrunSinceLastLook()
{
    if (!m_overrunWatch.isWatching())
        return false;
    const bool grew = m_overrunWatch.update(driverErrorCounts());
    if (!m_overrunWatch.isWatching())
        m_overrunPoll.stop();
    return grew;
}

void MSComm::onOverrunPoll()
{
    // While a handler runs (perhaps the overrun box itself) the counts are
    // left alone, so that a loss meanwhile is told once it has returned.
    if (m_dispatchDepth > 0)
        return;
    if (overrunSinceLastLook())
        raiseCommEvent(comEventOverrun);
}
