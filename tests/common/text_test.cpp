#include "common/text.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdio>

#include "common/date_text.h"
#include "common/gbk.h"
#include "common/number_text.h"

namespace {
// printf's "%.13g" with a point whatever the process locale: the reference for NumberText.
QString PrintfG13(double v) {
    char text[40];
    std::snprintf(text, sizeof text, "%.13g", v);
    return QString::fromLatin1(text).replace(QString::fromLatin1(std::localeconv()->decimal_point),
                                             QStringLiteral("."));
}
}  // namespace

TEST(NumberText, WritesAtMostThirteenDigitsWithoutTrailingZeros) {
    EXPECT_EQ(NumberText(0.1 * 3), "0.3");
    EXPECT_EQ(NumberText(0.1 + 0.2), "0.3");
    EXPECT_EQ(NumberText(12.50), "12.5");
    EXPECT_EQ(NumberText(5), "5");
    EXPECT_EQ(NumberText(-2.5), "-2.5");
    EXPECT_EQ(NumberText(-0.0), "0");
    EXPECT_EQ(NumberText(1.5e20), "1.5e+20");
    EXPECT_EQ(NumberText(1e13), "1e+13");
    EXPECT_EQ(NumberText(9999999999999.0), "9999999999999");
    EXPECT_EQ(NumberText(0.0001), "0.0001");
    EXPECT_EQ(NumberText(0.00001), "1e-05");
    EXPECT_EQ(NumberText(1.0 / 3), "0.3333333333333");
    EXPECT_EQ(NumberText(-1234567.125), "-1234567.125");
    EXPECT_EQ(NumberText(0.00012345), "0.00012345");
    EXPECT_EQ(NumberText(2.0 / 3 * 1000), "666.6666666667");
    EXPECT_EQ(NumberText(123456789012.5), "123456789012.5");
    EXPECT_EQ(NumberText(1234567890123.5), "1234567890124");
}

TEST(NumberText, WholeUnitsAreWrittenExactlyAtAnySize) {
    EXPECT_EQ(UnitsText(328250000, 100), "3282500");
    EXPECT_EQ(UnitsText(23405798, 100), "234057.98");
    EXPECT_EQ(UnitsText(5, 100), "0.05");
    EXPECT_EQ(UnitsText(-50, 100), "-0.5");
    EXPECT_EQ(UnitsText(0, 1000), "0");
    EXPECT_EQ(UnitsText(1250, 1000), "1.25");
    // Beyond the 13 digits NumberText keeps.
    EXPECT_EQ(UnitsText(123456789012345678, 100), "1234567890123456.78");
}

TEST(NumberText, AgreesWithThirteenDigitPrintfEverywhere) {
    // The fast paths must write exactly what "%.13g" writes.
    const double samples[] = {0.1,
                              0.2,
                              0.3,
                              2.675,
                              1e-5,
                              9.99999999999999e12,
                              1e13 - 0.5,
                              4.35,
                              7.5e-4,
                              1e-4,
                              12345.678901234567,
                              3.141592653589793,
                              -0.07,
                              99999.99999999999,
                              1.0000000000001,
                              5e-324,
                              1e300};
    for (double v : samples) {
        const QString expected = PrintfG13(v);
        EXPECT_EQ(NumberText(v), expected) << expected.toStdString();
        QString appended = "x";
        AppendNumberText(v, &appended);
        EXPECT_EQ(appended, "x" + expected);
    }
    for (int i = 1; i < 20000; ++i) {
        const double v = i * 0.25 + i / 7.0;
        ASSERT_EQ(NumberText(v), PrintfG13(v)) << v;
    }
}

// ctest runs this program a second time under a comma-decimal locale (LK_COMMA_LOCALE set);
// that run must really have the locale, and read numbers with a point all the same.
TEST(NumberText, ReadsAPointWhateverTheLocale) {
    if (qEnvironmentVariableIsSet("LK_COMMA_LOCALE")) {
        ASSERT_STREQ(std::localeconv()->decimal_point, ",")
            << "the comma-decimal locale is missing: run scripts/setup.sh";
    }
    EXPECT_EQ(TextToNumber("2.5"), 2.5);
    EXPECT_EQ(TextToNumber("12.5") * 3, 37.5);
    EXPECT_EQ(TextToNumber("2,5"), 2);
}

