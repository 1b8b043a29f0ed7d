#pragma once

#include <QByteArray>
#include <QString>

// A device at the far end of a pseudo-terminal, for tests: the port object
// opens slavePath() as it would open a serial port, and the test plays the
// device through the master end. Both ends are raw, so bytes pass unchanged
// (a fresh pty translates CR/LF and echoes). Reading and writing keep the Qt
// event loop running while they wait, so the port object in the same thread
// can do its share.
class PtyDevice
{
public:
    PtyDevice() { reopen(); }
    ~PtyDevice() { close(); }
    PtyDevice(const PtyDevice &) = delete;
    PtyDevice &operator=(const PtyDevice &) = delete;

    bool isOpen() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    // The test's own descriptor of the slave side: the termios the port
    // object set can be read through it.
    int slaveFd() const { return m_slave; }
    // Why opening failed, for the test's message.
    QString errorString() const { return m_error; }

    // Writes everything; false on a write error or when timeoutMs passes
    // first because nobody reads the other end.
    bool write(const QByteArray &bytes, int timeoutMs = 5000);
    // Reads until count bytes have arrived or timeoutMs has passed; returns
    // what arrived.
    QByteArray read(qint64 count, int timeoutMs = 5000);
    // Keeps the event loop running for waitMs, then returns whatever arrived.
    QByteArray readFor(int waitMs);

    // The device vanishes: the port object's end sees a hang-up.
    void closeMaster();
    // A new pseudo-terminal, usually under a new slave path.
    bool reopen();

private:
    void close();
    bool waitFor(short events, int timeoutMs);

    int m_master = -1;
    // Kept open so that the master never reads end-of-file between two
    // openings by the port object.
    int m_slave = -1;
    QString m_slavePath;
    QString m_error;
};
