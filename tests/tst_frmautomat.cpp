#include "transmitfixture.h"
#include "windows/eightbitedit.h"
#include "windows/trafficview/trafficview.h"

#include <QCheckBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

class TestFrmAutomat : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TransmitFixture> m_f;

    frmAutomat &window() { return m_f->automat.show(); }
    FrmEmpfang &receivedWindow() { return m_f->received.get(); }
    // The table lacks code 0, so its rows start at code 1.
    void selectCode(int code) { window().List1->setCurrentRow(code - 1); }

private Q_SLOTS:
    void init() { m_f = std::make_unique<TransmitFixture>(); }
    void cleanup() { m_f.reset(); }

    void opensFromTheSharedStateWithCaretsAtTheStart()
    {
        m_f->state.AutomationButtons[2]
            = { QStringLiteral("Reset"), QStringLiteral("ATZ\r"), QStringLiteral("1") };
        frmAutomat &w = window();
        QCOMPARE(w.CmdAutomat[1]->text(), QStringLiteral("Senden 2"));
        QCOMPARE(w.CmdAutomat[2]->text(), QStringLiteral("Reset"));
        QCOMPARE(w.txtAutomat[2]->text(), QStringLiteral("ATZ\r"));
        QCOMPARE(w.txtAutomat[2]->caretPosition(), qsizetype(0));
        QVERIFY(w.chkAutomat[2]->isChecked() && !w.chkAutomat[1]->isChecked());
        for (QWidget *control : w.findChildren<QWidget *>()) {
            if (control->parentWidget() == &w)
                QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
        }
    }

    // A caption longer than its button shows its beginning and "…", and the
    // whole of it in the tool tip, in the dialog and in the stored state.
    void longCaptionIsElidedAtTheEndAndKeptWhole()
    {
        const QString caption = QStringLiteral("Modem-Info mit sehr langer Beschriftung, die "
                                               "nicht auf die Schaltfläche passt");
        m_f->state.AutomationButtons[3].Caption = caption;
        frmAutomat &w = window();
        const QString shown = w.CmdAutomat[3]->text();
        QVERIFY2(shown.endsWith(QChar(0x2026)) && caption.startsWith(shown.chopped(1)),
            qPrintable(shown));
        QVERIFY(shown.size() > 10);
        QCOMPARE(
            w.CmdAutomat[3]->toolTip(), caption + QStringLiteral("\nSendet nebenstehende Daten"));
        QCOMPARE(w.CmdAutomat[3]->accessibleName(), caption);
        QCOMPARE(w.CmdAutomat[2]->toolTip(), QStringLiteral("Sendet nebenstehende Daten"));
        m_f->dialogs.inputAnswers << QString();
        QTest::mousePress(w.CmdAutomat[3], Qt::RightButton);
        QCOMPARE(m_f->dialogs.inputDefaults.value(0), caption);
        m_f->automat.unload();
        QCOMPARE(m_f->state.AutomationButtons[3].Caption, caption);
    }

    // A file edited by hand may hold anything; only a number 1 ticks.
    void storedClearFlagTicksOnlyForOne_data()
    {
        QTest::addColumn<QString>("flag");
        QTest::addColumn<bool>("ticked");
        for (const char *flag : { "1", "01", "1x", " 1" })
            QTest::newRow(flag) << QString::fromLatin1(flag) << true;
        for (const char *flag : { "0", "", "2", "-1", "1.5", "x1", "11" })
            QTest::newRow(flag) << QString::fromLatin1(flag) << false;
    }
    void storedClearFlagTicksOnlyForOne()
    {
        QFETCH(QString, flag);
        QFETCH(bool, ticked);
        m_f->state.AutomationButtons[0].ClearFlag = flag;
        QCOMPARE(window().chkAutomat[0]->isChecked(), ticked);
        m_f->automat.unload();
        QCOMPARE(m_f->state.AutomationButtons[0].ClearFlag, QLatin1String(ticked ? "1" : "0"));
        QCOMPARE(m_f->state.AutomationButtons[1].ClearFlag, QStringLiteral("0"));
    }

    void buttonSendsWhatItsFieldHoldsNow_data()
    {
        QTest::addColumn<bool>("tick");
        QTest::addColumn<bool>("receivedLoaded");
        QTest::newRow("ticked: empties the received data") << true << true;
        QTest::newRow("ticked: loads the received data") << true << false;
        QTest::newRow("not ticked") << false << true;
    }
    void buttonSendsWhatItsFieldHoldsNow()
    {
        QFETCH(bool, tick);
        QFETCH(bool, receivedLoaded);
        QVERIFY(m_f->openPort());
        if (receivedLoaded)
            receivedWindow().appendReceived(QByteArrayView("old"));
        m_f->state.AutomationButtons[3].Payload = QStringLiteral("stored");
        frmAutomat &w = window();
        w.txtAutomat[3]->setText(QStringLiteral("ping\r"));
        w.chkAutomat[3]->setChecked(tick);
        QTest::mouseClick(w.CmdAutomat[3], Qt::LeftButton);
        QTest::mouseClick(w.CmdAutomat[3], Qt::LeftButton);
        QCOMPARE(m_f->arrived(10), QByteArray("ping\rping\r"));
        QCOMPARE(m_f->sent.get().Text1->text(), QStringLiteral("ping\rping\r"));
        QCOMPARE(m_f->sent.get().Text2->text(), QString());
        QVERIFY(m_f->received.loaded());
        QCOMPARE(receivedWindow().Text2->text(), QLatin1String(tick ? "" : "6F 6C 64 "));
        QVERIFY(m_f->dialogs.messages.isEmpty() && m_f->dialogs.inputs.isEmpty());
    }

    // An empty field does nothing at all; otherwise a closed port is
    // reported, and nothing is sent or emptied.
    void closedPortOrEmptyFieldChangesNothing_data()
    {
        QTest::addColumn<QString>("payload");
        QTest::addColumn<QStringList>("messages");
        QTest::newRow("empty field") << QString() << QStringList();
        QTest::newRow("closed port")
            << QStringLiteral("AB") << QStringList { "Es besteht keine serielle Verbindung." };
    }
    void closedPortOrEmptyFieldChangesNothing()
    {
        QFETCH(QString, payload);
        QFETCH(QStringList, messages);
        receivedWindow().appendReceived(QByteArrayView("old"));
        frmAutomat &w = window();
        w.txtAutomat[0]->setText(payload);
        w.chkAutomat[0]->setChecked(true);
        w.CmdAutomat[0]->click();
        QCOMPARE(m_f->dialogs.messageTexts(), messages);
        QVERIFY(!m_f->sent.loaded());
        QCOMPARE(receivedWindow().Text1->text(), QStringLiteral("old"));
    }

    void rightButtonAsksForANewCaption_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("caption");
        QTest::newRow("answered") << 4 << QStringLiteral("Abfrage") << QStringLiteral("Abfrage");
        QTest::newRow("empty answer") << 9 << QString() << QStringLiteral("Senden 10");
    }
    void rightButtonAsksForANewCaption()
    {
        QFETCH(int, index);
        QFETCH(QString, answer);
        QFETCH(QString, caption);
        QVERIFY(m_f->openPort());
        frmAutomat &w = window();
        w.txtAutomat[index]->setText(QStringLiteral("x"));
        m_f->dialogs.inputAnswers << answer;
        QTest::mousePress(w.CmdAutomat[index], Qt::RightButton);
        QCOMPARE(m_f->dialogs.inputs.size(), 1);
        QCOMPARE(m_f->dialogs.inputs[0].text,
            QStringLiteral("Geben Sie die Bezeichnung für die\r\nBefehlsschaltfläche %1 ein.")
                .arg(index + 1));
        QCOMPARE(m_f->dialogs.inputs[0].title, QStringLiteral("Tavel"));
        QCOMPARE(m_f->dialogs.inputDefaults[0], QStringLiteral("Senden %1").arg(index + 1));
        QCOMPARE(w.CmdAutomat[index]->text(), caption);
        QCOMPARE(m_f->device.readFor(200), QByteArray());
        // The shared state catches up only when the window unloads.
        QCOMPARE(m_f->state.AutomationButtons[index].Caption,
            QStringLiteral("Senden %1").arg(index + 1));
    }

    void insertionIntoThePayloadField_data()
    {
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selEnd");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("caret");
        QTest::newRow("middle") << 1 << 1 << 0x0D << QStringLiteral("x\ryz") << 2;
        QTest::newRow("before a backwards selection")
            << 3 << 1 << 0x80 << QStringLiteral("x€yz") << 2;
        QTest::newRow("without item") << 1 << 1 << 0 << QStringLiteral("xyz") << 1;
    }
    void insertionIntoThePayloadField()
    {
        QFETCH(int, selStart);
        QFETCH(int, selEnd);
        QFETCH(int, code);
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
        selectCode(code);
        if (code == 0)
            w.List1->clearSelection();
        w.cmdEinfügen->click();
        QCOMPARE(field->text(), after);
        QCOMPARE(field->caretPosition(), qsizetype(caret));
        QCOMPARE(field->hasFocus(), code != 0);
    }

    // The field that last lost the focus is the target, even after the
    // window was closed and opened again.
    void insertionGoesToTheFieldThatLastLostTheFocus()
    {
        frmAutomat &first = window();
        first.txtAutomat[3]->setFocus();
        first.List1->setFocus();
        m_f->automat.unload();
        frmAutomat &w = window();
        w.txtAutomat[6]->setText(QStringLiteral("ab"));
        selectCode(0x41);
        w.cmdEinfügen->click();
        QCOMPARE(w.txtAutomat[3]->text(), QStringLiteral("A"));
        w.txtAutomat[6]->setFocus();
        w.txtAutomat[6]->setCaretPosition(2);
        w.List1->setFocus(Qt::MouseFocusReason);
        QListWidgetItem *item = w.List1->item(0x41);
        w.List1->scrollToItem(item);
        const QPoint at = w.List1->visualItemRect(item).center();
        QTest::mouseClick(w.List1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w.List1->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(w.txtAutomat[6]->text(), QStringLiteral("abB"));
        QCOMPARE(w.txtAutomat[3]->text(), QStringLiteral("A"));
    }

    void payloadFieldTakesNoLineEndFromTheKeyboard()
    {
        EightBitEdit *field = window().txtAutomat[0];
        field->setFocus();
        QTest::keyClicks(field, QStringLiteral("ab"));
        QTest::keyClick(field, Qt::Key_Return);
        QTest::keyClicks(field, QStringLiteral("c"));
        QCOMPARE(field->text(), QStringLiteral("abc"));
        QCOMPARE(field->document()->blockCount(), 1);
    }

    // Showing the open window keeps its unsaved edits; "Schließen" unloads
    // it into the shared state, from which it opens again.
    void changesSurviveClosingAndOpeningAgain()
    {
        frmAutomat &w = window();
        m_f->dialogs.inputAnswers << QStringLiteral("Abfrage");
        QTest::mousePress(w.CmdAutomat[1], Qt::RightButton);
        w.chkAutomat[2]->setChecked(true);
        const QString payload = QStringLiteral("say \"hi\",\r\nthen\nend");
        w.txtAutomat[3]->setText(payload);
        QCOMPARE(&window(), &w);
        QCOMPARE(w.txtAutomat[3]->text(), payload);
        QCOMPARE(m_f->state.AutomationButtons[3].Payload, QString());
        w.cmdSchießen->click();
        QVERIFY(!m_f->automat.loaded());
        QCOMPARE(m_f->state.AutomationButtons[1].Caption, QStringLiteral("Abfrage"));
        QCOMPARE(m_f->state.AutomationButtons[2].ClearFlag, QStringLiteral("1"));
        QCOMPARE(m_f->state.AutomationButtons[3].Payload, payload);
        QCOMPARE(m_f->state.AutomationButtons[0],
            (AutomationButton { QStringLiteral("Senden 1"), QString(), QStringLiteral("0") }));
        frmAutomat &again = window();
        QCOMPARE(again.CmdAutomat[1]->text(), QStringLiteral("Abfrage"));
        QVERIFY(again.chkAutomat[2]->isChecked());
        QCOMPARE(again.txtAutomat[3]->text(), payload);
    }
};

QTEST_MAIN(TestFrmAutomat)
#include "tst_frmautomat.moc"
