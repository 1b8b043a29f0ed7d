#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGTERM, SIGINT and SIGHUP into a Qt signal on the event loop, so that
// a logout or a kill ends the program the orderly way (windows unloaded,
// settings written) instead of losing what the user had.
class ShutdownSignals : public QObject
{
    Q_OBJECT

public:
    explicit ShutdownSignals(QObject *parent = nullptr);
    ~ShutdownSignals() override;

Q_SIGNALS:
    void requested();

private:
    void onReadable();

    QSocketNotifier *m_notifier = nullptr;
};
