#include "stats/summary_page.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QPointer>

#include "common/cell_row.h"
#include "common/number_text.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/list_refresh.h"
#include "platform/list_style.h"
#include "platform/record_grid.h"
#include "stats/excel_export.h"
#include "store/list_query.h"

namespace {

struct SummaryPage {
    QPointer<QFrame> host;
    QPointer<RecordGrid> grid;
    QPointer<QMenu> menu;
    bool filtered = false;  // the list shows the rows of a query, not every goods row
};

SummaryPage& Page() {
    static SummaryPage page;
    return page;
}

const QStringList kFields = {
    QStringLiteral("ID"),       QStringLiteral("名称"),     QStringLiteral("型号"),
    QStringLiteral("编码"),     QStringLiteral("类型"),     QStringLiteral("进货数量"),
    QStringLiteral("进货金额"), QStringLiteral("销售数量"), QStringLiteral("销售金额"),
    QStringLiteral("存货数量"), QStringLiteral("存货金额")};

// Columns 1 to 11, as fractions of the host width.
const QList<double> kWidths = {0, 0.15, 0.1, 0.1, 0.1, 0.065, 0.09, 0.065, 0.09, 0.065, 0.09};

// The purchase and stock amounts: filled, shown and exported only while cost figures may be
// shown.
const QList<int> kCostColumns = {7, 11};

void BuildMenu(RecordGrid* grid) {
    auto* menu = new QMenu(grid);
    menu->setObjectName(QStringLiteral("汇总快捷菜单"));
    QObject::connect(menu->addAction(QStringLiteral("刷新显示")), &QAction::triggered, menu,
                     [] { FillSummaryGrid(QStringLiteral("select * from buy")); });
    menu->addSeparator();
    QObject::connect(menu->addAction(QStringLiteral("输出汇总Excel.")), &QAction::triggered, menu,
                     [] { ExportGridToExcel(SummaryGrid(), kCostColumns); });
    Page().menu = menu;
}

}  // namespace

RecordGrid* SummaryGrid() {
    return Page().grid.data();
}
QMenu* SummaryMenu() {
    return Page().menu.data();
}

void ForgetSummaryPage() {
    UnregisterListFill(ListId::Summary);
    Page() = SummaryPage{};
}

void CreateSummaryGrid(QFrame* host, int width, int height) {
    if (Page().grid) return;
    Page().host = host;
    auto* grid = new RecordGrid(host);
    grid->setObjectName(QStringLiteral("SummaryGrid"));
    grid->setGeometry(0, 0, width, height);
    grid->show();
    Page().grid = grid;
    SetUpSummaryGrid();
}

void LayOutSummaryColumns(int firstColumnWidth) {
    RecordGrid* g = SummaryGrid();
    if (!g) return;
    const int host = Page().host ? Page().host->width() : g->width();
    g->Column(0).SetWidth(firstColumnWidth);
    const bool costs = CostFiguresVisible();
    for (int c = 1; c <= 11; ++c)
        g->Column(c).SetWidth(costs || !kCostColumns.contains(c) ? ColumnWidth(kWidths[c - 1], host)
                                                                 : 0);
}

void SetUpSummaryGrid() {
    RecordGrid* g = SummaryGrid();
    SetUpTwoRowHeader(
        g, 100, 12,
        {{2, 5, "商品信息"}, {6, 7, "进货信息"}, {8, 9, "销售信息"}, {10, 11, "存货信息"}}, 2,
        {"名称", "型号", "编码", "类型", "数量", "金额", "数量", "金额", "数量", "金额"});
    g->Range(0, 0, 1, 0).Merge();
    for (int c = 6; c <= 10; ++c) g->Column(c).SetAlignment(RecordGrid::cellRightCenter);
    g->Column(11).SetAlignment(RecordGrid::cellCenterCenter);
    for (int c : {6, 8, 10}) g->Cell(0, c).SetAlignment(RecordGrid::cellCenterCenter);
    for (int c = 6; c <= 11; ++c) {
        g->Cell(1, c).SetAlignment(RecordGrid::cellCenterCenter);
        g->Column(c).SetMask(RecordGrid::cellValue);
        g->Column(c).SetDecimalLength(1);
    }
    LayOutSummaryColumns(30);
    QObject::connect(g, &RecordGrid::MouseUp, g,
                     [](int button, int, int x, int y) { OnSummaryGridMouseUp(button, x, y); });
    g->SetReadOnly(true);
    g->SetAutoRedraw(true);
    g->Refresh();
    BuildMenu(g);
    RegisterListFill(ListId::Summary, [](const QString& sql) { FillSummaryGrid(sql); });
    RegisterListRowUpdate(ListId::Summary, [](qint64 id) { UpdateSummaryRow(id); });
    FillSummaryGrid(QStringLiteral("select * from buy"));
}

