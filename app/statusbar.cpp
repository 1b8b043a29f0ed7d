#include "statusbar.h"

#include <QLabel>

StatusBar::StatusBar(QWidget *parent)
    : QStatusBar(parent)
{
    setSizeGripEnabled(true);
    m_settingsPanel = new QLabel(QStringLiteral("Einstellungen "), this);
    m_connectionPanel = new QLabel(QStringLiteral("Keine serielle Verbindung"), this);
    m_settingsPanel->setAccessibleName(QStringLiteral("Verbindungseinstellungen"));
    m_connectionPanel->setAccessibleName(QStringLiteral("Verbindungsstatus"));
    for (QLabel *label : { m_settingsPanel, m_connectionPanel }) {
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setMargin(2);
    }
    // The settings text is the long one; give it the room.
    addWidget(m_settingsPanel, 3);
    addWidget(m_connectionPanel, 2);
    setAccessibleName(QStringLiteral("Statusleiste"));
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
