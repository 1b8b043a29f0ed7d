#pragma once

#include "serial/connectionchoices.h"

#include <QString>

// The main window's status bar as the windows see it: two text panels,
// numbered from 1 (1: line settings, 2: connection).
class StatusPanels
{
public:
    virtual ~StatusPanels() = default;
    virtual void setPanelText(int panel, const QString &text) = 0;
    virtual QString panelText(int panel) const = 0;

    // What the panels say once no connection is open.
    void showNoConnection()
    {
        setPanelText(1, ConnectionChoices::closedSettingsPanelText());
        setPanelText(2, ConnectionChoices::noConnectionPanelText());
    }
};
