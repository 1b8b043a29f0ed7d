#include "config/settingsfile.h"
#include "firstrunfile.h"
#include "text/cp1252.h"

#include <QTest>

Q_DECLARE_METATYPE(SavedState)

namespace {

// Distinct values in every field, so a field read into the wrong place shows.
SavedState sample()
{
    SavedState state;
    for (int i = 0; i < SavedState::kWindowCount; ++i) {
        state.WindowLeft[i] = 100 * i + 7;
        state.WindowTop[i] = 200 * i + 9;
    }
    state.ConnectionSettings = { 3, 1, 2, 0, 1 };
    for (int i = 0; i < SavedState::kAutomationButtonCount; ++i) {
        AutomationButton &button = state.AutomationButtons[i];
        button.Payload = QStringLiteral("AT+%1").arg(i + 1);
        button.ClearFlag = i % 2 ? QStringLiteral("1") : QStringLiteral("0");
        button.Caption = QStringLiteral("Knopf %1").arg(i + 1);
    }
    return state;
}

// Windows-1252 codes 80 to FF.
QByteArray highCodes()
{
    QByteArray bytes;
    for (int code = 0x80; code <= 0xFF; ++code)
        bytes += char(code);
    return bytes;
}

QList<QByteArray> linesOf(const QByteArray &file)
{
    QList<QByteArray> lines = file.split('\n');
    lines.removeLast(); // after the final line end
    for (QByteArray &line : lines)
        line.chop(1); // its CR
    return lines;
}

QByteArray joinLines(const QList<QByteArray> &lines)
{
    QByteArray file;
    for (const QByteArray &line : lines)
        file += line + "\r\n";
    return file;
}

QByteArray withLine(const QByteArray &file, int lineNumber, const QByteArray &replacement)
{
    QList<QByteArray> lines = linesOf(file);
    lines[lineNumber - 1] = replacement;
    return joinLines(lines);
}

QByteArray firstLines(const QByteArray &file, int count)
{
    return joinLines(linesOf(file).first(count));
}

QByteArray replaced(QByteArray bytes, const QByteArray &before, const QByteArray &after)
{
    return bytes.replace(before, after);
}

void compareStates(const SavedState &actual, const SavedState &expected)
{
    // Byte images first: when they differ, the failure shows which field.
    QCOMPARE(SettingsFile::serialize(actual), SettingsFile::serialize(expected));
    QVERIFY(actual == expected);
}

} // namespace

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    // Lines of one file: numbers as digits, texts in quotes with their
    // quotes doubled, a Windows-1252 byte for each character.
    void lineImages_data()
    {
        QTest::addColumn<int>("line");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("window line with left -45 and top 120") << 2 << QByteArray("-45,120\r\n");
        QTest::newRow("quotes in a text are written doubled")
            << 11 << QByteArray("\"say \"\"hi\"\"\",\"\"\r\n");
        QTest::newRow("NUL is not written") << 12 << QByteArray("\"AT\",\"\"\r\n");
        QTest::newRow("payload line with empty payload and flag 0")
            << 14 << QByteArray("\"\",\"0\"\r\n");
        QTest::newRow("a quote alone") << 21 << QByteArray("\"\"\"\"\r\n");
        QTest::newRow("no Windows-1252 code: a question mark")
            << 22 << QByteArray("\"a?b\x80\"\r\n");
        QTest::newRow("Windows-1252 codes one byte each") << 23 << '"' + highCodes() + "\"\r\n";
    }
    void lineImages()
    {
        QFETCH(int, line);
        QFETCH(QByteArray, bytes);
        SavedState state = SavedState::defaults();
        state.WindowLeft[1] = -45;
        state.WindowTop[1] = 120;
        state.AutomationButtons[0] = { QStringLiteral("\""), QStringLiteral("say \"hi\""), {} };
        state.AutomationButtons[1].Payload = QString(QChar(0)) + QStringLiteral("AT");
        state.AutomationButtons[1].Caption = QStringLiteral("a→b€");
        state.AutomationButtons[2].Caption = Cp1252::toUnicode(highCodes());
        state.AutomationButtons[3].ClearFlag = QStringLiteral("0");
        QCOMPARE(linesOf(SettingsFile::serialize(state)).at(line - 1) + "\r\n", bytes);
    }

    void defaultsFileIsExactlyThirtyLinesOfKnownBytes()
    {
        const QByteArray file = SettingsFile::serialize(SavedState::defaults());
        QCOMPARE(file, firstRunSettingsFile());
        QCOMPARE(file.count("\r\n"), SettingsFile::kLineCount);
        QCOMPARE(file.count('\n'), SettingsFile::kLineCount);
    }

    void savedStateReadsBackUnchanged_data()
    {
        QTest::addColumn<SavedState>("state");

        SavedState negative = sample();
        negative.WindowLeft = { -1, -45, -330, -2147483647 - 1, 0 };
        negative.WindowTop = { -2, 120, -660, 2147483647, -1320 };
        negative.ConnectionSettings = { -32768, 32767, -1, 0, 1 };

        // Commas, quotes, line breaks and blanks in payloads, flags and captions.
        SavedState texts = sample();
        texts.AutomationButtons[0].Payload = QStringLiteral("say \"hi\"");
        texts.AutomationButtons[1].Payload = QStringLiteral("\"");
        texts.AutomationButtons[1].ClearFlag = QStringLiteral("\"\"");
        texts.AutomationButtons[2].Payload = QStringLiteral("AT,1,2");
        texts.AutomationButtons[2].Caption = QStringLiteral("a, b");
        texts.AutomationButtons[3].Payload = QStringLiteral("line 1\r\nline 2\r\n");
        texts.AutomationButtons[4].Caption = QStringLiteral("\",\"");
        texts.AutomationButtons[5].Payload = QStringLiteral("\n\r,\r");
        texts.AutomationButtons[6].Caption = QStringLiteral("two\nlines");
        texts.AutomationButtons[7].Payload = QStringLiteral("  padded  ");
        texts.AutomationButtons[8].Caption = QString();
        texts.AutomationButtons[9].Caption = QStringLiteral(",");

        SavedState highCodes = sample();
        highCodes.AutomationButtons[0].Payload = Cp1252::toUnicode(::highCodes());
        highCodes.AutomationButtons[9].Caption = QStringLiteral("Größe 5 €");

        QTest::newRow("defaults") << SavedState::defaults();
        QTest::newRow("negative and extreme integers") << negative;
        QTest::newRow("texts that need quoting") << texts;
        QTest::newRow("Windows-1252 codes 80 to FF") << highCodes;
    }
    void savedStateReadsBackUnchanged()
    {
        QFETCH(SavedState, state);

        const QByteArray file = SettingsFile::serialize(state);
        const SettingsFile::ReadResult read = SettingsFile::parse(file);
        QCOMPARE(read.problem, QString());
        compareStates(read.state, state);
        QCOMPARE(SettingsFile::serialize(read.state), file);
    }

    void layoutVariantsReadTheSame_data()
    {
        QTest::addColumn<QByteArray>("file");

        const QByteArray standard = SettingsFile::serialize(sample());
        QByteArray oneLine = replaced(standard, "\r\n", ",");
        oneLine.chop(1);

        QTest::newRow("standard layout") << standard;
        QTest::newRow("all fields on one line") << oneLine + "\r\n";
        QTest::newRow("all fields on one line without line end") << oneLine;
        QTest::newRow("every field on its own line") << replaced(standard, ",", "\r\n");
        QTest::newRow("lone LF line ends") << replaced(standard, "\r\n", "\n");
        QTest::newRow("lone CR line ends") << replaced(standard, "\r\n", "\r");
        QTest::newRow("no line end after the last line") << standard.chopped(2);
        QTest::newRow("blanks and tabs before fields")
            << " \t" + replaced(replaced(standard, ",", ", "), "\r\n", "\r\n\t ");
        QTest::newRow("unquoted texts with blanks around them")
            << replaced(replaced(standard, "\"0\"", " 0 "), "\"Knopf 2\"", "  Knopf 2\t");
        QTest::newRow("quoted numbers") << withLine(standard, 1, "\"7\",\" 9\"");
        QTest::newRow("anything between closing quote and separator")
            << replaced(standard, "\"Knopf 3\"", "\"Knopf 3\" junk \"x\"");
        QTest::newRow("more than 30 lines")
            << standard + "1,2\r\n\"stray\"\r\n" + SettingsFile::serialize(SavedState::defaults());
    }
    void layoutVariantsReadTheSame()
    {
        QFETCH(QByteArray, file);

        const SettingsFile::ReadResult read = SettingsFile::parse(file);
        QCOMPARE(read.problem, QString());
        compareStates(read.state, sample());
    }

    void damagedFileIsReadAsFarAsPossibleAndReported_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<SavedState>("expected");
        QTest::addColumn<QString>("problem");

        const SavedState full = sample();
        const QByteArray standard = SettingsFile::serialize(full);

        // Lines 1 to 11 hold fields 1 to 17: the windows, the connection and button 1.
        SavedState upToField17 = SavedState::defaults();
        upToField17.WindowLeft = full.WindowLeft;
        upToField17.WindowTop = full.WindowTop;
        upToField17.ConnectionSettings = full.ConnectionSettings;
        upToField17.AutomationButtons[0].Payload = full.AutomationButtons[0].Payload;
        upToField17.AutomationButtons[0].ClearFlag = full.AutomationButtons[0].ClearFlag;

        SavedState firstWindowZero = full;
        firstWindowZero.WindowLeft[0] = 0;
        SavedState firstSettingZero = full;
        firstSettingZero.ConnectionSettings[0] = 0;
        SavedState severalZero = firstSettingZero;
        severalZero.WindowLeft[0] = 0;
        severalZero.WindowTop[0] = 0;

        QByteArray utf16;
        for (char c : standard)
            utf16 += QByteArray(1, c) + '\0';

        QTest::newRow("file ends after field 17") << firstLines(standard, 11) << upToField17
                                                  << QStringLiteral("endet nach Feld 17 von 45");
        QTest::newRow("empty file")
            << QByteArray() << SavedState::defaults() << QStringLiteral("Die Datei ist leer.");
        QTest::newRow("last caption without closing quote")
            << standard.chopped(3) << full << QStringLiteral("endet mitten in Feld 45 von 45");
        QTest::newRow("window position that is no number")
            << withLine(standard, 1, "abc,9") << firstWindowZero
            << QStringLiteral("Feld 1 enthält keine gültige Zahl und wurde als 0 gelesen.");
        QTest::newRow("empty window position")
            << withLine(standard, 1, ",9") << firstWindowZero << QStringLiteral("Feld 1 ");
        QTest::newRow("window position with a fraction")
            << withLine(standard, 1, "7.5,9") << firstWindowZero << QStringLiteral("Feld 1 ");
        QTest::newRow("window position beyond 32 bits") << withLine(standard, 1,
            "2147483648,9") << firstWindowZero << QStringLiteral("Feld 1 ");
        QTest::newRow("connection setting beyond 16 bits")
            << withLine(standard, 6, "32768") << firstSettingZero << QStringLiteral("Feld 11 ");
        QTest::newRow("several fields that are no number")
            << withLine(withLine(standard, 1, "x,y"), 6, "-") << severalZero
            << QStringLiteral("Die Felder 1, 2 und 11 enthalten keine gültige Zahl");
        QTest::newRow("NUL byte in a caption")
            << replaced(standard, "Knopf 4", QByteArray("Knopf\0 4", 8)) << full
            << QStringLiteral("Die Datei enthält Nullbytes und ist keine Textdatei.");
        QTest::newRow("file saved as UTF-16") << utf16 << full << QStringLiteral("Nullbytes");
    }
    void damagedFileIsReadAsFarAsPossibleAndReported()
    {
        QFETCH(QByteArray, file);
        QFETCH(SavedState, expected);
        QFETCH(QString, problem);

        const SettingsFile::ReadResult read = SettingsFile::parse(file);
        QVERIFY2(read.problem.contains(problem), qPrintable(read.problem));
        compareStates(read.state, expected);
    }
};

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
