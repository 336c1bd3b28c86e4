#include "ledger/stocktake.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDate>

#include "ledger/goods.h"
#include "ledger/sales.h"
#include "ledger_fixture.h"
#include "store/statement.h"

namespace {

using Stocktakes = OnBothStores<LedgerFixture>;
LK_ON_BOTH_STORES(Stocktakes);
using KilledCount = LedgerFixture;

const QString kUser = QStringLiteral("店员");

qint64 Goods(DbConnection& db, const char* code, double stock, double cost,
             const char* type = "文具") {
    ledger::GoodsInput g;
    g.type = QString::fromUtf8(type);
    g.name = QStringLiteral("商品") + QString::fromUtf8(code);
    g.code = QString::fromUtf8(code);
    g.price = cost;
    g.quantity = stock;
    g.salePrice = 20;
    g.date = QDate(2024, 3, 1);
    const LedgerResult r = ledger::StockIn(db, g);
    EXPECT_TRUE(r.IsDone()) << r.error.toStdString();
    return r.goodsId;
}

LedgerResult Sell(DbConnection& db, qint64 goodsId, double quantity) {
    SaleInput sale;
    sale.goodsId = QString::number(goodsId);
    sale.名称 = QStringLiteral("商品");
    sale.销售单价 = 20;
    sale.销售数量 = quantity;
    sale.销售金额 = 20 * quantity;
    sale.销售日期 = QDate(2024, 3, 2);
    return ledger::RecordSale(db, sale);
}

qint64 Start(DbConnection& db, ledger::StocktakeScope scope = ledger::StocktakeScope::AllGoods,
             const QString& value = {}) {
    const LedgerResult r = ledger::StartStocktake(db, scope, value, kUser);
    EXPECT_TRUE(r.IsDone()) << r.error.toStdString();
    return r.id;
}

// How a goods' count came about, what was sold between its count and the booking, and what
// booking leaves of its stock.
struct Counted {
    const char* what;
    double stock;
    double cost;
    int scans;     // scanned one by one ...
    double typed;  // ... or typed (below 0: not typed)
    double soldBetween;
    double stockAfter;
};

const Counted kCounted[] = {
    {"two missing, three sold after the count", 10, 8, 8, -1, 3, 5},
    {"two found, a count typed", 5, 0.1, 0, 7, 0, 7},
    {"as on the books", 4, 2.5, 4, -1, 1, 3},
    {"all gone and one sold after: never below 0", 4, 3, 0, 0, 1, 0},
    {"a typed count replaces the scans before it", 6, 1, 3, 2, 2, 0},
};

TEST_P(Stocktakes, BookingMovesEachStockByItsDifferenceAndKeepsTheSalesMadeMeanwhile) {
    const qint64 take = Start(till1_);
    std::vector<qint64> ids;
    for (const Counted& c : kCounted) {
        const QString code = QStringLiteral("C%1").arg(ids.size());
        ids.push_back(Goods(till1_, code.toUtf8().constData(), c.stock, c.cost));
        for (int s = 0; s < c.scans; ++s) {
            ASSERT_TRUE(ledger::CountScanned(till2_, take, code, kUser).IsDone()) << c.what;
        }
        if (c.typed >= 0) {
            ASSERT_TRUE(ledger::SetCount(till1_, take, ids.back(), c.typed, kUser).IsDone());
        }
        if (c.soldBetween > 0) {
            ASSERT_TRUE(Sell(till2_, ids.back(), c.soldBetween).IsDone());
        }
    }
    const qint64 untouched = Goods(till1_, "NOT-COUNTED", 9, 1);

    ledger::StocktakeFigures counted;
    QString error;
    ASSERT_TRUE(ledger::ReadStocktakeFigures(till1_, take, &counted, &error));
    EXPECT_EQ(counted.counted, 5);
    // As counted: 2 found at 0.1; missing 2 at 8, 4 at 3 and 4 at 1.
    EXPECT_DOUBLE_EQ(counted.gainAmount, 0.2);
    EXPECT_DOUBLE_EQ(counted.lossAmount, 16 + 12 + 4);

    ASSERT_TRUE(ledger::BookStocktake(till1_, take, QStringLiteral("超级管理员")).IsDone());
    double gain = 0, loss = 0;
    for (size_t i = 0; i < ids.size(); ++i) {
        const Counted& c = kCounted[i];
        EXPECT_EQ(Number("buy", "存货数量", ids[i]), c.stockAfter) << c.what;
        EXPECT_DOUBLE_EQ(Number("buy", "存货金额", ids[i]),
                         Number("buy", "存货数量", ids[i]) * c.cost)
            << c.what;
        const double moved = c.stockAfter - (c.stock - c.soldBetween);
        (moved > 0 ? gain : loss) += std::abs(moved) * c.cost;
    }
    EXPECT_EQ(Number("buy", "存货数量", untouched), 9);
    EXPECT_EQ(Scalar("select count(*) from stocktake_line where 状态='库存按0入账'"), 1);
    EXPECT_EQ(Number("buy", "存货金额", ids[1]), 0.7);  // not 0.7000000000000001
    ExpectGoodsInvariants(till1_);

    ledger::StocktakeFigures booked;
    ASSERT_TRUE(ledger::ReadStocktakeFigures(till1_, take, &booked, &error));
    EXPECT_DOUBLE_EQ(booked.gainAmount, gain);
    EXPECT_DOUBLE_EQ(booked.lossAmount, loss);
    EXPECT_EQ(Number("stocktake", "盘亏金额", take), loss);
    ASSERT_TRUE(ledger::ReadBookedGainLoss(till1_, &booked, &error));
    EXPECT_DOUBLE_EQ(booked.gainAmount, gain);
    EXPECT_DOUBLE_EQ(booked.lossQuantity, 2 + 3 + 4);
}

TEST_P(Stocktakes,
       ABookedStocktakeIsNotBookedTwiceNorCountedAndAGoodsDeletedMeanwhileBooksNothing) {
    const qint64 pen = Goods(till1_, "PEN", 5, 2);
    const qint64 ink = Goods(till1_, "INK", 5, 2);
    const qint64 take = Start(till1_);
    ASSERT_TRUE(ledger::SetCount(till1_, take, pen, 3, kUser).IsDone());
    ASSERT_TRUE(ledger::SetCount(till1_, take, ink, 9, kUser).IsDone());
    ASSERT_TRUE(ledger::DeleteGoods(till2_, ink).IsDone());
    EXPECT_EQ(ledger::SetCount(till1_, take, ink, 1, kUser).outcome, LedgerResult::RecordGone);

    ASSERT_TRUE(ledger::BookStocktake(till1_, take, kUser).IsDone());
    EXPECT_EQ(Number("buy", "存货数量", pen), 3);
    EXPECT_EQ(Count("buy"), 1);  // the deleted goods is not brought back
    ledger::StocktakeFigures figures;
    QString error;
    ASSERT_TRUE(ledger::ReadStocktakeFigures(till1_, take, &figures, &error));
    EXPECT_EQ(figures.gainQuantity, 0);
    EXPECT_EQ(figures.lossQuantity, 2);
    EXPECT_EQ(Scalar("select count(*) from stocktake_line where 状态='商品已删除'"), 1);

    EXPECT_EQ(ledger::BookStocktake(till2_, take, kUser).outcome, LedgerResult::AlreadyBooked);
    EXPECT_EQ(ledger::SetCount(till2_, take, pen, 9, kUser).outcome, LedgerResult::AlreadyBooked);
    EXPECT_EQ(ledger::CountScanned(till2_, take, "PEN", kUser).outcome,
              LedgerResult::AlreadyBooked);
    EXPECT_EQ(Number("buy", "存货数量", pen), 3);
    EXPECT_EQ(ledger::BookStocktake(till2_, take + 1, kUser).outcome, LedgerResult::RecordGone);
}

TEST_P(Stocktakes, AScanCountsTheExactCodeFirstWithinTheScopeAndKeepsUnknownCodes) {
    const qint64 longer = Goods(till1_, "6901", 1, 1);
    const qint64 exact = Goods(till1_, "690", 1, 1);
    const qint64 food = Goods(till1_, "555", 1, 1, "食品");
    const qint64 take = Start(till1_, ledger::StocktakeScope::Type, QStringLiteral("文具"));
    // Continued at the other till: no second stocktake is opened.
    const LedgerResult again =
        ledger::StartStocktake(till2_, ledger::StocktakeScope::AllGoods, {}, kUser);
    EXPECT_EQ(again.outcome, LedgerResult::StocktakeOpen);
    EXPECT_EQ(again.id, take);

    EXPECT_EQ(ledger::CountScanned(till2_, take, "690", kUser).goodsId, exact);
    EXPECT_EQ(ledger::CountScanned(till2_, take, "901", kUser).goodsId, longer);
    EXPECT_EQ(ledger::CountScanned(till2_, take, "555", kUser).goodsId, 0);  // another type
    EXPECT_EQ(ledger::CountScanned(till2_, take, "555", kUser).goodsId, 0);
    QList<ledger::UnknownCode> unknown;
    QString error;
    ASSERT_TRUE(ledger::ReadUnknownCodes(till1_, take, &unknown, &error));
    ASSERT_EQ(unknown.size(), 1);
    EXPECT_EQ(unknown[0].code, "555");
    EXPECT_EQ(unknown[0].count, 2);

    // The window's lists: the goods of the scope with their counts, and the lines alone.
    ledger::Stocktake stocktake;
    bool found = false;
    ASSERT_TRUE(ledger::ReadOpenStocktake(till1_, &stocktake, &found, &error));
    ASSERT_TRUE(found);
    ledger::ListRead goods(till1_, ledger::StocktakeGoodsSpec(false));
    goods.SetCondition(ledger::StocktakeGoodsCondition(stocktake));
    ledger::ListTotals totals;
    ASSERT_TRUE(goods.ReadTotals(&totals)) << goods.Error().toStdString();
    EXPECT_EQ(totals.count, 2);
    std::vector<CellRow> rows;
    ASSERT_TRUE(goods.ReadPage(0, 10, totals.count, &rows)) << goods.Error().toStdString();
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].Number(ledger::kTakeCounted), 1);
    EXPECT_TRUE(rows[0].Text(ledger::kTakeValue).isEmpty());  // withheld
    CellRow row;
    bool counted = false, shown = false;
    ASSERT_TRUE(goods.ReadRecord(food, &row, &counted, &shown)) << goods.Error().toStdString();
    EXPECT_FALSE(counted);

    ledger::ListRead lines(till1_, ledger::StocktakeLinesSpec(true));
    lines.SetCondition(ledger::StocktakeLinesCondition(take));
    ASSERT_TRUE(lines.ReadTotals(&totals)) << lines.Error().toStdString();
    EXPECT_EQ(totals.count, 2);
    EXPECT_EQ(totals.Figure(lines.Layout(), ledger::kTakeDifference), 0);
}

