#include "app/mditavel.h"
#include "filehelpers.h"
#include "ptydevice.h"
#include "recordingdialogs.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <memory>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

// The settings cannot be written at shutdown: the disk is full, or the folder
// is read-only. The user is told which file and why, and the old file stays
// whole.
//
// Root writes into any folder whatever its permissions, so as root a real
// read-only file system is used: a tmpfs mounted in a mount namespace of this
// process's own, which nobody else sees and which goes when the test ends.
// Without the right to mount, the folder's permissions make it read-only. A
// full disk is a tmpfs filled to the last byte where mounting is possible, and
// always also the file size limit, which makes writes fail even for root.

namespace {

bool g_canMount = false;

// What the old run left: a sound file whose windows stand elsewhere than
// where this run will leave them, or a damaged one (field 11 no number).
QByteArray oldFile(bool damaged)
{
    QByteArray bytes;
    for (int i = 0; i < 5; ++i)
        bytes += QByteArray::number(450 + 15 * i) + ",600\r\n";
    bytes += damaged ? "x6\r\n" : "6\r\n";
    bytes += "0\r\n0\r\n3\r\n0\r\n";
    for (int i = 0; i < 10; ++i)
        bytes += "\"\",\"\"\r\n";
    for (int i = 1; i <= 10; ++i)
        bytes += "\"Senden " + QByteArray::number(i) + "\"\r\n";
    return bytes;
}

// Fills the file system holding `folder` until a write fails for lack of space.
bool fillUp(const QString &folder)
{
    QFile filler(folder + QStringLiteral("/filler"));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const QByteArray block(4096, 'f');
    while (filler.write(block) == block.size()) { }
    // Down to single bytes, so that not even a short file fits any more.
    while (filler.write("f", 1) == 1) { }
    return true;
}

} // namespace

class TestShutdownSave : public QObject
{
    Q_OBJECT

public:
    // Before the application starts its threads: the mounts below stay in a
    // mount namespace of this process's own.
    static void initMain()
    {
        g_canMount = ::geteuid() == 0 && ::unshare(CLONE_NEWNS) == 0
            && ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
    }

private:
    QTemporaryDir m_top;
    QString m_folder;
    bool m_mounted = false;
    bool m_madeReadOnly = false;
    PtyDevice m_com1;
    PtyDevice m_com2;

    QString cfg() const { return m_folder + QStringLiteral("/tavel.cfg"); }

    // Runs the program from start to end with the old file in place; the
    // folder is spoilt after start-up, before the shutdown; returns the boxes.
    QList<RecordingDialogs::Box> runWith(const std::function<void()> &spoilFolder)
    {
        RecordingDialogs dialogs;
        qputenv("TAVEL_COM1", m_com1.slavePath().toLocal8Bit());
        qputenv("TAVEL_COM2", m_com2.slavePath().toLocal8Bit());
        auto window = std::make_unique<MDITavel>(cfg());
        window->MDIForm_Load();
        spoilFolder();
        window->close();
        window.reset();
        return dialogs.messages;
    }

    static void addKinds()
    {
        QTest::addColumn<bool>("damaged");
        QTest::newRow("sound old file") << false;
        QTest::newRow("damaged old file") << true;
    }

    void mountTmpfs(const char *options)
    {
        QVERIFY2(::mount("tavel-test", QFile::encodeName(m_folder).constData(), "tmpfs", 0, options)
                == 0,
            qPrintable(reasonFor(errno)));
        m_mounted = true;
    }

