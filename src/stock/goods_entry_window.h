#pragma once
// What the stock-in and the modify window share: the goods form with its boxes, pick lists
// and arrows, the checks before a save, and the way a save is reported.

#include <QDate>
#include <QString>
#include <QVariantList>
#include <QWidget>

#include "stock/goods_row.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class UpDownArrows;

// The values of the form as a save uses them.
struct GoodsEntries {
    QString type;
    QString name;
    QString model;
    QString code;
    double price = 0;     // purchase price
    double quantity = 0;  // purchase quantity
    double salePrice = 0;
    QString supplier;
    QString remark;
    QDate date;
};

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
    GoodsEntries Entries() const;

    // Runs a change of buy that must hit the record; tells the user and returns false when
    // the statement failed or the record is gone.
    bool ChangeRecord(const QString& sql, const QVariantList& values);
    // The skinned "done" box: caption "提示", a success icon and OK alone.
    void ShowDone(const QString& text);

    GoodsRow record_;

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

// Statement values are the numbers a statement text would carry: at most 13 significant
// digits, so 0.1 × 3 is stored as 0.3.
double StatementNumber(double value);
