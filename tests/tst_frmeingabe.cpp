#include "testbytes.h"
#include "text/cp1252.h"
#include "transmitfixture.h"
#include "windows/eightbitedit.h"
#include "windows/trafficview/trafficview.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>

namespace {

void paste(EightBitEdit *entry, const QString &text)
{
    QApplication::clipboard()->setText(text);
    entry->paste();
}

void press(QWidget *target, int key, const QString &text, Qt::KeyboardModifiers mods = {})
{
    QKeyEvent event(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(target, &event);
}

void select(EightBitEdit *entry, int from, int to)
{
    QTextCursor cursor = entry->textCursor();
    cursor.setPosition(from);
    cursor.setPosition(to, QTextCursor::KeepAnchor);
    entry->setTextCursor(cursor);
}

} // namespace

class TestFrmEingabe : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TransmitFixture> m_f;
    FrmEingabe *w = nullptr;

    QString sentText() const { return m_f->sent.get().Text1->text(); }
    QString sentHex() const { return m_f->sent.get().Text2->text(); }

private Q_SLOTS:
    void init()
    {
        m_f = std::make_unique<TransmitFixture>();
        w = &m_f->eingabe.show();
    }
    void cleanup() { m_f.reset(); }

    void opensInTextModeReadyForTyping()
    {
        QVERIFY(w->OptionText->isChecked() && !w->isHexMode());
        QVERIFY(w->Text1->isVisible() && !w->Text2->isVisible() && !w->Label2[2]->isVisible());
        QCOMPARE(w->Text2->geometry(), w->Text1->geometry());
        QCOMPARE(w->focusWidget(), w->Text1);
        for (QWidget *control : w->findChildren<QWidget *>()) {
            if (control->parentWidget() == w)
                QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
        }
    }

    // Each switch converts the visible entry into the other, an empty one
    // too; a click on the mode already selected converts nothing.
    void switchingModesConverts()
    {
        w->Text1->setFocus();
        QTest::keyClicks(w->Text1, QStringLiteral("A"));
        QTest::keyClick(w->Text1, Qt::Key_Return);
        QTest::keyClicks(w->Text1, QStringLiteral("B"));
        w->OptionHex->click();
        QVERIFY(w->isHexMode() && w->Text2->isVisible() && w->Label2[2]->isVisible());
        QVERIFY(!w->Text1->isVisible());
        QCOMPARE(w->Text2->text(), QStringLiteral("41 0D 0A 42 "));
        w->Text2->setText(QStringLiteral("43 00 44 "));
        w->OptionHex->click();
        QCOMPARE(w->Text2->text(), QStringLiteral("43 00 44 "));
        w->OptionText->click();
        QVERIFY(w->Text1->isVisible() && !w->Text2->isVisible() && !w->Label2[2]->isVisible());
        QCOMPARE(w->Text1->text(), QStringLiteral("CD"));
        w->Text2->setText(QStringLiteral("45 "));
        w->Text1->setText(QString());
        w->OptionHex->click();
        QCOMPARE(w->Text2->text(), QString());
    }

    // Only what needs the box itself: the filter's verdicts are
    // tst_text's.
    void hexEntryKeys_data()
    {
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("after");
        QTest::newRow("a becomes A") << 3 << int(Qt::Key_A) << "a" << 0 << "41 A";
        QTest::newRow("g is discarded") << 3 << int(Qt::Key_G) << "g" << 0 << "41 ";
        QTest::newRow("Backspace deletes") << 3 << int(Qt::Key_Backspace) << "\b" << 0 << "41";
        QTest::newRow("Delete deletes") << 0 << int(Qt::Key_Delete) << "\x7f" << 0 << "1 ";
        QTest::newRow("Ctrl+V pastes nothing")
            << 3 << int(Qt::Key_V) << "v" << int(Qt::ControlModifier) << "41 ";
        QTest::newRow("Ctrl+A selects nothing")
            << 3 << int(Qt::Key_A) << "a" << int(Qt::ControlModifier) << "41 ";
    }
    void hexEntryKeys()
    {
        QFETCH(int, caret);
        QFETCH(int, key);
        QFETCH(QString, typed);
        QFETCH(int, modifiers);
        QFETCH(QString, after);
        QApplication::clipboard()->setText(QStringLiteral("ZZ"));
        w->OptionHex->click();
        w->Text2->setText(QStringLiteral("41 "));
        w->Text2->setCaretPosition(caret);
        press(w->Text2, key, typed, Qt::KeyboardModifiers(modifiers));
        QCOMPARE(w->Text2->text(), after);
        QVERIFY(!w->Text2->textCursor().hasSelection());
    }

