#include "app/provision.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <cerrno>

#include "app/open_database.h"
#include "common/gbk.h"
#include "common/ini.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "common/settings.h"
#include "common/whole_file.h"
#include "ledger/till_copy.h"
#include "platform/till_keeper.h"
#include "store/db_recordset.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"
#include "support/test_server.h"

namespace {

class Provisioning : public ProgramFixture {
  protected:
    QByteArray Bytes(const QString& name) {
        QFile f(File(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QStringList Files() { return QDir(Dir()).entryList(QDir::Files, QDir::Name); }
};

TEST_F(Provisioning, AFreshDirectoryGetsTheThreeFilesAndOneQuestion) {
    ProvisionFiles();
    EXPECT_EQ(Files(), (QStringList{"config.ini", "data.db", QStringLiteral("配置.ini")}));
    EXPECT_EQ(Bytes("config.ini").size(), 288);
    EXPECT_EQ(Bytes(QStringLiteral("配置.ini")).size(), 63);
    EXPECT_TRUE(Bytes("config.ini").startsWith("[setup]\r\npassword=\r\nbeep=2\r\n"));
    EXPECT_TRUE(Bytes("config.ini").endsWith("[Skin]\r\nstyle=1\r\ncolor=13998394\r\npicid=6\r\n"));
    EXPECT_EQ(Bytes(QStringLiteral("配置.ini")),
              ToGbk(QStringLiteral(
                  "[程序配置]\r\n宣传1=管理软件\r\n宣传2=岚库通管理软件\r\n票头=岚库通\r\n")));
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    const ShownBox& box = dialogs_.Shown()[0];
    EXPECT_EQ(box.text, QStringLiteral("第一次使用是否需要“视频教程”"));
    EXPECT_EQ(box.caption, "提示");
    EXPECT_EQ(box.icon, BoxIcon::Question);
    EXPECT_EQ(box.buttons, BoxButtons::OkCancel);

    // The next start writes nothing and asks nothing.
    WriteSetupKey("beep", "7");
    const QByteArray config = Bytes("config.ini");
    dialogs_.Clear();
    ProvisionFiles();
    EXPECT_EQ(Bytes("config.ini"), config);
    EXPECT_TRUE(dialogs_.Shown().isEmpty());
}

TEST_F(Provisioning, ADeletedDatabaseAloneIsWrittenAgainAndTheQuestionAskedAgain) {
    ProvisionFiles();
    WriteSetupKey("beep", "9");
    const QByteArray config = Bytes("config.ini");
    QFile::remove(File("data.db"));
    dialogs_.Clear();
    ProvisionFiles();
    EXPECT_EQ(Bytes("config.ini"), config);
    EXPECT_TRUE(QFile::exists(File("data.db")));
    EXPECT_EQ(dialogs_.Shown().size(), 1);
}

TEST_F(Provisioning, ADamagedDatabaseIsReportedAndNeverOverwritten) {
    ProvisionFiles();
    QFile f(File("data.db"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(5000, '\x01'));
    f.close();
    dialogs_.Clear();
    ProvisionFiles();
    OpenDatabase();
    ASSERT_EQ(dialogs_.Texts().size(), 1);
    EXPECT_TRUE(dialogs_.Texts()[0].startsWith(QStringLiteral("打开数据库文件 data.db 失败：")));
    EXPECT_EQ(Bytes("data.db"), QByteArray(5000, '\x01'));
}

// A data.db that will not open is told with its reason, and the newest sound copy of the backup
// folder takes its place when the user agrees; the file that would not open is kept there.
TEST_F(Provisioning, ADamagedDatabaseIsRestoredFromTheNewestSoundBackup) {
    ProvisionFiles();
    const QString folder = File(QStringLiteral("备份"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString sound = folder + QStringLiteral("/自动备份_20120614.db");
    ASSERT_TRUE(QFile::copy(File("data.db"), sound));
    {
        DbConnection copy;
        ASSERT_TRUE(copy.OpenFile(sound));
        ASSERT_TRUE(copy.Execute("insert into other (类型, 金额) values ('备份里的', 5)"));
    }
    // A newer copy that is itself damaged is passed over.
    const QString damagedCopy = folder + QStringLiteral("/自动备份_20120615.db");
    for (const QString& path : {damagedCopy, File("data.db")}) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(5000, '\x01'));
        f.close();
    }
    QFile(damagedCopy)
        .setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    SharedConnection().Close();
    dialogs_.Clear();

    dialogs_.AnswerSystem(BoxAnswer::Cancel);
    OpenDatabase();
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    const QString told = dialogs_.Texts()[0];
    EXPECT_TRUE(
        told.startsWith(QStringLiteral("打开数据库文件 data.db 失败：这不是本程序的数据库文件")))
        << told.toStdString();
    EXPECT_TRUE(told.contains(QStringLiteral("自动备份_20120614.db"))) << told.toStdString();
    EXPECT_EQ(dialogs_.Shown()[0].buttons, BoxButtons::YesNoCancel);
    EXPECT_FALSE(SharedConnection().IsOpen());
    EXPECT_EQ(Bytes("data.db"), QByteArray(5000, '\x01'));

    dialogs_.Clear();
    dialogs_.AnswerSystem(BoxAnswer::Yes);
    OpenDatabase();
    ASSERT_TRUE(SharedConnection().IsOpen()) << dialogs_.Texts().join("|").toStdString();
    DbRecordSet records;
    ASSERT_TRUE(records.Open("select 类型 from other", SharedConnection(), true));
    records.MoveFirst();
    EXPECT_EQ(FieldText(records, "类型"), QStringLiteral("备份里的"));
    const QStringList kept =
        QDir(folder).entryList({QStringLiteral("无法打开的数据库_*.db")}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_EQ(Bytes(QStringLiteral("备份/") + kept[0]), QByteArray(5000, '\x01'));
    const QFileDevice::Permissions others = QFileDevice::ReadGroup | QFileDevice::WriteGroup |
                                            QFileDevice::ExeGroup | QFileDevice::ReadOther |
                                            QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_FALSE(QFile::permissions(folder + "/" + kept[0]) & others);
    EXPECT_EQ(dialogs_.Texts().size(), 2);
    EXPECT_TRUE(
        dialogs_.Texts().last().startsWith(QStringLiteral("已用备份 自动备份_20120614.db")));
}

TEST_F(Provisioning, TheSettingsChooseTheServerAndSayWhyItCannotBeReached) {
    ProvisionFiles();
    TestServer& server = TestServer::Instance();
    ASSERT_TRUE(server.Running()) << server.Error().toStdString();
    const QString database = server.NewDatabase();
    auto openWith = [this](const QString& connection) {
        IniWrite(ConfigPath(), kServerSection, ServerKey::kStore, kServerStore);
        IniWrite(ConfigPath(), kServerSection, ServerKey::kConnection, connection);
        dialogs_.Clear();
        SharedConnection().Close();
        OpenDatabase();
    };
    openWith(database);
    EXPECT_TRUE(dialogs_.Texts().isEmpty()) << dialogs_.Texts().join(u'\n').toStdString();
    EXPECT_EQ(SharedConnection().GetProvider(), kServerStore);

    openWith(database + QStringLiteral(" user=无此人"));
    ASSERT_EQ(dialogs_.Texts().size(), 1);
    EXPECT_TRUE(dialogs_.Texts()[0].startsWith(QStringLiteral("连接数据库服务器失败！\n")));
    EXPECT_TRUE(dialogs_.Texts()[0].contains(QStringLiteral("拒绝了登录")));
    EXPECT_FALSE(SharedConnection().IsOpen());

    openWith(QStringLiteral("host=%1 dbname=x").arg(File(QStringLiteral("无服务器"))));
    ASSERT_EQ(dialogs_.Texts().size(), 1);
    EXPECT_TRUE(dialogs_.Texts()[0].contains(QStringLiteral("没有响应")));
    EXPECT_FALSE(SharedConnection().IsOpen());

    // The choice to go on with this computer's own file, for this start only.
    dialogs_.AnswerSystem(BoxAnswer::Yes);
    openWith(QStringLiteral("host=%1 dbname=x").arg(File(QStringLiteral("无服务器"))));
    EXPECT_TRUE(dialogs_.Texts()[0].contains(QStringLiteral("要改用本机的数据库文件")));
    ASSERT_TRUE(SharedConnection().IsOpen());
    EXPECT_EQ(SharedConnection().Path(), File(QStringLiteral("data.db")));
    EXPECT_EQ(IniRead(ConfigPath(), kServerSection, ServerKey::kStore), kServerStore);

    // Without the choice the books are data.db, as before.
    IniWrite(ConfigPath(), kServerSection, ServerKey::kStore, QString());
    dialogs_.Clear();
    OpenDatabase();
    EXPECT_TRUE(dialogs_.Texts().isEmpty());
    EXPECT_EQ(SharedConnection().Path(), File(QStringLiteral("data.db")));
}

TEST_F(Provisioning, ATillStartedWithItsServerDownSellsFromItsCopyWithoutAQuestion) {
    ProvisionFiles();
    TestServer& server = TestServer::Instance();
    ASSERT_TRUE(server.Running()) << server.Error().toStdString();
    const QString database = server.NewDatabase();
    // The day before, connected: the till kept its copy of the server's goods.
    {
        DbConnection books, copy;
        ASSERT_TRUE(books.OpenServer(database));
        ASSERT_TRUE(
            books.Execute("insert into buy (名称, 进货数量, 存货数量) values ('笔', 3, 3)"));
        QString error;
        ASSERT_TRUE(ledger::OpenTillCopy(copy, TillCopyPath(), &error)) << error.toStdString();
        ASSERT_TRUE(ledger::RefreshTillCopy(books, copy, &error)) << error.toStdString();
    }
    IniWrite(ConfigPath(), kServerSection, ServerKey::kStore, kServerStore);
    IniWrite(ConfigPath(), kServerSection, ServerKey::kConnection,
             QStringLiteral("host=%1 dbname=x").arg(File(QStringLiteral("无服务器"))));
    SharedConnection().Close();
    dialogs_.Clear();
    OpenDatabase();
    EXPECT_TRUE(dialogs_.Texts().isEmpty()) << dialogs_.Texts().join(u'\n').toStdString();
    ASSERT_TRUE(SharedConnection().IsOpen());
    EXPECT_TRUE(SharedConnection().SalesOnly());
    EXPECT_EQ(SharedConnection().Path(), TillCopyPath());
    EXPECT_TRUE(OfflineBannerText().contains(QStringLiteral("0 笔销售等待上传")));
}

TEST_F(Provisioning, TheTitleDefaultsAndIsWrittenBack) {
    ProvisionFiles();
    EXPECT_EQ(LoadAppTitle(), kDefaultTitle);
    EXPECT_TRUE(Bytes("config.ini").contains(ToGbk("dqmc=" + kDefaultTitle + "\r\n[System]")));
    WriteSetupKey("dqmc", QStringLiteral("小店"));
    EXPECT_EQ(LoadAppTitle(), QStringLiteral("小店"));
    EXPECT_EQ(CurrentSession().appTitle, QStringLiteral("小店"));
    WriteSetupKey("dqmc", "");
    EXPECT_EQ(LoadAppTitle(), kDefaultTitle);
    EXPECT_EQ(ReadSetupKey("dqmc"), kDefaultTitle);
}

TEST_F(Provisioning, FlagsAreOnOnlyForTure) {
    ProvisionFiles();
    WriteSetupKey("beepview", "true");
    EXPECT_FALSE(SetupFlag("beepview"));
    WriteSetupKey("beepview", "ture");
    EXPECT_TRUE(SetupFlag("beepview"));
    EXPECT_EQ(SetupColor("bgone"), 55512);
    EXPECT_EQ(SetupNumber("beep"), 2);
    EXPECT_EQ(SetupNumber("nosuch"), 0);
}

// A crash in the middle of a change leaves a hot journal; the user then deletes data.db.
TEST_F(Provisioning, AStaleJournalBesideADeletedDatabaseIsNeverRolledIntoTheNewOne) {
    ProvisionFiles();
    const QByteArray db = QFile::encodeName(File("data.db"));
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(db.constData(), &raw), SQLITE_OK);
    // A table fills the file; then a change to it is interrupted after SQLite, its cache kept
    // small, has begun writing changed pages into the file.
    ASSERT_EQ(sqlite3_exec(raw,
                           "CREATE TABLE filler(x); WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL "
                           "SELECT i+1 FROM n WHERE i<400) INSERT INTO filler SELECT "
                           "randomblob(900) FROM n; PRAGMA cache_size=2; BEGIN; "
                           "INSERT INTO filler SELECT randomblob(900) FROM filler;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    ASSERT_TRUE(QFile::copy(File("data.db-journal"), File("crashed-journal")));
    sqlite3_close_v2(raw);  // rolls back
    ASSERT_TRUE(QFile::remove(File("data.db")));
    ASSERT_TRUE(QFile::rename(File("crashed-journal"), File("data.db-journal")));

    dialogs_.Clear();
    ProvisionFiles();
    OpenDatabase();
    EXPECT_TRUE(SharedConnection().IsOpen());
    EXPECT_EQ(dialogs_.Texts(), QStringList{QStringLiteral("第一次使用是否需要“视频教程”")});
    EXPECT_FALSE(QFile::exists(File("data.db-journal")));
}

// Two copies of the program started at the same moment in an empty directory.
TEST_F(Provisioning, TwoSimultaneousFirstStartsEndWithOneGoodDatabase) {
    for (int round = 0; round < 8; ++round) {
        const QString dir = File(QString::number(round));
        ASSERT_TRUE(QDir().mkpath(dir));
        SetProgramDir(dir);
        int gate[2];
        ASSERT_EQ(pipe(gate), 0);
        pid_t children[2];
        for (pid_t& child : children) {
            child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                close(gate[1]);
                char c;
                if (read(gate[0], &c, 1) < 0) _exit(1);  // both start when the gate closes
                ProvisionFiles();
                _exit(0);
            }
        }
        close(gate[0]);
        close(gate[1]);
        for (pid_t child : children) {
            int status = 0;
            waitpid(child, &status, 0);
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name),
                  (QStringList{"config.ini", "data.db", QStringLiteral("配置.ini")}));
        DbConnection connection;
        EXPECT_TRUE(connection.OpenFile(dir + "/data.db"))
            << connection.GetErrorDescription().toStdString();
        QFile config(dir + "/config.ini");
        ASSERT_TRUE(config.open(QIODevice::ReadOnly));
        EXPECT_EQ(config.readAll(), DefaultConfigBytes());
    }
}

TEST_F(Provisioning, TheDatabaseAndTheRememberedPasswordsAreTheOwnersAlone) {
    ProvisionFiles();
    IniWrite(RememberPath(), "admin", "k", "v");
    const auto ownerOnly =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser;
    EXPECT_EQ(QFile::permissions(File("data.db")), ownerOnly);
    EXPECT_EQ(QFile::permissions(RememberPath()), ownerOnly);
}

// An empty settings file is what a failed write on a full disk used to leave.
TEST_F(Provisioning, AnEmptySettingsFileIsWrittenAgainAndAFailedWriteToldOnce) {
    QFile(File("config.ini")).open(QIODevice::WriteOnly);
    ProvisionFiles();
    EXPECT_EQ(Bytes("config.ini"), DefaultConfigBytes());

    ReportSettingsFailures();
    SetWriteCallForTest([](int, const char*, long) -> long {
        errno = ENOSPC;
        return -1;
    });
    dialogs_.Clear();
    for (const char* typed : {"1", "12", "123"}) WriteSetupKey("beep", typed);
    SetWriteCallForTest(nullptr);
    SetSettingsFailureHandler(nullptr);
    EXPECT_EQ(Bytes("config.ini"), DefaultConfigBytes());
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    EXPECT_TRUE(dialogs_.Texts()[0].contains(QStringLiteral("磁盘空间不足")));
}

}  // namespace
