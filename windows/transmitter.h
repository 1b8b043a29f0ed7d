#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class FrmSendefenster;
class MSComm;

// The connection check and the transmit step that the input window and the
// automation window share.
class Transmitter
{
public:
    // sentWindow gives the sent-data window, loading it first if needed.
    Transmitter(MSComm &comm, std::function<FrmSendefenster &()> sentWindow);

    // True when the port is open; otherwise tells the user so and gives false.
    bool connectionCheck();

    // Hands the payload to the port in one piece and appends the echoes to the
    // sent-data window's text view and, if given, its hex view. The echo does
    // not scroll the views. The window also keeps the bytes the port took.
    void transmit(const QByteArray &payload, const QString &textEcho,
        const std::optional<QString> &hexEcho = std::nullopt);

private:
    MSComm &m_comm;
    std::function<FrmSendefenster &()> m_sentWindow;
};
