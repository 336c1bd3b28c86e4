#include <gtest/gtest.h>

#include <QFile>
#include <QFrame>
#include <QMenu>

#include "common/session.h"
#include "common/settings.h"
#include "platform/list_refresh.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "stats/excel_export.h"
#include "stats/summary_page.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"
#include "support/workbook_reader.h"

namespace {

class SummaryBooks : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        Provision();
        CurrentSession().userRole = kSuperAdmin;
        window_.resize(1000, 600);
        host_ = new QFrame(&window_);
        host_->setGeometry(0, 0, 1000, 560);
        Skin::Instance().Attach(&window_);  // ShowMessage needs the skinned window
        window_.show();
    }
    void TearDown() override {
        Skin::Instance().Detach();
        ForgetSummaryPage();
        ProgramFixture::TearDown();
    }
    void AddGoods(const QString& name, double bought, double stock) {
        ASSERT_TRUE(SharedConnection().Execute(
            "insert into buy (名称, 进货数量, 进货金额, 存货数量, 存货金额) values (?, ?, ?, ?, ?)",
            {name, bought, bought * 3, stock, stock * 3}));
    }
    RecordGrid* Open() {
        CreateSummaryGrid(host_, 1000, 560);
        return SummaryGrid();
    }
    void RightClick(int row, int col) {
        const QRect cell = SummaryGrid()->CellRect(row, col);
        ASSERT_FALSE(cell.isEmpty());
        OnSummaryGridMouseUp(RecordGrid::kRightButton, cell.center().x(), cell.center().y());
    }
    QWidget window_;
    QFrame* host_ = nullptr;
};

using Summary = OnBothStores<SummaryBooks>;
LK_ON_BOTH_STORES(Summary);

TEST_P(Summary, AnEmptyTableShowsHeadersAndZeroTotals) {
    RecordGrid* g = Open();
    ASSERT_EQ(g->Rows(), 3);
    EXPECT_EQ(g->Cols(), 12);
    EXPECT_EQ(g->CellText(0, 6), "进货信息");
    EXPECT_EQ(g->CellText(2, 2), "合计：");
    for (int c = 6; c <= 11; ++c) EXPECT_EQ(g->CellText(2, c), "0");
    EXPECT_EQ(g->Column(0).Width(), 30);
    EXPECT_EQ(g->Column(2).Width(), 150);
    EXPECT_EQ(g->Column(1).Width(), 0);
}

TEST_P(Summary, TheTotalsShowTheStocktakesGainAndLossAtPurchasePriceToTheSuperAdministratorOnly) {
    ASSERT_TRUE(SharedConnection().Execute(
        "insert into stocktake (范围, 确认时间, 盘盈数量, 盘盈金额, 盘亏数量, 盘亏金额) values "
        "('全部商品', '2026-12-01 10:00:00', 2, 0.2, 7, 29), ('类型', '2026-12-05', 1, 0.1, 0, 0),"
        " ('全部商品', NULL, 50, 500, 0, 0)"));
    RecordGrid* g = Open();
    EXPECT_EQ(g->CellText(2, 3), "盘点：盘盈 0.3 元  盘亏 29 元");
    CurrentSession().userRole = kOrdinaryUser;
    FillSummaryGrid();
    EXPECT_EQ(g->CellText(2, 3), "盘点：盘盈 3  盘亏 7");  // the open one is not booked yet
}

TEST_P(Summary, ZeroStockIsLeftOutOnlyWhenTheStockListShowsIt) {
    AddGoods("有", 2, 1);
    AddGoods("无", 4, 0);
    RecordGrid* g = Open();
    EXPECT_EQ(g->Rows(), 5);  // zero not "ture": every goods item is listed
    EXPECT_EQ(g->Cell(3, 2).ForeColor(), 8421504);
    WriteSetupKey("zero", "ture");
    FillSummaryGrid();
    ASSERT_EQ(g->Rows(), 4);
    EXPECT_EQ(g->CellText(2, 2), "有");
    EXPECT_EQ(g->CellText(3, 6), "6");  // both purchases counted
    EXPECT_EQ(g->CellText(3, 7), "18");
    EXPECT_EQ(g->CellText(3, 10), "1");
}

TEST_P(Summary, TheMenuOpensFromHeaderRowOneButNotRowOrColumnZero) {
    AddGoods("有", 2, 1);
    Open();
    RightClick(0, 3);
    EXPECT_FALSE(SummaryMenu()->isVisible());
    RightClick(2, 0);
    EXPECT_FALSE(SummaryMenu()->isVisible());
    RightClick(1, 3);
    EXPECT_TRUE(SummaryMenu()->isVisible());
    SummaryMenu()->hide();
}

TEST_P(Summary, ExportNeedsARecordRowAndWritesTheWholeList) {
    AddGoods("甲", 2, 1);
    AddGoods("乙", 3, 3);
    RecordGrid* g = Open();
    RightClick(4, 3);  // the totals row
    dialogs_.Clear();
    ExportGridToExcel(g);
    ASSERT_EQ(dialogs_.Texts(), QStringList{"输出Excel失败"});
    EXPECT_EQ(dialogs_.Shown()[0].skinIcon, 2);  // kind 1: warning

    RightClick(2, 3);
    dialogs_.Clear();
    const QString file = File("summary.xlsx");
    dialogs_.AnswerFile(file);
    ExportGridToExcel(g);
    ASSERT_EQ(dialogs_.Texts(), (QStringList{"", "输出Excel成功"}));
    EXPECT_EQ(dialogs_.Shown()[0].caption, QStringLiteral("导出到Excel"));
    const Sheet sheet = ReadSheet(file);
    EXPECT_TRUE(sheet.Texts().contains("甲"));
    EXPECT_TRUE(sheet.Texts().contains("乙"));
    EXPECT_TRUE(sheet.Texts().contains("合计："));
    EXPECT_EQ(CurrentSession().selectedId, "1");

    dialogs_.Clear();
    ExportGridToExcel(g);  // dialog cancelled
    EXPECT_EQ(dialogs_.Texts().last(), "输出Excel失败");
}

TEST_P(Summary, PrintNoticesPointToTheExport) {
    ShowPrintNotice(PrintNotice::Stock);
    ShowPrintNotice(PrintNotice::Sales);
    EXPECT_EQ(dialogs_.Texts(),
              (QStringList{"~ 暂无此功能 ~  因为此功能正在测试中！  ，但是你可以用输出Excel打印。",
                           "~ 暂无此功能 ~，但是你可以用输出Excel打印。"}));
}

TEST_P(Summary, ItRegistersItselfForRefills) {
    EXPECT_FALSE(ListExists(ListId::Summary));
    RecordGrid* g = Open();
    EXPECT_TRUE(ListExists(ListId::Summary));
    AddGoods("新", 1, 1);
    RefillWholeList(ListId::Summary);
    EXPECT_EQ(g->CellText(2, 2), "新");
}

}  // namespace
