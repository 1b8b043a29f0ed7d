#include "app/uilanguage.h"
#include "automation/captionbutton.h"
#include "automation/frmablaeufe.h"
#include "automation/frmautomat.h"
#include "automation/ruleeditor.h"
#include "filehelpers.h"
#include "mainwindowfixture.h"
#include "windows/eightbitedit.h"
#include "windows/frmeingabe.h"
#include "windows/frmempfang.h"
#include "windows/frmleitungen.h"
#include "windows/searchdialog.h"
#include "windows/windowsearch.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QXmlStreamReader>

// Every window, menu and box of the running program in English: no German
// text of the program may remain where the user sees or hears it. What the
// program shows is read off the widgets (texts, titles, tool tips, accessible
// names and descriptions, list items, table headers, menus) and off the
// boxes, and compared with the German texts the translation replaces.
namespace {

// The German texts that English replaces: each whole (for short ones), and
// the pieces between its placeholders that are long enough to be told apart
// (for texts put together from parts).
struct GermanTexts
{
    QSet<QString> whole;
    QStringList pieces;

    static QString withoutAccessKey(QString text)
    {
        return text.remove(QRegularExpression(QStringLiteral("&(?=[^&])")));
    }

    bool load(const QString &tsPath)
    {
        QFile file(tsPath);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        QXmlStreamReader xml(&file);
        QString source;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            } else if (xml.name() == QLatin1String("translation")) {
                const QString english = xml.readElementText(QXmlStreamReader::IncludeChildElements);
                if (english == source)
                    continue;
                const QString plain = withoutAccessKey(source);
                whole.insert(plain);
                static const QRegularExpression placeholders(QStringLiteral("%\\d|\\n"));
                for (const QString &piece : plain.split(placeholders)) {
                    const QString trimmed = piece.trimmed();
                    if (trimmed.size() >= 8 && trimmed.contains(QLatin1Char(' ')))
                        pieces << trimmed;
                }
            }
        }
        return !xml.hasError() && !whole.isEmpty();
    }

    // The German left in `text`, or nothing.
    QString foundIn(const QString &shown) const
    {
        const QString text = withoutAccessKey(shown);
        if (whole.contains(text) || whole.contains(text.trimmed()))
            return text;
        for (const QString &piece : pieces) {
            if (text.contains(piece))
                return piece;
        }
        // A German word the lists above do not know; a lone letter is a
        // character (the character table's "C4h ; 196, Ä"), not a word.
        static const QRegularExpression germanWord(
            QStringLiteral("\\w*[äöüÄÖÜß]\\w*"), QRegularExpression::UseUnicodePropertiesOption);
        for (auto it = germanWord.globalMatch(text); it.hasNext();) {
            if (const QString word = it.next().captured(); word.size() >= 3)
                return word;
        }
        return {};
    }
};

// The texts a widget shows or gives to assistive technology.
QStringList textsOf(QWidget *widget)
{
    QStringList texts { widget->windowTitle(), widget->toolTip(), widget->statusTip(),
        widget->whatsThis(), widget->accessibleName(), widget->accessibleDescription() };
    if (auto *button = qobject_cast<QAbstractButton *>(widget))
        texts << button->text();
    if (auto *label = qobject_cast<QLabel *>(widget))
        texts << label->text();
    if (auto *edit = qobject_cast<QLineEdit *>(widget))
        texts << edit->placeholderText();
    if (auto *group = qobject_cast<QGroupBox *>(widget))
        texts << group->title();
    if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        for (int i = 0; i < combo->count(); ++i)
            texts << combo->itemText(i) << combo->itemData(i, Qt::ToolTipRole).toString();
    }
    if (auto *tabs = qobject_cast<QTabWidget *>(widget)) {
        for (int i = 0; i < tabs->count(); ++i)
            texts << tabs->tabText(i) << tabs->tabToolTip(i);
    }
    if (auto *view = qobject_cast<QAbstractItemView *>(widget); view && view->model()) {
        const QAbstractItemModel *model = view->model();
        for (int column = 0; column < model->columnCount(); ++column)
            texts << model->headerData(column, Qt::Horizontal).toString()
                  << model->headerData(column, Qt::Horizontal, Qt::ToolTipRole).toString();
        for (int row = 0; row < model->rowCount(); ++row) {
            for (int column = 0; column < model->columnCount(); ++column) {
                const QModelIndex index = model->index(row, column);
                texts << index.data().toString() << index.data(Qt::ToolTipRole).toString()
                      << index.data(Qt::AccessibleTextRole).toString();
            }
        }
    }
    for (QAction *action : widget->actions())
        texts << action->text() << action->toolTip() << action->statusTip();
    if (auto *menuBar = qobject_cast<QMenuBar *>(widget)) {
        for (QAction *action : menuBar->actions()) {
            if (QMenu *menu = action->menu()) {
                for (QAction *item : menu->actions())
                    texts << item->text() << item->toolTip() << item->statusTip();
            }
        }
    }
    return texts;
}

} // namespace

