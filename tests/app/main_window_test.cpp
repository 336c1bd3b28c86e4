#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <functional>

#include "admin/maintenance_window.h"
#include "admin/settings_window.h"
#include "admin/user_window.h"
#include "app/help.h"
#include "app/login_window.h"
#include "app/program_exit.h"
#include "common/session.h"
#include "finance/bank_entry_window.h"
#include "finance/bank_page.h"
#include "finance/other_page.h"
#include "platform/field_names.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "platform/skin_panel.h"
#include "sales/customer_debts_window.h"
#include "sales/modify_sale_window.h"
#include "sales/payment_window.h"
#include "sales/printer_choice_window.h"
#include "sales/sales_page.h"
#include "sales/scan_sale_window.h"
#include "sales/sell_window.h"
#include "sales/shift_window.h"
#include "stats/bar_chart.h"
#include "stats/chart_page.h"
#include "stats/summary_page.h"
#include "stock/catalogue_window.h"
#include "stock/goods_row.h"
#include "stock/import_window.h"
#include "stock/modify_goods_window.h"
#include "stock/stock_in_window.h"
#include "stock/stock_page.h"
#include "stock/stocktake_window.h"
#include "store/password_hash.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"
#include "support/workbook_reader.h"

namespace {

class MainFrame : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        SetProgramEnding([this] { ++ended_; });
        Provision();
        ASSERT_TRUE(SharedConnection().Execute(
            "insert into UserName (用户名, 密码, 权限) values ('店员', ?, '普通管理员')",
            {HashPassword("1")}));
    }
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<LoginWindow*>(w)) delete w;
        delete TheMainWindow();
        SetProgramEnding(nullptr);
        ProgramFixture::TearDown();
    }
    // Logs in through a login window as the user at list position index.
    void LogIn(int index, const QString& password) {
        LoginWindow* login = OpenLoginWindow();
        login->组合框1->setCurrentIndex(index);
        login->编辑框2->setText(password);
        login->Login();
    }
    MainWindow* LogInAsAdmin() {
        LogIn(1, "642");
        dialogs_.Clear();
        return TheMainWindow();
    }
    int ended_ = 0;
};

TEST_F(MainFrame, OpensAtItsSizeWithTheWelcomePageAndTheSkin) {
    MainWindow* w = LogInAsAdmin();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->geometry(), QRect(50, 50, 1028, 681));
    EXPECT_EQ(w->windowTitle(), kDefaultTitle + " V1.2");
    EXPECT_EQ(w->总框架->currentIndex(), MainWindow::kWelcomePage);
    EXPECT_EQ(w->总框架->count(), 7);
    EXPECT_EQ(w->总框架->tabText(0), QStringLiteral("库管"));
    EXPECT_EQ(w->总框架->tabText(6), QStringLiteral("技术支持"));
    EXPECT_EQ(Skin::Instance().Window(), w);
    ASSERT_EQ(Skin::Instance().NavButtonCount(), 10);
    EXPECT_EQ(Skin::Instance().NavButtonCaption(0), QStringLiteral("商品库存"));
    EXPECT_EQ(Skin::Instance().NavButtonCaption(9), QStringLiteral("关于我们"));
    EXPECT_EQ(w->总框架->geometry(), QRect(3, 106, 1022, 550));
}

TEST_F(MainFrame, TheStatusTextNamesUserRoleDateAndTitle) {
    MainWindow* w = LogInAsAdmin();
    const QString expected = QStringLiteral("当前操作员：超级管理员（超级管理员）") +
                             QString(20, u' ') + QStringLiteral("今天是：2012-6-15") +
                             QString(30, u' ') + kDefaultTitle + QString(30, u' ') +
                             QStringLiteral("岚库通团队制作");
    EXPECT_EQ(Skin::Instance().StatusText(), expected);
    EXPECT_EQ(w->StatusText(), expected);
}

TEST_F(MainFrame, TheStockPageComesAtTheSecondTickAndTheTimerStops) {
    MainWindow* w = LogInAsAdmin();
    ASSERT_TRUE(w->时钟1->isActive());
    EXPECT_EQ(w->时钟1->interval(), 1000);
    w->ShowPage(3);
    w->On时钟1Tick();
    EXPECT_EQ(w->总框架->currentIndex(), MainWindow::kOtherPage);
    w->On时钟1Tick();
    EXPECT_EQ(w->总框架->currentIndex(), MainWindow::kStockPage);
    EXPECT_FALSE(w->时钟1->isActive());
}