TEST(NumberText, ReadsTheLeadingDecimalNumber) {
    EXPECT_EQ(TextToNumber(""), 0);
    EXPECT_EQ(TextToNumber("abc"), 0);
    EXPECT_EQ(TextToNumber("12abc"), 12);
    EXPECT_EQ(TextToNumber("  3.5"), 3.5);
    EXPECT_EQ(TextToNumber("-0.5"), -0.5);
    EXPECT_EQ(TextToNumber(".5"), 0.5);
    EXPECT_EQ(TextToNumber("1e3x"), 1000);
    EXPECT_EQ(TextToNumber("1e"), 1);
    EXPECT_EQ(TextToNumber("0x1A"), 0);
    EXPECT_EQ(TextToNumber("inf"), 0);
    EXPECT_EQ(TextToNumber("1e999"), 0);
    EXPECT_TRUE(IsNumberText(" 2.5 "));
    EXPECT_FALSE(IsNumberText("2.5a"));
    EXPECT_FALSE(IsNumberText(""));
    EXPECT_FALSE(IsNumberText("-"));
}

TEST(NumberText, ComparesWithTheTolerance) {
    EXPECT_TRUE(IsZero(0.0000001));
    EXPECT_FALSE(IsZero(0.0000002));
    EXPECT_TRUE(IsZero(-0.00000005));
    EXPECT_TRUE(IsGreater(5, 4.9999998));
    EXPECT_FALSE(IsGreater(5, 4.99999995));
    EXPECT_TRUE(IsLess(4.9999998, 5));
}

TEST(DateText, ShowsTheTimeOfDayOnlyWhenNotMidnight) {
    EXPECT_EQ(DateListText(QDateTime(QDate(2012, 6, 3), QTime(0, 0))), "2012年6月3日");
    EXPECT_EQ(DateListText(QDateTime(QDate(2012, 6, 3), QTime(9, 3, 7))), "2012年6月3日 9时3分7秒");
    EXPECT_EQ(DateListText(QDateTime(QDate(2012, 6, 3), QTime(9, 3, 0))), "2012年6月3日 9时3分");
    EXPECT_EQ(DateListText(QDateTime(QDate(2012, 6, 3), QTime(9, 0, 0))), "2012年6月3日 9时");
    EXPECT_EQ(DateListText(QDateTime(QDate(2012, 6, 3), QTime(0, 0, 5))), "2012年6月3日 0时0分5秒");
    EXPECT_EQ(DateListText(QDateTime()), "");
}

TEST(DateText, StoresOneCanonicalFormAndReadsLooseOnes) {
    EXPECT_EQ(StoredDateText(QDateTime(QDate(2012, 1, 5), QTime(0, 0))), "2012-01-05");
    EXPECT_EQ(StoredDateText(QDateTime(QDate(2012, 1, 5), QTime(13, 4, 5))), "2012-01-05 13:04:05");
    EXPECT_EQ(ParseDateText("2012-1-5"), QDateTime(QDate(2012, 1, 5), QTime(0, 0)));
    EXPECT_EQ(ParseDateText("2012/1/5 7:08"), QDateTime(QDate(2012, 1, 5), QTime(7, 8)));
    EXPECT_EQ(ParseDateText("2012-01-05 13:04:05"), QDateTime(QDate(2012, 1, 5), QTime(13, 4, 5)));
    EXPECT_FALSE(ParseDateText("2012-2-30").isValid());
    EXPECT_FALSE(ParseDateText("2012-1-5x").isValid());
    EXPECT_FALSE(ParseDateText("").isValid());
}

TEST(Trim, RemovesAsciiAndFullWidthSpacesAtBothEnds) {
    EXPECT_EQ(TrimSpaces(QStringLiteral("\u3000 642 \u3000")), "642");
    EXPECT_EQ(TrimSpaces(QStringLiteral("a \u3000b")), QStringLiteral("a \u3000b"));
    EXPECT_EQ(TrimSpaces("   "), "");
    EXPECT_EQ(TrimSpaces("\t6\t"), "\t6\t");  // only spaces are trimmed
}

TEST(Gbk, CountsAndCutsWithoutSplittingACharacter) {
    EXPECT_EQ(ToGbk(QStringLiteral("岚库通")), QByteArray("\xe1\xb0\xbf\xe2\xcd\xa8"));
    EXPECT_EQ(FromGbk(QByteArray("\xe1\xb0\xbf\xe2\xcd\xa8")), QStringLiteral("岚库通"));
    EXPECT_EQ(GbkByteCount(QStringLiteral("A4纸")), 4);
    EXPECT_EQ(GbkCut(QStringLiteral("A4纸张"), 3), "A4");
    EXPECT_EQ(GbkCut(QStringLiteral("A4纸张"), 4), QStringLiteral("A4纸"));
    EXPECT_EQ(GbkCut(QStringLiteral("A4纸张"), 100), QStringLiteral("A4纸张"));
    EXPECT_EQ(GbkCut(QStringLiteral("纸"), 1), "");
    // A character GBK cannot hold is written as "?" rather than dropped.
    EXPECT_EQ(ToGbk(QStringLiteral("a\U0001F600b")), QByteArray("a?b"));
    EXPECT_EQ(GbkCutBytes(QByteArray("ab\xd6"), 3), QByteArray("ab\xd6"));  // lone lead byte
}
