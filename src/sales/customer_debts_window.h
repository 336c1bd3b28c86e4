#pragma once
// "客户欠款": every customer who owes something with the total owed, a filter, the chosen
// customer's statement (sales, payments, running balance) with its Excel export, and the
// payments: "收款" records one, "删除收款" takes one back.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class RecordGrid;

class CustomerDebtsWindow final : public QDialog {
    Q_OBJECT

  public:
    explicit CustomerDebtsWindow(QWidget* owner);

    // Refills the debt list for the filter typed and shows the statement of the customer
    // that was chosen, when it is still listed.
    void Refresh();
    // Shows the statement of the customer in row of 欠款列表.
    void ChooseCustomer(int row);
    qint64 ChosenCustomer() const { return customerId_; }

    void OnReceive();        // 收款按钮
    void OnDeletePayment();  // 删除收款按钮: the payment in the statement's selected row
    void OnExport();         // 输出对账单按钮

    QLineEdit* 客户筛选框;
    RecordGrid* 欠款列表;
    QLabel* 对账单标题;
    RecordGrid* 对账单列表;
    QPushButton* 收款按钮;
    QPushButton* 删除收款按钮;
    QPushButton* 输出对账单按钮;

  private:
    void FillStatement();

    qint64 customerId_ = 0;
};

// Opens the window modally; a database that cannot be opened has been reported instead.
void OpenCustomerDebtsWindow(QWidget* owner);
