#include <QDate>

#include "ledger/bank.h"
#include "ledger/edited.h"
#include "ledger/goods.h"
#include "ledger/other.h"
#include "ledger/sales.h"
#include "ledger_fixture.h"
#include "support/test_server.h"

namespace {

using Ledger = OnBothStores<LedgerFixture>;
LK_ON_BOTH_STORES(Ledger);

SaleInput Sale(qint64 goodsId, double quantity, double price = 12.5) {
    SaleInput sale;
    sale.goodsId = QString::number(goodsId);
    sale.名称 = QStringLiteral("圆珠笔");
    sale.销售单价 = price;
    sale.销售数量 = quantity;
    sale.销售金额 = price * quantity;
    sale.销售日期 = QDate(2024, 3, 1);
    return sale;
}

ledger::GoodsInput Form() {
    ledger::GoodsInput g;
    g.type = QStringLiteral("文具");
    g.name = QStringLiteral("圆珠笔");
    g.code = QStringLiteral("YZB");
    g.price = 0.1;
    g.quantity = 3;
    g.salePrice = 0.5;
    g.initials = QStringLiteral("YZB");
    g.date = QDate(2024, 3, 1);
    return g;
}

TEST_P(Ledger, AStockInStoresItsFiguresAndARefusedFieldStoresNothing) {
    const LedgerResult done = ledger::StockIn(till1_, Form());
    ASSERT_TRUE(done.IsDone()) << done.error.toStdString();
    EXPECT_EQ(done.goodsId, done.id);
    EXPECT_EQ(Number("buy", "进货金额", done.id), 0.3);  // not 0.30000000000000004
    EXPECT_EQ(Number("buy", "存货数量", done.id), 3);
    EXPECT_EQ(Value("buy", "入库日期", done.id).toString(), "2024-03-01");

    ledger::GoodsInput g = Form();
    g.supplier = QString(51, u'长');
    const LedgerResult refused = ledger::StockIn(till1_, g);
    EXPECT_EQ(refused.outcome, LedgerResult::FieldRefused);
    EXPECT_EQ(refused.fieldCode, "[086]");
    EXPECT_EQ(Count("buy"), 1);
}

TEST_P(Ledger, ARestockAfterAnotherTillSoldKeepsTheSale) {
    const qint64 id = AddGoods(5);
    ASSERT_TRUE(ledger::RecordSale(till2_, Sale(id, 1)).IsDone());
    ASSERT_TRUE(ledger::Restock(till1_, id, 2).IsDone());
    EXPECT_EQ(Number("buy", "进货数量", id), 7);
    EXPECT_EQ(Number("buy", "进货金额", id), 56);
    EXPECT_EQ(Number("buy", "销售数量", id), 1);
    EXPECT_EQ(Number("buy", "存货数量", id), 6);
    EXPECT_EQ(Number("buy", "存货金额", id), 48);
    ExpectGoodsInvariants(till1_);
    EXPECT_EQ(ledger::Restock(till1_, id + 1, 2).outcome, LedgerResult::RecordGone);
}

TEST_P(Ledger, AModificationAfterAnotherTillSoldKeepsTheSoldFigures) {
    const qint64 id = AddGoods(5);
    SaleInput discounted = Sale(id, 2);
    discounted.销售金额 = 20;  // a discount typed into the amount
    ASSERT_TRUE(ledger::RecordSale(till2_, discounted).IsDone());

    ledger::GoodsInput g = Form();
    g.quantity = 10;
    g.price = 9;
    g.salePrice = 15;
    ASSERT_TRUE(ledger::ModifyGoods(till1_, id, g).IsDone());
    EXPECT_EQ(Number("buy", "销售数量", id), 2);
    EXPECT_EQ(Number("buy", "销售金额", id), 20);  // not rewritten as 2 × 15
    EXPECT_EQ(Number("buy", "存货数量", id), 8);
    EXPECT_EQ(Number("buy", "存货金额", id), 72);
    EXPECT_EQ(Number("buy", "进货金额", id), 90);
    EXPECT_EQ(Value("buy", "首拼", id).toString(), "YZB");
    ExpectGoodsInvariants(till1_);

    g.name = QString(51, u'长');
    EXPECT_EQ(ledger::ModifyGoods(till1_, id, g).outcome, LedgerResult::StoreFailed);
    EXPECT_EQ(Value("buy", "名称", id).toString(), "圆珠笔");
}

// A window's change is refused, storing nothing, when another till changed what the window
// edits after it opened; another till's change of other figures of the record is no reason.
TEST_P(Ledger, AWindowsChangeIsRefusedWhenAnotherTillChangedWhatItEdits) {
    using ledger::EditedRow;
    const qint64 pen = AddGoods(5);
    ledger::RowSeen seen = ledger::ReadEdited(till1_, EditedRow::Goods, pen);
    ASSERT_TRUE(seen.known);
    const qint64 sale = ledger::RecordSale(till2_, Sale(pen, 1)).saleId;
    ASSERT_TRUE(ledger::ModifyGoods(till1_, pen, Form(), seen).IsDone());
    seen = ledger::ReadEdited(till1_, EditedRow::Goods, pen);
    ASSERT_TRUE(ledger::Restock(till2_, pen, 10).IsDone());
    EXPECT_EQ(ledger::ModifyGoods(till1_, pen, Form(), seen).outcome, LedgerResult::RecordChanged);
    EXPECT_EQ(Number("buy", "进货数量", pen), 13);
    ExpectGoodsInvariants(till1_);

    seen = ledger::ReadEdited(till1_, EditedRow::Sale, sale);
    SaleChange debt;
    debt.欠款额 = 12.5;
    ASSERT_TRUE(ledger::ModifySale(till2_, sale, debt).IsDone());
    EXPECT_EQ(ledger::ModifySale(till1_, sale, SaleChange{}, seen).outcome,
              LedgerResult::RecordChanged);
    EXPECT_EQ(Number("sell", "欠款额", sale), 12.5);

    ledger::BankEntry entry;
    entry.typeIndex = 0;
    entry.银行 = QStringLiteral("工行");
    entry.amount = 100;
    entry.日期 = QDate(2024, 3, 1);
    const qint64 deposit = ledger::RecordBankEntry(till1_, entry).id;
    seen = ledger::ReadEdited(till1_, EditedRow::BankEntry, deposit);
    ASSERT_TRUE(ledger::ChangeBankEntry(till1_, deposit, entry, seen).IsDone());
    entry.amount = 80;
    ASSERT_TRUE(ledger::ChangeBankEntry(till2_, deposit, entry).IsDone());
    entry.amount = 90;
    EXPECT_EQ(ledger::ChangeBankEntry(till1_, deposit, entry, seen).outcome,
              LedgerResult::RecordChanged);
    EXPECT_EQ(Number("bank", "金额", deposit), 80);
}

TEST_P(Ledger, TheStoredStockDecidesASaleWhateverTheWindowShowed) {
    const qint64 id = AddGoods(2);
    SaleInput sale = Sale(id, 2);
    sale.shownStock = 2;
    ASSERT_TRUE(ledger::RecordSale(till1_, sale).IsDone());
    // The second till's window still shows 2, or the user typed a larger stock.
    sale.shownStock = 100;
    sale.销售数量 = 1;
    EXPECT_EQ(ledger::RecordSale(till2_, sale).outcome, LedgerResult::NotEnoughStock);
    EXPECT_EQ(ledger::RecordSale(till2_, Sale(id, 0)).outcome, LedgerResult::ZeroQuantity);
    EXPECT_EQ(ledger::RecordSale(till2_, Sale(id + 7, 1)).outcome, LedgerResult::RecordGone);
    EXPECT_EQ(Count("sell"), 1);
    EXPECT_EQ(Number("buy", "存货数量", id), 0);
    // A return (negative quantity) raises the stock.
    ASSERT_TRUE(ledger::RecordSale(till2_, Sale(id, -1)).IsDone());
    EXPECT_EQ(Number("buy", "存货数量", id), 1);
    ExpectGoodsInvariants(till1_);
}

TEST_P(Ledger, TheProfitIsTheAmountChargedLessTheStoredCost) {
    const struct {
        double quantity, price, amount, cost, profit;
    } cases[] = {
        {3, 0.3, 0.5, 0.1, 0.2},  // an amount typed by hand
        {3, 0.3, 0.9, 0.1, 0.6},
        {2, 12.5, 20, 8, 4},
        {-1, 12.5, -12.5, 8, -4.5},  // a return
    };
    for (const auto& c : cases) {
        const qint64 id = AddGoods(10, c.cost);
        SaleInput sale = Sale(id, c.quantity, c.price);
        sale.销售金额 = c.amount;
        const LedgerResult r = ledger::RecordSale(till1_, sale);
        ASSERT_TRUE(r.IsDone()) << r.error.toStdString();
        EXPECT_EQ(r.saleId, r.id);
        EXPECT_EQ(Number("sell", "净利润", r.saleId), c.profit) << c.amount;
        EXPECT_EQ(Number("buy", "销售金额", id), c.amount);
        EXPECT_EQ(Number("sell", "进货单价", r.saleId), c.cost);
        EXPECT_EQ(Number("sell", "UID", r.saleId), id);
    }
}

TEST_P(Ledger, ARefusedSaleFieldChangesNeitherTable) {
    const qint64 id = AddGoods(3);
    const struct {
        const char* code;
        void (*spoil)(SaleInput*);
    } cases[] = {
        {"[084]", [](SaleInput* s) { s->名称 = QString(51, u'长'); }},
        {"[077]", [](SaleInput* s) { s->销售日期 = QDate(); }},
        {"[071]", [](SaleInput* s) { s->备注 = QString(51, u'长'); }},
    };
    for (const auto& c : cases) {
        SaleInput sale = Sale(id, 1);
        c.spoil(&sale);
        const LedgerResult r = ledger::RecordSale(till1_, sale);
        EXPECT_EQ(r.outcome, LedgerResult::FieldRefused);
        EXPECT_EQ(r.fieldCode, c.code);
    }
    EXPECT_EQ(Count("sell"), 0);
    EXPECT_EQ(Number("buy", "存货数量", id), 3);
    EXPECT_EQ(Number("buy", "销售数量", id), 0);
    EXPECT_EQ(Number("buy", "存货金额", id), 24);
}

TEST_P(Ledger, DeletingASaleGivesItsQuantityAndAmountBack) {
    const qint64 id = AddGoods(5);
    SaleInput sale = Sale(id, 2);
    sale.销售金额 = 20;
    const qint64 first = ledger::RecordSale(till1_, sale).saleId;
    const qint64 second = ledger::RecordSale(till1_, Sale(id, 1)).saleId;

    const LedgerResult r = ledger::DeleteSale(till2_, first);
    ASSERT_TRUE(r.IsDone());
    EXPECT_EQ(r.goodsId, id);
    EXPECT_EQ(Number("buy", "销售数量", id), 1);
    EXPECT_EQ(Number("buy", "销售金额", id), 12.5);
    EXPECT_EQ(Number("buy", "存货数量", id), 4);
    EXPECT_EQ(Number("buy", "存货金额", id), 32);
    ExpectGoodsInvariants(till1_);
    EXPECT_EQ(ledger::DeleteSale(till2_, first).outcome, LedgerResult::RecordGone);

    // The sale of goods deleted meanwhile goes alone.
    ASSERT_TRUE(ledger::DeleteGoods(till1_, id).IsDone());
    const LedgerResult orphan = ledger::DeleteSale(till1_, second);
    EXPECT_TRUE(orphan.IsDone());
    EXPECT_EQ(orphan.goodsId, 0);
    EXPECT_EQ(Count("sell"), 0);
}

TEST_P(Ledger, ModifyingASaleChangesOnlyDebtAndCustomer) {
    const qint64 id = AddGoods(5);
    const qint64 sale = ledger::RecordSale(till1_, Sale(id, 1)).saleId;
    SaleChange change;
    change.欠款额 = 0.1 * 3;
    change.客户名称 = QStringLiteral("O'Neil");
    ASSERT_TRUE(ledger::ModifySale(till2_, sale, change).IsDone());
    EXPECT_EQ(Number("sell", "欠款额", sale), 0.3);
    EXPECT_EQ(Value("sell", "客户名称", sale).toString(), "O'Neil");
    EXPECT_EQ(Number("sell", "销售数量", sale), 1);
    EXPECT_EQ(ledger::ModifySale(till2_, sale + 1, change).outcome, LedgerResult::RecordGone);
}

TEST_P(Ledger, IncomeAndExpenseEntriesAreCheckedFieldByField) {
    ledger::OtherEntry e;
    e.类型 = QStringLiteral("收入");
    e.编号 = QStringLiteral("20240301");
    e.项目 = QStringLiteral("房租");
    e.数量 = QStringLiteral("abc");
    e.金额 = 5;
    e.日期 = QDate(2024, 3, 1);
    LedgerResult r = ledger::RecordOtherEntry(till1_, e);
    EXPECT_EQ(r.outcome, LedgerResult::FieldRefused);
    EXPECT_EQ(r.fieldCode, "[096]");
    e.数量 = QStringLiteral("2");
    r = ledger::RecordOtherEntry(till1_, e);
    ASSERT_TRUE(r.IsDone());
    EXPECT_EQ(Count("other"), 1);
    EXPECT_TRUE(ledger::DeleteOtherEntry(till2_, r.id).IsDone());
    EXPECT_EQ(ledger::DeleteOtherEntry(till2_, r.id).outcome, LedgerResult::RecordGone);
}

TEST_P(Ledger, BankAmountsAreStoredWithTheSignOfTheirTypeAndSumToTheBalance) {
    const struct {
        int type;
        double amount;
        double stored;
    } cases[] = {{0, 100, 100}, {1, 30, -30}, {2, 7.5, 7.5}, {3, 0.1, -0.1}, {-1, 2, -2}};
    double balance = 0;
    for (const auto& c : cases) {
        ledger::BankEntry e;
        e.typeIndex = c.type;
        e.银行 = QStringLiteral("工行");
        e.amount = c.amount;
        e.日期 = QDate(2024, 3, 1);
        const LedgerResult r = ledger::RecordBankEntry(till1_, e);
        ASSERT_TRUE(r.IsDone());
        EXPECT_EQ(Number("bank", "金额", r.id), c.stored);
        balance += c.stored;
    }
    EXPECT_NEAR(Scalar("select total(金额) from bank where 银行='工行'"), balance, 1e-9);

    // A minus typed into the amount is refused instead of turning a withdrawal around.
    ledger::BankEntry minus;
    minus.typeIndex = 1;
    minus.银行 = QStringLiteral("工行");
    minus.amount = -50;
    minus.日期 = QDate(2024, 3, 1);
    EXPECT_EQ(ledger::RecordBankEntry(till1_, minus).outcome, LedgerResult::NegativeAmount);
    EXPECT_EQ(ledger::ChangeBankEntry(till1_, 1, minus).outcome, LedgerResult::NegativeAmount);
    EXPECT_EQ(Count("bank"), 5);
    EXPECT_EQ(Number("bank", "金额", 1), 100);

    minus.amount = 50;
    ASSERT_TRUE(ledger::ChangeBankEntry(till2_, 1, minus).IsDone());
    EXPECT_EQ(Number("bank", "金额", 1), -50);
    EXPECT_TRUE(ledger::DeleteBankEntry(till2_, 1).IsDone());
    EXPECT_EQ(ledger::ChangeBankEntry(till2_, 1, minus).outcome, LedgerResult::RecordGone);
}

TEST_P(Ledger, AFailingStatementRollsTheWholeSaleBack) {
    const qint64 id = AddGoods(3);
    if (store_ == StoreKind::File) {
        ASSERT_TRUE(till1_.Execute(
            "create trigger refuse before insert on sell begin select raise(abort, '拒绝'); end"));
    } else {
        ASSERT_TRUE(
            till1_.Execute("create function refuse() returns trigger language plpgsql as "
                           "$$begin raise exception '拒绝'; end$$"));
        ASSERT_TRUE(till1_.Execute(
            "create trigger refuse before insert on sell for each row execute function refuse()"));
    }
    const LedgerResult r = ledger::RecordSale(till2_, Sale(id, 1));
    EXPECT_EQ(r.outcome, LedgerResult::StoreFailed);
    EXPECT_FALSE(r.error.isEmpty());
    EXPECT_EQ(Number("buy", "存货数量", id), 3);
    EXPECT_EQ(Number("buy", "销售数量", id), 0);
}

class ServerLedger : public LedgerFixture {
  protected:
    void SetUp() override {
        store_ = StoreKind::Server;
        LedgerFixture::SetUp();
    }
    // A trigger on sell that runs action in the middle of every sale of a till that set
    // lk.cut.
    void CutSalesWith(const QString& action) {
        ASSERT_TRUE(
            till1_.Execute("CREATE FUNCTION lk_cut() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN "
                           "IF current_setting('lk.cut', true) = '1' THEN " +
                           action + "; END IF; RETURN NEW; END$$"))
            << till1_.GetErrorDescription().toStdString();
        ASSERT_TRUE(till1_.Execute(
            "CREATE TRIGGER lk_cut AFTER INSERT ON sell FOR EACH ROW EXECUTE FUNCTION lk_cut()"));
        ASSERT_TRUE(till2_.Execute("SET lk.cut = '1'"));
    }
    void ExpectNothingOfTheSale(qint64 goods) {
        EXPECT_EQ(Count("sell"), 0);
        EXPECT_EQ(Number("buy", "存货数量", goods), 5);
        EXPECT_EQ(Number("buy", "销售数量", goods), 0);
    }
};

// The server ends a till's connection in the middle of a sale: the sale is reported as not
// done, nothing of it stays, and the till's next sale goes through on a connection made again.
TEST_F(ServerLedger, ASaleCutOffMidwayIsReportedAndLeavesNothingHalfDone) {
    const qint64 pen = AddGoods(5);
    CutSalesWith("PERFORM pg_terminate_backend(pg_backend_pid())");

    const LedgerResult cut = ledger::RecordSale(till2_, Sale(pen, 2));
    EXPECT_EQ(cut.outcome, LedgerResult::StoreFailed);
    EXPECT_TRUE(cut.error.contains(QStringLiteral("连接已断开"))) << cut.error.toStdString();
    ExpectNothingOfTheSale(pen);

    // The till's next sale makes its connection again (without the setting that cut it).
    ASSERT_TRUE(ledger::RecordSale(till2_, Sale(pen, 2)).IsDone());
    EXPECT_EQ(Number("buy", "存货数量", pen), 3);
    ExpectGoodsInvariants(till1_);
}

// The whole server dies in the middle of a sale, as at a power cut: after its restart and
// recovery, nothing of the sale is there, and both tills work on without being opened again.
TEST_F(ServerLedger, ASaleWhenTheServerDiesLeavesNothingAfterItsRecovery) {
    const qint64 pen = AddGoods(5);
    // The server's end, not the time, ends the wait after the kill.
    CutSalesWith(QStringLiteral("COPY (SELECT 1) TO PROGRAM '%1'; PERFORM pg_sleep(600)")
                     .arg(TestServer::Instance().KillCommand()));

    const LedgerResult cut = ledger::RecordSale(till2_, Sale(pen, 2));
    EXPECT_EQ(cut.outcome, LedgerResult::StoreFailed);
    EXPECT_FALSE(cut.error.isEmpty());
    ASSERT_TRUE(TestServer::Instance().Restart()) << TestServer::Instance().Error().toStdString();
    ExpectNothingOfTheSale(pen);

    ASSERT_TRUE(ledger::RecordSale(till2_, Sale(pen, 2)).IsDone());
    EXPECT_EQ(Number("buy", "存货数量", pen), 3);
    ExpectGoodsInvariants(till1_);
}

}  // namespace
