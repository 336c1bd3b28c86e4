#pragma once
// The modify-sale window (修改销售单): corrects the debt and the customer's particulars of a
// recorded sale; the goods' stock and counters stay as they are. Its caption carries the
// sale's ID.

#include <QString>
#include <QWidget>

#include "ledger/edited.h"
#include "platform/typed_entries.h"

class QLabel;
class QLineEdit;
class QPushButton;
class RecordGrid;

class ModifySaleWindow final : public QWidget {
    Q_OBJECT

  public:
    // Shows row of grid (a row of the sales list) and works on its sale from now on, whatever
    // the list shows meanwhile. A window of its own, not modal, owned by owner.
    ModifySaleWindow(QWidget* owner, RecordGrid* grid, int row);

    const QString& SaleId() const { return saleId_; }
    // "修改": stores the debt and the customer texts; closes once they are stored.
    void Confirm();

    QLabel* 名称标签;
    QLabel* 型号标签;
    QLabel* 编码标签;
    QLabel* 类型标签;
    QLabel* 销售单价标签;
    QLabel* 销售数量标签;
    QLabel* 销售金额标签;
    QLineEdit* 欠款金额框;
    QLabel* 销售日期标签;
    QLabel* 客户编号标签;
    QLineEdit* 客户名称框;
    QLineEdit* 客户地址框;
    QLineEdit* 联系方式框;
    QLineEdit* 备注框;
    QPushButton* 按钮1;

  protected:
    // Escape closes the window, as its close button does, asking first when the boxes hold
    // what was typed since it opened.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    QString saleId_;
    ledger::RowSeen seen_;  // what the window shows of the stored sale
    TypedEntries entries_;
};

// Opens the modify window for row of grid, not modal, owned by owner, and returns it; nothing
// (nullptr) when the row holds no sale. While a modify window for the same sale is open,
// opening one only brings that window forward and returns it; another sale gets its own.
ModifySaleWindow* OpenModifySaleWindow(QWidget* owner, RecordGrid* grid, int row);

// Deletes the sale of row of grid after the user confirmed it and removes the row from the
// list (its totals stay until the next fill); its quantity and amount go back to its goods,
// when they are still stored, and the stock list is refilled. False when
// the row holds no sale, the user declined or the delete failed (the user is told).
bool DeleteSale(RecordGrid* grid, int row);
