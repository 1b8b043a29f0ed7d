#pragma once

#include <QCoreApplication>
#include <QFileInfo>
#include <QString>

// Message texts that several windows show.
namespace Messages {

// The connection check's answer when the port is closed.
inline QString noConnection()
{
    return QCoreApplication::translate("Messages", "Es besteht keine serielle Verbindung.");
}

// A second file while one is still being sent or saved; done is the
// participle of the work ("gesendet", "gespeichert").
inline QString oneFileAtATime(const QString &path, const QString &done)
{
    //: %1 is a file name, %2 the participle of the work: "sent" or "saved"
    return QCoreApplication::translate("Messages",
        "Die Datei „%1“ wird noch %2. Eine weitere Datei kann erst %2 werden, "
        "wenn sie fertig ist oder abgebrochen wurde.")
        .arg(QFileInfo(path).fileName(), done);
}

// What ends a file send that is still under way, if the user agrees.
enum class SendEnding { Disconnect, Reconnect, Quit };

// The question before it: it names what a Ja does, so that nobody reads it as
// a question about the disconnect or the end itself.
inline QString sendNotFinished(const QString &path, int percent, SendEnding ending)
{
    QString then;
    switch (ending) {
    case SendEnding::Disconnect:
        //: completes "Cancel sending and %3?"
        then = QCoreApplication::translate("Messages", "die Verbindung trennen");
        break;
    case SendEnding::Reconnect:
        //: completes "Cancel sending and %3?"
        then = QCoreApplication::translate("Messages", "neu verbinden");
        break;
    case SendEnding::Quit:
        //: completes "Cancel sending and %3?"; Tavel is the program's name
        then = QCoreApplication::translate("Messages", "Tavel beenden");
        break;
    }
    //: %1 is a file name, %2 the percentage sent so far, %3 what happens next: "disconnect",
    //: "reconnect" or "exit Tavel"
    return QCoreApplication::translate(
        "Messages", "Die Datei „%1“ ist erst zu %2 % gesendet. Senden abbrechen und %3?")
        .arg(QFileInfo(path).fileName())
        .arg(percent)
        .arg(then);
}

// The question before something ends a file that is still being saved;
// giveUp is what a Ja does ("abbrechen", "beenden").
inline QString notFinished(
    const QString &path, const QString &done, int percent, const QString &giveUp)
{
    //: %1 is a file name, %2 the participle of the work ("saved"), %3 the percentage done,
    //: %4 the verb of what a Yes does, in lower case: "cancel" or "exit"
    return QCoreApplication::translate(
        "Messages", "Die Datei „%1“ ist noch nicht ganz %2 (%3 %). Trotzdem %4?")
        .arg(QFileInfo(path).fileName(), done)
        .arg(percent)
        .arg(giveUp);
}

} // namespace Messages
