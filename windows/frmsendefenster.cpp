#include "frmsendefenster.h"

#include "text/cp1252.h"
#include "traffic/trafficlog.h"
#include "trafficwindowparts.h"
#include "windows/trafficview/trafficview.h"
#include "windowsearch.h"

#include <QPushButton>

FrmSendefenster::FrmSendefenster(Module1 &state, QWidget *parent)
    : ChildWindow(state, WindowIndex::kSendefenster, parent)
    , m_textLog(new TrafficLog(this))
    , m_hexLog(new TrafficLog(this))
    , m_handedOver(new TrafficLog(this))
{
    setWindowTitle(tr("Gesendete Daten"));
    const TrafficWindowParts parts
        = TrafficWindowParts::build(this, tr("Sendefenster &löschen"), QColor(237, 224, 218));
    Text1 = parts.text;
    Label2 = parts.hexCaption;
    Text2 = parts.hex;
    Command2 = parts.clear;
    Command1 = parts.close;
    // The hex echo is the input window's hex entry as it stood, a text like
    // any other: both views draw their own log as characters.
    Text1->setLog(m_textLog, TrafficView::Rendering::Characters);
    Text2->setLog(m_hexLog, TrafficView::Rendering::Characters);
    m_search = new WindowSearch(this, Text1, nullptr);
    connect(Command2, &QPushButton::clicked, this, &FrmSendefenster::clearViews);
    connect(Command1, &QPushButton::clicked, this, &ChildWindow::hideWindow);
}

void FrmSendefenster::appendText(const QString &text)
{
    m_textLog->append(Cp1252::fromUnicode(text));
}

void FrmSendefenster::appendHex(const QString &hex)
{
    m_hexLog->append(Cp1252::fromUnicode(hex));
}

void FrmSendefenster::recordHandedOver(QByteArrayView bytes)
{
    m_handedOver->append(bytes);
}

void FrmSendefenster::clearViews()
{
    m_textLog->clear();
    m_hexLog->clear();
    m_handedOver->clear();
}
