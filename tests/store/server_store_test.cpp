#include <gtest/gtest.h>
#include <poll.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>

#include "common/cell_row.h"
#include "store/change_log.h"
#include "store/db_connection.h"
#include "store/db_files.h"
#include "store/db_recordset.h"
#include "store/list_query.h"
#include "store/migrate.h"
#include "store/schema.h"
#include "store/server_session.h"
#include "store/shared_db.h"
#include "store/statement.h"
#include "support/test_server.h"

namespace {

// An empty database on the test server, opened on the shared connection as the program opens
// its books, and a data.db beside it to compare with.
class ServerStore : public ::testing::Test {
  protected:
    void SetUp() override {
        TestServer& server = TestServer::Instance();
        ASSERT_TRUE(server.Running()) << server.Error().toStdString();
        connection_ = server.NewDatabase();
        ASSERT_FALSE(connection_.isEmpty()) << server.Error().toStdString();
        ASSERT_TRUE(db().OpenServer(connection_)) << db().GetErrorDescription().toStdString();
        ASSERT_TRUE(CreateDatabaseFile(dir_.filePath("data.db")));
        ASSERT_TRUE(file_.OpenFile(dir_.filePath("data.db")));
    }
    void TearDown() override {
        SharedRecordSet().Close();
        db().Close();
    }
    static DbConnection& db() { return SharedConnection(); }

    // Each column of the first row as text ("null" for none), or the statement's error.
    static QStringList Row(DbConnection& on, const QString& sql, const QVariantList& values = {}) {
        Statement st(on, sql);
        st.Bind(values);
        if (!st.Next()) return {QStringLiteral("error: ") + st.Error()};
        QStringList row;
        for (int c = 0; c < st.ColumnCount(); ++c)
            row << (st.IsNull(c) ? QStringLiteral("null") : st.Text(c));
        return row;
    }
    void AddGoods(const QString& name, const QString& code) {
        for (DbConnection* on : {&db(), &file_})
            ASSERT_TRUE(on->Execute("insert into buy (名称, 编码, 入库日期) values (?, ?, ?)",
                                    {name, code, QDate(2024, 2, 29)}))
                << on->GetErrorDescription().toStdString();
    }

