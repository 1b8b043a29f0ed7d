#include "dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <QPointer>

namespace {

Dialogs *g_installed = nullptr;
bool g_refuseNewDialogs = false;

} // namespace

Dialogs &Dialogs::current()
{
    static QtDialogs real;
    return g_installed ? *g_installed : real;
}

void Dialogs::install(Dialogs *dialogs)
{
    g_installed = dialogs;
}

QWidget *QtDialogs::dialogParent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && !w->windowFlags().testFlag(Qt::ToolTip))
            return w;
    }
    return nullptr;
}

void QtDialogs::message(const QString &text, const QString &title)
{
    if (g_refuseNewDialogs)
        return;
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, dialogParent());
    box.setAccessibleName(title);
    box.exec();
}

QString QtDialogs::inputBox(
    const QString &prompt, const QString &title, const QString &defaultAnswer)
{
    if (g_refuseNewDialogs)
        return {};
    QInputDialog dialog(dialogParent());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextValue(defaultAnswer);
    dialog.setAccessibleName(title);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.textValue();
}

QString QtDialogs::openFileName(const QString &title)
{
    if (g_refuseNewDialogs)
        return {};
    // Qt's own dialog rather than the desktop's, so that it speaks the program's language with
    // Qt's translations whatever desktop the user runs.
    QFileDialog dialog(dialogParent(), title);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

Dialogs::SaveTarget QtDialogs::saveFileName(
    const QString &title, const QStringList &filters, const QString &suggestedPath)
{
    if (g_refuseNewDialogs)
        return {};
    QFileDialog dialog(dialogParent(), title);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(filters);
    dialog.selectFile(suggestedPath);
    // Qt's dialog changes the name's suffix to the filter the user picks, so
    // a hex listing is not suggested as "….bin".
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return { dialog.selectedFiles().constFirst(), filters.indexOf(dialog.selectedNameFilter()) };
}

bool QtDialogs::question(const QString &text, const QString &title)
{
    if (g_refuseNewDialogs)
        return true;
    QMessageBox box(
        QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No, dialogParent());
    // Every question asks whether to give something up; Enter keeps it.
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    box.setAccessibleName(title);
    return box.exec() == QMessageBox::Yes;
}

void QtDialogs::refuseNewDialogs()
{
    g_refuseNewDialogs = true;
}

void QtDialogs::dismissOpenDialogs()
{
    // Rejecting a dialog only ends its event loop once control gets back to
    // it, so collect them first and close them all.
    QList<QPointer<QWidget>> open;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->isModal())
            open.append(w);
    }
    for (const QPointer<QWidget> &w : open) {
        if (!w)
            continue;
        if (auto *dialog = qobject_cast<QDialog *>(w.data()))
            dialog->done(QDialog::Rejected);
        else
            w->close();
    }
}
