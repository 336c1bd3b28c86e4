#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "common/gbk.h"
#include "common/ini.h"

namespace {

class Ini : public ::testing::Test {
protected:
    QString Path() const { return dir_.filePath("t.ini"); }
    void Write(const QByteArray& bytes) {
        QFile f(Path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Bytes() const {
        QFile f(Path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QTemporaryDir dir_;
};

TEST_F(Ini, ReadsWithoutRegardToAsciiCaseAndTrimsValues) {
    Write("[Setup]\r\nBeep = 2 \r\n[skin]\r\npicid=6");  // no final line break
    EXPECT_EQ(IniRead(Path(), "setup", "beep"), "2");
    EXPECT_EQ(IniRead(Path(), "SKIN", "PICID"), "6");
    EXPECT_EQ(IniRead(Path(), "setup", "picid"), "");
    EXPECT_EQ(IniRead(Path(), "nosuch", "beep"), "");
    EXPECT_EQ(IniRead(dir_.filePath("missing.ini"), "setup", "beep"), "");
}

TEST_F(Ini, ReadsGbkSectionsAndKeys) {
    Write(ToGbk(QStringLiteral("[程序配置]\r\n票头=岚库通\r\n")));
    EXPECT_EQ(IniRead(Path(), QStringLiteral("程序配置"), QStringLiteral("票头")),
              QStringLiteral("岚库通"));
}

TEST_F(Ini, EmptyNamesReadNothingAndWriteNothing) {
    EXPECT_EQ(IniRead(Path(), "", "k"), "");
    EXPECT_EQ(IniRead("", "s", "k"), "");
    EXPECT_FALSE(IniWrite(Path(), "s", "", "v"));
    EXPECT_FALSE(IniWrite(Path(), "", "k", "v"));
    EXPECT_FALSE(QFile::exists(Path()));
}

TEST_F(Ini, LongValuesAreCutTo10239Bytes) {
    Write("[s]\r\nk=" + QByteArray(12000, 'x') + "\r\n");
    EXPECT_EQ(IniRead(Path(), "s", "k").size(), 10239);
    Write("[s]\r\nk=" + QByteArray(10239, 'y') + "\r\n");
    EXPECT_EQ(IniRead(Path(), "s", "k").size(), 10239);
}

TEST_F(Ini, WritingCreatesFileSectionAndKey) {
    EXPECT_TRUE(IniWrite(Path(), "setup", "beep", "3"));
    EXPECT_EQ(Bytes(), "[setup]\r\nbeep=3\r\n");
    EXPECT_TRUE(IniWrite(Path(), "setup", "zero", ""));
    EXPECT_EQ(Bytes(), "[setup]\r\nbeep=3\r\nzero=\r\n");
    EXPECT_TRUE(IniWrite(Path(), QStringLiteral("用户"), QStringLiteral("键"), QStringLiteral("值")));
    EXPECT_EQ(Bytes(), "[setup]\r\nbeep=3\r\nzero=\r\n" + ToGbk(QStringLiteral("[用户]\r\n键=值\r\n")));
}

TEST_F(Ini, WritingKeepsEveryOtherLineAndAddsNewKeysAtTheEndOfTheirSection) {
    Write("; note\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\nz=3");
    EXPECT_TRUE(IniWrite(Path(), "a", "NEW", "n"));
    EXPECT_TRUE(IniWrite(Path(), "B", "Y", "20"));
    EXPECT_TRUE(IniWrite(Path(), "b", "w", "4"));
    EXPECT_EQ(Bytes(), "; note\r\n[A]\r\nx=1\r\nNEW=n\r\n\r\n[B]\r\nY=20\nz=3\r\nw=4\r\n");
    EXPECT_EQ(IniRead(Path(), "B", "y"), "20");
}

}  // namespace
