#include "text/charactertable.h"

#include <QTest>

class TestCharacterTable : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void itemsFollowTheTableRule_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("item");
        const auto row = [](int code, const char *item) {
            QTest::addRow("%d", code) << code << QString::fromUtf8(item);
        };
        row(0, "00h ; 0");
        row(10, "0Ah ; 10");
        row(13, "0Dh ; 13");
        row(31, "1Fh ; 31");
        row(32, "20h ; 32, Space ");
        row(33, "21h ; 33, !");
        row(65, "41h ; 65, A");
        row(126, "7Eh ; 126, ~");
        row(127, "7Fh ; 127");
        row(128, "80h ; 128, €");
        row(129, "81h ; 129");
        row(130, "82h ; 130, ‚");
        row(141, "8Dh ; 141");
        row(142, "8Eh ; 142, Ž");
        row(143, "8Fh ; 143");
        row(144, "90h ; 144");
        row(153, "99h ; 153, ™");
        row(157, "9Dh ; 157");
        row(159, "9Fh ; 159, Ÿ");
        row(171, "ABh ; 171, «");
        row(228, "E4h ; 228, ä");
        row(255, "FFh ; 255, ÿ");
    }
    void itemsFollowTheTableRule()
    {
        QFETCH(int, code);
        QFETCH(QString, item);
        QCOMPARE(CharacterTable::itemText(code), item);
    }

    // The input window's table has all 256 codes, the automation window's
    // lacks code 0; an item reads back as its code.
    void tablesListTheCodesInOrder()
    {
        const QStringList items = CharacterTable::items(0);
        QCOMPARE(items.size(), 256);
        for (int code = 0; code < 256; ++code) {
            QCOMPARE(items.at(code), CharacterTable::itemText(code));
            QCOMPARE(CharacterTable::codeOfItem(items.at(code)), code);
        }
        QCOMPARE(CharacterTable::items(1), items.mid(1));
    }

    void noSelectionReadsAsCodeZero() { QCOMPARE(CharacterTable::codeOfItem(u""), 0); }
};

QTEST_GUILESS_MAIN(TestCharacterTable)
#include "tst_charactertable.moc"
