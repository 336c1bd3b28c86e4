// Shows the 其他收支 or the 存款管理 page with a few entries, for looking at them on a
// screen: finance_demo [other | bank | summary | entry].
#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QTemporaryDir>
#include <QTimer>

#include "app/open_database.h"
#include "app/provision.h"
#include "common/program_dir.h"
#include "common/settings.h"
#include "finance/bank_entry_window.h"
#include "finance/bank_page.h"
#include "finance/other_page.h"
#include "platform/record_grid.h"
#include "store/shared_db.h"

namespace {

QFrame* Frame(QWidget* parent, const char* name, int x, int y, int w, int h) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromUtf8(name));
    frame->setGeometry(x, y, w, h);
    return frame;
}

void AddSamples() {
    const char* other[][4] = {{"收入", "房租收入", "1", "1500"},
                              {"支出", "水电费", "3", "85.5"},
                              {"支出", "包装纸", "20", "1.2"},
                              {"收入", "废品回收", "12", "0.8"},
                              {"退货", "手工录入", "1", "30"}};
    for (const auto& e : other) {
        const double quantity = QString::fromUtf8(e[2]).toDouble();
        const double price = QString::fromUtf8(e[3]).toDouble();
        SharedConnection().Execute(
            "insert into other (类型, 编号, 项目, 数量, 单价, 金额, 日期, 备注) "
            "values (?, '2012615937', ?, ?, ?, ?, '2012-06-15', '现金')",
            {QString::fromUtf8(e[0]), QString::fromUtf8(e[1]), quantity, price, quantity * price});
    }
    const char* bank[][4] = {{"工商银行", "6222 0001", "存款", "5000"},
                             {"工商银行", "6222 0001", "取款", "-1200"},
                             {"工商银行", "6222 0002", "转入", "800"},
                             {"农业银行", "6228 1111", "转出", "-300"}};
    for (const auto& e : bank)
        SharedConnection().Execute(
            "insert into bank (银行, 账户, 方式, 金额, 日期, 备注) values (?, ?, ?, ?, "
            "'2012-06-15', '柜台')",
            {QString::fromUtf8(e[0]), QString::fromUtf8(e[1]), QString::fromUtf8(e[2]),
             QString::fromUtf8(e[3]).toDouble()});
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString what = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("other");
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    QFile config(ConfigPath());
    if (config.open(QIODevice::WriteOnly)) config.write(DefaultConfigBytes());
    config.close();
    CreateDatabaseFile(DatabasePath());
    SetDatabaseOpener(OpenDatabase);
    OpenDatabase();
    AddSamples();

    QWidget window;
    window.setWindowTitle(QStringLiteral("finance demo"));
    window.setGeometry(0, 0, 1008, 608);
    if (what == QLatin1String("other")) {
        QFrame* host = Frame(&window, "其他收支框架", 0, 0, 797, 530);
        BuildOtherPage(host, Frame(&window, "其他图片框", 3, 532, 792, 70),
                       Frame(&window, "其他图片库右一", 797, 0, 210, 300),
                       Frame(&window, "其他图片库右二", 797, 300, 210, 300));
        CreateOtherGrid(796, 530);
        OtherGrid()->Cell(2, 3).SetFocus();
    } else {
        QFrame* host = Frame(&window, "存款框架", 0, 0, 1008, 562);
        BuildBankPage(host, Frame(&window, "存款图片框", 3, 564, 1002, 40));
        CreateBankGrid(1008, 562);
        if (what == QLatin1String("summary")) {
            SetupBankSummaryGrid();
            FillBankSummaryGrid();
        }
    }
    window.show();
    if (what == QLatin1String("entry")) {
        RecordGrid* g = BankGrid();
        OpenBankEntryChange(
            &window,
            BankEntryRow{g->CellText(2, 1), g->CellText(2, 4), g->CellText(2, 2), g->CellText(2, 3),
                         g->CellText(2, 5), g->CellText(2, 6), g->CellText(2, 7)})
            ->move(400, 150);
    }
    return app.exec();
}
