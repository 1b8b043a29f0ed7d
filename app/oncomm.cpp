#include "automation/routines.h"
#include "base/dialogs.h"
#include "capturecommand.h"
#include "mditavel.h"
#include "routinescommand.h"
#include "serial/mscomm.h"
#include "settings/frmeinstellungen.h"
#include "statusbar.h"
#include "windows/frmempfang.h"

void MDITavel::OnComm()
{
    switch (m_comm->CommEvent()) {
    case MSComm::comEvReceive:
    case MSComm::comEventRxOver: {
        // One read takes everything waiting; its cost is in proportion to what
        // arrived, never to what the window already holds.
        const QByteArray bytes = m_comm->Input();
        if (!bytes.isEmpty()) {
            m_empfang->get().appendReceived(bytes);
            m_capture->received(bytes);
            // After the window has the bytes, so that an answer's button that
            // empties the window empties them too, as a click would.
            m_routinesCommand->routines().received(bytes);
        }
        break;
    }
    case MSComm::comEventOverrun:
        // Nothing is read here: what is still waiting comes with the next event.
        //: The port's input buffer overflowed: received bytes were lost
        Dialogs::current().message(tr("Datenverlust"), kApplicationTitle);
        break;
    default:
        break;
    }
}