    QString connection_;
    QTemporaryDir dir_;
    DbConnection file_;
};

TEST_F(ServerStore, NamesCompareSortAndMatchWithoutRegardToCaseAsInTheFile) {
    AddGoods("pen", "ab-1");
    AddGoods("Paper", "AB-2");
    AddGoods("纸", "ab-3");
    const QStringList queries = {
        "select count(*) from buy where 编码 = ?",  // a bound value, not only a literal
        "select count(*) from buy where 名称 like 'P%'",
        "select count(*) from buy where 名称 like ?",
        "select string_agg(名称, ',') from (select 名称 from buy order by 名称) s",
        "select count(*) from buy where 编码 > 'AB-1'",
        "select instr(名称, 'a') from buy where ID = 2",
    };
    for (const QString& sql : queries) {
        const QVariantList values =
            sql.count(u'?') ? QVariantList{sql.contains("like") ? "p%" : "AB-1"} : QVariantList{};
        // string_agg is the server's own: the file's answer is written out here.
        const QStringList expected =
            sql.contains("string_agg") ? QStringList{"Paper,pen,纸"} : Row(file_, sql, values);
        EXPECT_EQ(Row(db(), sql, values), expected) << sql.toStdString();
    }
}

TEST_F(ServerStore, DateFunctionsGiveTheFilesAnswersAtMonthAndYearEdges) {
    const QStringList expressions = {
        "Year('2024-02-29'), Month('2024-02-29'), Day('2024-02-29 23:59:59')",
        "Year('2023-02-29'), Month('2024-13-01'), Day('')",
        "DateSerial(2024, 13, 1), DateSerial(2024, 3, 0), DateSerial(2023, 14, 31)",
        "DateSerial(2024, 1, -365), DateSerial(0, 1, 1), DateSerial(null, 1, 1)",
        "DateDiff('d', '2024-02-28', '2024-03-01'), DateDiff('m', '2023-12-31', '2024-01-01')",
        "DateDiff('yyyy', '2023-12-31', '2024-01-01'), DateDiff('q', '2024-03-31', '2023-10-01')",
        "DateDiff('w', '2024-01-01', '2024-01-14'), DateDiff('ww', '2024-01-06', '2024-01-07')",
        "DateDiff('w', '2024-01-14', '2024-01-01'), DateDiff('ww', '2024-01-07', '2024-01-06')",
        "DateDiff('h', '2024-01-01 10:59:59', '2024-01-01 11:00:00'), "
        "DateDiff('n', '2024-12-31 23:59:59', '2025-01-01'), DateDiff('s', '2024-01-01', "
        "'2023-12-31 23:59:59')",
        "DateDiff('d', '2024-02-30', '2024-03-01'), length(Date()), length(Now())",
    };
    for (const QString& e : expressions)
        EXPECT_EQ(Row(db(), "select " + e), Row(file_, "select " + e)) << e.toStdString();
    EXPECT_EQ(Row(db(), "select Date() = substr(Now(), 1, 10)"), QStringList{"t"});
}

TEST_F(ServerStore, NamesAreFoundByTheInitialsOfEveryCommonReadingAsInTheFile) {
    const QList<QStringList> cases = {
        {"空调", "KT"},       {"空调", "kd"},     {"空调", "KX"},
        {"电脑T60", "NT6"},   {"电脑T60", "t60"}, {"长城宽带", "ZCK"},
        {"长城宽带", "CCKD"}, {"ＡＢ牌", "abp"},  {"a-b", "A-B"},
        {"笔", ""},           {"", "B"},          {"𠀀笔", "B"},
        {"笔", "BB"},
    };
    const QString sql = "select case when InitialsMatch(?, ?) then 1 else 0 end";
    for (const QStringList& c : cases)
        EXPECT_EQ(Row(db(), sql, {c[0], c[1]}), Row(file_, sql, {c[0], c[1]}))
            << c.join(u' ').toStdString();
    EXPECT_EQ(Row(db(), "select case when InitialsMatch(null, 'B') then 1 else 0 end"),
              QStringList{"0"});
}

TEST_F(ServerStore, TheServerRefusesATextPastItsLimitAndADateInAnotherForm) {
    EXPECT_TRUE(db().Execute("insert into buy (名称) values (?)", {QString(50, u'长')}));
    EXPECT_FALSE(db().Execute("insert into buy (名称) values (?)", {QString(51, u'长')}));
    EXPECT_FALSE(db().Execute("insert into buy (入库日期) values ('2024/03/01')"));
    EXPECT_FALSE(db().Execute("insert into buy (入库日期) values ('2024-03-01 9:00:00')"));
    EXPECT_TRUE(db().Execute("insert into buy (入库日期) values ('2024-03-01 09:00:00')"));
    EXPECT_EQ(Row(db(), "select count(*) from buy"), QStringList{"2"});
}

TEST_F(ServerStore, ACommitAfterAFailedStepIsReportedAsNotDoneAndStoresNothing) {
    ASSERT_TRUE(db().BeginTrans());
    EXPECT_TRUE(db().Execute("insert into buy (名称) values ('笔')"));
    EXPECT_FALSE(db().Execute("insert into buy (名称) values (?)", {QString(51, u'长')}));
    EXPECT_FALSE(db().CommitTrans());
    EXPECT_FALSE(db().GetErrorDescription().isEmpty());
    EXPECT_EQ(Row(db(), "select count(*) from buy"), QStringList{"0"});
    // The connection works on as before.
    ASSERT_TRUE(db().BeginTrans());
    EXPECT_TRUE(db().Execute("insert into buy (名称) values ('笔')"));
    EXPECT_TRUE(db().CommitTrans());
    EXPECT_EQ(Row(db(), "select count(*) from buy"), QStringList{"1"});
}

TEST_F(ServerStore, AChangeOutsideATransactionWaitsForTheTillThatIsWriting) {
    AddGoods("pen", "A");
    DbConnection other;
    ASSERT_TRUE(other.OpenServer(connection_));
    ASSERT_TRUE(other.BeginTrans());
    db().SetConnectionTimeout(0);
    EXPECT_FALSE(db().Execute("update buy set 存货数量 = 存货数量 + 1"));
    EXPECT_TRUE(SharedConnectionBusy());
    ASSERT_TRUE(other.Execute("update buy set 存货数量 = 存货数量 + 10"));
    ASSERT_TRUE(other.CommitTrans());
    EXPECT_TRUE(db().Execute("update buy set 存货数量 = 存货数量 + 1"));
    EXPECT_EQ(Row(db(), "select 存货数量 from buy"), QStringList{"11"});
}

TEST_F(ServerStore, AnotherTillsChangesReachTheLogAndEachTillKnowsItsOwnNewRow) {
    DbConnection other;
    ASSERT_TRUE(other.OpenServer(connection_));
    const qint64 version = DataVersion(db());
    const qint64 seen = LastChange(db());
    ASSERT_TRUE(other.Execute("insert into bank (银行, 金额) values ('工行', 5)"));
    ASSERT_TRUE(other.Execute("insert into bank (银行, 金额) values ('农行', 6)"));
    ASSERT_TRUE(db().Execute("insert into buy (名称) values ('笔')"));
    EXPECT_EQ(db().LastInsertId(), 1);  // the buy row's, not the log's third entry
    EXPECT_EQ(other.LastInsertId(), 2);
    ASSERT_TRUE(other.Execute("update buy set 存货数量 = 3"));
    ASSERT_TRUE(other.Execute("delete from bank where ID = 1"));
    EXPECT_NE(DataVersion(db()), version);
    const ChangesRead read = ReadChanges(db(), seen, 10);
    ASSERT_TRUE(read.ok);
    QStringList changes;
    for (const RowChange& c : read.changes) changes << c.table + QString::number(c.id);
    EXPECT_EQ(changes, (QStringList{"bank1", "bank2", "buy1", "buy1", "bank1"}));
    EXPECT_EQ(read.last, LastChange(db()));
}

// A till listening for changes hears of another till's commit on its socket at once.
TEST_F(ServerStore, ACommittedChangeTellsTheListeningTillAtOnce) {
    const int socket = ListenForChanges(db());
    ASSERT_GE(socket, 0);
    DbConnection other;
    ASSERT_TRUE(other.OpenServer(connection_));
    ASSERT_TRUE(other.Execute("insert into other (项目) values ('房租')"));
    pollfd ready{socket, POLLIN, 0};
    ASSERT_EQ(poll(&ready, 1, 10000), 1);  // returns as soon as the notice is there
    EXPECT_TRUE(TakeChangeNotices(db()));
    EXPECT_FALSE(TakeChangeNotices(db()));
}

TEST_F(ServerStore, WhatOnlyAFileCanDoIsRefusedWithAMessageAndTheBooksStay) {
    AddGoods("pen", "A");
    const QString fileOnly = QStringLiteral("本机的数据库文件");
    EXPECT_FALSE(db().Execute("PRAGMA user_version"));
    EXPECT_TRUE(db().GetErrorDescription().contains(fileOnly));
    EXPECT_FALSE(db().Execute("select count(*) from sqlite_master"));
    EXPECT_FALSE(db().Execute("vacuum into ?", {dir_.filePath("copy.db")}));
    EXPECT_TRUE(db().IsOpen());
    EXPECT_EQ(Row(db(), "select count(*) from buy"), QStringList{"1"});
}

// Restore and initialisation put other books in place of the server's in one transaction,
// which a till in the middle of a change holds off, and after which every other till fills
// its lists again; compaction vacuums the server's tables.
TEST_F(ServerStore, TheServersBooksAreRestoredInitialisedAndCompactedWhole) {
    AddGoods("pen", "A");
    ASSERT_TRUE(file_.Execute("insert into sell (名称, 销售数量) values ('pen', 2)"));
    ASSERT_TRUE(file_.Execute("insert into other (项目, 金额) values ('房租', 900)"));
    const QString backup = dir_.filePath(QStringLiteral("备份.db"));
    QString error;
    ASSERT_TRUE(BackupDatabase(file_, backup, &error)) << error.toStdString();
    DbConnection other;
    ASSERT_TRUE(other.OpenServer(connection_));
    ASSERT_GE(ListenForChanges(other), 0);
    ASSERT_TRUE(other.Execute("insert into bank (银行, 金额) values ('工行', 5)"));
    TakeChangeNotices(other);
    const qint64 followed = LastChange(other);

    const QString safety =
        SafetyCopy(db(), dir_.filePath(QStringLiteral("备份")), QStringLiteral("恢复前"), &error);
    ASSERT_FALSE(safety.isEmpty()) << error.toStdString();
    const auto staged = [&] {
        const QString path = TemporaryPathBeside(backup);
        EXPECT_TRUE(CopyDatabaseFile(backup, path, &error));
        return path;
    };
    QList<TableTally> before, after, wanted;
    ASSERT_TRUE(TallyTables(db(), &before, &error));
    ASSERT_TRUE(other.BeginTrans());
    db().SetConnectionTimeout(0);
    const QString held = staged();
    EXPECT_FALSE(ReplaceDatabase(db(), held, &error));
    EXPECT_FALSE(QFileInfo::exists(held));
    ASSERT_TRUE(TallyTables(db(), &after, &error));
    EXPECT_EQ(after, before);
    other.RollbackTrans();

    ASSERT_TRUE(ReplaceDatabase(db(), staged(), &error)) << error.toStdString();
    ASSERT_TRUE(TallyTables(db(), &after, &error));
    ASSERT_TRUE(TallyTables(file_, &wanted, &error));
    EXPECT_EQ(after, wanted);
    EXPECT_EQ(Row(db(), "select rows, 销售数量 from sell_totals"), (QStringList{"1", "2000"}));
    EXPECT_TRUE(TakeChangeNotices(other));
    EXPECT_FALSE(ReadChanges(other, followed, 10).complete);
    // The other till's next change is no reason to follow the log one entry at a time.
    ASSERT_TRUE(other.Execute("insert into bank (银行, 金额) values ('农行', 6)"));
    EXPECT_FALSE(ReadChanges(other, followed, 10).complete);
    EXPECT_EQ(Row(db(), "select max(ID) from bank"), QStringList{"1"});
    EXPECT_TRUE(CompactDatabase(db(), &error)) << error.toStdString();

    ASSERT_TRUE(InitialiseDatabase(db(), &error)) << error.toStdString();
    EXPECT_EQ(Row(db(), "select count(*) from buy"), QStringList{"0"});
    EXPECT_EQ(Row(db(), "select rows, 销售数量 from sell_totals"), (QStringList{"0", "0"}));
    EXPECT_EQ(Row(db(), "select count(*) from bank"), QStringList{"0"});
    EXPECT_EQ(Row(db(), "select 用户名 from UserName"), QStringList{"超级管理员"});
    DbConnection copy;
    ASSERT_TRUE(copy.OpenFile(safety));
    EXPECT_EQ(Row(copy, "select 名称, 银行 from buy, bank"), (QStringList{"pen", "工行"}));
}

// A backup of the books on a server is a ledger file like any other, checked row for row, that
// replaces an older backup only when it is complete.
TEST_F(ServerStore, ABackupOfTheServerIsAPortableLedgerFile) {
    AddGoods("pen", "A");
    ASSERT_TRUE(
        db().Execute("insert into sell (名称, 销售数量, 销售日期) values ('pen', 2, "
                     "'2012-06-03 09:03:07')"));
    const QString target = dir_.filePath(QStringLiteral("备份.db"));
    QFile old(target);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("old backup");
    old.close();
    QString error;
    ASSERT_TRUE(BackupDatabase(db(), target, &error)) << error.toStdString();
    DbConnection copy;
    ASSERT_TRUE(copy.OpenFile(target)) << copy.GetErrorDescription().toStdString();
    QList<TableTally> inBackup, onServer;
    ASSERT_TRUE(TallyTables(copy, &inBackup, &error));
    ASSERT_TRUE(TallyTables(db(), &onServer, &error));
    EXPECT_EQ(inBackup, onServer);
    EXPECT_EQ(Row(copy, "select 销售日期 from sell"), QStringList{"2012-06-03 09:03:07"});
    copy.Close();

    EXPECT_FALSE(BackupDatabase(db(), dir_.filePath("无此目录/备份.db"), &error));
}

TEST_F(ServerStore, RecordSetsAndListsReadTheServersRowsAsTheFilesRows) {
    DbRecordSet rs;
    ASSERT_TRUE(rs.Open("buy", db()));
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldByName("名称", "圆珠笔"));
    ASSERT_TRUE(rs.SetFieldByName("入库日期", QDate(2024, 3, 1)));
    ASSERT_TRUE(rs.Update()) << rs.GetLastError().toStdString();
    EXPECT_EQ(rs.GetFieldName(0), "ID");
    EXPECT_EQ(rs.GetFieldByName("ID").toLongLong(), 1);
    EXPECT_EQ(rs.GetFieldByName("入库日期").toDateTime(), QDateTime(QDate(2024, 3, 1), QTime()));
    EXPECT_EQ(rs.GetFieldByName("销售数量"), QVariant(0.0));  // the column's default
    ASSERT_TRUE(rs.SetFieldByName("名称", "铅笔"));
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(Row(db(), "select 名称 from buy where ID = 1"), QStringList{"铅笔"});

