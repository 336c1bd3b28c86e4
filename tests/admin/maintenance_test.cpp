#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QSignalSpy>
#include <QThread>
#include <memory>

#include "admin/maintenance_window.h"
#include "common/ini.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/list_refresh.h"
#include "platform/skin.h"
#include "store/db_files.h"
#include "store/migrate.h"
#include "store/schema.h"
#include "store/server_session.h"
#include "store/shared_db.h"
#include "store/statement.h"
#include "support/program_fixture.h"
#include "support/test_server.h"

namespace {

class Maintenance : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        Provision();
        CurrentSession().userRole = kSuperAdmin;
        owner_ = std::make_unique<QWidget>();
        Skin::Instance().Attach(owner_.get());
        RegisterListFill(ListId::Stock, [this] { fills_ << QStringLiteral("stock"); });
        AddEntry(QStringLiteral("房租"));
        window_ = std::make_unique<MaintenanceWindow>();
    }
    void TearDown() override {
        window_.reset();
        UnregisterListFill(ListId::Stock);
        Skin::Instance().Detach();
        owner_.reset();
        ProgramFixture::TearDown();
    }
    static void AddEntry(const QString& item) {
        ASSERT_TRUE(SharedConnection().Execute(
            QStringLiteral("insert into other (类型, 项目) values ('收入', ?)"), {item}));
    }
    static QStringList Items() {
        QStringList items;
        if (!OpenSharedQuery(QStringLiteral("select 项目 from other order by ID"))) return items;
        for (; !SharedRecordSet().IsEOF(); SharedRecordSet().MoveNext())
            items << FieldText(SharedRecordSet(), QStringLiteral("项目"));
        SharedRecordSet().Close();
        return items;
    }
    QByteArray Hash(const QString& path) const {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
    }
    QStringList Backups() const {
        return QDir(File(QStringLiteral("备份"))).entryList(QDir::Files, QDir::Name);
    }

    std::unique_ptr<QWidget> owner_;
    std::unique_ptr<MaintenanceWindow> window_;
    QStringList fills_;
};

TEST_F(Maintenance, BackupMapsTheStoredDefaultAsksBeforeOverwritingAndRemembersTheTarget) {
    EXPECT_EQ(window_->编辑框1->text(), File(QStringLiteral("BackupData.db")));
    window_->ChooseBackupFolder();  // cancelled: the target stays
    EXPECT_EQ(window_->编辑框1->text(), File(QStringLiteral("BackupData.db")));

    QDir(Dir()).mkdir(QStringLiteral("U盘"));
    dialogs_.AnswerFile(File(QStringLiteral("U盘")));
    window_->ChooseBackupFolder();
    const QString target = File(QStringLiteral("U盘/BackupData.db"));
    EXPECT_EQ(window_->编辑框1->text(), target);

    window_->编辑框1->setText(QStringLiteral("　 ") + target + QStringLiteral("  "));
    dialogs_.Clear();
    window_->BackUp();
    EXPECT_EQ(dialogs_.Texts(), QStringList{QStringLiteral("备份数据库完成！")});
    EXPECT_EQ(ReadSetupKey(SetupKey::kBackPath), target);

    AddEntry(QStringLiteral("水电"));
    dialogs_.Clear();
    dialogs_.AnswerSystem(BoxAnswer::No);
    const QByteArray before = Hash(target);
    window_->BackUp();
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    EXPECT_EQ(dialogs_.Shown().first().kind, ShownBox::Kind::System);
    EXPECT_EQ(Hash(target), before);

    dialogs_.Clear();
    dialogs_.AnswerSystem(BoxAnswer::Yes);
    window_->BackUp();
    EXPECT_EQ(dialogs_.Texts().last(), QStringLiteral("备份数据库完成！"));
    EXPECT_NE(Hash(target), before);
    EXPECT_EQ(MaintenanceWindow().编辑框1->text(), target);

    dialogs_.Clear();
    window_->编辑框1->setText(File(QStringLiteral("无此目录/BackupData.db")));
    window_->BackUp();
    EXPECT_EQ(dialogs_.Texts(), QStringList{QStringLiteral("备份数据库失败了")});
    EXPECT_EQ(ReadSetupKey(SetupKey::kBackPath), target);
}

