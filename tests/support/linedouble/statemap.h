#pragma once

#include "linedoublestate.h"

// The state file named by TAVEL_LINE_DOUBLE, mapped on first use and kept
// mapped; nullptr while the variable is unset or the file is not a state file.
// A new path is mapped anew; the earlier mapping stays, as another thread may
// still be waiting on it.
LineDoubleState *mappedLineDoubleState();

// Whether fd is the slave end of a Unix 98 pseudo-terminal, the stand-in for
// a serial port.
bool isPtySlave(int fd);
