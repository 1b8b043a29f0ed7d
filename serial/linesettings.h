#pragma once

#include <QString>
#include <array>
#include <optional>

// The line parameters of a Settings text such as "9600,N,8,1": baud rate,
// parity letter, data bits and stop bits, joined by single commas.
class LineSettings
{
public:
    enum class Parity { None, Even, Odd, Mark, Space };
    enum class StopBits { One, OneAndHalf, Two };

    // The rates the settings window offers, in its order. tavel.cfg stores a
    // position in this list, so rates are only ever appended: the first twelve
    // keep their places, and the fast rates of today's boards and USB bridges
    // follow them.
    static constexpr std::array<int, 17> kBaudRates = { 110, 300, 600, 1200, 2400, 4800, 9600,
        14400, 19200, 28800, 38400, 56000, 57600, 115200, 230400, 460800, 921600 };
    static constexpr std::array<int, 4> kDataBits = { 5, 6, 7, 8 };

    // One row per parity: its letter in the text, the caption of its option
    // in the settings window and the word of the status bar ("keine
    // Parität"). The rows stand in the order of the options, which is the
    // position tavel.cfg stores. Caption and word are only ever shown, never
    // stored: they go through QCoreApplication::translate("LineSettings", …)
    // where they are shown.
    struct ParityRow
    {
        Parity value;
        char letter;
        const char *caption;
        const char *word;
    };
    static constexpr std::array<ParityRow, 5> kParities = { {
        { Parity::None, 'N',
            //: Parity option in the settings window: no parity bit
            QT_TRANSLATE_NOOP("LineSettings", "Keine"),
            //: Parity in the status bar ("Einstellungen: …, keine Parität, …") and in error
            //: messages ("Parität „keine“ nicht übernommen"): no parity bit
            QT_TRANSLATE_NOOP("LineSettings", "keine") },
        { Parity::Even, 'E',
            //: Parity option in the settings window: even parity
            QT_TRANSLATE_NOOP("LineSettings", "Gerade"),
            //: Parity in the status bar and in error messages: even parity
            QT_TRANSLATE_NOOP("LineSettings", "gerade") },
        { Parity::Odd, 'O',
            //: Parity option in the settings window: odd parity
            QT_TRANSLATE_NOOP("LineSettings", "Ungerade"),
            //: Parity in the status bar and in error messages: odd parity
            QT_TRANSLATE_NOOP("LineSettings", "ungerade") },
        //: Parity: mark parity (option in the settings window, word in the status bar and in
        //: error messages)
        { Parity::Mark, 'M', QT_TRANSLATE_NOOP("LineSettings", "Mark"),
            QT_TRANSLATE_NOOP("LineSettings", "Mark") },
        //: Parity: space parity (option in the settings window, word in the status bar and in
        //: error messages)
        { Parity::Space, 'S', QT_TRANSLATE_NOOP("LineSettings", "Space"),
            QT_TRANSLATE_NOOP("LineSettings", "Space") },
    } };

    // One row per stop bits setting: its piece of the text (also shown in
    // the status bar) and the caption of its option, in the options' order.
    // The captions are shown through QCoreApplication::translate
    // ("LineSettings", …) for the decimal separator.
    struct StopBitsRow
    {
        StopBits value;
        const char *piece;
        const char *caption;
    };
    static constexpr std::array<StopBitsRow, 3> kStopBitsRows = { {
        { StopBits::One, "1", "1" },
        //: Stop bits option in the settings window: one and a half stop bits, with the
        //: language's decimal separator
        { StopBits::OneAndHalf, "1.5", QT_TRANSLATE_NOOP("LineSettings", "1,5") },
        { StopBits::Two, "2", "2" },
    } };

    static const ParityRow &rowOf(Parity parity);
    static const StopBitsRow &rowOf(StopBits stopBits);

    // Why settings that are not isSendable() cannot be used.
    static QString unsendableReason();

    // Accepts exactly the form above and nothing else: no blanks, no empty or
    // extra pieces, no rate outside kBaudRates, parity one of N E O M S, data
    // bits 5 to 8, stop bits 1, 1.5 or 2. On failure, problem (when given)
    // receives a phrase in the interface's language naming the piece that is wrong.
    static std::optional<LineSettings> parse(const QString &text, QString *problem = nullptr);

    // The canonical text, as parse() accepts it.
    QString toString() const;

    // 1.5 stop bits exist on the wire only with 5-bit characters; with more
    // data bits no UART can send them.
    bool isSendable() const { return m_stopBits != StopBits::OneAndHalf || m_dataBits == 5; }

    int baudRate() const { return m_baudRate; }
    Parity parity() const { return m_parity; }
    int dataBits() const { return m_dataBits; }
    StopBits stopBits() const { return m_stopBits; }

    bool operator==(const LineSettings &other) const = default;

private:
    int m_baudRate = 9600;
    Parity m_parity = Parity::None;
    int m_dataBits = 8;
    StopBits m_stopBits = StopBits::One;
};
