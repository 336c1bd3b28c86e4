#include "common/program_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

TEST(ProgramDirRule, CopyInAPlainFolderKeepsItsFilesBesideItself) {
    QTemporaryDir stick;
    const QString folder = stick.path() + QStringLiteral("/岚库通");
    ASSERT_TRUE(QDir().mkpath(folder));
    EXPECT_EQ(ChooseProgramDir(folder), folder);
}

TEST(ProgramDirRule, BuildTreeAndInstalledProgramKeepTheLedgerInAPrivateUserDirectory) {
    QTemporaryDir build;
    QFile cache(build.path() + QStringLiteral("/CMakeCache.txt"));
    ASSERT_TRUE(cache.open(QIODevice::WriteOnly));
    cache.close();
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir(data).removeRecursively();

    EXPECT_EQ(ChooseProgramDir(build.path()), data);
    EXPECT_EQ(ChooseProgramDir(QStringLiteral("/usr/bin")), data);  // also when root runs it
    const QFile::Permissions mode = QFile::permissions(data);
    EXPECT_TRUE(mode.testFlags(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    EXPECT_FALSE(mode & (QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther |
                         QFile::WriteOther | QFile::ExeOther));
    QDir(data).removeRecursively();
}

// An installed copy run by another account: the ledger beside it cannot be used, and the user
// is told where it is rather than finding an empty ledger.
TEST(ProgramDirRule, ALedgerSetAsideIsNamedToTheUser) {
    QTemporaryDir installed;
    const QString dir = installed.path();
    EXPECT_EQ(SetAsideDataNotice(dir), "");  // usable, and no ledger anyway
    QFile database(dir + QStringLiteral("/data.db"));
    ASSERT_TRUE(database.open(QIODevice::WriteOnly));
    database.close();
    EXPECT_EQ(SetAsideDataNotice(dir), "");  // used where it is
    const QByteArray path = QFile::encodeName(dir);
    ASSERT_EQ(
        geteuid() == 0 ? chown(path.constData(), 65534, 65534) : chmod(path.constData(), 0500), 0);
    const QString notice = SetAsideDataNotice(dir);
    EXPECT_TRUE(notice.contains(dir + QStringLiteral("/data.db"))) << notice.toStdString();
    EXPECT_TRUE(notice.contains(ChooseProgramDir(dir)));
    chmod(path.constData(), 0700);
    if (geteuid() == 0) (void)chown(path.constData(), 0, 0);
}
