#include "mditavel.h"

void MDITavel::SendFile()
{
    // Filled in with file sending.
}
