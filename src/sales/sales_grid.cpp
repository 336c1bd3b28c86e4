#include <QAction>
#include <QComboBox>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>

#include "common/cell_row.h"
#include "common/number_text.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/combo_fill.h"
#include "platform/list_refresh.h"
#include "platform/list_style.h"
#include "platform/record_grid.h"
#include "sales/modify_sale_window.h"
#include "sales/sales_page.h"
#include "store/list_query.h"
#include "store/shared_db.h"

namespace {

const QStringList kFields = {
    QStringLiteral("ID"),       QStringLiteral("UID"),      QStringLiteral("名称"),
    QStringLiteral("型号"),     QStringLiteral("编码"),     QStringLiteral("类型"),
    QStringLiteral("销售单价"), QStringLiteral("销售数量"), QStringLiteral("销售金额"),
    QStringLiteral("销售日期"), QStringLiteral("欠款额"),   QStringLiteral("净利润"),
    QStringLiteral("客户编号"), QStringLiteral("客户名称"), QStringLiteral("联系方式"),
    QStringLiteral("客户地址"), QStringLiteral("备注")};

// Fractions of the width of 销售框架 for columns 1 to 17.
const double kWidths[] = {0,    0,     0.1,   0.065, 0.06,  0.06,  0.055, 0.055, 0.085,
                          0.09, 0.065, 0.085, 0.035, 0.045, 0.045, 0.06,  0.06};

void SetUpSalesGrid(RecordGrid* g) {
    SetUpTwoRowHeader(g, 100, 18, {{2, 6, "商品信息"}, {7, 12, "销售信息"}, {13, 17, "客户信息"}},
                      3,
                      {"名称", "型号", "编码", "类型", "单价", "数量", "金额", "日期", "欠款额",
                       "净利润", "编号", "名称", "电话", "地址", "备注"});
    g->Range(0, 0, 1, 0).Merge();
    for (int c = 7; c <= 12; ++c) {
        g->Column(c).SetAlignment(RecordGrid::cellRightCenter);
        g->Cell(1, c).SetAlignment(RecordGrid::cellCenterCenter);
    }
    g->Cell(0, 7).SetAlignment(RecordGrid::cellCenterCenter);
    for (int c : {7, 8, 9, 11, 12}) g->Column(c).SetMask(RecordGrid::cellValue);
    for (int c : {7, 9, 11, 12}) g->Column(c).SetDecimalLength(1);
    g->SetReadOnly(true);
    LayOutSalesColumns();
    g->SetAutoRedraw(true);
    g->Refresh();

    QObject::connect(g, &RecordGrid::DblClick, g, [] { OnSalesGridDblClick(); });
    QObject::connect(g, &RecordGrid::MouseUp, g,
                     [](int button, int, int x, int y) { OnSalesGridMouseUp(button, x, y); });
    QObject::connect(g, &RecordGrid::OwnerDrawCell, g,
                     [g](int row, int col, QPainter& painter, const QRect& rect) {
                         g->DrawRowMarker(row, col, painter, rect, RecordGrid::RowMarker::Record);
                     });
}

bool IndexExists(const QString& name) {
    // A server's tables are always made with every index of the program, and its catalog is
    // not SQLite's; only a data.db of an earlier version may lack one.
    EnsureDatabaseOpen();
    if (SharedConnection().GetProvider() == kServerStore) return true;
    const bool found =
        OpenSharedQuery(
            QStringLiteral("select count(*) as n from sqlite_master where type = 'index' and "
                           "name = ?"),
            {name}) &&
        FieldNumber(SharedRecordSet(), QStringLiteral("n")) > 0;
    SharedRecordSet().Close();
    return found;
}

// Each value of a column of sell once, in the column's order. Along the column's index (every
// ledger gains it when opened) the query steps from one value to the next, a few index
// entries per value; a ledger that could not gain it yet is grouped in one pass over the sales.
QString DistinctSellValues(const QString& column, const QString& index) {
    if (!IndexExists(index))
        return QStringLiteral("select max(%1) as exp from sell group by %1").arg(column);
    return QStringLiteral(
               "with recursive walk(exp) as (select min(%1) from sell union all "
               "select (select min(%1) from sell where %1 > walk.exp) from walk "
               "where walk.exp is not null) select exp from walk where exp is not null")
        .arg(column);
}

void FillPickLists() {
    SalesPage& page = TheSalesPage();
    if (!page.销售类型查询框) return;
    // Filling the lists must not run the searches bound to their text.
    const QSignalBlocker type(page.销售类型查询框), customer(page.销售客户名称框);
    FillComboFromQuery(page.销售类型查询框,
                       DistinctSellValues(QStringLiteral("类型"), QStringLiteral("销售类型")));
    FillComboFromQuery(page.销售客户名称框,
                       DistinctSellValues(QStringLiteral("客户名称"), QStringLiteral("销售客户")));
}

}  // namespace

