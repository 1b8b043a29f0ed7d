#pragma once

#include "app/mditavel.h"
#include "app/statusbar.h"
#include "ptydevice.h"
#include "recordingdialogs.h"
#include "settings/frmeinstellungen.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

// The real main window started as the program starts it, with COM1 and COM2
// on pseudo-terminals that the test plays as devices, and every message box
// recorded instead of shown.
struct MainWindowFixture
{
    QTemporaryDir folder;
    PtyDevice com1;
    PtyDevice com2;
    RecordingDialogs dialogs;
    std::unique_ptr<MDITavel> window;

    // A test that first arranges files or the environment passes
    // startNow = false and calls begin() itself.
    explicit MainWindowFixture(std::unique_ptr<MSComm> comm = {}, bool startNow = true)
    {
        qputenv("TAVEL_COM1", com1.slavePath().toLocal8Bit());
        qputenv("TAVEL_COM2", com2.slavePath().toLocal8Bit());
        window = std::make_unique<MDITavel>(settingsPath(), std::move(comm));
        if (startNow)
            begin();
    }

    ~MainWindowFixture()
    {
        if (begun)
            window->close();
        window.reset();
    }

    MDITavel::StartOutcome begin()
    {
        begun = true;
        return start = window->MDIForm_Load();
    }

    QString settingsPath() const { return folder.filePath(QStringLiteral("tavel.cfg")); }
    MSComm &comm() const { return window->MSComm1(); }
    FrmEinstellungen *settings() const { return window->einstellungen().loaded(); }
    QString panel(int n) const { return window->StatusBar1().panelText(n); }
    QAction *action(const char *name) const
    {
        return window->findChild<QAction *>(QLatin1String(name));
    }
    // "Verbindung herstellen" in the settings window, shown if need be.
    void connectPort() const { window->einstellungen().get().Command3->click(); }
    // The device sends; returns once the received-data window shows it.
    bool receive(const QByteArray &bytes)
    {
        const qint64 before = window->empfang().get().log().size();
        return com1.write(bytes)
            && QTest::qWaitFor(
                [&] { return window->empfang().get().log().size() == before + bytes.size(); },
                10000);
    }

    MDITavel::StartOutcome start = MDITavel::StartOutcome::EndProgram;
    bool begun = false;
};
