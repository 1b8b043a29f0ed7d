// Saves what an X server shows as a PNG: the whole screen, or the part of it
// that one window covers. For the README's pictures, taken under Xvfb.
//
//   screenshot FILE.png [WINDOW-ID]

#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "xcb");
    QGuiApplication app(argc, argv);
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: screenshot FILE.png [WINDOW-ID]\n");
        return 2;
    }
    const WId window = argc == 3 ? WId(QByteArray(argv[2]).toULongLong(nullptr, 0)) : 0;
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(window);
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "screenshot: could not grab or save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
