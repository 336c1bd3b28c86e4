// The lists after a change of the books show what a refill of every row would show, while the
// change itself only touches the rows it changed.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include "app/login_window.h"
#include "admin/maintenance_window.h"
#include "app/main_window.h"
#include "app/open_database.h"
#include "app/program_exit.h"
#include "common/ini.h"
#include "common/session.h"
#include "common/settings.h"
#include "finance/other_page.h"
#include "ledger/goods.h"
#include "ledger/other.h"
#include "ledger/sales.h"
#include "platform/list_refresh.h"
#include "platform/list_watch.h"
#include "platform/record_grid.h"
#include "platform/till_keeper.h"
#include "sales/modify_sale_window.h"
#include "sales/sale_transaction.h"
#include "sales/sales_page.h"
#include "sales/sell_window.h"
#include "stats/summary_page.h"
#include "stock/goods_refresh.h"
#include "stock/stock_page.h"
#include "store/password_hash.h"
#include "store/server_session.h"
#include "store/shared_db.h"
#include "store/statement.h"
#include "support/program_fixture.h"
#include "support/test_server.h"

namespace {

class ListUpdateBooks : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        SetProgramEnding([] {});
        Provision();
        ASSERT_TRUE(SharedConnection().Execute(
            "insert into UserName (用户名, 密码, 权限) values ('店员', ?, '普通管理员')",
            {HashPassword("1")}));
        // Lines under every row: the setting whose styles an added row must repeat exactly.
        WriteSetupKey(SetupKey::kLine, "1");
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<LoginWindow*>(w)) delete w;
        delete TheMainWindow();
        SetProgramEnding(nullptr);
        ProgramFixture::TearDown();
    }
    MainWindow* OpenEveryList() {
        LoginWindow* login = OpenLoginWindow();
        login->组合框1->setCurrentIndex(1);
        login->编辑框2->setText("642");
        login->Login();
        dialogs_.Clear();
        MainWindow* w = TheMainWindow();
        EXPECT_NE(w, nullptr);
        if (!w) return nullptr;
        for (int page : {0, 1, 3, 5}) w->ShowPage(page);
        return w;
    }
    qint64 AddGoods(const QString& name, double stock, double stockAmount) {
        EXPECT_TRUE(SharedConnection().Execute(
            "insert into buy (名称, 类型, 进货数量, 进货单价, 进货金额, 销售单价, 存货数量, "
            "存货金额, 入库日期) values (?, '文具', ?, 2, ?, 5, ?, ?, '2012-06-03')",
            {name, stock, stock * 2, stock, stockAmount}));
        DbRecordSet records;
        records.Open("select max(ID) as id from buy", SharedConnection(), true);
        return FieldNumber(records, "id");
    }
    // Every cell of a list as it shows: text, colours, boldness and lines.
    static QStringList Look(RecordGrid* g) {
        QStringList cells{QString::number(g->FrozenBottomRows())};
        for (int r = 0; r < g->Rows(); ++r)
            for (int c = 0; c < g->Cols(); ++c) {
                GridCell cell = g->Cell(r, c);
                cells << QStringLiteral("%1,%2 %3 %4/%5 %6 %7%8")
                             .arg(r)
                             .arg(c)
                             .arg(g->CellText(r, c))
                             .arg(cell.ForeColor())
                             .arg(cell.BackColor())
                             .arg(cell.FontBold())
                             .arg(cell.Border(RecordGrid::cellInsideVertical))
                             .arg(cell.Border(RecordGrid::cellInsideHorizontal));
            }
        return cells;
    }
    void ExpectAsRefilled(const char* step) {
        const std::pair<ListId, RecordGrid*> lists[] = {{ListId::Stock, StockGrid()},
                                                        {ListId::Sales, SalesGrid()},
                                                        {ListId::Summary, SummaryGrid()},
                                                        {ListId::Other, OtherGrid()}};
        for (const auto& [list, grid] : lists) {
            ASSERT_NE(grid, nullptr);
            const QStringList updated = Look(grid);
            RefillWholeList(list);
            EXPECT_EQ(updated.join(u'\n').toStdString(), Look(grid).join(u'\n').toStdString())
                << step << " list " << int(list);
        }
    }
    SaleInput Sale(qint64 goods, double quantity, double debt) {
        SaleInput sale;
        sale.goodsId = QString::number(goods);
        sale.名称 = "x";
        sale.销售单价 = 5;
        sale.销售数量 = quantity;
        sale.销售金额 = 5 * quantity;
        sale.欠款额 = debt;
        sale.销售日期 = QDate(2012, 6, 15);
        return sale;
    }
};

