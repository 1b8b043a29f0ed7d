#include "rawtcplinedriver.h"

QString RawTcpLineDriver::reason()
{
    //: Why the modem control lines (Leitungen) are unknown on a raw TCP connection
    return tr("eine rohe TCP-Verbindung trägt nur die Daten, keine Leitungen");
}
