#include "base/childwindow.h"
#include "base/formslot.h"
#include "base/twips.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <QVBoxLayout>

namespace {

class ProbeWindow : public ChildWindow
{
public:
    ProbeWindow(Module1 &state, int &unloads)
        : ChildWindow(state, WindowIndex::kEmpfang)
        , m_unloads(unloads)
    {
        setWindowTitle(QStringLiteral("Probe"));
        auto *layout = new QVBoxLayout(this);
        layout->addWidget(first);
        layout->addWidget(second);
        resize(200, 120);
    }

    QLineEdit *first = new QLineEdit;
    QLineEdit *second = new QLineEdit;
    void Form_Unload() override { ++m_unloads; }

private:
    int &m_unloads;
};

} // namespace

class TestWindowModel : public QObject
{
    Q_OBJECT

private:
    struct Fixture
    {
        Module1 state;
        QMainWindow main;
        QMdiArea *area = new QMdiArea;
        int unloads = 0;
        FormSlot<ProbeWindow> slot { *area, [this] { return new ProbeWindow(state, unloads); } };

        Fixture()
        {
            main.setCentralWidget(area);
            main.resize(900, 700);
            main.show();
        }
        int dpi() const { return area->logicalDpiX(); }
    };

private Q_SLOTS:
    void twipsConversion_data()
    {
        QTest::addColumn<int>("twips");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<int>("pixels");
        QTest::newRow("96 dpi: 15 twips a pixel") << 330 << 96 << 22;
        QTest::newRow("negative") << -45 << 96 << -3;
        QTest::newRow("120 dpi: 12 twips a pixel") << 660 << 120 << 55;
        QTest::newRow("rounds down to the nearest pixel") << 337 << 96 << 22;
        QTest::newRow("rounds up to the nearest pixel") << 338 << 96 << 23;
    }

    void twipsConversion()
    {
        QFETCH(int, twips);
        QFETCH(int, dpi);
        QFETCH(int, pixels);
        QCOMPARE(Twips::toPixels(twips, dpi), pixels);
    }

    // 337 twips falls between two pixels; a round trip through pixels would
    // drift by a few twips on every run. A place that would put the window
    // out of reach (stored in a larger main window) shows it moved just
    // inside the area, and the stored place stays until the user moves it.
    void referenceLoadsOnceAtStoredPlaceAndStoresBackWhatItWasPlacedFrom_data()
    {
        QTest::addColumn<QPoint>("stored");
        // Where it shows: -1 at the far edge of the area, -2 at the stored place.
        QTest::addColumn<QPoint>("shownOrEdge");
        QTest::newRow("between two pixels") << QPoint(337, 338) << QPoint(-2, -2);
        QTest::newRow("above and left of the area") << QPoint(-45, -44) << QPoint(0, 0);
        QTest::newRow("beyond the right and bottom edges")
            << QPoint(60000, 30000) << QPoint(-1, -1);
        QTest::newRow("below the bottom edge only") << QPoint(337, 30000) << QPoint(-2, -1);
    }

    void referenceLoadsOnceAtStoredPlaceAndStoresBackWhatItWasPlacedFrom()
    {
        QFETCH(QPoint, stored);
        QFETCH(QPoint, shownOrEdge);
        Fixture f;
        f.state.WindowLeft[WindowIndex::kEmpfang] = stored.x();
        f.state.WindowTop[WindowIndex::kEmpfang] = stored.y();
        QVERIFY(!f.slot.loaded());
        ProbeWindow &window = f.slot.get();
        QCOMPARE(&f.slot.get(), &window);
        QMdiSubWindow *frame = window.frame();
        QVERIFY(frame->isVisible());
        const QSize room = f.area->viewport()->size();
        const auto expected = [&](int given, int storedTwips, int edge) {
            return given == -1 ? edge : given == -2 ? Twips::toPixels(storedTwips, f.dpi()) : given;
        };
        const QPoint shown(expected(shownOrEdge.x(), stored.x(), room.width() - frame->width()),
            expected(shownOrEdge.y(), stored.y(), room.height() - frame->height()));
        QCOMPARE(frame->pos(), shown);
        QVERIFY(QRect(QPoint(0, 0), room).contains(frame->geometry()));
        f.slot.unload();
        QCOMPARE(f.state.WindowLeft[WindowIndex::kEmpfang], stored.x());
        QCOMPARE(f.state.WindowTop[WindowIndex::kEmpfang], stored.y());
    }

    void userMoveOfAWindowMovedIntoReachIsStored()
    {
        Fixture f;
        f.state.WindowTop[WindowIndex::kEmpfang] = 30000;
        ProbeWindow &window = f.slot.get();
        window.frame()->move(30, 40);
        f.slot.unload();
        QCOMPARE(f.state.WindowLeft[WindowIndex::kEmpfang], Twips::fromPixels(30, f.dpi()));
        QCOMPARE(f.state.WindowTop[WindowIndex::kEmpfang], Twips::fromPixels(40, f.dpi()));
    }

    void minimisedOrMaximisedWindowKeepsStoredPlace_data()
    {
        QTest::addColumn<bool>("maximise");
        QTest::newRow("minimised") << false;
        QTest::newRow("maximised") << true;
    }

    void minimisedOrMaximisedWindowKeepsStoredPlace()
    {
        QFETCH(bool, maximise);
        Fixture f;
        f.state.WindowLeft[WindowIndex::kEmpfang] = 1500;
        ProbeWindow &window = f.slot.get();
        window.frame()->move(10, 10);
        if (maximise)
            window.frame()->showMaximized();
        else
            window.frame()->showMinimized();
        f.slot.unload();
        QCOMPARE(f.state.WindowLeft[WindowIndex::kEmpfang], 1500);
        QCOMPARE(f.unloads, 1);
    }

    // Access keys reach only the window holding the focus, so bringing a
    // window to the front moves the focus into it. Data arriving or an echo
    // loads a window while the user types elsewhere: it appears, but the
    // typing goes on where it was.
    void showMovesTheFocusButLoadingOnFirstUseDoesNot()
    {
        Fixture f;
        int otherUnloads = 0;
        FormSlot<ProbeWindow> other { *f.area,
            [&] { return new ProbeWindow(f.state, otherUnloads); } };
        QApplication::setActiveWindow(&f.main);
        ProbeWindow &window = f.slot.show();
        QTRY_COMPARE(QApplication::focusWidget(), window.first);
        window.second->setFocus();
        ProbeWindow &loaded = other.get();
        QVERIFY(loaded.frame()->isVisible());
        QCOMPARE(QApplication::focusWidget(), window.second);
        QCOMPARE(f.area->activeSubWindow(), window.frame());
        other.show();
        QTRY_COMPARE(QApplication::focusWidget(), loaded.first);
        f.slot.show();
        QTRY_COMPARE(QApplication::focusWidget(), window.second);
    }

    void closeBoxUnloadsAndNextReferenceCreatesAnew()
    {
        Fixture f;
        QPointer<ProbeWindow> first = &f.slot.get();
        first->frame()->close();
        QVERIFY(!f.slot.loaded());
        QCOMPARE(f.unloads, 1);
        QTRY_VERIFY(first.isNull());
        ProbeWindow &second = f.slot.get();
        QVERIFY(second.frame()->isVisible());
    }
};

QTEST_MAIN(TestWindowModel)
#include "tst_windowmodel.moc"