TEST_F(MainFrame, NavigationShowsPagesAndIgnoresUnknownIndexes) {
    MainWindow* w = LogInAsAdmin();
    const int pages[] = {0, 1, 2, 3, 4, 5};
    for (int page : pages) {
        w->ShowPage(page);
        EXPECT_EQ(w->总框架->currentIndex(), page);
    }
    w->ShowPage(9);
    EXPECT_EQ(w->总框架->currentIndex(), MainWindow::kWelcomePage);
    w->ShowPage(10);
    w->ShowPage(-1);
    EXPECT_EQ(w->总框架->currentIndex(), MainWindow::kWelcomePage);
    EXPECT_TRUE(dialogs_.Shown().isEmpty());
}

TEST_F(MainFrame, ChangingUserRewritesTheStatusAndTheRoleChecksFollowTheNewUser) {
    MainWindow* w = LogInAsAdmin();
    w->ShowPage(7);
    ASSERT_EQ(dialogs_.Shown().size(), 1);  // the super administrator gets the window
    EXPECT_EQ(dialogs_.Shown()[0].kind, ShownBox::Kind::Window);
    EXPECT_EQ(dialogs_.Shown()[0].text, QStringLiteral("用户管理"));

    w->On更换用户();
    LoginWindow* login = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* l = qobject_cast<LoginWindow*>(top); l && l->isVisible()) login = l;
    ASSERT_NE(login, nullptr);
    ASSERT_EQ(login->组合框1->currentText(), QStringLiteral("店员"));
    login->编辑框2->setText("1");
    login->Login();
    EXPECT_EQ(TheMainWindow(), w);  // the same window, brought forward
    EXPECT_TRUE(
        Skin::Instance().StatusText().startsWith(QStringLiteral("当前操作员：店员（普通管理员）")));

    dialogs_.Clear();
    w->ShowPage(7);
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    const ShownBox& box = dialogs_.Shown()[0];
    EXPECT_EQ(box.kind, ShownBox::Kind::Skin);
    EXPECT_EQ(box.text, QStringLiteral(" 对不起，您不能这么做!\r\n\r\n请使用超级管理员账号登陆"));
    EXPECT_EQ(box.caption, QStringLiteral("出错了"));
    EXPECT_EQ(box.skinType, 1);
    EXPECT_EQ(box.skinIcon, 2);
}

TEST_F(MainFrame, TheChartsAreComputedAtEveryPressAndHideProfitFromTheNextUser) {
    MainWindow* w = LogInAsAdmin();
    const QString sale =
        "insert into sell (销售金额, 净利润, 销售日期) values (10, 4, '2012-06-15')";
    ASSERT_TRUE(SharedConnection().Execute(sale));
    w->ShowPage(2);
    BarChart* daily = TheChartPage().日销售统计柱状图控件;
    EXPECT_EQ(daily->Values()[14], 10);
    ASSERT_TRUE(SharedConnection().Execute(sale));
    w->ShowPage(2);
    EXPECT_EQ(daily->Values()[14], 20);

    OnDailyChartButton(ChartColumn::NetProfit);
    ASSERT_EQ(daily->Values()[14], 8);
    LogIn(0, "1");  // 店员, while the profit chart is on screen
    EXPECT_EQ(daily->Title(), QStringLiteral("日销售金额统计报表"));
    EXPECT_EQ(daily->Values()[14], 20);
}

TEST_F(MainFrame, SettingsAndUsersOpenFromTheirButtonsAndMenuItems) {
    MainWindow* w = LogInAsAdmin();
    w->ShowPage(6);
    for (QAction* a : w->系统菜单->actions())
        if (a->text() == QStringLiteral("系统设置") || a->text() == QStringLiteral("用户管理"))
            a->trigger();
    QStringList windows;
    for (const ShownBox& box : dialogs_.Shown())
        if (box.kind == ShownBox::Kind::Window) windows << box.text;
    EXPECT_EQ(windows, (QStringList{"系统设置", "系统设置", "用户管理"}));
}

TEST_F(MainFrame, ARefusedLoginAfterAChangeOfUserKeepsTheUserLoggedIn) {
    LogIn(0, "1");
    ASSERT_NE(TheMainWindow(), nullptr);
    LogIn(1, "641");  // the super administrator's name with a wrong password
    EXPECT_EQ(CurrentSession().userName, QStringLiteral("店员"));
    EXPECT_EQ(CurrentSession().userRole, kOrdinaryUser);
    EXPECT_FALSE(CostFiguresVisible());
}

