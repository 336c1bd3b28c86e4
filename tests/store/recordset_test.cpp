#include <gtest/gtest.h>

#include <QFile>

#include "common/date_text.h"
#include "store/password_hash.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"

using namespace RecordSetMessage;

namespace {

class RecordSet : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        Provision();
        ASSERT_TRUE(SharedConnection().IsOpen());
    }
    DbConnection& Db() { return SharedConnection(); }

    // Appends one goods row the way the program does, field by field.
    bool AppendGoods(const QString& name, double quantity, const QVariant& date = QVariant()) {
        DbRecordSet rs;
        return rs.Open("buy", Db()) && rs.AddNew() && rs.SetFieldByName("名称", name) &&
               rs.SetFieldByName("进货数量", quantity) && rs.SetFieldByName("入库日期", date) &&
               rs.Update();
    }
};

TEST_F(RecordSet, FreshDatabaseHoldsTheOneSuperAdministrator) {
    DbRecordSet rs;
    ASSERT_TRUE(rs.Open("select * from UserName", Db(), true));
    ASSERT_EQ(rs.GetRecordCount(), 1);
    EXPECT_EQ(FieldText(rs, "ID"), "1");
    EXPECT_EQ(FieldText(rs, "用户名"), "超级管理员");
    EXPECT_TRUE(PasswordMatches(FieldText(rs, "密码"), "642"));
    EXPECT_EQ(FieldText(rs, "权限"), "超级管理员");
    for (const char* table : {"buy", "sell", "other", "bank"}) {
        ASSERT_TRUE(rs.Open(table, Db()));
        EXPECT_EQ(rs.GetRecordCount(), 0) << table;
    }
}

TEST_F(RecordSet, AppendStoresFieldsAndReadsThemBack) {
    ASSERT_TRUE(AppendGoods("A4纸", 2.5, QDate(2012, 6, 3)));
    DbRecordSet rs;
    ASSERT_TRUE(rs.Open("select * from buy", Db(), true));
    ASSERT_EQ(rs.GetRecordCount(), 1);
    EXPECT_EQ(rs.GetFieldByName("进货数量").toDouble(), 2.5);
    EXPECT_EQ(rs.GetFieldByName("销售数量").toDouble(), 0.0);  // column default
    EXPECT_EQ(FieldDate(rs, "入库日期"), QDateTime(QDate(2012, 6, 3), QTime(0, 0)));
    EXPECT_TRUE(rs.IsFieldEmpty(std::nullopt, "型号"));
    EXPECT_EQ(FieldText(rs, "型号"), "");
    EXPECT_EQ(FieldNumber(rs, "型号"), 0);
}

TEST_F(RecordSet, FieldWritesAreCheckedAgainstTheirColumn) {
    DbRecordSet rs;
    ASSERT_TRUE(rs.Open("buy", Db()));
    ASSERT_TRUE(rs.AddNew());
    EXPECT_TRUE(rs.SetFieldByName("名称", QString(50, u'名')));
    EXPECT_FALSE(rs.SetFieldByName("名称", QString(51, u'名')));
    EXPECT_FALSE(rs.GetLastError().isEmpty());
    EXPECT_FALSE(rs.SetFieldByName("进货数量", "abc"));
    EXPECT_FALSE(rs.SetFieldByName("进货数量", ""));
    EXPECT_TRUE(rs.SetFieldByName("进货数量", "3.5"));
    EXPECT_FALSE(rs.SetFieldByName("入库日期", "2012-2-30"));
    EXPECT_FALSE(rs.SetFieldByName("ID", 7));
    EXPECT_TRUE(rs.SetFieldByName("备注", QString(300, u'x')));  // memo has no limit
    ASSERT_TRUE(rs.Update());
    DbRecordSet check;
    ASSERT_TRUE(check.Open("buy", Db()));
    EXPECT_EQ(check.GetRecordCount(), 1);
    EXPECT_EQ(FieldNumber(check, "进货数量"), 3.5);
}

