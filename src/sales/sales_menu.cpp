#include <QAction>
#include <QFrame>
#include <QMenu>

#include "common/session.h"
#include "platform/list_style.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "sales/customer_debts_window.h"
#include "sales/modify_sale_window.h"
#include "sales/sales_page.h"
#include "sales/sell_window.h"
#include "stats/excel_export.h"
#include "stock/goods_row.h"

namespace {

// Columns each hiding item covers, with their fractions of the host width.
struct ColumnToggle {
    int first;
    int last;
    double fractions[5];
};

ColumnToggle ToggleOf(const QAction* item) {
    const SalesPage& page = TheSalesPage();
    if (item == page.隐藏销售单价) return {7, 7, {0.055}};
    if (item == page.隐藏销售日期) return {10, 10, {0.09}};
    if (item == page.隐藏欠款金额) return {11, 11, {0.065}};
    if (item == page.隐藏净利润) return {12, 12, {0.085}};
    return {13, 17, {0.035, 0.045, 0.045, 0.06, 0.06}};
}

QList<QAction*> Toggles() {
    const SalesPage& page = TheSalesPage();
    return {page.隐藏销售单价, page.隐藏销售日期, page.隐藏欠款金额, page.隐藏净利润,
            page.隐藏全部客户信息};
}

void SetToggleWidths(const ColumnToggle& toggle, bool shown, int hostWidth) {
    for (int c = toggle.first; c <= toggle.last; ++c) {
        // No toggle shows the profit to a user who may not see it.
        const bool visible = shown && (c != kSalesProfitColumn || CostFiguresVisible());
        SalesGrid()->Column(c).SetWidth(
            visible ? ColumnWidth(toggle.fractions[c - toggle.first], hostWidth) : 0);
    }
}

QAction* Item(QMenu* menu, const char* text, std::function<void()> action) {
    QAction* item = menu->addAction(QString::fromUtf8(text));
    QObject::connect(item, &QAction::triggered, item, std::move(action));
    return item;
}

QAction* Toggle(QMenu* menu, const char* text) {
    QAction* item = menu->addAction(QString::fromUtf8(text));
    item->setCheckable(true);
    QObject::connect(item, &QAction::triggered, item, [item] { OnToggleSalesColumns(item); });
    return item;
}

// The sale in the row of the last right-click or double-click, if that row holds one.
bool SelectedSaleRow(int* row) {
    RecordGrid* g = SalesGrid();
    Session& session = CurrentSession();
    if (!g || session.selectedRow < 2) return false;
    session.selectedId = g->CellText(session.selectedRow, 1);
    *row = session.selectedRow;
    return IsRecordId(session.selectedId);
}

}  // namespace

void BuildSalesMenu() {
    SalesPage& page = TheSalesPage();
    QMenu* menu = new QMenu(page.销售图片框);
    menu->setObjectName(QStringLiteral("销售快捷菜单"));
    page.销售快捷菜单 = menu;
    page.物品销售 = Item(menu, "物品销售", [] { OnSellFromSalesList(); });
    menu->addSeparator();
    page.修改数据 = Item(menu, "修改数据", [] { OnModifySale(); });
    menu->addSeparator();
    page.删除数据 = Item(menu, "删除数据", [] { OnDeleteSale(); });
    menu->addSeparator();
    page.输出销售Excel =
        Item(menu, "输出销售Excel", [] { ExportGridToExcel(SalesGrid(), {kSalesProfitColumn}); });
    menu->addSeparator();
    page.打印销售 = Item(menu, "打印销售", [] { ShowPrintNotice(PrintNotice::Sales); });
    QMenu* columns = menu->addMenu(QStringLiteral("设置显示信息"));
    page.隐藏销售单价 = Toggle(columns, "隐藏销售单价");
    page.隐藏销售日期 = Toggle(columns, "隐藏销售日期");
    page.隐藏欠款金额 = Toggle(columns, "隐藏欠款金额");
    page.隐藏净利润 = Toggle(columns, "隐藏净利润");
    columns->addSeparator();
    page.隐藏全部客户信息 = Toggle(columns, "隐藏全部客户信息");
    columns->addSeparator();
    page.显示全部信息 = Item(columns, "显示全部信息", [] { OnShowAllSalesColumns(); });
    menu->addSeparator();
    page.客户欠款 =
        Item(menu, "客户欠款", [] { OpenCustomerDebtsWindow(TheSalesPage().hooks.owner); });
    page.超卖销售 = Item(menu, "超卖销售", [] {
        ledger::SalesFilter oversold;
        oversold.kind = ledger::SalesFilter::Kind::Oversold;
        FillSalesGrid(oversold);
    });

    // The items follow the user logged in at each opening: only the super administrator
    // deletes sales, and the profit's toggle is offered only to a user who may see it.
    QObject::connect(menu, &QMenu::aboutToShow, menu, [] {
        TheSalesPage().删除数据->setVisible(IsSuperAdmin());
        TheSalesPage().超卖销售->setVisible(IsSuperAdmin());
        TheSalesPage().隐藏净利润->setVisible(CostFiguresVisible());
    });
}

void OnSalesFrameRightButton(const QPoint& globalPos) {
    if (TheSalesPage().销售快捷菜单) TheSalesPage().销售快捷菜单->popup(globalPos);
}

void OnSellFromSalesList() {
    // The goods of the clicked sale, found again by the sale's link to its goods record.
    int row = 0;
    GoodsRow goods;
    if (SelectedSaleRow(&row) && LoadGoodsRow(SalesGrid()->CellText(row, 2), &goods))
        OpenSellWindow(TheSalesPage().hooks.owner, &goods);
    else
        ShowMessage(QStringLiteral("请到库管窗口选择物品后单击右键菜单里有显示销售！"), 0);
}

void OnModifySale() {
    int row = 0;
    if (SelectedSaleRow(&row) && SalesGrid()->MouseCol() >= 2)
        OpenModifySaleWindow(TheSalesPage().hooks.owner, SalesGrid(), row);
}

void OnDeleteSale() {
    RecordGrid* g = SalesGrid();
    if (g) DeleteSale(g, CurrentSession().selectedRow);
}

void OnToggleSalesColumns(QAction* item) {
    SalesPage& page = TheSalesPage();
    if (!page.grid) return;
    // The click has switched the check mark already: on means hidden.
    SetToggleWidths(ToggleOf(item), !item->isChecked(), page.销售框架->width());
}

void OnShowAllSalesColumns() {
    SalesPage& page = TheSalesPage();
    if (!page.grid) return;
    // These widths are taken from the whole window, not from 销售框架.
    const int width = page.销售框架->window()->width();
    for (QAction* item : Toggles()) {
        item->setChecked(false);
        SetToggleWidths(ToggleOf(item), true, width);
    }
}
