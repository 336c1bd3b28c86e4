#include <QAction>
#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>

#include "common/session.h"
#include "common/settings.h"
#include "sales/modify_sale_window.h"
#include "sales/sales_page.h"
#include "sales/sell_window.h"
#include "sales_fixture.h"
#include "store/shared_db.h"

namespace {

class ModifySaleTest : public SalesFixture {
  protected:
    void SetUp() override {
        SalesFixture::SetUp();
        goods_ = AddGoods("圆珠笔", 3);
        SaleRow sale;
        sale.UID = goods_;
        sale.欠款额 = 4;
        sale.客户名称 = "张三";
        sale.备注 = "月结";
        AddSale(sale);
        OpenGrid();
    }
    void TearDown() override {
        for (auto* open : window_->findChildren<ModifySaleWindow*>()) open->close();
        SalesFixture::TearDown();
    }
    ModifySaleWindow* OpenFromMenu(int row) {
        RightClick(row, 3);
        TheSalesPage().销售快捷菜单->hide();
        TheSalesPage().修改数据->trigger();
        return window_->findChild<ModifySaleWindow*>();
    }
    void Delete(int row, BoxAnswer answer) {
        RightClick(row, 3);
        TheSalesPage().销售快捷菜单->hide();
        dialogs_.AnswerSystem(answer);
        TheSalesPage().删除数据->trigger();
    }
    QString goods_;
};

TEST_F(ModifySaleTest, TheWindowShowsTheSaleAndStoresDebtAndCustomer) {
    ModifySaleWindow* w = OpenFromMenu(2);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->windowTitle(), "修改销售单 - 1");  // the sale's own ID
    EXPECT_EQ(w->size(), QSize(450, 259));
    EXPECT_EQ(TextOf(w, "名称标签"), "圆珠笔");
    EXPECT_EQ(TextOf(w, "销售日期标签"), "2012年6月15日");
    EXPECT_EQ(TextOf(w, "欠款金额框"), "4");
    EXPECT_EQ(TextOf(w, "客户名称框"), "张三");
    const GoodsRow before = Goods(goods_);
    Type(w, "欠款金额框", "0");
    Type(w, "客户名称框", "李'四");
    Type(w, "客户地址框", "东街");
    Type(w, "联系方式框", "110");
    Type(w, "备注框", "");
    Click(w, "按钮1");
    EXPECT_EQ(SkinTexts(), QStringList{"修改销售完成"});
    EXPECT_EQ(dialogs_.Shown().last().caption, "提示");
    EXPECT_EQ(StoredSaleText("1", "欠款额"), "0.0");
    EXPECT_EQ(StoredSaleText("1", "客户名称"), "李'四");
    EXPECT_EQ(StoredSaleText("1", "客户地址"), "东街");
    EXPECT_EQ(StoredSaleText("1", "联系方式"), "110");
    EXPECT_EQ(StoredSaleText("1", "备注"), "");
    EXPECT_EQ(Goods(goods_).存货数量, before.存货数量);
    // The list is refilled: no longer a debt, no longer coloured.
    EXPECT_NE(SalesGrid()->Cell(2, 3).ForeColor(), SetupColor(SetupKey::kRmbColor));
    OnShowDebts();
    EXPECT_TRUE(GridColumn(3).isEmpty());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(window_->findChild<ModifySaleWindow*>(), nullptr);  // closed and gone
}

TEST_F(ModifySaleTest, AFailedUpdateIsReportedAndTheWindowStaysOpen) {
    ModifySaleWindow* w = OpenFromMenu(2);
    ASSERT_NE(w, nullptr);
    Type(w, "客户名称框", QString(51, u'名'));
    Click(w, "按钮1");
    EXPECT_EQ(SkinTexts(), QStringList{"修改失败，销售记录没有改变"});
    EXPECT_EQ(StoredSaleText("1", "客户名称"), "张三");
    EXPECT_TRUE(w->isVisible());
}

TEST_F(ModifySaleTest, OnlyARowWithASaleOpensTheWindowAndEachSaleHasItsOwn) {
    EXPECT_EQ(OpenFromMenu(3), nullptr);  // the totals row
    ModifySaleWindow* first = OpenFromMenu(2);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(OpenModifySaleWindow(window_.get(), SalesGrid(), 2), first);
    EXPECT_EQ(window_->findChildren<ModifySaleWindow*>().size(), 1);

    SaleRow other;
    other.UID = goods_;
    other.客户名称 = "李四";
    AddSale(other);
    FillSalesGrid();
    const int row = SalesGrid()->CellText(2, 1) == "2" ? 2 : 3;
    ModifySaleWindow* second = OpenModifySaleWindow(window_.get(), SalesGrid(), row);
    ASSERT_NE(second, nullptr);
    EXPECT_NE(second, first);
    EXPECT_EQ(second->SaleId(), "2");
    EXPECT_EQ(second->windowTitle(), "修改销售单 - 2");
    EXPECT_EQ(TextOf(second, "客户名称框"), "李四");
    EXPECT_EQ(first->windowTitle(), "修改销售单 - 1");
}

TEST_F(ModifySaleTest, DeletingAsksFirstAndGivesTheSaleBackToItsGoods) {
    CurrentSession().userRole = kSuperAdmin;
    const GoodsRow before = Goods(goods_);
    Delete(2, BoxAnswer::Cancel);
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    EXPECT_EQ(dialogs_.Shown()[0].kind, ShownBox::Kind::System);
    EXPECT_EQ(dialogs_.Shown()[0].text,
              "你确定要删除当前选中的资料吗？\r\n\r\n           一经删除无法恢复");
    EXPECT_EQ(dialogs_.Shown()[0].buttons, BoxButtons::OkCancel);
    EXPECT_EQ(SaleCount(), 1);

    Delete(2, BoxAnswer::Ok);
    EXPECT_EQ(SaleCount(), 0);
    RecordGrid* g = SalesGrid();
    ASSERT_EQ(g->Rows(), 3);
    EXPECT_EQ(g->CellText(2, 3), "合计：");
    EXPECT_EQ(g->CellText(2, 11), "0");    // its debt left the totals
    const GoodsRow after = Goods(goods_);  // the sale was 1 for 2
    EXPECT_EQ(after.存货数量, before.存货数量 + 1);
    EXPECT_EQ(after.销售数量, before.销售数量 - 1);
    EXPECT_EQ(after.销售金额, before.销售金额 - 2);
    EXPECT_EQ(after.存货金额, before.存货金额 + 8);
}

TEST_F(ModifySaleTest, SellingFromTheSalesListOffersTheGoodsOfTheClickedSale) {
    RightClick(2, 3);
    TheSalesPage().销售快捷菜单->hide();
    dialogs_.OnWindow([](QDialog* dialog) {
        auto* w = qobject_cast<SellWindow*>(dialog);
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(TextOf(w, "名称标签"), "圆珠笔");
        EXPECT_EQ(TextOf(w, "库存框"), "3");
        w->Confirm();
    });
    TheSalesPage().物品销售->trigger();
    EXPECT_EQ(Goods(goods_).存货数量, 2);
    EXPECT_EQ(SaleCount(), 2);
    EXPECT_EQ(SalesGrid()->Rows(), 5);  // refilled

    ASSERT_TRUE(SharedConnection().Execute("delete from buy"));
    dialogs_.Clear();
    RightClick(2, 3);
    TheSalesPage().销售快捷菜单->hide();
    TheSalesPage().物品销售->trigger();
    EXPECT_EQ(SkinTexts(), QStringList{"请到库管窗口选择物品后单击右键菜单里有显示销售！"});
}

}  // namespace