RecordGrid* SalesGrid() {
    return TheSalesPage().grid;
}

void CreateSalesGrid(int width, int height) {
    SalesPage& page = TheSalesPage();
    if (page.grid || !page.销售框架) return;
    page.grid = new RecordGrid(page.销售框架);
    page.grid->setObjectName(QStringLiteral("SalesGrid"));
    page.grid->setGeometry(0, 0, width, height);
    page.grid->show();
    SetUpSalesGrid(page.grid);
    RegisterListFill(ListId::Sales, [](const QString& sql) {
        const bool filtered = TheSalesPage().filtered;
        FillSalesGrid(sql);
        if (filtered && !TheSalesPage().filtered) ClearSalesFilterBoxes();
    });
    RegisterListRowUpdate(ListId::Sales, [](qint64 id) { UpdateSaleRow(id); });
    FillSalesGrid(QStringLiteral("select * from sell"));
    FillPickLists();
}

void LayOutSalesColumns() {
    SalesPage& page = TheSalesPage();
    if (!page.grid) return;
    const int host = page.销售框架->width();
    page.grid->Column(0).SetWidth(20);
    for (int c = 1; c <= 17; ++c) page.grid->Column(c).SetWidth(ColumnWidth(kWidths[c - 1], host));
    if (!CostFiguresVisible()) page.grid->Column(kSalesProfitColumn).SetWidth(0);
    // Columns the user hid from the menu stay hidden when the window changes size.
    const std::pair<QAction*, std::pair<int, int>> toggles[] = {{page.隐藏销售单价, {7, 7}},
                                                                {page.隐藏销售日期, {10, 10}},
                                                                {page.隐藏欠款金额, {11, 11}},
                                                                {page.隐藏净利润, {12, 12}},
                                                                {page.隐藏全部客户信息, {13, 17}}};
    for (const auto& [item, columns] : toggles)
        if (item && item->isChecked())
            for (int c = columns.first; c <= columns.second; ++c) page.grid->Column(c).SetWidth(0);
}

namespace {

// The totals row: quantity, amount, debt and profit.
const QList<int> kTotalColumns = {8, 9, 11, kSalesProfitColumn};

// The current row of rows as list cells; returns its debt.
double ReadSaleRow(const ListQuery& rows, const QList<int>& fields, bool profits, CellRow* cells) {
    cells->Clear();
    for (int f = 0; f < kFields.size(); ++f) {
        // A user who may not see profits gets none in the list, not even in a hidden cell.
        if (profits || f + 1 != kSalesProfitColumn)
            rows.AddCell(fields[f], cells);
        else
            cells->AddEmpty();
    }
    return cells->Number(10);
}

}  // namespace