TEST_F(Maintenance, RestoreReplacesTheLedgerKeepsASafetyCopyAndRefillsTheLists) {
    QString error;
    ASSERT_TRUE(BackupDatabase(SharedConnection(), File(QStringLiteral("旧账.db")), &error));
    AddEntry(QStringLiteral("水电"));

    dialogs_.AnswerFile(File(QStringLiteral("旧账.db")));
    window_->ChooseRestoreFile();
    dialogs_.AnswerSkin(0);  // the user thinks again
    dialogs_.AnswerInput(QStringLiteral("642"));
    window_->Restore();
    EXPECT_EQ(Items(), (QStringList{QStringLiteral("房租"), QStringLiteral("水电")}));
    EXPECT_TRUE(Backups().isEmpty());

    dialogs_.Clear();
    dialogs_.AnswerSkin(1);
    dialogs_.AnswerInput(QStringLiteral("642"));
    window_->Restore();
    EXPECT_EQ(dialogs_.Texts().last(), QStringLiteral("恢复以前数据库成功！"));
    EXPECT_EQ(Items(), QStringList{QStringLiteral("房租")});
    EXPECT_EQ(fills_, QStringList{QStringLiteral("stock")});
    ASSERT_EQ(Backups().size(), 1);
    EXPECT_TRUE(Backups().first().startsWith(QStringLiteral("恢复前_")));
}

TEST_F(Maintenance, RestoreRefusesDamagedAndForeignFilesWithoutTouchingTheLedger) {
    QFile text(File(QStringLiteral("说明.db")));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write(QByteArray("SQLite format 3").append(QByteArray(5000, '\0')));
    text.close();
    QFile::copy(File(QStringLiteral("config.ini")), File(QStringLiteral("config.db")));
    const QByteArray before = Hash(File(QStringLiteral("data.db")));

    for (const char* name : {"说明.db", "config.db", "没有这个文件.db"}) {
        dialogs_.Clear();
        window_->编辑框2->setText(File(QString::fromUtf8(name)));
        window_->Restore();
        EXPECT_EQ(dialogs_.Texts(), QStringList{QStringLiteral("恢复以前数据库失败！")}) << name;
    }
    EXPECT_EQ(Hash(File(QStringLiteral("data.db"))), before);
    EXPECT_TRUE(fills_.isEmpty());
    EXPECT_TRUE(
        QDir(Dir()).entryList({QStringLiteral("*.tmp")}, QDir::Hidden | QDir::Files).isEmpty());
    EXPECT_EQ(Items(), QStringList{QStringLiteral("房租")});
}

// A clerk who knows the super administrator's password still cannot replace or reshape the
// books from a clerk's login; nothing is asked, copied or left behind.
TEST_F(Maintenance, AClerkIsRefusedEveryChangeOfTheWholeBooksAndNothingChanges) {
    QString error;
    const QString old = File(QStringLiteral("旧账.db"));
    ASSERT_TRUE(BackupDatabase(SharedConnection(), old, &error));
    AddEntry(QStringLiteral("水电"));
    CurrentSession().userRole = kOrdinaryUser;
    window_->编辑框2->setText(old);
    const QByteArray before = Hash(File(QStringLiteral("data.db")));
    const struct {
        void (MaintenanceWindow::*action)();
        const char* refusal;
    } cases[] = {
        {&MaintenanceWindow::Restore,
         "只有超级管理员才能恢复数据库，\r\n请用超级管理员账号登录后再操作"},
        {&MaintenanceWindow::Compact,
         "只有超级管理员才能压缩数据库，\r\n请用超级管理员账号登录后再操作"},
        {&MaintenanceWindow::Initialise,
         "只有超级管理员才能初始化数据库，\r\n请用超级管理员账号登录后再操作"},
        {&MaintenanceWindow::MoveToServer,
         "只有超级管理员才能迁移到服务器，\r\n请用超级管理员账号登录后再操作"},
    };
    for (const auto& c : cases) {
        // Refused before any question: the password is never asked.
        dialogs_.Clear();
        (window_.get()->*c.action)();
        EXPECT_EQ(dialogs_.Texts(), QStringList{QString::fromUtf8(c.refusal)});
    }
    EXPECT_EQ(Hash(File(QStringLiteral("data.db"))), before);
    EXPECT_EQ(Items(), (QStringList{QStringLiteral("房租"), QStringLiteral("水电")}));
    EXPECT_TRUE(Backups().isEmpty());
    EXPECT_TRUE(fills_.isEmpty());
    EXPECT_TRUE(
        QDir(Dir()).entryList({QStringLiteral("*.tmp")}, QDir::Hidden | QDir::Files).isEmpty());
    EXPECT_TRUE(IniRead(ConfigPath(), kServerSection, ServerKey::kStore).isEmpty());
}

