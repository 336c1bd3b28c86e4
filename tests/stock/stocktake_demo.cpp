// The stocktake window over a plain main window, counted part way, for looking at it:
// stocktake_demo
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include "app/open_database.h"
#include "app/provision.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "ledger/stocktake.h"
#include "stock/stocktake_window.h"
#include "store/shared_db.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setFont(QFont(QStringLiteral("WenQuanYi Zen Hei"), 9));
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    SetDatabaseOpener(OpenDatabase);
    // The default settings (the list colours), without the first start's questions.
    QFile config(ProgramFile(QStringLiteral("config.ini")));
    if (config.open(QIODevice::WriteOnly)) config.write(DefaultConfigBytes());
    config.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    config.close();
    CreateDatabaseFile(DatabasePath());
    OpenDatabase();
    CurrentSession().userName = kSuperAdmin;
    CurrentSession().userRole = kSuperAdmin;
    SharedConnection().Execute(
        "insert into buy (名称,型号,编码,类型,进货数量,进货单价,进货金额,销售单价,存货数量,"
        "存货金额,入库日期,供货商) values "
        "('圆珠笔','B2','6901001','文具',20,1.5,30,3,20,30,'2026-11-01','晨光'),"
        "('笔记本','A5','6901002','文具',12,4,48,8,12,48,'2026-11-01','晨光'),"
        "('墨水','蓝','6901003','文具',6,6.5,39,12,6,39,'2026-11-03','英雄'),"
        "('胶水','50ml','6901004','文具',8,2,16,4,8,16,'2026-11-03','得力'),"
        "('订书机','12号','6901005','文具',3,15,45,28,3,45,'2026-11-05','得力')");
    DbConnection& db = SharedConnection();
    const qint64 take =
        ledger::StartStocktake(db, ledger::StocktakeScope::AllGoods, {}, QStringLiteral("店员")).id;
    for (int i = 0; i < 18; ++i) ledger::CountScanned(db, take, "6901001", QStringLiteral("店员"));
    ledger::SetCount(db, take, 2, 13, QStringLiteral("店员"));
    ledger::SetCount(db, take, 3, 5, QStringLiteral("店员"));
    ledger::CountScanned(db, take, "9787111", QStringLiteral("店员"));

    QWidget main;
    main.setWindowTitle(QStringLiteral("岚库通进销存管理系统"));
    main.setGeometry(0, 0, 1040, 680);
    main.show();
    StocktakeWindow* window = OpenStocktakeWindow(&main);
    window->move(20, 20);
    return app.exec();
}
