#pragma once

#include "files/safefile.h"

#include <QByteArray>
#include <QRect>
#include <QString>
#include <optional>

// Where the main window stood when the program last ended: its place and size
// in the normal state, and whether it was maximised. Kept in a small file of
// its own beside tavel.cfg, whose 30 lines have no room for it:
//
//     Hauptfenster=LEFT,TOP,WIDTH,HEIGHT,MAXIMIERT     (MAXIMIERT 0 or 1)
//
// ASCII, one line ended by LF. A missing or damaged file means the window's
// default place; the place is a convenience, so a damaged file is not worth a
// box at start, and it is replaced by the next save (kept as its .bak).
class MainWindowPlace
{
public:
    static constexpr char kFileName[] = "tavel-fenster.cfg";

    struct Place
    {
        QRect normal;
        bool maximised = false;

        friend bool operator==(const Place &, const Place &) = default;
    };

    explicit MainWindowPlace(QString path);
    // The file in the folder that holds the given tavel.cfg.
    static QString pathBeside(const QString &settingsPath);

    static std::optional<Place> parse(const QByteArray &bytes);
    static QByteArray serialize(const Place &place);

    std::optional<Place> load();
    // Empty on success; otherwise a message with the path and the
    // system's reason.
    QString save(const Place &place);

private:
    SafeFile m_file;
};
