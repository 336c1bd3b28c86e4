#include <libpq-fe.h>

#include <QElapsedTimer>
#include <thread>

#include "ledger/sales.h"
#include "ledger_fixture.h"

namespace {

class OutsideWriter : public LedgerFixture {
  protected:
    void SetUp() override {
        store_ = StoreKind::Server;
        LedgerFixture::SetUp();
    }
};

bool Exec(PGconn* conn, const char* sql) {
    PGresult* result = PQexec(conn, sql);
    const ExecStatusType status = PQresultStatus(result);
    PQclear(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK;
}

// A writer that takes no advisory lock changes the goods' counters while a sale of the program
// is under way; the sale waits for it and writes on top of its figures instead of over them.
TEST_F(OutsideWriter, ChangingTheCountersDuringASaleKeepsItsUpdate) {
    const qint64 goods = AddGoods(100);
    PGconn* outside = PQconnectdb(server_.toUtf8().constData());
    ASSERT_EQ(PQstatus(outside), CONNECTION_OK) << PQerrorMessage(outside);
    const QByteArray update =
        "UPDATE buy SET 销售数量 = 销售数量 + 5, 存货数量 = 存货数量 - 5 "
        "WHERE id = " +
        QByteArray::number(goods);
    ASSERT_TRUE(Exec(outside, "BEGIN"));
    ASSERT_TRUE(Exec(outside, update.constData()));

    SaleInput sale;
    sale.goodsId = QString::number(goods);
    sale.名称 = QStringLiteral("圆珠笔");
    sale.销售单价 = 12.5;
    sale.销售数量 = 1;
    sale.销售金额 = 12.5;
    sale.销售日期 = QDate(2024, 3, 1);
    LedgerResult result;
    std::thread till([&] { result = ledger::RecordSale(till2_, sale); });
    // The sale waits for the outside writer's row: then that one commits.
    QElapsedTimer waited;
    waited.start();
    bool waiting = false;
    while (!waiting && waited.elapsed() < 10000) {
        PGresult* locks = PQexec(outside, "SELECT count(*) FROM pg_locks WHERE NOT granted");
        waiting =
            PQresultStatus(locks) == PGRES_TUPLES_OK && QByteArray(PQgetvalue(locks, 0, 0)) != "0";
        PQclear(locks);
    }
    EXPECT_TRUE(waiting);
    EXPECT_TRUE(Exec(outside, "COMMIT"));
    till.join();
    PQfinish(outside);

    EXPECT_EQ(result.outcome, LedgerResult::Done) << result.error.toStdString();
    EXPECT_EQ(Number("buy", "销售数量", goods), 6);
    EXPECT_EQ(Number("buy", "存货数量", goods), 94);
    EXPECT_EQ(Number("buy", "存货金额", goods), 94 * 8);
}

}  // namespace
