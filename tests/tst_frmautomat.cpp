#include "automation/frmautomat.h"
#include "base/formslot.h"
#include "base/module1.h"
#include "base/twips.h"
#include "ptydevice.h"
#include "recordingdialogs.h"
#include "serial/mscomm.h"
#include "windows/eightbitedit.h"
#include "windows/frmempfang.h"
#include "windows/frmsendefenster.h"
#include "windows/traffic/trafficview.h"
#include "windows/transmitter.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMdiArea>
#include <QPushButton>
#include <QTest>

namespace {

const QString kNoConnection = QStringLiteral("Es besteht keine serielle Verbindung.");

} // namespace

class TestFrmAutomat : public QObject
{
    Q_OBJECT

private:
    PtyDevice m_device;
    std::unique_ptr<MSComm> m_comm;
    std::unique_ptr<RecordingDialogs> m_dialogs;
    std::unique_ptr<Module1> m_state;
    std::unique_ptr<QMdiArea> m_area;
    std::unique_ptr<FormSlot<FrmSendefenster>> m_sent;
    std::unique_ptr<FormSlot<FrmEmpfang>> m_received;
    std::unique_ptr<Transmitter> m_transmitter;
    std::unique_ptr<FormSlot<frmAutomat>> m_automat;

    void openPort()
    {
        qputenv("TAVEL_COM1", QFile::encodeName(m_device.slavePath()));
        QVERIFY(!m_comm->setCommPort(1));
        QVERIFY(!m_comm->setSettings(QStringLiteral("9600,N,8,1")));
        m_comm->setInputMode(1);
        QVERIFY(!m_comm->setPortOpen(true));
    }

    frmAutomat &window() { return m_automat->show(); }

    QByteArray received(qint64 expected)
    {
        QByteArray bytes = m_device.read(expected, 3000);
        bytes += m_device.readFor(100);
        return bytes;
    }

    void fillReceivedWindow()
    {
        m_received->get().appendReceived(QByteArrayView("old"));
        QCOMPARE(m_received->get().Text1->text(), QStringLiteral("old"));
    }

