#include "ledger/customers.h"

#include <sqlite3.h>

#include <QDate>
#include <algorithm>
#include <cmath>
#include <functional>

#include "ledger/sales.h"
#include "ledger_fixture.h"
#include "store/db_files.h"
#include "store/schema.h"
#include "store/schema_upgrade.h"

namespace {

class CustomerBooks : public LedgerFixture {
  protected:
    // A sale of one pen on day of March 2024 leaving debt owed.
    qint64 SellTo(const QString& name, double debt, int day = 1, const QString& phone = {}) {
        if (goods_ == 0) goods_ = AddGoods(1000);
        SaleInput sale;
        sale.goodsId = QString::number(goods_);
        sale.名称 = QStringLiteral("圆珠笔");
        sale.销售单价 = 100;
        sale.销售数量 = 1;
        sale.销售金额 = 100;
        sale.欠款额 = debt;
        sale.销售日期 = QDate(2024, 3, day);
        sale.客户名称 = name;
        sale.联系方式 = phone;
        const LedgerResult r = ledger::RecordSale(till1_, sale);
        EXPECT_TRUE(r.IsDone()) << r.error.toStdString();
        return r.saleId;
    }
    qint64 CustomerOf(qint64 saleId) {
        return static_cast<qint64>(
            Number(QStringLiteral("sell"), QStringLiteral("客户ID"), saleId));
    }
    double Debt(qint64 saleId) {
        return Number(QStringLiteral("sell"), QStringLiteral("欠款额"), saleId);
    }
    LedgerResult Pay(qint64 customerId, double amount, DbConnection* till = nullptr) {
        ledger::PaymentInput p;
        p.customerId = customerId;
        p.日期 = QDateTime(QDate(2024, 4, 1), QTime(10, 30));
        p.金额 = amount;
        p.方式 = QStringLiteral("微信");
        return ledger::RecordPayment(till ? *till : till1_, p);
    }
    QList<ledger::CustomerDebt> Debts(const QString& filter = {}) {
        QList<ledger::CustomerDebt> debts;
        QString error;
        EXPECT_TRUE(ledger::ReadCustomerDebts(till1_, filter, &debts, &error))
            << error.toStdString();
        return debts;
    }
    qint64 goods_ = 0;
};

using Customers = OnBothStores<CustomerBooks>;
LK_ON_BOTH_STORES(Customers);

TEST_P(Customers, NamesThatContainOneAnotherAreSeparateCustomersAndPhonesSplitANamesake) {
    const qint64 a = SellTo(QStringLiteral("张三"), 10);
    const qint64 b = SellTo(QStringLiteral("张三丰"), 20);
    const qint64 c = SellTo(QStringLiteral("张三"), 5);
    SellTo(QStringLiteral("王五"), -3);  // a credit is not a debt
    EXPECT_EQ(CustomerOf(a), CustomerOf(c));
    EXPECT_NE(CustomerOf(a), CustomerOf(b));

    const auto debts = Debts(QStringLiteral("张三"));
    ASSERT_EQ(debts.size(), 2);
    EXPECT_EQ(debts[0].customer.名称, "张三");
    EXPECT_EQ(debts[0].debtFen, 1500);
    EXPECT_EQ(debts[0].sales, 2);
    EXPECT_EQ(debts[1].customer.名称, "张三丰");
    EXPECT_EQ(debts[1].debtFen, 2000);
    EXPECT_EQ(Debts().size(), 2);

    // The first phone given to a name is that customer's; another phone is another person,
    // and a sale without a phone then belongs to neither of them.
    const qint64 withPhone = SellTo(QStringLiteral("张三"), 0, 1, QStringLiteral("138"));
    const qint64 other = SellTo(QStringLiteral("张三"), 0, 1, QStringLiteral("139"));
    const qint64 unsure = SellTo(QStringLiteral("张三"), 0);
    EXPECT_EQ(CustomerOf(withPhone), CustomerOf(a));
    EXPECT_NE(CustomerOf(other), CustomerOf(a));
    EXPECT_NE(CustomerOf(unsure), CustomerOf(a));
    EXPECT_NE(CustomerOf(unsure), CustomerOf(other));
    EXPECT_EQ(CustomerOf(SellTo(QStringLiteral("  "), 4)), 0);

    // Correcting a sale's customer moves its debt to the customer named.
    SaleChange change;
    change.欠款额 = 20;
    change.客户名称 = QStringLiteral("张三");
    change.联系方式 = QStringLiteral("138");
    ASSERT_TRUE(ledger::ModifySale(till1_, b, change).IsDone());
    EXPECT_EQ(CustomerOf(b), CustomerOf(a));
    EXPECT_EQ(Debts().size(), 1);
}

TEST_P(Customers, APaymentSettlesTheOldestSalesFirstAndItsDeleteGivesBackExactlyThat) {
    const qint64 newest = SellTo(QStringLiteral("张三"), 50.1, 3);
    const qint64 oldest = SellTo(QStringLiteral("张三"), 30.2, 1);
    const qint64 middle = SellTo(QStringLiteral("张三"), 40.3, 2);
    const qint64 stranger = SellTo(QStringLiteral("张三丰"), 9, 1);
    const qint64 customer = CustomerOf(newest);

    const LedgerResult paid = Pay(customer, 100.6, &till2_);
    ASSERT_TRUE(paid.IsDone()) << paid.error.toStdString();
    EXPECT_EQ(Debt(oldest), 0);
    EXPECT_EQ(Debt(middle), 0);
    EXPECT_EQ(Debt(newest), 20);  // 50.1 − 30.1, not 20.000000000000004
    EXPECT_EQ(Debt(stranger), 9);
    EXPECT_EQ(Count(QStringLiteral("payment_part")), 3);

    QList<ledger::StatementLine> lines;
    QString error;
    ASSERT_TRUE(ledger::ReadStatement(till1_, customer, &lines, &error));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0].id, oldest);
    EXPECT_EQ(lines[0].debtFen, 3020);  // the debt the sale was made with
    EXPECT_EQ(lines[2].balanceFen, 12060);
    EXPECT_TRUE(lines[3].isPayment);
    EXPECT_EQ(lines[3].item, "收款（微信）");
    EXPECT_EQ(lines[3].balanceFen, 2000);

    // A correction made after the payment stays when the payment is deleted.
    SaleChange change;
    change.欠款额 = 25;
    change.客户名称 = QStringLiteral("张三");
    ASSERT_TRUE(ledger::ModifySale(till2_, newest, change).IsDone());
    ASSERT_TRUE(ledger::DeletePayment(till1_, paid.id).IsDone());
    EXPECT_EQ(Debt(oldest), 30.2);
    EXPECT_EQ(Debt(middle), 40.3);
    EXPECT_EQ(Debt(newest), 55.1);
    EXPECT_EQ(Count(QStringLiteral("payment")), 0);
    EXPECT_EQ(Count(QStringLiteral("payment_part")), 0);
    EXPECT_EQ(ledger::DeletePayment(till1_, paid.id).outcome, LedgerResult::RecordGone);
}

