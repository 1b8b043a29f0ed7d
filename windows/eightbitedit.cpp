#include "eightbitedit.h"

#include "controlcellspacing.h"
#include "text/cp1252.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

namespace {

constexpr char16_t kFirstPicture = 0x2400;
constexpr char16_t kDeletePicture = 0x2421;
// Copies between Tavel's own boxes keep every 8-bit character as it is, where
// plain text would let a lone LF turn into a line break on the way back in.
const QString kEightBitMimeType = QStringLiteral("application/x-tavel-windows-1252");

bool isBreak(QChar ch)
{
    return ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator;
}

QString toDocument(QStringView text, EightBitEdit::Lines lines)
{
    QString document;
    document.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (lines == EightBitEdit::Lines::Multi && u == u'\r' && i + 1 < text.size()
            && text[i + 1] == u'\n') {
            document.append(QLatin1Char('\n'));
            ++i;
        } else if (u < 32 && u != u'\t') {
            document.append(QChar(char16_t(kFirstPicture + u)));
        } else if (u == 0x7F) {
            document.append(QChar(kDeletePicture));
        } else {
            document.append(text[i]);
        }
    }
    return document;
}

QString fromDocument(QStringView raw)
{
    QString text;
    text.reserve(raw.size());
    for (QChar ch : raw) {
        const char16_t u = ch.unicode();
        if (isBreak(ch))
            text.append(QStringLiteral("\r\n"));
        else if (u > kFirstPicture && u < kFirstPicture + 32)
            text.append(QChar(char16_t(u - kFirstPicture)));
        else if (u == kDeletePicture)
            text.append(QChar(char16_t(0x7F)));
        else
            text.append(ch);
    }
    return text;
}

qsizetype documentPosition(QStringView raw, qsizetype position)
{
    qsizetype counted = 0;
    for (qsizetype at = 0; at < raw.size(); ++at) {
        const qsizetype width = isBreak(raw[at]) ? 2 : 1;
        // A position between the CR and the LF of a break stands before it.
        if (counted + width > position)
            return at;
        counted += width;
    }
    return raw.size();
}

// The character a key types, as the box would receive it: Enter is CR, a
// control key combination its control code. Keys that type nothing give the
// empty text, Delete included although some platforms attach DEL to it.
QString typedText(const QKeyEvent &event)
{
    const int key = event.key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter)
        return QStringLiteral("\r");
    if (key == Qt::Key_Delete)
        return {};
    const Qt::KeyboardModifiers mods = event.modifiers();
    if ((mods & Qt::ControlModifier) && !(mods & Qt::AltModifier) && key >= Qt::Key_A
        && key <= Qt::Key_Z)
        return QString(QChar(char16_t(key - Qt::Key_A + 1)));
    return event.text();
}

} // namespace

EightBitEdit::EightBitEdit(Lines lines, QWidget *parent)
    : QPlainTextEdit(parent)
    , m_lines(lines)
{
    new ControlCellSpacing(document());
    // Tab leaves the box, as in every other control; a tab character still
    // comes in through the character table.
    setTabChangesFocus(true);
    if (lines == Lines::Single) {
        setLineWrapMode(QPlainTextEdit::NoWrap);
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        document()->setDocumentMargin(1);
    } else {
        setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    }
}

QString EightBitEdit::text() const
{
    return fromDocument(document()->toRawText());
}

void EightBitEdit::setText(const QString &text)
{
    setPlainText(toDocument(text, m_lines));
}

bool EightBitEdit::isEmpty() const
{
    return document()->isEmpty();
}

qsizetype EightBitEdit::caretPosition() const
{
    const qsizetype at = textCursor().selectionStart();
    const QString raw = document()->toRawText();
    return at + std::count_if(raw.cbegin(), raw.cbegin() + std::min(at, raw.size()), isBreak);
}

void EightBitEdit::setCaretPosition(qsizetype position)
{
    QTextCursor cursor(document());
    cursor.setPosition(int(documentPosition(document()->toRawText(), position)));
    setTextCursor(cursor);
}

bool EightBitEdit::canHold(QChar ch)
{
    return !ch.isNull() && Cp1252::isEncodable(ch);
}

bool EightBitEdit::admits(QString &typed) const
{
    for (QChar &ch : typed) {
        if (m_keyFilter) {
            const std::optional<QChar> passed = m_keyFilter(ch);
            if (!passed)
                return false;
            ch = *passed;
        }
        if (!canHold(ch)) {
            QApplication::beep();
            return false;
        }
    }
    return true;
}

