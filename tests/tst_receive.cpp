#include "base/twips.h"
#include "mainwindowfixture.h"
#include "settings/frmeinstellungen.h"
#include "text/cp1252.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"
#include "windows/traffic/trafficview.h"

#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>

// Bytes from a pty device through the real main window into the
// received-data window, which shows them as text (byte 0 as ".") and hex.
class TestReceive : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;

    FrmEmpfang *received() const { return m_f->window->empfang().loaded(); }

    bool waitForReceived(qint64 count)
    {
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired() && !(received() && received()->log().size() >= count))
            QTest::qWait(5);
        return received() && received()->log().size() == count;
    }

private Q_SLOTS:
    void init()
    {
        m_f = std::make_unique<MainWindowFixture>();
        m_f->window->state().WindowLeft[2] = 1500;
        m_f->window->state().WindowTop[2] = 750;
        m_f->window->einstellungen().loaded()->Command3->click();
        QVERIFY(m_f->window->MSComm1().PortOpen());
    }
    void cleanup() { m_f.reset(); }

    void bytesShowAsTextAndHex_data()
    {
        QTest::addColumn<QByteArrayList>("writes");
        QTest::addColumn<QString>("text");
        QByteArray all;
        for (int round = 0; round < 16; ++round) {
            for (int b = 0; b < 256; ++b)
                all.append(char((b * 7 + round) & 0xFF));
        }
        QByteArrayList pieces;
        for (qsizetype at = 0; at < all.size(); at += 1000)
            pieces << all.mid(at, 1000);
        QTest::newRow("zero, line end, FF")
            << QByteArrayList { QByteArray("\0A\r\n\xFF", 5) } << QStringLiteral(".A\r\nÿ");
        QTest::newRow("reads append with nothing between")
            << QByteArrayList { "AB", "CD" } << QStringLiteral("ABCD");
        QTest::newRow("low and high codes keep their codes")
            << QByteArrayList { "\x05\xAB" } << QString(QChar(5)) + QChar(0xAB);
        QTest::newRow("a whole receive buffer")
            << QByteArrayList { QByteArray(1024, 'q') } << QString(1024, QLatin1Char('q'));
        QByteArray dotted = all;
        QTest::newRow("every byte value in several writes")
            << pieces << Cp1252::toUnicode(dotted.replace('\0', '.'));
    }
    void bytesShowAsTextAndHex()
    {
        QFETCH(QByteArrayList, writes);
        QFETCH(QString, text);
        const QByteArray bytes = writes.join();
        for (const QByteArray &piece : writes) {
            QVERIFY(m_f->com1.write(piece));
            QTest::qWait(20);
        }
        QVERIFY(waitForReceived(bytes.size()));
        QCOMPARE(received()->log().bytes(0, bytes.size()), bytes);
        QCOMPARE(received()->Text1->text(), text);
        QCOMPARE(received()->Text2->text(), QString::fromLatin1(bytes.toHex(' ').toUpper() + ' '));
        QCOMPARE(received()->Text1->cursorPosition(), bytes.size());
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    // Loaded by the first data at its saved place; hidden, it keeps
    // receiving; "löschen" empties both views for good.
    void windowLoadsAtItsPlaceAndKeepsReceivingWhileHidden()
    {
        QVERIFY(!received());
        QVERIFY(m_f->com1.write("x"));
        QVERIFY(waitForReceived(1));
        QVERIFY(received()->frame()->isVisible());
        const int dpi = received()->frame()->logicalDpiX();
        QCOMPARE(received()->frame()->pos(),
            QPoint(Twips::toPixels(1500, dpi), Twips::toPixels(750, dpi)));
        received()->Command1->click();
        QVERIFY(m_f->com1.write("yz"));
        QVERIFY(waitForReceived(3));
        QVERIFY(!received()->frame()->isVisible());
        received()->Command2->click();
        QCOMPARE(received()->Text2->text(), QString());
        QVERIFY(m_f->com1.write("new"));
        QVERIFY(waitForReceived(3));
        QCOMPARE(received()->Text1->text(), QStringLiteral("new"));
        QCOMPARE(received()->Text2->text(), QStringLiteral("6E 65 77 "));
    }
};

QTEST_MAIN(TestReceive)
#include "tst_receive.moc"
