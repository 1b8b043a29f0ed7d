#pragma once

#include "automation/frmautomat.h"
#include "base/formslot.h"
#include "base/module1.h"
#include "ptydevice.h"
#include "recordingdialogs.h"
#include "serial/mscomm.h"
#include "windows/frmeingabe.h"
#include "windows/frmempfang.h"
#include "windows/frmsendefenster.h"
#include "windows/transmitter.h"

#include <QFile>
#include <QMdiArea>
#include <QTest>

// The input and automation windows in a workspace of their own, sending
// through the real port object to a pty device that the test plays. The
// sent- and received-data windows they reach load on first use, as in the
// program, and every box is recorded instead of shown.
struct TransmitFixture
{
    PtyDevice device;
    RecordingDialogs dialogs;
    Module1 state;
    MSComm comm;
    QMdiArea area;
    FormSlot<FrmSendefenster> sent { area, [this] { return new FrmSendefenster(state); } };
    FormSlot<FrmEmpfang> received { area, [this] { return new FrmEmpfang(state); } };
    Transmitter transmitter { comm, [this]() -> FrmSendefenster & { return sent.get(); } };
    FormSlot<FrmEingabe> eingabe { area, [this] { return new FrmEingabe(state, transmitter); } };
    FormSlot<frmAutomat> automat { area, [this] {
                                      return new frmAutomat(state, transmitter,
                                          [this] { received.get().clearViews(); });
                                  } };

    TransmitFixture()
    {
        static_cast<SavedState &>(state) = SavedState::defaults();
        area.resize(1000, 700);
        area.show();
        (void)QTest::qWaitForWindowExposed(&area);
    }

    // COM1 on the device, opened as the settings window opens it.
    bool openPort()
    {
        qputenv("TAVEL_COM1", QFile::encodeName(device.slavePath()));
        return !comm.setCommPort(1) && !comm.setSettings(QStringLiteral("9600,N,8,1"))
            && !comm.setPortOpen(true);
    }

    // What reached the device, and that nothing more follows.
    QByteArray arrived(qint64 expected)
    {
        const QByteArray bytes = device.read(expected, 3000);
        return bytes + device.readFor(100);
    }
};
