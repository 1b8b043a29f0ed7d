#pragma once

#include <QDialog>
#include <array>

class QLabel;
class QKeyEvent;
class QMouseEvent;

// The info window: the program's title and three lines about it, shown
// modally over the main window. A click on its background closes it; the
// labels swallow their clicks.
class FrmInfo : public QDialog
{
    Q_OBJECT

public:
    explicit FrmInfo(QWidget *parent = nullptr);

    // The pointer shown over the window, drawn here rather than loaded.
    static QCursor infoCursor();

    QLabel *Label1 = nullptr;
    QWidget *Line1 = nullptr;
    QLabel *Label2 = nullptr;
    std::array<QLabel *, 2> Label3 {};

protected:
    void mousePressEvent(QMouseEvent *event) override;
    // Escape does not close it: only the background does (and the frame's
    // close box, which the desktop draws).
    void keyPressEvent(QKeyEvent *event) override;

private:
    QLabel *addLine(const QString &objectName, const QString &text, const QColor &color,
        qreal pointSize, const QString &role);
};