// Goods bought 10 at 3.21 (32.1), 4 sold at 5 for a profit of 7.16, 6 left worth 19.26: the
// four figures no ordinary user may see.
class RoleChange : public MainFrame {
  protected:
    const QStringList kCosts = {"3.21", "32.1", "19.26", "7.16"};

    void SetUp() override {
        MainFrame::SetUp();
        ASSERT_TRUE(SharedConnection().Execute(
            "insert into buy (名称, 进货数量, 进货单价, 进货金额, 销售数量, 销售单价, 销售金额, "
            "存货数量, 存货金额) values ('纸', 10, 3.21, 32.1, 4, 5, 20, 6, 19.26)"));
        ASSERT_TRUE(SharedConnection().Execute(
            "insert into sell (UID, 名称, 销售单价, 销售数量, 销售金额, 净利润) "
            "values (1, '纸', 5, 4, 20, 7.16)"));
    }
    // Logs in through "更换用户".
    void ChangeUser(int index, const QString& password) {
        TheMainWindow()->On更换用户();
        LoginWindow* login = nullptr;
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* l = qobject_cast<LoginWindow*>(top); l && l->isVisible()) login = l;
        ASSERT_NE(login, nullptr);
        login->组合框1->setCurrentIndex(index);
        login->编辑框2->setText(password);
        login->Login();
    }
    static QStringList Shown(RecordGrid* g) {
        QStringList texts;
        for (int r = 0; r < g->Rows(); ++r)
            for (int c = 0; c < g->Cols(); ++c)
                if (g->Column(c).Width() > 0) texts << g->CellText(r, c);
        return texts;
    }
    static QStringList Held(RecordGrid* g) {
        QStringList texts;
        for (int r = 0; r < g->Rows(); ++r)
            for (int c = 0; c < g->Cols(); ++c) texts << g->CellText(r, c);
        return texts;
    }
    // Exports a list from its menu item with the selection on its first record row.
    QStringList Exported(QAction* item, const QString& name) {
        CurrentSession().selectedRow = 2;
        const QString file = File(name);
        dialogs_.AnswerFile(file);
        item->trigger();
        EXPECT_EQ(dialogs_.Texts().last(), QStringLiteral("输出Excel成功")) << name.toStdString();
        return ReadSheet(file).Texts();
    }
    QStringList CostsIn(const QStringList& texts) const {
        QStringList found;
        for (const QString& cost : kCosts)
            if (texts.contains(cost)) found << cost;
        return found;
    }
};