    // The old file, whole, and beside it only the backup of a damaged one.
    void checkOldFileWhole(bool damaged)
    {
        QCOMPARE(contentsOf(cfg()), oldFile(damaged));
        QStringList expected { QStringLiteral("tavel.cfg") };
        if (QFileInfo::exists(cfg() + QStringLiteral(".bak"))) {
            QVERIFY(damaged);
            QCOMPARE(contentsOf(cfg() + QStringLiteral(".bak")), oldFile(damaged));
            expected.prepend(QStringLiteral("tavel.cfg.bak"));
        }
        QStringList present = QDir(m_folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        present.removeAll(QStringLiteral("filler"));
        std::sort(expected.begin(), expected.end());
        QCOMPARE(present, expected);
    }

    // The shutdown's box: the last one, naming the file and the reason.
    void checkShutdownBox(const QList<RecordingDialogs::Box> &boxes, bool damaged, int error)
    {
        // A damaged file was reported at start; the save's box comes after it.
        QCOMPARE(boxes.size(), damaged ? 2 : 1);
        const RecordingDialogs::Box &box = boxes.constLast();
        QCOMPARE(box.title, QStringLiteral("Tavel"));
        QVERIFY2(box.text.contains(QStringLiteral("„") + QDir::toNativeSeparators(cfg())),
            qPrintable(box.text));
        QVERIFY2(box.text.contains(reasonFor(error)), qPrintable(box.text));
        QVERIFY2(box.text.contains(QStringLiteral("nicht gespeichert")), qPrintable(box.text));
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_top.isValid());
        QVERIFY(m_com1.isOpen() && m_com2.isOpen());
        qInfo("read-only folder and full disk: %s",
            g_canMount ? "tmpfs mounted in a private mount namespace"
                       : "folder permissions; file size limit only");
    }

    void init()
    {
        m_folder = m_top.filePath(QString::fromLatin1(QTest::currentTestFunction())
            + QLatin1Char('-') + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'));
        QVERIFY(QDir().mkpath(m_folder));
    }

    void cleanup()
    {
        if (m_madeReadOnly)
            QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        m_madeReadOnly = false;
        if (m_mounted)
            ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH);
        m_mounted = false;
    }

    void fileSizeLimitAtShutdownNamesFileAndReasonAndKeepsOldFile_data() { addKinds(); }
    void fileSizeLimitAtShutdownNamesFileAndReasonAndKeepsOldFile()
    {
        QFETCH(bool, damaged);
        QVERIFY(writeFile(cfg(), oldFile(damaged)));
        std::unique_ptr<FileSizeLimit> limit;
        const QList<RecordingDialogs::Box> boxes
            = runWith([&limit] { limit = std::make_unique<FileSizeLimit>(16); });
        limit.reset();
        checkShutdownBox(boxes, damaged, EFBIG);
        checkOldFileWhole(damaged);
    }

    void fullDiskAtShutdownNamesFileAndReasonAndKeepsOldFile_data() { addKinds(); }
    void fullDiskAtShutdownNamesFileAndReasonAndKeepsOldFile()
    {
        QFETCH(bool, damaged);
        if (!g_canMount)
            QSKIP("a full file system needs a tmpfs mounted, which needs root");
        mountTmpfs("size=256k,mode=0700");
        QVERIFY(writeFile(cfg(), oldFile(damaged)));
        const QList<RecordingDialogs::Box> boxes = runWith([this] { QVERIFY(fillUp(m_folder)); });
        checkShutdownBox(boxes, damaged, ENOSPC);
        checkOldFileWhole(damaged);
    }

    void readOnlyFolderAtShutdownNamesFileAndReasonAndKeepsOldFile_data() { addKinds(); }
    void readOnlyFolderAtShutdownNamesFileAndReasonAndKeepsOldFile()
    {
        QFETCH(bool, damaged);
        int error = EACCES;
        std::function<void()> makeReadOnly;
        if (g_canMount) {
            mountTmpfs("size=256k,mode=0700");
            error = EROFS;
            makeReadOnly = [this] {
                QVERIFY(::mount("tavel-test", QFile::encodeName(m_folder).constData(), "tmpfs",
                            MS_REMOUNT | MS_RDONLY, nullptr)
                    == 0);
            };
        } else {
            if (::geteuid() == 0)
                QSKIP("root without the right to mount: no folder is read-only for it");
            makeReadOnly = [this] {
                QVERIFY(QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::ExeOwner));
                m_madeReadOnly = true;
            };
        }
        QVERIFY(writeFile(cfg(), oldFile(damaged)));
        const QList<RecordingDialogs::Box> boxes = runWith(makeReadOnly);
        checkShutdownBox(boxes, damaged, error);
        checkOldFileWhole(damaged);
    }
};

QTEST_MAIN(TestShutdownSave)
#include "tst_shutdownsave.moc"