    ListQuery rows("select ID, 名称, 入库日期, 存货数量 + 1 as n from buy");
    ASSERT_TRUE(rows.Next()) << rows.Error().toStdString();
    const QList<int> columns = rows.Columns({"id", "入库日期", "N"});
    EXPECT_EQ(columns, (QList<int>{0, 2, 3}));
    CellRow cells;
    for (int c : columns) rows.AddCell(c, &cells);
    EXPECT_EQ(cells.Kind(0), CellKind::Number);
    EXPECT_EQ(cells.Kind(1), CellKind::Date);
    EXPECT_EQ(cells.Value(2), 1);
}

// A list of more rows than the server sends at once: every row comes, in order; meanwhile
// the connection still reads but refuses a change, and once the list is read nothing of the
// read stays open: a change then goes through and another till sees it.
TEST_F(ServerStore, AListOfManyPiecesComesWholeAndLeavesTheConnectionFree) {
    const int total = kRowsPerPiece * 2 + kRowsPerPiece / 2;
    ASSERT_TRUE(db().Execute("insert into other (数量) select g from generate_series(1, ?::int) g",
                             {total}));
    ListQuery rows("select ID, 数量 from other where 数量 > ? order by ID", {0});
    const QList<int> c = rows.Columns({"ID", "数量"});
    int read = 0;
    bool inOrder = true;
    while (rows.Next()) {
        ++read;
        inOrder = inOrder && rows.Number(c[0]) == read && rows.Number(c[1]) == read;
        if (read == kRowsPerPiece + 1) {
            EXPECT_EQ(Row(db(), "select count(*) from other"), QStringList{QString::number(total)});
            EXPECT_FALSE(db().Execute("update other set 数量 = 0"));
            EXPECT_TRUE(db().GetErrorDescription().contains(QStringLiteral("不能修改")));
        }
    }
    EXPECT_TRUE(rows.Ok()) << rows.Error().toStdString();
    EXPECT_EQ(read, total);
    EXPECT_TRUE(inOrder);

    ASSERT_TRUE(db().Execute("insert into other (数量) values (0)"))
        << db().GetErrorDescription().toStdString();
    DbConnection other;
    ASSERT_TRUE(other.OpenServer(connection_));
    EXPECT_EQ(Row(other, "select count(*) from other where 数量 = 0"), QStringList{"1"});
}

