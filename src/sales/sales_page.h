#pragma once
// The 销售明细 page: the sales list SalesGrid in 销售框架, its query panel 销售图片框 below
// it and the context menu 销售快捷菜单.

#include <QString>
#include <QVariantList>

#include "ledger/sales_list.h"
#include "platform/list_style.h"

class QAction;
class QComboBox;
class QDateEdit;
class QFrame;
class QLineEdit;
class QMenu;
class QPushButton;
class QWidget;
class RecordGrid;

// What the sales page asks of the window above it.
struct SalesPageHooks {
    QWidget* owner = nullptr;  // owner of the sell and modify windows (the main window)
};

struct SalesPage {
    QFrame* 销售框架 = nullptr;
    QFrame* 销售图片框 = nullptr;
    RecordGrid* grid = nullptr;  // SalesGrid, created the first time the page is shown

    QComboBox* 销售类型查询框 = nullptr;
    QLineEdit* 销售商品名称框 = nullptr;
    QLineEdit* 销售型号框 = nullptr;
    QLineEdit* 销售商品编码框 = nullptr;
    QComboBox* 销售客户名称框 = nullptr;
    QLineEdit* 销售备注框 = nullptr;
    QDateEdit* 销售日期框1 = nullptr;
    QDateEdit* 销售日期框2 = nullptr;
    QPushButton* 销售查询按钮 = nullptr;
    QPushButton* 销售全部记录按钮 = nullptr;
    QPushButton* 销售显示当天按钮 = nullptr;
    QPushButton* 销售显示本月按钮 = nullptr;
    QPushButton* 销售清空条件按钮 = nullptr;
    QPushButton* 按钮4 = nullptr;  // "物品销售": a hint only
    QPushButton* 客户欠款按钮 = nullptr;

    QMenu* 销售快捷菜单 = nullptr;
    QAction* 物品销售 = nullptr;
    QAction* 客户欠款 = nullptr;
    QAction* 超卖销售 = nullptr;  // the sales made offline that the stock did not cover
    QAction* 修改数据 = nullptr;
    QAction* 删除数据 = nullptr;
    QAction* 输出销售Excel = nullptr;
    QAction* 打印销售 = nullptr;
    QAction* 隐藏销售单价 = nullptr;
    QAction* 隐藏销售日期 = nullptr;
    QAction* 隐藏欠款金额 = nullptr;
    QAction* 隐藏净利润 = nullptr;
    QAction* 隐藏全部客户信息 = nullptr;
    QAction* 显示全部信息 = nullptr;

    SalesPageHooks hooks;
    PageList list;               // the sales the grid shows; the grid owns its model
    ledger::SalesFilter filter;  // which sales it shows
    bool filtered = false;       // the list shows the rows of a search, not every sale
};

SalesPage& TheSalesPage();

// The column of SalesGrid with the net profit: filled, shown and exported only while cost
// figures may be shown.
constexpr int kSalesProfitColumn = 12;
RecordGrid* SalesGrid();  // nullptr until created

// Builds the query panel into 销售图片框 and the context menu; the grid comes later, with
// CreateSalesGrid.
void BuildSalesPage(QFrame* 销售框架, QFrame* 销售图片框, const SalesPageHooks& hooks);
// Forgets the page and its refill (its widgets belong to their window).
void ForgetSalesPage();

// Creates SalesGrid in 销售框架 at (0, 0) with the given size, sets it up, fills it with
// every sale and fills the pick lists of 销售类型查询框 and 销售客户名称框; does nothing when
// it exists or the page has not been built.
void CreateSalesGrid(int width, int height);
// Column widths as fractions of the width of 销售框架; 净利润 only while cost figures may be
// shown; columns hidden from the menu stay hidden.
void LayOutSalesColumns();
// Shows in SalesGrid the sales filter finds, keeping the column widths and the order.
void FillSalesGrid(const ledger::SalesFilter& filter = {});
// Brings SalesGrid up to date after sale record id was added, changed or deleted, with its
// totals.
void UpdateSaleRow(qint64 id);
// Empties the query boxes of the panel without searching.
void ClearSalesFilterBoxes();

// Event handlers of SalesGrid and of 销售框架 around it.
void OnSalesGridDblClick();
void OnSalesGridMouseUp(int button, int x, int y);
void OnSalesFrameRightButton(const QPoint& globalPos);

// Panel actions.
void OnSalesDateQuery();
void OnShowAllSales();
void OnShowTodaysSales();
void OnShowThisMonthsSales();
void OnShowDebts();

// Context menu actions.
void OnSellFromSalesList();
void OnModifySale();
void OnDeleteSale();
void OnToggleSalesColumns(QAction* item);
void OnShowAllSalesColumns();
