#include "app/mditavel.h"
#include "ptydevice.h"
#include "recordingdialogs.h"
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
#include <QElapsedTimer>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

const QString kNoConnection = QStringLiteral("Es besteht keine serielle Verbindung.");

QByteArray randomBytes(qsizetype size, quint32 seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(seed);
    generator.fillRange(reinterpret_cast<quint32 *>(bytes.data()), size / 4);
    for (qsizetype i = size / 4 * 4; i < size; ++i)
        bytes[i] = char(generator.bounded(256));
    return bytes;
}

QByteArray allByteValues()
{
    QByteArray bytes;
    for (int value = 0; value < 256; ++value)
        bytes.append(char(value));
    return bytes;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
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

class TestFileSend : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_folder;
    PtyDevice m_com1;
    PtyDevice m_com2;
    std::unique_ptr<RecordingDialogs> m_dialogs;
    std::unique_ptr<MDITavel> m_window;

    QString path(const char *name) const { return m_folder.filePath(QLatin1String(name)); }

    QAction *sendCommand() const
    {
        return m_window->findChild<QAction *>(QStringLiteral("MnDateiDatei"));
    }

    // Connects COM1 through the settings window's button, as the user does.
    bool connectCom1()
    {
        FrmEinstellungen *settings = m_window->einstellungen().loaded();
        if (!settings)
            return false;
        settings->Option1[0]->setChecked(true);
        settings->Command3->click();
        return m_window->MSComm1().PortOpen() && m_dialogs->messages.isEmpty();
    }

    // Sends the file through the menu command, as the user does.
    void sendFile(const QString &file)
    {
        m_dialogs->fileAnswers << file;
        sendCommand()->trigger();
    }

    QByteArray received() const
    {
        FrmEmpfang *window = m_window->empfang().loaded();
        return window ? window->log().bytes(0, window->log().size()) : QByteArray();
    }

private Q_SLOTS:
    void init();
    void cleanup();

    // reading a file whole
    void loadedFileHoldsEveryByteValue();
    void fileAboveMemoryLimitIsRefusedBeforeReading();
    void availableMemoryIsKnown();
    void fileAboveTwoGibibytesIsReadWhole();

    // the queue behind Output
    void queueHandsOutPiecesInOrderWithoutCopying();
    void queueSlicesNeverCrossAPiece();

    // the menu command over a pty
    void fiveBytesWithZeroAndLineEndArriveExactly();
    void tenMegabytesArriveExactlyWhileReceivedDataKeepShowing();
    void emptyFileSendsNothing();
    void closedPortShowsMessageAndNoDialog();
    void cancelledDialogDoesNothing();
    void unreadableFileIsReportedAndNothingSent_data();
    void unreadableFileIsReportedAndNothingSent();
    void sentDataWindowStaysUnloaded();
    void sentDataWindowIsUnchangedAfterSend();
    void disconnectingWhileFileLeavesDropsTheRestWithoutHanging();
};

