// The goods windows over a plain main window, for looking at them:
// goods_demo [restock]   (restock: the restock window instead of a new stock-in)
#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include "app/open_database.h"
#include "common/program_dir.h"
#include "stock/modify_goods_window.h"
#include "stock/stock_in_window.h"
#include "store/shared_db.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setFont(QFont(QStringLiteral("WenQuanYi Zen Hei"), 9));
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    SetDatabaseOpener(OpenDatabase);
    CreateDatabaseFile(DatabasePath());
    OpenDatabase();
    SharedConnection().Execute(
        "insert into buy (名称,型号,编码,类型,进货数量,进货单价,进货金额,销售数量,销售单价,"
        "销售金额,存货数量,存货金额,入库日期,供货商,备注) values ('圆珠笔','B2','YZBB2','文具',5,"
        "10,50,4,12,48,1,10,'2012-05-01','晨光','蓝色')");
    GoodsRow pens;
    LoadGoodsRow(QStringLiteral("1"), &pens);

    QWidget main;
    main.setWindowTitle(QStringLiteral("岚库通进销存管理系统"));
    main.setGeometry(20, 20, 1000, 700);
    main.show();
    const bool restock = argc > 1 && QByteArray(argv[1]) == "restock";
    StockInWindow* stockIn = OpenStockInWindow(&main, restock, &pens);
    stockIn->move(60, 80);
    ModifyGoodsWindow* modify = OpenModifyGoodsWindow(&main, pens);
    modify->move(60 + stockIn->frameGeometry().width() + 20, 80);
    return app.exec();
}
