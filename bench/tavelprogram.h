#pragma once

#include "ptydevice.h"
#include "recordingdialogs.h"

#include <QTemporaryDir>
#include <memory>

class MDITavel;

// The main window as the program starts it, COM1 on the given device and
// COM2 on a quiet pty, its settings file in a folder of its own and its
// message boxes recorded instead of shown.
class TavelProgram
{
public:
    explicit TavelProgram(const QString &com1Path);
    ~TavelProgram();
    TavelProgram(const TavelProgram &) = delete;
    TavelProgram &operator=(const TavelProgram &) = delete;

    bool started() const { return m_started; }
    MDITavel &window() { return *m_window; }
    const RecordingDialogs &dialogs() const { return m_dialogs; }

private:
    QTemporaryDir m_folder;
    PtyDevice m_com2;
    RecordingDialogs m_dialogs;
    std::unique_ptr<MDITavel> m_window;
    bool m_started = false;
};