// The keys of the entry windows: Escape leaves each as its close button does, asking first
// where scanned goods would be lost; Enter confirms a stock-in as it confirms a sale; the
// sale's date is typed digit by digit.
TEST_F(RoleChange, TheEntryWindowsAnswerEscapeEnterAndTypedDates) {
    ASSERT_TRUE(SharedConnection().Execute("update buy set 编码 = '6901' where ID = 1"));
    MainWindow* w = LogInAsAdmin();
    for (int page : {0, 1}) w->ShowPage(page);
    GoodsRow goods;
    ASSERT_TRUE(LoadGoodsRow("1", &goods));
    auto press = [](QWidget* window, Qt::Key key) {
        QTest::keyClick(window->focusWidget() ? window->focusWidget() : window, key);
    };
    ScanSaleWindow* scan = nullptr;
    const QString typed =
        QStringLiteral("窗口中录入的内容还没有保存，关闭窗口后将丢失。\n\n确定要关闭吗？");
    const QString scanned = QStringLiteral(
        "列表中还有扫描的商品，关闭窗口后这些商品行和收据都不再保留。\n\n确定要关闭吗？");
    struct Case {
        const char* name;
        std::function<QWidget*()> open;
        QString asked;  // before the window closes; none when nothing would be lost
    };
    const Case windows[] = {
        {"新建入库", [&] { return OpenStockInWindow(w, false, nullptr); }, {}},
        {"新建入库（已录入）",
         [&] {
             StockInWindow* window = OpenStockInWindow(w, false, nullptr);
             QTest::keyClicks(window->findChild<QLineEdit*>("数量框"), "5");
             return window;
         },
         typed},
        {"商品续存", [&] { return OpenStockInWindow(w, true, &goods); }, {}},
        {"修改(退货)", [&] { return OpenModifyGoodsWindow(w, goods); }, {}},
        {"新建存取操作", [&] { return OpenNewBankEntry(w); }, {}},
        {"修改销售单", [&] { return OpenModifySaleWindow(w, SalesGrid(), 2); }, {}},
        {"扫描销售",
         [&] {
             scan = new ScanSaleWindow(w);
             scan->show();
             QTest::keyClicks(scan->商品编码编辑框, "6901");
             QTest::keyClick(scan->商品编码编辑框, Qt::Key_Return);
             return scan;
         },
         scanned},
    };
    for (const Case& c : windows) {
        SCOPED_TRACE(c.name);
        dialogs_.Clear();
        QPointer<QWidget> window = c.open();
        ASSERT_TRUE(window);
        if (!c.asked.isEmpty()) {
            dialogs_.AnswerSystem(BoxAnswer::No);
            press(window, Qt::Key_Escape);
            ASSERT_EQ(dialogs_.Texts(), QStringList{c.asked});
            ASSERT_TRUE(window->isVisible());
            dialogs_.Clear();
            dialogs_.AnswerSystem(BoxAnswer::Yes);
        }
        press(window, Qt::Key_Escape);
        EXPECT_FALSE(window && window->isVisible());
        EXPECT_EQ(dialogs_.Texts(), c.asked.isEmpty() ? QStringList{} : QStringList{c.asked});
    }
    delete scan;

    dialogs_.Clear();
    StockInWindow* stockIn = OpenStockInWindow(w, false, nullptr);
    stockIn->findChild<QComboBox*>("类别组合框")->setEditText(QStringLiteral("文具"));
    stockIn->findChild<QComboBox*>("名称组合框")->setEditText(QStringLiteral("尺子"));
    for (const char* box : {"进货单价框", "销售单价框", "数量框"}) {
        auto* edit = stockIn->findChild<QLineEdit*>(box);
        edit->setFocus();
        QTest::keyClicks(edit, "5");
    }
    press(stockIn, Qt::Key_Return);
    EXPECT_EQ(dialogs_.Texts(), QStringList{QStringLiteral("新建入库完成")});
    EXPECT_TRUE(LoadGoodsRow("2", &goods));
    stockIn->close();

    // Typed over the whole date, selected as with Ctrl+A or the mouse.
    SellWindow sell(w, &goods);
    sell.show();
    sell.activateWindow();
    QApplication::processEvents();  // the window becomes active, so that its boxes take focus
    sell.日期框1->setFocus();
    sell.日期框1->selectAll();
    QTest::keyClicks(sell.日期框1, "20110307");
    EXPECT_EQ(sell.日期框1->date(), QDate(2011, 3, 7));
}

TEST_F(RoleChange, EveryListExportAndWindowFollowsTheUserLoggedIn) {
    MainWindow* w = LogInAsAdmin();
    for (int page : {0, 1, 5}) w->ShowPage(page);
    QAction* summaryExport = SummaryMenu()->actions().last();
    EXPECT_EQ(CostsIn(Shown(StockGrid()) + Shown(SalesGrid()) + Shown(SummaryGrid())), kCosts);
    GoodsRow goods;
    ASSERT_TRUE(LoadGoodsRow("1", &goods));
    StockInWindow* restock = OpenStockInWindow(w, true, &goods);
    QPointer<ModifyGoodsWindow> modify = OpenModifyGoodsWindow(w, goods);
    EXPECT_EQ(restock->findChild<QLineEdit*>("进货单价框")->text(), "3.21");

    ChangeUser(0, "1");
    EXPECT_EQ(CurrentSession().userRole, kOrdinaryUser);
    for (RecordGrid* g : {StockGrid(), SalesGrid(), SummaryGrid()})
        EXPECT_EQ(CostsIn(Held(g)), QStringList{}) << g->objectName().toStdString();
    EXPECT_EQ(restock->findChild<QLineEdit*>("进货单价框")->text(), "*");
    EXPECT_FALSE(modify && modify->isVisible());
    EXPECT_EQ(CostsIn(Exported(TheStockPage().导出Excel, "stock.xlsx")), QStringList{});
    EXPECT_EQ(CostsIn(Exported(TheSalesPage().输出销售Excel, "sales.xlsx")), QStringList{});
    EXPECT_EQ(CostsIn(Exported(summaryExport, "summary.xlsx")), QStringList{});
    TheSalesPage().显示全部信息->trigger();
    EXPECT_EQ(SalesGrid()->Column(12).Width(), 0);
    CurrentSession().selectedRow = 2;
    TheSalesPage().销售快捷菜单->popup(QPoint(0, 0));
    EXPECT_FALSE(TheSalesPage().删除数据->isVisible());
    EXPECT_FALSE(TheSalesPage().隐藏净利润->isVisible());
    TheSalesPage().销售快捷菜单->hide();

    ChangeUser(1, "642");
    EXPECT_EQ(CostsIn(Shown(StockGrid()) + Shown(SalesGrid()) + Shown(SummaryGrid())), kCosts);
    EXPECT_EQ(StockGrid()->Column(7).Width(), static_cast<int>(0.06 * w->库管框架->width()));
    EXPECT_EQ(restock->findChild<QLineEdit*>("进货单价框")->text(), "3.21");
    EXPECT_EQ(CostsIn(Exported(TheStockPage().导出Excel, "stock2.xlsx")),
              (QStringList{"3.21", "32.1", "19.26"}));
    EXPECT_EQ(CostsIn(Exported(TheSalesPage().输出销售Excel, "sales2.xlsx")), QStringList{"7.16"});
    EXPECT_EQ(CostsIn(Exported(summaryExport, "summary2.xlsx")), (QStringList{"32.1", "19.26"}));
}

