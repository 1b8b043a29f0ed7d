#include "filehelpers.h"
#include "files/atomicfilewriter.h"
#include "files/capturefile.h"
#include "files/safefile.h"
#include "files/sendfilereader.h"
#include "files/systemerror.h"
#include "serial/mscomm.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cerrno>
#include <cstring>
#include <memory>
#include <sys/fsuid.h>
#include <unistd.h>

// The reason a box gives when the system refuses: worded once, in German,
// the same whether a settings file, a save, a capture, a file to send or a
// port met it. The expected words are written here, never asked of the
// program, so that a changed wording shows.

namespace {

// Every file box writes or reads this much, more than the file size limit.
const QByteArray kBytes(64, 'x');
constexpr rlim_t kFileSizeLimit = 16;

} // namespace

class TestSystemError : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_top;

    // The reason (or the whole sentence, where the class words one) that
    // the named box gets for `path`.
    static QString failureOf(const QString &box, const QString &path)
    {
        if (box == QLatin1String("save")) {
            AtomicFileWriter file(path);
            if (file.open() && file.write(kBytes) && file.commit())
                return QStringLiteral("<saved>");
            return file.reason();
        }
        if (box == QLatin1String("capture")) {
            CaptureFile file(path);
            if (file.open() && file.append(kBytes))
                return QStringLiteral("<captured>");
            return file.reason();
        }
        if (box == QLatin1String("file send"))
            return SendFileReader::load(path).error;
        if (box == QLatin1String("settings read")) {
            QByteArray bytes;
            QString reason;
            return SafeFile(path).read(bytes, reason) ? QStringLiteral("<read>") : reason;
        }
        qputenv("TAVEL_COM1", QFile::encodeName(path));
        MSComm port;
        const CommResult error = port.setPortOpen(true);
        return error ? error->description : QStringLiteral("<opened>");
    }

private Q_SLOTS:
    void commonCausesReadInPlainGerman_data()
    {
        QTest::addColumn<int>("error");
        QTest::addColumn<QString>("words");
        QTest::newRow("EACCES") << EACCES << "Zugriff verweigert";
        QTest::newRow("ENOENT") << ENOENT << "Datei oder Verzeichnis nicht gefunden";
        QTest::newRow("ENOSPC") << ENOSPC << "Kein Platz mehr auf dem Gerät";
        QTest::newRow("EROFS") << EROFS << "Dateisystem ist schreibgeschützt";
        QTest::newRow("EBUSY") << EBUSY << "Gerät oder Ressource belegt";
        QTest::newRow("EIO") << EIO << "Ein-/Ausgabefehler";
        QTest::newRow("ENXIO") << ENXIO << "Gerät nicht vorhanden oder nicht erreichbar";
        QTest::newRow("EMFILE") << EMFILE << "Zu viele offene Dateien";
        QTest::newRow("EFBIG") << EFBIG << "Datei zu groß";
        QTest::newRow("EISDIR") << EISDIR << "Ist ein Verzeichnis";
        QTest::newRow("ENOTDIR") << ENOTDIR << "Ist kein Verzeichnis";
        QTest::newRow("ENOTTY") << ENOTTY << "Kein Terminalgerät";
    }
    void commonCausesReadInPlainGerman()
    {
        QFETCH(int, error);
        QFETCH(QString, words);
        QCOMPARE(SystemError::reason(error), words);
    }

    // A cause nobody has worded yet is at least named, in the system's words.
    void causeWithoutWordsOfItsOwnKeepsTheSystemsText()
    {
        QCOMPARE(SystemError::reason(EXDEV), QString::fromLocal8Bit(std::strerror(EXDEV)));
    }

    // The same cause met by every kind of box, for real: a missing folder or
    // device, a directory where a file should be, a folder that may not be
    // entered, and the file size limit, which stops writes even for root.
    void oneCauseReadsAlikeInEveryBox_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QString>("cause");
        QTest::addColumn<QString>("words");
        for (const char *box : { "save", "capture", "file send", "port" })
            QTest::addRow("missing, %s", box) << box << "missing" << expectedReason(ENOENT);
        for (const char *box : { "save", "capture", "file send", "settings read", "port" })
            QTest::addRow("directory, %s", box) << box << "directory" << expectedReason(EISDIR);
        for (const char *box : { "save", "capture", "file send", "port" })
            QTest::addRow("no permission, %s", box)
                << box << "no permission" << expectedReason(EACCES);
        for (const char *box : { "save", "capture" })
            QTest::addRow("file size limit, %s", box)
                << box << "file size limit" << expectedReason(EFBIG);
    }
    void oneCauseReadsAlikeInEveryBox()
    {
        QFETCH(QString, box);
        QFETCH(QString, cause);
        QFETCH(QString, words);
        const QString folder = m_top.filePath(QString::fromLatin1(QTest::currentDataTag())
                                                  .replace(QLatin1Char(' '), QLatin1Char('-'))
                                                  .remove(QLatin1Char(',')));
        QVERIFY(QDir().mkpath(folder));
        QString path = folder + QStringLiteral("/target");
        std::unique_ptr<FileSizeLimit> limit;
        const bool locked = cause == QLatin1String("no permission");
        if (cause == QLatin1String("missing"))
            path = folder + QStringLiteral("/no-such-folder/target");
        else if (cause == QLatin1String("directory"))
            QVERIFY(QDir().mkpath(path));
        else if (locked)
            QVERIFY(QFile::setPermissions(folder, {}));
        else
            limit = std::make_unique<FileSizeLimit>(kFileSizeLimit);

        // Root enters every folder; as nobody, this thread may not.
        const bool asNobody = locked && ::geteuid() == 0;
        if (asNobody)
            ::setfsuid(65534);
        const QString text = failureOf(box, path);
        if (asNobody)
            ::setfsuid(0);
        limit.reset();
        if (locked)
            QVERIFY(QFile::setPermissions(
                folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        QVERIFY2(text.contains(words), qPrintable(text));
    }
};

QTEST_GUILESS_MAIN(TestSystemError)

#include "tst_systemerror.moc"
