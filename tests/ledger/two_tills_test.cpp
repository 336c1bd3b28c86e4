#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QRandomGenerator>
#include <thread>

#include "ledger/sales.h"
#include "ledger_fixture.h"
#include "store/statement.h"

namespace {

using TwoTills = OnBothStores<LedgerFixture>;
LK_ON_BOTH_STORES(TwoTills);
using KilledTill = LedgerFixture;

SaleInput OnePen(qint64 goodsId) {
    SaleInput sale;
    sale.goodsId = QString::number(goodsId);
    sale.名称 = QStringLiteral("圆珠笔");
    sale.销售单价 = 12.5;
    sale.销售数量 = 1;
    sale.销售金额 = 12.5;
    sale.销售日期 = QDate(2024, 3, 1);
    return sale;
}

TEST_P(TwoTills, FiveHundredSalesEachNeitherLoseACounterNorSellPastTheStock) {
    const qint64 id = AddGoods(800);
    int done[2] = {0, 0};
    int refused[2] = {0, 0};
    auto till = [&](int n) {
        DbConnection db;  // each till its own connection, as a second copy of the program
        if (!OpenTill(db)) return;
        for (int i = 0; i < 500; ++i) {
            const LedgerResult r = ledger::RecordSale(db, OnePen(id));
            if (r.IsDone()) ++done[n];
            if (r.outcome == LedgerResult::NotEnoughStock) ++refused[n];
        }
    };
    std::thread first(till, 0);
    std::thread second(till, 1);
    first.join();
    second.join();

    EXPECT_EQ(done[0] + done[1], 800);
    EXPECT_EQ(refused[0] + refused[1], 200);
    EXPECT_EQ(Count("sell"), 800);
    EXPECT_EQ(Number("buy", "销售数量", id), 800);
    EXPECT_EQ(Number("buy", "销售金额", id), 800 * 12.5);
    EXPECT_EQ(Number("buy", "存货数量", id), 0);
    EXPECT_EQ(Number("buy", "存货金额", id), 0);
    ExpectGoodsInvariants(till1_);
}

// Sells one pen after another, deleting every fifth sale again, and tells the parent of every
// change committed by one byte on out; until it is killed.
[[noreturn]] void SellUntilKilled(const QString& path, qint64 goodsId, int out) {
    DbConnection db;
    if (!db.OpenFile(path)) _exit(2);
    for (int i = 1;; ++i) {
        const LedgerResult r = ledger::RecordSale(db, OnePen(goodsId));
        if (!r.IsDone()) _exit(3);
        if (i % 5 == 0 && !ledger::DeleteSale(db, r.saleId).IsDone()) _exit(4);
        if (write(out, "s", 1) != 1) _exit(5);
    }
}

TEST_F(KilledTill, AProgramKilledAtAnyMomentLeavesASoundFileWithItsFiguresInStep) {
    const qint64 id = AddGoods(100000);
    // The child opens its own connection: none of this process may be open across the fork.
    till1_.Close();
    till2_.Close();
    QRandomGenerator random(20240301);
    constexpr int kTrials = 20;
    int trials = 0;
    for (int t = 0; t < kTrials; ++t) {
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeEnds[0]);
            SellUntilKilled(Path(), id, pipeEnds[1]);
        }
        close(pipeEnds[1]);
        // Killed after a random number of committed changes, somewhere inside the next one.
        const int changes = random.bounded(1, 30);
        char byte;
        int seen = 0;
        while (seen < changes && read(pipeEnds[0], &byte, 1) == 1) ++seen;
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        close(pipeEnds[0]);
        ASSERT_EQ(seen, changes) << "the child stopped by itself: " << status;
        ASSERT_TRUE(WIFSIGNALED(status));
        ++trials;

        DbConnection after;
        ASSERT_TRUE(after.OpenFile(Path())) << after.GetErrorDescription().toStdString();
        Statement check(after, QStringLiteral("PRAGMA integrity_check"));
        ASSERT_TRUE(check.Next());
        EXPECT_EQ(check.Text(0), QStringLiteral("ok"));
        ExpectGoodsInvariants(after);
    }
    EXPECT_EQ(trials, kTrials);
    RecordProperty("killTrials", trials);
}

}  // namespace