// A list whose read fails after its first piece - the server's error, then the connection
// cut - is a failure, not a shorter list, and the connection serves the next statement.
TEST_F(ServerStore, AListThatFailsAfterItsFirstPieceIsAFailureNotAShorterList) {
    const int total = kRowsPerPiece * 2;
    ASSERT_TRUE(db().Execute("insert into other (数量) select g from generate_series(1, ?::int) g",
                             {total}));
    const auto readAll = [](ListQuery& rows, const std::function<void()>& afterFirst) {
        int read = 0;
        while (rows.Next())
            if (++read == 1) afterFirst();
        return read;
    };
    // Rows computed as they are fetched, along the ID's index, not all at once for a sort.
    ASSERT_TRUE(db().Execute("SET enable_sort = off"));
    ListQuery divided("select 1 / (? - 数量) as n from other", {kRowsPerPiece + 5});
    EXPECT_EQ(readAll(divided, [] {}), kRowsPerPiece);
    EXPECT_FALSE(divided.Ok());
    EXPECT_FALSE(divided.Error().isEmpty());
    EXPECT_TRUE(db().Execute("insert into other (数量) values (0)"))
        << db().GetErrorDescription().toStdString();

    const QString pid = Row(db(), "select pg_backend_pid()").value(0);
    DbConnection other;
    ASSERT_TRUE(other.OpenServer(connection_));
    ListQuery cut("select ID from other");
    EXPECT_EQ(readAll(cut, [&] { Row(other, "select pg_terminate_backend(?::int)", {pid}); }),
              kRowsPerPiece);
    EXPECT_FALSE(cut.Ok());
    EXPECT_TRUE(cut.Error().contains(QStringLiteral("连接已断开"))) << cut.Error().toStdString();
    EXPECT_EQ(Row(db(), "select count(*) from other"), QStringList{QString::number(total + 1)});
}

