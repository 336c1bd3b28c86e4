#include "app/main_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QTabWidget>
#include <QTimer>

#include "app/login_window.h"
#include "app/program_exit.h"
#include "common/session.h"
#include "finance/bank_page.h"
#include "finance/other_page.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "sales/sales_page.h"
#include "stats/bar_chart.h"
#include "stats/chart_page.h"
#include "stats/summary_page.h"
#include "stock/stock_page.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"

namespace {

class MainFrame : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        SetProgramEnding([this] { ++ended_; });
        Provision();
        ASSERT_TRUE(SharedConnection().Execute(
            "insert into UserName (用户名, 密码, 权限) values ('店员', '1', '普通管理员')"));
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
    EXPECT_TRUE(CurrentSession().adminMenuItems);
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
    EXPECT_TRUE(dialogs_.Shown().isEmpty());  // the super administrator is not refused

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
    EXPECT_TRUE(CurrentSession().adminMenuItems);  // kept from the first login

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

TEST_F(MainFrame, AnOrdinaryFirstLoginHidesTheAdministratorsMenuItems) {
    LogIn(0, "1");
    ASSERT_NE(TheMainWindow(), nullptr);
    EXPECT_FALSE(CurrentSession().adminMenuItems);
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

TEST_F(MainFrame, TheStockMenuReachesTheSalesPageAndTheSellWindow) {
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
    EXPECT_FALSE(w->isVisible());
    w->On最小化();
    EXPECT_TRUE(w->isVisible());
    w->showMinimized();
    w->OnTrayDoubleClick();
    EXPECT_FALSE(w->isMinimized());
}

TEST_F(MainFrame, TheMenusHoldEveryItemInOrder) {
    MainWindow* w = LogInAsAdmin();
    QStringList items;
    for (QAction* a : w->系统菜单->actions()) items << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(items, (QStringList{"系统设置", "用户管理", "数据备份", "-", "最小化", "-",
                                  "官方网站", "关于我们", "-", "更换用户", "退出程序"}));
    items.clear();
    for (QAction* a : w->帮助菜单->actions()) items << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(items, (QStringList{"视频教程", "-", "最新特性", "-", "使用帮助", "在线帮助", "-",
                                  "问题反馈", "-", "检查更新"}));
}

TEST_F(MainFrame, ClosingTheWindowEndsTheProgramWithoutAsking) {
    MainWindow* w = LogInAsAdmin();
    w->close();
    EXPECT_EQ(ended_, 1);
    EXPECT_TRUE(dialogs_.Shown().isEmpty());
}

}  // namespace
