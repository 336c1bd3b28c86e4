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
#include "platform/list_refresh.h"
#include "platform/list_style.h"
#include "platform/record_grid.h"
#include "stock/stock_page.h"
#include "store/list_query.h"

namespace {

const QStringList kFields = {
    QStringLiteral("ID"),       QStringLiteral("名称"),     QStringLiteral("型号"),
    QStringLiteral("编码"),     QStringLiteral("类型"),     QStringLiteral("进货数量"),
    QStringLiteral("进货单价"), QStringLiteral("进货金额"), QStringLiteral("销售数量"),
    QStringLiteral("销售单价"), QStringLiteral("销售金额"), QStringLiteral("存货数量"),
    QStringLiteral("存货金额"), QStringLiteral("入库日期"), QStringLiteral("供货商"),
    QStringLiteral("备注")};

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
    RegisterListFill(ListId::Stock, [](const QString& sql) {
        const bool filtered = TheStockPage().filtered;
        FillStockGrid(sql);
        if (filtered && !TheStockPage().filtered) ClearStockFilterBoxes();
    });
    RegisterListRowUpdate(ListId::Stock, [](qint64 id) { UpdateStockRow(id); });
    FillStockGrid(QStringLiteral("select * from buy"));
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
    // Columns the user hid from the menu stay hidden when the window changes size.
    const std::pair<QAction*, int> toggles[] = {
        {page.隐藏进货单价, 7}, {page.隐藏进货金额, 8}, {page.隐藏存货金额, 13}};
    for (const auto& [item, column] : toggles)
        if (item && item->isChecked()) page.grid->Column(column).SetWidth(0);
}

namespace {

// The columns of the totals row and the fields they add up.
constexpr int kTotalCells[6] = {6, 8, 9, 11, 12, 13};

}  // namespace

void FillStockGrid(const QString& sql, const QVariantList& values) {
    RecordGrid* g = StockGrid();
    if (!g) return;
    BeginListFill(g, 2);

    const GoodsRowLook look(kFields.size(), kStockCostColumns);
    // Purchased, sold and stock quantity and amount, of every row whether shown or not.
    double totals[6] = {};
    const int totalFields[6] = {5, 7, 8, 10, 11, 12};  // indexes into kFields

    ListQuery rows(sql, values);
    const QList<int> fields = rows.Columns(kFields);
    CellRow cells;
    // Once the first row is read the query holds its read lock and meets no other till's
    // lock: the old rows may go, so that a long list is never held twice.
    bool more = rows.Next();
    if (rows.Ok()) g->ReleaseSetAside();
    for (; more; more = rows.Next()) {
        const double stock = ReadGoodsRow(rows, fields, look, 11, &cells);
        for (int t = 0; t < 6; ++t) totals[t] += rows.Number(fields[totalFields[t]]);
        if (!look.zeroOption && stock <= kTolerance) continue;
        g->AddRow(cells);
        ColourGoodsRow(g, g->Rows() - 1, 16, stock, look);
    }
    if (!rows.Ok()) return FailListFill(g, rows.Busy());
    TheStockPage().filtered = sql != WholeListQuery(ListId::Stock) || !values.isEmpty();
    ApplyListColours(g);
    if (SetupFlag(SetupKey::kBeepView)) {
        g->Column(12).Sort(RecordGrid::cellAscending);
        g->Column(12).SetUserSortIndicator(RecordGrid::cellSortIndicatorAscending);
    }
    g->AddItem(QString());
    const int last = g->Rows() - 1;
    ApplyGridLines(g, 2, 2, last, 16);
    StyleTotalsRow(g, 2, 16);
    g->SetCellText(last, 5, QStringLiteral("合计："));
    for (int t = 0; t < 6; ++t)
        if (!look.withheld[kTotalCells[t] - 1])
            g->SetCellNumber(last, kTotalCells[t], ListTotal(totals[t]));
    FinishListFill(g);
}

void UpdateStockRow(qint64 id) {
    RecordGrid* g = StockGrid();
    if (!g) return;
    const GoodsRowLook look(kFields.size(), kStockCostColumns);
    if (g->SortedSinceRefill()) return RefillWholeList(ListId::Stock);
    ListQuery rows = ListQuery::OneRow(QStringLiteral("buy"), id);
    const QList<int> fields = rows.Columns(kFields);
    CellRow cells;
    const bool stored = rows.Next();
    if (!rows.Ok()) return ReportListReadFailure(rows.Busy());
    // A re-sorted list cannot tell where a row belongs, nor a filtered one whether a changed
    // row still passes its filter: they are refilled whole. A gone row just leaves.
    if (stored && TheStockPage().filtered) return RefillWholeList(ListId::Stock);
    const double stock = stored ? ReadGoodsRow(rows, fields, look, 11, &cells) : 0.0;
    const bool shown = stored && (look.zeroOption || stock > kTolerance);
    if (!look.zeroOption) {
        // Rows left out still count in the totals, which the list cannot take back.
        if (!HasRecordRow(g, 2, id) || (stored && !shown)) return RefillWholeList(ListId::Stock);
    }
    bool inserted = false;
    const int row =
        PutRecordRow(g, 2, id, shown ? &cells : nullptr,
                     QList<int>(std::begin(kTotalCells), std::end(kTotalCells)), &inserted);
    if (row >= 0) {
        if (inserted) ApplyRowGridLines(g, row, 2, 16);
        g->Range(row, 1, row, 16).ResetForeColor();
        ColourGoodsRow(g, row, 16, stock, look);
    }
}

void OnStockGridDblClick() {
    if (SelectDoubleClickedRecord(StockGrid()) && TheStockPage().hooks.sell)
        TheStockPage().hooks.sell();
}