using ListUpdates = OnBothStores<ListUpdateBooks>;
LK_ON_BOTH_STORES(ListUpdates);

TEST_P(ListUpdates, EveryChangeLeavesEachListAsAFullRefillWould) {
    const qint64 pen = AddGoods("笔", 5, 10);
    const qint64 ink = AddGoods("墨\t水", 2, 4);
    AddGoods("纸", 9, 18);
    OpenEveryList();
    dialogs_.AnswerSkin(1);

    ASSERT_TRUE(SaleTransaction(Sale(pen, 2, 3)));  // in debt: its own colour
    ExpectAsRefilled("sale in debt");
    ASSERT_TRUE(SaleTransaction(Sale(ink, 2, 0)));  // the last ones: zero stock colour
    ExpectAsRefilled("sale of the last stock");
    EXPECT_EQ(SalesGrid()->Rows(), 5);

    ASSERT_TRUE(ledger::Restock(SharedConnection(), ink, 0.1).IsDone());
    RefreshStockRow(ink);
    RefreshSummaryRow(ink);
    ExpectAsRefilled("restock");

    ledger::GoodsInput changed{"文具", "钢笔", "F1", "GB", 3, 5, 9, "", "", "GB", {}};
    ASSERT_TRUE(ledger::ModifyGoods(SharedConnection(), pen, changed).IsDone());
    RefreshStockRow(pen);
    RefreshSummaryRow(pen);
    ExpectAsRefilled("modified goods");

    ASSERT_TRUE(ledger::ModifySale(SharedConnection(), 1, {0, "张三", "", "", ""}).IsDone());
    UpdateListRow(ListId::Sales, 1);
    ExpectAsRefilled("debt paid");

    dialogs_.AnswerSystem(BoxAnswer::Ok);
    ASSERT_TRUE(DeleteSale(SalesGrid(), 2));
    ExpectAsRefilled("deleted sale");

    const LedgerResult added = ledger::StockIn(
        SharedConnection(), {"电器", "灯", "L", "D", 20, 1, 30, "", "", "D", QDate(2012, 6, 4)});
    ASSERT_TRUE(added.IsDone());
    RefreshStockRow(added.goodsId);
    RefreshSummaryRow(added.goodsId);
    ExpectAsRefilled("new goods");

    CurrentSession().selectedRow = 3;  // 墨水
    dialogs_.AnswerSkin(1);
    OnDeleteGoods();
    ExpectAsRefilled("deleted goods");
    EXPECT_EQ(StockGrid()->Rows(), 2 + 3 + 1);

    ledger::OtherEntry entry;
    entry.类型 = "收入";
    entry.编号 = "S1";
    entry.项目 = "房租";
    entry.数量 = "1";
    entry.金额 = 100;
    entry.日期 = QDate(2012, 6, 5);
    ASSERT_TRUE(ledger::RecordOtherEntry(SharedConnection(), entry).IsDone());
    FillOtherGrid();
    ExpectAsRefilled("income entry");
}

