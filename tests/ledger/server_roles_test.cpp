#include "store/server_roles.h"

#include <libpq-fe.h>

#include "common/session.h"
#include "ledger/customers.h"
#include "ledger/goods.h"
#include "ledger/other.h"
#include "ledger/sales.h"
#include "ledger/shift.h"
#include "ledger/stocktake.h"
#include "ledger/till_copy.h"
#include "ledger/users.h"
#include "ledger_fixture.h"
#include "store/migrate.h"
#include "store/server_session.h"
#include "store/statement.h"

namespace {

// Each program user logs in to the server as its own role; the server, not the program, keeps
// an ordinary user away from the costs, the password hashes and the deletes.
class ServerRoles : public LedgerFixture {
  protected:
    void SetUp() override {
        store_ = StoreKind::Server;
        LedgerFixture::SetUp();
        // The tills' connection string: host and database, no login of the owner's.
        tills_ = server_;
        tills_.replace(QStringLiteral("user=lk "), QString());
        database_ = ConnectionDatabase(server_);
    }
    void TearDown() override { ClearServerLogin(); }

    QString Role(const QString& user) const { return ServerRoleName(database_, user); }
    // A login of the user's role straight through libpq, as a clerk with psql would make it.
    PGconn* LogIn(const QString& role, const QString& password) const {
        const QByteArray info =
            (tills_ + QStringLiteral(" user='%1' password='%2'").arg(role, password)).toUtf8();
        return PQconnectdb(info.constData());
    }
    static QByteArray State(PGconn* conn, const char* sql) {
        PGresult* result = PQexec(conn, sql);
        const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
        const QByteArray text = state ? QByteArray(state) : QByteArray("ok");
        PQclear(result);
        return text;
    }

