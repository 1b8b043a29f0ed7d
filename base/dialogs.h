#pragma once

#include <QString>
#include <QStringList>

class QWidget;

// The one seam through which the program asks the user anything: message
// boxes, the input box and the file dialogs. Tests install their own
// implementation to see which box appeared with which text and to answer it.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A modal box with an OK button only and no icon.
    virtual void message(const QString &text, const QString &title) = 0;
    // A modal input box; the empty text when cancelled.
    virtual QString inputBox(
        const QString &prompt, const QString &title, const QString &defaultAnswer)
        = 0;
    // A modal file-open dialog that accepts only existing files; empty when cancelled.
    virtual QString openFileName(const QString &title) = 0;
    // A modal box with the buttons Ja and Nein and no icon; true for Ja.
    virtual bool question(const QString &text, const QString &title) = 0;

    struct SaveTarget
    {
        QString path; // empty when cancelled
        qsizetype filter = -1; // index into the filters offered
    };
    // A modal file-save dialog offering the filters ("Rohdaten (*.bin)"), the
    // first chosen, with a name and folder suggested. Choosing an existing
    // file asks first whether to replace it.
    virtual SaveTarget saveFileName(
        const QString &title, const QStringList &filters, const QString &suggestedPath)
        = 0;

    static Dialogs &current();
    // Installs a replacement (tests); nullptr goes back to the real dialogs.
    static void install(Dialogs *dialogs);
};

// The real dialogs. Once shutdown has been requested (a signal), no new box
// opens: each call returns at once as if the user had answered OK or cancelled,
// and a question as if answered Ja, so that a handler that was waiting on a
// box runs to its end quickly and nothing holds the shutdown up.
class QtDialogs : public Dialogs
{
public:
    void message(const QString &text, const QString &title) override;
    QString inputBox(
        const QString &prompt, const QString &title, const QString &defaultAnswer) override;
    QString openFileName(const QString &title) override;
    bool question(const QString &text, const QString &title) override;
    SaveTarget saveFileName(
        const QString &title, const QStringList &filters, const QString &suggestedPath) override;

    static void refuseNewDialogs();
    // Closes every modal dialog now open, innermost first.
    static void dismissOpenDialogs();

private:
    static QWidget *dialogParent();
};