// Whatever becomes of a sale a payment settled, the statement's balance, the debt list and
// the debt the payment window is given stay one figure, and so after the payment's delete.
TEST_P(Customers, ASettledSaleDeletedOrCorrectedLeavesStatementAndDebtListAgreeing) {
    struct Case {
        const char* what;
        std::function<LedgerResult(qint64 first, qint64 second)> change;
        double owed;        // by 张三 afterwards
        double lastDebt;    // of his newest sale
        double owedUnpaid;  // once the payment is deleted
    };
    auto modify = [this](qint64 sale, const char* name, double debt) {
        SaleChange change;
        change.欠款额 = debt;
        change.客户名称 = QString::fromUtf8(name);
        return ledger::ModifySale(till1_, sale, change);
    };
    const QList<Case> cases = {
        {"the part of a sale deleted settles the next sale",
         [this](qint64, qint64 second) { return ledger::DeleteSale(till1_, second); }, 4, 4, 16},
        {"what no sale owes stays credit",
         [this](qint64 first, qint64) { return ledger::DeleteSale(till1_, first); }, -2, 0, 10},
        {"a sale moved to another customer",
         [&](qint64 first, qint64) { return modify(first, "李四", 0); }, -2, 0, 10},
        {"a debt below 0", [&](qint64 first, qint64) { return modify(first, "张三", -3); }, 5, 5,
         17},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(till1_.Execute("DELETE FROM sell") && till1_.Execute("DELETE FROM payment") &&
                    till1_.Execute("DELETE FROM payment_part"));
        const qint64 first = SellTo(QStringLiteral("张三"), 10, 1);
        const qint64 second = SellTo(QStringLiteral("张三"), 4, 2);
        const qint64 last = SellTo(QStringLiteral("张三"), 6, 3);
        const qint64 customer = CustomerOf(first);
        const LedgerResult paid = Pay(customer, 12);  // settles the first, 2 of the second
        ASSERT_TRUE(paid.IsDone()) << paid.error.toStdString();
        const LedgerResult changed = c.change(first, second);
        ASSERT_TRUE(changed.IsDone()) << changed.error.toStdString();
        EXPECT_EQ(Debt(last), c.lastDebt);

        auto expectOwed = [&](double owed) {
            const qint64 expected = std::llround(owed * 100);
            QList<ledger::StatementLine> lines;
            qint64 open = 0;
            QString error;
            ASSERT_TRUE(ledger::ReadStatement(till1_, customer, &lines, &error) &&
                        ledger::ReadOpenDebt(till1_, customer, &open, &error))
                << error.toStdString();
            ASSERT_FALSE(lines.isEmpty());
            EXPECT_EQ(lines.last().balanceFen, expected);
            EXPECT_EQ(open, expected);
            qint64 listed = 0;
            for (const ledger::CustomerDebt& d : Debts())
                if (d.customer.id == customer) listed = d.debtFen;
            EXPECT_EQ(listed, std::max<qint64>(expected, 0));
        };
        expectOwed(c.owed);
        ASSERT_TRUE(ledger::DeletePayment(till1_, paid.id).IsDone());
        expectOwed(c.owedUnpaid);
    }
}