    void selectItemForCode(int code) { window().List1->setCurrentRow(code - 1); }

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_device.isOpen(), qPrintable(m_device.errorString())); }

    void init()
    {
        m_comm = std::make_unique<MSComm>();
        m_dialogs = std::make_unique<RecordingDialogs>();
        m_state = std::make_unique<Module1>();
        static_cast<SavedState &>(*m_state) = SavedState::defaults();
        m_area = std::make_unique<QMdiArea>();
        m_area->resize(1000, 700);
        m_area->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_area.get()));
        QMdiArea &area = *m_area;
        m_sent = std::make_unique<FormSlot<FrmSendefenster>>(
            area, [this] { return new FrmSendefenster(*m_state); });
        m_received = std::make_unique<FormSlot<FrmEmpfang>>(
            area, [this] { return new FrmEmpfang(*m_state); });
        m_transmitter = std::make_unique<Transmitter>(
            *m_comm, [this]() -> FrmSendefenster & { return m_sent->get(); });
        m_automat = std::make_unique<FormSlot<frmAutomat>>(area, [this] {
            return new frmAutomat(
                *m_state, *m_transmitter, [this] { m_received->get().clearViews(); });
        });
        m_device.readFor(0);
    }

    void cleanup()
    {
        m_area.reset();
        m_automat.reset();
        m_transmitter.reset();
        m_received.reset();
        m_sent.reset();
        m_comm.reset();
        m_dialogs.reset();
        m_state.reset();
        m_device.readFor(50);
    }

    void controlsStandWhereTheyWereDesigned()
    {
        frmAutomat &w = window();
        const auto twips = [&w](int left, int top, int width, int height) {
            const int dx = w.logicalDpiX();
            const int dy = w.logicalDpiY();
            return QRect(Twips::toPixels(left, dx), Twips::toPixels(top, dy),
                Twips::toPixels(width, dx), Twips::toPixels(height, dy));
        };
        QCOMPARE(w.windowTitle(), QStringLiteral("Automatisierung"));
        QCOMPARE(w.positionIndex(), WindowIndex::kAutomat);
        QCOMPARE(w.size(), twips(0, 0, 6390, 5790).size());
        for (int n = 0; n < frmAutomat::kRows; ++n) {
            QCOMPARE(w.CmdAutomat[n]->geometry(), twips(160, 120 + 480 * n, 2600, 375));
            QCOMPARE(w.txtAutomat[n]->geometry(), twips(2880, 165 + 480 * n, 1575, 285));
            QCOMPARE(w.chkAutomat[n]->geometry(), twips(4560, 210 + 480 * n, 255, 195));
            QCOMPARE(w.CmdAutomat[n]->toolTip(), QStringLiteral("Sendet nebenstehende Daten"));
            QCOMPARE(w.txtAutomat[n]->toolTip(), QString());
            QCOMPARE(w.chkAutomat[n]->toolTip(),
                QStringLiteral("Löscht vor der Ausführung eines Befehls das "
                               "Empfangsfenster."));
            QCOMPARE(w.chkAutomat[n]->text(), QString());
            QCOMPARE(w.txtAutomat[n]->palette().color(QPalette::Base), QColor(226, 249, 252));
        }
        QCOMPARE(w.List1->geometry(), twips(4920, 120, 1335, 3960));
        QCOMPARE(w.cmdEinfügen->geometry(), twips(4920, 4320, 1335, 375));
        QCOMPARE(w.cmdSchießen->geometry(), twips(4920, 5280, 1335, 375));
        QCOMPARE(w.Label2->pos(), twips(3840, 4920, 1785, 195).topLeft());
        QVERIFY(w.Label2->width() >= twips(3840, 4920, 1785, 195).width());
        QVERIFY(w.Label2->width() >= w.Label2->sizeHint().width());
        QVERIFY(w.rect().contains(w.Label2->geometry()));
        QCOMPARE(w.Label1->geometry(), twips(240, 5040, 3375, 735));
        QCOMPARE(w.Line1->geometry().left(), twips(4650, 0, 0, 0).left());
        QCOMPARE(w.Line1->geometry().top(), twips(0, 360, 0, 0).top());
        QCOMPARE(w.Line1->geometry().height(), twips(0, 0, 0, 4560).height());
        QCOMPARE(w.cmdEinfügen->text(), QStringLiteral("&Einfügen"));
        QCOMPARE(w.cmdSchießen->text(), QStringLiteral("Schließen"));
        QCOMPARE(w.Label2->text(), QStringLiteral("Empfangsfenster löschen"));
        QCOMPARE(w.Label1->text(),
            QStringLiteral("Zweck: Speichert Befehle oder Text, der oft gesendet werden "
                           "soll. Mit rechter Maustaste können Sie die Buttonbezeichnungen "
                           "ändern."));
        for (QWidget *control : w.findChildren<QWidget *>()) {
            if (control->parentWidget() == &w && control != w.Line1)
                QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
        }
    }

    void characterTableLacksCodeZero()
    {
        frmAutomat &w = window();
        QCOMPARE(w.List1->count(), 255);
        QCOMPARE(w.List1->item(0)->text(), QStringLiteral("01h ; 1"));
        QCOMPARE(w.List1->item(31)->text(), QStringLiteral("20h ; 32, Space "));
        QCOMPARE(w.List1->item(254)->text(), QStringLiteral("FFh ; 255, ÿ"));
    }

    void opensWithTheDefaultsOfAFirstRun()
    {
        frmAutomat &w = window();
        for (int n = 0; n < frmAutomat::kRows; ++n) {
            QCOMPARE(w.CmdAutomat[n]->text(), QStringLiteral("Senden %1").arg(n + 1));
            QVERIFY(w.txtAutomat[n]->isEmpty());
            QVERIFY(!w.chkAutomat[n]->isChecked());
        }
    }

    void opensFromTheSharedStateWithCaretsAtTheStart()
    {
        m_state->AutomationButtons[2]
            = { QStringLiteral("Reset"), QStringLiteral("ATZ\r"), QStringLiteral("1") };
        frmAutomat &w = window();
        QCOMPARE(w.CmdAutomat[2]->text(), QStringLiteral("Reset"));
        QCOMPARE(w.txtAutomat[2]->text(), QStringLiteral("ATZ\r"));
        QCOMPARE(w.txtAutomat[2]->caretPosition(), qsizetype(0));
        QVERIFY(w.chkAutomat[2]->isChecked());
    }

    void storedClearFlagTicksOnlyForOne_data()
    {
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("ticked");
        QTest::addColumn<QString>("saved");
        QTest::newRow("1") << QStringLiteral("1") << true << QStringLiteral("1");
        QTest::newRow("0") << QStringLiteral("0") << false << QStringLiteral("0");
        QTest::newRow("empty") << QString() << false << QStringLiteral("0");
        QTest::newRow("2") << QStringLiteral("2") << false << QStringLiteral("0");
        QTest::newRow("-1") << QStringLiteral("-1") << false << QStringLiteral("0");
        QTest::newRow("01") << QStringLiteral("01") << true << QStringLiteral("1");
        QTest::newRow("1 and more") << QStringLiteral("1x") << true << QStringLiteral("1");
        QTest::newRow("1.5") << QStringLiteral("1.5") << false << QStringLiteral("0");
        QTest::newRow("no number") << QStringLiteral("x1") << false << QStringLiteral("0");
        QTest::newRow("11") << QStringLiteral("11") << false << QStringLiteral("0");
    }
    void storedClearFlagTicksOnlyForOne()
    {
        QFETCH(QString, flag);
        QFETCH(bool, ticked);
        QFETCH(QString, saved);
        m_state->AutomationButtons[0].ClearFlag = flag;
        QCOMPARE(window().chkAutomat[0]->isChecked(), ticked);
        m_automat->unload();
        QCOMPARE(m_state->AutomationButtons[0].ClearFlag, saved);
        QCOMPARE(m_state->AutomationButtons[1].ClearFlag, QStringLiteral("0"));
    }

    void buttonWithTickSendsAndEmptiesTheReceivedWindow()
    {
        openPort();
        fillReceivedWindow();
        frmAutomat &w = window();
        w.txtAutomat[0]->setText(QStringLiteral("AB"));
        w.chkAutomat[0]->setChecked(true);
        QTest::mouseClick(w.CmdAutomat[0], Qt::LeftButton);
        QCOMPARE(received(2), QByteArray("AB"));
        QCOMPARE(m_sent->get().Text1->text(), QStringLiteral("AB"));
        QCOMPARE(m_sent->get().Text2->text(), QString());
        QCOMPARE(m_received->get().Text1->text(), QString());
        QCOMPARE(m_received->get().Text2->text(), QString());
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void buttonWithoutTickLeavesTheReceivedWindow()
    {
        openPort();
        fillReceivedWindow();
        frmAutomat &w = window();
        w.txtAutomat[3]->setText(QStringLiteral("AB"));
        w.CmdAutomat[3]->click();
        QCOMPARE(received(2), QByteArray("AB"));
        QCOMPARE(m_received->get().Text1->text(), QStringLiteral("old"));
        QCOMPARE(m_received->get().Text2->text(), QStringLiteral("6F 6C 64 "));
    }

    void tickLoadsAnUnloadedReceivedWindow()
    {
        openPort();
        frmAutomat &w = window();
        w.txtAutomat[0]->setText(QStringLiteral("x"));
        w.chkAutomat[0]->setChecked(true);
        QVERIFY(!m_received->loaded());
        w.CmdAutomat[0]->click();
        QVERIFY(m_received->loaded());
    }

    void twoClicksAppendTwice()
    {
        openPort();
        frmAutomat &w = window();
        w.txtAutomat[1]->setText(QStringLiteral("ping\r"));
        w.CmdAutomat[1]->click();
        w.CmdAutomat[1]->click();
        QCOMPARE(received(10), QByteArray("ping\rping\r"));
        QCOMPARE(m_sent->get().Text1->text(), QStringLiteral("ping\rping\r"));
    }

    void thePayloadIsWhatTheFieldHoldsNow()
    {
        openPort();
        m_state->AutomationButtons[0].Payload = QStringLiteral("stored");
        frmAutomat &w = window();
        w.txtAutomat[0]->setText(QStringLiteral("edited"));
        w.CmdAutomat[0]->click();
        QCOMPARE(received(6), QByteArray("edited"));
    }

    void emptyPayloadDoesNothingEvenWithThePortClosed()
    {
        fillReceivedWindow();
        frmAutomat &w = window();
        w.chkAutomat[0]->setChecked(true);
        w.CmdAutomat[0]->click();
        QVERIFY(m_dialogs->messages.isEmpty());
        QVERIFY(!m_sent->loaded());
        QCOMPARE(m_received->get().Text1->text(), QStringLiteral("old"));
    }

    void closedPortIsReportedAndNothingHappens()
    {
        fillReceivedWindow();
        frmAutomat &w = window();
        w.txtAutomat[0]->setText(QStringLiteral("AB"));
        w.chkAutomat[0]->setChecked(true);
        w.CmdAutomat[0]->click();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages[0].text, kNoConnection);
        QCOMPARE(m_dialogs->messages[0].title, QStringLiteral("Tavel"));
        QVERIFY(!m_sent->loaded());
        QCOMPARE(m_received->get().Text1->text(), QStringLiteral("old"));
    }

    void rightButtonAsksForANewCaption()
    {
        openPort();
        frmAutomat &w = window();
        w.txtAutomat[4]->setText(QStringLiteral("x"));
        m_dialogs->inputAnswers << QStringLiteral("Abfrage");
        QTest::mousePress(w.CmdAutomat[4], Qt::RightButton);
        QCOMPARE(m_dialogs->inputs.size(), 1);
        QCOMPARE(m_dialogs->inputs[0].text,
            QStringLiteral("Geben Sie die Bezeichnung für die\r\nBefehlsschaltfläche 5 ein."));
        QCOMPARE(m_dialogs->inputs[0].title, QStringLiteral("Tavel"));
        QCOMPARE(m_dialogs->inputDefaults[0], QStringLiteral("Senden 5"));
        QCOMPARE(w.CmdAutomat[4]->text(), QStringLiteral("Abfrage"));
        QCOMPARE(m_device.readFor(200), QByteArray());
        QCOMPARE(m_state->AutomationButtons[4].Caption, QStringLiteral("Senden 5"));
    }

    void emptyAnswerKeepsTheCaption()
    {
        frmAutomat &w = window();
        QTest::mousePress(w.CmdAutomat[9], Qt::RightButton);
        QCOMPARE(m_dialogs->inputs.size(), 1);
        QCOMPARE(m_dialogs->inputs[0].text,
            QStringLiteral("Geben Sie die Bezeichnung für die\r\nBefehlsschaltfläche 10 "
                           "ein."));
        QCOMPARE(w.CmdAutomat[9]->text(), QStringLiteral("Senden 10"));
    }

    void leftButtonAsksNothing()
    {
        frmAutomat &w = window();
        QTest::mouseClick(w.CmdAutomat[0], Qt::LeftButton);
        QVERIFY(m_dialogs->inputs.isEmpty());
    }

    void insertionIntoThePayloadField_data()
    {
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selEnd");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("caret");
        QTest::newRow("middle") << 1 << 1 << QStringLiteral("x\ryz") << 2;
        QTest::newRow("start") << 0 << 0 << QStringLiteral("\rxyz") << 1;
        QTest::newRow("end") << 3 << 3 << QStringLiteral("xyz\r") << 4;
        QTest::newRow("before selection") << 1 << 3 << QStringLiteral("x\ryz") << 2;
    }
    void insertionIntoThePayloadField()
    {
        QFETCH(int, selStart);
        QFETCH(int, selEnd);
        QFETCH(QString, after);
        QFETCH(int, caret);
        frmAutomat &w = window();
        EightBitEdit *field = w.txtAutomat[0];
        field->setText(QStringLiteral("xyz"));
        QTextCursor cursor = field->textCursor();
        cursor.setPosition(selStart);
        cursor.setPosition(selEnd, QTextCursor::KeepAnchor);
        field->setTextCursor(cursor);
        w.List1->setFocus();
        selectItemForCode(0x0D);
        QCOMPARE(w.List1->currentItem()->text(), QStringLiteral("0Dh ; 13"));
        w.cmdEinfügen->click();
        QCOMPARE(field->text(), after);
        QCOMPARE(field->caretPosition(), qsizetype(caret));
        QVERIFY(field->hasFocus());
    }

    void insertionGoesToTheFieldThatLastLostTheFocus()
    {
        frmAutomat &w = window();
        w.txtAutomat[6]->setText(QStringLiteral("ab"));
        w.txtAutomat[6]->setFocus();
        QVERIFY(w.txtAutomat[6]->hasFocus());
        w.txtAutomat[6]->setCaretPosition(2);
        w.List1->setFocus(Qt::MouseFocusReason);
        QCOMPARE(m_state->LastPayloadField, std::int16_t(6));
        QListWidgetItem *item = w.List1->item(0x40);
        w.List1->scrollToItem(item);
        const QPoint at = w.List1->visualItemRect(item).center();
        QTest::mouseClick(w.List1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w.List1->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(w.txtAutomat[6]->text(), QStringLiteral("abA"));
        QVERIFY(w.txtAutomat[0]->isEmpty());
    }

    void lastPayloadFieldOutlivesTheWindow()
    {
        frmAutomat &first = window();
        first.txtAutomat[3]->setFocus();
        first.List1->setFocus();
        QCOMPARE(m_state->LastPayloadField, std::int16_t(3));
        m_automat->unload();
        QVERIFY(!m_automat->loaded());
        frmAutomat &second = window();
        selectItemForCode(0x41);
        second.cmdEinfügen->click();
        QCOMPARE(second.txtAutomat[3]->text(), QStringLiteral("A"));
    }

    void withoutAnyFocusChangeTheFirstFieldIsTheTarget()
    {
        frmAutomat &w = window();
        selectItemForCode(0x42);
        w.cmdEinfügen->click();
        QCOMPARE(w.txtAutomat[0]->text(), QStringLiteral("B"));
    }

    void insertWithoutSelectedItemChangesNothing()
    {
        frmAutomat &w = window();
        w.txtAutomat[0]->setText(QStringLiteral("xy"));
        w.List1->clearSelection();
        w.cmdEinfügen->click();
        QCOMPARE(w.txtAutomat[0]->text(), QStringLiteral("xy"));
    }

    void payloadFieldTakesNoLineEndFromTheKeyboard()
    {
        frmAutomat &w = window();
        w.txtAutomat[0]->setFocus();
        QTest::keyClicks(w.txtAutomat[0], QStringLiteral("ab"));
        QTest::keyClick(w.txtAutomat[0], Qt::Key_Return);
        QTest::keyClicks(w.txtAutomat[0], QStringLiteral("c"));
        QCOMPARE(w.txtAutomat[0]->text(), QStringLiteral("abc"));
        QCOMPARE(w.txtAutomat[0]->document()->blockCount(), 1);
    }

    void payloadFieldsAreNotLimitedTo32767Characters()
    {
        frmAutomat &w = window();
        w.txtAutomat[0]->setText(QString(40000, QLatin1Char('x')));
        w.txtAutomat[0]->setCaretPosition(40000);
        selectItemForCode(0x0A);
        w.cmdEinfügen->click();
        QCOMPARE(w.txtAutomat[0]->text().size(), 40001);
        QCOMPARE(w.txtAutomat[0]->text().back(), QLatin1Char('\n'));
    }

    void changesSurviveClosingAndOpeningAgain()
    {
        frmAutomat &w = window();
        m_dialogs->inputAnswers << QStringLiteral("Mit \"Zitat\", Komma");
        QTest::mousePress(w.CmdAutomat[1], Qt::RightButton);
        w.chkAutomat[2]->setChecked(true);
        const QString payload = QStringLiteral("say \"hi\",\r\nthen\nend");
        w.txtAutomat[3]->setText(payload);
        w.cmdSchießen->click();
        QVERIFY(!m_automat->loaded());
        QCOMPARE(m_state->AutomationButtons[1].Caption, QStringLiteral("Mit \"Zitat\", Komma"));
        QCOMPARE(m_state->AutomationButtons[2].ClearFlag, QStringLiteral("1"));
        QCOMPARE(m_state->AutomationButtons[3].Payload, payload);
        QCOMPARE(m_state->AutomationButtons[0],
            (AutomationButton { QStringLiteral("Senden 1"), QString(), QStringLiteral("0") }));
        frmAutomat &again = window();
        QCOMPARE(again.CmdAutomat[1]->text(), QStringLiteral("Mit \"Zitat\", Komma"));
        QVERIFY(again.chkAutomat[2]->isChecked());
        QCOMPARE(again.txtAutomat[3]->text(), payload);
    }

    void showingAnOpenWindowKeepsUnsavedEdits()
    {
        frmAutomat &w = window();
        w.txtAutomat[0]->setText(QStringLiteral("unsaved"));
        QCOMPARE(&window(), &w);
        QCOMPARE(w.txtAutomat[0]->text(), QStringLiteral("unsaved"));
        QCOMPARE(m_state->AutomationButtons[0].Payload, QString());
    }

    void closingWhileMaximisedKeepsThePosition()
    {
        m_state->WindowLeft[4] = 1234;
        m_state->WindowTop[4] = 567;
        frmAutomat &w = window();
        w.frame()->showMaximized();
        w.frame()->close();
        QCOMPARE(m_state->WindowLeft[4], 1234);
        QCOMPARE(m_state->WindowTop[4], 567);
    }
};

QTEST_MAIN(TestFrmAutomat)
#include "tst_frmautomat.moc"