// A second till on the same ledger: what it commits reaches this copy's lists at the next look,
// row by row, and a burst too large to follow row by row refills them.
TEST_P(ListUpdates, AnotherTillsChangesReachTheListsByThemselves) {
    const qint64 pen = AddGoods("笔", 5, 10);
    const qint64 ink = AddGoods("墨水", 2, 4);
    OpenEveryList();
    ListWatch watch;
    watch.Start();
    DbConnection till;
    ASSERT_TRUE(OpenTill(till)) << till.GetErrorDescription().toStdString();

    const LedgerResult sold = ledger::RecordSale(till, Sale(pen, 2, 3));
    ASSERT_TRUE(sold.IsDone());
    ASSERT_TRUE(ledger::RecordSale(till, Sale(ink, 1, 0)).IsDone());
    ASSERT_TRUE(ledger::Restock(till, ink, 4).IsDone());
    watch.Look();
    EXPECT_EQ(SalesGrid()->Rows(), 2 + 2 + 1);
    ExpectAsRefilled("the other till's sales and restock");

    ASSERT_TRUE(ledger::DeleteSale(till, sold.saleId).IsDone());
    ASSERT_TRUE(ledger::DeleteGoods(till, pen).IsDone());
    watch.Look();
    EXPECT_EQ(SalesGrid()->Rows(), 2 + 1 + 1);
    ExpectAsRefilled("the other till's deletions");

    ASSERT_TRUE(till.Execute(
        "with recursive n(i) as (select 1 union all select i + 1 from n where i < 600) "
        "insert into other (类型, 项目, 金额, 日期) select '支出', '杂费', i, '2012-06-05' from "
        "n"));
    watch.Look();
    EXPECT_EQ(OtherGrid()->Rows(), 1 + 600 + 1);
    ExpectAsRefilled("an import at the other till");

    // Books replaced whole (a restore, a move to a server) start their log again.
    ASSERT_TRUE(till.Execute("delete from change_log"));
    ASSERT_TRUE(
        till.Execute(store_ == StoreKind::Server
                         ? "select setval(pg_get_serial_sequence('change_log', 'seq'), 1, false)"
                         : "delete from sqlite_sequence where name = 'change_log'"));
    ASSERT_TRUE(ledger::Restock(till, ink, 1).IsDone());
    watch.Look();
    ExpectAsRefilled("a log started again");
}

TEST_P(ListUpdates, TotalsShowNoLeftoverOfBinaryFractions) {
    for (double amount : {0.1, 0.2, -0.3}) AddGoods("纸", 1, amount);
    OpenEveryList();
    EXPECT_EQ(StockGrid()->CellText(5, 13), "0");
    EXPECT_EQ(SummaryGrid()->CellText(5, 11), "0");
}

// A clerk at a till whose settings name no login of the owner's: the login window lists the
// users as the server's guest, the login goes on as the clerk's own role, and every list opens,
// sells and follows its sale without a cost column read.
class ClerkOnServer : public ListUpdateBooks {
  protected:
    void SetUp() override {
        store_ = StoreKind::Server;
        ListUpdateBooks::SetUp();
    }
    void LogIn(const QString& password) {
        LoginWindow* login = OpenLoginWindow();
        ASSERT_EQ(login->组合框1->itemText(0), QStringLiteral("店员"));
        login->组合框1->setCurrentIndex(0);
        login->编辑框2->setText(password);
        login->Login();
    }
};