TEST_P(Customers, APaymentAboveTheOpenDebtOrOfNothingIsRefusedAndStoresNothing) {
    const qint64 a = SellTo(QStringLiteral("张三"), 70);
    SellTo(QStringLiteral("张三"), 50);
    const qint64 customer = CustomerOf(a);

    const LedgerResult over = Pay(customer, 120.01);
    EXPECT_EQ(over.outcome, LedgerResult::OverPayment);
    EXPECT_EQ(over.figure, 120);
    EXPECT_EQ(Pay(customer, 0).outcome, LedgerResult::NegativeAmount);
    EXPECT_EQ(Pay(customer, -5).outcome, LedgerResult::NegativeAmount);
    EXPECT_EQ(Pay(customer + 100, 5).outcome, LedgerResult::RecordGone);
    ledger::PaymentInput longRemark;
    longRemark.customerId = customer;
    longRemark.日期 = QDateTime(QDate(2024, 4, 1), QTime(0, 0));
    longRemark.金额 = 5;
    longRemark.备注 = QString(51, u'长');
    const LedgerResult refused = ledger::RecordPayment(till1_, longRemark);
    EXPECT_EQ(refused.outcome, LedgerResult::FieldRefused);
    EXPECT_EQ(refused.fieldCode, "[064]");
    EXPECT_EQ(Count(QStringLiteral("payment")), 0);
    EXPECT_EQ(Debt(a), 70);

    // Another till holding the ledger: the payment fails whole.
    ASSERT_TRUE(till2_.BeginTrans());
    till1_.SetConnectionTimeout(0);
    EXPECT_EQ(Pay(customer, 5).outcome, LedgerResult::StoreFailed);
    ASSERT_TRUE(till2_.RollbackTrans());
    EXPECT_EQ(Count(QStringLiteral("payment")), 0);

    // Exactly the open debt is taken, and settles everything.
    ASSERT_TRUE(Pay(customer, 120).IsDone());
    EXPECT_TRUE(Debts().isEmpty());
    EXPECT_EQ(Pay(customer, 1).outcome, LedgerResult::OverPayment);
}

