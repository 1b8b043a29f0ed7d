#pragma once

#include "serial/linessettings.h"
#include "serial/linessettingsstore.h"

class PortLines;

// The lines window's file beside tavel.cfg: read at start-up and handed to
// the port before the first port opens, written whenever the user changes a
// choice, the BREAK's length or the window's place.
class LinesCommand
{
public:
    LinesCommand(const QString &settingsPath, PortLines &lines);

    // At start-up, before the probe opens a port: a damaged file is reported
    // and the defaults hold.
    void load();
    // From now on, a flow control that the driver refuses is said in a box
    // (not during the start-up probe, which only tries the ports).
    void reportRefusals();
    // What the lines window changes.
    LinesSettings &settings() { return m_settings; }
    // Writes the file if anything changed since it was read or written. A
    // failed write is reported once a run, not at every click.
    void save();

private:
    LinesSettingsStore m_store;
    PortLines &m_lines;
    LinesSettings m_settings;
    // The settings as read (the defaults, when the file was damaged) or last
    // written: an unchanged window leaves the file alone, a damaged one too.
    LinesSettings m_written;
    bool m_saveFailureReported = false;
};
