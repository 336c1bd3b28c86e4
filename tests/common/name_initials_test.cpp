#include "common/name_initials.h"

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

TEST(NameInitials, ReadsTraditionalHanziAndFullWidthLettersAndDropsTheRest) {
    EXPECT_EQ(NameInitials("電腦丂"), "DNK");  // GBK-only hanzi, trail byte below 0xA1 too
    EXPECT_EQ(NameInitials("iPhone１２"), "iPhone12");
    EXPECT_EQ(NameInitials("ＡＢ，。α"), "AB");            // full-width signs and Greek add nothing
    EXPECT_EQ(NameInitials("U盘😀€A"), "UPA");              // no "?" for what GBK cannot hold
    EXPECT_EQ(NameInitials(QString(QChar(0xFA18))), "L");  // compatibility form of 礼
}

TEST(InitialsMatch, FindsNamesByAnyCommonReadingOfTheirHanzi) {
    const char* found[][2] = {{"空调", "KT"},
                              {"空调", "kd"},
                              {"银行卡", "YH"},
                              {"重庆火锅", "CQ"},
                              {"厦门", "XM"},
                              {"长白山人参", "RS"},
                              {"调料", "TL"},
                              {"調料", "TL"},
                              {"電腦包", "dnb"},
                              {"海尔空调KFR", "TKF"},
                              {"苹果iPhone１２", "IPHONE12"},
                              {"空调", ""}};
    for (const auto& [name, typed] : found) EXPECT_TRUE(InitialsMatch(name, typed)) << typed;
    const char* missed[][2] = {{"空调", "KX"}, {"空调", "TK"},  {"空调", "KTT"},
                               {"电脑", "电"}, {"空 调", "KT"}, {"", "K"}};
    for (const auto& [name, typed] : missed) EXPECT_FALSE(InitialsMatch(name, typed)) << typed;
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

TEST(NameInitials, GivesAlmostEveryGbkHanziALetter) {
    int hanzi = 0, read = 0;
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            QByteArray code;
            code.append(static_cast<char>(lead)).append(static_cast<char>(trail));
            const QString text = FromGbk(code);
            if (text.size() != 1 || text[0] < QChar(0x4E00) || text[0] > QChar(0x9FA5)) continue;
            ++hanzi;
            if (NameInitials(text).size() == 1) ++read;
        }
    }
    EXPECT_EQ(hanzi, 20902);
    EXPECT_GE(read, hanzi - 10);  // a few unit signs made in Japan have no Chinese reading
}
