#include "comportmap.h"

#include <QtGlobal>

QString ComPortMap::devicePath(int port)
{
    if (!isValidPort(port))
        return {};
    // An empty variable counts as unset: "TAVEL_COM1= tavel" should not
    // leave COM1 pointing at nothing.
    const QString configured
        = qEnvironmentVariable(environmentVariable(port).toLatin1().constData());
    return configured.isEmpty() ? defaultDevicePath(port) : configured;
}

QString ComPortMap::defaultDevicePath(int port)
{
    if (!isValidPort(port))
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM%1").arg(port);
#else
    return QStringLiteral("/dev/ttyS%1").arg(port - 1);
#endif
}

QString ComPortMap::environmentVariable(int port)
{
    return QStringLiteral("TAVEL_COM%1").arg(port);
}
