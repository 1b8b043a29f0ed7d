#include "tavelprogram.h"

#include "app/mditavel.h"

TavelProgram::TavelProgram(const QString &com1Path)
{
    qputenv("TAVEL_COM1", com1Path.toLocal8Bit());
    qputenv("TAVEL_COM2", m_com2.slavePath().toLocal8Bit());
    m_window = std::make_unique<MDITavel>(m_folder.filePath(QStringLiteral("tavel.cfg")));
    m_started = m_window->MDIForm_Load() == MDITavel::StartOutcome::Running;
}

TavelProgram::~TavelProgram()
{
    m_window->close();
    m_window.reset();
}