TEST_F(ServerStore, BooksOfTheEarlierVersionGainTheSalesTotalsAtOpening) {
    for (const char* sql :
         {"drop function lk_sell_totals cascade", "drop table sell_totals",
          "drop function lk_buy_totals cascade", "drop table buy_totals",
          "drop table stocktake, stocktake_line, stocktake_code", "drop index 商品编码",
          "drop index 商品类型",
          "create or replace function lk_schema_version() returns integer language sql as "
          "'select 2'",
          "insert into sell (销售金额, 欠款额) values (8.8, 0.1), (1.15, 0)"})
        ASSERT_TRUE(db().Execute(sql)) << db().GetErrorDescription().toStdString();
    DbConnection other;
    ASSERT_TRUE(other.OpenServer(connection_)) << other.GetErrorDescription().toStdString();
    EXPECT_EQ(Row(other, "select rows, 销售金额, 欠款额 from sell_totals"),
              (QStringList{"2", "995", "10"}));
    EXPECT_EQ(Row(other, "select count(*) from stocktake_line"), QStringList{"0"});
    EXPECT_EQ(Row(other, "select count(*) from pg_indexes where indexname = '商品类型'"),
              QStringList{"1"});
    ASSERT_TRUE(other.Execute("delete from sell where 欠款额 > 0"));
    EXPECT_EQ(Row(other, "select rows, 销售金额, lk_schema_version() from sell_totals"),
              (QStringList{"1", "115", QString::number(kSchemaVersion)}));
}

