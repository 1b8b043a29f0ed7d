#pragma once

#include "base/dialogs.h"

#include <QList>
#include <QStringList>
#include <functional>

// Stands in for the real dialogs while it lives: records every box with its
// text and title and answers input boxes and file dialogs from queues.
class RecordingDialogs : public Dialogs
{
public:
    struct Box
    {
        QString text;
        QString title;
    };

    struct SaveDialog
    {
        QString title;
        QStringList filters;
        QString suggestedPath;
    };

    RecordingDialogs() { Dialogs::install(this); }
    ~RecordingDialogs() override { Dialogs::install(nullptr); }

    void message(const QString &text, const QString &title) override
    {
        messages.append({ text, title });
        if (onMessage)
            onMessage(messages.constLast());
    }

    QString inputBox(
        const QString &prompt, const QString &title, const QString &defaultAnswer) override
    {
        inputs.append({ prompt, title });
        inputDefaults.append(defaultAnswer);
        return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
    }

    QString openFileName(const QString &title) override
    {
        fileDialogTitles.append(title);
        return fileAnswers.isEmpty() ? QString() : fileAnswers.takeFirst();
    }

    SaveTarget saveFileName(
        const QString &title, const QStringList &filters, const QString &suggestedPath) override
    {
        saveDialogs.append({ title, filters, suggestedPath });
        return saveAnswers.isEmpty() ? SaveTarget() : saveAnswers.takeFirst();
    }

    bool question(const QString &text, const QString &title) override
    {
        questions.append({ text, title });
        return questionAnswers.isEmpty() ? true : questionAnswers.takeFirst();
    }

    QStringList messageTexts() const
    {
        QStringList texts;
        for (const Box &box : messages)
            texts.append(box.text);
        return texts;
    }

    QList<Box> messages;
    QList<Box> inputs;
    QStringList inputDefaults;
    QStringList inputAnswers;
    QStringList fileDialogTitles;
    QStringList fileAnswers;
    QList<SaveDialog> saveDialogs;
    // Save dialogs are cancelled unless an answer is queued.
    QList<SaveTarget> saveAnswers;
    // Questions are answered Ja unless an answer is queued.
    QList<Box> questions;
    QList<bool> questionAnswers;
    std::function<void(const Box &)> onMessage;
};
