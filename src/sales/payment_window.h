#pragma once
// "收款": a payment from one customer, with its amount, date and time, method and remark. The
// amount is taken off the customer's open sale debts, oldest sale first.

#include <QDialog>

class QComboBox;
class QDateTimeEdit;
class QLabel;
class QLineEdit;
class QPushButton;

class PaymentWindow final : public QDialog {
    Q_OBJECT

  public:
    PaymentWindow(QWidget* owner, qint64 customerId, const QString& customerName, qint64 debtFen);

    // "确认收款": records the payment; the window closes (accepted) when it is recorded.
    void Confirm();

    QLabel* 客户标签;
    QLabel* 欠款标签;
    QLineEdit* 收款金额框;
    QDateTimeEdit* 收款日期框;
    QComboBox* 收款方式框;
    QLineEdit* 收款备注框;
    QPushButton* 确认收款按钮;

  private:
    qint64 customerId_;
};

// Runs the window modally; true when a payment was recorded.
bool OpenPaymentWindow(QWidget* owner, qint64 customerId, const QString& customerName,
                       qint64 debtFen);
