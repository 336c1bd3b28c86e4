#include <QAction>
#include <QCursor>
#include <QFrame>
#include <QMenu>
#include <cmath>

#include "admin/super_admin.h"
#include "common/number_text.h"
#include "common/session.h"
#include "platform/list_style.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "stats/excel_export.h"
#include "stock/delete_goods.h"
#include "stock/goods_row.h"
#include "stock/import_window.h"
#include "stock/modify_goods_window.h"
#include "stock/stock_in_window.h"
#include "stock/stock_page.h"

namespace {

QAction* Item(QMenu* menu, const char* text, std::function<void()> action) {
    QAction* item = menu->addAction(QString::fromUtf8(text));
    QObject::connect(item, &QAction::triggered, item, std::move(action));
    return item;
}

// An action that needs a window of another part is offered only when that part is there.
QAction* Hooked(QMenu* menu, const char* text, const std::function<void()>& hook) {
    QAction* item = Item(menu, text, [hook] {
        if (hook) hook();
    });
    item->setEnabled(static_cast<bool>(hook));
    return item;
}

}  // namespace

void BuildStockMenu() {
    StockPage& page = TheStockPage();
    QMenu* menu = new QMenu(page.库管图片框);
    menu->setObjectName(QStringLiteral("库管快捷菜单"));
    page.库管快捷菜单 = menu;
    page.扫描销售 = Hooked(menu, "扫描销售", page.hooks.scanSale);
    menu->addSeparator();
    page.商品入库 = Item(menu, "商品入库",
                         [] { OpenStockInWindow(TheStockPage().hooks.owner, false, nullptr); });
    page.导入商品 = Item(menu, "导入商品", [] {
        if (IsSuperAdmin()) OpenImportWindow(TheStockPage().hooks.owner);
    });
    page.商品销售 = Hooked(menu, "商品销售", page.hooks.sell);
    menu->addSeparator();
    page.商品续存 = Item(menu, "商品续存", [] { OnRestock(); });
    page.修改退货 = Item(menu, "修改(退货)", [] { OnModifyGoods(); });
    page.删除 = Item(menu, "删除", [] { OnDeleteGoods(); });
    menu->addSeparator();
    QMenu* records = menu->addMenu(QStringLiteral("查看记录"));
    page.销售记录 = Hooked(records, "销售记录", page.hooks.showSales);
    page.汇总统计 = Hooked(records, "汇总统计", page.hooks.showSummary);
    menu->addSeparator();
    page.刷新显示 =
        Item(menu, "刷新显示", [] { FillStockGrid(QStringLiteral("select * from buy")); });
    page.导出Excel = Item(menu, "导出Excel", [] { ExportGridToExcel(StockGrid()); });
    page.打印 = Item(menu, "打印", [] { ShowPrintNotice(PrintNotice::Stock); });
    menu->addSeparator();
    QMenu* modes = menu->addMenu(QStringLiteral("显示模式"));
    page.隐藏进货单价 = Item(modes, "隐藏进货单价",
                             [] { OnToggleHiddenColumn(TheStockPage().隐藏进货单价, 7, 0.05); });
    page.隐藏进货金额 = Item(modes, "隐藏进货金额",
                             [] { OnToggleHiddenColumn(TheStockPage().隐藏进货金额, 8, 0.075); });
    page.隐藏存货金额 = Item(modes, "隐藏存货金额",
                             [] { OnToggleHiddenColumn(TheStockPage().隐藏存货金额, 13, 0.075); });
    page.查看进货单价 = Item(modes, "查看进货单价", [] { OnShowPurchasePrice(); });
    for (QAction* toggle : {page.隐藏进货单价, page.隐藏进货金额, page.隐藏存货金额})
        toggle->setCheckable(true);

    // The super administrator's items, as decided when the main window opened.
    const bool admin = CurrentSession().adminMenuItems;
    for (QAction* item :
         {page.隐藏进货单价, page.隐藏进货金额, page.隐藏存货金额, page.修改退货, page.删除})
        item->setVisible(admin);
}

void OnStockGridMouseUp(int button, int x, int y) {
    if (button != RecordGrid::kRightButton) return;
    StockPage& page = TheStockPage();
    RecordGrid* g = page.grid;
    const auto [row, col] = SelectClickedCell(g, x, y);
    Session& session = CurrentSession();
    if (row < 2 || col < 2) return;
    session.selectedId = g->CellText(row, 1);
    if (IsRecordId(CurrentSession().selectedId)) {
        page.查看进货单价->setVisible(true);
        if (IsSuperAdmin()) {
            page.修改退货->setVisible(true);
            page.删除->setVisible(true);
            page.查看进货单价->setVisible(false);
        }
    } else {
        page.修改退货->setVisible(false);
        page.删除->setVisible(false);
        page.查看进货单价->setVisible(false);
        if (!IsSuperAdmin()) page.商品续存->setVisible(false);
    }
    page.导入商品->setVisible(IsSuperAdmin());
    page.库管快捷菜单->popup(g->mapToGlobal(QPoint(x, y)));
}

void OnRestock() {
    GoodsRow row;
    if (CurrentSession().selectedId.isEmpty() || !LoadGoodsRow(CurrentSession().selectedId, &row))
        return;
    OpenStockInWindow(TheStockPage().hooks.owner, true, &row);
}

void OnModifyGoods() {
    Session& session = CurrentSession();
    session.selectedId = StockGrid()->CellText(session.selectedRow, 1);
    GoodsRow row;
    if (!IsRecordId(CurrentSession().selectedId) || !LoadGoodsRow(session.selectedId, &row)) return;
    OpenModifyGoodsWindow(TheStockPage().hooks.owner, row);
}

void OnDeleteGoods() {
    Session& session = CurrentSession();
    RecordGrid* g = StockGrid();
    session.selectedId = g->CellText(session.selectedRow, 1);
    if (!IsRecordId(CurrentSession().selectedId)) return;
    // The list is not refilled: its totals keep the old figures until the next fill.
    if (DeleteGoods(session.selectedId)) g->RemoveItem(session.selectedRow);
}

void OnToggleHiddenColumn(QAction* item, int column, double fraction) {
    StockPage& page = TheStockPage();
    if (!page.grid) return;
    // The check mark was switched by the click: on means hidden.
    const int width =
        item->isChecked() ? 0 : static_cast<int>(std::floor(fraction * page.库管框架->width()));
    page.grid->Column(column).SetWidth(width);
}

void OnShowPurchasePrice() {
    if (!VerifySuperAdminPassword()) return;
    const Session& session = CurrentSession();
    ShowMessage(StockGrid()->CellText(session.selectedRow, 7), 0);
}