TEST_F(Maintenance, InitialiseNeedsTheSuperAdministratorPasswordAndKeepsTheOldData) {
    dialogs_.AnswerInput(QStringLiteral("641"));
    window_->Initialise();
    EXPECT_EQ(dialogs_.Texts().last(), QStringLiteral("超级管理员密码输入错误,无法完成您的请求"));
    EXPECT_EQ(Items(), QStringList{QStringLiteral("房租")});

    dialogs_.Clear();
    dialogs_.AnswerInput(QStringLiteral("642"));
    window_->Initialise();
    EXPECT_EQ(dialogs_.Texts(),
              (QStringList{QStringLiteral("请输入超级管理员密码,才能进行初始化操作"),
                           QStringLiteral("初始化数据库完成")}));
    EXPECT_TRUE(Items().isEmpty());
    EXPECT_EQ(fills_.size(), 1);
    ASSERT_EQ(Backups().size(), 1);
    EXPECT_TRUE(Backups().first().startsWith(QStringLiteral("初始化前_")));
}

TEST_F(Maintenance, AnOldBackupIsRestoredUpgradedAndInitialisingEmptiesTheCustomerAccounts) {
    const auto scalar = [](const QString& sql) {
        Statement st(SharedConnection(), sql);
        return st.Next() ? st.Int64(0) : -1;
    };
    QString error;
    const QString old = File(QStringLiteral("旧账.db"));
    ASSERT_TRUE(BackupDatabase(SharedConnection(), old, &error));
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(old.toUtf8().constData(), &raw), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(raw,
                           "DROP INDEX 客户欠款; DROP INDEX 客户销售; ALTER TABLE sell DROP COLUMN "
                           "客户ID; DROP TABLE customer; DROP TABLE payment; DROP TABLE "
                           "payment_part; PRAGMA user_version=0;"
                           "INSERT INTO sell (名称, 欠款额, 客户名称) VALUES ('笔', 3, '李四');",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    sqlite3_close(raw);

    window_->编辑框2->setText(old);
    dialogs_.AnswerSkin(1);
    dialogs_.AnswerInput(QStringLiteral("642"));
    window_->Restore();
    EXPECT_EQ(dialogs_.Texts().last(), QStringLiteral("恢复以前数据库成功！"));
    EXPECT_EQ(scalar(QStringLiteral("PRAGMA user_version")), kSchemaVersion);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from customer where 名称='李四'")), 1);
    EXPECT_EQ(scalar(QStringLiteral("select 客户ID from sell")),
              scalar(QStringLiteral("select ID from customer")));
    ASSERT_TRUE(SharedConnection().Execute(
        QStringLiteral("insert into payment (客户ID, 金额) values (1, 1)")));

    dialogs_.AnswerInput(QStringLiteral("642"));
    window_->Compact();
    EXPECT_EQ(scalar(QStringLiteral("PRAGMA user_version")), kSchemaVersion);
    dialogs_.AnswerInput(QStringLiteral("642"));
    window_->Initialise();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from customer")), 0);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from payment")), 0);
    EXPECT_EQ(scalar(QStringLiteral("PRAGMA user_version")), kSchemaVersion);
}