TEST_F(MainFrame, ResizingFitsTheContainerFramesAndPanels) {
    MainWindow* w = LogInAsAdmin();
    w->resize(1000, 700);
    EXPECT_EQ(w->总框架->geometry(), QRect(3, 106, 994, 569));
    EXPECT_EQ(w->库管框架->geometry(), QRect(0, 0, 994, 569 - w->库管图片框->height() - 4));
    EXPECT_EQ(w->库管图片框->geometry().topLeft(), QPoint(3, w->库管框架->height() + 2));
    EXPECT_EQ(w->库管图片框->width(), 988);
    EXPECT_EQ(w->汇总框架->size(), QSize(994, 569));
    EXPECT_EQ(w->其他收支框架->width(), 994 - w->其他图片库右一->width() - 1);
    EXPECT_EQ(w->其他图片库右一->x(), w->其他收支框架->width());
    EXPECT_EQ(w->其他图片库右二->pos(),
              QPoint(w->其他收支框架->width(), w->其他图片库右一->height()));
    EXPECT_EQ(w->图片框2->pos(), QPoint((994 - 640) / 2, (569 - 416) / 2));
}

TEST_F(MainFrame, ListPagesCreateTheirGridsOnceAndFollowTheWindow) {
    MainWindow* w = LogInAsAdmin();
    EXPECT_EQ(StockGrid(), nullptr);
    w->ShowPage(0);
    RecordGrid* stock = StockGrid();
    ASSERT_NE(stock, nullptr);
    w->ShowPage(0);
    EXPECT_EQ(StockGrid(), stock);
    EXPECT_EQ(stock->size(), w->库管框架->size());
    w->ShowPage(3);
    w->ShowPage(4);
    w->ShowPage(5);
    ASSERT_NE(OtherGrid(), nullptr);
    ASSERT_NE(BankGrid(), nullptr);
    ASSERT_NE(SummaryGrid(), nullptr);
    w->resize(1000, 700);
    EXPECT_EQ(stock->size(), w->库管框架->size());
    EXPECT_EQ(stock->Column(2).Width(), static_cast<int>(0.075 * 994));
    EXPECT_EQ(OtherGrid()->size(), w->其他收支框架->size());
    EXPECT_EQ(BankGrid()->size(), w->存款框架->size());
    EXPECT_EQ(SummaryGrid()->size(), w->汇总框架->size());
    EXPECT_EQ(SummaryGrid()->Column(0).Width(), 20);
    EXPECT_EQ(SummaryGrid()->Column(2).Width(), static_cast<int>(0.15 * 994));
}

TEST_F(MainFrame, TheStockMenuReachesTheSalesPageAndTheSellAndScanSaleWindows) {
    ASSERT_TRUE(SharedConnection().Execute(
        "insert into buy (名称, 存货数量, 销售单价) values ('纸', 5, 2)"));
    MainWindow* w = LogInAsAdmin();
    w->ShowPage(0);
    StockPage& page = TheStockPage();
    // The super administrator's items were decided before the menu was built.
    EXPECT_TRUE(page.隐藏进货单价->isVisible());
    EXPECT_TRUE(page.商品销售->isEnabled());
    page.销售记录->trigger();
    EXPECT_EQ(w->总框架->currentIndex(), MainWindow::kSalesPage);
    ASSERT_NE(SalesGrid(), nullptr);

    CurrentSession().selectedId = "1";
    page.商品销售->trigger();
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    EXPECT_EQ(dialogs_.Shown()[0].kind, ShownBox::Kind::Window);

    ASSERT_NE(page.按钮5, nullptr);
    page.按钮5->click();
    page.扫描销售->trigger();
    ASSERT_EQ(dialogs_.Shown().size(), 3);
    EXPECT_EQ(dialogs_.Shown()[1].text, "ScanSaleWindow");
    EXPECT_EQ(dialogs_.Shown()[2].text, "ScanSaleWindow");
}

