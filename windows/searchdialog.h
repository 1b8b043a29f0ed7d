#pragma once

#include "text/bytepattern.h"

#include <QDialog>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// "Suchen": what to look for in a data window, as text or in hex notation
// ("41 0D ?? 0A", "??" for any byte), and the commands to go through the
// matches. Modeless, so that the window and its data stay in reach. It reads
// and checks the entry; the window's search does the rest.
class SearchDialog : public QDialog
{
    Q_OBJECT

public:
    explicit SearchDialog(QWidget *parent = nullptr);

    // The pattern as entered, or nothing while the entry is empty or wrong.
    const std::optional<BytePattern> &pattern() const { return m_pattern; }
    // "Treffer 3 von 17", "Nicht gefunden." or nothing.
    void setResult(const QString &text);

    QLineEdit *patternEdit() const { return m_edit; }
    QRadioButton *textOption() const { return m_text; }
    QRadioButton *hexOption() const { return m_hex; }
    QCheckBox *caseOption() const { return m_case; }
    QPushButton *nextButton() const { return m_next; }
    QPushButton *previousButton() const { return m_previous; }
    QPushButton *markAllButton() const { return m_markAll; }
    QLabel *problemLabel() const { return m_problem; }
    QLabel *resultLabel() const { return m_result; }

Q_SIGNALS:
    void patternChanged();
    void nextRequested();
    void previousRequested();
    void markAllRequested();

private:
    void readEntry();

    QLineEdit *m_edit = nullptr;
    QRadioButton *m_text = nullptr;
    QRadioButton *m_hex = nullptr;
    QCheckBox *m_case = nullptr;
    QLabel *m_problem = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_markAll = nullptr;
    QPushButton *m_close = nullptr;
    QLabel *m_result = nullptr;
    std::optional<BytePattern> m_pattern;
};
