#include "stock/stock_page.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "common/name_initials.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/list_refresh.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "stock/catalogue_window.h"
#include "stock/goods_import.h"
#include "stock/modify_goods_window.h"
#include "stock/stock_in_window.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"
#include "support/workbook_reader.h"

namespace {

class StockListBooks : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        Provision();
        CurrentSession().userRole = kSuperAdmin;
        window_.resize(1000, 600);
        host_ = new QFrame(&window_);
        host_->setGeometry(0, 0, 1000, 520);
        panel_ = new QFrame(&window_);
        panel_->setGeometry(3, 522, 994, 70);
        Skin::Instance().Attach(&window_);  // ShowMessage needs the skinned window
        window_.show();
    }
    void TearDown() override {
        Skin::Instance().Detach();
        ForgetStockPage();
        ProgramFixture::TearDown();
    }
    void AddGoods(const QString& name, double stock, double bought = 0, const QString& model = {},
                  const QDate& date = QDate(2012, 6, 3), const QString& type = "文具") {
        ASSERT_TRUE(SharedConnection().Execute(
            "insert into buy (名称, 型号, 类型, 进货数量, 进货单价, 进货金额, 存货数量, 存货金额, "
            "入库日期, 首拼) "
            "values (?, ?, ?, ?, 2, ?, ?, ?, ?, ?)",
            {name, model, type, bought, bought * 2, stock, stock * 2, date, NameInitials(name)}));
    }
    RecordGrid* Open(StockPageHooks hooks = {}) {
        BuildStockPage(host_, panel_, hooks);
        CreateStockGrid(1000, 520);
        return StockGrid();
    }
    // Data rows between the two header rows and the totals row.
    int DataRows() { return StockGrid()->Rows() - 3; }
    QStringList Names() {
        QStringList names;
        for (int r = 2; r < StockGrid()->Rows() - 1; ++r) names << StockGrid()->CellText(r, 2);
        return names;
    }
    void RightClick(int row, int col) {
        RecordGrid* g = StockGrid();
        const QRect cell = g->CellRect(row, col);
        ASSERT_FALSE(cell.isEmpty()) << row << "," << col;
        OnStockGridMouseUp(RecordGrid::kRightButton, cell.center().x(), cell.center().y());
    }

    QWidget window_;
    QFrame* host_ = nullptr;
    QFrame* panel_ = nullptr;
};

using StockList = OnBothStores<StockListBooks>;
LK_ON_BOTH_STORES(StockList);

TEST_P(StockList, AnEmptyTableShowsTheHeadersAndATotalsRowOfZeros) {
    RecordGrid* g = Open();
    ASSERT_EQ(g->Rows(), 3);
    EXPECT_EQ(g->Cols(), 17);
    EXPECT_EQ(g->FixedRows(), 2);
    EXPECT_EQ(g->FrozenBottomRows(), 1);
    EXPECT_EQ(g->CellText(0, 2), "商品信息");
    EXPECT_EQ(g->CellText(1, 14), "入库日期");
    EXPECT_EQ(g->CellText(2, 5), "合计：");
    for (int c : {6, 8, 9, 11, 12, 13}) EXPECT_EQ(g->CellText(2, c), "0") << c;
    EXPECT_TRUE(g->Cell(2, 5).FontBold());
    EXPECT_EQ(g->Cell(2, 5).BackColor(), 33023);
}

TEST_P(StockList, RowsShowTheirValuesAndZeroStockIsHiddenButCounted) {
    AddGoods("纸", 2.5, 4);
    AddGoods("笔", 0, 10);
    AddGoods("尺", -2, 1);
    RecordGrid* g = Open();
    ASSERT_EQ(DataRows(), 1);
    EXPECT_EQ(g->CellText(2, 1), "1");
    EXPECT_EQ(g->CellText(2, 2), "纸");
    EXPECT_EQ(g->CellText(2, 12), "2.5");
    EXPECT_EQ(g->CellText(2, 14), "2012年6月3日");
    EXPECT_EQ(g->CellText(3, 6), "15");    // bought 4 + 10 + 1
    EXPECT_EQ(g->CellText(3, 12), "0.5");  // 2.5 + 0 - 2

    WriteSetupKey("zero", "ture");
    FillStockGrid();
    EXPECT_EQ(DataRows(), 3);
}

