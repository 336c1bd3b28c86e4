#include "stock/stock_in_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QToolButton>

#include "common/session.h"
#include "goods_test_support.h"
#include "platform/up_down_arrows.h"
#include "stock/stock_page.h"

namespace {

class StockIn : public GoodsFixture {
  protected:
    StockInWindow* OpenNew() {
        StockInWindow* window = OpenStockInWindow(owner_.get(), false, nullptr);
        EXPECT_NE(window, nullptr);
        return window;
    }

    void FillIn(QWidget* w, const QString& name, const QString& price, const QString& quantity,
                const QString& salePrice) {
        Type(w, "类别组合框", "文具");
        Type(w, "名称组合框", name);
        Type(w, "进货单价框", price);
        Type(w, "数量框", quantity);
        Type(w, "销售单价框", salePrice);
    }

    // A record with purchase quantity 5, amount 50, stock 1, stock amount 10.
    GoodsRow Pens() {
        GoodsRow row;
        row.名称 = "圆珠笔";
        row.型号 = "B2";
        row.编码 = "YZBB2";
        row.类型 = "文具";
        row.进货数量 = 5;
        row.进货单价 = 10;
        row.进货金额 = 50;
        row.销售数量 = 4;
        row.销售单价 = 12;
        row.销售金额 = 48;
        row.存货数量 = 1;
        row.存货金额 = 10;
        row.入库日期 = QDate(2012, 5, 1);
        row.供货商 = "晨光";
        row.备注 = "蓝色";
        row.ID = AddGoods(row);
        return row;
    }

    static QStringList Items(QWidget* w, const char* name) {
        QStringList items;
        auto* combo = w->findChild<QComboBox*>(name);
        for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
        return items;
    }
};

TEST_F(StockIn, NewStockInStoresItsFiguresAndStaysOpenForTheNextGoods) {
    StockInWindow* w = OpenNew();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "新建入库");
    EXPECT_FALSE(w->isModal());
    EXPECT_EQ(w->parentWidget(), owner_.get());
    FillIn(w, "A4纸", "2.5", "3", "4");
    Type(w, "编码组合框", "A4");
    Type(w, "供货商框", "晨光");
    Type(w, "备注框", "整箱");
    w->findChild<QDateEdit*>("日期框1")->setDate(QDate(2012, 6, 3));
    Click(w, "按钮2");

    ASSERT_EQ(GoodsCount(), 1);
    const GoodsRow stored = Stored("1");
    EXPECT_EQ(stored.名称, "A4纸");
    EXPECT_EQ(stored.编码, "A4");
    EXPECT_EQ(stored.进货数量, 3);
    EXPECT_EQ(stored.进货单价, 2.5);
    EXPECT_EQ(stored.进货金额, 7.5);
    EXPECT_EQ(stored.存货数量, 3);
    EXPECT_EQ(stored.存货金额, 7.5);
    EXPECT_EQ(stored.销售数量, 0);
    EXPECT_EQ(stored.销售单价, 4);
    EXPECT_EQ(stored.销售金额, 0);
    EXPECT_EQ(stored.入库日期, QDate(2012, 6, 3));
    EXPECT_EQ(stored.供货商, "晨光");
    EXPECT_EQ(stored.备注, "整箱");
    DbRecordSet records;
    records.Open("buy", SharedConnection());
    EXPECT_EQ(FieldText(records, "首拼"), "A4Z");

    ASSERT_EQ(SkinBoxes().size(), 1);
    EXPECT_EQ(SkinBoxes()[0].text, "新建入库完成");
    EXPECT_EQ(SkinBoxes()[0].caption, "提示");
    EXPECT_EQ(SkinBoxes()[0].skinType, 1);
    EXPECT_EQ(SkinBoxes()[0].skinIcon, 1);
    EXPECT_EQ(refreshed_, QStringList({"Stock", "PickLists", "Summary"}));

