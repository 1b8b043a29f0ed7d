#include "windows/frminfo.h"

#include <QLabel>
#include <QTest>

// Its opening from the menu, modal, and Escape are tst_mainwindow's.
class TestFrmInfo : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The background and the drawn rule close the window; a label swallows
    // its click, whichever widget receives it.
    void onlyAClickBesideTheWordsCloses_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("closes");
        QTest::newRow("background") << QString() << true;
        QTest::newRow("rule") << QStringLiteral("Line1") << true;
        for (const char *label : { "Label1", "Label2", "Label3_0", "Label3_1" })
            QTest::newRow(label) << QString::fromLatin1(label) << false;
    }
    void onlyAClickBesideTheWordsCloses()
    {
        QFETCH(QString, target);
        QFETCH(bool, closes);
        FrmInfo info;
        info.show();
        QVERIFY(QTest::qWaitForWindowExposed(&info));
        QWidget *part = target.isEmpty() ? nullptr : info.findChild<QWidget *>(target);
        if (auto *label = qobject_cast<QLabel *>(part))
            QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
        else
            QTest::mouseClick(
                &info, Qt::LeftButton, {}, part ? part->geometry().center() : QPoint(2, 2));
        QCOMPARE(info.isVisible(), !closes);
        QCOMPARE(info.result(), int(closes ? QDialog::Accepted : QDialog::Rejected));
    }

    void aScreenReaderReadsTheWords()
    {
        FrmInfo info;
        QVERIFY(!info.accessibleName().isEmpty() && !info.Line1->accessibleName().isEmpty());
        for (QLabel *label : info.findChildren<QLabel *>()) {
            QCOMPARE(label->accessibleName(), label->text());
            QVERIFY(!label->accessibleDescription().isEmpty());
        }
    }
};

QTEST_MAIN(TestFrmInfo)
#include "tst_frminfo.moc"
