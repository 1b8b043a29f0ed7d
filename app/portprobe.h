#pragma once

#include "serial/linechoices.h"

struct Module1;
class MSComm;

// The start-up test of the two ports: each is opened and closed again, no byte
// is sent and the line settings stay as they are. PortMask gets 1 for a usable
// COM1 and 2 for a usable COM2. ProbeCom1 reports an unexpected failure of
// COM1 and goes on to COM2 all the same (a COM1 without a device must not
// hide a working COM2); a COM1 held by another program is passed over
// silently. ProbeCom2 reports nothing. A port that stands for a serial
// server counts as usable without connecting.
void ProbeCom1(MSComm &comm, Module1 &state);
void ProbeCom2(MSComm &comm, Module1 &state);
// The same test for one port while the program runs, on a port object of
// its own so that an open connection is left alone; reports nothing. The
// port's line choices apply, so that a board that resets on DTR is spared.
bool PortIsUsable(int port, const LineChoices &choices);
