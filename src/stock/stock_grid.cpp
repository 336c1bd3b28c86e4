#include <QAction>
#include <QCheckBox>
#include <QCursor>
#include <QFrame>
#include <QLineEdit>
#include <algorithm>
#include <cmath>

#include "common/cell_row.h"
#include "common/number_text.h"
#include "common/session.h"
#include "common/settings.h"
#include "lists/list_model.h"
#include "platform/list_refresh.h"
#include "platform/list_style.h"
#include "platform/record_grid.h"
#include "stock/stock_page.h"
#include "store/shared_db.h"

namespace {

// Fractions of the host width for columns 1 to 15; column 16 takes the rest.
const double kAdminWidths[] = {0,     0.075, 0.05,  0.05,  0.06,  0.045, 0.06, 0.075,
                               0.045, 0.055, 0.075, 0.045, 0.075, 0.085, 0.07};
const double kUserWidths[] = {0,    0.13,  0.09, 0.09, 0.07, 0.07, 0,   0,
                              0.07, 0.055, 0,    0.09, 0,    0.1,  0.12};

}  // namespace

void CreateStockGrid(int width, int height) {
    StockPage& page = TheStockPage();
    if (page.grid || !page.库管框架) return;
    page.grid = new RecordGrid(page.库管框架);
    page.grid->setObjectName(QStringLiteral("StockGrid"));
    page.grid->SetListName(QStringLiteral("库存"));
    page.grid->setGeometry(0, 0, width, height);
    page.grid->show();
    SetUpStockGrid();
    LayOutStockColumns();
}

void SetUpStockGrid() {
    StockPage& page = TheStockPage();
    RecordGrid* g = page.grid;
    SetUpTwoRowHeader(g, 50, 17,
                      {{2, 5, "商品信息"},
                       {6, 8, "进货信息"},
                       {9, 11, "销售信息"},
                       {12, 13, "存货信息"},
                       {14, 16, "备注信息"}},
                      2,
                      {"名称", "型号", "编码", "类型", "数量", "单价", "金额", "数量", "单价",
                       "金额", "数量", "金额", "入库日期", "供货商", "备注"});
    g->Range(0, 1, 1, 1).Merge();
    for (int c = 6; c <= 14; ++c) g->Column(c).SetAlignment(RecordGrid::cellRightCenter);
    for (int c : {6, 9, 12, 14}) g->Cell(0, c).SetAlignment(RecordGrid::cellCenterCenter);
    for (int c = 6; c <= 14; ++c) g->Cell(1, c).SetAlignment(RecordGrid::cellCenterCenter);
    // Quantities carry the numeric mask too, so that sorting by stock orders numbers.
    for (int c : {6, 7, 8, 9, 10, 11, 12, 13}) {
        g->Column(c).SetMask(RecordGrid::cellValue);
        g->Column(c).SetDecimalLength(1);
    }
    g->SetReadOnly(true);
    g->SetAutoRedraw(true);
    g->Refresh();

    QObject::connect(g, &RecordGrid::DblClick, g, [] { OnStockGridDblClick(); });
    QObject::connect(g, &RecordGrid::MouseUp, g,
                     [](int button, int, int x, int y) { OnStockGridMouseUp(button, x, y); });
    QObject::connect(g, &RecordGrid::OwnerDrawCell, g,
                     [g](int row, int col, QPainter& painter, const QRect& rect) {
                         g->DrawRowMarker(row, col, painter, rect, RecordGrid::RowMarker::Stock);
                     });

    CurrentSession().stockAlarmLevel = std::trunc(TextToNumber(ReadSetupKey(SetupKey::kBeep)));
    if (page.库管库存报警框)
        page.库管库存报警框->setText(NumberText(CurrentSession().stockAlarmLevel));
    if (page.库管不显示零库存框) page.库管不显示零库存框->setChecked(SetupFlag(SetupKey::kZero));
    // Every refill of the list from elsewhere shows every goods row again.
    RegisterListFill(ListId::Stock, [] {
        const bool filtered = TheStockPage().filtered;
        FillStockGrid();
        if (filtered && !TheStockPage().filtered) ClearStockFilterBoxes();
    });
    RegisterListRowUpdate(ListId::Stock, [](qint64 id) { UpdateStockRow(id); });
    g->SetRows(2);
    g->AddItem(QString());
    FillStockGrid();
    ReloadStockPanelPickLists();
}

