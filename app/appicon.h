#pragma once

#include <QIcon>

// The program's own icon, drawn rather than loaded: a nine-pin serial
// connector on a blue tile.
QIcon tavelIcon();
