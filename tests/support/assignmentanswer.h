#pragma once

#include "settings/deviceassignmentdialog.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>

// Answers the device assignment dialog once it is open: the two paths, then
// OK (accept) or Abbrechen. seen tells whether it was opened, with its title.
inline void answerAssignmentDialog(
    const QString &com1, const QString &com2, bool accept, bool *seen)
{
    auto *timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [=] {
        auto *dialog = qobject_cast<DeviceAssignmentDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        *seen = dialog->windowTitle() == QStringLiteral("Geräte zuordnen");
        dialog->portBox(1)->setEditText(com1);
        dialog->portBox(2)->setEditText(com2);
        accept ? dialog->accept() : dialog->reject();
        timer->deleteLater();
    });
    timer->start(10);
}
