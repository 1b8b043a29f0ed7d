#include "portprobe.h"

#include "base/errorreport.h"
#include "base/module1.h"
#include "serial/mscomm.h"
#include "serial/networkaddress.h"

namespace {

CommResult openAndClose(MSComm &comm, int port)
{
    if (CommResult error = comm.setCommPort(port))
        return error;
    // A server that is down must not hold up the start; it shows when the
    // user connects.
    if (NetworkAddress::looksLikeOne(comm.devicePath()))
        return std::nullopt;
    if (CommResult error = comm.setPortOpen(true))
        return error;
    return comm.setPortOpen(false);
}

} // namespace

void ProbeCom1(MSComm &comm, Module1 &state)
{
    if (CommResult error = openAndClose(comm, 1)) {
        if (error->number != CommErrorNumber::kPortInUse)
            ShowErrorReport(*error);
        ProbeCom2(comm, state);
        return;
    }
    state.PortMask = 1;
    ProbeCom2(comm, state);
}

void ProbeCom2(MSComm &comm, Module1 &state)
{
    if (openAndClose(comm, 2))
        return;
    state.PortMask = std::int16_t(state.PortMask + 2);
}

bool PortIsUsable(int port, const LineChoices &choices)
{
    MSComm comm;
    comm.lines().setChoices(port, choices);
    return !openAndClose(comm, port);
}
