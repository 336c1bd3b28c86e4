// A till back on its server after a day without it: 1,000 sales made on the till's copy are sent,
// each booked in one server transaction under its number, into books of 100,000 goods.
// Usage: bench_till "CONNECTION" (an empty database on a PostgreSQL server; it is filled)
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>

#include "bench/bench_support.h"
#include "ledger/sales.h"
#include "ledger/till_copy.h"
#include "store/db_connection.h"

namespace {

constexpr int kGoods = 100000;
constexpr int kWaiting = 1000;

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_till \"CONNECTION\"\n");
        return 2;
    }
    DbConnection server;
    if (!server.OpenServer(QString::fromUtf8(argv[1]))) {
        std::fprintf(stderr, "%s\n", qPrintable(server.GetErrorDescription()));
        return 1;
    }
    if (!server.Execute(
            QStringLiteral(
                "INSERT INTO buy (名称, 编码, 进货数量, 进货单价, 进货金额, 销售单价, 存货数量, "
                "存货金额) SELECT '商品' || g, 'C' || g, 1000, 8, 8000, 12.5, 1000, 8000 "
                "FROM generate_series(1, %1) g")
                .arg(kGoods))) {
        std::fprintf(stderr, "%s\n", qPrintable(server.GetErrorDescription()));
        return 1;
    }
    QTemporaryDir dir;
    DbConnection copy;
    QString error;
    QElapsedTimer timer;
    timer.start();
    if (!ledger::OpenTillCopy(copy, dir.filePath(QStringLiteral("till_copy.db")), &error) ||
        !ledger::RefreshTillCopy(server, copy, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    Report("first copy of 100,000 goods", timer.nsecsElapsed() / 1e6);
    copy.SetSalesOnly(true);
    for (int i = 0; i < kWaiting; ++i) {
        SaleInput sale;
        sale.goodsId = QString::number(1 + i * 97 % kGoods);
        sale.名称 = QStringLiteral("商品");
        sale.销售单价 = sale.销售金额 = 12.5;
        sale.销售数量 = 1;
        sale.销售日期 = QDate(2026, 12, 10);
        sale.tillSaleId = ledger::NewTillSaleId();
        if (!ledger::RecordSale(copy, sale).IsDone()) return 1;
    }
    timer.restart();
    ledger::SentSales sent;
    if (!ledger::SendWaitingSales(copy, server, &sent, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    Report("sending 1,000 waiting sales", timer.nsecsElapsed() / 1e6);
    return sent.sent == kWaiting ? 0 : 1;
}
