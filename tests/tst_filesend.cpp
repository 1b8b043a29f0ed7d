#include "filehelpers.h"
#include "mainwindowfixture.h"
#include "serial/filesend.h"
#include "serial/outputqueue.h"
#include "settings/frmeinstellungen.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"
#include "windows/frmsendefenster.h"
#include "windows/traffic/trafficview.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator(seed).fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    return bytes;
}

// A file of the given length that takes no disk space, its last bytes a
// marker, so that a cut or a wrap at 2 or 4 GiB would show.
bool writeSparseFile(const QString &path, qint64 size, const QByteArray &tail)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.resize(size) && file.seek(size - tail.size())
        && file.write(tail) == tail.size();
}

// Root reads any file whatever its permissions, through two capabilities.
// While this lives the calling thread works without them, so that a file
// without read permission is refused to root as to anyone; they come back
// at the end, as they stay in the permitted set.
class WithoutPermissionOverride
{
public:
    WithoutPermissionOverride()
    {
        if (::syscall(SYS_capget, &m_header, m_saved) != 0)
            return;
        __user_cap_data_struct reduced[2] = { m_saved[0], m_saved[1] };
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        m_active = ::syscall(SYS_capset, &m_header, reduced) == 0;
    }
    ~WithoutPermissionOverride()
    {
        if (m_active)
            ::syscall(SYS_capset, &m_header, m_saved);
    }
    WithoutPermissionOverride(const WithoutPermissionOverride &) = delete;
    WithoutPermissionOverride &operator=(const WithoutPermissionOverride &) = delete;

    bool isActive() const { return m_active; }

private:
    __user_cap_header_struct m_header { _LINUX_CAPABILITY_VERSION_3, 0 };
    __user_cap_data_struct m_saved[2] {};
    bool m_active = false;
};

} // namespace

// "Datei senden" through the real main window to a pty device, and the
// reading of the file before it.
class TestFileSend : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;

    QString path(const char *name) const { return m_f->folder.filePath(QLatin1String(name)); }
    MSComm &comm() const { return m_f->window->MSComm1(); }

    bool connectCom1()
    {
        m_f->window->einstellungen().loaded()->Command3->click();
        return comm().PortOpen() && m_f->dialogs.messages.isEmpty();
    }

    // Through the menu command, as the user does; an empty name cancels.
    void sendFile(const QString &file)
    {
        m_f->dialogs.fileAnswers << file;
        m_f->window->findChild<QAction *>(QStringLiteral("MnDateiDatei"))->trigger();
    }

    QByteArray received() const
    {
        FrmEmpfang *window = m_f->window->empfang().loaded();
        return window ? window->log().bytes(0, window->log().size()) : QByteArray();
    }

