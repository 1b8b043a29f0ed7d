#pragma once

#include <QList>
#include <QProcessEnvironment>
#include <QString>
#include <QTemporaryDir>

struct LineDoubleState;

// The far end of a serial port's modem lines, for tests against a
// pseudo-terminal (PtyDevice), which has none of its own. The library
// libraryPath() names, preloaded into the program under test, answers the
// program's modem-line and break ioctls on any pty slave from a state file
// this object owns; here the test reads DTR, RTS and the breaks the program
// made, and sets CTS, DSR, DCD and RI for it to see.
//
// A program started by the test gets environment(). A test that drives the
// program's code in its own process is registered with
// tavel_line_double_test(), which preloads the library, and calls
// useInThisProcess(); isPreloaded() tells whether that took. From then on
// every pty slave this process opens counts as the port, so a PtyDevice is
// made before it.
class LineDouble
{
public:
    // One state of DTR and RTS, as TIOCM_DTR | TIOCM_RTS bits, and since when
    // (CLOCK_MONOTONIC, as monotonicNs()).
    struct LineState
    {
        qint64 ns;
        int lines;
    };

    LineDouble();
    ~LineDouble();
    LineDouble(const LineDouble &) = delete;
    LineDouble &operator=(const LineDouble &) = delete;

    bool isValid() const { return m_state != nullptr; }
    // Why the state file could not be made, for the test's message.
    QString errorString() const { return m_error; }
    QString statePath() const { return m_path; }
    static QString libraryPath();
    static bool isPreloaded();
    static qint64 monotonicNs();
    // A pty slave starts without HUPCL, where a serial port has it: sets it
    // (or clears it) on the pty, as termios belong to the terminal, not to
    // one descriptor. Unseen by the library, so neither DTR nor the history
    // moves.
    static bool setHangUpOnClose(const QString &slavePath, bool on = true);

    // base with the library preloaded and this state file named. An ASan
    // build of the program would stop at a library preloaded before its
    // runtime; its link-order check is turned off.
    QProcessEnvironment environment(
        QProcessEnvironment base = QProcessEnvironment::systemEnvironment()) const;
    // Names the state file to the library in this process, until this object
    // goes.
    void useInThisProcess();

    // CTS, DSR, CAR (DCD) and RNG (RI) as TIOCM_* bits; other bits are
    // ignored. Every line that changes counts a transition and wakes
    // TIOCMIWAIT.
    void setFarLines(int tiocmBits);
    // All lines, both ends, as TIOCMGET gives them.
    int lines() const;
    bool dtr() const;
    bool rts() const;
    // The last changes of DTR and RTS, oldest first, at most 64.
    QList<LineState> history() const;
    // When the program last opened a pty slave, or 0.
    qint64 openNs() const;
    // TIOCMIWAIT calls waiting right now.
    int waiters() const;

    // Every modem-line and break ioctl fails with this errno, as on a driver
    // without them; 0 answers them again.
    void refuseWith(int error);
    // Only TIOCMIWAIT fails with this errno; 0 answers it again.
    void refuseWaitWith(int error);

    int breakCount() const;
    bool breakOn() const;
    // How long the last break that has ended lasted; -1 before any has.
    double lastBreakMs() const;

private:
    QTemporaryDir m_dir;
    QString m_path;
    QString m_error;
    LineDoubleState *m_state = nullptr;
    bool m_inThisProcess = false;
};
