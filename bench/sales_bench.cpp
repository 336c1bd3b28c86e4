// The sales list at shop sizes: 10,000 goods and N sales. Times the fill of the sales list
// against the same query read bare through the SQLite C API, "显示本月", and one sale end to
// end (checks, the transaction and the refills of the stock, sales, income-expense and
// summary lists), with the peak memory after each step.
// Usage: bench_sales [N]   (without N: runs 100,000, 1,000,000 and 5,000,000, one process each)
#include <sqlite3.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cstdio>

#include "bench/bench_support.h"
#include "common/date_text.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/dialogs.h"
#include "platform/record_grid.h"
#include "sales/sale_transaction.h"
#include "sales/sales_page.h"
#include "stats/summary_page.h"
#include "stock/stock_page.h"
#include "store/shared_db.h"

namespace {

constexpr int kGoods = 10000;

// The settings a fill reads, as a fresh program writes them.
void WriteSettings() {
    const std::pair<const char*, const char*> keys[] = {
        {"beep", "2"},           {"beepview", "false"}, {"beepcolor", "255"},
        {"line", "0"},           {"bgtwo", "16777215"}, {"bgone", "55512"},
        {"lastcolor", "33023"},  {"zero", ""},          {"zerocolor", "8421504"},
        {"rmbcolor", "16711824"}};
    for (const auto& [key, value] : keys)
        WriteSetupKey(QString::fromUtf8(key), QString::fromUtf8(value));
}

// Runs one prepared insert per row, all in one transaction.
template <typename BindRow>
void InsertRowsAtOnce(const char* sql, int count, BindRow bind) {
    sqlite3* db = SharedConnection().GetHandle();
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    InsertRows(db, sql, count, bind);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
}

void MakeGoods() {
    InsertRowsAtOnce(
        "insert into buy (名称, 型号, 编码, 类型, 进货数量, 进货单价, 进货金额, 销售数量, "
        "销售单价, 销售金额, 存货数量, 存货金额, 入库日期, 供货商, 首拼) values "
        "(?, ?, ?, ?, ?, ?, ?, 0, ?, 0, ?, ?, '2011-03-01', '城东批发部', ?)",
        kGoods, [](sqlite3_stmt* s, int i) {
            const int k = i % 14;
            const double quantity = 1000000, price = BenchCost(i);
            BindText(s, 1, QByteArray(kNames[k]) + QByteArray::number(i / 14));
            BindText(s, 2, "X" + QByteArray::number(i % 500));
            BindText(s, 3, "69" + QByteArray::number(100000000 + i));
            BindText(s, 4, kTypes[i % 6]);
            sqlite3_bind_double(s, 5, quantity);
            sqlite3_bind_double(s, 6, price);
            sqlite3_bind_double(s, 7, quantity * price);
            sqlite3_bind_double(s, 8, price * 1.3);
            sqlite3_bind_double(s, 9, quantity);
            sqlite3_bind_double(s, 10, quantity * price);
            BindText(s, 11, kInitials[k]);
        });
}

void MakeSales(int count) {
    InsertRowsAtOnce(kSaleInsert, count, [](sqlite3_stmt* s, int i) { BindSale(s, i, kGoods); });
}

template <typename Step>
double Time(Step step) {
    QElapsedTimer timer;
    timer.start();
    step();
    return timer.nsecsElapsed() / 1e6;
}

QFrame* Frame(QWidget* parent, int x, int y, int w, int h) {
    auto* frame = new QFrame(parent);
    frame->setGeometry(x, y, w, h);
    return frame;
}

int RunOne(int sales) {
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    NoDialogs dialogs;
    SetDialogs(&dialogs);
    WriteSettings();
    SetNowForTest(QDateTime(QDate(2012, 6, 15), QTime(9, 3, 7)));
    const QString path = ProgramFile(QStringLiteral("data.db"));
    if (!CreateDatabaseFile(path) || !SharedConnection().OpenFile(path)) {
        std::printf("cannot create %s\n", qPrintable(path));
        return 1;
    }
    CurrentSession().userRole = kSuperAdmin;
    std::printf("%d goods, %d sales\n", kGoods, sales);
    Report("database built", Time([&] {
               MakeGoods();
               MakeSales(sales);
           }));

    // The main window's pages: stock, sales and summary, each frame as big as the page.
    QWidget window;
    window.setGeometry(50, 50, 1028, 681);
    QFrame* stockHost = Frame(&window, 10, 36, 1008, 530);
    QFrame* stockPanel = Frame(&window, 13, 568, 1002, 70);
    QFrame* salesHost = Frame(&window, 10, 36, 1008, 530);
    QFrame* salesPanel = Frame(&window, 13, 568, 1002, 70);
    QFrame* summaryHost = Frame(&window, 10, 36, 1008, 604);
    BuildStockPage(stockHost, stockPanel, {});
    BuildSalesPage(salesHost, salesPanel, {});
    window.show();
    QApplication::processEvents();

    const double bare = BareRead("select * from sell");
    Report("bare SQLite read of sell", bare);
    Report("sales grid created and filled", Time([] { CreateSalesGrid(1008, 530); }));
    const double fill = Time([] { FillSalesGrid(); });
    Report("FillSalesGrid() of every sale", fill);
    std::printf("  %-40s %9.2f x\n", "fill / bare read", fill / bare);
    RecordGrid* grid = SalesGrid();
    Report("every sale shown, first screen painted", Time([grid] {
               FillSalesGrid();
               grid->viewport()->repaint();
           }));
    Report("scroll to the last sale, painted", Time([grid] {
               grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->maximum());
               grid->viewport()->repaint();
           }));
    // A header click: 销售金额 (column 9) by its index, 备注 (column 17) by none.
    for (const int col : {9, 17})
        Report(col == 9 ? "sorted by 销售金额, painted" : "sorted by 备注, painted",
               Time([grid, col] {
                   grid->Column(col).Sort(RecordGrid::cellDescending);
                   grid->viewport()->repaint();
               }));
    FillSalesGrid();
    Report("显示本月", Time([] { OnShowThisMonthsSales(); }));
    Report("stock and summary grids created", Time([&] {
               CreateStockGrid(1008, 530);
               CreateSummaryGrid(summaryHost, 1008, 604);
           }));

    constexpr int kSales = 5;
    double total = 0;
    for (int i = 0; i < kSales; ++i) {
        SaleInput sale;
        sale.goodsId = QString::number(1 + i * 997);
        sale.名称 = QStringLiteral("圆珠笔");
        sale.shownStock = 1000000;
        sale.销售单价 = 3.5;
        sale.销售数量 = 2;
        sale.销售金额 = 7;
        sale.销售日期 = QDate(2012, 6, 15);
        sale.客户名称 = QStringLiteral("张三");
        bool recorded = false;
        total += Time([&] { recorded = SaleTransaction(sale); });
        if (!recorded) std::printf("  sale %d was not recorded\n", i);
    }
    Report("one sale with its refills (mean of 5)", total / kSales);
    QApplication::processEvents();

    ForgetSalesPage();
    ForgetStockPage();
    ForgetSummaryPage();
    SharedRecordSet().Close();
    SharedConnection().Close();
    SetDialogs(nullptr);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc > 1) return RunOne(QString::fromLocal8Bit(argv[1]).toInt());
    // One process per size, so that each peak memory figure is its own.
    for (const char* count : {"100000", "1000000", "5000000"}) {
        const int code = QProcess::execute(QCoreApplication::applicationFilePath(), {count});
        if (code != 0) return code;
    }
    return 0;
}