TEST_P(StockList, AnExportedStockListReadsBackAsTheSameGoodsForAnImport) {
    ASSERT_TRUE(SharedConnection().Execute(
        "insert into buy (名称, 型号, 编码, 类型, 进货数量, 进货单价, 进货金额, 销售单价, "
        "存货数量, "
        "存货金额, 入库日期, 供货商, 备注) values "
        "('钢笔', 'F1', 'GBF1', '文具', 10, 2.5, 25, 3.5, 10, 25, '2012-06-03', '晨光', '黑色')"));
    Open();
    ASSERT_TRUE(StockGrid()->ExportToExcel(File("stock.xlsx"), true, false));

    ImportTable table;
    QString error;
    ASSERT_TRUE(ReadImportFile(File("stock.xlsx"), &table, &error)) << error.toStdString();
    const ColumnMap map = GuessColumns(table);
    EXPECT_EQ(map.headerRow, 1);
    const std::vector<ImportGoods> goods = CheckImportRows(table, map, QDate(2026, 12, 9));
    ASSERT_EQ(goods.size(), 1u);  // the totals row is not goods
    const ImportGoods& g = goods[0];
    EXPECT_TRUE(g.problem.isEmpty()) << g.problem.toStdString();
    EXPECT_EQ(QStringList({g.名称, g.型号, g.编码, g.类型, g.供货商, g.备注}),
              QStringList({"钢笔", "F1", "GBF1", "文具", "晨光", "黑色"}));
    EXPECT_DOUBLE_EQ(g.进货数量, 10);
    EXPECT_DOUBLE_EQ(g.进货单价, 2.5);
    EXPECT_DOUBLE_EQ(g.销售单价, 3.5);
    EXPECT_EQ(g.入库日期, QDate(2012, 6, 3));
}

TEST_P(StockList, AlarmAndZeroColours) {
    WriteSetupKey("zero", "ture");
    WriteSetupKey("beep", "5");
    AddGoods("a", 4.9999999);
    AddGoods("b", 5);
    AddGoods("c", 0);
    AddGoods("d", -2);
    AddGoods("e", 0.00000005);
    RecordGrid* g = Open();
    ASSERT_EQ(DataRows(), 5);
    EXPECT_EQ(g->Cell(2, 3).ForeColor(), 255);  // beepcolor
    EXPECT_EQ(g->Cell(3, 3).ForeColor(), 0);
    EXPECT_EQ(g->Cell(4, 3).ForeColor(), 8421504);  // zerocolor wins over the alarm
    EXPECT_EQ(g->Cell(5, 3).ForeColor(), 255);
    EXPECT_EQ(g->Cell(6, 3).ForeColor(), 8421504);
    EXPECT_EQ(g->Cell(6, 1).ForeColor(), 8421504);
    EXPECT_EQ(g->Cell(6, 0).ForeColor(), 0);
}

TEST_P(StockList, SortingByStockKeepsTheTotalsRowLast) {
    WriteSetupKey("beepview", "ture");
    AddGoods("ten", 10);
    AddGoods("two", 2);
    AddGoods("three", 3);
    RecordGrid* g = Open();
    EXPECT_EQ(Names(), (QStringList{"two", "three", "ten"}));
    EXPECT_EQ(g->CellText(5, 5), "合计：");
    EXPECT_EQ(g->Column(12).UserSortIndicator(), RecordGrid::cellSortIndicatorAscending);
}

