#include "text/cp1252.h"
#include "traffic/trafficlog.h"
#include "windows/traffic/trafficview.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>

using Rendering = TrafficView::Rendering;

namespace {

QFont trafficFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(9.75);
    return font;
}

// A view shown on screen with the window's font, exactly columns cells wide.
void showWithColumns(TrafficView &view, int columns, int rows = 10)
{
    view.setFont(trafficFont());
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const int cell = view.cellRect(0).width();
    const int extraWidth = view.width() - view.viewport()->width();
    const int extraHeight = view.height() - view.viewport()->height();
    const int line = view.cellRect(0).height();
    view.resize(extraWidth + 4 + columns * cell + cell / 2, extraHeight + rows * line);
    QCOMPARE(view.columns(), columns);
}

// Where each row on screen starts, found by pointing at its first cell.
QList<qint64> rowStartsOnScreen(const TrafficView &view)
{
    QList<qint64> starts;
    const int line = view.cellRect(0).height();
    for (qint64 row = 0; row < std::min<qint64>(view.rowCount(), view.visibleRowCount()); ++row)
        starts.append(view.positionAt(QPoint(3, int(row) * line + line / 2)));
    return starts;
}

QByteArray mixedBytes(qint64 size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    auto *random = QRandomGenerator::global();
    for (char &c : bytes) {
        const quint32 roll = random->bounded(100);
        c = roll < 3 ? '\r' : roll < 6 ? '\n' : roll < 8 ? '\0' : char(random->bounded(256));
    }
    return bytes;
}

QString asReceivedText(const QByteArray &bytes)
{
    QString text = Cp1252::toUnicode(bytes);
    text.replace(QChar(0), QChar(u'.'));
    return text;
}

} // namespace

class TestTrafficView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wrapsAtViewWidth_data();
    void wrapsAtViewWidth();
    void rewrapsWhenResized();
    void selectionCopiesExactCharacters_data();
    void selectionCopiesExactCharacters();
    void mouseDragShiftClickAndDoubleClickSelect();
    void selectAllOnLargeLogCopiesEverything();
    void moveCaretToEndShowsLastRow();
    void keysMoveCaretAndScroll();
    void typingChangesNothing();
    void accessibleTextEqualsLogText();
    void accessibleSelectionAndCaretFollowView();
    void contextMenuOffersCopyAndSelectAll();
    void twoViewsFollowOneLogAndItsClear();
    void paintsOnlyRowsOnScreen();
    void viewOutlivesItsLog();
};

void TestTrafficView::wrapsAtViewWidth_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<Rendering>("rendering");
    QTest::addColumn<int>("columns");
    QTest::addColumn<QList<qint64>>("rowStarts");

    QTest::newRow("text wraps a long line")
        << QByteArray("abcdefghijkl\r\nmn") << Rendering::Characters << 5
        << QList<qint64> { 0, 5, 10, 14 };
    QTest::newRow("text keeps short lines")
        << QByteArray("ab\ncd\ref") << Rendering::Characters << 5 << QList<qint64> { 0, 3, 6 };
    QTest::newRow("hex wraps after whole groups")
        << QByteArray("ABCDE") << Rendering::Hex << 7 << QList<qint64> { 0, 6, 12 };
    QTest::newRow("hex line breaks do not break rows")
        << QByteArray("A\r\nB\r\n") << Rendering::Hex << 12 << QList<qint64> { 0, 12 };
}

void TestTrafficView::wrapsAtViewWidth()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Rendering, rendering);
    QFETCH(int, columns);
    QFETCH(QList<qint64>, rowStarts);

    TrafficLog log;
    TrafficView view;
    view.setLog(&log, rendering);
    showWithColumns(view, columns);
    log.append(bytes);
    QCOMPARE(view.rowCount(), rowStarts.size());
    QCOMPARE(rowStartsOnScreen(view), rowStarts);
}

void TestTrafficView::rewrapsWhenResized()
{
    TrafficLog log;
    log.append(QByteArray(100, 'x'));
    TrafficView view;
    view.setLog(&log, Rendering::Characters);
    showWithColumns(view, 10);
    QCOMPARE(view.rowCount(), 10);
    showWithColumns(view, 25);
    QCOMPARE(view.rowCount(), 4);
    QCOMPARE(rowStartsOnScreen(view), (QList<qint64> { 0, 25, 50, 75 }));
}

