#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <functional>
#include <semaphore>
#include <thread>

#include "app/open_database.h"
#include "store/open_checks.h"
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
    // A ledger of a few dozen pages, closed.
    void MakeLedger(const QString& path) {
        ASSERT_TRUE(CreateDatabaseFile(path));
        DbConnection fill;
        ASSERT_TRUE(fill.OpenFile(path));
        DbTransaction transaction(fill);
        // Enough goods that they fill most of the file, beyond the first page of every table
        // and index.
        for (int i = 0; i < 600; ++i)
            ASSERT_TRUE(fill.Execute("insert into buy (名称, 备注) values (?, ?)",
                                     {QString("g%1").arg(i), QString(500, u'x')}));
        ASSERT_TRUE(transaction.Commit());
    }
    void Overwrite(const QString& path, qint64 at, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(at);
        f.write(bytes);
    }
    static QByteArray BigEndian(quint32 value) {
        QByteArray bytes(4, '\0');
        qToBigEndian(value, bytes.data());
        return bytes;
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
    MakeLedger(File("damaged.db"));
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

TEST_F(OpenFile, RefusesAFileDamagedInItsHeaderWithoutWritingIt) {
    const std::function<void(const QString&)> damages[] = {
        // a freelist that starts past the end of the file
        [&](const QString& path) { Overwrite(path, 32, BigEndian(0x7fffffff) + BigEndian(1)); },
        // more free pages than the file has, with no list of them
        [&](const QString& path) { Overwrite(path, 36, BigEndian(0x00ffffff)); },
        // a copy cut short
        [&](const QString& path) { QFile::resize(path, QFileInfo(path).size() / 2); },
    };
    int n = 0;
    for (const auto& damage : damages) {
        const QString path = File(QString("damaged%1.db").arg(++n));
        MakeLedger(path);
        damage(path);
        const QByteArray before = Hash(path);
        DbConnection db;
        EXPECT_FALSE(db.OpenFile(path)) << n;
        EXPECT_EQ(Hash(path), before) << n;
    }
}

TEST_F(OpenFile, AfterACopyEndedWithTheFileOpenEveryPageIsCheckedApart) {
    // A copy of the program that opens the file and dies without closing it.
    const auto crashWhileOpen = [](const QString& path) {
        const pid_t child = fork();
        if (child == 0) {
            DbConnection crashed;
            _exit(crashed.OpenFile(path) ? 0 : 1);
        }
        int status = -1;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    const QString path = File("data.db");
    MakeLedger(path);
    ASSERT_TRUE(crashWhileOpen(path));
    // A page among the goods rows, which come after the first page of every table and index.
    const qint64 middle = QFileInfo(path).size() * 3 / 4 / 4096 * 4096;
    Overwrite(path, middle, QByteArray(4096, '\x5a'));
    // The opening reads no more than after a clean end; the check of every page finds it.
    const std::atomic<bool> noStop{false};
    DbConnection db;
    ASSERT_TRUE(db.OpenFile(path));
    const QStringList markers = db.FullCheckDue();
    ASSERT_EQ(markers.size(), 1);
    EXPECT_TRUE(CheckEveryPage(path, markers, &noStop).startsWith("数据库文件已损坏"));
    // Found damaged, it stays suspect for the next opening too.
    ASSERT_TRUE(db.OpenFile(path));
    EXPECT_EQ(db.FullCheckDue(), markers);

    // A sound file passes the full check, and a clean close leaves nothing behind.
    const QString sound = File("sound.db");
    MakeLedger(sound);
    ASSERT_TRUE(crashWhileOpen(sound));
    ASSERT_TRUE(db.OpenFile(sound)) << db.GetErrorDescription().toStdString();
    EXPECT_EQ(CheckEveryPage(sound, db.FullCheckDue(), &noStop), "");
    {
        DbConnection second;  // another till on the same file
        ASSERT_TRUE(second.OpenFile(sound));
    }
    db.Close();
    EXPECT_TRUE(QDir(Dir()).entryList({".sound.db*"}, QDir::Files | QDir::Hidden).isEmpty());
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
    ASSERT_EQ(dialogs_.Texts().size(), 1);
    EXPECT_TRUE(dialogs_.Texts()[0].startsWith(QStringLiteral("打开数据库文件 data.db 失败：")));
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
