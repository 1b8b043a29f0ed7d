#include "frminfo.h"

#include <QMouseEvent>

FrmInfo::FrmInfo(QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Info"));
    setAccessibleName(QStringLiteral("Info"));
    resize(420, 260);
}

void FrmInfo::mousePressEvent(QMouseEvent *event)
{
    // Only the background closes the window; the labels take their own clicks.
    if (childAt(event->position().toPoint()) == nullptr)
        accept();
}
