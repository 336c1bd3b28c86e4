#include "store/db_files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include "common/whole_file.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"

namespace {

class DbFiles : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        Provision();
    }
    void AddEntries(DbConnection& db, int count) {
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(db.Execute(QStringLiteral("insert into other (类型, 项目, 金额) values "
                                                  "('收入', ?, ?)"),
                                   {QStringLiteral("房租%1").arg(i), i * 1.5}));
    }
    static qint64 Count(const QString& path, const QString& table) {
        DbConnection db;
        if (!db.OpenFile(path)) return -1;
        DbRecordSet records;
        if (!records.Open(QStringLiteral("select count(*) as n from ") + table, db, true))
            return -1;
        return static_cast<qint64>(FieldNumber(records, QStringLiteral("n")));
    }
    QStringList Leftovers() const {
        return QDir(Dir()).entryList({QStringLiteral("*.tmp"), QStringLiteral("*-journal")},
                                     QDir::Files | QDir::Hidden);
    }
};

TEST_F(DbFiles, BackupDuringAPendingSaleCopiesTheCommittedStateOwnerOnly) {
    AddEntries(SharedConnection(), 3);
    DbConnection till;
    ASSERT_TRUE(till.OpenFile(File("data.db")));
    ASSERT_TRUE(till.BeginTrans());
    AddEntries(till, 1);

    QFile::copy(File("config.ini"), File("old.db"));  // an existing target is replaced whole
    QString error;
    ASSERT_TRUE(BackupDatabase(SharedConnection(), File("old.db"), &error)) << error.toStdString();
    EXPECT_TRUE(till.CommitTrans());

    EXPECT_TRUE(CheckLedgerFile(File("old.db"), &error)) << error.toStdString();
    EXPECT_EQ(Count(File("old.db"), QStringLiteral("other")), 3);
    EXPECT_EQ(Count(File("data.db"), QStringLiteral("other")), 4);
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ReadOther | QFileDevice::WriteOther;
    EXPECT_EQ(QFile::permissions(File("old.db")) & others, QFileDevice::Permissions());
    EXPECT_TRUE(Leftovers().isEmpty());
}

