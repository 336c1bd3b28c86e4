// A till's own copy on a server's books: sales made on it while the server is away reach the
// server exactly once, however the sending is cut off, and the stock they oversold is told.
#include "ledger/till_copy.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QRandomGenerator>

#include "ledger/goods.h"
#include "ledger/sales.h"
#include "ledger_fixture.h"
#include "store/statement.h"

namespace {

class TillCopy : public LedgerFixture {
  protected:
    void SetUp() override {
        store_ = StoreKind::Server;
        LedgerFixture::SetUp();
    }
    QString CopyPath(int till) const {
        return dir_.filePath(QStringLiteral("till%1.db").arg(till));
    }
    // The till's copy, brought up to date from the server and selling as while it is away.
    void OpenCopy(DbConnection& copy, int till) {
        QString error;
        ASSERT_TRUE(ledger::OpenTillCopy(copy, CopyPath(till), &error)) << error.toStdString();
        ASSERT_TRUE(ledger::RefreshTillCopy(till1_, copy, &error)) << error.toStdString();
        copy.SetSalesOnly(true);
    }
    static SaleInput Pen(qint64 goodsId) {
        SaleInput sale;
        sale.goodsId = QString::number(goodsId);
        sale.名称 = QStringLiteral("圆珠笔");
        sale.销售单价 = sale.销售金额 = 12.5;
        sale.销售数量 = 1;
        sale.销售日期 = QDate(2026, 12, 10);
        sale.tillSaleId = ledger::NewTillSaleId();
        sale.tillName = QStringLiteral("一号收银台");
        return sale;
    }
    void SellOffline(DbConnection& copy, qint64 goodsId, int count) {
        for (int i = 0; i < count; ++i) {
            const LedgerResult r = ledger::RecordSale(copy, Pen(goodsId));
            ASSERT_TRUE(r.IsDone()) << r.error.toStdString();
        }
    }
    void Send(DbConnection& copy, ledger::SentSales* sent) {
        QString error;
        ASSERT_TRUE(ledger::SendWaitingSales(copy, till1_, sent, &error)) << error.toStdString();
    }
};

TEST_F(TillCopy, SalesMadeWhileTheServerWasAwayAreBookedOnceWhenItIsBack) {
    const qint64 pen = AddGoods(500);
    DbConnection copy;
    OpenCopy(copy, 1);
    SellOffline(copy, pen, 100);
    // The copy sells, and nothing else: a stock-in there would never reach the server.
    ledger::GoodsInput more;
    more.name = QStringLiteral("铅笔");
    more.quantity = 1;
    more.date = QDate(2026, 12, 10);
    EXPECT_EQ(ledger::StockIn(copy, more).outcome, LedgerResult::ServerNeeded);
    EXPECT_EQ(ledger::CountWaitingSales(copy), 100);
    EXPECT_EQ(Count("sell"), 0);

    ledger::SentSales sent;
    Send(copy, &sent);
    EXPECT_EQ(sent.sent, 100);
    EXPECT_EQ(sent.oversold, 0);
    EXPECT_EQ(Count("sell"), 100);
    EXPECT_EQ(Count("till_sale"), 100);
    EXPECT_EQ(Number("buy", "销售数量", pen), 100);
    EXPECT_EQ(Number("buy", "存货数量", pen), 400);
    ExpectGoodsInvariants(till1_);
    EXPECT_EQ(ledger::CountWaitingSales(copy), 0);

    // Sent again, nothing more is booked; the copy follows the server's changes.
    Send(copy, &sent);
    EXPECT_EQ(Count("sell"), 100);
    ASSERT_TRUE(till1_.Execute("update buy set 销售单价 = 13 where ID = ?", {pen}));
    QString error;
    ASSERT_TRUE(ledger::RefreshTillCopy(till1_, copy, &error)) << error.toStdString();
    Statement price(copy, QStringLiteral("select 销售单价, 存货数量 from buy where ID = ?"));
    ASSERT_TRUE(price.Bind({pen}) && price.Next());
    EXPECT_EQ(price.Double(0), 13);
    EXPECT_EQ(price.Double(1), 400);
}

// Sends the copy's waiting sales, telling the parent of each before it goes by one byte on out.
[[noreturn]] void SendUntilKilled(const QString& copyPath, const QString& server, int out) {
    DbConnection copy, books;
    QString error;
    if (!ledger::OpenTillCopy(copy, copyPath, &error) || !books.OpenServer(server)) _exit(2);
    ledger::SentSales sent;
    ledger::SendWaitingSales(copy, books, &sent, &error, [out] { return write(out, "s", 1) == 1; });
    _exit(0);
}

TEST_F(TillCopy, ASendingKilledAtAnyMomentBooksEverySaleOnce) {
    const qint64 pen = AddGoods(100000);
    QRandomGenerator random(33);
    constexpr int kTrials = 20, kSales = 8;
    for (int t = 0; t < kTrials; ++t) {
        {
            DbConnection copy;
            OpenCopy(copy, 1);
            SellOffline(copy, pen, kSales);
        }
        int pipeEnds[2];
        ASSERT_EQ(pipe(pipeEnds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeEnds[0]);
            SendUntilKilled(CopyPath(1), server_, pipeEnds[1]);
        }
        close(pipeEnds[1]);
        // Killed inside the sending of a random sale: before, during or after its commit.
        const int before = random.bounded(1, kSales + 1);
        char byte;
        for (int seen = 0; seen < before && read(pipeEnds[0], &byte, 1) == 1;) ++seen;
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        close(pipeEnds[0]);

        DbConnection copy;
        OpenCopy(copy, 1);
        ledger::SentSales sent;
        Send(copy, &sent);
        ASSERT_EQ(ledger::CountWaitingSales(copy), 0);
        ASSERT_EQ(Count("sell"), (t + 1) * kSales) << "trial " << t;
    }
    EXPECT_EQ(Count("till_sale"), kTrials * kSales);
    EXPECT_EQ(Number("buy", "销售数量", pen), kTrials * kSales);
    ExpectGoodsInvariants(till1_);
}

TEST_F(TillCopy, SalesPastTheStockOrOfGoodsDeletedMeanwhileAreBookedWithTheShortfall) {
    const qint64 pen = AddGoods(5);
    const qint64 ink = AddGoods(3, 6);
    DbConnection first, second;
    OpenCopy(first, 1);
    OpenCopy(second, 2);
    SellOffline(first, pen, 4);
    SellOffline(second, pen, 4);
    SellOffline(second, ink, 2);
    ASSERT_TRUE(ledger::DeleteGoods(till1_, ink).IsDone());
    ledger::SentSales one, two;
    Send(first, &one);
    Send(second, &two);
    EXPECT_EQ(one.oversold, 0);
    EXPECT_EQ(two.sent, 6);
    EXPECT_EQ(two.oversold, 5);
    EXPECT_EQ(two.refused, 0);
    EXPECT_EQ(Count("sell"), 10);
    EXPECT_EQ(Number("buy", "存货数量", pen), -3);
    EXPECT_EQ(Scalar("select sum(短缺) from till_sale"), 5);
    EXPECT_EQ(Scalar("select sum(净利润) from sell where UID = " + QString::number(ink)), 13);
    // Nothing waits on the copy any longer, so it follows the server again.
    QString error;
    ASSERT_TRUE(ledger::RefreshTillCopy(till1_, second, &error)) << error.toStdString();
    Statement gone(second, QStringLiteral("select count(*) from buy where ID = ?"));
    ASSERT_TRUE(gone.Bind({ink}) && gone.Next());
    EXPECT_EQ(gone.Int64(0), 0);
}

}  // namespace