    // Emptied for the next goods, the date kept, the new values among the suggestions.
    EXPECT_TRUE(w->isVisible());
    for (const char* box : {"类别组合框", "名称组合框", "型号组合框", "编码组合框", "进货单价框",
                            "数量框", "销售单价框", "供货商框", "备注框"})
        EXPECT_EQ(TextOf(w, box), "") << box;
    EXPECT_EQ(w->findChild<QDateEdit*>("日期框1")->date(), QDate(2012, 6, 3));
    EXPECT_EQ(Items(w, "名称组合框"), QStringList({"A4纸"}));
    EXPECT_EQ(Items(w, "供货商框"), QStringList({"晨光"}));
}

TEST_F(StockIn, TextWithQuotesIsStoredAsTyped) {
    StockInWindow* w = OpenNew();
    FillIn(w, "O'Neil's \"笔\"", "1", "1", "2");
    Click(w, "按钮2");
    EXPECT_EQ(Stored("1").名称, "O'Neil's \"笔\"");
}

TEST_F(StockIn, AFieldThatCannotBeSetStopsWithItsCodeAndStoresNothing) {
    StockInWindow* w = OpenNew();
    FillIn(w, QString(51, u'纸'), "1", "1", "2");
    Type(w, "编码组合框", "Z");
    Click(w, "按钮2");
    EXPECT_EQ(GoodsCount(), 0);
    EXPECT_EQ(SkinTexts(), QStringList({"错误代码 [098]\r\n名称不能超过50个字"}));
    EXPECT_TRUE(refreshed_.isEmpty());
    EXPECT_EQ(TextOf(w, "编码组合框"), "Z");  // the entries stay for a correction

    Type(w, "名称组合框", QString(50, u'纸'));
    Type(w, "编码组合框", "Z");
    Click(w, "按钮2");
    EXPECT_EQ(GoodsCount(), 1);
}

TEST_F(StockIn, ChecksRunInOrderAndFocusTheBoxToFill) {
    StockInWindow* w = OpenNew();
    // A name of full-width signs proposes no code, so the code check is reached.
    const struct {
        const char* box;
        const char* text;
        const char* value;
    } steps[] = {
        {"类别组合框", "商品类别必须填写", "文具"}, {"名称组合框", "商品名称必须填写", "，。"},
        {"编码组合框", "商品编码必须填写", "QB"},   {"进货单价框", "进货价格必须填写", "0.5"},
        {"数量框", "进货数量必须填写", "2"},        {"销售单价框", "销售价格必须填写", "1"},
    };
    for (const auto& step : steps) {
        dialogs_.Clear();
        Click(w, "按钮2");
        ASSERT_EQ(dialogs_.Shown().size(), 1) << step.box;
        const ShownBox& box = dialogs_.Shown()[0];
        EXPECT_EQ(box.kind, ShownBox::Kind::System);
        EXPECT_EQ(box.text, step.text);
        EXPECT_EQ(box.caption, "请填写完整信息");
        EXPECT_EQ(box.icon, BoxIcon::Information);
        EXPECT_EQ(w->focusWidget(), w->findChild<QWidget*>(step.box)) << step.box;
        EXPECT_EQ(GoodsCount(), 0);
        Type(w, step.box, step.value);
    }
    Type(w, "数量框", "-1");  // not above zero
    dialogs_.Clear();
    Click(w, "按钮2");
    EXPECT_EQ(dialogs_.Texts(), QStringList({"进货数量必须填写"}));
    Type(w, "数量框", "2");
    Click(w, "按钮2");
    EXPECT_EQ(GoodsCount(), 1);
}

TEST_F(StockIn, TheCodeProposalJoinsTheInitialsOfNameAndModel) {
    StockInWindow* w = OpenNew();
    Type(w, "名称组合框", "电脑");
    EXPECT_EQ(TextOf(w, "编码组合框"), "DN");
    Type(w, "型号组合框", "T60");
    EXPECT_EQ(TextOf(w, "编码组合框"), "DNT60");
    Type(w, "名称组合框", "，。");
    EXPECT_EQ(TextOf(w, "编码组合框"), "T60");

    Click(w, "按钮1");
    for (const char* box : {"类别组合框", "名称组合框", "型号组合框", "编码组合框"})
        EXPECT_EQ(TextOf(w, box), "") << box;
}

