#pragma once

#include <QString>

// The main window's status bar as the windows see it: two text panels,
// numbered from 1 (1: line settings, 2: connection).
class StatusPanels
{
public:
    virtual ~StatusPanels() = default;
    virtual void setPanelText(int panel, const QString &text) = 0;
    virtual QString panelText(int panel) const = 0;
};
