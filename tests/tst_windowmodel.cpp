#include "base/childwindow.h"
#include "base/formslot.h"
#include "base/twips.h"

#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
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
    // drift by a few twips on every run.
    void referenceLoadsOnceAtStoredPlaceAndStoresBackWhatItWasPlacedFrom()
    {
        Fixture f;
        f.state.WindowLeft[WindowIndex::kEmpfang] = 337;
        f.state.WindowTop[WindowIndex::kEmpfang] = -44;
        QVERIFY(!f.slot.loaded());
        ProbeWindow &window = f.slot.get();
        QCOMPARE(&f.slot.get(), &window);
        QVERIFY(window.frame()->isVisible());
        QCOMPARE(window.frame()->pos(),
            QPoint(Twips::toPixels(337, f.dpi()), Twips::toPixels(-44, f.dpi())));
        f.slot.unload();
        QCOMPARE(f.state.WindowLeft[WindowIndex::kEmpfang], 337);
        QCOMPARE(f.state.WindowTop[WindowIndex::kEmpfang], -44);
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
