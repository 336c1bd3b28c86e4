#pragma once
// The sell window ("商品销售"): sells one goods record to a customer, with a discount, a
// price of its own, a quantity, an amount, a debt and the customer's particulars.

#include <QDialog>

#include "sales/sale_transaction.h"
#include "stock/goods_row.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class UpDownArrows;

class SellWindow final : public QDialog {
    Q_OBJECT

  public:
    // Shows row (the goods to sell, whose ID the sale keeps) or, when row is null, the
    // window's initial texts with the stock "*". owner is the main window the window keeps
    // beside its right edge.
    SellWindow(QWidget* owner, const GoodsRow* row);

    // What "确认销售" would record now.
    SaleInput Sale() const;
    // "确认销售": runs the sale; the window closes when it is recorded.
    void Confirm();
    // 时钟1 (1000 ms, running only when the window opened with AutoConfirmSale set).
    void On时钟1Tick();
    // A customer picked by name brings its phone and address when the name is one customer's.
    void OnCustomerPicked(const QString& name);

    QLabel* 名称标签;
    QLabel* 型号标签;
    QLabel* 编码标签;
    QLabel* 类型标签;
    QLabel* 销售单价标签;
    QLineEdit* 实际零售价框;
    QLineEdit* 打折框;
    UpDownArrows* 调节器1;
    QLineEdit* 销售数量框;
    UpDownArrows* 调节器2;
    QLineEdit* 库存框;
    QLineEdit* 销售金额框;
    QComboBox* 付款方式框;
    QLineEdit* 欠款金额框;
    QDateEdit* 日期框1;
    QLineEdit* 客户编号框;
    QComboBox* 客户姓名框;
    QComboBox* 客户地址框;
    QLineEdit* 联系方式框;
    QLineEdit* 备注框;
    QPushButton* 按钮1;
    QTimer* 时钟1;

  protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void FillOnOpen(const GoodsRow* row);
    void PlaceBesideOwner();
    void OnDiscountChanged();
    void OnDiscountStep(bool upwards);
    void OnQuantityStep(bool upwards);
    void RecalculateAmount();

    QWidget* owner_;
    QString goodsId_;
    int autoConfirmTicks_ = 0;
};

// Runs the sell window modally for row (null: opened without a source row) and returns its
// result: QDialog::Accepted when the sale was recorded, which is then in *booked when given.
int OpenSellWindow(QWidget* owner, const GoodsRow* row, SaleInput* booked = nullptr);