TEST_F(MainFrame, ExitAsksAndOnlyConfirmationEndsTheProgram) {
    MainWindow* w = LogInAsAdmin();
    dialogs_.AnswerSkin(0);
    w->On退出程序();
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    EXPECT_EQ(dialogs_.Shown()[0].text, QStringLiteral("确认退出岚库通进销存管理系统"));
    EXPECT_EQ(dialogs_.Shown()[0].caption, kDefaultTitle);
    EXPECT_EQ(dialogs_.Shown()[0].skinType, 0);
    EXPECT_EQ(dialogs_.Shown()[0].skinIcon, 4);
    EXPECT_EQ(ended_, 0);
    EXPECT_TRUE(w->isVisible());
    dialogs_.AnswerSkin(1);
    w->On退出程序();
    EXPECT_EQ(ended_, 1);
}

TEST_F(MainFrame, MinimiseTwiceBringsTheWindowBack) {
    MainWindow* w = LogInAsAdmin();
    w->On最小化();
    // Hidden only where a tray icon can bring it back; minimised otherwise.
    EXPECT_EQ(w->isVisible(), w->托盘图标 == nullptr);
    EXPECT_EQ(w->isMinimized(), w->托盘图标 == nullptr);
    w->On最小化();
    EXPECT_TRUE(w->isVisible());
    EXPECT_FALSE(w->isMinimized());
    w->showMinimized();
    w->OnTrayDoubleClick();
    EXPECT_FALSE(w->isMinimized());
}

TEST_F(MainFrame, ChangingUserTwiceOpensOneLoginWindow) {
    MainWindow* w = LogInAsAdmin();
    w->On更换用户();
    w->On更换用户();
    int logins = 0;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (qobject_cast<LoginWindow*>(top) && top->isVisible()) ++logins;
    EXPECT_EQ(logins, 1);
}

TEST_F(MainFrame, TheMenusHoldEveryItemInOrder) {
    MainWindow* w = LogInAsAdmin();
    QStringList items;
    for (QAction* a : w->系统菜单->actions()) items << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(items,
              (QStringList{"系统设置", "用户管理", "数据备份", "-", "最小化", "-", "官方网站",
                           "关于我们", "-", "交班", "日结", "更换用户", "退出程序"}));
    items.clear();
    for (QAction* a : w->帮助菜单->actions()) items << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(items, (QStringList{"视频教程", "-", "最新特性", "-", "使用帮助", "在线帮助", "-",
                                  "问题反馈", "-", "检查更新"}));
}

// The end comes after the day's backup that the login started: it is never cut short and
// never runs on while the program goes.
TEST_F(MainFrame, ClosingTheWindowEndsTheProgramWithoutAsking) {
    MainWindow* w = LogInAsAdmin();
    w->close();
    EXPECT_EQ(ended_, 1);
    EXPECT_TRUE(dialogs_.Shown().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(File(QStringLiteral("备份/自动备份_20120615.db"))));
}

