#pragma once

#include <QDialog>

// The info window: the program's title and three lines about it, shown
// modally over the main window. A click on its background closes it.
class FrmInfo : public QDialog
{
    Q_OBJECT

public:
    explicit FrmInfo(QWidget *parent = nullptr);

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