TEST_F(StockIn, ArrowsStepByOneAndGoDownOnlyFromAboveZero) {
    StockInWindow* w = OpenNew();
    auto* arrows = w->findChild<UpDownArrows*>("数量调节器");
    ASSERT_NE(arrows, nullptr);
    EXPECT_EQ(arrows->Buddy(), w->findChild<QWidget*>("数量框"));
    auto step = [&](const QString& from, QToolButton* button) {
        Type(w, "数量框", from);
        QTest::mouseClick(button, Qt::LeftButton);
        return TextOf(w, "数量框");
    };
    EXPECT_EQ(step("0.5", arrows->DownButton()), "-0.5");
    EXPECT_EQ(step("0", arrows->DownButton()), "0");
    EXPECT_EQ(step("-0.5", arrows->DownButton()), "-0.5");
    EXPECT_EQ(step("2.5", arrows->UpButton()), "3.5");
    EXPECT_EQ(step("", arrows->UpButton()), "1");
}

TEST_F(StockIn, RestockAddsToTheFiguresOfItsRecordAndCloses) {
    const GoodsRow pens = Pens();
    QPointer<StockInWindow> w = OpenStockInWindow(owner_.get(), true, &pens);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->windowTitle(), "商品续存");
    EXPECT_EQ(TextOf(w, "名称组合框"), "圆珠笔");
    EXPECT_EQ(TextOf(w, "编码组合框"), "YZBB2");
    EXPECT_EQ(TextOf(w, "进货单价框"), "*");  // an ordinary user's restock
    EXPECT_EQ(TextOf(w, "数量框"), "");
    EXPECT_EQ(TextOf(w, "备注框"), "");
    for (const char* box :
         {"类别组合框", "名称组合框", "型号组合框", "编码组合框", "进货单价框", "销售单价框",
          "供货商框", "日期框1", "备注框", "进货单价调节器", "销售单价调节器"})
        EXPECT_FALSE(w->findChild<QWidget*>(box)->isEnabled()) << box;
    EXPECT_TRUE(w->findChild<QWidget*>("数量框")->isEnabled());
    EXPECT_TRUE(w->findChild<QWidget*>("数量调节器")->isEnabled());

    // Another record loaded or selected meanwhile does not move the window.
    GoodsRow other = pens;
    other.名称 = "铅笔";
    other.ID = AddGoods(other);
    GoodsRow loaded;
    ASSERT_TRUE(LoadGoodsRow(other.ID, &loaded));

    Type(w, "数量框", "2");
    Click(w, "按钮2");
    const GoodsRow stored = Stored(pens.ID);
    EXPECT_EQ(stored.进货数量, 7);
    EXPECT_EQ(stored.进货金额, 70);
    EXPECT_EQ(stored.存货数量, 3);
    EXPECT_EQ(stored.存货金额, 30);
    EXPECT_EQ(stored.销售数量, 4);
    EXPECT_EQ(stored.备注, "蓝色");
    EXPECT_EQ(Stored(other.ID).进货数量, 5);

    EXPECT_EQ(SkinTexts(), QStringList({"续存商品完成"}));
    EXPECT_EQ(SkinBoxes()[0].caption, "提示");
    // Only the goods lists hold the restocked record; no name or type changed for the pick lists.
    EXPECT_EQ(refreshed_, QStringList({"Stock", "Summary"}));
    EXPECT_FALSE(w->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(w);
}

