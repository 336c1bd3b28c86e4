// The sales list read a window at a time against the same rows read whole: after every change
// of a random sequence, on both stores, in several orders and filters.
#include "lists/list_model.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <cmath>

#include "ledger/ledger_fixture.h"
#include "ledger/other.h"
#include "ledger/other_list.h"
#include "ledger/sales.h"
#include "ledger/sales_list.h"
#include "store/statement.h"

namespace {

using ledger::SalesFilter;

class SalesListModel : public OnBothStores<LedgerFixture> {
  protected:
    // count sales of goods goodsId in one statement, amounts in fen that no binary fraction
    // holds exactly, every third one owing.
    void AddSales(qint64 goodsId, int count) {
        ASSERT_TRUE(till1_.BeginTrans());
        for (int i = 0; i < count; ++i)
            ASSERT_TRUE(till1_.Execute(
                "insert into sell (名称, 型号, 编码, 类型, 销售单价, 销售数量, 销售金额, 销售日期, "
                "欠款额, 净利润, 客户名称, UID) values (?, 'B2', 'YZB', '文具', 0.1, ?, ?, ?, ?, "
                "0.03, ?, ?)",
                {i % 2 ? QStringLiteral("圆珠笔") : QStringLiteral("铅笔"), 1 + i % 3,
                 0.1 * (1 + i % 7), QStringLiteral("2026-12-%1").arg(1 + i % 28, 2, 10, QChar('0')),
                 i % 3 == 0 ? 0.7 : 0.0, i % 5 ? QStringLiteral("张三") : QStringLiteral("李四"),
                 goodsId}))
                << till1_.GetErrorDescription().toStdString();
        ASSERT_TRUE(till1_.CommitTrans());
    }

    // The list's rows read whole, in its order, as the model must show them.
    std::vector<CellRow> WholeList(const ledger::ListSpec& layout, const SalesFilter& filter,
                                   ledger::ListOrder order) {
        ledger::ListRead whole(till1_, layout);
        whole.SetCondition(ledger::SalesCondition(filter));
        whole.SetOrder(order);
        ledger::ListTotals totals;
        EXPECT_TRUE(whole.ReadTotals(&totals)) << whole.Error().toStdString();
        std::vector<CellRow> rows;
        EXPECT_TRUE(whole.ReadPage(0, 1 << 30, 0, &rows)) << whole.Error().toStdString();
        EXPECT_EQ(static_cast<qint64>(rows.size()), totals.count);
        return rows;
    }

    void ExpectSameAsWhole(ListModel& model, const SalesFilter& filter) {
        const std::vector<CellRow> whole = WholeList(model.Layout(), filter, model.Order());
        ASSERT_EQ(model.rowCount(), static_cast<int>(whole.size()));
        qint64 amountFen = 0, debtFen = 0;
        // From the end first, as a scroll to the last row reads it, then every row in turn.
        for (int i = model.rowCount() - 1; i >= 0 && i >= model.rowCount() - 5; --i)
            ASSERT_EQ(model.Row(i).Value(ledger::kSaleId), whole[i].Value(ledger::kSaleId)) << i;
        for (int i = 0; i < model.rowCount(); ++i) {
            const CellRow& row = model.Row(i);
            ASSERT_EQ(row.Value(ledger::kSaleId), whole[i].Value(ledger::kSaleId)) << i;
            EXPECT_EQ(row.Number(ledger::kSaleDebt), whole[i].Number(ledger::kSaleDebt));
            EXPECT_EQ(model.RowColour(i), IsOwing(whole[i]) ? kDebtColour : -1) << i;
            amountFen += std::llround(whole[i].Number(ledger::kSaleAmount) * 100);
            debtFen += std::llround(whole[i].Number(ledger::kSaleDebt) * 100);
        }
        EXPECT_EQ(model.Totals().units[ledger::kSaleAmount], amountFen);
        EXPECT_EQ(model.Totals().units[ledger::kSaleDebt], debtFen);
    }