TEST_P(StockList, AnOrdinaryUserGetsNoCostFigureInTheListItsTotalsOrItsExport) {
    CurrentSession().userRole = kOrdinaryUser;
    AddGoods("纸\t白", 3, 3);  // a tab typed into the name must not shift the row
    RecordGrid* g = Open();
    for (int c : {1, 7, 8, 11, 13}) EXPECT_EQ(g->Column(c).Width(), 0) << c;
    EXPECT_EQ(g->Column(2).Width(), 130);
    EXPECT_EQ(g->CellText(2, 2), "纸\t白");
    EXPECT_EQ(g->CellText(2, 12), "3");
    EXPECT_EQ(g->CellText(2, 14), "2012年6月3日");
    for (int c : kStockCostColumns) {
        EXPECT_EQ(g->CellText(2, c), "") << c;
        EXPECT_EQ(g->CellText(3, c), "") << c;
    }
    EXPECT_EQ(g->CellText(3, 6), "3");
    // Whatever the widths, the export leaves the cost columns out.
    g->Column(8).SetWidth(75);
    RightClick(2, 3);
    TheStockPage().库管快捷菜单->hide();
    for (QAction* toggle : {TheStockPage().隐藏进货单价, TheStockPage().隐藏存货金额})
        EXPECT_FALSE(toggle->isVisible());
    const QString file = File("stock.xlsx");
    dialogs_.AnswerFile(file);
    TheStockPage().导出Excel->trigger();
    ASSERT_EQ(dialogs_.Texts().last(), "输出Excel成功");
    const QStringList texts = ReadSheet(file).Texts();
    EXPECT_TRUE(texts.contains("纸\t白"));
    EXPECT_EQ(texts.count("金额"), 0);  // the sales amount is hidden by its width as well
    EXPECT_EQ(texts.count("单价"), 1);  // the sales price alone
    EXPECT_FALSE(texts.contains("6"));  // 3 bought at 2
}

TEST_P(StockList, AnOrdinaryUserGetsTheRestockBackOnARecordRowAfterTheTotalsRow) {
    CurrentSession().userRole = kOrdinaryUser;
    AddGoods("纸", 3);
    Open();
    StockPage& page = TheStockPage();
    RightClick(3, 3);  // the totals row
    page.库管快捷菜单->hide();
    EXPECT_FALSE(page.商品续存->isVisible());
    RightClick(2, 3);
    page.库管快捷菜单->hide();
    EXPECT_TRUE(page.商品续存->isVisible());
    EXPECT_FALSE(page.修改退货->isVisible());
    EXPECT_FALSE(page.删除->isVisible());
}

TEST_P(StockList, GridLineModes) {
    AddGoods("纸", 3);
    RecordGrid* g = Open();
    EXPECT_EQ(g->GridColor(), 8421504);
    EXPECT_TRUE(g->HideGridLines());
    WriteSetupKey("line", "2");
    FillStockGrid();
    EXPECT_EQ(g->GridColor(), 16777215);
    EXPECT_FALSE(g->HideGridLines());
    EXPECT_EQ(g->Cell(2, 5).BackColor(), 16777215);
    EXPECT_EQ(g->Cell(3, 5).BackColor(), 33023);  // the totals row keeps its colour
}

TEST_P(StockList, RightClicksOpenTheMenuOnlyOverRecordCells) {
    AddGoods("纸", 3);
    Open();
    QMenu* menu = TheStockPage().库管快捷菜单;
    RightClick(1, 5);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(CurrentSession().selectedRow, 1);
    RightClick(2, 0);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(CurrentSession().selectedId, "");
    RightClick(2, 3);
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(CurrentSession().selectedId, "1");
    EXPECT_EQ(StockGrid()->Selection().FirstRow(), 2);
    EXPECT_TRUE(TheStockPage().修改退货->isVisible());
    EXPECT_FALSE(TheStockPage().查看进货单价->isVisible());
    menu->hide();
    RightClick(3, 3);  // the totals row holds no record
    EXPECT_TRUE(menu->isVisible());
    EXPECT_FALSE(TheStockPage().修改退货->isVisible());
    menu->hide();
}

TEST_P(StockList, TheMenuHoldsEveryItemInOrder) {
    Open();
    QStringList items;
    for (QAction* a : TheStockPage().库管快捷菜单->actions())
        items << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(items, (QStringList{"扫描销售", "-", "商品入库", "导入商品", "商品销售", "盘点", "-",
                                  "商品续存", "修改(退货)", "删除", "-", "查看记录", "-",
                                  "刷新显示", "导出Excel", "打印", "-", "显示模式"}));
    EXPECT_FALSE(TheStockPage().扫描销售->isEnabled());  // no scan window yet
    ForgetStockPage();
    CurrentSession().userRole = kOrdinaryUser;
    Open();
    EXPECT_FALSE(TheStockPage().隐藏进货单价->isVisible());
    EXPECT_FALSE(TheStockPage().删除->isVisible());
}