void TestTrafficView::selectionCopiesExactCharacters_data()
{
    QTest::addColumn<Rendering>("rendering");
    QTest::addColumn<qint64>("from");
    QTest::addColumn<qint64>("to");
    QTest::addColumn<QString>("copied");

    // The bytes 00 41 0D 0A FF 09 E4
    QTest::newRow("text with zero, line end and tab")
        << Rendering::Characters << 0LL << 7LL << QString::fromUtf8(".A\r\n\u00FF\t\u00E4");
    QTest::newRow("text across the line end only")
        << Rendering::Characters << 2LL << 4LL << QStringLiteral("\r\n");
    QTest::newRow("hex whole") << Rendering::Hex << 0LL << 21LL
                               << QStringLiteral("00 41 0D 0A FF 09 E4 ");
    QTest::newRow("hex part of groups") << Rendering::Hex << 4LL << 8LL << QStringLiteral("1 0D");
}

void TestTrafficView::selectionCopiesExactCharacters()
{
    QFETCH(Rendering, rendering);
    QFETCH(qint64, from);
    QFETCH(qint64, to);
    QFETCH(QString, copied);

    TrafficLog log;
    log.append(QByteArray("\x00\x41\x0D\x0A\xFF\x09\xE4", 7));
    TrafficView view;
    view.setLog(&log, rendering);
    view.setZeroByte(TrafficView::ZeroByte::FullStop);
    view.setSelection(to, from);
    QCOMPARE(view.selectedText(), copied);
    QApplication::clipboard()->clear();
    view.copy();
    QCOMPARE(QApplication::clipboard()->text(), copied);
}

void TestTrafficView::mouseDragShiftClickAndDoubleClickSelect()
{
    TrafficLog log;
    log.append("Hallo Welt\r\nzweite Zeile");
    TrafficView view;
    view.setLog(&log, Rendering::Characters);
    showWithColumns(view, 40);
    const auto pointAt = [&view](qint64 position) {
        const QRect cell = view.cellRect(position);
        return QPoint(cell.left() + 1, cell.center().y());
    };
    QWidget *surface = view.viewport();
    QTest::mousePress(surface, Qt::LeftButton, {}, pointAt(6));
    QTest::mouseMove(surface, pointAt(16));
    QTest::mouseRelease(surface, Qt::LeftButton, {}, pointAt(16));
    QCOMPARE(view.selectedText(), QStringLiteral("Welt\r\nzwei"));

    QTest::mouseClick(surface, Qt::LeftButton, Qt::ShiftModifier, pointAt(19));
    QCOMPARE(view.selectedText(), QStringLiteral("Welt\r\nzweite "));

    QTest::mouseDClick(surface, Qt::LeftButton, {}, pointAt(14));
    QCOMPARE(view.selectedText(), QStringLiteral("zweite"));
}

void TestTrafficView::selectAllOnLargeLogCopiesEverything()
{
    const QByteArray bytes = mixedBytes(4 << 20);
    TrafficLog log;
    for (qsizetype done = 0; done < bytes.size(); done += 4096)
        log.append(
            QByteArrayView(bytes).sliced(done, std::min<qsizetype>(4096, bytes.size() - done)));
    TrafficView text;
    text.setLog(&log, Rendering::Characters);
    text.setZeroByte(TrafficView::ZeroByte::FullStop);
    showWithColumns(text, 60);
    QTest::keyClick(&text, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&text, Qt::Key_C, Qt::ControlModifier);
    QVERIFY(QApplication::clipboard()->text() == asReceivedText(bytes));

    TrafficView hex;
    hex.setLog(&log, Rendering::Hex);
    hex.selectAll();
    hex.copy();
    const QString copied = QApplication::clipboard()->text();
    QCOMPARE(copied.size(), bytes.size() * 3);
    QVERIFY(copied == QString::fromLatin1(bytes.toHex(' ').toUpper() + ' '));
}