// A data.db as the program wrote it before customer accounts: version 0, no customer tables,
// no customer column in sell.
class OldFile : public CustomerBooks {
  protected:
    void MakeOld(const QStringList& sales) {
        till1_.Close();
        till2_.Close();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(Path().toUtf8().constData(), &db), SQLITE_OK);
        QString sql = QStringLiteral(
            "DROP INDEX 客户欠款; DROP INDEX 客户销售; ALTER TABLE sell DROP COLUMN 客户ID;"
            "DROP TABLE customer; DROP TABLE payment; DROP TABLE payment_part;"
            "DROP TRIGGER sell_totals_added; DROP TRIGGER sell_totals_deleted;"
            "DROP TRIGGER sell_totals_changed; DROP TABLE sell_totals; DROP TABLE stocktake;"
            "DROP TABLE stocktake_line; DROP TABLE stocktake_code; DROP INDEX 商品编码;"
            "PRAGMA user_version=0;");
        for (const QString& values : sales)
            sql += QStringLiteral(
                       "INSERT INTO sell (名称, 销售日期, 欠款额, 客户名称, 联系方式, "
                       "客户地址) VALUES (%1);")
                       .arg(values);
        char* message = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message), SQLITE_OK)
            << message;
        sqlite3_free(message);
        sqlite3_close(db);
    }
};

TEST_F(OldFile, IsUpgradedAtOpeningWithItsSalesLinkedByNameAndPhone) {
    MakeOld({"'笔', '2024-03-01', 5, '张三', '138', '东街1号'",
             "'笔', '2024-03-02', 7, '张三', NULL, ''",
             "'笔', '2024-03-02', 9, '张三丰', '', '西街'",
             "'笔', '2024-03-03', 1, '李四', 'a', ''", "'笔', '2024-03-03', 2, '李四', 'b', ''",
             "'笔', '2024-03-03', 4, '李四', '', ''", "'笔', '2024-03-04', 8, '', '', ''"});
    QString error;
    // A backup of that age is a ledger this program can restore.
    EXPECT_TRUE(CheckLedgerFile(Path(), &error)) << error.toStdString();

    ASSERT_TRUE(till1_.OpenFile(Path())) << till1_.GetErrorDescription().toStdString();
    EXPECT_EQ(StoredSchemaVersion(till1_.GetHandle()), kSchemaVersion);
    EXPECT_EQ(Count(QStringLiteral("stocktake_line")), 0);  // there now, and empty
    EXPECT_EQ(Count(QStringLiteral("customer")), 5);
    EXPECT_EQ(CustomerOf(1), CustomerOf(2));  // 张三's one phone
    EXPECT_EQ(CustomerOf(7), 0);
    EXPECT_EQ(Value(QStringLiteral("customer"), QStringLiteral("地址"), CustomerOf(1)).toString(),
              "东街1号");
    const auto debts = Debts();
    ASSERT_EQ(debts.size(), 5);
    EXPECT_EQ(debts[0].customer.名称, "张三");
    EXPECT_EQ(debts[0].debtFen, 1200);
    EXPECT_EQ(debts[1].customer.名称, "张三丰");
    // The sales list's kept totals are counted from the sales found.
    EXPECT_EQ(Scalar("select rows from sell_totals"), 7);
    EXPECT_EQ(Scalar("select 欠款额 from sell_totals"), 3600);

    // Opening again changes nothing more.
    ASSERT_TRUE(till2_.OpenFile(Path()));
    EXPECT_EQ(Count(QStringLiteral("customer")), 5);
}

TEST_F(OldFile, ThatCannotBeUpgradedNowIsNotOpenedAndStaysAsItWas) {
    MakeOld({"'笔', '2024-03-01', 5, '张三', '', ''"});
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(Path().toUtf8().constData(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    till1_.SetConnectionTimeout(0);
    EXPECT_FALSE(till1_.OpenFile(Path()));
    EXPECT_TRUE(till1_.GetErrorDescription().startsWith("数据库升级失败"));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    EXPECT_EQ(StoredSchemaVersion(other), 0);
    sqlite3_close(other);

    // A file of a later version is not this program's to write.
    ASSERT_TRUE(till1_.OpenFile(Path()));
    ASSERT_TRUE(till1_.Execute(QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion + 1)));
    till1_.Close();
    EXPECT_FALSE(till2_.OpenFile(Path()));
}

}  // namespace
