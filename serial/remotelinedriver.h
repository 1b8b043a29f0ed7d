#pragma once

#include "linedriver.h"
#include "telnetcomport.h"

#include <QTimer>
#include <functional>

// The wires of a port on a serial server, through the com-port commands of
// RFC 2217: DTR, RTS, BREAK and flow control with SET-CONTROL, the far lines
// from NOTIFY-MODEMSTATE. The server answers later or not at all (ser2net
// cannot set the lines of a pty and stays silent), so the lines show what
// was asked for until a short wait without an answer makes them unknown.
class RemoteLineDriver : public LineDriver
{
    Q_OBJECT

public:
    static constexpr int kAnswerWaitMs = 1500;

    using Send = std::function<void(const QByteArray &)>;
    // send: hands a com-port command to the connection, on this object's thread.
    explicit RemoteLineDriver(Send send, QObject *parent = nullptr);

    // A com-port message from the server.
    void take(const TelnetComPort::Message &message);

    Reading read() override;
    std::optional<QString> setOwnLines(int bits, bool on) override;
    std::optional<QString> setBreak(bool on) override;
    std::optional<QString> applyFlowAndHangUp(
        LineChoices::FlowControl flow, bool keepDtrAfterClose) override;
    void startWatching() override;
    void stopWatching() override;

private:
    void sendControl(std::uint8_t value);
    void takeControlAnswer(std::uint8_t value);
    void giveUp(const QString &reason);

    Send m_send;
    int m_own = 0;
    int m_far = 0;
    // Own lines asked for and not yet confirmed.
    int m_awaited = 0;
    bool m_watching = false;
    QString m_unknown;
    QTimer m_answerWait;
};
