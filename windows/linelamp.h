#pragma once

#include <QWidget>

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

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int lampDiameter() const;

    QString m_line;
    State m_state = State::Unknown;
};