TEST_F(RecordSet, FieldOperationsReportTheWrappersOwnMessages) {
    DbRecordSet rs;
    EXPECT_FALSE(rs.GetFieldByName("名称").isValid());
    EXPECT_EQ(rs.GetLastError(), kNoRecord);
    ASSERT_TRUE(rs.Open("buy", Db()));
    EXPECT_FALSE(rs.GetFieldByName("").isValid());
    EXPECT_EQ(rs.GetLastError(), kEmptyFieldName);
    EXPECT_FALSE(rs.GetFieldByName("不存在").isValid());
    EXPECT_EQ(rs.GetLastError(), kNoField);
    EXPECT_FALSE(rs.GetFieldByIndex(-1).isValid());
    EXPECT_EQ(rs.GetLastError(), kRecordIndex);
    EXPECT_FALSE(rs.SetFieldByName("", 1));
    EXPECT_EQ(rs.GetLastError(), kEmptyFieldName);
    EXPECT_FALSE(rs.Move(1, 3));
    EXPECT_EQ(rs.GetLastError(), kMoveStart);
    EXPECT_FALSE(rs.Delete(5));
    EXPECT_EQ(rs.GetLastError(), kDeleteOption);
    EXPECT_FALSE(rs.SetPageSize(-1));
    EXPECT_EQ(rs.GetLastError(), kPageSize);
    EXPECT_EQ(rs.GetFieldName(-1), "");
    EXPECT_EQ(rs.GetLastError(), kFieldIndex);
    EXPECT_EQ(rs.GetFieldType(std::nullopt), 0);
    EXPECT_EQ(rs.GetLastError(), kNoFieldGiven);
    EXPECT_FALSE(rs.OpenSorted(Db(), "buy", ""));
    EXPECT_EQ(rs.GetLastError(), kNoSortTable);
    EXPECT_FALSE(rs.OpenFiltered(Db(), "", "ID=1"));
    EXPECT_EQ(rs.GetLastError(), kNoFilterTable);
}

TEST_F(RecordSet, ChangesRunInOpenAndLeaveTheRecordSetClosed) {
    ASSERT_TRUE(AppendGoods("纸", 1));
    DbRecordSet rs;
    EXPECT_TRUE(rs.Open("update buy set 进货数量=? where ID=?", Db(), true, {4.0, 1}));
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_EQ(rs.GetRecordCount(), 0);
    ASSERT_TRUE(rs.Open("select 进货数量 from buy", Db(), true));
    EXPECT_EQ(FieldNumber(rs, "进货数量"), 4);
    EXPECT_FALSE(rs.Open("update nosuch set x=1", Db(), true));
    EXPECT_FALSE(rs.GetLastError().isEmpty());
    // Two statements in one text are refused rather than half run.
    EXPECT_FALSE(rs.Open("delete from buy; delete from UserName", Db(), true));
    ASSERT_TRUE(rs.Open("UserName", Db()));
    EXPECT_EQ(rs.GetRecordCount(), 1);
}

TEST_F(RecordSet, BoundValuesKeepQuotesWhileLikeWildcardsStillWork) {
    ASSERT_TRUE(AppendGoods("O'Brien's 纸", 1));
    ASSERT_TRUE(AppendGoods("100%棉", 1));
    ASSERT_TRUE(AppendGoods("1000棉", 1));
    DbRecordSet rs;
    ASSERT_TRUE(rs.Open("select * from buy where 名称=?", Db(), true, {"O'Brien's 纸"}));
    EXPECT_EQ(rs.GetRecordCount(), 1);
    ASSERT_TRUE(rs.Open("select * from buy where 名称 like ?", Db(), true, {"%'%"}));
    EXPECT_EQ(rs.GetRecordCount(), 1);
    ASSERT_TRUE(rs.Open("select * from buy where 名称 like ?", Db(), true, {"%0%"}));
    EXPECT_EQ(rs.GetRecordCount(), 2);
    ASSERT_TRUE(rs.Open("select * from buy where 名称 like ?", Db(), true, {"100_棉"}));
    EXPECT_EQ(rs.GetRecordCount(), 2);
    ASSERT_TRUE(rs.Open("select * from buy where 名称 like ?", Db(), true, {"1000%"}));
    EXPECT_EQ(rs.GetRecordCount(), 1);
    ASSERT_TRUE(rs.Open("select * from buy where 名称 like ?", Db(), true, {"%o'b%"}));
    EXPECT_EQ(rs.GetRecordCount(), 1);  // text compares without regard to ASCII case
}