void LayOutStockColumns() {
    StockPage& page = TheStockPage();
    if (!page.grid) return;
    const int host = page.库管框架->width();
    const bool costs = CostFiguresVisible();
    const double* widths = costs ? kAdminWidths : kUserWidths;
    int used = 20;
    page.grid->Column(0).SetWidth(20);
    for (int c = 1; c <= 15; ++c) {
        const bool withheld = !costs && kStockCostColumns.contains(c);
        const int width = withheld ? 0 : static_cast<int>(std::floor(widths[c - 1] * host));
        page.grid->Column(c).SetWidth(width);
        used += width;
    }
    // The last column takes what is left (and stretches with the grid).
    page.grid->Column(16).SetWidth(std::max(host - used, 40));
    // A barcode and a date show whole at the window's first size, from the last column's room.
    WidenToFit(page.grid, 4, kWidestCode, 16);
    WidenToFit(page.grid, 14, kWidestDate, 16);
    // Columns the user hid from the menu stay hidden when the window changes size.
    const std::pair<QAction*, int> toggles[] = {
        {page.隐藏进货单价, 7}, {page.隐藏进货金额, 8}, {page.隐藏存货金额, 13}};
    for (const auto& [item, column] : toggles)
        if (item && item->isChecked()) page.grid->Column(column).SetWidth(0);
}

namespace {

ListModel* StockList() {
    return TheStockPage().list.For(TheStockPage().grid, ledger::GoodsListSpec);
}

// The look of the rows and the totals row, and which goods are shown, from the settings at
// each fill.
void StyleStockRows(RecordGrid* g, ListModel* list) {
    const GoodsRowLook look(ledger::kGoodsColumns, kStockCostColumns);
    list->SetColour([look](const CellRow& row) {
        const double stock = row.Number(ledger::kGoodsStock);
        if (IsZero(stock)) return look.zeroColor;
        return stock - look.level < -kTolerance ? look.beepColor : qint64(-1);
    });
    list->SetShownOnly(look.zeroOption ? ledger::ListCondition{} : ledger::GoodsInStock());
    g->SetRowSource(list);
    ApplyListColours(g);
    ApplySourceGridLines(g, 2, 16);
    StyleTotalsRow(g, 2, 16);
    g->SetCellText(g->Rows() - 1, 5, QStringLiteral("合计："));
}

// Purchased, sold and stock quantity and amount of every goods row the search finds, shown
// or not; a cost total stays empty for a user who may not see it.
void ShowStockTotals(RecordGrid* g) {
    const ListModel& list = *TheStockPage().list.model;
    const int last = g->Rows() - 1;
    for (int column : {ledger::kGoodsBought, ledger::kGoodsBoughtAmount, ledger::kGoodsSold,
                       ledger::kGoodsSoldAmount, ledger::kGoodsStock, ledger::kGoodsStockAmount}) {
        if (list.Layout().columns[column].withheld)
            g->SetCellText(last, column + 1, QString());
        else
            g->SetCellNumber(last, column + 1, list.Total(column));
    }
}

}  // namespace

void FillStockGrid(const ledger::GoodsFilter& filter) {
    RecordGrid* g = StockGrid();
    if (!g) return;
    EnsureDatabaseOpen();
    ListModel* list = StockList();
    StyleStockRows(g, list);
    if (SetupFlag(SetupKey::kBeepView)) {
        // The goods shortest of stock first.
        g->Column(12).Sort(RecordGrid::cellAscending);
        g->Column(12).SetUserSortIndicator(RecordGrid::cellSortIndicatorAscending);
    }
    if (!list->Show(ledger::GoodsCondition(filter)))
        return ReportListReadFailure(list->Busy(), list->Error());
    TheStockPage().filter = filter;
    TheStockPage().filtered = filter.kind != ledger::GoodsFilter::Kind::All;
    ShowStockTotals(g);
    g->Refresh();
}

void UpdateStockRow(qint64 id) {
    RecordGrid* g = StockGrid();
    StockPage& page = TheStockPage();
    if (!g || !page.list.model) return;
    // A list made for another user's rights is read anew whole.
    if (page.list.Outdated()) return FillStockGrid(page.filter);
    if (!page.list.model->UpdateRecord(id))
        return ReportListReadFailure(page.list.model->Busy(), page.list.model->Error());
    ShowStockTotals(g);
}

void OnStockGridDblClick() {
    if (SelectDoubleClickedRecord(StockGrid()) && TheStockPage().hooks.sell)
        TheStockPage().hooks.sell();
}
