// The goods list at shop sizes: builds a database of N goods and times the full fill of the
// stock list, a model search, the summary fill and the export of the whole stock list, with
// the same query read bare through the SQLite C API as the reference.
// Usage: bench_stock [N]   (without N: runs 1,000, 10,000 and 100,000, one process each)
#include <sqlite3.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFrame>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "app/open_database.h"
#include "app/provision.h"
#include "bench/bench_support.h"
#include "common/name_initials.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "platform/dialogs.h"
#include "platform/record_grid.h"
#include "stats/summary_page.h"
#include "stock/stock_page.h"
#include "store/shared_db.h"

namespace {

void MakeGoods(int count) {
    const QStringList types = {"文具", "电器", "五金", "日用品", "食品", "饮料", "服装", "玩具"};
    const QStringList suppliers = {"城东批发部", "华南贸易公司", "新星文具厂", "大众五金店",
                                   "万家商贸"};
    const QStringList names = {"圆珠笔", "笔记本", "电池",   "台灯", "螺丝刀",
                               "毛巾",   "饼干",   "矿泉水", "衬衫", "积木",
                               "胶带",   "剪刀",   "插座",   "灯泡", "牙刷"};
    DbConnection& db = SharedConnection();
    DbTransaction transaction(db);
    for (int i = 0; i < count; ++i) {
        const QString name = names[i % names.size()] + QString::number(i / names.size());
        const double quantity = 10 + i % 90, price = 1.5 + (i % 200) * 0.25, sold = i % 37;
        db.Execute(
            "insert into buy (名称, 型号, 编码, 类型, 进货数量, 进货单价, 进货金额, 销售数量, "
            "销售单价, "
            "销售金额, 存货数量, 存货金额, 入库日期, 供货商, 备注, 首拼) values "
            "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
            {name, QString("X%1-%2").arg(i % 500).arg(i % 7), QString("69%1").arg(100000000 + i),
             types[i % types.size()], quantity, price, quantity * price, sold, price * 1.3,
             sold * price * 1.3, quantity - sold, (quantity - sold) * price,
             QDate(2011, 1, 1).addDays(i % 700), suppliers[i % suppliers.size()],
             i % 3 ? QString() : QStringLiteral("整箱"), NameInitials(name)});
    }
    transaction.Commit();
}

int RunOne(int count) {
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    NoDialogs dialogs;
    SetDialogs(&dialogs);
    ProvisionFiles();
    OpenDatabase();
    CurrentSession().userRole = kSuperAdmin;
    std::printf("%d goods\n", count);
    QElapsedTimer timer;
    timer.start();
    MakeGoods(count);
    Report("database built", timer.restart());

    QWidget window;
    window.resize(1022, 600);
    auto* host = new QFrame(&window);
    host->setGeometry(0, 0, 1022, 500);
    auto* panel = new QFrame(&window);
    panel->setGeometry(3, 502, 1016, 70);
    auto* summaryHost = new QFrame(&window);
    summaryHost->setGeometry(0, 0, 1022, 570);
    summaryHost->hide();
    BuildStockPage(host, panel, {});
    window.show();
    QApplication::processEvents();

    Report("bare SQLite read of buy", BareRead("select * from buy"));
    timer.restart();
    OpenSharedQuery(QStringLiteral("select * from buy"));
    SharedRecordSet().Close();
    Report("record set read of buy", timer.restart());
    CreateStockGrid(1022, 500);  // its set-up fills the list once
    Report("stock list created and filled", timer.restart());
    FillStockGrid();
    Report("FillStockGrid() of every goods row", timer.restart());
    StockGrid()->repaint();
    Report("paint", timer.restart());
    ledger::GoodsFilter search;
    search.kind = ledger::GoodsFilter::Kind::Contains;
    search.column = ledger::kGoodsModel;
    search.text = QStringLiteral("X12");
    FillStockGrid(search);
    Report("LIKE search on 型号", timer.restart());
    CreateSummaryGrid(summaryHost, 1022, 570);
    Report("summary created and filled", timer.restart());
    FillSummaryGrid();
    Report("FillSummaryGrid", timer.restart());
    FillStockGrid();
    timer.restart();
    StockGrid()->ExportToExcel(dir.filePath("stock.xlsx"), true, true);
    Report("ExportToExcel of the stock list", timer.restart());

    ForgetSummaryPage();
    ForgetStockPage();
    SharedRecordSet().Close();
    SharedConnection().Close();
    SetDialogs(nullptr);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc > 1) {
        QApplication app(argc, argv);
        return RunOne(QString::fromLocal8Bit(argv[1]).toInt());
    }
    // One process per size, so that each peak memory figure is its own.
    int failed = 0;
    for (const char* size : {"1000", "10000", "100000"})
        failed |= QProcess::execute(QString::fromLocal8Bit(argv[0]), {QString::fromLatin1(size)});
    return failed;
}
