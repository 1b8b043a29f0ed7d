#pragma once

#include <QObject>
#include <optional>

class QWidget;
class SearchDialog;
class TrafficFinder;
class TrafficView;

// The search of a data window: Strg+F opens "Suchen", F3 and Umschalt+F3 go
// to the next and the previous match with the dialog closed too. A match is
// selected in the text view and, where the window has one over the same
// log, in the hex view, and scrolled into view; "Alle markieren" marks every
// match in both. Past the last match the search starts again at the first.
//
// While a match is shown, the window's new data do not take the selection
// away (see showsHit()); moving the caret elsewhere (Strg+Ende, a click)
// ends that.
class WindowSearch : public QObject
{
    Q_OBJECT

public:
    // window: where the keys work and over which the dialog opens. hex may
    // be null.
    WindowSearch(QWidget *window, TrafficView *text, TrafficView *hex);
    ~WindowSearch() override;

    void openDialog();
    void findNext();
    void findPrevious();
    void markAll();

    // Whether a match is selected in the text view right now.
    bool showsHit() const { return m_shown.has_value(); }
    SearchDialog *dialog() const { return m_dialog; }
    const TrafficFinder &finder() const { return *m_finder; }

private:
    enum class Direction { Forward, Backward };

    void onPatternChanged();
    void go(Direction direction);
    // Goes once the scan has found enough to tell; true when it could.
    bool tryGo();
    void show(qsizetype index);
    void onSelectionMoved();
    void updateResult();

    QWidget *m_window;
    TrafficView *m_text;
    TrafficView *m_hex;
    TrafficFinder *m_finder;
    SearchDialog *m_dialog = nullptr;
    // The match on show, as its index among the finder's hits.
    std::optional<qsizetype> m_shown;
    // A request waiting for the scan: its direction and the offset it starts from.
    std::optional<std::pair<Direction, qint64>> m_pending;
    bool m_marking = false;
    bool m_selecting = false;
};
