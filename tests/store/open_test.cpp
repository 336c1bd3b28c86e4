#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QFile>
#include <semaphore>
#include <thread>

#include "app/open_database.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"

namespace {

class OpenFile : public ProgramFixture {
  protected:
    QByteArray Hash(const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }
    void WriteFile(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

TEST_F(OpenFile, RefusesMissingForeignAndDamagedFilesWithoutWritingThem) {
    DbConnection db;
    EXPECT_FALSE(db.OpenFile(File("data.db")));
    EXPECT_FALSE(db.IsOpen());

    WriteFile(File("text.db"), QByteArray("not a database at all").repeated(300));
    const QByteArray before = Hash(File("text.db"));
    EXPECT_FALSE(db.OpenFile(File("text.db")));
    EXPECT_EQ(Hash(File("text.db")), before);

    // A database of someone else's schema.
    {
        DbConnection other;
        ASSERT_TRUE(CreateDatabaseFile(File("good.db")));
        ASSERT_TRUE(other.OpenFile(File("good.db")));
        ASSERT_TRUE(other.Execute("drop table bank"));
    }
    EXPECT_FALSE(db.OpenFile(File("good.db")));

    // A database whose pages were overwritten in the middle.
    ASSERT_TRUE(CreateDatabaseFile(File("damaged.db")));
    {
        DbConnection fill;
        ASSERT_TRUE(fill.OpenFile(File("damaged.db")));
        for (int i = 0; i < 200; ++i)
            ASSERT_TRUE(fill.Execute("insert into buy (名称, 备注) values (?, ?)",
                                     {QString("g%1").arg(i), QString(500, u'x')}));
    }
    QFile f(File("damaged.db"));
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    f.seek(4096 * 3);
    f.write(QByteArray(4096 * 4, '\x5a'));
    f.close();
    const QByteArray damaged = Hash(File("damaged.db"));
    EXPECT_FALSE(db.OpenFile(File("damaged.db")));
    EXPECT_FALSE(db.GetErrorDescription().isEmpty());
    EXPECT_EQ(Hash(File("damaged.db")), damaged);
}

TEST_F(OpenFile, ALockHeldByAnotherCopyIsWaitedForBeforeTheChecks) {
    ASSERT_TRUE(CreateDatabaseFile(File("data.db")));
    std::binary_semaphore locked(0);
    std::binary_semaphore opening(0);
    bool held = false;
    std::thread otherCopy([&] {
        DbConnection other;
        held = other.OpenFile(File("data.db")) && other.Execute("BEGIN EXCLUSIVE");
        locked.release();
        opening.acquire();
        other.Execute("COMMIT");
    });
    locked.acquire();
    // The other copy lets go while this one is opening.
    opening.release();
    DbConnection db;
    const bool opened = db.OpenFile(File("data.db"));
    otherCopy.join();
    ASSERT_TRUE(held);
    EXPECT_TRUE(opened) << db.GetErrorDescription().toStdString();
}

TEST_F(OpenFile, CreatingNeverReplacesAnExistingFile) {
    WriteFile(File("data.db"), "keep");
    EXPECT_FALSE(CreateDatabaseFile(File("data.db")));
    QFile f(File("data.db"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), "keep");
}

TEST_F(OpenFile, AFileMadeBeforeTheSalesDateIndexGainsItWhenOpened) {
    ASSERT_TRUE(CreateDatabaseFile(File("old.db")));
    const QString count =
        "select count(*) from sqlite_master where type = 'index' and name = '销售日期'";
    {
        DbConnection db;
        ASSERT_TRUE(db.OpenFile(File("old.db")));
        ASSERT_TRUE(db.Execute("drop index 销售日期"));
    }
    DbConnection db;
    ASSERT_TRUE(db.OpenFile(File("old.db")));
    DbRecordSet records;
    ASSERT_TRUE(records.Open(count, db, true));
    records.MoveFirst();
    EXPECT_EQ(records.GetFieldByIndex(0).toInt(), 1);
}

TEST_F(OpenFile, AFailedOpenIsToldAndTriedAgainAtTheNextDataOperation) {
    WriteFile(File("data.db"), QByteArray(8192, 'x'));
    OpenDatabase();
    ASSERT_EQ(dialogs_.Texts(), QStringList{"打开数据库失败！"});
    EXPECT_EQ(dialogs_.Shown()[0].caption, "提示");
    EXPECT_EQ(dialogs_.Shown()[0].icon, BoxIcon::Error);
    EXPECT_FALSE(SharedConnection().IsOpen());

    EXPECT_FALSE(OpenSharedQuery("select * from buy"));
    EXPECT_EQ(dialogs_.Texts().size(), 2);
    EXPECT_EQ(SharedRecordSet().GetRecordCount(), 0);

    QFile::remove(File("data.db"));
    ASSERT_TRUE(CreateDatabaseFile(File("data.db")));
    EXPECT_TRUE(OpenSharedQuery("select * from UserName"));
    EXPECT_EQ(SharedRecordSet().GetRecordCount(), 1);
    EXPECT_EQ(dialogs_.Texts().size(), 2);
}

}  // namespace
