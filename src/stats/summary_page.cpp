#include "stats/summary_page.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QPointer>

#include "common/cell_row.h"
#include "common/number_text.h"
#include "common/session.h"
#include "common/settings.h"
#include "ledger/goods_list.h"
#include "ledger/stocktake.h"
#include "lists/list_model.h"
#include "platform/list_refresh.h"
#include "platform/list_style.h"
#include "platform/record_grid.h"
#include "stats/excel_export.h"
#include "store/shared_db.h"

namespace {

struct SummaryPage {
    QPointer<QFrame> host;
    QPointer<RecordGrid> grid;
    QPointer<QMenu> menu;
    PageList list;  // the goods the grid shows; the grid owns its model
};

SummaryPage& Page() {
    static SummaryPage page;
    return page;
}

// Columns 1 to 11, as fractions of the host width.
const QList<double> kWidths = {0, 0.15, 0.1, 0.1, 0.1, 0.065, 0.09, 0.065, 0.09, 0.065, 0.09};

// The purchase and stock amounts: filled, shown and exported only while cost figures may be
// shown.
const QList<int> kCostColumns = {7, 11};

void BuildMenu(RecordGrid* grid) {
    auto* menu = new QMenu(grid);
    menu->setObjectName(QStringLiteral("汇总快捷菜单"));
    QObject::connect(menu->addAction(QStringLiteral("刷新显示")), &QAction::triggered, menu,
                     [] { FillSummaryGrid(); });
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
    grid->SetListName(QStringLiteral("汇总"));
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
    RegisterListFill(ListId::Summary, [] { FillSummaryGrid(); });
    RegisterListRowUpdate(ListId::Summary, [](qint64 id) { UpdateSummaryRow(id); });
    g->SetRows(2);
    g->AddItem(QString());
    FillSummaryGrid();
}

namespace {

ListModel* SummaryList() {
    return Page().list.For(Page().grid, ledger::SummaryListSpec);
}

// Beside the totals: what the stocktakes booked found missing or over, at purchase price for a
// user who may see cost figures, else in pieces.
void ShowStocktakeGainLoss(RecordGrid* g) {
    ledger::StocktakeFigures taken;
    QString error;
    if (!ledger::ReadBookedGainLoss(SharedConnection(), &taken, &error))
        return ReportListReadFailure(false, error);
    const bool costs = CostFiguresVisible();
    g->SetCellText(g->Rows() - 1, 3,
                   QStringLiteral("盘点：盘盈 %1%3  盘亏 %2%3")
                       .arg(NumberText(costs ? taken.gainAmount : taken.gainQuantity),
                            NumberText(costs ? taken.lossAmount : taken.lossQuantity),
                            costs ? QStringLiteral(" 元") : QString()));
}

void ShowSummaryTotals(RecordGrid* g) {
    const ListModel& list = *Page().list.model;
    const int last = g->Rows() - 1;
    ShowStocktakeGainLoss(g);
    for (int column = ledger::kSummaryBought; column <= ledger::kSummaryStockAmount; ++column) {
        if (list.Layout().columns[column].withheld)
            g->SetCellText(last, column + 1, QString());
        else
            g->SetCellNumber(last, column + 1, list.Total(column));
    }
}

}  // namespace

void FillSummaryGrid() {
    RecordGrid* g = SummaryGrid();
    if (!g) return;
    EnsureDatabaseOpen();
    ListModel* list = SummaryList();
    const GoodsRowLook look(ledger::kSummaryColumns, kCostColumns);
    list->SetColour([look](const CellRow& row) {
        const double stock = row.Number(ledger::kSummaryStock);
        if (IsZero(stock)) return look.zeroColor;
        return stock - look.level < -kTolerance ? look.beepColor : qint64(-1);
    });
    // The opposite of the stock list: with zero on, goods without stock are left out here.
    list->SetShownOnly(look.zeroOption ? ledger::GoodsInStock() : ledger::ListCondition{});
    g->SetRowSource(list);
    ApplyListColours(g);
    ApplySourceGridLines(g, 2, 11);
    StyleTotalsRow(g, 2, 11);
    g->SetCellText(g->Rows() - 1, 2, QStringLiteral("合计："));
    g->Range(g->Rows() - 1, 3, g->Rows() - 1, 5).Merge();
    if (!list->Show({})) return ReportListReadFailure(list->Busy(), list->Error());
    ShowSummaryTotals(g);
    g->Refresh();
}

void UpdateSummaryRow(qint64 id) {
    RecordGrid* g = SummaryGrid();
    SummaryPage& page = Page();
    if (!g || !page.list.model) return;
    if (page.list.Outdated()) return FillSummaryGrid();
    if (!page.list.model->UpdateRecord(id))
        return ReportListReadFailure(page.list.model->Busy(), page.list.model->Error());
    ShowSummaryTotals(g);
}

void OnSummaryGridMouseUp(int button, int x, int y) {
    if (button != RecordGrid::kRightButton) return;
    RecordGrid* g = SummaryGrid();
    const auto [row, col] = SelectClickedCell(g, x, y);
    if (row >= 1 && col >= 1) Page().menu->popup(g->mapToGlobal(QPoint(x, y)));
}