TEST_F(ClerkOnServer, ListsOpenAndFollowASaleUnderTheClerksOwnRole) {
    const qint64 pen = AddGoods("笔", 5, 10);
    // The clerk's first login at the owner's till gives it its server login.
    LogIn(QStringLiteral("1"));
    ASSERT_NE(TheMainWindow(), nullptr);
    dialogs_.Clear();
    QString tills = server_;
    tills.replace(QStringLiteral("user=lk "), QString());
    IniWrite(ConfigPath(), kServerSection, ServerKey::kConnection, tills);
    SharedConnection().Close();
    OpenDatabase();
    ASSERT_TRUE(SharedConnection().IsOpen()) << dialogs_.Texts().join(u'\n').toStdString();

    LogIn(QStringLiteral("2"));  // the server refuses it: the user is told, nothing changes
    EXPECT_FALSE(dialogs_.Texts().isEmpty());
    dialogs_.Clear();
    LogIn(QStringLiteral("1"));
    ASSERT_NE(SharedConnection().Server(), nullptr);
    EXPECT_FALSE(SharedConnection().Server()->SeesCosts());
    for (int page : {0, 1, 3, 5}) TheMainWindow()->ShowPage(page);
    EXPECT_TRUE(dialogs_.Texts().isEmpty()) << dialogs_.Texts().join(u'\n').toStdString();
    dialogs_.AnswerSkin(1);
    ASSERT_TRUE(SaleTransaction(Sale(pen, 2, 0)));
    ExpectAsRefilled("a clerk's sale");
    EXPECT_EQ(SharedConnection().Server()->Database(), ConnectionDatabase(server_));
}

// A till whose server dies in the middle of the day: the next sale from the sell window goes
// through on the till's copy without a question and the banner counts it; once the server is
// back, the till's next look books the sale there once and puts the till back on the server.
class TillOnServer : public ListUpdateBooks {
  protected:
    void SetUp() override {
        store_ = StoreKind::Server;
        ListUpdateBooks::SetUp();
        // A daily copy of the books that the stopped server cuts short would tell so.
        WriteSetupKey(kAutoBackupKey, QStringLiteral("否"));
    }
    // One look of the till keeper, run to its end as its timer would run it.
    static void LookNow(TillKeeper* keeper) {
        keeper->Look();
        while (keeper->Busy()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
    }
    qint64 OnServer(const char* sql) {
        Statement read(SharedConnection(), QString::fromUtf8(sql));
        return read.Next() ? read.Int64(0) : -1;
    }
};

TEST_F(TillOnServer, ASaleAfterTheServerDiedWaitsOnTheTillAndIsBookedOnceOnItsReturn) {
    const qint64 pen = AddGoods("笔", 5, 10);
    MainWindow* w = OpenEveryList();
    ASSERT_NE(w, nullptr);
    LookNow(w->tillKeeper_);  // the till's copy is current
    TestServer& server = TestServer::Instance();
    server.Stop();

    CurrentSession().selectedId = QString::number(pen);
    dialogs_.OnWindow([](QDialog* dialog) {
        auto* sell = qobject_cast<SellWindow*>(dialog);
        ASSERT_NE(sell, nullptr);
        sell->销售数量框->setText("2");
        sell->Confirm();
    });
    dialogs_.AnswerSkin(1);
    TheStockPage().商品销售->trigger();
    EXPECT_EQ(dialogs_.Texts(), (QStringList{"SellWindow", "销售商品完成"}))
        << dialogs_.Texts().join(u'|').toStdString();
    EXPECT_TRUE(TillSellsOffline());
    EXPECT_TRUE(w->离线提示->isVisible());
    EXPECT_TRUE(w->离线提示->text().contains(QStringLiteral("1 笔销售等待上传")))
        << w->离线提示->text().toStdString();
    EXPECT_EQ(SalesGrid()->Rows(), 2 + 1 + 1);
    ExpectAsRefilled("the sale on the till's copy");

    ASSERT_TRUE(server.Restart()) << server.Error().toStdString();
    dialogs_.Clear();
    LookNow(w->tillKeeper_);
    EXPECT_TRUE(dialogs_.Texts().isEmpty()) << dialogs_.Texts().join(u'\n').toStdString();
    ASSERT_FALSE(TillSellsOffline());
    EXPECT_FALSE(w->离线提示->isVisible());
    EXPECT_EQ(OnServer("select count(*) from sell"), 1);
    EXPECT_EQ(OnServer("select 存货数量 from buy"), 3);
    ExpectAsRefilled("back on the server");
}

}  // namespace