    QString tills_;
    QString database_;
};

SaleInput Sale(qint64 goods, double quantity) {
    SaleInput sale;
    sale.goodsId = QString::number(goods);
    sale.名称 = QStringLiteral("圆珠笔");
    sale.销售单价 = 12.5;
    sale.销售数量 = quantity;
    sale.销售金额 = 12.5 * quantity;
    sale.销售日期 = QDate(2026, 12, 11);
    return sale;
}

TEST_F(ServerRoles, AClerksOwnLoginIsRefusedCostsHashesAndDeletesYetSellsThroughTheLedger) {
    const qint64 goods = AddGoods(100);
    ASSERT_EQ(ledger::AddUser(till1_, {QStringLiteral("小王"), QStringLiteral("pw1"),
                                       QStringLiteral("普通管理员")})
                  .result,
              ledger::UserResult::Done);

    PGconn* wrong = LogIn(Role(QStringLiteral("小王")), QStringLiteral("pw2"));
    EXPECT_NE(PQstatus(wrong), CONNECTION_OK);
    PQfinish(wrong);
    PGconn* clerk = LogIn(Role(QStringLiteral("小王")), QStringLiteral("pw1"));
    ASSERT_EQ(PQstatus(clerk), CONNECTION_OK) << PQerrorMessage(clerk);
    const char* refused[] = {
        "SELECT 进货单价 FROM buy",
        "SELECT 净利润 FROM sell",
        "SELECT 进货金额 FROM buy_totals",
        "SELECT 密码 FROM UserName",
        "DELETE FROM sell",
        "DELETE FROM buy",
        "DELETE FROM other",
        "UPDATE buy SET 存货数量 = 1000",
        "UPDATE sell SET 销售金额 = 0",
        "INSERT INTO sell (uid, 销售数量, 净利润) VALUES (1, 1, 1000)",
        "SELECT lk_set_login('小王', NULL, true)",
        "INSERT INTO change_log (tbl, row_id) VALUES ('buy', 1)",
    };
    for (const char* sql : refused) EXPECT_EQ(State(clerk, sql), "42501") << sql;
    EXPECT_EQ(State(clerk, "SELECT 名称, 存货数量 FROM buy"), "ok");
    // The bypass of the change log counts for the owner alone: the other tills see this entry.
    EXPECT_EQ(State(clerk, "BEGIN"), "ok");
    EXPECT_EQ(State(clerk, "SET LOCAL lk.copy = 'on'"), "ok");
    EXPECT_EQ(State(clerk, "INSERT INTO other (类型, 金额) VALUES ('收入', 5)"), "ok");
    EXPECT_EQ(State(clerk, "COMMIT"), "ok");
    EXPECT_EQ(Scalar(QStringLiteral("SELECT count(*) FROM change_log WHERE tbl = 'other'")), 1);
    PQfinish(clerk);

    // Before a login: the names of the users, nothing else.
    PGconn* guest = LogIn(QString::fromLatin1(kGuestRole), QString::fromLatin1(kGuestPassword));
    ASSERT_EQ(PQstatus(guest), CONNECTION_OK) << PQerrorMessage(guest);
    EXPECT_EQ(State(guest, "SELECT 用户名, 权限 FROM UserName"), "ok");
    EXPECT_EQ(State(guest, "SELECT 名称 FROM buy"), "42501");
    PQfinish(guest);

    // The program as that user: its sale and restock move the costs on the server.
    DbConnection guestTill;
    ASSERT_TRUE(guestTill.OpenServer(tills_)) << guestTill.GetErrorDescription().toStdString();
    ledger::UserAccount account;
    QString error;
    EXPECT_EQ(ledger::CheckPassword(guestTill, QStringLiteral("小王"), QStringLiteral("pw2"),
                                    &account, &error),
              ledger::PasswordCheck::Wrong);
    ASSERT_EQ(ledger::CheckPassword(guestTill, QStringLiteral("小王"), QStringLiteral("pw1"),
                                    &account, &error),
              ledger::PasswordCheck::Right)
        << error.toStdString();
    ASSERT_TRUE(
        ledger::SignIn(guestTill, tills_, QStringLiteral("小王"), QStringLiteral("pw1"), &error))
        << error.toStdString();
    EXPECT_FALSE(guestTill.Server()->SeesCosts());
    const LedgerResult sold = ledger::RecordSale(guestTill, Sale(goods, 3));
    ASSERT_EQ(sold.outcome, LedgerResult::Done) << sold.error.toStdString();
    EXPECT_EQ(ledger::RecordSale(guestTill, Sale(goods, 1000)).outcome,
              LedgerResult::NotEnoughStock);
    const LedgerResult restocked = ledger::Restock(guestTill, goods, 10);
    ASSERT_EQ(restocked.outcome, LedgerResult::Done) << restocked.error.toStdString();
    // The purchase price shown after the super administrator's password, read through that
    // account's login (which its first login at the owner's till gave it).
    ASSERT_EQ(ledger::CheckPassword(till1_, kSuperAdmin, QStringLiteral("642"), &account, &error),
              ledger::PasswordCheck::Right);
    double price = 0;
    EXPECT_FALSE(
        ledger::ReadPurchasePrice(guestTill, goods, QStringLiteral("643"), &price, &error));
    ASSERT_TRUE(ledger::ReadPurchasePrice(guestTill, goods, QStringLiteral("642"), &price, &error))
        << error.toStdString();
    EXPECT_EQ(price, 8);

    // What else an ordinary user does at the counter: a sale on credit, the customer's payment,
    // an expense, the handover of its shift.
    const LedgerResult shift =
        ledger::StartShift(guestTill, QStringLiteral("一号"), QStringLiteral("小王"), 100);
    ASSERT_TRUE(shift.IsDone()) << shift.error.toStdString();
    SaleInput credit = Sale(goods, 2);
    credit.欠款额 = 10;
    credit.客户名称 = QStringLiteral("张三");
    const LedgerResult owed = ledger::RecordSale(guestTill, credit);
    ASSERT_TRUE(owed.IsDone()) << owed.error.toStdString();
    ledger::PaymentInput payment;
    payment.customerId = Value("sell", "客户ID", owed.saleId).toLongLong();
    payment.日期 = QDateTime(QDate(2026, 12, 11), QTime(10, 0));
    payment.金额 = 4;
    payment.方式 = QStringLiteral("现金");
    const LedgerResult paid = ledger::RecordPayment(guestTill, payment);
    EXPECT_TRUE(paid.IsDone()) << paid.error.toStdString();
    EXPECT_EQ(Number("sell", "欠款额", owed.saleId), 6);
    ledger::OtherEntry expense;
    expense.类型 = QStringLiteral("支出");
    expense.项目 = QStringLiteral("运费");
    expense.数量 = QStringLiteral("1");
    expense.金额 = 3;
    expense.日期 = QDate(2026, 12, 11);
    const LedgerResult entered = ledger::RecordOtherEntry(guestTill, expense);
    EXPECT_TRUE(entered.IsDone()) << int(entered.outcome) << entered.error.toStdString();
    ledger::Shift handedOver;
    const LedgerResult handover = ledger::HandOverShift(guestTill, shift.id, 100, &handedOver);
    EXPECT_TRUE(handover.IsDone()) << handover.error.toStdString();
    EXPECT_EQ(Number("sell", "进货单价", sold.saleId), 8);
    EXPECT_EQ(Number("sell", "净利润", sold.saleId), 37.5 - 24);
    EXPECT_EQ(Number("buy", "存货数量", goods), 105);
    EXPECT_EQ(Number("buy", "存货金额", goods), 105 * 8);
    EXPECT_EQ(Number("buy", "进货金额", goods), 110 * 8);
    ExpectGoodsInvariants(till1_);

    // A count of a stocktake: its amounts at purchase price are the server's to write; booking
    // it is the super administrators'.
    const LedgerResult started = ledger::StartStocktake(guestTill, ledger::StocktakeScope::AllGoods,
                                                        {}, QStringLiteral("小王"));
    ASSERT_TRUE(started.IsDone()) << started.error.toStdString();
    for (double counted : {100.0, 110.0}) {
        const LedgerResult count =
            ledger::SetCount(guestTill, started.id, goods, counted, QStringLiteral("小王"));
        ASSERT_TRUE(count.IsDone()) << count.error.toStdString();
    }
    EXPECT_EQ(Number("stocktake", "盘盈金额", started.id), 5 * 8);
    EXPECT_EQ(Number("stocktake", "盘亏金额", started.id), 0);
    EXPECT_EQ(Scalar(QStringLiteral("SELECT 盈亏金额 FROM stocktake_line")), 5 * 8);
    EXPECT_FALSE(ledger::BookStocktake(guestTill, started.id, QStringLiteral("小王")).IsDone());

    // The till's copy under that login: no costs, the user's own password for a login while the
    // server is away, and an oversold sale booked on the server when it is back.
    DbConnection copy;
    ASSERT_TRUE(ledger::OpenTillCopy(copy, dir_.filePath(QStringLiteral("till.db")), &error));
    ASSERT_TRUE(ledger::RefreshTillCopy(guestTill, copy, &error)) << error.toStdString();
    EXPECT_EQ(ledger::CheckPassword(copy, QStringLiteral("小王"), QStringLiteral("pw1"), &account,
                                    &error),
              ledger::PasswordCheck::Right);
    Statement cost(copy, QStringLiteral("SELECT 进货单价 FROM buy"));
    ASSERT_TRUE(cost.Next());
    EXPECT_EQ(cost.Double(0), 0);
    // Another till sold the goods meanwhile, as the copy did not hear.
    ASSERT_TRUE(copy.Execute(QStringLiteral("UPDATE buy SET 存货数量 = 1000")));
    copy.SetSalesOnly(true);
    SaleInput offline = Sale(goods, 110);
    offline.tillSaleId = ledger::NewTillSaleId();
    ASSERT_TRUE(ledger::RecordSale(copy, offline).IsDone());
    ledger::SentSales sent;
    ASSERT_TRUE(ledger::SendWaitingSales(copy, guestTill, &sent, &error)) << error.toStdString();
    EXPECT_EQ(sent.sent, 1);
    EXPECT_EQ(sent.oversold, 1);
    EXPECT_EQ(Number("buy", "存货数量", goods), -5);
    EXPECT_EQ(Number("buy", "存货金额", goods), -5 * 8);
    ExpectGoodsInvariants(till1_);

    // The login follows the account: renamed, given the super administrator's role, deleted.
    QList<ledger::UserAccount> accounts;
    ASSERT_TRUE(ledger::ReadUserAccounts(till1_, &accounts, &error));
    ASSERT_EQ(accounts.size(), 1);
    ASSERT_EQ(ledger::ChangeUser(till1_, accounts[0].id,
                                 {QStringLiteral("老王"), QString(), QStringLiteral("超级管理员")}),
              ledger::UserResult::Done);
    PGconn* renamed = LogIn(Role(QStringLiteral("老王")), QStringLiteral("pw1"));
    ASSERT_EQ(PQstatus(renamed), CONNECTION_OK) << PQerrorMessage(renamed);
    EXPECT_EQ(State(renamed, "SELECT 进货单价 FROM buy"), "ok");
    PQfinish(renamed);
    ASSERT_EQ(ledger::DeleteUser(till1_, accounts[0].id), ledger::UserResult::Done);
    PGconn* deleted = LogIn(Role(QStringLiteral("老王")), QStringLiteral("pw1"));
    EXPECT_NE(PQstatus(deleted), CONNECTION_OK);
    PQfinish(deleted);

    // Books replaced whole take the logins of the users they no longer hold with them.
    ASSERT_EQ(ledger::AddUser(till1_, {QStringLiteral("小李"), QStringLiteral("pw3"),
                                       QStringLiteral("普通管理员")})
                  .result,
              ledger::UserResult::Done);
    const QString empty = dir_.filePath(QStringLiteral("empty.db"));
    ASSERT_TRUE(CreateDatabaseFile(empty, &error)) << error.toStdString();
    DbConnection file;
    ASSERT_TRUE(file.OpenFile(empty));
    ASSERT_TRUE(ReplaceServerBooks(till1_, file, &error)) << error.toStdString();
    PGconn* gone = LogIn(Role(QStringLiteral("小李")), QStringLiteral("pw3"));
    EXPECT_NE(PQstatus(gone), CONNECTION_OK);
    PQfinish(gone);
    PGconn* kept = LogIn(Role(kSuperAdmin), QStringLiteral("642"));
    EXPECT_EQ(PQstatus(kept), CONNECTION_OK) << PQerrorMessage(kept);
    PQfinish(kept);
}

}  // namespace
