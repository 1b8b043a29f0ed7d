#pragma once

#include <QIcon>
#include <QWidget>

class QPainter;

// One line the far end drives, as a round lamp with the line's name beside
// it: lit when the line is on, dark when it is off, and greyed while nobody
// can tell. A screen reader reads it as "CTS: ein" and hears of each change.
class LineLamp : public QWidget
{
    Q_OBJECT

public:
    enum class State { On, Off, Unknown };

    explicit LineLamp(const QString &line, QWidget *parent = nullptr);

    State state() const { return m_state; }
    void setState(State state);
    // "ein", "aus", "unbekannt".
    static QString stateWord(State state);
    // The lamp alone, for a button that switches a line of this end (DTR,
    // RTS): the same look tells its state at a glance.
    static QIcon icon(State state, int diameter, const QPalette &palette);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int lampDiameter() const;
    static void paintLamp(
        QPainter &painter, const QRectF &lamp, State state, const QPalette &palette);

    QString m_line;
    State m_state = State::Unknown;
};
