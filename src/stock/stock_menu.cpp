#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QFrame>
#include <QMenu>
#include <cmath>

#include "admin/super_admin.h"
#include "common/number_text.h"
#include "common/session.h"
#include "ledger/goods.h"
#include "platform/list_refresh.h"
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
#include "stock/stocktake_window.h"
#include "store/shared_db.h"

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

// The items follow the user logged in now and the row clicked, at every opening.
void SetStockMenuItemsFor(bool recordRow) {
    StockPage& page = TheStockPage();
    const bool admin = IsSuperAdmin();
    page.修改退货->setVisible(recordRow && admin);
    page.删除->setVisible(recordRow && admin);
    page.查看进货单价->setVisible(recordRow && !CostFiguresVisible());
    // The totals row has nothing to restock; a record row always offers it.
    page.商品续存->setVisible(recordRow || admin);
    for (QAction* toggle : {page.隐藏进货单价, page.隐藏进货金额, page.隐藏存货金额})
        toggle->setVisible(CostFiguresVisible());
    page.导入商品->setVisible(admin);
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
    Item(menu, "盘点", [] { OpenStocktakeWindow(TheStockPage().hooks.owner); });
    menu->addSeparator();
    page.商品续存 = Item(menu, "商品续存", [] { OnRestock(); });
    page.修改退货 = Item(menu, "修改(退货)", [] { OnModifyGoods(); });
    page.删除 = Item(menu, "删除", [] { OnDeleteGoods(); });
    menu->addSeparator();
    QMenu* records = menu->addMenu(QStringLiteral("查看记录"));
    page.销售记录 = Hooked(records, "销售记录", page.hooks.showSales);
    page.汇总统计 = Hooked(records, "汇总统计", page.hooks.showSummary);
    menu->addSeparator();
    page.刷新显示 = Item(menu, "刷新显示", [] { FillStockGrid(); });
    page.导出Excel =
        Item(menu, "导出Excel", [] { ExportGridToExcel(StockGrid(), kStockCostColumns); });
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
    SetStockMenuItemsFor(true);
}

void OnStockGridMouseUp(int button, int x, int y) {
    if (button != RecordGrid::kRightButton) return;
    StockPage& page = TheStockPage();
    RecordGrid* g = page.grid;
    const auto [row, col] = SelectClickedCell(g, x, y);
    Session& session = CurrentSession();
    if (row < 2 || col < 2) return;
    session.selectedId = g->CellText(row, 1);
    SetStockMenuItemsFor(IsRecordId(session.selectedId));
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
    if (!DeleteGoods(session.selectedId)) return;
    // The row leaves both goods lists and takes its figures out of their totals.
    const qint64 goodsId = RecordIdValue(session.selectedId);
    UpdateListRow(ListId::Stock, goodsId);
    UpdateListRow(ListId::Summary, goodsId);
}

void OnToggleHiddenColumn(QAction* item, int column, double fraction) {
    StockPage& page = TheStockPage();
    if (!page.grid) return;
    // The check mark was switched by the click: on means hidden. A cost column is never
    // shown to a user who may not see cost figures.
    const bool shown =
        !item->isChecked() && (CostFiguresVisible() || !kStockCostColumns.contains(column));
    const int width = shown ? static_cast<int>(std::floor(fraction * page.库管框架->width())) : 0;
    page.grid->Column(column).SetWidth(width);
}

void OnShowPurchasePrice() {
    QString password;
    if (!VerifySuperAdminPassword(QStringLiteral("请输入超级管理员密码,默认超管密码"),
                                  QStringLiteral("超管"), &password))
        return;
    // The list holds no purchase price for this user, nor may its login on a server read one:
    // the super administrator's login reads the record's.
    double price = 0;
    QString error;
    if (ledger::ReadPurchasePrice(SharedConnection(), RecordIdValue(CurrentSession().selectedId),
                                  password, &price, &error))
        ShowMessage(NumberText(price), 0);
    else if (!error.isEmpty())
        ShowMessage(ReadFailureText(QStringLiteral("读取进货单价失败"), error), 2);
}

void FollowRoleInGoodsWindows() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (auto* restock = qobject_cast<StockInWindow*>(window)) restock->ShowPurchasePrice();
        if (qobject_cast<ModifyGoodsWindow*>(window) && !IsSuperAdmin()) window->close();
    }
}