class TestEnglish : public QObject
{
    Q_OBJECT

private:
    GermanTexts m_german;
    std::unique_ptr<MainWindowFixture> m_f;
    QStringList m_leftovers;
    int m_looked = 0;

    void check(const QString &where, const QStringList &texts)
    {
        for (const QString &text : texts) {
            if (text.isEmpty())
                continue;
            ++m_looked;
            const QString german = m_german.foundIn(text);
            if (!german.isEmpty())
                m_leftovers
                    << QStringLiteral("%1: \"%2\" (German: \"%3\")").arg(where, text, german);
        }
    }

    void checkWindow(QWidget *window)
    {
        const QString where = window->objectName().isEmpty()
            ? QString::fromLatin1(window->metaObject()->className())
            : window->objectName();
        check(where, textsOf(window));
        for (QWidget *child : window->findChildren<QWidget *>())
            check(where + QLatin1Char('/') + child->objectName(), textsOf(child));
    }

    // Opens a modal dialog with `open`, checks it while it is open and
    // closes it again.
    void checkModal(const std::function<void()> &open)
    {
        bool seen = false;
        QTimer::singleShot(0, this, [&] {
            QWidget *dialog = QApplication::activeModalWidget();
            if (!dialog)
                return;
            seen = true;
            checkWindow(dialog);
            QMetaObject::invokeMethod(dialog, "reject", Qt::QueuedConnection);
        });
        open();
        QVERIFY(seen);
    }

    void checkBoxes()
    {
        const RecordingDialogs &d = m_f->dialogs;
        for (const RecordingDialogs::Box &box : d.messages + d.questions + d.inputs)
            check(QStringLiteral("box"), { box.text, box.title });
        check(QStringLiteral("file dialog"), d.fileDialogTitles);
        for (const RecordingDialogs::SaveDialog &save : d.saveDialogs)
            check(QStringLiteral("save dialog"), QStringList(save.filters) << save.title);
    }

