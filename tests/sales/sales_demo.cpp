// The sales page, the sell window and the modify-sale window, for looking at them:
// sales_demo [sell|modify|scan|debts|shift|dayclose|barcodes]
#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QWidget>

#include "app/open_database.h"
#include "app/provision.h"
#include "common/date_text.h"
#include "common/ini.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "common/settings.h"
#include "ledger/customers.h"
#include "platform/record_grid.h"
#include "sales/customer_debts_window.h"
#include "sales/modify_sale_window.h"
#include "sales/sales_page.h"
#include "sales/scan_sale_window.h"
#include "sales/sell_window.h"
#include "sales/shift_window.h"
#include "store/shared_db.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    app.setFont(QFont(QStringLiteral("WenQuanYi Zen Hei"), 9));
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    SetDatabaseOpener(OpenDatabase);
    QFile config(ProgramFile(QStringLiteral("config.ini")));
    config.open(QIODevice::WriteOnly);
    config.write(DefaultConfigBytes());
    config.close();
    QFile receipt(ProgramFile(QStringLiteral("配置.ini")));
    receipt.open(QIODevice::WriteOnly);
    receipt.write(DefaultReceiptBytes());
    receipt.close();
    CreateDatabaseFile(DatabasePath());
    OpenDatabase();
    CurrentSession().userRole = kSuperAdmin;
    SharedConnection().Execute(
        "insert into buy (名称,型号,编码,类型,进货数量,进货单价,进货金额,销售单价,存货数量,"
        "存货金额,首拼) values ('圆珠笔','B2','YZBB2','文具',5,10,50,12.5,5,50,'YZB')");
    const char* sales[] = {
        "('圆珠笔','B2','YZBB2','文具',10,12.5,2,25,'2012-06-03',0,5,'2012639','张三','138','东街',"
        "'',1)",
        "('笔记本','A5','BJB','文具',3,5,10,50,'2012-06-08',20,20,'2012689','李四','139','西街','"
        "月结',2)",
        "('台灯','T1','TD','电器',30,45,1,45,'2012-06-15',0,15,'20126159','王五','','','',3)"};
    for (const char* values : sales)
        SharedConnection().Execute(
            QStringLiteral("insert into sell (名称,型号,编码,类型,进货单价,销售单价,销售数量,"
                           "销售金额,销售日期,欠款额,净利润,客户编号,客户名称,联系方式,客户地址,"
                           "备注,UID) values ") +
            QString::fromUtf8(values));

    if (argc > 1 && QByteArray(argv[1]) == "barcodes")  // full codes and late dates
        SharedConnection().Execute(
            "update sell set 编码 = '690123456789' || ID, 销售日期 = '2026-12-2' || (ID + 5)");
    QWidget main;
    main.setWindowTitle(QStringLiteral("岚库通进销存管理系统"));
    main.setGeometry(0, 0, 1028, 681);
    auto* frame = new QFrame(&main);
    frame->setGeometry(10, 36, 1008, 530);
    auto* panel = new QFrame(&main);
    panel->setGeometry(13, 568, 1002, 70);
    panel->setFrameShape(QFrame::StyledPanel);
    BuildSalesPage(frame, panel, SalesPageHooks{&main});
    main.show();
    CreateSalesGrid(1008, 530);
    SalesGrid()->Cell(3, 3).SetFocus();  // shows the row marker

    const QByteArray mode = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    if (mode == "sell") {
        GoodsRow pens;
        LoadGoodsRow(QStringLiteral("1"), &pens);
        auto* sell = new SellWindow(&main, &pens);
        sell->show();
    } else if (mode == "modify") {
        OpenModifySaleWindow(&main, SalesGrid(), 3)->move(300, 150);
    } else if (mode == "debts") {
        SharedConnection().Execute(
            "insert into customer (编号,名称,联系方式,地址) values ('1','张三','138','东街'),"
            "('2','李四','139','西街'),('3','张三丰','','')");
        SharedConnection().Execute(
            "update sell set 客户ID = (select ID from customer c where c.名称 = sell.客户名称)");
        SharedConnection().Execute("update sell set 欠款额 = 8 where ID = 1");
        SharedConnection().Execute(
            "insert into sell (名称,销售金额,销售日期,欠款额,客户名称,客户ID) values "
            "('台灯',45,'2012-06-20',45,'张三',1),('毛巾',12,'2012-06-21',12,'张三丰',3)");
        ledger::PaymentInput payment;
        payment.customerId = 1;
        payment.日期 = QDateTime(QDate(2012, 6, 25), QTime(16, 20));
        payment.金额 = 20;
        payment.方式 = QStringLiteral("微信");
        ledger::RecordPayment(SharedConnection(), payment);
        auto* debts = new CustomerDebtsWindow(&main);
        debts->ChooseCustomer(1);
        debts->move(100, 60);
        debts->show();
    } else if (mode == "scan") {
        SharedConnection().Execute(
            "insert into buy (名称,编码,进货单价,销售单价,存货数量,首拼) values "
            "('笔记本A5','6902',3,5,20,'BJBA5'),('液晶显示器二十四寸','6903',600,899,3,'YJXSQESSC'"
            ")");
        auto* scan = new ScanSaleWindow(&main);
        scan->move(180, 90);
        scan->show();
        for (const char* code : {"YZBB2", "6902", "6903", "YZBB2"}) {
            scan->商品编码编辑框->setText(QString::fromUtf8(code));
            scan->OnConfirmCode();
        }
        scan->OnPreview();
    } else if (mode == "shift" || mode == "dayclose") {
        // A day at two tills: two clerks each hand over a shift, the owner closes the day.
        const QDate day(2026, 12, 11);
        const char* const methods[] = {"现金", "微信", "支付宝", "现金", "银行卡"};
        struct Shift {
            const char* till;
            const char* user;
            int start, end;
            double counted;
        } shifts[] = {{"前台1", "小王", 8, 14, 512.5}, {"前台2", "小李", 9, 17, 300}};
        for (const Shift& s : shifts) {
            SetNowForTest(QDateTime(day, QTime(s.start, 0)));
            const qint64 id = ledger::StartShift(SharedConnection(), s.till, s.user, 200).id;
            for (int i = 0; i < 12; ++i) {
                SetNowForTest(QDateTime(day, QTime(s.start, 10 + i * 4)));
                SaleInput sale;
                sale.goodsId = QStringLiteral("1");
                sale.名称 = QStringLiteral("圆珠笔");
                sale.销售单价 = 12.5;
                sale.销售数量 = 1 + i % 3;
                sale.销售金额 = 12.5 * sale.销售数量;
                sale.欠款额 = i == 5 ? 12.5 : 0;
                sale.销售日期 = day;
                sale.tillName = QString::fromUtf8(s.till);
                sale.user = QString::fromUtf8(s.user);
                sale.payMethod = QString::fromUtf8(methods[i % 5]);
                SharedConnection().Execute("update buy set 存货数量 = 100, 进货数量 = 100");
                ledger::RecordSale(SharedConnection(), sale);
            }
            if (mode == "shift" && s.till == shifts[0].till) {
                SetNowForTest(QDateTime(day, QTime(s.end, 0)));
                IniWrite(ConfigPath(), kServerSection, QStringLiteral("收银台"), s.till);
                CurrentSession().userName = QString::fromUtf8(s.user);
                auto* window = new ShiftWindow(&main);
                window->move(300, 60);
                window->show();
                return app.exec();
            }
            SetNowForTest(QDateTime(day, QTime(s.end, 0)));
            ledger::Shift handed;
            ledger::HandOverShift(SharedConnection(), id, s.counted, &handed);
        }
        auto* window = new DayCloseWindow(&main);
        window->move(10, 20);
        window->show();
    }
    return app.exec();
}