void TestTrafficView::moveCaretToEndShowsLastRow()
{
    TrafficLog log;
    TrafficView view;
    view.setLog(&log, Rendering::Characters);
    showWithColumns(view, 20, 5);
    for (int i = 0; i < 200; ++i) {
        log.append(QByteArray::number(i) + "\r\n");
        view.moveCaretToEnd();
    }
    log.append("last");
    view.moveCaretToEnd();
    QCOMPARE(view.cursorPosition(), log.size());
    QCOMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    QCOMPARE(view.firstVisibleRow() + view.visibleRowCount(), view.rowCount());
    const QRect caret = view.cellRect(view.cursorPosition());
    QVERIFY(view.viewport()->rect().contains(caret.topLeft()));
    QCOMPARE(view.positionAt(QPoint(3, caret.center().y())), log.size() - 4);
}

void TestTrafficView::keysMoveCaretAndScroll()
{
    TrafficLog log;
    for (int i = 0; i < 100; ++i)
        log.append("0123456789\n");
    TrafficView view;
    view.setLog(&log, Rendering::Characters);
    showWithColumns(view, 20, 10);
    view.setFocus();
    QTest::keyClick(&view, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(view.cursorPosition(), log.size());
    QCOMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(view.cursorPosition(), 0);
    QCOMPARE(view.firstVisibleRow(), 0);
    QTest::keyClick(&view, Qt::Key_Right);
    QTest::keyClick(&view, Qt::Key_Down);
    QCOMPARE(view.cursorPosition(), 12);
    QTest::keyClick(&view, Qt::Key_PageDown);
    QCOMPARE(view.cursorPosition(), 12 + 10 * 11);
    QVERIFY(view.firstVisibleRow() > 0);
    QTest::keyClick(&view, Qt::Key_Left, Qt::ShiftModifier);
    QCOMPARE(view.selectedText(), QStringLiteral("0"));
}

void TestTrafficView::typingChangesNothing()
{
    TrafficLog log;
    log.append("unchanged\r\n");
    TrafficView view;
    view.setLog(&log, Rendering::Characters);
    showWithColumns(view, 30);
    view.setFocus();
    view.selectAll();
    QTest::keyClicks(&view, QStringLiteral("typed"));
    for (Qt::Key key : { Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return, Qt::Key_Tab })
        QTest::keyClick(&view, key);
    QApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(log.bytes(0, log.size()), QByteArray("unchanged\r\n"));
    QCOMPARE(view.text(), QStringLiteral("unchanged\r\n"));
}

void TestTrafficView::accessibleTextEqualsLogText()
{
    TrafficLog log;
    const QByteArray bytes("Zeile 1\r\n\x00\x80\xE4\x1B\r\nEnde", 19);
    log.append(bytes);
    TrafficView text;
    text.setLog(&log, Rendering::Characters);
    text.setZeroByte(TrafficView::ZeroByte::FullStop);
    text.setAccessibleName(QStringLiteral("Empfangene Daten"));
    TrafficView hex;
    hex.setLog(&log, Rendering::Hex);

    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&text);
    QVERIFY(accessible);
    QAccessibleTextInterface *textInterface = accessible->textInterface();
    QVERIFY(textInterface);
    QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Empfangene Daten"));
    QVERIFY(accessible->state().readOnly);
    QCOMPARE(textInterface->characterCount(), bytes.size());
    QCOMPARE(textInterface->text(0, textInterface->characterCount()), asReceivedText(bytes));
    QCOMPARE(textInterface->text(0, textInterface->characterCount()), text.text());

    int start = 0;
    int end = 0;
    QCOMPARE(textInterface->textAtOffset(2, QAccessible::LineBoundary, &start, &end),
        QStringLiteral("Zeile 1\r\n"));
    QCOMPARE(textInterface->textAfterOffset(2, QAccessible::LineBoundary, &start, &end),
        asReceivedText(bytes.mid(9, 6)));
    QCOMPARE(textInterface->textAtOffset(2, QAccessible::WordBoundary, &start, &end),
        QStringLiteral("Zeile"));

    QAccessibleTextInterface *hexInterface
        = QAccessible::queryAccessibleInterface(&hex)->textInterface();
    QVERIFY(hexInterface);
    QCOMPARE(hexInterface->text(0, hexInterface->characterCount()),
        QString::fromLatin1(bytes.toHex(' ').toUpper() + ' '));
}

