#include "windows/eightbitedit.h"
#include "windows/trafficview/controlpictures.h"
#include "windows/trafficview/trafficglyphs.h"

#include <QCryptographicHash>
#include <QFontDatabase>
#include <QImage>
#include <QSet>
#include <QTest>

namespace {

QFont fixedFont()
{
    QFont font(QStringLiteral("Courier New"));
    font.setPointSizeF(9.75);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

int pixelsOf(const QImage &image, const QColor &color)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (image.pixelColor(x, y).rgb() == color.rgb())
                ++count;
        }
    }
    return count;
}

} // namespace

// Control codes show as tinted cells with one mark each, in the traffic views
// and in the entry boxes alike: each code its own picture, none a blank.
class TestControlPictures : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyControlCodeHasACellOfItsOwn()
    {
        ControlPictures pictures;
        pictures.setGeometry(fixedFont(), 8, 15);
        QSet<QByteArray> seen;
        QList<char16_t> codes;
        for (char16_t code = 0x2400; code < 0x2420; ++code)
            codes.append(code);
        codes.append(0x2421);
        for (char16_t code : codes) {
            const QImage picture = pictures.image(QChar(code), ControlPictures::plain())
                                       .convertToFormat(QImage::Format_ARGB32);
            QVERIFY2(pixelsOf(picture, ControlPictures::plain().cell) > 20,
                qPrintable(QString::number(code, 16)));
            const QByteArray hash = QCryptographicHash::hash(
                QByteArrayView(picture.constBits(), picture.sizeInBytes()),
                QCryptographicHash::Sha1);
            QVERIFY2(!seen.contains(hash), qPrintable(QString::number(code, 16)));
            seen.insert(hash);
        }
    }

    // What a traffic view shows for a byte: control codes their picture,
    // drawn as a cell whatever the font has; codes Windows-1252 leaves
    // undefined the replacement character; byte 0 a full stop where the
    // window asks for it.
    void bytesShowTheirSymbols_data()
    {
        QTest::addColumn<int>("byte");
        QTest::addColumn<bool>("fullStop");
        QTest::addColumn<int>("symbol");
        QTest::addColumn<bool>("picture");
        QTest::newRow("NUL") << 0x00 << false << 0x2400 << true;
        QTest::newRow("NUL as full stop") << 0x00 << true << int(u'.') << false;
        QTest::newRow("TAB") << 0x09 << false << 0x2409 << true;
        QTest::newRow("CR") << 0x0D << false << 0x240D << true;
        QTest::newRow("ESC") << 0x1B << false << 0x241B << true;
        QTest::newRow("US") << 0x1F << false << 0x241F << true;
        QTest::newRow("DEL") << 0x7F << false << 0x2421 << true;
        QTest::newRow("space") << 0x20 << false << int(u' ') << false;
        QTest::newRow("A") << 0x41 << false << int(u'A') << false;
        QTest::newRow("euro sign") << 0x80 << false << 0x20AC << false;
        QTest::newRow("undefined 81h") << 0x81 << false << 0xFFFD << false;
        QTest::newRow("undefined 9Dh") << 0x9D << false << 0xFFFD << false;
    }
    void bytesShowTheirSymbols()
    {
        QFETCH(int, byte);
        QFETCH(bool, fullStop);
        QFETCH(int, symbol);
        QFETCH(bool, picture);
        const TrafficRendering rendering(TrafficRendering::Kind::Characters,
            fullStop ? TrafficRendering::ZeroByte::FullStop : TrafficRendering::ZeroByte::Control);
        QCOMPARE(rendering.symbol(uchar(byte)), QChar(symbol));
        TrafficGlyphs glyphs;
        glyphs.setFont(fixedFont(), rendering);
        QCOMPARE(glyphs.forByte(uchar(byte)).picture, char16_t(picture ? symbol : 0));
    }

    void entryPaintsACellForEachControlCode_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("cells");
        QTest::newRow("single line, bell") << int(EightBitEdit::Lines::Single) << "AT\aZ" << true;
        QTest::newRow("single line, CR") << int(EightBitEdit::Lines::Single) << "ATZ\r" << true;
        QTest::newRow("multi-line, CR LF is a break")
            << int(EightBitEdit::Lines::Multi) << "ATZ\r\nOK" << false;
        QTest::newRow("multi-line, lone LF") << int(EightBitEdit::Lines::Multi) << "A\nB" << true;
        QTest::newRow("plain text") << int(EightBitEdit::Lines::Single) << "Hallo" << false;
    }

    void entryPaintsACellForEachControlCode()
    {
        QFETCH(int, lines);
        QFETCH(QString, text);
        QFETCH(bool, cells);
        EightBitEdit edit { EightBitEdit::Lines(lines) };
        edit.setFont(fixedFont());
        edit.resize(200, 60);
        edit.setText(text);
        const QImage shot = edit.grab().toImage().convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(pixelsOf(shot, ControlPictures::plain().cell) > 10, cells);
        // What the box holds is untouched by how it is drawn.
        QCOMPARE(edit.text(), text);
    }
};

QTEST_MAIN(TestControlPictures)
#include "tst_controlpictures.moc"