TEST_F(StockIn, TheRestocksPurchasePriceFollowsTheUserLoggedIn) {
    CurrentSession().userRole = kSuperAdmin;
    const GoodsRow pens = Pens();
    StockInWindow* w = OpenStockInWindow(owner_.get(), true, &pens);
    EXPECT_EQ(TextOf(w, "进货单价框"), "10");
    CurrentSession().userRole = kOrdinaryUser;
    FollowRoleInGoodsWindows();
    EXPECT_EQ(TextOf(w, "进货单价框"), "*");
    CurrentSession().userRole = kSuperAdmin;
    FollowRoleInGoodsWindows();
    EXPECT_EQ(TextOf(w, "进货单价框"), "10");
}

TEST_F(StockIn, RestockKeepsTheFractionsOfTheFigures) {
    GoodsRow row = Pens();
    row.进货数量 = 1.5;
    row.进货金额 = 12.5;
    row.存货数量 = 0.5;
    row.存货金额 = 2.5;
    row.进货单价 = 0.1;
    row.ID = AddGoods(row);
    StockInWindow* w = OpenStockInWindow(owner_.get(), true, &row);
    Type(w, "数量框", "3");
    Click(w, "按钮2");
    const GoodsRow stored = Stored(row.ID);
    EXPECT_EQ(stored.进货数量, 4.5);
    EXPECT_EQ(stored.进货金额, 12.8);
    EXPECT_EQ(stored.存货数量, 3.5);
    EXPECT_EQ(stored.存货金额, 2.8);
}

TEST_F(StockIn, ARestockThatFindsNoRecordIsReportedAndKeepsTheWindow) {
    const GoodsRow pens = Pens();
    StockInWindow* w = OpenStockInWindow(owner_.get(), true, &pens);
    ASSERT_TRUE(SharedConnection().Execute("delete from buy"));
    Type(w, "数量框", "2");
    Click(w, "按钮2");
    ASSERT_EQ(SkinTexts().size(), 1);
    EXPECT_NE(SkinTexts()[0], "续存商品完成");
    EXPECT_TRUE(refreshed_.isEmpty());
    EXPECT_TRUE(w->isVisible());
}

TEST_F(StockIn, RestockNeedsARecordAndOpensBesideANewStockIn) {
    EXPECT_EQ(OpenStockInWindow(owner_.get(), true, nullptr), nullptr);
    GoodsRow totals;  // a row without an ID
    EXPECT_EQ(OpenStockInWindow(owner_.get(), true, &totals), nullptr);
    EXPECT_TRUE(owner_->findChildren<StockInWindow*>().isEmpty());

    StockInWindow* first = OpenNew();
    EXPECT_EQ(OpenNew(), first);
    const GoodsRow pens = Pens();
    StockInWindow* restock = OpenStockInWindow(owner_.get(), true, &pens);
    ASSERT_NE(restock, first);
    EXPECT_TRUE(restock->IsRestock());
    EXPECT_EQ(restock->RecordId(), pens.ID);
    EXPECT_EQ(OpenStockInWindow(owner_.get(), true, &pens), restock);
    EXPECT_TRUE(SkinTexts().isEmpty());

    // Another record while one is being restocked: the typed quantity is kept, and said so.
    Type(restock, "数量框", "2");
    GoodsRow other = pens;
    other.名称 = "铅笔";
    other.ID = AddGoods(other);
    EXPECT_EQ(OpenStockInWindow(owner_.get(), true, &other), restock);
    EXPECT_EQ(TextOf(restock, "数量框"), "2");
    EXPECT_EQ(SkinTexts(), QStringList{"请先确认或关闭正在进行的商品续存"});

    // 清空 in a restock empties the quantity only, so the window can still be saved.
    Click(restock, "按钮1");
    EXPECT_EQ(TextOf(restock, "数量框"), "");
    EXPECT_EQ(TextOf(restock, "类别组合框"), "文具");
    EXPECT_EQ(TextOf(restock, "名称组合框"), "圆珠笔");
    EXPECT_EQ(TextOf(restock, "进货单价框"), "*");  // an ordinary user sees no purchase price
    Type(restock, "数量框", "1");
    Click(restock, "按钮2");
    EXPECT_EQ(Stored(pens.ID).进货数量, 6);
}

}  // namespace
