// Importing a shop's goods list: a CSV file of 100,000 goods read, checked and booked into stock
// in one transaction, half of them new and half restocking goods already in stock.
// Usage: bench_import [N]   (default 100,000)
#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include "app/open_database.h"
#include "app/provision.h"
#include "bench/bench_support.h"
#include "common/program_dir.h"
#include "ledger/goods_import.h"
#include "stock/goods_import.h"
#include "store/shared_db.h"

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? atoi(argv[1]) : 100000;
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    NoDialogs dialogs;
    SetDialogs(&dialogs);
    ProvisionFiles();
    SetDatabaseOpener(OpenDatabase);
    if (!EnsureDatabaseOpen()) return 1;

    QByteArray csv = "类型,名称,型号,编码,进货数量,进货单价,销售单价,入库日期,供货商,备注\r\n";
    for (int i = 0; i < count; ++i)
        csv += QStringLiteral("文具,\"圆珠笔%1\",X%2,69%3,%4,%5,%6,2026-3-%7,城东批发部,整箱\r\n")
                   .arg(i)
                   .arg(i % 500)
                   .arg(100000000 + i)
                   .arg(10 + i % 90)
                   .arg(1.5 + (i % 200) * 0.25)
                   .arg(2.5 + (i % 200) * 0.25)
                   .arg(1 + i % 28)
                   .toUtf8();

    QElapsedTimer timer;
    timer.start();
    ImportTable table;
    QString error;
    if (!ReadCsv(csv, &table, &error)) {
        std::printf("%s\n", error.toUtf8().constData());
        return 1;
    }
    Report("read the CSV file", timer.nsecsElapsed() / 1e6);
    timer.restart();
    const std::vector<ImportGoods> checked =
        CheckImportRows(table, GuessColumns(table), QDate(2026, 12, 9));
    Report("check the rows", timer.nsecsElapsed() / 1e6);
    std::vector<GoodsImportRow> rows;
    for (const ImportGoods& g : checked)
        if (g.problem.isEmpty()) rows.push_back(g);
    const std::vector<GoodsImportRow> firstHalf(rows.begin(), rows.begin() + rows.size() / 2);
    ImportGoodsIntoStock(SharedConnection(), firstHalf, false);
    timer.restart();
    const GoodsImportResult result =
        ImportGoodsIntoStock(SharedConnection(), rows, true, [](int) { return true; });
    Report("book the goods in one transaction", timer.nsecsElapsed() / 1e6);
    std::printf("%d rows checked, %zu imported (%d new, %d restocked), peak memory %.0f MB\n",
                static_cast<int>(checked.size()), rows.size(), result.added, result.restocked,
                PeakRssMb());
    return result.outcome == GoodsImportResult::Done ? 0 : 1;
}
