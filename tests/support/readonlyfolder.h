#pragma once

#include <QFile>
#include <QString>
#include <cerrno>
#include <cstring>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

// Makes a folder read-only for this process and the programs it starts, and
// writable again when it goes out of scope. Root writes into any folder
// whatever its permissions, so as root the folder is bound read-only onto
// itself in a mount namespace of the test's own, which nobody else sees:
// call enterPrivateMountNamespace() from the test's initMain(), before Qt
// starts any thread. Without root, the folder's permissions do it.
class ReadOnlyFolder
{
public:
    static bool enterPrivateMountNamespace()
    {
        s_canMount = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
            && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
        return s_canMount;
    }
    // How the folder is made read-only, for the test's log.
    static const char *method()
    {
        return s_canMount ? "read-only bind mount in a private mount namespace"
                          : "folder permissions";
    }

    explicit ReadOnlyFolder(const QString &folder)
        : m_path(QFile::encodeName(folder))
    {
        const char *path = m_path.constData();
        if (s_canMount)
            m_mounted = ::mount(path, path, nullptr, MS_BIND, nullptr) == 0;
        if (m_mounted)
            m_readOnly
                = ::mount(nullptr, path, nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        else if (!s_canMount && ::geteuid() != 0)
            m_readOnly = ::chmod(path, 0555) == 0;
        if (!m_readOnly)
            m_error = s_canMount || ::geteuid() != 0
                ? QString::fromLocal8Bit(std::strerror(errno))
                : QStringLiteral("root without the right to mount");
    }
    ~ReadOnlyFolder()
    {
        if (m_mounted)
            ::umount2(m_path.constData(), MNT_DETACH);
        else if (m_readOnly)
            ::chmod(m_path.constData(), 0755);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    bool isReadOnly() const { return m_readOnly; }
    // Why the folder could not be made read-only, as a test's skip says it.
    QString errorString() const
    {
        return QStringLiteral("the folder cannot be made read-only: ") + m_error;
    }

private:
    static inline bool s_canMount = false;

    QByteArray m_path;
    bool m_mounted = false;
    bool m_readOnly = false;
    QString m_error;
};