void FillSalesGrid(const QString& sql, const QVariantList& values) {
    RecordGrid* g = SalesGrid();
    if (!g) return;
    BeginListFill(g, 2);
    const qint64 debtColor = SetupColor(SetupKey::kRmbColor);
    double quantity = 0, amount = 0, debt = 0, profit = 0;

    ListQuery rows(sql, values);
    const QList<int> fields = rows.Columns(kFields);
    const bool profits = CostFiguresVisible();
    CellRow cells;
    // Once the first row is read the query holds its read lock and meets no other till's
    // lock: the old rows may go, so that a long list is never held twice.
    bool more = rows.Next();
    if (rows.Ok()) g->ReleaseSetAside();
    for (; more; more = rows.Next()) {
        const double rowDebt = ReadSaleRow(rows, fields, profits, &cells);
        quantity += cells.Number(7);
        amount += cells.Number(8);
        debt += rowDebt;
        profit += cells.Number(11);
        g->AddRow(cells);
        if (!IsZero(rowDebt)) {
            const int row = g->Rows() - 1;
            g->Range(row, 1, row, 17).SetForeColor(debtColor);
        }
    }
    if (!rows.Ok()) return FailListFill(g, rows.Busy());
    TheSalesPage().filtered = sql != WholeListQuery(ListId::Sales) || !values.isEmpty();
    ApplyListColours(g);
    g->AddItem(QString());
    const int last = g->Rows() - 1;
    ApplyGridLines(g, 2, 2, last, 17);
    StyleTotalsRow(g, 1, 17);
    g->SetCellText(last, 3, QStringLiteral("合计："));
    g->SetCellNumber(last, 8, ListTotal(quantity));
    g->SetCellNumber(last, 9, ListTotal(amount));
    g->SetCellNumber(last, 11, ListTotal(debt));
    if (profits) g->SetCellNumber(last, kSalesProfitColumn, ListTotal(profit));
    FinishListFill(g);
}

void UpdateSaleRow(qint64 id) {
    RecordGrid* g = SalesGrid();
    if (!g) return;
    if (g->SortedSinceRefill()) return RefillWholeList(ListId::Sales);
    ListQuery rows = ListQuery::OneRow(QStringLiteral("sell"), id);
    const QList<int> fields = rows.Columns(kFields);
    CellRow cells;
    const bool stored = rows.Next();
    if (!rows.Ok()) return ReportListReadFailure(rows.Busy());
    // A re-sorted list cannot tell where a row belongs, nor a filtered one whether a changed
    // row still passes its filter: they are refilled whole. A gone row just leaves.
    if (stored && TheSalesPage().filtered) return RefillWholeList(ListId::Sales);
    const double debt = stored ? ReadSaleRow(rows, fields, CostFiguresVisible(), &cells) : 0.0;
    bool inserted = false;
    const int row = PutRecordRow(g, 2, id, stored ? &cells : nullptr, kTotalColumns, &inserted);
    if (row < 0) return;
    if (inserted) ApplyRowGridLines(g, row, 2, 17);
    g->Range(row, 1, row, 17).ResetForeColor();
    if (!IsZero(debt)) g->Range(row, 1, row, 17).SetForeColor(SetupColor(SetupKey::kRmbColor));
}

void ClearSalesFilterBoxes() {
    SalesPage& page = TheSalesPage();
    if (!page.销售类型查询框) return;
    const QSignalBlocker a(page.销售类型查询框), b(page.销售商品名称框), c(page.销售型号框),
        d(page.销售商品编码框), e(page.销售客户名称框), f(page.销售备注框);
    page.销售类型查询框->setEditText(QString());
    page.销售商品名称框->clear();
    page.销售型号框->clear();
    page.销售商品编码框->clear();
    page.销售客户名称框->setEditText(QString());
    page.销售备注框->clear();
}

void OnSalesGridDblClick() {
    RecordGrid* g = SalesGrid();
    if (SelectDoubleClickedRecord(g))
        OpenModifySaleWindow(TheSalesPage().hooks.owner, g, CurrentSession().selectedRow);
}

void OnSalesGridMouseUp(int button, int x, int y) {
    if (button != RecordGrid::kRightButton) return;
    RecordGrid* g = SalesGrid();
    const auto [row, col] = SelectClickedCell(g, x, y);
    Session& session = CurrentSession();
    if (row < 2 || col < 2) return;
    session.selectedId = g->CellText(row, 1);
    if (IsRecordId(session.selectedId))
        TheSalesPage().销售快捷菜单->popup(g->mapToGlobal(QPoint(x, y)));
}
