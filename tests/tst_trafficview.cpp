#include "testdice.h"
#include "text/cp1252.h"
#include "traffic/trafficlog.h"
#include "windows/trafficview/frameclock.h"
#include "windows/trafficview/trafficview.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>
#include <QTest>

using Rendering = TrafficView::Rendering;

namespace {

// A view on screen in the windows' font, exactly columns cells wide.
void showWithColumns(TrafficView &view, int columns, int rows = 10)
{
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(9.75);
    view.setFont(font);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    const QRect cell = view.cellRect(0);
    view.resize(
        view.width() - view.viewport()->width() + 4 + columns * cell.width() + cell.width() / 2,
        view.height() - view.viewport()->height() + rows * cell.height());
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

QString hexOf(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex(' ').toUpper() + ' ');
}

} // namespace

class TestTrafficView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wrapsAtViewWidth_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<Rendering>("rendering");
        QTest::addColumn<int>("columns");
        QTest::addColumn<QList<qint64>>("rowStarts");
        QTest::newRow("text wraps a long line")
            << QByteArray("abcdefghijkl\r\nmn") << Rendering::Characters << 5
            << QList<qint64> { 0, 5, 10, 14 };
        QTest::newRow("hex wraps after whole groups")
            << QByteArray("ABCDE") << Rendering::Hex << 7 << QList<qint64> { 0, 6, 12 };
    }
    void wrapsAtViewWidth()
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
        QCOMPARE(rowStartsOnScreen(view), rowStarts);
        log.clear();
        log.append(QByteArray(100, 'x'));
        showWithColumns(view, 25);
        QCOMPARE(view.rowCount(), rendering == Rendering::Hex ? 13 : 4);
    }

    void mouseDragShiftClickAndDoubleClickSelect()
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

    // Many blocks of the log, every byte value, copied whole from the keys.
    void selectAllOnLargeLogCopiesEverything()
    {
        QByteArray bytes(4 << 20, Qt::Uninitialized);
        for (char &c : bytes) {
            const quint32 roll = testDice().bounded(100);
            c = roll < 3 ? '\r' : roll < 6 ? '\n' : char(testDice().bounded(256));
        }
        TrafficLog log;
        for (qsizetype done = 0; done < bytes.size(); done += 4096)
            log.append(QByteArrayView(bytes).sliced(done, 4096));
        TrafficView text;
        text.setLog(&log, Rendering::Characters);
        text.setZeroByte(TrafficView::ZeroByte::FullStop);
        showWithColumns(text, 60);
        QTest::keyClick(&text, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&text, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QApplication::clipboard()->text()
            == Cp1252::toUnicode(QByteArray(bytes).replace('\0', '.')));
        TrafficView hex;
        hex.setLog(&log, Rendering::Hex);
        hex.selectAll();
        hex.copy();
        QVERIFY(QApplication::clipboard()->text() == hexOf(bytes));
    }

    void moveCaretToEndShowsLastRow()
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
        // The scroll bar follows at the next frame, not within the call.
        QTRY_COMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
        QCOMPARE(view.firstVisibleRow() + view.visibleRowCount(), view.rowCount());
        const QRect caret = view.cellRect(view.cursorPosition());
        QVERIFY(view.viewport()->rect().contains(caret.topLeft()));
        QCOMPARE(view.positionAt(QPoint(3, caret.center().y())), log.size() - 4);
    }

    void keysMoveCaretScrollAndSelectButChangeNothing()
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
        // The scroll bar follows at the next frame, not within the call.
        QTRY_COMPARE(view.verticalScrollBar()->value(), view.verticalScrollBar()->maximum());
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

        view.selectAll();
        QTest::keyClicks(&view, QStringLiteral("typed"));
        for (Qt::Key key : { Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Return, Qt::Key_Tab })
            QTest::keyClick(&view, key);
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        QTest::keyClick(&view, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(&view, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(log.size(), 1100);
        QCOMPARE(view.text(), QString::fromLatin1(QByteArray("0123456789\n").repeated(100)));
    }

    void screenReaderReadsTheTextSelectionAndCaret()
    {
        TrafficLog log;
        const QByteArray bytes("Zeile 1\r\n\x00\x80\xE4\x1B\r\nEnde", 19);
        log.append(bytes);
        TrafficView text;
        text.setLog(&log, Rendering::Characters);
        text.setZeroByte(TrafficView::ZeroByte::FullStop);
        text.setAccessibleName(QStringLiteral("Empfangene Daten"));
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(&text);
        QAccessibleTextInterface *reader = accessible->textInterface();
        QVERIFY(reader);
        QCOMPARE(accessible->text(QAccessible::Name), QStringLiteral("Empfangene Daten"));
        QVERIFY(accessible->state().readOnly);
        QCOMPARE(reader->characterCount(), bytes.size());
        QCOMPARE(reader->text(0, reader->characterCount()), text.text());
        int start = 0;
        int end = 0;
        QCOMPARE(reader->textAtOffset(2, QAccessible::LineBoundary, &start, &end),
            QStringLiteral("Zeile 1\r\n"));
        QCOMPARE(reader->textAfterOffset(2, QAccessible::LineBoundary, &start, &end),
            QString::fromUtf8(".\u20AC\u00E4\x1B\r\n"));
        QCOMPARE(reader->textAtOffset(2, QAccessible::WordBoundary, &start, &end),
            QStringLiteral("Zeile"));
        text.setSelection(1, 6);
        QCOMPARE(reader->selectionCount(), 1);
        reader->selection(0, &start, &end);
        QCOMPARE(QPair(start, end), QPair(1, 6));
        QCOMPARE(reader->cursorPosition(), 6);
        text.moveCaretToEnd();
        QCOMPARE(reader->selectionCount(), 0);
        QCOMPARE(reader->cursorPosition(), 19);
        reader->setSelection(0, 0, 5);
        QCOMPARE(text.selectedText(), QStringLiteral("Zeile"));

        TrafficView hex;
        hex.setLog(&log, Rendering::Hex);
        QAccessibleTextInterface *hexReader
            = QAccessible::queryAccessibleInterface(&hex)->textInterface();
        QCOMPARE(hexReader->text(0, hexReader->characterCount()), hexOf(bytes));
    }

    void contextMenuCopiesAndSelectsAll()
    {
        TrafficLog log;
        log.append("Inhalt");
        TrafficView view;
        view.setLog(&log, Rendering::Characters);
        std::unique_ptr<QMenu> menu(view.createContextMenu(nullptr));
        QCOMPARE(menu->actions().size(), 2);
        QVERIFY(!menu->actions()[0]->isEnabled());
        menu->actions()[1]->trigger();
        QCOMPARE(view.selectedText(), QStringLiteral("Inhalt"));
        menu.reset(view.createContextMenu(nullptr));
        QApplication::clipboard()->clear();
        menu->actions()[0]->trigger();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Inhalt"));
    }

    void twoViewsFollowOneLogAndItsClear()
    {
        TrafficLog log;
        TrafficView text;
        TrafficView hex;
        text.setLog(&log, Rendering::Characters);
        hex.setLog(&log, Rendering::Hex);
        log.append("AB");
        text.selectAll();
        log.clear();
        QCOMPARE(text.length(), 0);
        QCOMPARE(hex.text(), QString());
        QVERIFY(!text.hasSelection());
        QCOMPARE(text.verticalScrollBar()->maximum(), 0);
    }

    // A stream costs frames only where it can be seen: the scroll bar of a long
    // log is not repainted while its slider stays put, a hidden view asks for
    // no frame at all, and both catch up as soon as they matter.
    void streamCostsFramesOnlyWhereSeen()
    {
        TrafficLog log;
        TrafficView view;
        view.setLog(&log, Rendering::Characters);
        showWithColumns(view, 20, 5);
        for (int i = 0; i < 2000; ++i)
            log.append(QByteArray::number(i) + "\r\n");
        view.moveCaretToEnd();
        QScrollBar *bar = view.verticalScrollBar();
        QTRY_COMPARE(bar->maximum(), int(view.rowCount() - 5));
        QTRY_VERIFY(!FrameClock::instance().isWaiting());

        int barPaints = 0;
        struct Filter : QObject
        {
            int *paints;
            explicit Filter(int *p)
                : paints(p)
            {
            }
            bool eventFilter(QObject *, QEvent *event) override
            {
                *paints += event->type() == QEvent::Paint;
                return false;
            }
        };
        Filter filter(&barPaints);
        bar->installEventFilter(&filter);
        for (int i = 0; i < 30; ++i) {
            log.append("more\r\n");
            view.moveCaretToEnd();
            QTest::qWait(20);
        }
        QTRY_COMPARE(bar->maximum(), int(view.rowCount() - 5));
        QCOMPARE(bar->value(), bar->maximum());
        QCOMPARE(barPaints, 0);
        bar->removeEventFilter(&filter);

        view.hide();
        QTRY_VERIFY(!FrameClock::instance().isWaiting());
        log.append("while hidden\r\n");
        view.moveCaretToEnd();
        QVERIFY(!FrameClock::instance().isWaiting());
        view.show();
        QTRY_COMPARE(bar->maximum(), int(view.rowCount() - 5));
        QCOMPARE(bar->value(), bar->maximum());
        const QRect last = view.cellRect(log.size() - 3);
        const QImage image = view.viewport()->grab().toImage();
        QVERIFY(image.pixelColor(last.center()) != view.palette().color(QPalette::Base)
            || image.pixelColor(last.center() - QPoint(1, 0))
                != view.palette().color(QPalette::Base));
    }

    void viewOutlivesItsLog()
    {
        auto *log = new TrafficLog;
        log->append("gone soon");
        TrafficView view;
        view.setLog(log, Rendering::Characters);
        view.selectAll();
        delete log;
        QCOMPARE(view.log(), nullptr);
        QCOMPARE(view.text(), QString());
        QVERIFY(!view.hasSelection());
        view.grab();
    }
};

QTEST_MAIN(TestTrafficView)
#include "tst_trafficview.moc"
