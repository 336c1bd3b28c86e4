#pragma once
// The 库管 page: the goods list StockGrid, its query panel 库管图片框 below it and the
// context menu 库管快捷菜单.

#include <QList>
#include <QString>
#include <QVariantList>
#include <functional>

#include "ledger/goods_list.h"
#include "platform/list_style.h"

class QAction;
class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;
class RecordGrid;

// What the stock page asks of the windows above it; an action without its hook is not offered.
struct StockPageHooks {
    QWidget* owner = nullptr;           // owner of the goods windows (the main window)
    std::function<void()> scanSale;     // "扫描销售"
    std::function<void()> sell;         // "商品销售" and a double-click: sells SelectedId
    std::function<void()> showSales;    // "查看记录" ▸ "销售记录"
    std::function<void()> showSummary;  // "查看记录" ▸ "汇总统计"
};

struct StockPage {
    QFrame* 库管框架 = nullptr;
    QFrame* 库管图片框 = nullptr;
    RecordGrid* grid = nullptr;  // StockGrid, created the first time the page is shown

    QComboBox* 库管类型查询框 = nullptr;
    QLineEdit* 库管型号框 = nullptr;
    QLineEdit* 库管商品名称框 = nullptr;
    QLineEdit* 库管商品编码框 = nullptr;
    QComboBox* 库管供货商框 = nullptr;
    QDateEdit* 库管日期框1 = nullptr;
    QDateEdit* 库管日期框2 = nullptr;
    QPushButton* 库管查询按钮 = nullptr;
    QPushButton* 库管全部记录按钮 = nullptr;
    QPushButton* 库管清空条件按钮 = nullptr;
    QCheckBox* 库管不显示零库存框 = nullptr;
    QLineEdit* 库管库存报警框 = nullptr;
    QPushButton* 按钮2 = nullptr;  // "目录"
    QPushButton* 按钮5 = nullptr;  // "扫描销售", only when the scan window exists

    QMenu* 库管快捷菜单 = nullptr;
    QAction* 扫描销售 = nullptr;
    QAction* 商品入库 = nullptr;
    QAction* 导入商品 = nullptr;
    QAction* 商品销售 = nullptr;
    QAction* 商品续存 = nullptr;
    QAction* 修改退货 = nullptr;
    QAction* 删除 = nullptr;
    QAction* 销售记录 = nullptr;
    QAction* 汇总统计 = nullptr;
    QAction* 刷新显示 = nullptr;
    QAction* 导出Excel = nullptr;
    QAction* 打印 = nullptr;
    QAction* 隐藏进货单价 = nullptr;
    QAction* 隐藏进货金额 = nullptr;
    QAction* 隐藏存货金额 = nullptr;
    QAction* 查看进货单价 = nullptr;

    StockPageHooks hooks;
    PageList list;               // the goods the grid shows; the grid owns its model
    ledger::GoodsFilter filter;  // which goods it shows
    bool filtered = false;       // the list shows the rows of a search, not every goods row
};

StockPage& TheStockPage();

// Columns of StockGrid with purchase prices and purchase or stock amounts: filled, shown and
// exported only while cost figures may be shown.
inline const QList<int> kStockCostColumns = {7, 8, 13};
RecordGrid* StockGrid();  // nullptr until created

// Builds the query panel into its frame and the context menu; the grid comes later.
void BuildStockPage(QFrame* gridHost, QFrame* panel, const StockPageHooks& hooks);
// Forgets the page (its widgets belong to their window).
void ForgetStockPage();

// Creates StockGrid in its host at (0, 0) with the given size, then SetUpStockGrid and
// LayOutStockColumns; does nothing when it exists.
void CreateStockGrid(int width, int height);
void SetUpStockGrid();
// Column widths from the width of 库管框架 and the current user's role.
void LayOutStockColumns();
// After a change of user: the goods windows open now follow the new role (the restock window
// shows or masks its purchase price; the modify window closes for a user who may not modify).
void FollowRoleInGoodsWindows();
// Shows in StockGrid the goods filter finds (those out of stock only when the "zero" option
// says so), keeping the column widths and the order.
void FillStockGrid(const ledger::GoodsFilter& filter = {});
// Brings StockGrid up to date after goods record id was added, changed or deleted, with its
// totals.
void UpdateStockRow(qint64 id);
// Empties the query boxes of the panel without searching.
void ClearStockFilterBoxes();
// Lists every value of a text column of the goods (ledger::kGoodsType ...) in box.
void FillGoodsPickList(QComboBox* box, int column);
// Reloads the pick lists of 库管供货商框 and 库管类型查询框.
void ReloadStockPanelPickLists();

// Event handlers of StockGrid.
void OnStockGridDblClick();
void OnStockGridMouseUp(int button, int x, int y);

// Panel actions.
void OnStockDateQuery();
void OnRefreshAllLists();
void OnClearStockQuery();

// Context menu actions that need more than one line.
void OnRestock();
void OnModifyGoods();
void OnDeleteGoods();
void OnToggleHiddenColumn(QAction* item, int column, double fraction);
void OnShowPurchasePrice();
