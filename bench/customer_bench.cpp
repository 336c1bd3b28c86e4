// Customer accounts at a shop's full size: 10,000 customers and 1,000,000 sales, one in ten
// with a debt. Times the debt list (all customers, and filtered), one customer's statement,
// a payment over several sales, the sell window's customer pick lists, and the upgrade of a
// data.db of the same size written before customer accounts existed.
// Usage: bench_customer
#include <sqlite3.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench/bench_support.h"
#include "ledger/customers.h"
#include "store/db_connection.h"
#include "store/db_recordset.h"

namespace {

constexpr int kCustomers = 10000;
constexpr int kSales = 1000000;

template <typename F>
double Time(F&& f) {
    QElapsedTimer timer;
    timer.start();
    f();
    return timer.nsecsElapsed() / 1e6;
}

// The median of runs, after one run that warms the page cache.
template <typename F>
double Median(F&& f, int runs = 7) {
    f();
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) times.push_back(Time(f));
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Exec(sqlite3* db, const char* sql) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
        std::fprintf(stderr, "%s\n", message);
        sqlite3_free(message);
    }
}

// kSales sales spread over kCustomers names (some without a phone, every 50th to nobody),
// one in ten with a debt; with customer IDs when linked is true.
void MakeSales(sqlite3* db, bool linked) {
    Exec(db, "BEGIN");
    if (linked) {
        sqlite3_stmt* c = nullptr;
        sqlite3_prepare_v2(db,
                           "insert into customer (ID, 编号, 名称, 联系方式) values (?, ?, ?, ?)",
                           -1, &c, nullptr);
        for (int i = 1; i <= kCustomers; ++i) {
            const QByteArray name = "客户" + QByteArray::number(i);
            const QByteArray phone = i % 3 ? "1380000" + QByteArray::number(i) : QByteArray();
            sqlite3_bind_int(c, 1, i);
            sqlite3_bind_text(c, 2, QByteArray::number(i).constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(c, 3, name.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(c, 4, phone.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_step(c);
            sqlite3_reset(c);
        }
        sqlite3_finalize(c);
    }
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db,
                       linked ? "insert into sell (名称, 销售单价, 销售数量, 销售金额, 销售日期, "
                                "欠款额, 净利润, 客户名称, 联系方式, UID, 客户ID) values "
                                "('圆珠笔', 12.5, 2, 25, ?, ?, 9, ?, ?, 1, ?)"
                              : "insert into sell (名称, 销售单价, 销售数量, 销售金额, 销售日期, "
                                "欠款额, 净利润, 客户名称, 联系方式, UID) values "
                                "('圆珠笔', 12.5, 2, 25, ?, ?, 9, ?, ?, 1)",
                       -1, &s, nullptr);
    for (int i = 0; i < kSales; ++i) {
        // Every customer has about a hundred sales, ten of them with a debt.
        const int k = i / 10;
        const int customer = k % 50 == 0 ? 0 : 1 + (k * 7919 + i % 10 * 3) % kCustomers;
        const QByteArray name = customer ? "客户" + QByteArray::number(customer) : QByteArray();
        const QByteArray phone =
            customer % 3 ? "1380000" + QByteArray::number(customer) : QByteArray();
        const QByteArray date = QByteArray("20") + QByteArray::number(10 + i / 100000) + "-0" +
                                QByteArray::number(1 + (i / 10000) % 9) + "-1" +
                                QByteArray::number(i % 10);
        sqlite3_bind_text(s, 1, date.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_double(s, 2, i % 10 == 3 ? 5 + k % 7 : 0);
        sqlite3_bind_text(s, 3, name.constData(), -1, SQLITE_TRANSIENT);
        sqlite3_bind_text(s, 4, phone.constData(), -1, SQLITE_TRANSIENT);
        if (linked) sqlite3_bind_int(s, 5, customer);
        sqlite3_step(s);
        sqlite3_reset(s);
    }
    sqlite3_finalize(s);
    Exec(db, "COMMIT");
}

int Run(const QString& dir) {
    const QString path = dir + QStringLiteral("/data.db");
    if (!CreateDatabaseFile(path)) return 1;
    DbConnection db;
    if (!db.OpenFile(path)) return 1;
    MakeSales(db.GetHandle(), true);
    std::printf("%d customers, %d sales, %d with a debt\n", kCustomers, kSales, kSales / 10);

    QList<ledger::CustomerDebt> debts;
    QString error;
    Report("debt list, all customers (median of 7)",
           Median([&] { ledger::ReadCustomerDebts(db, QString(), &debts, &error); }));
    std::printf("    %lld customers listed\n", static_cast<long long>(debts.size()));
    Report("debt list, filter \"客户12\" (median of 7)", Median([&] {
               ledger::ReadCustomerDebts(db, QStringLiteral("客户12"), &debts, &error);
           }));
    QList<ledger::StatementLine> lines;
    Report("one customer's statement (median of 7)",
           Median([&] { ledger::ReadStatement(db, 4242, &lines, &error); }));
    std::printf("    %lld lines\n", static_cast<long long>(lines.size()));
    qint64 openFen = 0;
    ledger::ReadOpenDebt(db, 4242, &openFen, &error);
    const double open = static_cast<double>(openFen) / 100;
    ledger::PaymentInput payment;
    payment.customerId = 4242;
    payment.日期 = QDateTime(QDate(2020, 1, 1), QTime(9, 0));
    payment.金额 = open;
    payment.方式 = QStringLiteral("现金");
    bool paid = false;
    Report("a payment settling every open sale",
           Time([&] { paid = ledger::RecordPayment(db, payment).IsDone(); }));
    std::printf("    %s %g\n", paid ? "settled" : "refused", open);
    DbRecordSet records;
    Report("sell window pick lists from customer", Median([&] {
               records.Open(QStringLiteral("select max(名称) as exp from customer group by 名称"),
                            db, true);
               records.Close();
               records.Open(QStringLiteral("select max(地址) as exp from customer group by 名称"),
                            db, true);
               records.Close();
           }));
    Report("the same lists grouped from sell", Median(
                                                   [&] {
                                                       records.Open(
                                                           QStringLiteral("select max(客户名称) as "
                                                                          "exp from sell group by "
                                                                          "客户名称"),
                                                           db, true);
                                                       records.Close();
                                                   },
                                                   3));
    db.Close();

    // The same sales as an older program wrote them, upgraded at opening.
    const QString old = dir + QStringLiteral("/old.db");
    if (!CreateDatabaseFile(old)) return 1;
    sqlite3* raw = nullptr;
    sqlite3_open(old.toUtf8().constData(), &raw);
    Exec(raw,
         "DROP INDEX 客户欠款; DROP INDEX 客户销售; ALTER TABLE sell DROP COLUMN 客户ID;"
         "DROP TABLE customer; DROP TABLE payment; DROP TABLE payment_part;"
         "PRAGMA user_version=0;");
    MakeSales(raw, false);
    sqlite3_close(raw);
    DbConnection upgraded;
    bool opened = false;
    Report("opening (and upgrading) the older file",
           Time([&] { opened = upgraded.OpenFile(old); }));
    if (!opened) std::printf("    failed: %s\n", qPrintable(upgraded.GetErrorDescription()));
    return opened ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    return Run(dir.path());
}