    static bool IsOwing(const CellRow& row) { return row.Number(ledger::kSaleDebt) != 0; }
    static constexpr qint64 kDebtColour = 255;
};
LK_ON_BOTH_STORES(SalesListModel);

TEST_P(SalesListModel, AWindowedListEqualsTheWholeReadAfterEveryChange) {
    const qint64 goods = AddGoods(100000);
    AddSales(goods, 2 * ListModel::kPageRows + 37);
    struct Case {
        SalesFilter filter;
        ledger::ListOrder order;
    };
    SalesFilter owing;
    owing.kind = SalesFilter::Kind::WithDebt;
    SalesFilter customer;
    customer.kind = SalesFilter::Kind::Contains;
    customer.column = ledger::kSaleCustomerName;
    customer.text = QStringLiteral("张");
    const Case cases[] = {{{}, {}},
                          {{}, {ledger::kSaleId, true}},
                          {owing, {ledger::kSaleAmount, true}},
                          {customer, {ledger::kSaleName, false}}};
    QRandomGenerator random(28);
    for (const Case& c : cases) {
        ListModel model(till1_, ledger::SalesListSpec(true));
        model.SetColour([](const CellRow& row) { return IsOwing(row) ? kDebtColour : -1; });
        model.SortBy(c.order);
        ASSERT_TRUE(model.Show(ledger::SalesCondition(c.filter)));
        ExpectSameAsWhole(model, c.filter);
        for (int step = 0; step < 12; ++step) {
            // Another till's change as often as this one's: the model hears only the ID.
            DbConnection& till = step % 2 ? till2_ : till1_;
            const qint64 some = 1 + random.bounded(static_cast<int>(Count("sell")));
            LedgerResult result;
            switch (random.bounded(3)) {
                case 0: {
                    SaleInput sale;
                    sale.goodsId = QString::number(goods);
                    sale.名称 = QStringLiteral("圆珠笔");
                    sale.销售单价 = sale.销售金额 = 0.3;
                    sale.销售数量 = 1;
                    sale.欠款额 = random.bounded(2) ? 0.1 : 0;
                    sale.销售日期 = QDate(2026, 12, 10);
                    sale.客户名称 = QStringLiteral("张三");
                    result = ledger::RecordSale(till, sale);
                    break;
                }
                case 1: {
                    SaleChange change;
                    change.欠款额 = random.bounded(2) ? 0.2 : 0;
                    change.客户名称 = QStringLiteral("李四");
                    result = ledger::ModifySale(till, some, change);
                    break;
                }
                default:
                    result = ledger::DeleteSale(till, some);
            }
            if (!result.IsDone()) continue;  // a sale deleted before
            ASSERT_TRUE(model.UpdateRecord(result.saleId ? result.saleId : some));
            ExpectSameAsWhole(model, c.filter);
            if (HasFailure()) return;
        }
    }
}

TEST_P(SalesListModel, AFailedReadKeepsTheRowsShownAndSaysSo) {
    AddSales(AddGoods(100), 5);
    ListModel model(till1_, ledger::SalesListSpec(false));
    ASSERT_TRUE(model.Show({}));
    EXPECT_EQ(model.Row(0).Text(ledger::kSaleProfit), QString());  // withheld, never read
    // A sale added at another till: the page held is to be read anew.
    ASSERT_TRUE(till2_.Execute("insert into sell (名称) values ('笔')"));
    ASSERT_TRUE(model.UpdateRecord(till2_.LastInsertId()));
    QSignalSpy failed(&model, &ListModel::ReadFailed);
    ASSERT_TRUE(till2_.Execute("ALTER TABLE sell RENAME TO sell_away"));
    EXPECT_EQ(model.Row(0).Value(ledger::kSaleId), 1.0);
    EXPECT_EQ(model.Row(4).Value(ledger::kSaleId), 5.0);
    EXPECT_EQ(failed.count(), 1);  // told once, not at every row painted
    EXPECT_FALSE(model.Error().isEmpty());
    EXPECT_FALSE(model.Reload());
    EXPECT_EQ(model.rowCount(), 6);
    ASSERT_TRUE(till2_.Execute("ALTER TABLE sell_away RENAME TO sell"));
}

// Sums of a million amounts in fen, none of which a binary fraction holds exactly.
TEST(SalesListTotals, AMillionAmountsSumToTheFen) {
    QTemporaryDir dir;
    const QString path = dir.filePath("data.db");
    ASSERT_TRUE(CreateDatabaseFile(path));
    DbConnection db;
    ASSERT_TRUE(db.OpenFile(path));
    ASSERT_TRUE(db.Execute(
        "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) "
        "INSERT INTO sell (销售金额, 欠款额, 销售数量) "
        "SELECT 0.1 * (i % 7), 3.28 + 0.01 * (i % 2), 0.001 FROM n"));
    qint64 amountFen = 0;
    for (int i = 1; i <= 1000000; ++i) amountFen += 10 * (i % 7);
    ListModel model(db, ledger::SalesListSpec(true));
    ASSERT_TRUE(model.Show({}));
    EXPECT_EQ(model.rowCount(), 1000000);
    EXPECT_EQ(model.Totals().units[ledger::kSaleAmount], amountFen);
    EXPECT_EQ(model.Total(ledger::kSaleDebt), 3285000.0);
    EXPECT_EQ(model.Total(ledger::kSaleQuantity), 1000.0);
}

}  // namespace

namespace {

class OtherListModel : public OnBothStores<LedgerFixture> {};
LK_ON_BOTH_STORES(OtherListModel);

// Income and expense are summed apart, each to the fen, and move with a change another till
// made, heard by its ID; a search sums only what it finds.
TEST_P(OtherListModel, IncomeAndExpenseAreTotalledApartToTheFen) {
    const std::pair<const char*, double> entries[] = {
        {"收入", 0.1}, {"支出", 0.2}, {"收入", 0.7}, {"其他", 5.55}};
    for (const auto& [type, amount] : entries) {
        ledger::OtherEntry entry;
        entry.类型 = QString::fromUtf8(type);
        entry.编号 = QStringLiteral("1");
        entry.项目 = QStringLiteral("房租");
        entry.数量 = QStringLiteral("1");
        entry.金额 = amount;
        entry.日期 = QDate(2026, 12, 1);
        ASSERT_TRUE(ledger::RecordOtherEntry(till1_, entry).IsDone());
    }
    ListModel model(till1_, ledger::OtherListSpec());
    ASSERT_TRUE(model.Show({}));
    const auto units = [&model](int column) { return model.Totals().units[column]; };
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(units(ledger::kOtherIncome), 80);
    EXPECT_EQ(units(ledger::kOtherExpense), 20);
    EXPECT_EQ(units(ledger::kOtherAmount), 655);

    ASSERT_TRUE(ledger::DeleteOtherEntry(till2_, 1).IsDone());
    ASSERT_TRUE(model.UpdateRecord(1));
    EXPECT_EQ(model.rowCount(), 3);
    EXPECT_EQ(units(ledger::kOtherIncome), 70);

    ledger::OtherFilter expenses;
    expenses.kind = ledger::OtherFilter::Kind::Contains;
    expenses.column = ledger::kOtherType;
    expenses.text = QStringLiteral("支");
    ASSERT_TRUE(model.Show(ledger::OtherCondition(expenses)));
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(units(ledger::kOtherIncome), 0);
    EXPECT_EQ(units(ledger::kOtherExpense), 20);
}

}  // namespace
