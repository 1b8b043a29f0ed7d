#pragma once

#include "devices/comportmap.h"
#include "linechoices.h"

#include <QByteArray>
#include <QPoint>
#include <QString>
#include <array>
#include <optional>

// What the lines window keeps from one run to the next, as the file
// "tavel-leitungen.cfg" holds it: UTF-8 text, one "KEY=VALUE" line each, "#"
// comment lines. A key left out keeps its default. For example:
//
//   # Tavel: Leitungen je Port
//   COM1.Flusssteuerung=RTS/CTS
//   COM1.DTR=aus
//   COM1.RTS=aus
//   COM1.DTR-nach-Trennen=ein
//   Break=250
//   Fenster=7200,480
class LinesSettings
{
public:
    static constexpr int kBreakMinMs = 10;
    static constexpr int kBreakMaxMs = 5000;
    static constexpr int kBreakDefaultMs = 250;

    struct ReadResult;

    static ReadResult parse(const QByteArray &bytes);
    QByteArray serialize() const;

    // The defaults for a port that is not 1 or 2.
    LineChoices choices(int port) const;
    void setChoices(int port, const LineChoices &choices);

    int breakMs() const { return m_breakMs; }
    // Kept within kBreakMinMs and kBreakMaxMs.
    void setBreakMs(int ms);

    // The window's place in twips, as the other child windows keep theirs;
    // none before the window was first closed.
    std::optional<QPoint> windowPlace() const { return m_windowPlace; }
    void setWindowPlace(QPoint twips) { m_windowPlace = twips; }

    bool operator==(const LinesSettings &) const = default;

private:
    std::array<LineChoices, ComPortMap::kPortCount> m_choices {};
    int m_breakMs = kBreakDefaultMs;
    std::optional<QPoint> m_windowPlace;
};

struct LinesSettings::ReadResult
{
    // The defaults when the file is damaged: half a file could leave DTR on
    // where the user wanted it off, or the other way round.
    LinesSettings settings;
    // Empty when the file was sound; otherwise a German phrase naming the
    // line and what is wrong with it.
    QString problem;
};