TEST_P(StockList, HidingAColumnFromTheMenuSurvivesALayout) {
    AddGoods("纸", 3);
    RecordGrid* g = Open();
    TheStockPage().隐藏进货单价->trigger();
    EXPECT_TRUE(TheStockPage().隐藏进货单价->isChecked());
    EXPECT_EQ(g->Column(7).Width(), 0);
    LayOutStockColumns();
    EXPECT_EQ(g->Column(7).Width(), 0);
    TheStockPage().隐藏进货单价->trigger();
    EXPECT_EQ(g->Column(7).Width(), 50);
}

TEST_P(StockList, SearchesNarrowTheListAsTheUserTypes) {
    AddGoods("电脑", 1, 0, "T60");
    AddGoods("O'Hara 纸", 1, 0, "A4");
    AddGoods("笔", 1, 0, "HB", QDate(2012, 7, 1), "笔类");
    Open();
    StockPage& page = TheStockPage();
    for (const char* typed : {"D", "N", "DN"}) {
        page.库管商品名称框->setText(typed);
        EXPECT_EQ(Names(), QStringList{"电脑"}) << typed;
    }
    page.库管商品名称框->setText("电");
    EXPECT_TRUE(Names().isEmpty());
    AddGoods("空调", 1);
    page.库管商品名称框->setText("KT");  // the stored initials say KD
    EXPECT_EQ(Names(), QStringList{"空调"});
    page.库管商品名称框->setText("KD");
    EXPECT_EQ(Names(), QStringList{"空调"});
    page.库管商品名称框->clear();
    EXPECT_EQ(DataRows(), 4);

    page.库管型号框->setText("a4");
    EXPECT_EQ(Names(), QStringList{"O'Hara 纸"});
    page.库管型号框->clear();
    page.库管类型查询框->setEditText("笔");
    EXPECT_EQ(Names(), QStringList{"笔"});

    page.库管日期框1->setDate(QDate(2012, 7, 1));
    page.库管日期框2->setDate(QDate(2012, 6, 1));
    OnStockDateQuery();
    EXPECT_TRUE(Names().isEmpty());
    page.库管日期框1->setDate(QDate(2012, 6, 3));
    page.库管日期框2->setDate(QDate(2012, 6, 3));
    OnStockDateQuery();
    EXPECT_EQ(DataRows(), 3);

    page.库管型号框->setText("T");
    OnClearStockQuery();
    EXPECT_EQ(page.库管型号框->text(), "");
    EXPECT_EQ(DataRows(), 4);
}

TEST_P(StockList, TheAlarmLevelAndZeroBoxWriteTheirSettings) {
    WriteSetupKey("beep", "3.9");
    AddGoods("a", 2.5);
    AddGoods("b", 3.5);
    RecordGrid* g = Open();
    StockPage& page = TheStockPage();
    EXPECT_EQ(page.库管库存报警框->text(), "3");
    EXPECT_EQ(ReadSetupKey("beep"), "3.9");  // showing the level does not rewrite it
    EXPECT_EQ(g->Cell(2, 2).ForeColor(), 255);
    EXPECT_EQ(g->Cell(3, 2).ForeColor(), 0);  // 3.5 is not below level 3

    QTest::keyClicks(page.库管库存报警框, "9");  // "39"
    EXPECT_EQ(ReadSetupKey("beep"), "39");
    EXPECT_EQ(CurrentSession().stockAlarmLevel, 39);
    EXPECT_EQ(g->Cell(3, 2).ForeColor(), 255);
    page.库管库存报警框->clear();
    QTest::keyClicks(page.库管库存报警框, "3000000000");  // beyond the int range
    EXPECT_EQ(g->Cell(2, 2).ForeColor(), 255);

    AddGoods("c", 0);
    page.库管不显示零库存框->click();
    EXPECT_EQ(ReadSetupKey("zero"), "ture");
    EXPECT_EQ(DataRows(), 3);
    page.库管不显示零库存框->click();
    EXPECT_EQ(ReadSetupKey("zero"), "false");
    EXPECT_EQ(DataRows(), 2);
}

