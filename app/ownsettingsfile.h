#pragma once

#include "base/dialogs.h"
#include "base/module1.h"

#include <QString>

// A window's small file of its own beside tavel.cfg, as its command keeps it:
// read at start-up (a damaged file is reported, and the defaults hold), and
// written whenever the settings changed since they were read or written. An
// unchanged window leaves the file alone, a damaged one too; a failed write
// is reported once a run, not at every change.
template<class Store, class Settings>
class OwnSettingsFile
{
public:
    explicit OwnSettingsFile(const QString &settingsPath)
        : m_store(Store::pathBeside(settingsPath))
    {
    }

    void load()
    {
        const typename Store::LoadResult loaded = m_store.load();
        if (!loaded.problem.isEmpty())
            Dialogs::current().message(loaded.problem, kApplicationTitle);
        m_settings = m_written = loaded.settings;
    }

    Settings &settings() { return m_settings; }

    void save()
    {
        if (m_settings == m_written)
            return;
        const QString problem = m_store.save(m_settings);
        if (problem.isEmpty()) {
            m_written = m_settings;
            return;
        }
        if (!m_saveFailureReported) {
            m_saveFailureReported = true;
            Dialogs::current().message(problem, kApplicationTitle);
        }
    }

private:
    Store m_store;
    Settings m_settings;
    Settings m_written;
    bool m_saveFailureReported = false;
};