// Counts one scan after another and tells the parent of every count committed by one byte on
// out; until it is killed.
[[noreturn]] void CountUntilKilled(const QString& path, qint64 take, int out) {
    DbConnection db;
    if (!db.OpenFile(path)) _exit(2);
    for (int i = 0;; ++i) {
        const QString code = QStringLiteral("K%1").arg(i % 7);
        if (!ledger::CountScanned(db, take, code, kUser).IsDone()) _exit(3);
        if (write(out, "c", 1) != 1) _exit(5);
    }
}

TEST_F(KilledCount, AProgramKilledWhileCountingKeepsEveryCountItMade) {
    for (int g = 0; g < 7; ++g)
        Goods(till1_, QStringLiteral("K%1").arg(g).toUtf8().constData(), 100, 1);
    const qint64 take = Start(till1_);
    till1_.Close();
    till2_.Close();
    int pipeEnds[2];
    ASSERT_EQ(pipe(pipeEnds), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        close(pipeEnds[0]);
        CountUntilKilled(Path(), take, pipeEnds[1]);
    }
    close(pipeEnds[1]);
    char byte;
    int seen = 0;
    while (seen < 40 && read(pipeEnds[0], &byte, 1) == 1) ++seen;
    kill(child, SIGKILL);
    int status = 0;
    waitpid(child, &status, 0);
    close(pipeEnds[0]);
    ASSERT_EQ(seen, 40) << "the child stopped by itself: " << status;

    ASSERT_TRUE(OpenTill(till1_)) << till1_.GetErrorDescription().toStdString();
    const double counts = Scalar("select total(实盘数量) from stocktake_line");
    // The count in flight at the kill may have been committed before its byte was written.
    EXPECT_GE(counts, seen);
    EXPECT_LE(counts, seen + 1);
    EXPECT_EQ(Scalar("select count(*) from stocktake where 确认时间 is null"), 1);
}

}  // namespace
