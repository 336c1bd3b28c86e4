#include "common/program_dir.h"

#include <gtest/gtest.h>

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
