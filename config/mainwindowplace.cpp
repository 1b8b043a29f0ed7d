#include "mainwindowplace.h"

#include "configfolder.h"

#include <QCoreApplication>
#include <QList>
#include <utility>

namespace {

// untranslated: the key of the file's one line
const QByteArray kKey = QByteArrayLiteral("Hauptfenster=");
// Far beyond any screen; a larger number is a damaged file, not a place.
constexpr int kLimit = 1 << 20;

} // namespace

MainWindowPlace::MainWindowPlace(QString path)
    : m_file(std::move(path))
{
}

QString MainWindowPlace::pathBeside(const QString &settingsPath)
{
    return ConfigFolder::fileBeside(settingsPath, QLatin1String(kFileName));
}

std::optional<MainWindowPlace::Place> MainWindowPlace::parse(const QByteArray &bytes)
{
    QByteArray line = bytes;
    if (line.endsWith('\n'))
        line.chop(1);
    if (!line.startsWith(kKey) || line.contains('\n'))
        return std::nullopt;
    const QList<QByteArray> fields = line.mid(kKey.size()).split(',');
    if (fields.size() != 5)
        return std::nullopt;
    int numbers[5] = {};
    for (int i = 0; i < 5; ++i) {
        bool ok = false;
        numbers[i] = fields[i].toInt(&ok);
        // toInt takes blanks and a plus sign; the file holds neither.
        if (!ok || fields[i] != QByteArray::number(numbers[i]) || numbers[i] <= -kLimit
            || numbers[i] >= kLimit)
            return std::nullopt;
    }
    if (numbers[2] <= 0 || numbers[3] <= 0 || (numbers[4] != 0 && numbers[4] != 1))
        return std::nullopt;
    return Place { QRect(numbers[0], numbers[1], numbers[2], numbers[3]), numbers[4] == 1 };
}

QByteArray MainWindowPlace::serialize(const Place &place)
{
    const QRect &r = place.normal;
    return kKey + QByteArray::number(r.x()) + ',' + QByteArray::number(r.y()) + ','
        + QByteArray::number(r.width()) + ',' + QByteArray::number(r.height()) + ','
        + (place.maximised ? '1' : '0') + '\n';
}

std::optional<MainWindowPlace::Place> MainWindowPlace::load()
{
    const SafeFile::Loaded loaded = m_file.load();
    if (!loaded.exists || !loaded.unreadable.isEmpty())
        return std::nullopt;
    std::optional<Place> place = parse(loaded.bytes);
    if (!place)
        m_file.keepOldFileAtNextWrite(true);
    return place;
}

QString MainWindowPlace::save(const Place &place)
{
    QString reason;
    if (m_file.write(serialize(place), reason))
        return {};
    //: %1 is the path of the file that keeps the main window's place, %2 the system's reason
    return QCoreApplication::translate(
        "MainWindowPlace", "Die Fensterposition „%1“ kann nicht geschrieben werden: %2.")
        .arg(m_file.displayPath(), reason);
}