namespace {

const QList<int> kTotalColumns = {6, 7, 8, 9, 10, 11};

}  // namespace

void FillSummaryGrid(const QString& sql) {
    RecordGrid* g = SummaryGrid();
    if (!g) return;
    BeginListFill(g, 2);
    const GoodsRowLook look(kFields.size(), kCostColumns);
    double totals[6] = {};

    ListQuery rows(sql);
    const QList<int> fields = rows.Columns(kFields);
    CellRow cells;
    // Once the first row is read the query holds its read lock and meets no other till's
    // lock: the old rows may go, so that a long list is never held twice.
    bool more = rows.Next();
    if (rows.Ok()) g->ReleaseSetAside();
    for (; more; more = rows.Next()) {
        const double stock = ReadGoodsRow(rows, fields, look, 9, &cells);
        for (int t = 0; t < 6; ++t) totals[t] += rows.Number(fields[5 + t]);
        // The opposite of the stock list: with zero on, goods without stock are left out here.
        if (look.zeroOption && stock <= kTolerance) continue;
        g->AddRow(cells);
        ColourGoodsRow(g, g->Rows() - 1, 11, stock, look);
    }
    if (!rows.Ok()) return FailListFill(g, rows.Busy());
    Page().filtered = sql != WholeListQuery(ListId::Summary);
    ApplyListColours(g);
    g->AddItem(QString());
    const int last = g->Rows() - 1;
    ApplyGridLines(g, 2, 2, last, 11);
    StyleTotalsRow(g, 2, 11);
    g->SetCellText(last, 2, QStringLiteral("合计："));
    for (int t = 0; t < 6; ++t)
        if (!look.withheld[5 + t]) g->SetCellNumber(last, 6 + t, ListTotal(totals[t]));
    FinishListFill(g);
}

void UpdateSummaryRow(qint64 id) {
    RecordGrid* g = SummaryGrid();
    if (!g) return;
    const GoodsRowLook look(kFields.size(), kCostColumns);
    if (g->SortedSinceRefill()) return RefillWholeList(ListId::Summary);
    ListQuery rows = ListQuery::OneRow(QStringLiteral("buy"), id);
    const QList<int> fields = rows.Columns(kFields);
    CellRow cells;
    const bool stored = rows.Next();
    if (!rows.Ok()) return ReportListReadFailure(rows.Busy());
    // A re-sorted list cannot tell where a row belongs, nor a filtered one whether a changed
    // row still passes its filter: they are refilled whole. A gone row just leaves.
    if (stored && Page().filtered) return RefillWholeList(ListId::Summary);
    const double stock = stored ? ReadGoodsRow(rows, fields, look, 9, &cells) : 0.0;
    const bool shown = stored && !(look.zeroOption && stock <= kTolerance);
    // Rows left out still count in the totals, which the list cannot take back.
    if (look.zeroOption && ((stored && !shown) || !HasRecordRow(g, 2, id)))
        return RefillWholeList(ListId::Summary);
    bool inserted = false;
    const int row = PutRecordRow(g, 2, id, shown ? &cells : nullptr, kTotalColumns, &inserted);
    if (row < 0) return;
    if (inserted) ApplyRowGridLines(g, row, 2, 11);
    g->Range(row, 1, row, 11).ResetForeColor();
    ColourGoodsRow(g, row, 11, stock, look);
}

void OnSummaryGridMouseUp(int button, int x, int y) {
    if (button != RecordGrid::kRightButton) return;
    RecordGrid* g = SummaryGrid();
    const auto [row, col] = SelectClickedCell(g, x, y);
    if (row >= 1 && col >= 1) Page().menu->popup(g->mapToGlobal(QPoint(x, y)));
}
