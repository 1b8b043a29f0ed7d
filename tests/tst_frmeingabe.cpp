#include "base/module1.h"
#include "ptydevice.h"
#include "recordingdialogs.h"
#include "serial/mscomm.h"
#include "text/cp1252.h"
#include "windows/eightbitedit.h"
#include "windows/frmeingabe.h"
#include "windows/frmsendefenster.h"
#include "windows/traffic/trafficview.h"
#include "windows/transmitter.h"

#include <QApplication>
#include <QClipboard>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const QString kNoConnection = QStringLiteral("Es besteht keine serielle Verbindung.");
const QString kFormatError = QStringLiteral("Farmatfehler bei der Hexwerteingabe");

// Drives an entry's paste as the context menu's "Paste" does.
void paste(EightBitEdit *entry, const QString &text)
{
    QApplication::clipboard()->setText(text);
    entry->paste();
}

// Types each character as a key that produces it; QTest's own typing knows
// only ASCII.
void type(QWidget *target, const QString &text)
{
    for (QChar ch : text) {
        const int key = ch.unicode() < 128 ? ch.toUpper().unicode() : int(Qt::Key_unknown);
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(target, &release);
    }
}

void drop(EightBitEdit *entry, const QMimeData &data)
{
    const QPointF at(entry->viewport()->rect().center());
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(entry->viewport(), &enter);
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(entry->viewport(), &dropped);
}

} // namespace

class TestFrmEingabe : public QObject
{
    Q_OBJECT

private:
    PtyDevice m_device;
    std::unique_ptr<MSComm> m_comm;
    std::unique_ptr<RecordingDialogs> m_dialogs;
    std::unique_ptr<Module1> m_state;
    std::unique_ptr<FrmSendefenster> m_sent;
    std::unique_ptr<Transmitter> m_transmitter;
    std::unique_ptr<FrmEingabe> m_window;

    void openPort()
    {
        qputenv("TAVEL_COM1", QFile::encodeName(m_device.slavePath()));
        QVERIFY(!m_comm->setCommPort(1));
        QVERIFY(!m_comm->setSettings(QStringLiteral("9600,N,8,1")));
        m_comm->setInputMode(1);
        QVERIFY(!m_comm->setPortOpen(true));
    }

    void selectItem(int row) { m_window->List1->setCurrentRow(row); }

