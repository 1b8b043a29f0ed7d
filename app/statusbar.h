#pragma once

#include "base/statuspanels.h"

#include <QStatusBar>

class QLabel;

// The main window's status bar with its two sunken text panels.
class StatusBar : public QStatusBar, public StatusPanels
{
    Q_OBJECT

public:
    explicit StatusBar(QWidget *parent = nullptr);

    void setPanelText(int panel, const QString &text) override;
    QString panelText(int panel) const override;
    void setPanelToolTip(int panel, const QString &toolTip) override;
    QString panelToolTip(int panel) const override;
    QLabel *panel(int number) const;

private:
    QLabel *m_settingsPanel = nullptr;
    QLabel *m_connectionPanel = nullptr;
};