TEST_F(RecordSet, MovesFindAndPagesOverAStaticCursor) {
    for (int i = 1; i <= 5; ++i) ASSERT_TRUE(AppendGoods(QString("g%1").arg(i), i));
    DbRecordSet rs;
    ASSERT_TRUE(rs.Open("buy", Db()));
    EXPECT_EQ(rs.GetRecordCount(), 5);
    EXPECT_TRUE(rs.MoveLast());
    EXPECT_EQ(FieldText(rs, "名称"), "g5");
    EXPECT_TRUE(rs.MoveNext());
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_FALSE(rs.GetFieldByName("名称").isValid());  // past the last row: the driver's error
    EXPECT_FALSE(rs.GetLastError().isEmpty());
    EXPECT_FALSE(rs.MoveNext());
    EXPECT_TRUE(rs.Move(1, 1));
    EXPECT_EQ(FieldText(rs, "名称"), "g2");
    EXPECT_TRUE(rs.Move(-1, 2));
    EXPECT_EQ(FieldText(rs, "名称"), "g4");

    EXPECT_TRUE(rs.MoveFirst());
    EXPECT_TRUE(rs.Find("名称='G3'"));
    EXPECT_EQ(FieldText(rs, "ID"), "3");
    EXPECT_TRUE(rs.Find("进货数量>=4"));
    EXPECT_EQ(FieldText(rs, "名称"), "g4");
    EXPECT_TRUE(rs.FindNext());
    EXPECT_EQ(FieldText(rs, "名称"), "g5");
    EXPECT_TRUE(rs.FindNext());
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_TRUE(rs.MoveLast());
    EXPECT_TRUE(rs.Find("名称 like 'g%'", true));
    EXPECT_EQ(FieldText(rs, "名称"), "g5");
    EXPECT_TRUE(rs.Find("名称='nobody'"));  // no match is no error
    EXPECT_FALSE(rs.GetFieldByName("名称").isValid());
    EXPECT_FALSE(rs.Find("名称 ~ 3"));
    EXPECT_FALSE(rs.FindNext());

    EXPECT_TRUE(rs.SetPageSize(2));
    EXPECT_EQ(rs.GetPageCount(), 3);
    EXPECT_TRUE(rs.SetAbsolutePage(3));
    EXPECT_EQ(FieldText(rs, "名称"), "g5");
    EXPECT_EQ(rs.GetAbsolutePage(), 3);
    EXPECT_FALSE(rs.SetAbsolutePage(4));
}

TEST_F(RecordSet, FindTakesAQuotedNameAsTyped) {
    DbRecordSet rs;
    ASSERT_TRUE(rs.Open("UserName", Db()));
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldByName("用户名", "O'Neil"));
    ASSERT_TRUE(rs.Update());
    ASSERT_TRUE(rs.Open("UserName", Db()));
    rs.MoveFirst();
    ASSERT_TRUE(rs.Find("用户名='O'Neil'"));
    EXPECT_EQ(FieldText(rs, "用户名"), "O'Neil");
}

TEST_F(RecordSet, EditsDeletesSortsAndFilters) {
    for (int i = 1; i <= 4; ++i) ASSERT_TRUE(AppendGoods(QString("g%1").arg(i), 5 - i));
    DbRecordSet rs;
    ASSERT_TRUE(rs.OpenSorted(Db(), "buy", "进货数量 asc"));
    EXPECT_EQ(FieldText(rs, "名称"), "g4");
    ASSERT_TRUE(rs.SetFieldByName("型号", "T60"));
    EXPECT_EQ(rs.GetEditMode(), static_cast<int>(EditMode::InProgress));
    ASSERT_TRUE(rs.Update());
    ASSERT_TRUE(rs.Delete(0));
    EXPECT_EQ(rs.GetRecordCount(), 3);
    EXPECT_FALSE(rs.OpenSorted(Db(), "buy", "名称; drop table buy"));

    ASSERT_TRUE(rs.OpenFiltered(Db(), "buy", "名称='g2'"));
    EXPECT_EQ(rs.GetRecordCount(), 1);
    ASSERT_TRUE(rs.Open("buy", Db()));
    ASSERT_TRUE(rs.SetFilter("进货数量>2"));
    EXPECT_EQ(rs.GetRecordCount(), 2);
    ASSERT_TRUE(rs.SetFilter(""));
    EXPECT_EQ(rs.GetRecordCount(), 3);

    ASSERT_TRUE(rs.Open("select ID, 型号 from buy where ID=4", Db(), true));
    EXPECT_EQ(rs.GetRecordCount(), 0);  // g4 was deleted
    ASSERT_TRUE(rs.Open("select count(*) as n from buy", Db(), true));
    EXPECT_FALSE(rs.AddNew());  // a computed result is not a table's rows
}

TEST_F(RecordSet, FieldMetadataFollowsTheColumns) {
    DbRecordSet rs;
    ASSERT_TRUE(rs.Open("sell", Db()));
    EXPECT_EQ(rs.GetFieldCount(), 26);
    EXPECT_EQ(rs.GetFieldName(19), "UID");
    EXPECT_EQ(rs.GetFieldName(20), "客户ID");
    EXPECT_EQ(rs.GetFieldName(25), "原欠款额");
    EXPECT_EQ(rs.GetFieldType(std::nullopt, "名称"), static_cast<int>(FieldType::Text));
    EXPECT_EQ(rs.GetFieldDefinedSize(std::nullopt, "名称"), 50);
    EXPECT_EQ(rs.GetFieldType(std::nullopt, "销售日期"), static_cast<int>(FieldType::Date));
    EXPECT_EQ(rs.GetFieldType(0), static_cast<int>(FieldType::Integer));
    EXPECT_EQ(rs.GetFieldType(std::nullopt, "欠款额"), static_cast<int>(FieldType::Double));
}