TEST_P(StockList, PickListsAndRefreshingEveryList) {
    AddGoods("a", 1, 0, {}, QDate(2012, 6, 3), "文具");
    AddGoods("b", 1, 0, {}, QDate(2012, 6, 3), "电器");
    Open();
    EXPECT_EQ(TheStockPage().库管类型查询框->count(), 2);
    QStringList refilled;
    RegisterListFill(ListId::Sales, [&] { refilled << "sales"; });
    RegisterListFill(ListId::Other, [&] { refilled << "other"; });
    TheStockPage().库管全部记录按钮->click();
    EXPECT_EQ(refilled, (QStringList{"sales", "other"}));
    UnregisterListFill(ListId::Sales);
    UnregisterListFill(ListId::Other);
}

TEST_P(StockList, AFailedQueryIsReportedAndTheListKeepsItsRows) {
    AddGoods("a", 1);
    RecordGrid* g = Open();
    // The goods table gone under the list, as a read of it fails.
    ASSERT_TRUE(SharedConnection().Execute("ALTER TABLE buy RENAME TO buy_away"));
    FillStockGrid();
    GoodsRow goods;
    // As a double-click on the row, 商品续存 and 修改(退货) read it.
    EXPECT_FALSE(LoadGoodsRow("1", &goods));
    ASSERT_TRUE(SharedConnection().Execute("ALTER TABLE buy_away RENAME TO buy"));
    // What failed, the store's reason (which names the table) and what to do.
    const QString advice = store_ == StoreKind::Server
                               ? QStringLiteral("请检查网络或服务器后再试。")
                               : QStringLiteral(
                                     "请稍后再试；如果仍然失败，请在“数据管理”中"
                                     "检查数据库或恢复备份。");
    const QStringList texts = dialogs_.Texts();
    ASSERT_EQ(texts.size(), 2) << texts.join("|").toStdString();
    for (const auto& [text, failed] : {std::pair{texts[0], "读取数据失败，列表没有刷新："},
                                       std::pair{texts[1], "读取商品失败："}}) {
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(failed))) << text.toStdString();
        EXPECT_TRUE(text.contains("buy")) << text.toStdString();
        EXPECT_TRUE(text.endsWith(advice)) << text.toStdString();
    }
    EXPECT_EQ(Names(), QStringList{"a"});
    EXPECT_EQ(g->CellText(3, 12), "1");  // the stock total
    EXPECT_EQ(g->FrozenBottomRows(), 1);
}

TEST_P(StockList, MenuActionsOpenTheGoodsWindowsForTheClickedRecord) {
    AddGoods("纸", 3, 3);
    AddGoods("笔", 5, 5);
    Open(StockPageHooks{&window_, {}, {}, {}, {}});
    RightClick(3, 3);
    TheStockPage().库管快捷菜单->hide();
    TheStockPage().商品续存->trigger();
    auto* restock = window_.findChild<StockInWindow*>();
    ASSERT_NE(restock, nullptr);
    EXPECT_TRUE(restock->IsRestock());
    EXPECT_EQ(restock->findChild<QComboBox*>("名称组合框")->currentText(), "笔");
    delete restock;

    TheStockPage().修改退货->trigger();
    auto* modify = window_.findChild<ModifyGoodsWindow*>();
    ASSERT_NE(modify, nullptr);
    EXPECT_EQ(modify->findChild<QComboBox*>("名称组合框")->currentText(), "笔");
    delete modify;

    RightClick(4, 3);  // totals row: nothing to restock or modify
    TheStockPage().库管快捷菜单->hide();
    TheStockPage().修改退货->trigger();
    TheStockPage().商品续存->trigger();
    EXPECT_EQ(window_.findChild<ModifyGoodsWindow*>(), nullptr);
    EXPECT_EQ(window_.findChild<StockInWindow*>(), nullptr);
}

