#pragma once

#include <QString>

// Minimises a top-level window as a window manager does on the user's click
// (ICCCM 4.1.4): its WM_STATE becomes IconicState and the window is unmapped.
// The benchmarks' X server runs without a window manager, which would
// otherwise ignore a program's or xdotool's request to minimise. Qt takes
// both steps as the real thing: the window is no longer exposed and its
// state is Qt::WindowMinimized.
//
// display: ":N"; window: the X window id. Returns an empty string or what failed.
QString iconifyWindow(const QString &display, quint32 window);
