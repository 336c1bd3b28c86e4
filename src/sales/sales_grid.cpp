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
#include "ledger/sales_list.h"
#include "lists/list_model.h"
#include "platform/combo_fill.h"
#include "platform/list_refresh.h"
#include "platform/list_style.h"
#include "platform/record_grid.h"
#include "sales/modify_sale_window.h"
#include "sales/sales_page.h"
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

// The type and customer pick lists, each value once.
void FillPickLists() {
    SalesPage& page = TheSalesPage();
    if (!page.销售类型查询框) return;
    // Filling the lists must not run the searches bound to their text.
    const QSignalBlocker type(page.销售类型查询框), customer(page.销售客户名称框);
    const std::pair<QComboBox*, int> lists[] = {{page.销售类型查询框, ledger::kSaleType},
                                                {page.销售客户名称框, ledger::kSaleCustomerName}};
    for (const auto& [box, column] : lists) {
        QStringList values;
        QString error;
        ledger::ReadSalesValues(SharedConnection(), column, &values, &error);
        FillCombo(box, values);
    }
}

ListModel* SalesList() {
    return TheSalesPage().list.For(TheSalesPage().grid, ledger::SalesListSpec);
}

// The look of the rows and the totals row, from the settings at each fill.
void StyleSalesRows(RecordGrid* g) {
    const qint64 debtColor = SetupColor(SetupKey::kRmbColor);
    SalesList()->SetColour([debtColor](const CellRow& row) {
        return IsZero(row.Number(ledger::kSaleDebt)) ? -1 : debtColor;
    });
    g->SetRowSource(SalesList());
    ApplyListColours(g);
    const int last = g->Rows() - 1;
    ApplySourceGridLines(g, 2, 17);
    StyleTotalsRow(g, 1, 17);
    g->SetCellText(last, 3, QStringLiteral("合计："));
}

// The totals of the sales the list shows, exact to the fen.
void ShowSalesTotals(RecordGrid* g) {
    const ListModel& list = *TheSalesPage().list.model;
    const int last = g->Rows() - 1;
    const std::pair<int, int> totals[] = {
        {8, ledger::kSaleQuantity}, {9, ledger::kSaleAmount}, {11, ledger::kSaleDebt}};
    for (const auto& [col, column] : totals) g->SetCellNumber(last, col, list.Total(column));
    if (TheSalesPage().list.withCosts)
        g->SetCellNumber(last, kSalesProfitColumn, list.Total(ledger::kSaleProfit));
    else
        g->SetCellText(last, kSalesProfitColumn, QString());
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
    page.grid->SetListName(QStringLiteral("销售记录"));
    page.grid->setGeometry(0, 0, width, height);
    page.grid->show();
    SetUpSalesGrid(page.grid);
    // Every refill of the list from elsewhere shows every sale again.
    RegisterListFill(ListId::Sales, [] {
        const bool filtered = TheSalesPage().filtered;
        FillSalesGrid();
        if (filtered && !TheSalesPage().filtered) ClearSalesFilterBoxes();
    });
    RegisterListRowUpdate(ListId::Sales, [](qint64 id) { UpdateSaleRow(id); });
    page.grid->SetRows(2);
    page.grid->AddItem(QString());
    FillSalesGrid();
    FillPickLists();
}

void LayOutSalesColumns() {
    SalesPage& page = TheSalesPage();
    if (!page.grid) return;
    const int host = page.销售框架->width();
    page.grid->Column(0).SetWidth(20);
    for (int c = 1; c <= 17; ++c) page.grid->Column(c).SetWidth(ColumnWidth(kWidths[c - 1], host));
    if (!CostFiguresVisible()) page.grid->Column(kSalesProfitColumn).SetWidth(0);
    // A barcode and a date show whole at the window's first size: the remark, address and name
    // columns give the room.
    WidenToFit(page.grid, 5, kWidestCode, 17);
    WidenToFit(page.grid, 5, kWidestCode, 3);
    WidenToFit(page.grid, 10, kWidestDate, 16);
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

void FillSalesGrid(const ledger::SalesFilter& filter) {
    RecordGrid* g = SalesGrid();
    if (!g) return;
    EnsureDatabaseOpen();
    StyleSalesRows(g);
    ListModel* list = SalesList();
    if (!list->Show(ledger::SalesCondition(filter)))
        return ReportListReadFailure(list->Busy(), list->Error());
    TheSalesPage().filter = filter;
    TheSalesPage().filtered = filter.kind != ledger::SalesFilter::Kind::All;
    ShowSalesTotals(g);
    g->Refresh();
}

void UpdateSaleRow(qint64 id) {
    RecordGrid* g = SalesGrid();
    if (!g || !TheSalesPage().list.model) return;
    // A list made for another user's rights is read anew whole.
    if (TheSalesPage().list.Outdated()) return FillSalesGrid(TheSalesPage().filter);
    if (!TheSalesPage().list.model->UpdateRecord(id))
        return ReportListReadFailure(TheSalesPage().list.model->Busy(),
                                     TheSalesPage().list.model->Error());
    ShowSalesTotals(g);
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
