#pragma once
// The windows "新建存取操作" and "修改存取操作": one deposit, withdrawal or transfer. They are
// not modal; the change window stays bound to the entry it was opened for.

#include <QString>
#include <QWidget>

#include "ledger/bank.h"
#include "platform/typed_entries.h"

class QComboBox;
class QDateEdit;
class QLineEdit;
class QPushButton;

// An entry as a row of the detail list shows it.
struct BankEntryRow {
    QString id;
    QString kind;
    QString bank;
    QString account;
    QString amount;  // signed
    QString date;    // list text, "2012年6月3日"
    QString remark;
};

class BankEntryWindow : public QWidget {
    Q_OBJECT

  public:
    // Without a row: "新建存取操作"; with one: "修改存取操作" for that entry.
    BankEntryWindow(QWidget* parent, const BankEntryRow* row);

    QString EntryId() const { return entryId_; }
    void SaveNewBankEntry();
    void SaveBankEntryChange();

    QComboBox* 类型组合框;
    QComboBox* 名称组合框;
    QComboBox* 账户组合框;
    QLineEdit* 金额框;
    QDateEdit* 日期框1;
    QLineEdit* 备注框;
    QPushButton* 按钮2;

  protected:
    // Escape closes the window, as its close button does, asking first when the boxes hold
    // what was typed since it opened.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    bool Complete();
    // The entry as the boxes hold it; the amount box holds its magnitude.
    ledger::BankEntry Entry() const;
    // Asks for the amount again when it was typed with a minus sign; true then.
    bool RefuseMinus(const LedgerResult& result);
    void ShowRow(const BankEntryRow& row);
    QString entryId_;
    ledger::RowSeen seen_;  // what the window shows of the stored entry
    TypedEntries entries_;
};

// Open the window, or bring it forward when it is open already.
BankEntryWindow* OpenNewBankEntry(QWidget* parent);
BankEntryWindow* OpenBankEntryChange(QWidget* parent, const BankEntryRow& row);
void CloseBankEntryWindows();
