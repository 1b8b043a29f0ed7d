#include "app/mditavel.h"
#include "config/settingsstore.h"
#include "filehelpers.h"
#include "firstrunfile.h"
#include "ptydevice.h"
#include "readonlyfolder.h"
#include "recordingdialogs.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// Loading and saving tavel.cfg on real file systems. The settings cannot be
// written at shutdown: the file size limit (which makes writes fail even for
// root), a full disk (a tmpfs filled to the last byte, where mounting is
// possible) or a read-only folder. The user is told which file and why, and
// the old file stays whole. What becomes of a damaged or unreadable file,
// tst_storecontract says for both stores.

namespace {

bool g_canMount = false;

} // namespace

class TestSettingsStore : public QObject
{
    Q_OBJECT

public:
    static void initMain() { g_canMount = ReadOnlyFolder::enterPrivateMountNamespace(); }

private:
    QTemporaryDir m_top;
    QString m_folder;
    PtyDevice m_com1;
    PtyDevice m_com2;
    QString m_path;

    QString cfg() const { return m_folder + QStringLiteral("/tavel.cfg"); }

    static SavedState sample()
    {
        SavedState state = SavedState::defaults();
        state.WindowLeft[2] = -45;
        state.ConnectionSettings[1] = 1;
        state.AutomationButtons[0]
            = { QStringLiteral("Größe, \"neu\""), QStringLiteral("AT\r\n"), QStringLiteral("1") };
        return state;
    }

private Q_SLOTS:
    void init()
    {
        m_folder = m_top.filePath(QString::fromLatin1(QTest::currentTestFunction()) + '-'
            + QString::fromLatin1(QTest::currentDataTag()).replace(' ', '-'));
        QVERIFY(QDir().mkpath(m_folder));
        m_path = cfg();
    }

    void cleanup() { ::umount2(QFile::encodeName(m_folder).constData(), MNT_DETACH); }

    void saveIntoUnusableFolderReportsPathAndReason()
    {
        const QString parent = m_folder + QStringLiteral("/plain-file");
        QVERIFY(writeFile(parent, "not a folder"));
        const QString path = parent + QStringLiteral("/tavel.cfg");
        SettingsStore store(path);
        QCOMPARE(store.load().problem, QString());
        const SettingsStore::SaveResult saved = store.save(sample());
        QVERIFY(!saved.ok());
        QVERIFY2(saved.problem.contains(path) && saved.problem.contains(expectedReason(ENOTDIR)),
            qPrintable(saved.problem));
        QCOMPARE(contentsOf(parent), QByteArray("not a folder"));
    }

    void failedSaveNamesFileAndReasonAndKeepsOldFile_data()
    {
        QTest::addColumn<QString>("spoil");
        QTest::addColumn<bool>("damaged");
        for (const char *spoil : { "file size limit", "full disk", "read-only folder" }) {
            QTest::addRow("%s, sound old file", spoil) << QString::fromLatin1(spoil) << false;
            QTest::addRow("%s, damaged old file", spoil) << QString::fromLatin1(spoil) << true;
        }
    }
    void failedSaveNamesFileAndReasonAndKeepsOldFile()
    {
        QFETCH(QString, spoil);
        QFETCH(bool, damaged);
        int error = EFBIG;
        if (spoil == QLatin1String("full disk")) {
            if (!g_canMount)
                QSKIP("a full file system needs a tmpfs mounted, which needs root");
            QVERIFY(::mount("tavel-test", QFile::encodeName(m_folder).constData(), "tmpfs", 0,
                        "size=256k,mode=0700")
                == 0);
            error = ENOSPC;
        } else if (spoil == QLatin1String("read-only folder")) {
            error = g_canMount ? EROFS : EACCES;
        }
        const QByteArray old = settingsFile(damaged ? "x6" : "6", "\n", " ");
        QVERIFY(writeFile(cfg(), old));

        // The program runs from start to end; the folder is spoilt after the
        // start, before the shutdown.
        RecordingDialogs dialogs;
        qputenv("TAVEL_COM1", m_com1.slavePath().toLocal8Bit());
        qputenv("TAVEL_COM2", m_com2.slavePath().toLocal8Bit());
        auto window = std::make_unique<MDITavel>(cfg());
        window->MDIForm_Load();
        std::unique_ptr<FileSizeLimit> limit;
        std::unique_ptr<ReadOnlyFolder> readOnly;
        if (error == EFBIG) {
            limit = std::make_unique<FileSizeLimit>(16);
        } else if (error == ENOSPC) {
            QFile filler(m_folder + QStringLiteral("/filler"));
            QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
            while (filler.write(QByteArray(4096, 'f')) == 4096) { }
            // Down to single bytes, so that not even a short file fits any more.
            while (filler.write("f", 1) == 1) { }
        } else {
            readOnly = std::make_unique<ReadOnlyFolder>(m_folder);
            if (!readOnly->isReadOnly())
                QSKIP(qPrintable(readOnly->errorString()));
        }
        window->close();
        window.reset();
        limit.reset();

        // A damaged file was reported at start; the save's box comes after it.
        QCOMPARE(dialogs.messages.size(), damaged ? 2 : 1);
        QVERIFY(!damaged || dialogs.messages[0].text.contains(cfg()));
        const RecordingDialogs::Box &box = dialogs.messages.constLast();
        QCOMPARE(box.title, QStringLiteral("Tavel"));
        QVERIFY2(box.text.contains(QStringLiteral("„") + QDir::toNativeSeparators(cfg()))
                && box.text.contains(expectedReason(error))
                && box.text.contains(QStringLiteral("nicht gespeichert")),
            qPrintable(box.text));

        // The old file, whole, and beside it only the backup of a damaged one.
        QCOMPARE(contentsOf(cfg()), old);
        QStringList present = QDir(m_folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
        present.removeAll(QStringLiteral("filler"));
        if (present.removeAll(QStringLiteral("tavel.cfg.bak")) > 0) {
            QVERIFY(damaged);
            QCOMPARE(contentsOf(cfg() + QStringLiteral(".bak")), old);
        }
        QCOMPARE(present, QStringList { QStringLiteral("tavel.cfg") });
    }
};

QTEST_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
