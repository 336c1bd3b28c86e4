#include <QAction>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QMenu>
#include <QTest>

#include "common/session.h"
#include "common/settings.h"
#include "platform/list_style.h"
#include "sales/modify_sale_window.h"
#include "sales/sales_page.h"
#include "sales_fixture.h"

namespace {

class SalesGridBooks : public SalesFixture {
  protected:
    QMenu* Menu() { return TheSalesPage().销售快捷菜单; }
    // Whether a right-click on the cell pops the menu up; the menu is closed again.
    bool MenuOpensAt(int row, int col) {
        RightClick(row, col);
        const bool open = Menu()->isVisible();
        Menu()->hide();
        return open;
    }
};

using SalesGridTest = OnBothStores<SalesGridBooks>;
LK_ON_BOTH_STORES(SalesGridTest);

TEST_P(SalesGridTest, AnEmptyTableShowsTheHeadersAndZeroTotals) {
    RecordGrid* g = OpenGrid();
    ASSERT_EQ(g->Rows(), 3);
    EXPECT_EQ(g->Cols(), 18);
    EXPECT_EQ(g->CellText(0, 2), "商品信息");
    EXPECT_EQ(g->CellText(0, 7), "销售信息");
    EXPECT_EQ(g->CellText(0, 13), "客户信息");
    EXPECT_EQ(g->CellText(1, 11), "欠款额");
    EXPECT_EQ(g->CellText(1, 17), "备注");
    EXPECT_EQ(g->Cell(0, 13).MergeArea(), (CellArea{0, 13, 0, 17}));
    EXPECT_EQ(g->Cell(1, 0).MergeArea(), (CellArea{0, 0, 1, 0}));
    EXPECT_EQ(g->CellText(2, 3), "合计：");
    for (int c : {8, 9, 11}) EXPECT_EQ(g->CellText(2, c), "0");
    EXPECT_TRUE(g->Cell(2, 1).FontBold());
    EXPECT_EQ(g->FrozenBottomRows(), 1);
    EXPECT_EQ(g->Column(0).Width(), 20);
    EXPECT_EQ(g->Column(1).Width(), 0);
    EXPECT_EQ(g->Column(2).Width(), 0);
    // 名称 0.1 × 1008, 编码 and 备注 0.06 × 1008, cut; the barcode takes its room from the others.
    EXPECT_EQ(g->Column(3).Width() + g->Column(5).Width() + g->Column(17).Width(), 100 + 60 + 60);
    EXPECT_GE(g->Column(5).Width(), QFontMetrics(g->font()).horizontalAdvance(kWidestCode));
    EXPECT_EQ(g->Column(12).Width(), 0);  // no profit for an ordinary user
    EXPECT_EQ(g->Column(9).Alignment(), RecordGrid::cellRightCenter);
    EXPECT_EQ(g->Column(9).Mask(), RecordGrid::cellValue);
}

TEST_P(SalesGridTest, RowsShowTheirSaleWithDebtsColouredAndTotalled) {
    SaleRow tiny;
    tiny.欠款额 = 0.00000005;
    tiny.销售日期 = "2012-06-03";
    AddSale(tiny);
    SaleRow owed;
    owed.欠款额 = -1;
    owed.销售数量 = 2.5;
    owed.销售金额 = 0.1;
    owed.净利润 = 0.2;
    owed.销售日期 = "2012-06-03 09:05:00";
    owed.UID = "7";
    AddSale(owed);
    LogInAsSuperAdmin();
    RecordGrid* g = OpenGrid();
    ASSERT_EQ(g->Rows(), 5);
    EXPECT_EQ(g->CellText(2, 10), "2012年6月3日");
    EXPECT_EQ(g->CellText(3, 10), "2012年6月3日 9时5分");
    EXPECT_EQ(g->CellText(3, 2), "7");
    EXPECT_EQ(g->CellText(3, 8), "2.5");
    const qint64 debtColor = SetupColor(SetupKey::kRmbColor);
    EXPECT_NE(g->Cell(2, 3).ForeColor(), debtColor);
    EXPECT_EQ(g->Cell(3, 3).ForeColor(), debtColor);
    EXPECT_EQ(g->Cell(3, 17).ForeColor(), debtColor);
    EXPECT_EQ(g->CellText(4, 8), "3.5");
    EXPECT_EQ(g->CellText(4, 9), "2.1");
    EXPECT_EQ(g->CellText(4, 11), "-1");  // to the fen
    EXPECT_EQ(g->CellText(4, 12), "1.2");
}

TEST_P(SalesGridTest, GridLinesOneOrTwoPaintTheDataCellsWhite) {
    AddSale(SaleRow{});
    WriteSetupKey("line", "2");
    RecordGrid* g = OpenGrid();
    EXPECT_EQ(g->Cell(2, 2).BackColor(), 16777215);
    EXPECT_EQ(g->Cell(2, 5).Border(RecordGrid::cellInsideVertical), RecordGrid::cellThin);
    WriteSetupKey("line", "0");
    FillSalesGrid();
    EXPECT_EQ(g->GridColor(), 8421504);
    EXPECT_TRUE(g->HideGridLines());
    EXPECT_EQ(g->Cell(2, 2).BackColor(), SetupColor(SetupKey::kBgOne));
}

TEST_P(SalesGridTest, TheSuperAdministratorSeesTheProfitColumn) {
    LogInAsSuperAdmin();
    EXPECT_EQ(OpenGrid()->Column(12).Width(), 85);
}

TEST_P(SalesGridTest, NoMenuPathShowsTheProfitToAnOrdinaryUser) {
    SaleRow sale;
    sale.净利润 = 0.7;
    AddSale(sale);
    RecordGrid* g = OpenGrid();
    SalesPage& page = TheSalesPage();
    EXPECT_EQ(g->Column(12).Width(), 0);
    EXPECT_EQ(g->CellText(2, 12), "");
    EXPECT_EQ(g->CellText(3, 12), "");  // nor its total
    RightClick(2, 3);
    EXPECT_FALSE(page.隐藏净利润->isVisible());
    Menu()->hide();
    page.隐藏净利润->trigger();
    page.隐藏净利润->trigger();
    EXPECT_EQ(g->Column(12).Width(), 0);
    page.隐藏销售单价->trigger();
    page.显示全部信息->trigger();
    EXPECT_EQ(g->Column(12).Width(), 0);
    EXPECT_EQ(g->Column(7).Width(), 56);  // 0.055 of the window's 1028
    EXPECT_FALSE(page.隐藏销售单价->isChecked());
    EXPECT_EQ(g->Column(13).Width(), 35);

    LogInAsSuperAdmin();
    RightClick(2, 3);
    EXPECT_TRUE(page.隐藏净利润->isVisible());
    Menu()->hide();
    LayOutSalesColumns();
    EXPECT_EQ(g->Column(12).Width(), 85);
    page.隐藏净利润->trigger();
    EXPECT_TRUE(page.隐藏净利润->isChecked());
    EXPECT_EQ(g->Column(12).Width(), 0);
}

TEST_P(SalesGridTest, HiddenColumnsStayHiddenAcrossRefillsAndResizes) {
    AddSale(SaleRow{});
    RecordGrid* g = OpenGrid();
    SalesPage& page = TheSalesPage();
    page.隐藏全部客户信息->trigger();
    page.隐藏销售日期->trigger();
    for (int c = 13; c <= 17; ++c) EXPECT_EQ(g->Column(c).Width(), 0);
    OnShowDebts();
    OnShowAllSales();
    销售框架->resize(500, 530);
    LayOutSalesColumns();
    EXPECT_EQ(g->Column(3).Width(), 40);  // 0.1 × 500, less what the barcode took
    EXPECT_EQ(g->Column(10).Width(), 0);
    for (int c = 13; c <= 17; ++c) EXPECT_EQ(g->Column(c).Width(), 0);
    page.隐藏全部客户信息->trigger();
    EXPECT_FALSE(page.隐藏全部客户信息->isChecked());
    EXPECT_EQ(g->Column(13).Width(), 17);  // 0.035 × 500
    EXPECT_EQ(g->Column(17).Width(), 30);
    page.显示全部信息->trigger();
    EXPECT_FALSE(page.隐藏销售日期->isChecked());
    EXPECT_EQ(g->Column(10).Width(), 92);  // 0.09 × 1028
}

TEST_P(SalesGridTest, TheMenuOpensOverASaleOnlyAndAroundTheGrid) {
    AddSale(SaleRow{});
    OpenGrid(400);
    EXPECT_FALSE(MenuOpensAt(1, 3));
    EXPECT_FALSE(MenuOpensAt(3, 3));  // the totals row
    EXPECT_TRUE(MenuOpensAt(2, 3));
    EXPECT_EQ(CurrentSession().selectedId, "1");
    EXPECT_EQ(CurrentSession().selectedRow, 2);
    EXPECT_EQ(SalesGrid()->Selection().FirstRow(), 2);

    QTest::mouseClick(销售框架, Qt::RightButton, {}, QPoint(500, 450));
    EXPECT_TRUE(Menu()->isVisible());
    Menu()->hide();
    QStringList items;
    for (QAction* item : Menu()->actions()) items << (item->isSeparator() ? "-" : item->text());
    EXPECT_EQ(items,
              (QStringList{"物品销售", "-", "修改数据", "-", "删除数据", "-", "输出销售Excel", "-",
                           "打印销售", "设置显示信息", "-", "客户欠款", "超卖销售"}));
}

TEST_P(SalesGridTest, DeletingIsOfferedOnlyWithTheSuperAdministratorsItems) {
    AddSale(SaleRow{});
    OpenGrid();
    RightClick(2, 3);
    EXPECT_FALSE(TheSalesPage().删除数据->isVisible());
    Menu()->hide();
    CurrentSession().userRole = kSuperAdmin;
    RightClick(2, 3);
    EXPECT_TRUE(TheSalesPage().删除数据->isVisible());
    Menu()->hide();
}

TEST_P(SalesGridTest, ADoubleClickOnASaleOpensItsModifyWindow) {
    AddSale(SaleRow{});
    OpenGrid();
    DoubleClick(3, 3);  // the totals row
    EXPECT_EQ(window_->findChild<ModifySaleWindow*>(), nullptr);
    DoubleClick(2, 3);
    auto* modify = window_->findChild<ModifySaleWindow*>();
    ASSERT_NE(modify, nullptr);
    EXPECT_EQ(modify->SaleId(), "1");
    EXPECT_FALSE(modify->isModal());
    modify->close();
}

TEST_P(SalesGridTest, ItFillsThePickListsAndRegistersForRefills) {
    SaleRow a;
    a.类型 = "文具";
    a.客户名称 = "张三";
    AddSale(a);
    SaleRow b;
    b.类型 = "纸";
    AddSale(b);
    // Each value once, in order, without the empty ones.
    for (const auto& [type, customer] : {std::pair{"文具", "李四"}, {"纸", "张三"}, {"电器", ""}}) {
        SaleRow more;
        more.类型 = type;
        more.客户名称 = customer;
        AddSale(more);
    }
    EXPECT_FALSE(ListExists(ListId::Sales));
    OpenGrid();
    EXPECT_TRUE(ListExists(ListId::Sales));
    QComboBox* types = TheSalesPage().销售类型查询框;
    QComboBox* customers = TheSalesPage().销售客户名称框;
    auto items = [](QComboBox* box) {
        QStringList texts;
        for (int i = 0; i < box->count(); ++i) texts << box->itemText(i);
        return texts;
    };
    EXPECT_EQ(items(types), (QStringList{"文具", "电器", "纸"}));
    EXPECT_EQ(types->currentText(), "");
    EXPECT_EQ(items(customers), (QStringList{"张三", "李四"}));
    AddSale(b);
    RefillWholeList(ListId::Sales);
    EXPECT_EQ(SalesGrid()->Rows(), 9);
}

}  // namespace