    void trigger(const char *action) { m_f->action(action)->trigger(); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_german.load(QStringLiteral(TAVEL_TRANSLATION_SOURCE)));
        UiLanguage::install(*qApp, UiLanguage::Language::English);
        m_f = std::make_unique<MainWindowFixture>();
        QCOMPARE(m_f->start, MDITavel::StartOutcome::Running);
    }

    void everyWindowAndMenuIsEnglish()
    {
        for (const char *window :
            { "MnFensterEingabe", "MnFensterSenden", "MnFensterEmpfang", "MnFensterEinstellungen",
                "MnFensterAutomatisierung", "MnFensterLeitungen", "MnFensterAblaeufe" })
            trigger(window);
        // Both pages of the routines window, and a rule in its table.
        FrmAblaeufe &routines = m_f->window->ablaeufe().get();
        for (QTabWidget *tabs : routines.findChildren<QTabWidget *>()) {
            for (int page = 0; page < tabs->count(); ++page)
                tabs->setCurrentIndex(page);
        }
        checkWindow(m_f->window.get());
        // The menu bar in English, so a user's own menus are recognised.
        QCOMPARE(m_f->window->menuBar()->actions().first()->text(), QStringLiteral("&File"));

        checkModal([this] { trigger("MnInfo"); });
        checkModal([this] { trigger("MnGeraeteZuordnen"); });
        FrmEmpfang &received = m_f->window->empfang().get();
        received.search().openDialog();
        checkWindow(received.search().dialog());
        received.search().dialog()->close();

        QVERIFY2(m_leftovers.isEmpty(), qPrintable(m_leftovers.join(QLatin1Char('\n'))));
        QVERIFY(m_looked > 300);
    }

    // The windows keep their places and sizes in every language, so an
    // English text longer than its German one must still fit its control:
    // a clipped caption would hide what a button does.
    void everyTextFitsItsControl()
    {
        QStringList clipped;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            for (QWidget *widget : window->findChildren<QWidget *>()) {
                QString text;
                int room = 0;
                if (auto *label = qobject_cast<QLabel *>(widget); label && !label->wordWrap()) {
                    text = label->text();
                    room = label->contentsRect().width();
                } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
                    // A push button's frame and a check box's box take some
                    // of its width.
                    text = button->text();
                    room = button->width() - (qobject_cast<QPushButton *>(button) ? 8 : 20);
                }
                const int needed
                    = widget->fontMetrics().horizontalAdvance(GermanTexts::withoutAccessKey(text));
                if (!text.isEmpty() && needed > room)
                    clipped << QStringLiteral("%1: \"%2\" needs %3 px of %4")
                                   .arg(widget->window()->windowTitle(), text)
                                   .arg(needed)
                                   .arg(room);
            }
        }
        QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
    }

    // The boxes and file dialogs of a session's usual mishaps and commands.
    void boxesAndDialogsAreEnglish()
    {
        m_f->dialogs.messages.clear();
        // Sending while no port is open, and a hex typing error.
        m_f->window->einstellungen().get().Command2->click();
        FrmEingabe &input = m_f->window->eingabe().get();
        input.Text1->setPlainText(QStringLiteral("41"));
        input.Command2->click();
        m_f->connectPort();
        input.OptionHex->click();
        input.Text2->setText(QStringLiteral("41 4"));
        input.Command2->click();
        // Renaming an automation button, and repeating one without data.
        m_f->window->automat().get().CmdAutomat_RightButton(0);
        m_f->window->ablaeufe().get().startButtons[0]->click();
        // The file commands: their dialogs are cancelled.
        for (const char *command :
            { "MnSendenspeichern", "MnEmpfangSpeichern", "MnDateiDatei", "MnMitschnitt" })
            trigger(command);
        // A file on its way out: its window, and the question when the
        // connection is to end meanwhile, answered No, then Yes. The device
        // reads nothing, so the file stays on its way.
        QTemporaryDir files;
        const QString big = files.filePath(QStringLiteral("big.bin"));
        QVERIFY(writeFile(big, QByteArray(1 << 20, 'x')));
        m_f->dialogs.fileAnswers << big;
        m_f->dialogs.questionAnswers << false << true;
        trigger("MnDateiDatei");
        QWidget *sendWindow = nullptr;
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (window->isVisible() && window != m_f->window.get())
                sendWindow = window;
        }
        QVERIFY(sendWindow);
        checkWindow(sendWindow);
        m_f->window->einstellungen().get().Command2->click();
        m_f->window->einstellungen().get().Command2->click();
        QCOMPARE(m_f->dialogs.questions.size(), 2);
        checkBoxes();
        QCOMPARE(m_f->dialogs.messages.size(), 3);
        QCOMPARE(m_f->dialogs.fileDialogTitles.size(), 2);
        QCOMPARE(m_f->dialogs.inputs.size(), 1);
        QCOMPARE(m_f->dialogs.saveDialogs.size(), 3);
        QVERIFY2(m_leftovers.isEmpty(), qPrintable(m_leftovers.join(QLatin1Char('\n'))));
    }

    // The files the windows write in English keep their own words, while
    // the windows show the language's.
    void filesKeepTheirWordsInEnglish()
    {
        const QDir folder = QFileInfo(m_f->settingsPath()).dir();
        FrmAblaeufe &routines = m_f->window->ablaeufe().get();
        routines.editor->patternEdit->setText(QStringLiteral("READY"));
        routines.editor->payloadEdit->setText(QStringLiteral("GO"));
        routines.editor->how->setCurrentIndex(1);
        routines.editor->active->setChecked(false);
        routines.applyButton->click();
        QVERIFY(contentsOf(folder.filePath(QStringLiteral("tavel-ablaeufe.cfg")))
                    .contains("Regel1.Muster=Text:READY\nRegel1.Antwort=Text:GO\n"
                              "Regel1.Verzoegerung=0\nRegel1.Wie=einmal\nRegel1.Aktiv=nein\n"));
        QCOMPARE(routines.ruleTable->item(0, 3)->text(), QStringLiteral("once"));
        QCOMPARE(routines.ruleTable->item(0, 4)->text(), QStringLiteral("no"));

        FrmLeitungen &lines = m_f->window->leitungen().get();
        lines.flowOptions[2]->click();
        lines.flowOptions[0]->click();
        QVERIFY(contentsOf(folder.filePath(QStringLiteral("tavel-leitungen.cfg")))
                    .contains("COM1.Flusssteuerung=keine\n"));
        checkWindow(m_f->window.get());
        checkBoxes();
        QVERIFY2(m_leftovers.isEmpty(), qPrintable(m_leftovers.join(QLatin1Char('\n'))));
    }
};

QTEST_MAIN(TestEnglish)
#include "tst_english.moc"