TEST_F(Maintenance, CompactKeepsTheLedgerOpen) {
    dialogs_.AnswerInput(QStringLiteral("642"));
    window_->Compact();
    EXPECT_EQ(dialogs_.Texts(), (QStringList{QStringLiteral("请输入超级管理员密码,才能压缩数据库"),
                                             QStringLiteral("压缩数据库成功")}));
    EXPECT_EQ(Items(), QStringList{QStringLiteral("房租")});
}

TEST_F(Maintenance, DailyBackupRunsAtStartUnlessSwitchedOff) {
    ASSERT_TRUE(
        IniWrite(ConfigPath(), QStringLiteral("setup"), kAutoBackupKey, QStringLiteral("否")));
    EXPECT_EQ(StartDailyBackup(owner_.get()), nullptr);
    ASSERT_TRUE(IniWrite(ConfigPath(), QStringLiteral("setup"), kAutoBackupKey, QString()));
    QThread* thread = StartDailyBackup(owner_.get());
    ASSERT_NE(thread, nullptr);
    QSignalSpy ended(thread, &QThread::finished);
    ASSERT_TRUE(ended.wait());
    EXPECT_EQ(Backups(), QStringList{QStringLiteral("自动备份_20120615.db")});
}

// The books move to an empty server database whole, the program then works on the server, and
// a server that already holds books is refused with nothing left on it.
TEST_F(Maintenance, TheBooksMoveToAnEmptyServerWithEveryRowCheckedOrNotAtAll) {
    ASSERT_TRUE(TestServer::Instance().Running()) << qPrintable(TestServer::Instance().Error());
    for (const char* sql :
         {"insert into buy (名称, 进货数量, 进货单价, 存货数量, 入库日期) values "
          "('笔', 5, 1.5, 5, '2012-06-03'), ('Ink''s', 2, 0.1, 2, '2012-06-04')",
          "insert into sell (名称, 销售数量, 销售金额, 欠款额, 销售日期, 客户名称) values "
          "('笔', 1, 2.5, 1, '2012-06-05 09:03:07', '张三')",
          "insert into UserName (用户名, 密码, 权限) values ('店员', '1', '普通管理员')"})
        ASSERT_TRUE(SharedConnection().Execute(sql)) << sql;
    QList<TableTally> inFile;
    QString error;
    ASSERT_TRUE(TallyTables(SharedConnection(), &inFile, &error)) << qPrintable(error);

    // A database that already keeps books is not mixed with these.
    const QString used = TestServer::Instance().NewDatabase();
    DbConnection other;
    ASSERT_TRUE(other.OpenServer(used)) << qPrintable(other.GetErrorDescription());
    ASSERT_TRUE(other.Execute("insert into other (类型, 项目) values ('支出', '电费')"));
    dialogs_.AnswerInput(QStringLiteral("642"));
    dialogs_.AnswerInput(used);
    window_->MoveToServer();
    EXPECT_TRUE(dialogs_.Texts().last().startsWith(
        QStringLiteral("迁移到服务器失败，服务器上没有留下任何数据")))
        << qPrintable(dialogs_.Texts().join('|'));
    QList<TableTally> left;
    ASSERT_TRUE(TallyTables(other, &left, &error));
    EXPECT_EQ(left[2].rows, 1);  // other
    EXPECT_EQ(left[0].rows, 0);  // buy
    EXPECT_TRUE(IniRead(ConfigPath(), kServerSection, ServerKey::kStore).isEmpty());
    EXPECT_EQ(SharedConnection().Server(), nullptr);

    const QString empty = TestServer::Instance().NewDatabase();
    dialogs_.AnswerInput(QStringLiteral("642"));
    dialogs_.AnswerInput(empty);
    window_->MoveToServer();
    EXPECT_TRUE(dialogs_.Texts().last().startsWith(QStringLiteral("迁移到服务器完成：共 6 条记录")))
        << qPrintable(dialogs_.Texts().last());
    EXPECT_EQ(IniRead(ConfigPath(), kServerSection, ServerKey::kStore), kServerStore);
    ASSERT_NE(SharedConnection().Server(), nullptr);
    // The owner's login served the move alone: the program goes on as the super administrator's.
    EXPECT_FALSE(
        ConnectionNamesUser(IniRead(ConfigPath(), kServerSection, ServerKey::kConnection)));
    EXPECT_TRUE(SharedConnection().Server()->UsesProgramLogin());
    EXPECT_TRUE(SharedConnection().Server()->SeesCosts());
    QList<TableTally> onServer;
    ASSERT_TRUE(TallyTables(SharedConnection(), &onServer, &error)) << qPrintable(error);
    EXPECT_EQ(onServer, inFile);
    EXPECT_EQ(Items(), QStringList{QStringLiteral("房租")});
    // New rows on the server follow the IDs the file used.
    AddEntry(QStringLiteral("水费"));
    ASSERT_TRUE(OpenSharedQuery("select max(ID) as id from other"));
    EXPECT_EQ(FieldNumber(SharedRecordSet(), "id"), 2);
    SharedRecordSet().Close();

    // Initialisation, restore and compaction work on the server's books, with safety copies
    // kept on this computer.
    const QString backup = File(QStringLiteral("旧账.db"));
    ASSERT_TRUE(BackupDatabase(SharedConnection(), backup, &error)) << qPrintable(error);
    dialogs_.AnswerInput(QStringLiteral("642"));
    window_->Initialise();
    EXPECT_EQ(dialogs_.Texts().last(), QStringLiteral("初始化数据库完成"))
        << qPrintable(dialogs_.Texts().join(u'|'));
    EXPECT_TRUE(Items().isEmpty());
    window_->编辑框2->setText(backup);
    dialogs_.AnswerSkin(1);
    dialogs_.AnswerInput(QStringLiteral("642"));
    window_->Restore();
    EXPECT_EQ(dialogs_.Texts().last(), QStringLiteral("恢复以前数据库成功！"));
    EXPECT_EQ(Items(), (QStringList{QStringLiteral("房租"), QStringLiteral("水费")}));
    // Compaction rewrites tables, which the server lets their owner alone do: the tests' owner
    // is a superuser, whose role the super administrators' logins are never given.
    dialogs_.AnswerInput(QStringLiteral("642"));
    window_->Compact();
    EXPECT_TRUE(dialogs_.Texts().last().contains(QStringLiteral("不是服务器上账本的所有者")))
        << qPrintable(dialogs_.Texts().last());
    IniWrite(ConfigPath(), kServerSection, ServerKey::kConnection, empty);
    SharedConnection().Close();
    ASSERT_TRUE(EnsureDatabaseOpen());
    dialogs_.AnswerInput(QStringLiteral("642"));
    window_->Compact();
    EXPECT_EQ(dialogs_.Texts().last(), QStringLiteral("压缩数据库成功"));
    ASSERT_NE(SharedConnection().Server(), nullptr);
    const QStringList copies = Backups();
    ASSERT_EQ(copies.size(), 2);
    EXPECT_TRUE(copies[0].startsWith(QStringLiteral("初始化前_")));
    EXPECT_TRUE(copies[1].startsWith(QStringLiteral("恢复前_")));
    // The daily backup copies the server's books to this computer.
    QThread* thread = StartDailyBackup(owner_.get());
    ASSERT_NE(thread, nullptr);
    QSignalSpy ended(thread, &QThread::finished);
    ASSERT_TRUE(ended.wait());
    DbConnection daily;
    ASSERT_TRUE(daily.OpenFile(File(QStringLiteral("备份/自动备份_20120615.db"))));
    ASSERT_TRUE(TallyTables(daily, &inFile, &error));
    ASSERT_TRUE(TallyTables(SharedConnection(), &onServer, &error));
    EXPECT_EQ(inFile, onServer);
}

}  // namespace
