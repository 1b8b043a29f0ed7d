#include "windowsearch.h"

#include "searchdialog.h"
#include "text/bytecount.h"
#include "traffic/trafficfinder.h"
#include "traffic/trafficlog.h"
#include "trafficview/trafficview.h"

#include <QLineEdit>
#include <QShortcut>

WindowSearch::WindowSearch(QWidget *window, TrafficView *text, TrafficView *hex)
    : QObject(window)
    , m_window(window)
    , m_text(text)
    , m_hex(hex)
    , m_finder(new TrafficFinder(*text->log(), this))
{
    const auto shortcut = [window](const QKeySequence &keys) {
        auto *key = new QShortcut(keys, window);
        key->setContext(Qt::WidgetWithChildrenShortcut);
        return key;
    };
    connect(shortcut(QKeySequence::Find), &QShortcut::activated, this, &WindowSearch::openDialog);
    connect(shortcut(Qt::Key_F3), &QShortcut::activated, this, &WindowSearch::findNext);
    connect(
        shortcut(Qt::SHIFT | Qt::Key_F3), &QShortcut::activated, this, &WindowSearch::findPrevious);
    connect(m_finder, &TrafficFinder::changed, this, [this] {
        // The log was cleared: nothing is shown any more.
        if (m_shown && *m_shown >= qsizetype(m_finder->hits().size()))
            m_shown.reset();
        if (m_pending)
            tryGo();
        if (m_marking) {
            m_text->updateMarks();
            if (m_hex)
                m_hex->updateMarks();
        }
        updateResult();
    });
    connect(m_text, &TrafficView::selectionChanged, this, &WindowSearch::onSelectionMoved);
    connect(m_text, &TrafficView::cursorPositionChanged, this, &WindowSearch::onSelectionMoved);
}

WindowSearch::~WindowSearch() = default;

void WindowSearch::openDialog()
{
    if (!m_dialog) {
        m_dialog = new SearchDialog(m_window);
        connect(m_dialog, &SearchDialog::patternChanged, this, &WindowSearch::onPatternChanged);
        connect(m_dialog, &SearchDialog::nextRequested, this, &WindowSearch::findNext);
        connect(m_dialog, &SearchDialog::previousRequested, this, &WindowSearch::findPrevious);
        connect(m_dialog, &SearchDialog::markAllRequested, this, &WindowSearch::markAll);
        // What the user selected is the likeliest thing to look for.
        if (m_text->hasSelection() && m_text->selectionEnd() - m_text->selectionStart() <= 80
            && !m_text->selectedText().contains(QLatin1Char('\n')))
            m_dialog->patternEdit()->setText(m_text->selectedText());
    }
    m_dialog->show();
    m_dialog->raise();
    m_dialog->activateWindow();
    m_dialog->patternEdit()->setFocus();
    m_dialog->patternEdit()->selectAll();
}

void WindowSearch::onPatternChanged()
{
    m_shown.reset();
    m_pending.reset();
    m_finder->setPattern(m_dialog->pattern());
    if (m_marking) {
        m_marking = false;
        m_text->setMarks(nullptr, 0);
        if (m_hex)
            m_hex->setMarks(nullptr, 0);
    }
    updateResult();
}

void WindowSearch::findNext()
{
    go(Direction::Forward);
}

void WindowSearch::findPrevious()
{
    go(Direction::Backward);
}

void WindowSearch::markAll()
{
    if (!m_finder->hasPattern())
        return;
    m_marking = true;
    m_text->setMarks(&m_finder->hits(), m_finder->length());
    if (m_hex)
        m_hex->setMarks(&m_finder->hits(), m_finder->length());
}

void WindowSearch::go(Direction direction)
{
    if (!m_finder->hasPattern()) {
        openDialog();
        return;
    }
    // From the match on show, else from the caret of the text view, whose
    // positions are the log's offsets.
    qint64 from = m_text->cursorPosition();
    if (m_shown)
        from = m_finder->hits()[size_t(*m_shown)] + (direction == Direction::Forward ? 1 : 0);
    else if (direction == Direction::Backward && m_text->hasSelection())
        from = m_text->selectionStart();
    m_pending = std::make_pair(direction, from);
    if (!tryGo())
        updateResult();
}

bool WindowSearch::tryGo()
{
    const auto [direction, from] = *m_pending;
    const std::vector<qint64> &hits = m_finder->hits();
    std::optional<qsizetype> index
        = direction == Direction::Forward ? m_finder->firstFrom(from) : m_finder->lastBefore(from);
    if (!index && m_finder->isScanning())
        return false;
    // Round past the end: to the first match, or from the start to the last.
    if (!index && !hits.empty())
        index = direction == Direction::Forward ? 0 : qsizetype(hits.size()) - 1;
    m_pending.reset();
    if (index)
        show(*index);
    else
        m_shown.reset();
    updateResult();
    return true;
}

void WindowSearch::show(qsizetype index)
{
    const qint64 start = m_finder->hits()[size_t(index)];
    const qint64 end = start + m_finder->length();
    m_selecting = true;
    m_text->setSelection(start, end);
    m_text->ensureVisible(start);
    if (m_hex) {
        // A byte is three cells there, the last one its blank.
        m_hex->setSelection(start * 3, end * 3 - 1);
        m_hex->ensureVisible(start * 3);
    }
    m_selecting = false;
    m_shown = index;
}

void WindowSearch::onSelectionMoved()
{
    if (m_selecting || !m_shown)
        return;
    m_shown.reset();
    updateResult();
}

void WindowSearch::updateResult()
{
    if (!m_dialog)
        return;
    QString result;
    const qsizetype total = qsizetype(m_finder->hits().size());
    // untranslated: a mark that the count still grows, no words
    const QString more = m_finder->isScanning() ? QStringLiteral(" …") : QString();
    if (m_shown) {
        //: The match on show: %1 is its number, %2 the number of matches, %3
        //: " …" while the search is still counting.
        result = tr("Treffer %1 von %2%3")
                     .arg(ByteCount::number(*m_shown + 1), ByteCount::number(total), more);
    } else if (m_finder->hasPattern() && !m_finder->isScanning() && total == 0) {
        result = tr("Nicht gefunden.");
    } else if (m_marking) {
        //: All matches highlighted: %1 is their number, %2 " …" while the
        //: search is still counting.
        result = tr("%1 Treffer%2").arg(ByteCount::number(total), more);
    }
    m_dialog->setResult(result);
}
