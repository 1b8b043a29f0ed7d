#include "app/mditavel.h"
#include "ptydevice.h"
#include "recordingdialogs.h"
#include "windows/frminfo.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

const QColor kSteelBlue(102, 143, 176);
const QColor kYellow(255, 255, 0);
const QColor kGreen(0, 255, 0);

QColor textColour(const QLabel *label)
{
    return label->palette().color(QPalette::WindowText);
}

// The family the font system actually picked for the label.
QString resolvedFamily(const QWidget *widget)
{
    return QFontInfo(widget->font()).family();
}

} // namespace

class TestFrmInfo : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FrmInfo> m_info;

    QList<QLabel *> labels() const
    {
        return { m_info->Label1, m_info->Label2, m_info->Label3[0], m_info->Label3[1] };
    }

private Q_SLOTS:
    void init()
    {
        m_info = std::make_unique<FrmInfo>();
        m_info->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_info.get()));
    }

    void cleanup() { m_info.reset(); }

    void captionIsInfo() { QCOMPARE(m_info->windowTitle(), QStringLiteral("Info")); }

    void titleIsYellowTimesNewRoman()
    {
        QCOMPARE(m_info->Label1->text(), QStringLiteral("Zaruridezadud V2"));
        QCOMPARE(textColour(m_info->Label1), kYellow);
        QCOMPARE(m_info->Label1->font().pointSizeF(), 20.25);
        QCOMPARE(m_info->Label1->font().families().value(0), QStringLiteral("Times New Roman"));
        QVERIFY2(
            QStringList({ QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif") })
                .contains(resolvedFamily(m_info->Label1)),
            qPrintable(resolvedFamily(m_info->Label1)));
    }

    void linesHaveTheirColoursAndSize_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("notice") << 1 << kYellow;
        QTest::newRow("web address") << 2 << kGreen;
        QTest::newRow("mail address") << 3 << kGreen;
    }

    void linesHaveTheirColoursAndSize()
    {
        QFETCH(int, index);
        QFETCH(QColor, colour);
        QLabel *label = labels()[index];
        QVERIFY(!label->text().isEmpty());
        QCOMPARE(textColour(label), colour);
        QCOMPARE(label->font().pointSizeF(), 14.25);
        QCOMPARE(label->font().families().value(0), QStringLiteral("Times New Roman"));
    }

    void addressesAreNoRealOnes()
    {
        QVERIFY(m_info->Label3[0]->text().contains(QStringLiteral("example.org")));
        QVERIFY(m_info->Label3[1]->text().contains(QStringLiteral("@example.org")));
    }

    void linesRunTopToBottomUnderTheRule()
    {
        const int ruleTop = m_info->Line1->geometry().top();
        QVERIFY(m_info->Label1->geometry().bottom() < ruleTop);
        QVERIFY(ruleTop < m_info->Label2->geometry().top());
        QVERIFY(m_info->Label2->geometry().bottom() < m_info->Label3[0]->geometry().top());
        QVERIFY(m_info->Label3[0]->geometry().bottom() < m_info->Label3[1]->geometry().top());
    }

    void ruleIsYellowAndTwoPixelsWide()
    {
        QCOMPARE(m_info->Line1->height(), 2);
        QVERIFY(m_info->Line1->width() >= m_info->Label1->width());
        const QImage image = m_info->grab().toImage();
        const QPoint middle = m_info->Line1->geometry().center();
        QCOMPARE(QColor(image.pixel(middle)), kYellow);
        QCOMPARE(QColor(image.pixel(middle.x(), m_info->Line1->geometry().top() - 1)), kSteelBlue);
    }

    void backgroundIsSteelBlueAndLabelsTransparent()
    {
        const QImage image = m_info->grab().toImage();
        QCOMPARE(QColor(image.pixel(2, 2)), kSteelBlue);
        for (QLabel *label : labels()) {
            QVERIFY(!label->autoFillBackground());
            // A label's corner holds no letter: the window's colour shows through.
            QCOMPARE(QColor(image.pixel(label->geometry().topLeft())), kSteelBlue);
        }
    }

    void pointerIsAnImageOfItsOwn()
    {
        QCOMPARE(m_info->cursor().shape(), Qt::BitmapCursor);
        const QPixmap image = m_info->cursor().pixmap();
        QVERIFY(!image.isNull());
        QCOMPARE(image.size(), QSize(32, 32));
        QCOMPARE(QColor::fromRgba(image.toImage().pixel(31, 0)).alpha(), 0);
    }

    void everythingHasAnAccessibleName()
    {
        QVERIFY(!m_info->accessibleName().isEmpty());
        QVERIFY(!m_info->Line1->accessibleName().isEmpty());
        for (QLabel *label : labels()) {
            QCOMPARE(label->accessibleName(), label->text());
            QVERIFY(!label->accessibleDescription().isEmpty());
        }
    }

    void clickOnBackgroundCloses()
    {
        QTest::mouseClick(m_info.get(), Qt::LeftButton, {}, QPoint(2, 2));
        QCOMPARE(m_info->result(), int(QDialog::Accepted));
        QVERIFY(!m_info->isVisible());
    }

    void clickOnRuleCloses()
    {
        QTest::mouseClick(m_info.get(), Qt::LeftButton, {}, m_info->Line1->geometry().center());
        QVERIFY(!m_info->isVisible());
    }

    void clickOnLabelDoesNothing_data()
    {
        QTest::addColumn<int>("index");
        QTest::newRow("title") << 0;
        QTest::newRow("notice") << 1;
        QTest::newRow("web address") << 2;
        QTest::newRow("mail address") << 3;
    }

    void clickOnLabelDoesNothing()
    {
        QFETCH(int, index);
        QLabel *label = labels()[index];
        QTest::mouseClick(label, Qt::LeftButton, {}, label->rect().center());
        QVERIFY(m_info->isVisible());
    }

    void menuShowsItModalOverTheMainWindow()
    {
        m_info.reset();
        QTemporaryDir folder;
        PtyDevice com1;
        PtyDevice com2;
        qputenv("TAVEL_COM1", com1.slavePath().toLocal8Bit());
        qputenv("TAVEL_COM2", com2.slavePath().toLocal8Bit());
        RecordingDialogs dialogs;
        MDITavel window(folder.filePath(QStringLiteral("tavel.cfg")));
        QCOMPARE(window.MDIForm_Load(), MDITavel::StartOutcome::Running);

        FrmInfo *shown = nullptr;
        bool modal = false;
        QTimer::singleShot(0, &window, [&] {
            shown = qobject_cast<FrmInfo *>(QApplication::activeModalWidget());
            if (!shown)
                return;
            modal = shown->isModal();
            // Not a child window in the workspace: a window of its own.
            QVERIFY(shown->isWindow());
            QCOMPARE(shown->parentWidget(), &window);
            QTest::mouseClick(shown->Label1, Qt::LeftButton);
            QVERIFY(shown->isVisible());
            QTest::mouseClick(shown, Qt::LeftButton, {}, QPoint(2, 2));
        });
        window.findChild<QAction *>(QStringLiteral("MnInfo"))->trigger();
        QVERIFY(shown);
        QVERIFY(modal);
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(dialogs.messages.isEmpty());
        window.close();
    }
};

QTEST_MAIN(TestFrmInfo)
#include "tst_frminfo.moc"
