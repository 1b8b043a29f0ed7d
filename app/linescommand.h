#pragma once

#include "ownsettingsfile.h"
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
    LinesSettings &settings() { return m_file.settings(); }
    // Writes the file if anything changed since it was read or written.
    void save() { m_file.save(); }

private:
    OwnSettingsFile<LinesSettingsStore, LinesSettings> m_file;
    PortLines &m_lines;
};