// Without a mouse: Ctrl+digit presses the navigation button of that place, F10 and Alt alone
// open the system menu below its button and F1 the help menu, Tab reaches the skin's buttons,
// Space and Enter press them, and each button names its action and its key.
TEST_F(MainFrame, TheKeyboardReachesThePagesTheMenusAndTheSkinButtons) {
    MainWindow* w = LogInAsAdmin();
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    Skin& skin = Skin::Instance();
    auto focused = [w] { return w->focusWidget() ? w->focusWidget() : w; };
    const struct {
        Qt::Key key;
        int nav;
        int page;
    } pages[] = {{Qt::Key_2, 1, MainWindow::kSalesPage},
                 {Qt::Key_6, 5, MainWindow::kSummaryPage},
                 {Qt::Key_1, 0, MainWindow::kStockPage},
                 {Qt::Key_0, 9, MainWindow::kWelcomePage}};
    for (const auto& p : pages) {
        QTest::keyClick(focused(), p.key, Qt::ControlModifier);
        EXPECT_EQ(w->总框架->currentIndex(), p.page) << p.nav;
        EXPECT_EQ(skin.SelectedNavButton(), p.nav);
    }

    // Below its button; the small offscreen screen may move it to the left.
    auto opens = [&](QMenu* menu, const std::function<void()>& keys) {
        keys();
        const int number = menu == w->系统菜单 ? 4 : 5;
        const QPoint below = w->mapToGlobal(skin.CaptionButtonRect(number).bottomLeft());
        const bool shown = menu->isVisible() && menu->y() == below.y() && menu->x() <= below.x();
        menu->hide();
        return shown;
    };
    EXPECT_TRUE(opens(w->系统菜单, [&] { QTest::keyClick(focused(), Qt::Key_F10); }));
    EXPECT_TRUE(opens(w->系统菜单, [&] { QTest::keyClick(focused(), Qt::Key_Alt); }));
    EXPECT_TRUE(opens(w->帮助菜单, [&] { QTest::keyClick(focused(), Qt::Key_F1); }));
    EXPECT_FALSE(opens(w->系统菜单, [&] {  // Alt used with another key
        QTest::keyPress(focused(), Qt::Key_Alt);
        QTest::keyClick(focused(), Qt::Key_X, Qt::AltModifier);
        QTest::keyRelease(focused(), Qt::Key_Alt);
    }));

    // The welcome page holds no field: Tab goes round the skin's buttons alone.
    QAbstractButton* first = skin.NavKeyButton(0);
    for (int i = 0; i < 20 && w->focusWidget() != first; ++i)
        QTest::keyClick(focused(), Qt::Key_Tab);
    ASSERT_EQ(w->focusWidget(), first);
    QTest::keyClick(focused(), Qt::Key_Tab);
    ASSERT_EQ(w->focusWidget(), skin.NavKeyButton(1));
    QTest::keyClick(focused(), Qt::Key_Space);
    EXPECT_EQ(w->总框架->currentIndex(), MainWindow::kSalesPage);
    EXPECT_EQ(skin.SelectedNavButton(), 1);
    skin.CaptionKeyButton(4)->setFocus();
    EXPECT_TRUE(opens(w->系统菜单, [&] { QTest::keyClick(focused(), Qt::Key_Return); }));

    EXPECT_EQ(skin.NavKeyButton(1)->toolTip(), QStringLiteral("销售明细（Ctrl+2）"));
    EXPECT_EQ(skin.CaptionKeyButton(4)->toolTip(), QStringLiteral("系统菜单（F10 或 Alt）"));
    QList<QAbstractButton*> buttons{skin.SkinKeyButton()};
    for (int i = 0; i < 10; ++i) buttons << skin.NavKeyButton(i);
    for (int number = 1; number <= 5; ++number) buttons << skin.CaptionKeyButton(number);
    for (QAbstractButton* button : buttons) {
        ASSERT_NE(button, nullptr);
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(button);
        EXPECT_EQ(read->role(), QAccessible::Button);
        EXPECT_FALSE(read->text(QAccessible::Name).isEmpty());
        EXPECT_FALSE(button->toolTip().isEmpty());
    }

    // The skin panel opens on the choice in use; the arrows move over the page as it is laid
    // out, Tab goes on to the tabs, Down from a tab to its page, Enter and Space choose.
    skin.SkinKeyButton()->setFocus();
    QTest::keyClick(focused(), Qt::Key_Return);
    auto* panel = w->findChild<SkinPanel*>(QStringLiteral("皮肤面板"));
    ASSERT_NE(panel, nullptr);
    auto inPanel = [panel](Qt::Key key) {
        QTest::keyClick(panel->focusWidget() ? panel->focusWidget() : panel, key);
        return panel->focusWidget() ? panel->focusWidget()->objectName() : QString();
    };
    ASSERT_EQ(skin.PictureId(), 6);
    ASSERT_NE(panel->focusWidget(), nullptr);
    EXPECT_EQ(panel->focusWidget()->objectName(), QStringLiteral("皮肤图片6"));
    EXPECT_EQ(inPanel(Qt::Key_Down), QStringLiteral("皮肤图片9"));
    EXPECT_EQ(inPanel(Qt::Key_Left), QStringLiteral("皮肤图片8"));
    inPanel(Qt::Key_Return);
    EXPECT_EQ(skin.PictureId(), 8);
    EXPECT_EQ(inPanel(Qt::Key_Tab), QStringLiteral("图片页签"));
    EXPECT_EQ(inPanel(Qt::Key_Right), QStringLiteral("颜色页签"));
    EXPECT_EQ(inPanel(Qt::Key_Down), QStringLiteral("皮肤颜色1"));
    EXPECT_EQ(inPanel(Qt::Key_Right), QStringLiteral("皮肤颜色8"));
    EXPECT_EQ(inPanel(Qt::Key_Down), QStringLiteral("皮肤颜色9"));
    EXPECT_EQ(panel->focusWidget()->accessibleName(), QStringLiteral("橙色 2"));
    EXPECT_EQ(panel->focusWidget()->toolTip(), QStringLiteral("橙色 2"));
    inPanel(Qt::Key_Space);
    EXPECT_EQ(skin.Style(), 2);
    EXPECT_EQ(skin.Color(), kSkinPalette[8]);
    EXPECT_EQ(inPanel(Qt::Key_Up), QStringLiteral("皮肤颜色8"));
    EXPECT_EQ(inPanel(Qt::Key_Up), QStringLiteral("颜色页签"));
    inPanel(Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
}

// A screen reader names every control the keyboard reaches, in every window: fields by their
// labels or by what they are for, lists, and buttons without a text of their own.
TEST_F(RoleChange, EveryControlTheKeyboardReachesHasAName) {
    NameFieldsOfEveryWindow();
    MainWindow* w = LogInAsAdmin();
    GoodsRow goods;
    ASSERT_TRUE(LoadGoodsRow("1", &goods));
    QStringList unnamed;
    auto check = [&unnamed](QWidget* window) {
        window->show();
        for (QWidget* c : window->findChildren<QWidget*>()) {
            const QWidget* parent = c->parentWidget();
            if (!c->isVisible() || !(c->focusPolicy() & Qt::TabFocus) || c->focusProxy() ||
                qobject_cast<const QComboBox*>(parent) ||
                qobject_cast<const QAbstractSpinBox*>(parent))
                continue;
            // A combo box's text is its value, said as its name on Linux: it needs its own.
            QAccessibleInterface* read = QAccessible::queryAccessibleInterface(c);
            if (qobject_cast<QComboBox*>(c) ? c->accessibleName().isEmpty()
                                            : read->text(QAccessible::Name).trimmed().isEmpty())
                unnamed << window->objectName() + "/" + c->objectName() + " " +
                               c->metaObject()->className();
        }
    };
    for (int page = 0; page < w->总框架->count(); ++page) {
        w->ShowPage(page);
        check(w);
    }
    Skin::Instance().SkinKeyButton()->click();
    check(w->findChild<QWidget*>(QStringLiteral("皮肤面板")));
    // Windows run modally are looked at instead of their loop; the others as they open.
    const std::function<void()> modal[] = {
        [] { OpenSettingsWindow(); },
        [] { OpenUserWindow(); },
        [] { OpenMaintenanceWindow(); },
        [] { OpenFeedbackWindow(); },
        [&] { OpenSellWindow(w, &goods); },
        [&] { OpenScanSaleWindow(w); },
        [&] { OpenShiftWindow(w, [] {}); },
        [&] { OpenDayCloseWindow(w); },
        [&] { OpenCustomerDebtsWindow(w); },
        [&] { OpenPaymentWindow(w, 1, QStringLiteral("客户"), 100); },
        [&] { ChoosePrinter(w); },
        [&] { OpenImportWindow(w); },
    };
    for (const auto& open : modal) {
        dialogs_.OnWindow(check);
        open();
    }
    const std::function<QWidget*()> modeless[] = {
        [] { return OpenLoginWindow(); },
        [&] { return OpenStockInWindow(w, false, nullptr); },
        [&] { return OpenModifyGoodsWindow(w, goods); },
        [&] { return OpenNewBankEntry(w); },
        [&] { return OpenModifySaleWindow(w, SalesGrid(), 2); },
        [&] { return OpenStocktakeWindow(w); },
        [&] { return OpenStocktakeRecordsWindow(w); },
        [&] {
            OpenCatalogueWindow(w);
            return CatalogueWindow();
        },
    };
    for (const auto& open : modeless) {
        QWidget* window = open();
        ASSERT_NE(window, nullptr);
        check(window);
        window->close();
    }
    EXPECT_TRUE(unnamed.isEmpty()) << unnamed.join(QStringLiteral("; ")).toStdString();
}

}  // namespace