    // The hex key filter sees keys only: a paste goes in unchecked.
    void pasteIntoTheHexEntryIsNotFiltered()
    {
        w->OptionHex->click();
        paste(w->Text2, QStringLiteral("xyz"));
        QCOMPARE(w->Text2->text(), QStringLiteral("xyz"));
    }

    // Whatever way a character comes in, it must be one the line can carry.
    void textEntryTakesOnlyWindows1252()
    {
        EightBitEdit *entry = w->Text1;
        for (QChar ch : QStringLiteral("g-ä€ Ω"))
            press(entry, Qt::Key_unknown, QString(ch));
        QCOMPARE(entry->text(), QStringLiteral("g-ä€ "));
        paste(entry, QStringLiteral("b→c"));
        QMimeData foreign;
        foreign.setText(QStringLiteral("日本"));
        const QPointF at(entry->viewport()->rect().center());
        QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &foreign, Qt::LeftButton, {});
        QApplication::sendEvent(entry->viewport(), &enter);
        QDropEvent dropped(at, Qt::CopyAction, &foreign, Qt::LeftButton, {});
        QApplication::sendEvent(entry->viewport(), &dropped);
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("ж"));
        QApplication::sendEvent(entry, &composed);
        QCOMPARE(entry->text(), QStringLiteral("g-ä€ "));
        entry->setText(QString());
        paste(entry, QStringLiteral("Ü\nb\r\nc"));
        QCOMPARE(entry->text(), QStringLiteral("Ü\r\nb\r\nc"));
        // Control codes keep their place; positions count CR LF as two.
        const QString text = QStringLiteral("a\rb\nc\r\nd\te\x01\x7f\x1b");
        entry->setText(text);
        QCOMPARE(entry->text(), text);
        entry->setCaretPosition(7);
        QCOMPARE(entry->caretPosition(), qsizetype(7));
    }

    void insertionFromTheCharacterTable_data()
    {
        QTest::addColumn<bool>("hex");
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("selStart");
        QTest::addColumn<int>("selEnd");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("caret");
        QTest::newRow("text middle") << false << "xyz" << 1 << 1 << 0x41 << "xAyz" << 2;
        QTest::newRow("text before a backwards selection")
            << false << "xyz" << 3 << 1 << 0x0D << "x\ryz" << 2;
        QTest::newRow("text euro") << false << "xy" << 2 << 2 << 0x80 << "xy€" << 3;
        QTest::newRow("text without item") << false << "xy" << 1 << 1 << -1 << "xy" << 1;
        QTest::newRow("hex before selection")
            << true << "41 43 " << 3 << 6 << 0x42 << "41 42 43 " << 6;
        QTest::newRow("hex off a group boundary")
            << true << "41 " << 1 << 1 << 0xFF << "4FF 1 " << 4;
        QTest::newRow("hex without item") << true << "78 79 " << 3 << 3 << -1 << "78  79 " << 6;
    }
    void insertionFromTheCharacterTable()
    {
        QFETCH(bool, hex);
        QFETCH(QString, before);
        QFETCH(int, selStart);
        QFETCH(int, selEnd);
        QFETCH(int, row);
        QFETCH(QString, after);
        QFETCH(int, caret);
        if (hex)
            w->OptionHex->click();
        EightBitEdit *entry = hex ? w->Text2 : w->Text1;
        entry->setText(before);
        select(entry, selStart, selEnd);
        w->Command1->setFocus();
        w->List1->setCurrentRow(row);
        if (row < 0)
            w->List1->clearSelection();
        w->Command3->click();
        QCOMPARE(entry->text(), after);
        QCOMPARE(entry->caretPosition(), qsizetype(caret));
        QCOMPARE(entry->hasFocus(), after != before);
    }

    void doubleClickOnTheTableInsertsBeyond32767Characters()
    {
        w->Text1->setText(QString(40000, QLatin1Char('x')));
        w->Text1->setCaretPosition(39000);
        QListWidgetItem *item = w->List1->item(0x41);
        w->List1->scrollToItem(item);
        const QPoint at = w->List1->visualItemRect(item).center();
        QTest::mouseClick(w->List1->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(w->List1->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(w->Text1->text().size(), 40001);
        QCOMPARE(w->Text1->text().at(39000), QLatin1Char('A'));
        QCOMPARE(w->Text1->caretPosition(), qsizetype(39001));
    }

    // Every code but 0, twice: the entry keeps what was sent, and each
    // send echoes the text and the hidden hex entry as they stand.
    void sendingTextSendsEveryCodeAndKeepsTheEntry()
    {
        QVERIFY(m_f->openPort());
        const QByteArray all = everyByteValue(1);
        w->Text1->setText(Cp1252::toUnicode(all));
        w->Command2->click();
        w->Command2->click();
        QCOMPARE(m_f->arrived(2 * all.size()), all + all);
        QCOMPARE(sentText(), Cp1252::toUnicode(all + all));
        QCOMPARE(sentHex(), QString());
        QCOMPARE(w->Text1->text(), Cp1252::toUnicode(all));
        QVERIFY(m_f->dialogs.messages.isEmpty());
    }

    void sendingHexNormalisesAndEchoesBothEntriesAsTheyStand()
    {
        QVERIFY(m_f->openPort());
        w->Text1->setText(QStringLiteral("AB"));
        w->OptionHex->click();
        w->Text2->setText(QStringLiteral(" 43 0d"));
        w->Command2->click();
        QCOMPARE(w->Text2->text(), QStringLiteral("43 0d "));
        QCOMPARE(m_f->arrived(2), QByteArray("C\r"));
        QCOMPARE(sentText(), QStringLiteral("AB"));
        QCOMPARE(sentHex(), QStringLiteral("43 0d "));
    }

    // A closed port is reported before the entry is looked at; an empty
    // entry then says nothing; a format error leaves the entry normalised.
    // Nothing is sent or echoed.
    void closedPortEmptyEntryOrFormatErrorSendNothing()
    {
        w->Command2->click();
        w->Text1->setText(QStringLiteral("AB"));
        w->Command2->click();
        QVERIFY(m_f->openPort());
        w->OptionHex->click();
        w->Text2->setText(QString());
        w->Command2->click();
        w->OptionText->click();
        w->Command2->click();
        w->OptionHex->click();
        w->Text2->setText(QStringLiteral("41 4"));
        w->Command2->click();
        const QString noConnection = QStringLiteral("Es besteht keine serielle Verbindung.");
        QCOMPARE(m_f->dialogs.messageTexts(),
            QStringList({ noConnection, noConnection,
                QStringLiteral("Farmatfehler bei der Hexwerteingabe") }));
        for (const RecordingDialogs::Box &box : m_f->dialogs.messages)
            QCOMPARE(box.title, QStringLiteral("Tavel"));
        QCOMPARE(w->Text2->text(), QStringLiteral("41 4 "));
        QCOMPARE(m_f->device.readFor(200), QByteArray());
        QVERIFY(!m_f->sent.loaded());
    }

    void loeschenEmptiesBothAndSchliessenKeepsEverything()
    {
        w->Text1->setText(QStringLiteral("AB"));
        w->OptionHex->click();
        w->Command1->click();
        QVERIFY(!w->frame()->isVisible());
        QCOMPARE(&m_f->eingabe.show(), w);
        QVERIFY(w->isHexMode());
        QCOMPARE(w->Text2->text(), QStringLiteral("41 42 "));
        QCOMPARE(w->Text1->text(), QStringLiteral("AB"));
        w->CmdLöschen->click();
        QVERIFY(w->Text1->isEmpty() && w->Text2->isEmpty() && w->isHexMode());
    }
};

QTEST_MAIN(TestFrmEingabe)
#include "tst_frmeingabe.moc"
