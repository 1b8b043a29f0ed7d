#include "base/errorreport.h"
#include "recordingdialogs.h"

#include <QTest>

class TestErrorReport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportText_data()
    {
        QTest::addColumn<int>("number");
        QTest::addColumn<QString>("expected");
        QTest::newRow("positive number stands two blanks after the word")
            << 8010 << QStringLiteral("Fehler  8010 wurde ausgelöst von MSComm1\r\nweg");
        QTest::newRow("negative number takes the blank's place")
            << -5 << QStringLiteral("Fehler -5 wurde ausgelöst von MSComm1\r\nweg");
        QTest::newRow("zero counts as not negative")
            << 0 << QStringLiteral("Fehler  0 wurde ausgelöst von MSComm1\r\nweg");
    }

    void reportText()
    {
        QFETCH(int, number);
        QFETCH(QString, expected);
        QCOMPARE(errorReportText({ number, QStringLiteral("MSComm1"), QStringLiteral("weg") }),
            expected);
    }

    void reportIsOneBoxTitledFehler()
    {
        RecordingDialogs dialogs;
        ShowErrorReport({ 380, QStringLiteral("MSComm1"), QStringLiteral("Ungültig") });
        QCOMPARE(dialogs.messages.size(), 1);
        QCOMPARE(dialogs.messages[0].title, QStringLiteral("Fehler"));
        QCOMPARE(dialogs.messages[0].text,
            QStringLiteral("Fehler  380 wurde ausgelöst von MSComm1\r\nUngültig"));
    }
};

QTEST_GUILESS_MAIN(TestErrorReport)
#include "tst_errorreport.moc"
