#include "statusbar.h"

#include <QLabel>

StatusBar::StatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(true);
    m_settingsPanel = new QLabel(StatusTexts::initialSettingsPanelText(), this);
    m_connectionPanel = new QLabel(StatusTexts::noConnectionPanelText(), this);
    // A panel's text is what it has to say: assistive technology reads it as
    // the panel's name (and hears of each change); the description says which
    // panel it is.
    m_settingsPanel->setAccessibleDescription(tr("Verbindungseinstellungen"));
    m_connectionPanel->setAccessibleDescription(tr("Verbindungsstatus"));
    for (QLabel *label : { m_settingsPanel, m_connectionPanel }) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMargin(2);
    }
    // The settings text is the long one; give it the room.
    addWidget(m_settingsPanel, 3);
    addWidget(m_connectionPanel, 2);
    setAccessibleName(tr("Statusleiste"));
}

QLabel *StatusBar::panel(int number) const
{
    return number == 1 ? m_settingsPanel : m_connectionPanel;
}

void StatusBar::setPanelText(int panel, const QString &text)
{
    if (panel == 1 || panel == 2)
        this->panel(panel)->setText(text);
}

QString StatusBar::panelText(int panel) const
{
    return panel == 1 || panel == 2 ? this->panel(panel)->text() : QString();
}

void StatusBar::setPanelToolTip(int panel, const QString &toolTip)
{
    if (panel == 1 || panel == 2)
        this->panel(panel)->setToolTip(toolTip);
}

QString StatusBar::panelToolTip(int panel) const
{
    return panel == 1 || panel == 2 ? this->panel(panel)->toolTip() : QString();
}
