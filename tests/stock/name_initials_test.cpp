#include "stock/name_initials.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QString>

#include "common/gbk.h"

TEST(NameInitials, KeepsAsciiAsTypedAndTakesOneLetterPerHanzi) {
    EXPECT_EQ(NameInitials("电脑T60"), "DNT60");
    EXPECT_EQ(NameInitials("A4纸"), "A4Z");
    EXPECT_EQ(NameInitials("ipad mini-2 (黑)"), "ipad mini-2 (H)");
    EXPECT_EQ(NameInitials(QString("a") + QChar(0) + "b"), "ab");
    EXPECT_EQ(NameInitials(""), "");
}

TEST(NameInitials, CoversBothGb2312Levels) {
    // First and last codes of level 1 (B0A1, D7F9) and of level 2 (D8A1, F7FE).
    EXPECT_EQ(NameInitials("啊座"), "AZ");
    EXPECT_EQ(NameInitials("亍齄"), "CZ");
    EXPECT_EQ(NameInitials("氦气咖啡"), "HQKF");
    EXPECT_EQ(NameInitials("猕猴桃榛子枸杞鳕鱼"), "MHTZZGQXY");
    EXPECT_EQ(NameInitials("琪钰"), "QY");
}

TEST(NameInitials, TakesTheCommonReadingOfPolyphonicHanzi) {
    EXPECT_EQ(NameInitials("行长重乐了的和"), "XCZLLDH");
    EXPECT_EQ(NameInitials("番茄止咳颈椎乙炔"), "FQZKJZYQ");
}

TEST(NameInitials, DropsDoubleByteCharactersThatAreNotGb2312Hanzi) {
    EXPECT_EQ(NameInitials("ＡＢ１，。α"), "");  // full-width letters and signs, Greek
    EXPECT_EQ(NameInitials("丂電腦"), "");       // GBK-only hanzi, trail byte below 0xA1 too
    EXPECT_EQ(NameInitials("优盘，8G"), "YP8G");
}

TEST(NameInitials, KeepsTheNextByteAfterTheSingleByteEuroSign) {
    EXPECT_EQ(ToGbk("€"), QByteArray("\x80"));
    EXPECT_EQ(NameInitials("€A笔"), "AB");
}

TEST(NameInitials, KeepsTheQuestionMarkOfACharacterGbkCannotHold) {
    EXPECT_EQ(NameInitials("U盘😀"), "UP?");
}

TEST(NameInitials, GivesEveryGb2312HanziOnePinyinLetter) {
    int hanzi = 0;
    for (int row = 0xB0; row <= 0xF7; ++row) {
        for (int cell = 0xA1; cell <= 0xFE; ++cell) {
            if (row == 0xD7 && cell >= 0xFA) continue;  // unused codes
            QByteArray code;
            code.append(static_cast<char>(row)).append(static_cast<char>(cell));
            const QString initial = NameInitials(FromGbk(code));
            ASSERT_EQ(initial.size(), 1) << std::hex << row << cell;
            // No pinyin syllable starts with I, U or V.
            EXPECT_TRUE(initial[0] >= 'A' && initial[0] <= 'Z' && !QString("IUV").contains(initial))
                << std::hex << row << cell;
            ++hanzi;
        }
    }
    EXPECT_EQ(hanzi, 6763);
}
