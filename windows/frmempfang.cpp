#include "frmempfang.h"

#include "traffic/trafficexport.h"
#include "traffic/trafficlog.h"
#include "trafficwindowparts.h"
#include "windows/trafficview/trafficview.h"
#include "windowsearch.h"

#include <QPushButton>

FrmEmpfang::FrmEmpfang(Module1 &state, QWidget *parent)
    : ChildWindow(state, WindowIndex::kEmpfang, parent)
    , m_log(new TrafficLog(this))
{
    setWindowTitle(tr("Empfangene Daten"));
    const TrafficWindowParts parts
        = TrafficWindowParts::build(this, tr("Empfangsfenster &löschen"), QColor(236, 242, 239));
    Text1 = parts.text;
    Label1 = parts.hexCaption;
    Text2 = parts.hex;
    Command2 = parts.clear;
    Command1 = parts.close;
    Text1->setLog(m_log, TrafficView::Rendering::Characters);
    Text1->setZeroByte(TrafficView::ZeroByte::FullStop);
    Text2->setLog(m_log, TrafficView::Rendering::Hex);
    // Over any byte of either view: when it arrived, and which byte it is.
    const auto arrival = [this](qint64 offset) {
        //: Tool tip over a received byte: %1 is the time of day it arrived,
        //: %2 its number counted from 1.
        return tr("Empfangen um %1 (Byte %2)")
            .arg(TrafficExport::timeOfDay(m_log->arrivalMsecs(offset)))
            .arg(offset + 1);
    };
    Text1->setByteToolTip(arrival);
    Text2->setByteToolTip(arrival);
    m_search = new WindowSearch(this, Text1, Text2);
    connect(Command2, &QPushButton::clicked, this, &FrmEmpfang::clearViews);
    connect(Command1, &QPushButton::clicked, this, &ChildWindow::hideWindow);
}

void FrmEmpfang::appendReceived(QByteArrayView bytes)
{
    // The hex view shows the same bytes beside the text: it follows the end
    // with it, unless the user has scrolled it elsewhere to look at something.
    const bool hexFollows = Text2->showsEnd();
    const bool textFollows = Text1->showsEnd();
    m_log->append(bytes);
    // A match on show keeps its selection; the view still follows the end
    // when the user has scrolled back there.
    if (!m_search->showsHit())
        Text1->moveCaretToEnd();
    else if (textFollows)
        Text1->scrollToEnd();
    if (hexFollows)
        Text2->scrollToEnd();
}

void FrmEmpfang::clearViews()
{
    m_log->clear();
}
