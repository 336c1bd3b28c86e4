#pragma once
// What the stock-in and the modify window share: the goods form with its boxes, pick lists
// and arrows, the checks before a save, and the way a save is reported.

#include <QDate>
#include <QString>
#include <QWidget>

#include "ledger/goods.h"
#include "platform/typed_entries.h"
#include "stock/goods_row.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDownArrows;

class GoodsEntryWindow : public QWidget {
    Q_OBJECT

  public:
    // The record the window works on; empty for a new stock-in.
    const QString& RecordId() const { return record_.ID; }

  protected:
    // A window of its own (not modal) owned by owner, destroyed when closed.
    GoodsEntryWindow(QWidget* owner, const QString& confirmText);

    // Refills the pick lists of type, name, model, code and supplier from buy.
    void LoadPickLists();
    // Shows record in the boxes; the quantity and the remark only when asked for.
    void ShowRecord(const GoodsRow& record, bool withQuantityAndRemark);
    // Empties every box but the date.
    void ClearEntries();
    // The checks before a save, in order, of the boxes the user can change; the first that
    // fails tells the user, focuses its box and makes this false.
    bool CheckEntries();
    // The form as the ledger takes it, with the initials of the name.
    ledger::GoodsInput Entries() const;

    // Tells the user why a change of the record was not made; true when it was.
    bool ReportChange(const LedgerResult& result);
    // The skinned "done" box: caption "提示", a success icon and OK alone.
    void ShowDone(const QString& text);

    // Escape closes the window, as its close button does, asking first when the boxes hold
    // what was typed since the record was shown (entries_).
    void keyPressEvent(QKeyEvent* event) override;

    GoodsRow record_;
    TypedEntries entries_;

    QComboBox* 类别组合框;
    QComboBox* 名称组合框;
    QComboBox* 型号组合框;
    QComboBox* 编码组合框;
    QDateEdit* 日期框1;
    QLineEdit* 进货单价框;
    UpDownArrows* 进货单价调节器;
    QLineEdit* 数量框;
    UpDownArrows* 数量调节器;
    QLineEdit* 销售单价框;
    UpDownArrows* 销售单价调节器;
    QComboBox* 供货商框;
    QLineEdit* 备注框;
    QPushButton* 按钮2;

  private:
    QComboBox* AddCombo(const QString& name, const QString& label, const QRect& box);
    QLineEdit* AddEdit(const QString& name, const QString& label, const QRect& box);
    UpDownArrows* AddArrows(const QString& name, QLineEdit* box);
    void AddLabel(const QString& text, const QRect& box);
};