void EightBitEdit::keyPressEvent(QKeyEvent *event)
{
    QString typed = typedText(*event);
    if (typed.isEmpty())
        return QPlainTextEdit::keyPressEvent(event);
    const QString asTyped = typed;
    if (!admits(typed))
        return event->accept();
    if (typed == u"\r") {
        // Enter leaves a single-line box to its window (a default button).
        if (m_lines == Lines::Single)
            return event->ignore();
        insertPlainText(QStringLiteral("\n"));
        return event->accept();
    }
    if (typed == asTyped)
        return QPlainTextEdit::keyPressEvent(event);
    QKeyEvent replaced(event->type(), event->key(), event->modifiers(), typed,
        event->isAutoRepeat(), quint16(event->count()));
    QPlainTextEdit::keyPressEvent(&replaced);
    event->setAccepted(replaced.isAccepted());
}

void EightBitEdit::inputMethodEvent(QInputMethodEvent *event)
{
    QString commit = event->commitString();
    // An input method that commits a control code or a foreign character gets
    // nothing in; its preedit text is only shown and goes on as usual.
    const bool hasControl
        = std::any_of(commit.cbegin(), commit.cend(), [](QChar ch) { return ch.unicode() < 32; });
    if (!commit.isEmpty() && (hasControl || !admits(commit)))
        commit.clear();
    if (commit == event->commitString())
        return QPlainTextEdit::inputMethodEvent(event);
    QInputMethodEvent copy(event->preeditString(), event->attributes());
    copy.setCommitString(commit, event->replacementStart(), event->replacementLength());
    QPlainTextEdit::inputMethodEvent(&copy);
}

std::optional<QString> EightBitEdit::acceptedPaste(const QMimeData *source) const
{
    QString text;
    if (source->hasFormat(kEightBitMimeType)) {
        text = Cp1252::toUnicode(source->data(kEightBitMimeType));
    } else if (source->hasText()) {
        text = source->text();
        // Text from other programs ends its lines with LF alone; here a line
        // break is CR LF, as Enter types it.
        if (m_lines == Lines::Multi) {
            text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
            text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        }
    } else {
        return std::nullopt;
    }
    if (!std::all_of(text.cbegin(), text.cend(), canHold))
        return std::nullopt;
    return text;
}

bool EightBitEdit::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasFormat(kEightBitMimeType) || source->hasText();
}

void EightBitEdit::insertFromMimeData(const QMimeData *source)
{
    const std::optional<QString> text = acceptedPaste(source);
    if (!text) {
        QApplication::beep();
        return;
    }
    insertPlainText(toDocument(*text, m_lines));
    ensureCursorVisible();
}

QMimeData *EightBitEdit::createMimeDataFromSelection() const
{
    const QString selected = fromDocument(textCursor().selectedText());
    auto *mime = new QMimeData;
    mime->setText(selected);
    mime->setData(kEightBitMimeType, Cp1252::fromUnicode(selected));
    return mime;
}

void EightBitEdit::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    Q_EMIT focusLost();
}

void EightBitEdit::paintEvent(QPaintEvent *event)
{
    QPlainTextEdit::paintEvent(event);
    paintControlCells(event->rect());
}

void EightBitEdit::paintControlCells(const QRect &area)
{
    const QTextCursor cursor = textCursor();
    const QPalette colors = palette();
    const ControlPictures::Colors plain = ControlPictures::plain();
    const ControlPictures::Colors selected = ControlPictures::selected(
        colors.color(QPalette::Highlight), colors.color(QPalette::HighlightedText));
    QPainter painter(viewport());
    const QPointF offset = contentOffset();
    for (QTextBlock block = firstVisibleBlock(); block.isValid(); block = block.next()) {
        const QRectF bounds = blockBoundingGeometry(block).translated(offset);
        if (bounds.top() > area.bottom())
            break;
        const QString text = block.text();
        const QTextLayout *layout = block.layout();
        for (int i = 0; i < text.size(); ++i) {
            if (!ControlPictures::covers(text[i]))
                continue;
            const QTextLine line = layout->lineForTextPosition(i);
            const QRectF cell(bounds.left() + line.cursorToX(i), bounds.top() + line.y(),
                line.cursorToX(i + 1) - line.cursorToX(i), line.height());
            const int at = block.position() + i;
            const bool isSelected = at >= cursor.selectionStart() && at < cursor.selectionEnd();
            painter.fillRect(cell, colors.color(isSelected ? QPalette::Highlight : QPalette::Base));
            ControlPictures::paint(painter, cell, text[i], isSelected ? selected : plain, font());
        }
    }
}
