#pragma once
// The stocktake window ("盘点"): the goods of a scope counted by scanner or by typed counts
// against their stock on the books, each count saved at once; "确认盘点" books the differences.
// And the window of the stocktakes booked before, with their lines.

#include <QDialog>

#include "ledger/stocktake.h"
#include "platform/list_style.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class RecordGrid;

class StocktakeWindow final : public QDialog {
    Q_OBJECT

  public:
    // Shows the open stocktake, if there is one, to be continued.
    explicit StocktakeWindow(QWidget* owner);

    const ledger::Stocktake& Shown() const { return take_; }

    // "开始盘点": a stocktake of the scope chosen; the open one when another till began one.
    void OnStart();
    // Enter in the code box: one more of the goods of the code.
    void OnScan();
    // A double-click on a row (or row given): its goods takes the count typed next.
    void ChooseRow(int row);
    // Enter in the count box and "修改数量": the whole count of the goods chosen.
    void OnTypeCount();
    // "确认盘点", for the super administrator: books the stocktake after a question.
    void OnBook();
    // The context menu's "导出Excel" of the row of the last right-click.
    void OnExport();

    QComboBox* 范围框;
    QComboBox* 范围值框;
    QPushButton* 开始按钮;
    QLabel* 盘点信息;
    QLineEdit* 扫描框;
    QLabel* 选中商品;
    QLineEdit* 数量框;
    QPushButton* 数量按钮;
    RecordGrid* 盘点表;
    QListWidget* 未知编码框;
    QLabel* 盘点合计;
    QPushButton* 确认按钮;
    QPushButton* 记录按钮;
    QPushButton* 关闭按钮;
    QMenu* 盘点菜单;

  private:
    // Reads the stocktake anew and shows it: counting while it is open, its lines after.
    void ShowStocktake(qint64 id);
    void ShowFigures();
    void ShowUnknownCodes();
    void FillScopeValues();
    // Tells why a count or booking was not stored; false then.
    bool Report(const LedgerResult& result);
    bool GoodsRows() const;
    ListModel* List();

    ledger::Stocktake take_;
    qint64 chosenGoods_ = 0;
    PageList goods_;
    PageList lines_;
};

// Opens the stocktake window, not modal, or brings the open one forward.
StocktakeWindow* OpenStocktakeWindow(QWidget* owner);

class StocktakeRecordsWindow final : public QDialog {
    Q_OBJECT

  public:
    explicit StocktakeRecordsWindow(QWidget* owner);

    // Shows the lines of the stocktake on row of the records list.
    void ShowLinesOf(int row);
    // "导出Excel" of a list's context menu (records or lines), for the row of the last
    // right-click in it.
    void OnExport(RecordGrid* grid);

    RecordGrid* 记录表;
    RecordGrid* 明细表;
    QLabel* 明细标题;

  private:
    PageList records_;
    PageList lines_;
};

StocktakeRecordsWindow* OpenStocktakeRecordsWindow(QWidget* owner);