void TestTrafficView::accessibleSelectionAndCaretFollowView()
{
    TrafficLog log;
    log.append("abc\r\ndef");
    TrafficView view;
    view.setLog(&log, Rendering::Characters);
    QAccessibleTextInterface *textInterface
        = QAccessible::queryAccessibleInterface(&view)->textInterface();
    view.setSelection(1, 6);
    QCOMPARE(textInterface->selectionCount(), 1);
    int start = 0;
    int end = 0;
    textInterface->selection(0, &start, &end);
    QCOMPARE(start, 1);
    QCOMPARE(end, 6);
    QCOMPARE(textInterface->cursorPosition(), 6);
    view.moveCaretToEnd();
    QCOMPARE(textInterface->selectionCount(), 0);
    QCOMPARE(textInterface->cursorPosition(), 8);
    textInterface->setSelection(0, 0, 3);
    QCOMPARE(view.selectedText(), QStringLiteral("abc"));
}

void TestTrafficView::contextMenuOffersCopyAndSelectAll()
{
    TrafficLog log;
    log.append("Inhalt");
    TrafficView view;
    view.setLog(&log, Rendering::Characters);
    std::unique_ptr<QMenu> menu(view.createContextMenu(nullptr));
    const QList<QAction *> actions = menu->actions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions[0]->text(), QStringLiteral("Kopieren"));
    QCOMPARE(actions[1]->text(), QStringLiteral("Alles auswählen"));
    QVERIFY(!actions[0]->isEnabled());
    actions[1]->trigger();
    QCOMPARE(view.selectedText(), QStringLiteral("Inhalt"));
    menu.reset(view.createContextMenu(nullptr));
    QVERIFY(menu->actions()[0]->isEnabled());
    QApplication::clipboard()->clear();
    menu->actions()[0]->trigger();
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Inhalt"));
}

void TestTrafficView::twoViewsFollowOneLogAndItsClear()
{
    TrafficLog log;
    TrafficView text;
    TrafficView hex;
    text.setLog(&log, Rendering::Characters);
    hex.setLog(&log, Rendering::Hex);
    log.append("AB");
    log.append("CD");
    QCOMPARE(text.text(), QStringLiteral("ABCD"));
    QCOMPARE(hex.text(), QStringLiteral("41 42 43 44 "));
    text.selectAll();
    log.clear();
    QCOMPARE(text.length(), 0);
    QCOMPARE(hex.text(), QString());
    QVERIFY(!text.hasSelection());
    QCOMPARE(text.verticalScrollBar()->maximum(), 0);
    log.append("E");
    QCOMPARE(hex.text(), QStringLiteral("45 "));
}

void TestTrafficView::paintsOnlyRowsOnScreen()
{
    // A grab of a view over a log far larger than the screen must show the
    // rows at the scroll position and come back at once.
    TrafficLog log;
    QByteArray lines;
    for (int i = 0; i < 1000; ++i)
        lines += QByteArray(78, char('A' + i % 26)) + "\r\n";
    for (int i = 0; i < 50; ++i)
        log.append(lines);
    TrafficView view;
    view.setLog(&log, Rendering::Characters);
    showWithColumns(view, 80, 20);
    view.moveCaretToEnd();
    const QImage image = view.viewport()->grab().toImage();
    const QColor background = view.palette().color(QPalette::Base);
    int inked = 0;
    for (int x = 0; x < image.width(); ++x) {
        if (image.pixelColor(x, view.cellRect(0).height() / 2 + 2) != background)
            ++inked;
    }
    QVERIFY(inked > 0);
}

void TestTrafficView::viewOutlivesItsLog()
{
    auto *log = new TrafficLog;
    log->append("gone soon");
    TrafficView view;
    view.setLog(log, Rendering::Characters);
    view.selectAll();
    delete log;
    QCOMPARE(view.log(), nullptr);
    QCOMPARE(view.length(), 0);
    QCOMPARE(view.text(), QString());
    QVERIFY(!view.hasSelection());
    view.grab();
}

QTEST_MAIN(TestTrafficView)
#include "tst_trafficview.moc"