TEST_P(StockList, DeletingRemovesTheRowOnlyAfterConfirmation) {
    AddGoods("纸", 3, 3);
    AddGoods("笔", 5, 5);
    RecordGrid* g = Open();
    RightClick(2, 3);
    TheStockPage().库管快捷菜单->hide();
    dialogs_.AnswerSkin(0);
    TheStockPage().删除->trigger();
    EXPECT_EQ(DataRows(), 2);
    dialogs_.AnswerSkin(1);
    TheStockPage().删除->trigger();
    EXPECT_EQ(Names(), QStringList{"笔"});
    EXPECT_EQ(g->CellText(3, 6), "5");  // the deleted goods left the totals too
    ASSERT_TRUE(OpenSharedQuery("select * from buy"));
    EXPECT_EQ(SharedRecordSet().GetRecordCount(), 1);
    SharedRecordSet().Close();
}

TEST_P(StockList, ThePurchasePriceIsShownAfterTheSuperAdministratorsPassword) {
    CurrentSession().userRole = kOrdinaryUser;
    AddGoods("纸", 3, 3);
    Open();
    RightClick(2, 3);
    TheStockPage().库管快捷菜单->hide();
    EXPECT_TRUE(TheStockPage().查看进货单价->isVisible());
    dialogs_.Clear();
    dialogs_.AnswerInput(QString("641"));
    TheStockPage().查看进货单价->trigger();
    EXPECT_EQ(dialogs_.Texts(), (QStringList{"请输入超级管理员密码,默认超管密码",
                                             "超级管理员密码输入错误,无法完成您的请求"}));
    EXPECT_EQ(dialogs_.Shown()[0].caption, "超管");
    dialogs_.Clear();
    dialogs_.AnswerInput(QString("642"));
    TheStockPage().查看进货单价->trigger();
    EXPECT_EQ(dialogs_.Texts().last(), "2");  // read from the record: the list has none
    dialogs_.Clear();
    dialogs_.AnswerInput(std::nullopt);
    TheStockPage().查看进货单价->trigger();
    EXPECT_EQ(dialogs_.Texts().size(), 1);  // cancelled: nothing more
    ASSERT_TRUE(SharedConnection().Execute("delete from UserName"));
    dialogs_.Clear();
    TheStockPage().查看进货单价->trigger();
    EXPECT_EQ(dialogs_.Texts(), QStringList{"没有发现超级管理员账号的存在"});
}

TEST_P(StockList, TheCatalogueListsTypesAndFiltersByThem) {
    AddGoods("纸", 1, 0, {}, QDate(2012, 6, 3), "文具");
    AddGoods("灯", 1, 0, {}, QDate(2012, 6, 3), "电器");
    Open(StockPageHooks{&window_, {}, {}, {}, {}});
    TheStockPage().按钮2->click();
    QTreeWidget* tree = CatalogueTree();
    ASSERT_NE(tree, nullptr);
    EXPECT_EQ(CatalogueWindow()->windowTitle(), "数据管理");
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    EXPECT_EQ(tree->topLevelItem(0)->text(0), "全部信息");
    ASSERT_EQ(tree->topLevelItem(0)->childCount(), 2);
    EXPECT_EQ(tree->topLevelItem(0)->child(0)->text(0), "文具");
    tree->setCurrentItem(tree->topLevelItem(0)->child(0));
    EXPECT_EQ(Names(), QStringList{"纸"});
    tree->setCurrentItem(tree->topLevelItem(0));
    EXPECT_EQ(DataRows(), 2);
    // It follows the main window: left of it, or inside its right side at the screen edge.
    const int width = CatalogueWindow()->frameGeometry().width();
    PlaceCatalogueWindow(QRect(300, 100, 400, 300));
    EXPECT_EQ(CatalogueWindow()->x(), 300 - width - 3);
    PlaceCatalogueWindow(QRect(0, 100, 400, 300));
    EXPECT_EQ(CatalogueWindow()->pos(), QPoint(400 - width - 26, 250));
    // Never off the screen, on the left nor on the right.
    const QRect area = window_.screen()->availableGeometry();
    for (const int left : {50, 0}) {
        PlaceCatalogueWindow(QRect(left, 100, area.width() + 300, 681));
        EXPECT_TRUE(area.contains(CatalogueWindow()->frameGeometry())) << left;
    }
}

}  // namespace
