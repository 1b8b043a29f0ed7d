#include "rawtcplinedriver.h"

QString RawTcpLineDriver::reason()
{
    return QStringLiteral("eine rohe TCP-Verbindung trägt nur die Daten, keine Leitungen");
}
