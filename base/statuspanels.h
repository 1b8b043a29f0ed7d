#pragma once

#include "serial/statustexts.h"

#include <QString>

// The main window's status bar as the windows see it: two text panels,
// numbered from 1 (1: line settings, 2: connection).
class StatusPanels
{
public:
    virtual ~StatusPanels() = default;
    virtual void setPanelText(int panel, const QString &text) = 0;
    virtual QString panelText(int panel) const = 0;
    virtual void setPanelToolTip(int panel, const QString &toolTip) = 0;
    virtual QString panelToolTip(int panel) const = 0;

    // What the panels say once no connection is open.
    void showNoConnection()
    {
        setPanelText(1, StatusTexts::closedSettingsPanelText());
        setPanelText(2, StatusTexts::noConnectionPanelText());
        setPanelToolTip(2, {});
    }
    // Panel 2 while COMn is open on the given device.
    void showConnection(int commPort, const QString &openPath, const QString &device)
    {
        setPanelText(2, StatusTexts::connectionPanelText(commPort));
        setPanelToolTip(2, StatusTexts::connectionPanelToolTip(openPath, device));
    }
    // Panel 2 while a serial server for COMn is being connected.
    void showConnecting(int commPort, const QString &address)
    {
        setPanelText(2, StatusTexts::connectingPanelText(commPort));
        setPanelToolTip(2, StatusTexts::serverToolTip(address));
    }
    // Panel 2 while COMn waits for its device; panel 1 keeps the settings.
    void showWaitingForDevice(int commPort, const QString &awaitedPath)
    {
        setPanelText(2, StatusTexts::waitingPanelText(commPort));
        setPanelToolTip(2, StatusTexts::waitingPanelToolTip(awaitedPath));
    }
};