private Q_SLOTS:
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
    }

    void cleanup()
    {
        m_f.reset();
        QVERIFY(!QApplication::overrideCursor());
    }

    void fileAboveMemoryLimitIsRefused()
    {
        const qint64 size = qint64(3) << 30;
        QVERIFY(writeSparseFile(path("huge.bin"), size, "end"));
        const FileSend::Loaded loaded = FileSend::load(path("huge.bin"), qint64(1) << 30);
        QVERIFY(!loaded.ok() && loaded.bytes.isEmpty());
        QVERIFY2(loaded.error.contains(path("huge.bin")), qPrintable(loaded.error));
        QVERIFY2(loaded.error.contains(QString::number(size)), qPrintable(loaded.error));
        QVERIFY(loaded.error.contains(QStringLiteral("zu groß")));
    }

    void fileAboveTwoGibibytesIsReadWhole()
    {
        const qint64 size = (qint64(1) << 31) + 5;
        const std::optional<qint64> available = FileSend::availableMemory();
        QVERIFY(available && *available > 0);
        if (*available < 3 * size)
            QSKIP("not enough free memory to hold a file above 2 GiB");
        QVERIFY(writeSparseFile(path("large.bin"), size, "\x01\x02\x03\x04\x05"));
        FileSend::Loaded loaded = FileSend::load(path("large.bin"));
        QFile::remove(path("large.bin"));
        QVERIFY2(loaded.ok(), qPrintable(loaded.error));
        QCOMPARE(qint64(loaded.bytes.size()), size);
        QCOMPARE(loaded.bytes.right(6), QByteArray("\x00\x01\x02\x03\x04\x05", 6));
    }

    // The pieces behind Output leave in order, never copied, a slice never
    // crossing from one piece into the next.
    void queueHandsOutPiecesInOrderWithoutCopying()
    {
        const QByteArray first = randomBytes(1000, 1);
        OutputQueue queue;
        queue.append(first);
        queue.append(QByteArray());
        queue.append("defg");
        QCOMPARE(queue.size(), qint64(1004));
        QCOMPARE(queue.front(4096).data(), first.constData());
        QByteArray out;
        while (!queue.isEmpty()) {
            const QByteArrayView slice = queue.front(300);
            out += slice.toByteArray();
            queue.consume(slice.size());
            if (out.size() == 1000)
                QCOMPARE(queue.front(2).toByteArray(), QByteArray("de"));
        }
        QCOMPARE(out, first + "defg");
        queue.append("x");
        queue.clear();
        QVERIFY(queue.isEmpty() && queue.front(100).isEmpty());
    }

    // Every byte value arrives exactly; the sent-data window is left alone,
    // loaded or not.
    void everyByteValueArrivesExactly()
    {
        QByteArray bytes;
        for (int value = 0; value < 3 * 256; ++value)
            bytes.append(char(value));
        QVERIFY(writeFile(path("values.bin"), bytes));
        QVERIFY(connectCom1());
        sendFile(path("values.bin"));
        QCOMPARE(m_f->dialogs.fileDialogTitles, QStringList { QStringLiteral("Datei senden") });
        QCOMPARE(m_f->com1.read(bytes.size()), bytes);
        QVERIFY(!m_f->window->sendefenster().loaded());

        FrmSendefenster &sent = m_f->window->sendefenster().show();
        sent.appendText(QStringLiteral("AB"));
        sendFile(path("values.bin"));
        QCOMPARE(m_f->com1.read(bytes.size()), bytes);
        QCOMPARE(m_f->com1.readFor(200), QByteArray());
        QCOMPARE(sent.Text1->text(), QStringLiteral("AB"));
        QCOMPARE(sent.Text2->text(), QString());
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    void tenMegabytesArriveExactlyWhileReceivedDataKeepShowing()
    {
        const QByteArray bytes = randomBytes(10 * 1024 * 1024, 20240601);
        QVERIFY(writeFile(path("ten.bin"), bytes));
        QVERIFY(connectCom1());
        sendFile(path("ten.bin"));
        // The command has handed the bytes over without waiting for the line.
        QVERIFY(comm().bytesToWrite() > bytes.size() / 2);
        QVERIFY(!QApplication::overrideCursor());

        QByteArray arrived;
        QByteArray answered;
        qint64 shownDuringSend = 0;
        QDeadlineTimer deadline(120000);
        for (int reply = 0; arrived.size() < bytes.size() && !deadline.hasExpired(); ++reply) {
            arrived += m_f->com1.read(qMin<qint64>(128 * 1024, bytes.size() - arrived.size()));
            const QByteArray answer = "reply " + QByteArray::number(reply) + "\r\n";
            QVERIFY(m_f->com1.write(answer));
            answered += answer;
            if (arrived.size() < bytes.size())
                shownDuringSend = received().size();
        }
        QVERIFY(arrived == bytes);
        QVERIFY2(shownDuringSend > 0, "nothing received was shown while the file was leaving");
        QTRY_COMPARE(received(), answered);
        QTRY_COMPARE(comm().bytesToWrite(), qint64(0));
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    // Nothing reaches the line, and a file that cannot be read is named
    // with the reason, without the command waiting on it.
    void fileThatIsNotSentSaysWhy_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        const QString noConnection = QStringLiteral("Es besteht keine serielle Verbindung.");
        QTest::newRow("port closed: no dialog") << "closed" << noConnection;
        QTest::newRow("dialog cancelled") << "cancelled" << QString();
        QTest::newRow("empty file") << "empty" << QString();
        QTest::newRow("directory") << "directory" << qt_error_string(EISDIR);
        QTest::newRow("vanished after the dialog") << "vanished" << qt_error_string(ENOENT);
        QTest::newRow("FIFO without a writer") << "fifo" << QStringLiteral("benannte Pipe");
        // A reader would wait forever on a writer that never writes.
        QTest::newRow("FIFO with a silent writer") << "fifo-writer"
                                                   << "benannte Pipe";
        QTest::newRow("device file") << "device" << QStringLiteral("Gerätedatei");
        QTest::newRow("no permission") << "unreadable" << qt_error_string(EACCES);
    }
    void fileThatIsNotSentSaysWhy()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        QString file = m_f->folder.filePath(kind);
        const QByteArray name = QFile::encodeName(file);
        int writer = -1;
        const auto closeWriter = qScopeGuard([&writer] {
            if (writer >= 0)
                ::close(writer);
        });
        if (kind == QLatin1String("directory"))
            QVERIFY(QDir().mkpath(file));
        else if (kind == QLatin1String("empty") || kind == QLatin1String("closed"))
            QVERIFY(writeFile(file, kind == QLatin1String("empty") ? "" : "hello"));
        else if (kind.startsWith(QLatin1String("fifo")))
            QVERIFY(::mkfifo(name.constData(), 0600) == 0);
        else if (kind == QLatin1String("device"))
            file = QStringLiteral("/dev/zero");
        else if (kind == QLatin1String("unreadable"))
            QVERIFY(writeFile(file, "secret") && QFile::setPermissions(file, {}));
        else if (kind == QLatin1String("cancelled"))
            file.clear();
        // Opening for reading and writing never waits for the other end.
        if (kind == QLatin1String("fifo-writer"))
            QVERIFY((writer = ::open(name.constData(), O_RDWR | O_CLOEXEC)) >= 0);
        if (kind != QLatin1String("closed"))
            QVERIFY(connectCom1());
        {
            std::optional<WithoutPermissionOverride> asAnyone;
            if (kind == QLatin1String("unreadable") && ::geteuid() == 0) {
                asAnyone.emplace();
                if (!asAnyone->isActive())
                    QSKIP("root without the right to give up its permission override");
            }
            sendFile(file);
        }
        QCOMPARE(m_f->dialogs.fileDialogTitles.size(), kind == QLatin1String("closed") ? 0 : 1);
        QCOMPARE(m_f->dialogs.messages.size(), message.isEmpty() ? 0 : 1);
        if (!message.isEmpty()) {
            const QString text = m_f->dialogs.messages[0].text;
            QVERIFY2(text.contains(message), qPrintable(text));
            if (kind != QLatin1String("closed"))
                QVERIFY2(text.contains(QStringLiteral("„%1“").arg(file)), qPrintable(text));
            QCOMPARE(m_f->dialogs.messages[0].title, QStringLiteral("Tavel"));
        }
        QVERIFY(!QApplication::overrideCursor());
        QCOMPARE(m_f->com1.readFor(200), QByteArray());
        QCOMPARE(comm().bytesToWrite(), qint64(0));
        QCOMPARE(comm().PortOpen(), kind != QLatin1String("closed"));
        QVERIFY(!m_f->window->sendefenster().loaded());
    }

    void disconnectingWhileFileLeavesDropsTheRestForGood()
    {
        const QByteArray bytes = randomBytes(8 * 1024 * 1024, 7);
        QVERIFY(writeFile(path("eight.bin"), bytes));
        QVERIFY(connectCom1());
        sendFile(path("eight.bin"));
        const QByteArray first = m_f->com1.read(64 * 1024);
        QCOMPARE(first, bytes.left(first.size()));
        m_f->window->einstellungen().loaded()->disconnectPort();
        QVERIFY(!comm().PortOpen());
        QCOMPARE(comm().bytesToWrite(), qint64(0));
        QVERIFY(first.size() + m_f->com1.readFor(300).size() < bytes.size());
        // Nor does the rest leave when the port opens again.
        QVERIFY(connectCom1());
        QCOMPARE(m_f->com1.readFor(300), QByteArray());
    }
};

QTEST_MAIN(TestFileSend)
#include "tst_filesend.moc"
