#include "common/ini.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cerrno>

#include "common/gbk.h"
#include "common/whole_file.h"

namespace {

bool SameLettersButCase(const QByteArray& a, const QByteArray& b) {
    return a != b && a.toLower() == b.toLower();
}

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
    EXPECT_TRUE(
        IniWrite(Path(), QStringLiteral("用户"), QStringLiteral("键"), QStringLiteral("值")));
    EXPECT_EQ(Bytes(),
              "[setup]\r\nbeep=3\r\nzero=\r\n" + ToGbk(QStringLiteral("[用户]\r\n键=值\r\n")));
}

TEST_F(Ini, WritingKeepsEveryOtherLineAndAddsNewKeysAtTheEndOfTheirSection) {
    Write("; note\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\nz=3");
    EXPECT_TRUE(IniWrite(Path(), "a", "NEW", "n"));
    EXPECT_TRUE(IniWrite(Path(), "B", "Y", "20"));
    EXPECT_TRUE(IniWrite(Path(), "b", "w", "4"));
    EXPECT_EQ(Bytes(), "; note\r\n[A]\r\nx=1\r\nNEW=n\r\n\r\n[B]\r\nY=20\nz=3\r\nw=4\r\n");
    EXPECT_EQ(IniRead(Path(), "B", "y"), "20");
}

TEST_F(Ini, GbkNamesMatchWholeCharacters) {
    const QString zhang = QStringLiteral("張揮");  // the second character's last byte is "]"
    const QString ma = QStringLiteral("馬"), yuan = QStringLiteral("駌");  // "R" and "r"
    ASSERT_EQ(ToGbk(zhang).back(), ']');
    ASSERT_TRUE(SameLettersButCase(ToGbk(ma), ToGbk(yuan)));
    for (int i = 0; i < 2; ++i) {
        EXPECT_TRUE(IniWrite(Path(), zhang, "k", "1"));
        EXPECT_TRUE(IniWrite(Path(), ma, "k", "2"));
        EXPECT_TRUE(IniWrite(Path(), yuan, "k", "3"));
    }
    EXPECT_EQ(IniRead(Path(), zhang, "k"), "1");
    EXPECT_EQ(IniRead(Path(), ma, "k"), "2");
    EXPECT_EQ(IniRead(Path(), yuan, "k"), "3");
    EXPECT_EQ(Bytes().count('['), 3);
}

TEST_F(Ini, AByteOrderMarkIsPassedOverAndKept) {
    Write("\xEF\xBB\xBF[setup]\r\nbeep=2\r\n");
    EXPECT_EQ(IniRead(Path(), "setup", "beep"), "2");
    EXPECT_TRUE(IniWrite(Path(), "setup", "beep", "3"));
    EXPECT_EQ(Bytes(), "\xEF\xBB\xBF[setup]\r\nbeep=3\r\n");
}

class IniFailure : public Ini {
  protected:
    void SetUp() override {
        SetSettingsFailureHandler([this](const QString& file, const QString& reason) {
            reports_ << file + ": " + reason;
        });
    }
    void TearDown() override {
        SetWriteCallForTest(nullptr);
        SetSettingsFailureHandler(nullptr);
    }
    QStringList reports_;
};

TEST_F(IniFailure, AFullDiskLeavesTheOldFileAndIsReportedOnce) {
    const QByteArray old = "[setup]\r\n" + QByteArray(280, 'x') + "=1\r\n";
    Write(old);
    // The disk fills after the first few bytes.
    SetWriteCallForTest([](int fd, const char* data, long size) -> long {
        if (lseek(fd, 0, SEEK_CUR) >= 16) {
            errno = ENOSPC;
            return -1;
        }
        return ::write(fd, data, std::min(size, 16L));
    });
    EXPECT_FALSE(IniWrite(Path(), "setup", "beep", "2"));
    EXPECT_FALSE(IniWrite(Path(), "setup", "beep", "23"));
    EXPECT_EQ(Bytes(), old);
    ASSERT_EQ(reports_.size(), 1);
    EXPECT_TRUE(reports_[0].contains(QStringLiteral("磁盘空间不足"))) << reports_[0].toStdString();
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    SetWriteCallForTest(nullptr);
    EXPECT_TRUE(IniWrite(Path(), "setup", "beep", "2"));
    EXPECT_EQ(IniRead(Path(), "setup", "beep"), "2");
    EXPECT_EQ(reports_.size(), 1);
}

TEST_F(IniFailure, NewFilesAreTheOwnersAloneAndReplacedOnesKeepTheirMode) {
    EXPECT_TRUE(IniWrite(Path(), "s", "k", "v"));
    EXPECT_EQ(QFile::permissions(Path()),
              QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
    ASSERT_EQ(chmod(QFile::encodeName(Path()).constData(), 0644), 0);
    EXPECT_TRUE(IniWrite(Path(), "s", "k", "w"));
    struct stat st {};
    ASSERT_EQ(stat(QFile::encodeName(Path()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0644u);
}

// Run as another account (root reads every file), a process may write the directory but not
// read the file.
TEST_F(IniFailure, AFileThatCannotBeReadIsNeverReplaced) {
    const QByteArray old = "[setup]\r\nbeep=2\r\n";
    Write(old);
    ASSERT_EQ(chmod(QFile::encodeName(dir_.path()).constData(), 0777), 0);
    ASSERT_EQ(chmod(QFile::encodeName(Path()).constData(), 0), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        if (geteuid() == 0 && setuid(65534) != 0) _exit(2);
        _exit(IniWrite(Path(), "setup", "dqmc", "t") ? 1 : reports_.size() == 1 ? 0 : 3);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    ASSERT_EQ(chmod(QFile::encodeName(Path()).constData(), 0600), 0);
    EXPECT_EQ(Bytes(), old);
}

}  // namespace