TEST_F(ServerStore, ADatabaseOfALaterVersionOrAnUnreachableServerIsNotOpened) {
    DbConnection other;
    EXPECT_FALSE(other.OpenServer("host=" + dir_.filePath("nowhere") + " dbname=x"));
    EXPECT_TRUE(other.GetErrorDescription().startsWith(QStringLiteral("无法连接数据库服务器")));
    EXPECT_FALSE(other.IsOpen());

    ASSERT_TRUE(
        db().Execute("create or replace function lk_schema_version() returns integer "
                     "language sql as 'select 99'"));
    EXPECT_FALSE(other.OpenServer(connection_));
    EXPECT_TRUE(other.GetErrorDescription().contains(QStringLiteral("较新版本")));
}

// A till's login that does not own the books may set lk.copy, but its change still goes into
// the change log for the other tills to follow; the owner's move of a whole file does not.
TEST_F(ServerStore, OnlyTheOwnerOfTheBooksWritesPastTheChangeLog) {
    const QString till =
        connection_.section(QStringLiteral("dbname="), 1) + QStringLiteral("_till");
    for (const QString& sql : {QStringLiteral("CREATE ROLE %1 LOGIN PASSWORD 'till'"),
                               QStringLiteral("GRANT ALL ON ALL TABLES IN SCHEMA public TO %1"),
                               QStringLiteral("GRANT ALL ON ALL SEQUENCES IN SCHEMA public TO %1")})
        ASSERT_TRUE(db().Execute(sql.arg(till))) << db().GetErrorDescription().toStdString();
    DbConnection other;
    ASSERT_TRUE(other.OpenServer(
        QString(connection_).replace("user=lk", "user=" + till + " password=till")))
        << other.GetErrorDescription().toStdString();
    const qint64 before = LastChange(db());
    ASSERT_TRUE(other.Execute("SET lk.copy = 'on'"));
    ASSERT_TRUE(other.Execute("insert into other (项目) values ('暗中')"));
    EXPECT_EQ(LastChange(db()), before + 1);

    ASSERT_TRUE(db().Execute("SET lk.copy = 'on'"));
    ASSERT_TRUE(db().Execute("insert into other (项目) values ('迁移')"));
    ASSERT_TRUE(db().Execute("RESET lk.copy"));
    EXPECT_EQ(LastChange(db()), before + 1);
}

TEST(SecuredConnection, AServerOffThisComputerIsReachedOverSslOnly) {
    const struct {
        const char* given;
        const char* used;  // null: as given
    } cases[] = {
        {"host=192.168.1.10 dbname=shop", "host=192.168.1.10 dbname=shop sslmode=require"},
        {"host=db.example sslmode=disable", "host=db.example sslmode=disable sslmode=require"},
        {"hostaddr=10.0.0.2 sslmode=prefer", "hostaddr=10.0.0.2 sslmode=prefer sslmode=require"},
        {"host=localhost,10.0.0.3", "host=localhost,10.0.0.3 sslmode=require"},
        {"postgresql://db.example/shop", "postgresql://db.example/shop?sslmode=require"},
        {"host=db.example sslmode=verify-full", nullptr},
        {"host=localhost dbname=shop", nullptr},
        {"host=127.0.0.1 dbname=shop", nullptr},
        {"host=/run/postgresql dbname=shop", nullptr},
        {"dbname=shop user=shop", nullptr},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SecuredConnection(QString::fromUtf8(c.given)),
                  QString::fromUtf8(c.used ? c.used : c.given))
            << c.given;
}

}  // namespace