TEST_F(DbFiles, BackupIntoAMissingFolderFailsAndLeavesNothing) {
    QString error;
    EXPECT_FALSE(BackupDatabase(SharedConnection(), File("无此目录/BackupData.db"), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(BackupDatabase(SharedConnection(), File("data.db"), &error));
    EXPECT_TRUE(Leftovers().isEmpty());
}

TEST_F(DbFiles, OnlyAnIntactLedgerFilePassesTheCheck) {
    AddEntries(SharedConnection(), 400);
    QString error;
    ASSERT_TRUE(BackupDatabase(SharedConnection(), File("good.db"), &error));
    EXPECT_TRUE(CheckLedgerFile(File("good.db"), &error));

    QFile::copy(File("good.db"), File("damaged.db"));
    {
        QFile f(File("damaged.db"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_GT(f.size(), 5 * 4096);
        // Every page after the schema page gets a broken header.
        for (qint64 page = 2; page * 4096 < f.size(); ++page) {
            f.seek(page * 4096);
            f.write(QByteArray(12, '\x5a'));
        }
    }
    EXPECT_FALSE(CheckLedgerFile(File("damaged.db"), &error));

    QFile text(File("text.db"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray("no database here\n").repeated(500));
    text.close();
    EXPECT_FALSE(CheckLedgerFile(File("text.db"), &error));

    DbConnection foreign;
    ASSERT_TRUE(CreateDatabaseFile(File("foreign.db")));
    ASSERT_TRUE(foreign.OpenFile(File("foreign.db")));
    ASSERT_TRUE(foreign.Execute(QStringLiteral("drop table bank")));
    foreign.Close();
    EXPECT_FALSE(CheckLedgerFile(File("foreign.db"), &error));
    EXPECT_FALSE(CheckLedgerFile(File("missing.db"), &error));
}

TEST_F(DbFiles, CompactingTwiceKeepsTheDataAndLeavesNoTemporaryFile) {
    AddEntries(SharedConnection(), 300);
    ASSERT_TRUE(SharedConnection().Execute(QStringLiteral("delete from other where ID > 10")));
    const qint64 before = QFileInfo(File("data.db")).size();
    QString error;
    ASSERT_TRUE(CompactDatabase(SharedConnection(), &error)) << error.toStdString();
    ASSERT_TRUE(CompactDatabase(SharedConnection(), &error)) << error.toStdString();
    EXPECT_TRUE(SharedConnection().IsOpen());
    EXPECT_LT(QFileInfo(File("data.db")).size(), before);
    EXPECT_EQ(Count(File("data.db"), QStringLiteral("other")), 10);
    EXPECT_TRUE(Leftovers().isEmpty());
    // Numbering goes on after the highest number ever given, as before compaction.
    AddEntries(SharedConnection(), 1);
    ASSERT_TRUE(OpenSharedQuery(QStringLiteral("select max(ID) as m from other")));
    EXPECT_EQ(FieldNumber(SharedRecordSet(), QStringLiteral("m")), 301);
}

TEST_F(DbFiles, InitialiseLeavesTheTemplateAndASafetyCopyOfTheOldData) {
    AddEntries(SharedConnection(), 5);
    QString error;
    const QString copy = SafetyCopy(SharedConnection(), BackupFolder(File("data.db")),
                                    QStringLiteral("初始化前"), &error);
    ASSERT_FALSE(copy.isEmpty()) << error.toStdString();
    EXPECT_TRUE(copy.endsWith(QStringLiteral("/备份/初始化前_20120615_090307.db")));
    ASSERT_TRUE(InitialiseDatabase(SharedConnection(), &error)) << error.toStdString();
    EXPECT_TRUE(SharedConnection().IsOpen());
    EXPECT_EQ(Count(File("data.db"), QStringLiteral("other")), 0);
    EXPECT_EQ(Count(File("data.db"), QStringLiteral("UserName")), 1);
    EXPECT_EQ(Count(copy, QStringLiteral("other")), 5);
    EXPECT_TRUE(Leftovers().isEmpty());
}

TEST_F(DbFiles, ReplacingTheDatabaseReopensTheNewFile) {
    AddEntries(SharedConnection(), 2);
    QString error;
    const QString staged = TemporaryPathBeside(File("data.db"));
    ASSERT_TRUE(CopyDatabaseFile(File("data.db"), staged, &error));
    AddEntries(SharedConnection(), 5);
    ASSERT_TRUE(ReplaceDatabase(SharedConnection(), staged, &error)) << error.toStdString();
    ASSERT_TRUE(OpenSharedQuery(QStringLiteral("select count(*) as n from other")));
    EXPECT_EQ(FieldNumber(SharedRecordSet(), QStringLiteral("n")), 2);
    EXPECT_FALSE(QFileInfo::exists(staged));
}

TEST_F(DbFiles, DailyBackupRunsOncePerDayAndKeepsTheLastTen) {
    QString error;
    const QDate first(2012, 6, 1);
    for (int day = 0; day < 12; ++day)
        ASSERT_EQ(RunDailyBackup(File("data.db"), first.addDays(day), &error), DailyBackup::Done);
    EXPECT_EQ(RunDailyBackup(File("data.db"), first.addDays(11), &error), DailyBackup::NotDue);
    // Safety copies in the same folder are not the rotation's to remove.
    SafetyCopy(SharedConnection(), BackupFolder(File("data.db")), QStringLiteral("恢复前"), &error);
    ASSERT_EQ(RunDailyBackup(File("data.db"), first.addDays(12), &error), DailyBackup::Done);
    const QStringList files = QDir(File("备份")).entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(files.size(), 11);
    EXPECT_EQ(files.first(), QStringLiteral("恢复前_20120615_090307.db"));
    EXPECT_EQ(files.at(1), QStringLiteral("自动备份_20120604.db"));
    EXPECT_EQ(files.last(), QStringLiteral("自动备份_20120613.db"));

    EXPECT_EQ(RunDailyBackup(File("missing.db"), first, &error), DailyBackup::Failed);
}

// Under an umask that lets everyone read, every kind of file of the books is still its owner's
// alone, and a failed copy leaves nothing behind.
TEST_F(DbFiles, EveryFileWrittenIsTheOwnersAloneUnderAnOpenUmask) {
    const mode_t umaskBefore = ::umask(022);
    QString error;
    EXPECT_TRUE(CompactDatabase(SharedConnection(), &error)) << qPrintable(error);
    EXPECT_TRUE(BackupDatabase(SharedConnection(), File("backup.db"), &error));
    EXPECT_FALSE(
        SafetyCopy(SharedConnection(), BackupFolder(File("data.db")), "恢复前", &error).isEmpty());
    EXPECT_EQ(RunDailyBackup(File("data.db"), QDate(2012, 6, 1), &error), DailyBackup::Done);
    QString kept;
    EXPECT_TRUE(RestoreBackupOver(File("restored.db"), File("backup.db"), &kept, &error));
    EXPECT_TRUE(InitialiseDatabase(SharedConnection(), &error));
    EXPECT_TRUE(WriteWholeFile(File("new.ini"), "[setup]\r\n", &error));
    // A daily copy of a file that is no database fails, and its temporary copy goes.
    ASSERT_TRUE(WriteWholeFile(File("bad.db"), QByteArray(5000, 'x'), &error));
    EXPECT_EQ(RunDailyBackup(File("bad.db"), QDate(2012, 6, 2), &error), DailyBackup::Failed);
    ::umask(umaskBefore);

    int files = 0;
    for (QDirIterator it(Dir(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
         it.hasNext();) {
        const QString path = it.next();
        ++files;
        struct stat info {};
        ASSERT_EQ(::stat(QFile::encodeName(path).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 077, 0u) << qPrintable(path);
        EXPECT_FALSE(path.endsWith(".tmp") || path.endsWith("-journal")) << qPrintable(path);
    }
    EXPECT_GE(files, 6);
}

}  // namespace
