#include "config/mainwindowplace.h"
#include "filehelpers.h"
#include "mainwindowfixture.h"

using Place = MainWindowPlace::Place;
Q_DECLARE_METATYPE(std::optional<Place>)

// The main window's place and size between runs, in a file of its own
// beside tavel.cfg (which stays as it is).
class TestMainWindowPlace : public QObject
{
    Q_OBJECT

private:
    static QString placePath(const MainWindowFixture &f)
    {
        return f.folder.filePath(QStringLiteral("tavel-fenster.cfg"));
    }

private Q_SLOTS:
    void fileReadsOnlyWhatItsWriterWrites_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<std::optional<Place>>("place");
        const std::optional<Place> none;
        QTest::newRow("normal") << QByteArray("Hauptfenster=40,30,700,500,0\n")
                                << std::optional(Place { QRect(40, 30, 700, 500), false });
        QTest::newRow("maximised, on a screen left of the first")
            << QByteArray("Hauptfenster=-1600,0,800,600,1\n")
            << std::optional(Place { QRect(-1600, 0, 800, 600), true });
        QTest::newRow("without the line end") << QByteArray("Hauptfenster=1,2,3,4,0")
                                              << std::optional(Place { QRect(1, 2, 3, 4), false });
        QTest::newRow("empty") << QByteArray() << none;
        QTest::newRow("other key") << QByteArray("Fenster=40,30,700,500,0\n") << none;
        QTest::newRow("four fields") << QByteArray("Hauptfenster=40,30,700,500\n") << none;
        QTest::newRow("a blank") << QByteArray("Hauptfenster=40, 30,700,500,0\n") << none;
        QTest::newRow("a plus sign") << QByteArray("Hauptfenster=+40,30,700,500,0\n") << none;
        QTest::newRow("no width") << QByteArray("Hauptfenster=40,30,0,500,0\n") << none;
        QTest::newRow("maximised neither 0 nor 1")
            << QByteArray("Hauptfenster=40,30,700,500,2\n") << none;
        QTest::newRow("beyond any screen")
            << QByteArray("Hauptfenster=40,30,99999999,500,0\n") << none;
        QTest::newRow("a second line") << QByteArray("Hauptfenster=40,30,700,500,0\nx\n") << none;
        QTest::newRow("CR LF") << QByteArray("Hauptfenster=40,30,700,500,0\r\n") << none;
    }
    void fileReadsOnlyWhatItsWriterWrites()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(std::optional<Place>, place);
        QCOMPARE(MainWindowPlace::parse(bytes), place);
        if (place)
            QCOMPARE(MainWindowPlace::parse(MainWindowPlace::serialize(*place)), place);
    }

    // The window comes up where it was left and is written back at the end,
    // maximised or not; tavel.cfg does not change for it.
    void placeIsKeptFromOneRunToTheNext_data()
    {
        QTest::addColumn<bool>("maximised");
        QTest::newRow("normal") << false;
        QTest::newRow("maximised") << true;
    }
    void placeIsKeptFromOneRunToTheNext()
    {
        QFETCH(bool, maximised);
        MainWindowFixture f({}, false);
        const QByteArray stored = "Hauptfenster=40,30,700,500," + QByteArray(maximised ? "1" : "0");
        QVERIFY(writeFile(placePath(f), stored + '\n'));
        QCOMPARE(f.begin(), MDITavel::StartOutcome::Running);
        QCOMPARE(f.window->isMaximized(), maximised);
        QCOMPARE(f.window->normalGeometry(), QRect(40, 30, 700, 500));
        if (!maximised)
            f.window->setGeometry(50, 60, 710, 520);
        f.window->close();
        QCOMPARE(contentsOf(placePath(f)),
            maximised ? stored + '\n' : QByteArray("Hauptfenster=50,60,710,520,0\n"));
        QCOMPARE(contentsOf(f.settingsPath()).count("\r\n"), 30);
    }

    // A damaged file or a place on a screen that is gone leaves the window
    // at its default place, with no box; the next end writes a sound file.
    void unusablePlaceGivesTheDefault_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("damaged") << QByteArray("Hauptfenster=40,30\n");
        QTest::newRow("on no screen") << QByteArray("Hauptfenster=90000,90000,700,500,0\n");
    }
    void unusablePlaceGivesTheDefault()
    {
        QFETCH(QByteArray, bytes);
        MainWindowFixture f({}, false);
        QVERIFY(writeFile(placePath(f), bytes));
        QCOMPARE(f.begin(), MDITavel::StartOutcome::Running);
        QCOMPARE(f.window->size(), QSize(1000, 720));
        QVERIFY(f.dialogs.messages.isEmpty());
        f.window->close();
        QVERIFY(MainWindowPlace::parse(contentsOf(placePath(f))));
    }
};

QTEST_MAIN(TestMainWindowPlace)
#include "tst_mainwindowplace.moc"
