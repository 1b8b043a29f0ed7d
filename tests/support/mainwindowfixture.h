#pragma once

#include "app/mditavel.h"
#include "ptydevice.h"
#include "recordingdialogs.h"

#include <QTemporaryDir>
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

    explicit MainWindowFixture(std::unique_ptr<MSComm> comm = {})
    {
        qputenv("TAVEL_COM1", com1.slavePath().toLocal8Bit());
        qputenv("TAVEL_COM2", com2.slavePath().toLocal8Bit());
        window = std::make_unique<MDITavel>(settingsPath(), std::move(comm));
        start = window->MDIForm_Load();
    }

    ~MainWindowFixture()
    {
        window->close();
        window.reset();
    }

    QString settingsPath() const { return folder.filePath(QStringLiteral("tavel.cfg")); }

    MDITavel::StartOutcome start = MDITavel::StartOutcome::EndProgram;
};
