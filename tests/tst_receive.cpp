#include "base/twips.h"
#include "mainwindowfixture.h"
#include "settings/frmeinstellungen.h"
#include "text/cp1252.h"
#include "traffic/trafficexport.h"
#include "traffic/trafficlog.h"
#include "windows/frmempfang.h"
#include "windows/traffic/trafficview.h"

#include <QHelpEvent>
#include <QMdiArea>
#include <QTest>
#include <QToolTip>

namespace {

QString hexOf(const QByteArray &bytes)
{
    QString hex;
    for (char c : bytes)
        hex += QStringLiteral("%1 ").arg(uchar(c), 2, 16, QLatin1Char('0')).toUpper();
    return hex;
}

QString textOf(QByteArray bytes)
{
    bytes.replace('\0', '.');
    return Cp1252::toUnicode(bytes);
}

} // namespace

class TestReceive : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<MainWindowFixture> m_f;

    FrmEmpfang *received() const { return m_f->window->empfang().loaded(); }

    // Waits until the received-data window holds count bytes.
    bool waitForReceived(qint64 count)
    {
        QDeadlineTimer deadline(5000);
        while (!deadline.hasExpired()) {
            if (received() && received()->log().size() >= count)
                return received()->log().size() == count;
            QTest::qWait(5);
        }
        return false;
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

    void bytesShowAsCharactersAndHex()
    {
        QVERIFY(!received());
        const QByteArray bytes("\x00\x41\x0D\x0A\xFF", 5);
        QVERIFY(m_f->com1.write(bytes));
        QVERIFY(waitForReceived(5));
        QCOMPARE(received()->Text1->text(), QStringLiteral(".A\r\nÿ"));
        QCOMPARE(received()->Text2->text(), QStringLiteral("00 41 0D 0A FF "));
        QCOMPARE(received()->Text2->text().size(), 15);
        // The window loaded on first data at its saved place, and is shown.
        QVERIFY(received()->frame()->isVisible());
        const int dpi = received()->frame()->logicalDpiX();
        QCOMPARE(received()->frame()->pos(),
            QPoint(Twips::toPixels(1500, dpi), Twips::toPixels(750, dpi)));
    }

    void successiveReadsAppendWithNothingBetween()
    {
        QVERIFY(m_f->com1.write("AB"));
        QVERIFY(waitForReceived(2));
        QVERIFY(m_f->com1.write("CD"));
        QVERIFY(waitForReceived(4));
        QCOMPARE(received()->Text1->text(), QStringLiteral("ABCD"));
        QCOMPARE(received()->Text2->text(), QStringLiteral("41 42 43 44 "));
        QCOMPARE(received()->Text1->cursorPosition(), 4);
    }

    void controlBytesAndLowValuesKeepTheirCodes()
    {
        QVERIFY(m_f->com1.write("\x05\xAB"));
        QVERIFY(waitForReceived(2));
        QCOMPARE(received()->Text1->text(), QString(QChar(5)) + QChar(0xAB));
        QCOMPARE(received()->Text2->text(), QStringLiteral("05 AB "));
    }

    void hiddenWindowStaysHiddenAndKeepsReceiving()
    {
        QVERIFY(m_f->com1.write("x"));
        QVERIFY(waitForReceived(1));
        received()->Command1->click();
        QVERIFY(m_f->com1.write("yz"));
        QVERIFY(waitForReceived(3));
        QVERIFY(!received()->frame()->isVisible());
        m_f->window->empfang().show();
        QCOMPARE(received()->Text1->text(), QStringLiteral("xyz"));
    }

    void fullBufferBurstAppendsEveryByte()
    {
        QByteArray burst(1024, 'q');
        QVERIFY(m_f->com1.write(burst));
        QVERIFY(waitForReceived(1024));
        QCOMPARE(received()->Text1->length(), 1024);
        QCOMPARE(received()->Text2->length(), 3072);
    }

    void clearEmptiesBothViewsAndLaterDataStartsAfresh()
    {
        QVERIFY(m_f->com1.write("old"));
        QVERIFY(waitForReceived(3));
        received()->Command2->click();
        QCOMPARE(received()->Text1->length(), 0);
        QCOMPARE(received()->Text2->length(), 0);
        QVERIFY(m_f->com1.write("new"));
        QVERIFY(waitForReceived(3));
        QCOMPARE(received()->Text1->text(), QStringLiteral("new"));
        QCOMPARE(received()->Text2->text(), QStringLiteral("6E 65 77 "));
    }

    void typingIntoTheViewsChangesNothing()
    {
        QVERIFY(m_f->com1.write("abc"));
        QVERIFY(waitForReceived(3));
        QTest::keyClicks(received()->Text1, QStringLiteral("zz"));
        QTest::keyClick(received()->Text2, Qt::Key_Backspace);
        QTest::keyClick(received()->Text1, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(received()->Text1->text(), QStringLiteral("abc"));
        QCOMPARE(received()->Text2->text(), QStringLiteral("61 62 63 "));
    }

    // A few kilobytes holding every byte value, in several writes, arrive
    // exactly in both views.
    void everyByteValueArrivesExactly()
    {
        QByteArray stream;
        for (int round = 0; round < 16; ++round) {
            for (int b = 0; b < 256; ++b)
                stream.append(char((b * 7 + round) & 0xFF));
        }
        for (qsizetype at = 0; at < stream.size(); at += 1000)
            QVERIFY(m_f->com1.write(stream.mid(at, 1000)));
        QVERIFY(waitForReceived(stream.size()));
        QCOMPARE(received()->log().bytes(0, stream.size()), stream);
        QCOMPARE(received()->Text1->text(), textOf(stream));
        QCOMPARE(received()->Text2->text(), hexOf(stream));
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    // Over any byte of either view, counted from 1, also the line end; none
    // beyond the text.
    void hoveringAByteTellsWhenItArrived()
    {
        QVERIFY(m_f->com1.write("AB\r\nC"));
        QVERIFY(waitForReceived(5));
        TrafficView *text = received()->Text1;
        TrafficView *hex = received()->Text2;
        const auto at
            = [](TrafficView *view, qint64 position) { return view->cellRect(position).center(); };
        QCOMPARE(text->byteAt(at(text, 1)), 1);
        QCOMPARE(text->byteAt(at(text, 2)), 2);
        QCOMPARE(text->byteAt(at(text, 2) + QPoint(text->cellRect(0).width() * 2, 0)), -1);
        QCOMPARE(text->byteAt(at(text, 4)), 4);
        QCOMPARE(hex->byteAt(at(hex, 5)), 1);
        QCOMPARE(hex->byteAt(at(hex, 14)), 4);
        QCOMPARE(hex->byteAt(at(hex, 15)), -1);

        const QPoint point = at(hex, 4);
        QHelpEvent event(QEvent::ToolTip, point, hex->viewport()->mapToGlobal(point));
        QApplication::sendEvent(hex->viewport(), &event);
        QCOMPARE(QToolTip::text(),
            QStringLiteral("Empfangen um %1 (Byte 2)")
                .arg(TrafficExport::timeOfDay(received()->log().arrivalMsecs(1))));
    }
};

QTEST_MAIN(TestReceive)
#include "tst_receive.moc"