void TestFileSend::init()
{
    QFile::remove(path("tavel.cfg"));
    qputenv("TAVEL_COM1", m_com1.slavePath().toLocal8Bit());
    qputenv("TAVEL_COM2", m_com2.slavePath().toLocal8Bit());
    m_dialogs = std::make_unique<RecordingDialogs>();
    m_window = std::make_unique<MDITavel>(path("tavel.cfg"));
    QCOMPARE(m_window->MDIForm_Load(), MDITavel::StartOutcome::Running);
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestFileSend::cleanup()
{
    m_window->close();
    m_window.reset();
    m_dialogs.reset();
    // Whatever a test left on the line must not reach the next one.
    m_com1.readFor(50);
    QVERIFY(!QApplication::overrideCursor());
}

void TestFileSend::loadedFileHoldsEveryByteValue()
{
    const QByteArray bytes = allByteValues().repeated(3);
    QVERIFY(writeFile(path("values.bin"), bytes));
    const FileSend::Loaded loaded = FileSend::load(path("values.bin"));
    QVERIFY2(loaded.ok(), qPrintable(loaded.error));
    QCOMPARE(loaded.bytes, bytes);
}

void TestFileSend::fileAboveMemoryLimitIsRefusedBeforeReading()
{
    const qint64 size = qint64(3) << 30;
    QVERIFY(writeSparseFile(path("huge.bin"), size, "end"));
    QElapsedTimer timer;
    timer.start();
    const FileSend::Loaded loaded = FileSend::load(path("huge.bin"), qint64(1) << 30);
    QVERIFY(timer.elapsed() < 1000);
    QVERIFY(!loaded.ok());
    QVERIFY(loaded.bytes.isEmpty());
    QVERIFY2(loaded.error.contains(path("huge.bin")), qPrintable(loaded.error));
    QVERIFY2(loaded.error.contains(QString::number(size)), qPrintable(loaded.error));
    QVERIFY(loaded.error.contains(QStringLiteral("zu groß")));
    QFile::remove(path("huge.bin"));
}

void TestFileSend::availableMemoryIsKnown()
{
    const std::optional<qint64> available = FileSend::availableMemory();
    QVERIFY(available);
    QVERIFY(*available > 0);
}

void TestFileSend::fileAboveTwoGibibytesIsReadWhole()
{
    const qint64 size = (qint64(1) << 31) + 5;
    const std::optional<qint64> available = FileSend::availableMemory();
    if (!available || *available < 3 * size)
        QSKIP("not enough free memory to hold a file above 2 GiB");
    QVERIFY(writeSparseFile(path("large.bin"), size, "\x01\x02\x03\x04\x05"));
    FileSend::Loaded loaded = FileSend::load(path("large.bin"));
    QFile::remove(path("large.bin"));
    QVERIFY2(loaded.ok(), qPrintable(loaded.error));
    QCOMPARE(qint64(loaded.bytes.size()), size);
    QCOMPARE(loaded.bytes.right(6), QByteArray("\x00\x01\x02\x03\x04\x05", 6));
}

void TestFileSend::queueHandsOutPiecesInOrderWithoutCopying()
{
    const QByteArray first = randomBytes(1000, 1);
    const QByteArray second = randomBytes(10, 2);
    OutputQueue queue;
    queue.append(first);
    queue.append(QByteArray());
    queue.append(second);
    QCOMPARE(queue.size(), qint64(1010));
    QCOMPARE(queue.front(4096).data(), first.constData());

    QByteArray out;
    while (!queue.isEmpty()) {
        const QByteArrayView slice = queue.front(300);
        out += slice.toByteArray();
        queue.consume(slice.size());
    }
    QCOMPARE(out, first + second);
    QCOMPARE(queue.size(), qint64(0));
}

void TestFileSend::queueSlicesNeverCrossAPiece()
{
    OutputQueue queue;
    queue.append("abc");
    queue.append("defg");
    QCOMPARE(queue.front(100).toByteArray(), QByteArray("abc"));
    queue.consume(2);
    QCOMPARE(queue.front(100).toByteArray(), QByteArray("c"));
    queue.consume(1);
    QCOMPARE(queue.front(2).toByteArray(), QByteArray("de"));
    queue.clear();
    QVERIFY(queue.isEmpty());
    QVERIFY(queue.front(100).isEmpty());
}

void TestFileSend::fiveBytesWithZeroAndLineEndArriveExactly()
{
    const QByteArray bytes("\x00\x41\x0D\x0A\xFF", 5);
    QVERIFY(writeFile(path("five.bin"), bytes));
    QVERIFY(connectCom1());
    sendFile(path("five.bin"));

    QCOMPARE(m_dialogs->fileDialogTitles, QStringList { QStringLiteral("Datei senden") });
    QCOMPARE(m_com1.read(5), bytes);
    QCOMPARE(m_com1.readFor(200), QByteArray());
    QVERIFY(m_dialogs->messages.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
}

void TestFileSend::tenMegabytesArriveExactlyWhileReceivedDataKeepShowing()
{
    const QByteArray bytes = randomBytes(10 * 1024 * 1024, 20240601);
    QVERIFY(writeFile(path("ten.bin"), bytes));
    QVERIFY(connectCom1());
    sendFile(path("ten.bin"));
    // The command has returned while most of the file is still waiting to
    // leave: it handed the bytes over without waiting for the line.
    QVERIFY(m_window->MSComm1().bytesToWrite() > bytes.size() / 2);
    QVERIFY(!QApplication::overrideCursor());

    // The device answers while the file is still coming in.
    QByteArray arrived;
    QByteArray answered;
    qint64 shownDuringSend = 0;
    QDeadlineTimer deadline(120000);
    for (int reply = 0; arrived.size() < bytes.size() && !deadline.hasExpired(); ++reply) {
        arrived += m_com1.read(qMin<qint64>(128 * 1024, bytes.size() - arrived.size()), 5000);
        const QByteArray answer = "reply " + QByteArray::number(reply) + "\r\n";
        QVERIFY(m_com1.write(answer));
        answered += answer;
        if (arrived.size() < bytes.size())
            shownDuringSend = received().size();
    }
    QCOMPARE(arrived.size(), bytes.size());
    QVERIFY(arrived == bytes);
    QVERIFY2(shownDuringSend > 0, "nothing received was shown while the file was leaving");
    QTRY_COMPARE(received(), answered);
    QTRY_COMPARE(m_window->MSComm1().bytesToWrite(), qint64(0));
    QVERIFY(m_dialogs->messages.isEmpty());
}

void TestFileSend::emptyFileSendsNothing()
{
    QVERIFY(writeFile(path("empty.bin"), {}));
    QVERIFY(connectCom1());
    sendFile(path("empty.bin"));
    QCOMPARE(m_com1.readFor(300), QByteArray());
    QVERIFY(m_dialogs->messages.isEmpty());
    QVERIFY(!QApplication::overrideCursor());
}

void TestFileSend::closedPortShowsMessageAndNoDialog()
{
    QVERIFY(!m_window->MSComm1().PortOpen());
    QVERIFY(writeFile(path("five.bin"), "hello"));
    sendFile(path("five.bin"));
    QVERIFY(m_dialogs->fileDialogTitles.isEmpty());
    QCOMPARE(m_dialogs->messages.size(), 1);
    QCOMPARE(m_dialogs->messages[0].text, kNoConnection);
    QCOMPARE(m_dialogs->messages[0].title, QStringLiteral("Tavel"));
    QVERIFY(!QApplication::overrideCursor());
}

void TestFileSend::cancelledDialogDoesNothing()
{
    QVERIFY(connectCom1());
    sendCommand()->trigger();
    QCOMPARE(m_dialogs->fileDialogTitles.size(), 1);
    QVERIFY(m_dialogs->messages.isEmpty());
    QCOMPARE(m_com1.readFor(200), QByteArray());
    QVERIFY(!m_window->sendefenster().loaded());
    QVERIFY(m_window->MSComm1().PortOpen());
}

void TestFileSend::unreadableFileIsReportedAndNothingSent_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    QTest::newRow("directory") << "directory" << qt_error_string(EISDIR);
    QTest::newRow("vanished after the dialog") << "vanished" << qt_error_string(ENOENT);
    QTest::newRow("FIFO without a writer") << "fifo" << QStringLiteral("benannte Pipe");
    // A reader would wait forever on a writer that holds the pipe open but
    // never writes.
    QTest::newRow("FIFO with a silent writer") << "fifo-writer" << QStringLiteral("benannte Pipe");
    QTest::newRow("device file") << "device" << QStringLiteral("Gerätedatei");
    QTest::newRow("no permission") << "unreadable" << qt_error_string(EACCES);
}

void TestFileSend::unreadableFileIsReportedAndNothingSent()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QString file = m_folder.filePath(kind);
    int writer = -1;
    const auto closeWriter = qScopeGuard([&writer] {
        if (writer >= 0)
            ::close(writer);
    });
    if (kind == QLatin1String("directory")) {
        QVERIFY(QDir().mkpath(file));
    } else if (kind == QLatin1String("fifo")) {
        QVERIFY(::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
    } else if (kind == QLatin1String("fifo-writer")) {
        QVERIFY(::mkfifo(QFile::encodeName(file).constData(), 0600) == 0);
        // Opening for reading and writing never waits for the other end.
        writer = ::open(QFile::encodeName(file).constData(), O_RDWR | O_CLOEXEC);
        QVERIFY(writer >= 0);
    } else if (kind == QLatin1String("device")) {
        file = QStringLiteral("/dev/zero");
    } else if (kind == QLatin1String("unreadable")) {
        QVERIFY(writeFile(file, "secret"));
        QVERIFY(QFile::setPermissions(file, {}));
    }
    QVERIFY(connectCom1());

    QElapsedTimer timer;
    timer.start();
    {
        std::optional<WithoutPermissionOverride> asAnyone;
        if (kind == QLatin1String("unreadable") && ::geteuid() == 0) {
            asAnyone.emplace();
            if (!asAnyone->isActive())
                QSKIP("root without the right to give up its permission override");
        }
        sendFile(file);
    }
    QVERIFY2(timer.elapsed() < 2000, "the command waited on the file");
    QCOMPARE(m_dialogs->messages.size(), 1);
    const QString text = m_dialogs->messages[0].text;
    QVERIFY2(text.contains(QStringLiteral("„") + file + QStringLiteral("“")), qPrintable(text));
    QVERIFY2(text.contains(reason), qPrintable(text));
    QCOMPARE(m_dialogs->messages[0].title, QStringLiteral("Tavel"));
    QVERIFY(!QApplication::overrideCursor());
    QCOMPARE(m_com1.readFor(200), QByteArray());
    QCOMPARE(m_window->MSComm1().bytesToWrite(), qint64(0));
    QVERIFY(m_window->MSComm1().PortOpen());
}

void TestFileSend::sentDataWindowStaysUnloaded()
{
    QVERIFY(writeFile(path("text.txt"), "ATZ\r\n"));
    QVERIFY(connectCom1());
    sendFile(path("text.txt"));
    QCOMPARE(m_com1.read(5), QByteArray("ATZ\r\n"));
    QVERIFY(!m_window->sendefenster().loaded());
}

void TestFileSend::sentDataWindowIsUnchangedAfterSend()
{
    FrmSendefenster &sent = m_window->sendefenster().show();
    sent.appendText(QStringLiteral("AB"));
    sent.appendHex(QStringLiteral("41 42 "));
    QVERIFY(writeFile(path("text.txt"), "ATZ\r\n"));
    QVERIFY(connectCom1());
    sendFile(path("text.txt"));
    QCOMPARE(m_com1.read(5), QByteArray("ATZ\r\n"));
    QCOMPARE(m_window->sendefenster().loaded(), &sent);
    QCOMPARE(sent.Text1->text(), QStringLiteral("AB"));
    QCOMPARE(sent.Text2->text(), QStringLiteral("41 42 "));
}

void TestFileSend::disconnectingWhileFileLeavesDropsTheRestWithoutHanging()
{
    const QByteArray bytes = randomBytes(8 * 1024 * 1024, 7);
    QVERIFY(writeFile(path("eight.bin"), bytes));
    QVERIFY(connectCom1());
    sendFile(path("eight.bin"));
    const QByteArray first = m_com1.read(64 * 1024);
    QCOMPARE(first, bytes.left(first.size()));

    QElapsedTimer timer;
    timer.start();
    m_window->einstellungen().loaded()->disconnectPort();
    QVERIFY(timer.elapsed() < 1000);
    QVERIFY(!m_window->MSComm1().PortOpen());
    QCOMPARE(m_window->MSComm1().bytesToWrite(), qint64(0));
    const QByteArray rest = m_com1.readFor(300);
    QVERIFY(first.size() + rest.size() < bytes.size());
    QVERIFY(m_dialogs->messages.isEmpty());
}

QTEST_MAIN(TestFileSend)
#include "tst_filesend.moc"
