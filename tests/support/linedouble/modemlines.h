#pragma once

#include "linedoublestate.h"

// What a UART driver answers to the modem-line and break ioctls, played on
// the shared state. Only the program's own lines, DTR and RTS, can be changed
// here; the far end's are the test's.
namespace ModemLines {

// TIOCMGET, TIOCMSET, TIOCMBIS, TIOCMBIC, TIOCMIWAIT, TIOCGICOUNT, TIOCSBRK and
// TIOCCBRK; every other request goes to the real driver.
bool isModemRequest(unsigned long request);
// Answers one of them as ioctl() does: 0, or -1 with errno set.
int answer(LineDoubleState &state, unsigned long request, void *arg);

// Done by the kernel itself when a serial port is opened with a baud rate
// other than B0: DTR and RTS go up.
void portOpened(LineDoubleState &state, bool raise);
// The hang-up of a port closed with HUPCL: DTR and RTS go down.
void portHungUp(LineDoubleState &state);

} // namespace ModemLines