TEST_F(RecordSet, JetDateFunctionsWorkOnStoredDates) {
    ASSERT_TRUE(AppendGoods("a", 1, QDate(2011, 12, 31)));
    ASSERT_TRUE(AppendGoods("b", 1, QDateTime(QDate(2012, 1, 1), QTime(10, 0))));
    DbRecordSet rs;
    ASSERT_TRUE(
        rs.Open("select datediff('m', 入库日期, now()) as m, Year(入库日期) as y, "
                "Month(入库日期) as mo, day(入库日期) as d from buy order by ID",
                Db(), true));
    // The fixture's clock stands at 2012-06-15 09:03:07.
    EXPECT_EQ(FieldNumber(rs, "m"), 6);
    EXPECT_EQ(FieldNumber(rs, "y"), 2011);
    EXPECT_EQ(FieldNumber(rs, "mo"), 12);
    EXPECT_EQ(FieldNumber(rs, "d"), 31);
    rs.MoveNext();
    EXPECT_EQ(FieldNumber(rs, "m"), 5);
    ASSERT_TRUE(
        rs.Open("select datediff('m', '2011-12-31', '2012-01-01') as a, "
                "datediff('yyyy', '2011-12-31', '2012-01-01') as b, "
                "datediff('d', '2012-03-01', '2012-02-28') as c, "
                "DateSerial(2012, 13, 0) as e, date() as f",
                Db(), true));
    EXPECT_EQ(FieldNumber(rs, "a"), 1);
    EXPECT_EQ(FieldNumber(rs, "b"), 1);
    EXPECT_EQ(FieldNumber(rs, "c"), -2);
    EXPECT_EQ(FieldText(rs, "e"), "2012-12-31");
    EXPECT_EQ(FieldText(rs, "f"), "2012-06-15");
    ASSERT_TRUE(rs.Open("select * from buy where 入库日期>=? and 入库日期<=?", Db(), true,
                        {QDate(2011, 12, 31), QDate(2011, 12, 31)}));
    EXPECT_EQ(rs.GetRecordCount(), 1);
}

TEST_F(RecordSet, NowFollowsTheRealClockWhenNoneIsFixed) {
    SetNowForTest(QDateTime());
    DbRecordSet rs;
    ASSERT_TRUE(
        rs.Open("select now() as n, date() as d, datediff('s', now(), now()) as z", Db(), true));
    const QDateTime now = ParseDateText(FieldText(rs, "n"));
    EXPECT_LE(std::abs(now.secsTo(QDateTime::currentDateTime())), 2);
    EXPECT_EQ(FieldText(rs, "d"), StoredDateText(now.date()));
    EXPECT_EQ(FieldNumber(rs, "z"), 0);
}

TEST_F(RecordSet, ATransactionRollsBackUnlessCommitted) {
    {
        DbTransaction transaction(Db());
        ASSERT_TRUE(transaction.IsActive());
        ASSERT_TRUE(AppendGoods("lost", 1));
    }
    {
        DbTransaction transaction(Db());
        ASSERT_TRUE(AppendGoods("kept", 1));
        ASSERT_TRUE(transaction.Commit());
    }
    DbRecordSet rs;
    ASSERT_TRUE(rs.Open("buy", Db()));
    ASSERT_EQ(rs.GetRecordCount(), 1);
    EXPECT_EQ(FieldText(rs, "名称"), "kept");
}

TEST_F(RecordSet, CommitsAreDurable) {
    DbRecordSet rs;
    ASSERT_TRUE(rs.Open("PRAGMA journal_mode", Db(), true));
    EXPECT_EQ(VariantText(rs.GetFieldByIndex(0)), "delete");
    ASSERT_TRUE(rs.Open("PRAGMA synchronous", Db(), true));
    EXPECT_EQ(VariantNumber(rs.GetFieldByIndex(0)), 2);  // FULL
}

TEST_F(RecordSet, TheSchemaRejectsWhatTheFieldChecksWouldCatch) {
    // Direct statements meet the same limits as field writes.
    EXPECT_FALSE(Db().Execute("insert into buy (名称) values (?)", {QString(51, u'x')}));
    EXPECT_FALSE(Db().Execute("insert into buy (进货数量) values ('abc')"));
    EXPECT_FALSE(Db().Execute("insert into buy (入库日期) values ('2012-6-3')"));
    EXPECT_TRUE(Db().Execute("insert into buy (入库日期) values (?)", {QDate(2012, 6, 3)}));
}

}  // namespace