    // What reached the device; nothing more arrives within a short wait.
    QByteArray received(qint64 expected)
    {
        QByteArray bytes = m_device.read(expected, 3000);
        bytes += m_device.readFor(100);
        return bytes;
    }

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_device.isOpen(), qPrintable(m_device.errorString())); }

    void init()
    {
        m_comm = std::make_unique<MSComm>();
        m_dialogs = std::make_unique<RecordingDialogs>();
        m_state = std::make_unique<Module1>();
        m_sent = std::make_unique<FrmSendefenster>(*m_state);
        m_transmitter = std::make_unique<Transmitter>(
            *m_comm, [this]() -> FrmSendefenster & { return *m_sent; });
        m_window = std::make_unique<FrmEingabe>(*m_state, *m_transmitter);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        m_device.readFor(0);
    }

    void cleanup()
    {
        m_window.reset();
        m_transmitter.reset();
        m_sent.reset();
        m_comm.reset();
        m_dialogs.reset();
        m_state.reset();
        m_device.readFor(50);
    }

    void startsInTextModeWithItsControls()
    {
        FrmEingabe &w = *m_window;
        QCOMPARE(w.windowTitle(), QStringLiteral("Eingabefenster"));
        QCOMPARE(w.positionIndex(), WindowIndex::kEingabe);
        QCOMPARE(w.Label2[0]->text(), QStringLiteral("S&onderzeichen"));
        QCOMPARE(w.Label2[0]->buddy(), w.List1);
        QCOMPARE(w.Label2[1]->text(), QStringLiteral("Format"));
        QCOMPARE(w.Label2[2]->text(),
            QStringLiteral("Hexwerte zweistellig und mit Leerzeichen getrennt eingeben"));
        QCOMPARE(w.OptionText->text(), QStringLiteral("Text"));
        QCOMPARE(w.OptionHex->text(), QStringLiteral("Hex"));
        QCOMPARE(w.Command3->text(), QStringLiteral("&Einfügen"));
        QCOMPARE(w.Command2->text(), QStringLiteral("Se&nden"));
        QCOMPARE(w.CmdLöschen->text(), QStringLiteral("&Löschen"));
        QCOMPARE(w.Command1->text(), QStringLiteral("&Schließen"));
        QVERIFY(w.OptionText->isChecked() && !w.OptionHex->isChecked());
        QVERIFY(w.Text1->isVisible() && !w.Text2->isVisible() && !w.Label2[2]->isVisible());
        QVERIFY(w.Text1->isEmpty() && w.Text2->isEmpty());
        QCOMPARE(w.Text2->geometry(), w.Text1->geometry());
        QCOMPARE(w.focusWidget(), w.Text1);
        for (EightBitEdit *entry : { w.Text1, w.Text2 }) {
            QCOMPARE(entry->font().families().first(), QStringLiteral("Courier New"));
            QCOMPARE(entry->font().pointSizeF(), 9.75);
            QCOMPARE(entry->palette().color(QPalette::Base), QColor(255, 253, 221));
            QCOMPARE(entry->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            QVERIFY(!entry->accessibleName().isEmpty());
        }
        QCOMPARE(w.List1->count(), 256);
        QCOMPARE(w.List1->item(0)->text(), QStringLiteral("00h ; 0"));
        QCOMPARE(w.List1->item(32)->text(), QStringLiteral("20h ; 32, Space "));
        QCOMPARE(w.List1->item(255)->text(), QStringLiteral("FFh ; 255, ÿ"));
        for (QWidget *control : w.findChildren<QWidget *>()) {
            if (control->parentWidget() == &w)
                QVERIFY2(!control->accessibleName().isEmpty(), control->metaObject()->className());
        }
    }

    void layoutPutsTableRightAndButtonsUnderTheEntry()
    {
        FrmEingabe &w = *m_window;
        const QRect entry = w.Text1->geometry();
        QVERIFY(w.OptionText->geometry().bottom() < entry.top());
        QVERIFY(w.OptionText->geometry().left() > w.Label2[1]->geometry().left());
        QVERIFY(w.OptionHex->geometry().left() > w.OptionText->geometry().left());
        QVERIFY(w.Label2[2]->geometry().left() > w.OptionHex->geometry().left());
        QVERIFY(w.List1->geometry().left() > entry.right());
        QVERIFY(w.Label2[0]->geometry().bottom() < w.List1->geometry().top());
        QVERIFY(w.Command3->geometry().top() > w.List1->geometry().bottom());
        for (QPushButton *b : { w.Command2, w.CmdLöschen, w.Command1 })
            QVERIFY(b->geometry().top() > entry.bottom());
        QVERIFY(w.CmdLöschen->geometry().left() > w.Command2->geometry().right());
        QVERIFY(w.Command1->geometry().left() > w.CmdLöschen->geometry().right());
        QVERIFY(w.rect().contains(w.List1->geometry()));
        for (QLabel *label : w.Label2)
            QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(label->text()));
        QVERIFY(w.rect().contains(w.Command1->geometry()));
    }

    void switchingToHexWritesGroupsAndBack()
    {
        m_window->Text1->setText(QStringLiteral("AB"));
        m_window->OptionHex->click();
        QVERIFY(m_window->isHexMode());
        QVERIFY(!m_window->Text1->isVisible() && m_window->Text2->isVisible());
        QVERIFY(m_window->Label2[2]->isVisible());
        QCOMPARE(m_window->Text2->text(), QStringLiteral("41 42 "));
        m_window->OptionText->click();
        QVERIFY(m_window->Text1->isVisible() && !m_window->Text2->isVisible());
        QVERIFY(!m_window->Label2[2]->isVisible());
        QCOMPARE(m_window->Text1->text(), QStringLiteral("AB"));
    }

    void lineEndTypedIntoTextBecomesTwoGroups()
    {
        m_window->Text1->setFocus();
        QTest::keyClicks(m_window->Text1, QStringLiteral("x"));
        QTest::keyClick(m_window->Text1, Qt::Key_Return);
        QTest::keyClicks(m_window->Text1, QStringLiteral("y"));
        QCOMPARE(m_window->Text1->text(), QStringLiteral("x\r\ny"));
        m_window->OptionHex->click();
        QCOMPARE(m_window->Text2->text(), QStringLiteral("78 0D 0A 79 "));
    }

    void groups00VanishWhenSwitchingToText()
    {
        m_window->OptionHex->click();
        m_window->Text2->setText(QStringLiteral("41 00 42 "));
        m_window->OptionText->click();
        QCOMPARE(m_window->Text1->text(), QStringLiteral("AB"));
    }

    void switchingWithEmptyEntryEmptiesTheOther()
    {
        m_window->OptionHex->click();
        m_window->Text1->setText(QStringLiteral("stale"));
        m_window->OptionText->click();
        QCOMPARE(m_window->Text1->text(), QString());
        m_window->Text2->setText(QStringLiteral("41 "));
        m_window->Text1->setText(QString());
        m_window->OptionHex->click();
        QCOMPARE(m_window->Text2->text(), QString());
    }

    void clickOnTheSelectedModeConvertsNothing()
    {
        m_window->Text1->setText(QStringLiteral("AB"));
        m_window->OptionHex->click();
        m_window->Text2->setText(QStringLiteral("43 "));
        m_window->OptionHex->click();
        QCOMPARE(m_window->Text2->text(), QStringLiteral("43 "));
        m_window->OptionText->click();
        m_window->Text1->setText(QStringLiteral("edited"));
        m_window->OptionText->click();
        QCOMPARE(m_window->Text1->text(), QStringLiteral("edited"));
    }

    void keyFilterOfTheHexEntry_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("after");
        const auto row = [](const char *name, const char *before, int key, QString typed,
                             const char *after, int mods = Qt::NoModifier) {
            QTest::newRow(name) << QString::fromLatin1(before) << key << mods << typed
                                << QString::fromLatin1(after);
        };
        row("digit", "4", Qt::Key_1, QStringLiteral("1"), "41");
        row("upper-case letter", "", Qt::Key_F, QStringLiteral("F"), "F");
        row("a becomes A", "4", Qt::Key_A, QStringLiteral("a"), "4A");
        row("space", "41", Qt::Key_Space, QStringLiteral(" "), "41 ");
        row("g is discarded", "41 ", Qt::Key_G, QStringLiteral("g"), "41 ");
        row("minus is discarded", "41 ", Qt::Key_Minus, QStringLiteral("-"), "41 ");
        row("Enter is discarded", "41 ", Qt::Key_Return, QStringLiteral("\r"), "41 ");
        row("Backspace deletes", "41 ", Qt::Key_Backspace, QStringLiteral("\b"), "41");
        row("umlaut is discarded", "41 ", Qt::Key_Adiaeresis, QStringLiteral("ä"), "41 ");
        row("Ctrl+V is discarded", "41 ", Qt::Key_V, QStringLiteral("v"), "41 ",
            Qt::ControlModifier);
        row("Ctrl+A is discarded", "41 ", Qt::Key_A, QStringLiteral("a"), "41 ",
            Qt::ControlModifier);
    }
    void keyFilterOfTheHexEntry()
    {
        QFETCH(QString, before);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, typed);
        QFETCH(QString, after);
        QApplication::clipboard()->setText(QStringLiteral("ZZ"));
        m_window->OptionHex->click();
        m_window->Text2->setText(before);
        m_window->Text2->setCaretPosition(before.size());
        m_window->Text2->setFocus();
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), typed);
        QApplication::sendEvent(m_window->Text2, &press);
        QCOMPARE(m_window->Text2->text(), after);
    }

    void keysThatTypeNothingPassTheHexFilter()
    {
        m_window->OptionHex->click();
        m_window->Text2->setText(QStringLiteral("41 42 "));
        m_window->Text2->setCaretPosition(0);
        QTest::keyClick(m_window->Text2, Qt::Key_Right);
        QTest::keyClick(m_window->Text2, Qt::Key_Delete);
        QCOMPARE(m_window->Text2->text(), QStringLiteral("4 42 "));
        QCOMPARE(m_window->Text2->caretPosition(), qsizetype(1));
    }

    void pasteIntoTheHexEntryIsNotFiltered()
    {
        m_window->OptionHex->click();
        paste(m_window->Text2, QStringLiteral("xyz"));
        QCOMPARE(m_window->Text2->text(), QStringLiteral("xyz"));
    }

    void textEntryTakesEveryTypedCharacter()
    {
        m_window->Text1->setFocus();
        type(m_window->Text1, QStringLiteral("g-ä€ "));
        QCOMPARE(m_window->Text1->text(), QStringLiteral("g-ä€ "));
    }

    void charactersOutsideWindows1252AreRefused()
    {
        EightBitEdit *entry = m_window->Text1;
        entry->setFocus();
        type(entry, QStringLiteral("aΩ"));
        QCOMPARE(entry->text(), QStringLiteral("a"));
        paste(entry, QStringLiteral("b→c"));
        QCOMPARE(entry->text(), QStringLiteral("a"));
        QMimeData foreign;
        foreign.setText(QStringLiteral("日本"));
        drop(entry, foreign);
        QCOMPARE(entry->text(), QStringLiteral("a"));
        QMimeData latin;
        latin.setText(QStringLiteral("é"));
        drop(entry, latin);
        QCOMPARE(entry->text().size(), 2);
        entry->setText(QStringLiteral("a"));
        entry->setCaretPosition(1);
        paste(entry, QStringLiteral("Ünïcödé ok"));
        QCOMPARE(entry->text(), QStringLiteral("aÜnïcödé ok"));
        QInputMethodEvent composed;
        composed.setCommitString(QStringLiteral("ж"));
        QApplication::sendEvent(entry, &composed);
        QCOMPARE(entry->text(), QStringLiteral("aÜnïcödé ok"));
        QVERIFY(Cp1252::isEncodable(entry->text()));
    }

    void pastedLineEndsBecomeCrLf()
    {
        paste(m_window->Text1, QStringLiteral("a\nb\r\nc"));
        QCOMPARE(m_window->Text1->text(), QStringLiteral("a\r\nb\r\nc"));
    }

    void controlCodesKeepTheirPlace()
    {
        const QString text = QStringLiteral("a\rb\nc\r\nd\te\x01\x7f\x1b");
        m_window->Text1->setText(text);
        QCOMPARE(m_window->Text1->text(), text);
        m_window->Text1->setCaretPosition(7);
        QCOMPARE(m_window->Text1->caretPosition(), qsizetype(7));
        m_window->Text1->setCaretPosition(5);
        QCOMPARE(m_window->Text1->caretPosition(), qsizetype(5));
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
        QTest::newRow("text start") << false << "xyz" << 0 << 0 << 0x41 << "Axyz" << 1;
        QTest::newRow("text end") << false << "xyz" << 3 << 3 << 0x41 << "xyzA" << 4;
        QTest::newRow("text empty") << false << "" << 0 << 0 << 0x41 << "A" << 1;
        QTest::newRow("text before selection") << false << "xyz" << 1 << 3 << 0x41 << "xAyz" << 2;
        QTest::newRow("text selection backwards")
            << false << "xyz" << 3 << 1 << 0x41 << "xAyz" << 2;
        QTest::newRow("text line end") << false << "xy" << 1 << 1 << 0x0D << "x\ry" << 2;
        QTest::newRow("text euro") << false << "xy" << 2 << 2 << 0x80 << "xy€" << 3;
        QTest::newRow("hex middle") << true << "41 43 " << 3 << 3 << 0x42 << "41 42 43 " << 6;
        QTest::newRow("hex start") << true << "41 " << 0 << 0 << 0x0D << "0D 41 " << 3;
        QTest::newRow("hex end") << true << "41 " << 3 << 3 << 0xFF << "41 FF " << 6;
        QTest::newRow("hex off a group boundary")
            << true << "41 " << 1 << 1 << 0x42 << "442 1 " << 4;
        QTest::newRow("hex before selection")
            << true << "41 43 " << 3 << 6 << 0x42 << "41 42 43 " << 6;
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
            m_window->OptionHex->click();
        EightBitEdit *entry = hex ? m_window->Text2 : m_window->Text1;
        entry->setText(before);
        QTextCursor cursor = entry->textCursor();
        cursor.setPosition(selStart);
        cursor.setPosition(selEnd, QTextCursor::KeepAnchor);
        entry->setTextCursor(cursor);
        m_window->Command1->setFocus();
        selectItem(row);
        m_window->Command3->click();
        QCOMPARE(entry->text(), after);
        QCOMPARE(entry->caretPosition(), qsizetype(caret));
        QVERIFY(entry->hasFocus());
    }

    void doubleClickOnTheTableInserts()
    {
        m_window->Text1->setText(QStringLiteral("xyz"));
        m_window->Text1->setCaretPosition(1);
        QListWidgetItem *item = m_window->List1->item(0x41);
        m_window->List1->scrollToItem(item);
        QTest::mouseClick(m_window->List1->viewport(), Qt::LeftButton, {},
            m_window->List1->visualItemRect(item).center());
        QTest::mouseDClick(m_window->List1->viewport(), Qt::LeftButton, {},
            m_window->List1->visualItemRect(item).center());
        QCOMPARE(m_window->Text1->text(), QStringLiteral("xAyz"));
        QCOMPARE(m_window->Text1->caretPosition(), qsizetype(2));
    }

    void insertWithoutSelectedItem()
    {
        m_window->Text1->setText(QStringLiteral("xy"));
        m_window->Text1->setCaretPosition(1);
        m_window->List1->clearSelection();
        m_window->Command3->click();
        QCOMPARE(m_window->Text1->text(), QStringLiteral("xy"));
        m_window->OptionHex->click();
        QCOMPARE(m_window->Text2->text(), QStringLiteral("78 79 "));
        m_window->Text2->setCaretPosition(3);
        m_window->List1->clearSelection();
        m_window->Command3->click();
        QCOMPARE(m_window->Text2->text(), QStringLiteral("78  79 "));
        QCOMPARE(m_window->Text2->caretPosition(), qsizetype(6));
    }

    void entriesAreNotLimitedTo32767Characters()
    {
        const QString big(40000, QLatin1Char('x'));
        m_window->Text1->setText(big);
        m_window->Text1->setCaretPosition(39000);
        selectItem(0x41);
        m_window->Command3->click();
        QCOMPARE(m_window->Text1->text().size(), 40001);
        QCOMPARE(m_window->Text1->text().at(39000), QLatin1Char('A'));
        QCOMPARE(m_window->Text1->caretPosition(), qsizetype(39001));
    }

    void sendingTextWithoutEverSwitchingEchoesNoHex()
    {
        openPort();
        m_window->Text1->setText(QStringLiteral("AB\r\n"));
        m_window->Command2->click();
        QCOMPARE(received(4), QByteArray("AB\r\n"));
        QCOMPARE(m_sent->Text1->text(), QStringLiteral("AB\r\n"));
        QCOMPARE(m_sent->Text2->text(), QString());
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(m_window->Text1->text(), QStringLiteral("AB\r\n"));
    }

    void sendingAgainSendsTheSameAgain()
    {
        openPort();
        m_window->Text1->setText(QStringLiteral("ab"));
        m_window->Command2->click();
        m_window->Command2->click();
        QCOMPARE(received(4), QByteArray("abab"));
        QCOMPARE(m_sent->Text1->text(), QStringLiteral("abab"));
    }

    void sendingEveryCharacterLeavesItsCode()
    {
        openPort();
        QByteArray all;
        for (int b = 1; b < 256; ++b)
            all.append(char(b));
        m_window->Text1->setText(Cp1252::toUnicode(all));
        m_window->Command2->click();
        QCOMPARE(received(all.size()), all);
    }

    void sendingHexNormalisesAndEchoesBothEntries()
    {
        openPort();
        m_window->Text1->setText(QStringLiteral("AB"));
        m_window->OptionHex->click();
        m_window->Text2->setText(QStringLiteral(" 41 42"));
        m_window->Command2->click();
        QCOMPARE(m_window->Text2->text(), QStringLiteral("41 42 "));
        QCOMPARE(received(2), QByteArray("AB"));
        QCOMPARE(m_sent->Text2->text(), QStringLiteral("41 42 "));
        QCOMPARE(m_sent->Text1->text(), QStringLiteral("AB"));
    }

    void sendingHexEchoesTheHiddenTextAsItStands()
    {
        openPort();
        m_window->OptionHex->click();
        m_window->Text2->setText(QStringLiteral("43 "));
        m_window->Command2->click();
        QCOMPARE(received(1), QByteArray("C"));
        QCOMPARE(m_sent->Text1->text(), QString());
        QCOMPARE(m_sent->Text2->text(), QStringLiteral("43 "));
    }

    void hexEntriesThatSendBytes_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("00 sends one zero byte") << QStringLiteral("00 ") << QByteArray(1, '\0');
        QTest::newRow("two-space group sends 0")
            << QStringLiteral("41    42 ") << QByteArray("A\0B", 3);
        QTest::newRow("lower case") << QStringLiteral("0d 0a") << QByteArray("\r\n");
    }
    void hexEntriesThatSendBytes()
    {
        QFETCH(QString, entry);
        QFETCH(QByteArray, bytes);
        openPort();
        m_window->OptionHex->click();
        m_window->Text2->setText(entry);
        m_window->Command2->click();
        QCOMPARE(received(bytes.size()), bytes);
        QVERIFY(m_dialogs->messages.isEmpty());
    }

    void hexFormatErrorsSendNothing_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("normalised");
        QTest::newRow("41 4") << QStringLiteral("41 4") << QStringLiteral("41 4 ");
        QTest::newRow("four digits") << QStringLiteral("4142") << QStringLiteral("4142 ");
        QTest::newRow("spaces only") << QStringLiteral("   ") << QStringLiteral(" ");
    }
    void hexFormatErrorsSendNothing()
    {
        QFETCH(QString, entry);
        QFETCH(QString, normalised);
        openPort();
        m_window->OptionHex->click();
        m_window->Text2->setText(entry);
        m_window->Command2->click();
        QCOMPARE(m_dialogs->messages.size(), 1);
        QCOMPARE(m_dialogs->messages[0].text, kFormatError);
        QCOMPARE(m_dialogs->messages[0].title, QStringLiteral("Tavel"));
        QCOMPARE(m_window->Text2->text(), normalised);
        QCOMPARE(m_device.readFor(200), QByteArray());
        QCOMPARE(m_sent->Text1->text(), QString());
        QCOMPARE(m_sent->Text2->text(), QString());
    }

    void emptyEntrySendsNothingSilently()
    {
        openPort();
        m_window->Command2->click();
        m_window->Text1->setText(QStringLiteral("x"));
        m_window->OptionHex->click();
        m_window->Text2->setText(QString());
        m_window->Command2->click();
        QVERIFY(m_dialogs->messages.isEmpty());
        QCOMPARE(m_device.readFor(200), QByteArray());
        QCOMPARE(m_sent->Text1->text(), QString());
    }

    void closedPortIsReportedFirst()
    {
        m_window->Command2->click();
        m_window->Text1->setText(QStringLiteral("AB"));
        m_window->Command2->click();
        QCOMPARE(m_dialogs->messages.size(), 2);
        for (const RecordingDialogs::Box &box : m_dialogs->messages) {
            QCOMPARE(box.text, kNoConnection);
            QCOMPARE(box.title, QStringLiteral("Tavel"));
        }
        QCOMPARE(m_sent->Text1->text(), QString());
        QCOMPARE(m_window->Text1->text(), QStringLiteral("AB"));
    }

    void loeschenEmptiesBothEntriesInEitherMode()
    {
        m_window->Text1->setText(QStringLiteral("AB"));
        m_window->OptionHex->click();
        m_window->CmdLöschen->click();
        QVERIFY(m_window->Text1->isEmpty() && m_window->Text2->isEmpty());
        QVERIFY(m_window->isHexMode());
    }

    void schliessenHidesAndKeepsEverything()
    {
        m_window->Text1->setText(QStringLiteral("AB"));
        m_window->OptionHex->click();
        m_window->Command1->click();
        QVERIFY(m_window->isHidden());
        m_window->show();
        QVERIFY(m_window->isHexMode());
        QCOMPARE(m_window->Text2->text(), QStringLiteral("41 42 "));
        QCOMPARE(m_window->Text1->text(), QStringLiteral("AB"));
    }
};

QTEST_MAIN(TestFrmEingabe)
#include "tst_frmeingabe.moc"
