// A stocktake of a shop of 100,000 goods: opening the stocktake window on an open stocktake
// of every goods (100,000 counted), a scan in it from the scanner's Enter to the list's row,
// and booking the 100,000 lines in one transaction; with the peak memory.
// Usage: bench_stocktake
#include <sqlite3.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>

#include "bench/bench_support.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "ledger/stocktake.h"
#include "platform/dialogs.h"
#include "stock/stocktake_window.h"
#include "store/shared_db.h"

namespace {

constexpr int kGoods = 100000;
constexpr int kScans = 20;

QByteArray Code(int goods) {
    return "69" + QByteArray::number(100000000 + goods);
}

// The goods, and an open stocktake of all of them in which every goods was counted, two in
// three of them with a difference.
void MakeCountedShop() {
    sqlite3* db = SharedConnection().GetHandle();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    InsertRows(db,
               "insert into buy (名称, 编码, 类型, 进货数量, 进货单价, 进货金额, 销售单价, "
               "存货数量, 存货金额, 首拼) values (?, ?, ?, 100, ?, ?, 3.5, 100, ?, 'YZB')",
               kGoods, [](sqlite3_stmt* s, int i) {
                   BindText(s, 1, QByteArray("圆珠笔") + QByteArray::number(i));
                   BindText(s, 2, Code(i));
                   BindText(s, 3, kTypes[i % 6]);
                   sqlite3_bind_double(s, 4, BenchCost(i));
                   sqlite3_bind_double(s, 5, 100 * BenchCost(i));
                   sqlite3_bind_double(s, 6, 100 * BenchCost(i));
               });
    sqlite3_exec(db,
                 "insert into stocktake (范围, 开始人, 开始时间) values ('全部商品', '店员', "
                 "'2026-12-10 09:00:00')",
                 nullptr, nullptr, nullptr);
    InsertRows(db,
               "insert into stocktake_line (盘点ID, 商品ID, 名称, 编码, 类型, 账面数量, 实盘数量, "
               "盈亏数量, 进货单价, 盈亏金额, 盘点时间, 盘点人) values (1, ?, ?, ?, ?, 100, ?, ?, "
               "?, ?, '2026-12-10 10:00:00', '店员')",
               kGoods, [](sqlite3_stmt* s, int i) {
                   const double difference = i % 3 == 0 ? 0 : (i % 3 == 1 ? -1 : 2);
                   sqlite3_bind_int64(s, 1, i + 1);
                   BindText(s, 2, QByteArray("圆珠笔") + QByteArray::number(i));
                   BindText(s, 3, Code(i));
                   BindText(s, 4, kTypes[i % 6]);
                   sqlite3_bind_double(s, 5, 100 + difference);
                   sqlite3_bind_double(s, 6, difference);
                   sqlite3_bind_double(s, 7, BenchCost(i));
                   sqlite3_bind_double(s, 8, difference * BenchCost(i));
               });
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

double TimeScan(StocktakeWindow* window, const QByteArray& code) {
    window->扫描框->setText(QString::fromLatin1(code));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QElapsedTimer timer;
    timer.start();
    QApplication::sendEvent(window->扫描框, &enter);
    window->repaint();
    return timer.nsecsElapsed() / 1e6;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    NoDialogs dialogs;
    SetDialogs(&dialogs);
    const QString path = ProgramFile(QStringLiteral("data.db"));
    if (!CreateDatabaseFile(path) || !SharedConnection().OpenFile(path)) {
        std::printf("cannot create %s\n", qPrintable(path));
        return 1;
    }
    CurrentSession().userName = kSuperAdmin;
    CurrentSession().userRole = kSuperAdmin;
    MakeCountedShop();
    std::printf("%d goods, all counted in an open stocktake\n", kGoods);

    QElapsedTimer timer;
    timer.start();
    auto* window = new StocktakeWindow(nullptr);
    window->show();
    window->repaint();
    Report("stocktake window opened and painted", timer.nsecsElapsed() / 1e6);

    double scans = 0;
    for (int i = 0; i < kScans; ++i) scans += TimeScan(window, Code(kGoods - 1 - i * 4999));
    Report("a scan (mean), Enter to the row painted", scans / kScans);

    timer.restart();
    const LedgerResult booked = ledger::BookStocktake(SharedConnection(), 1, kSuperAdmin);
    Report("booking 100,000 lines", timer.nsecsElapsed() / 1e6);
    if (!booked.IsDone()) std::printf("  booking failed: %s\n", qPrintable(booked.error));
    std::printf("  peak memory %.0f MB\n", PeakRssMb());
    delete window;
    SharedConnection().Close();
    SetDialogs(nullptr);
    return 0;
}
