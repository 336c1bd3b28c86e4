#include "stock/modify_goods_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "stock/goods_refresh.h"
#include "common/name_initials.h"

ModifyGoodsWindow::ModifyGoodsWindow(QWidget* owner, const GoodsRow& record)
    : GoodsEntryWindow(owner, QStringLiteral("确认修改")) {
    setObjectName(QStringLiteral("ModifyGoodsWindow"));
    auto* note = new QLabel(QStringLiteral("数据修改需谨慎"), this);
    note->setGeometry(15, 按钮2->y(), 150, 按钮2->height());
    connect(按钮2, &QPushButton::clicked, this, &ModifyGoodsWindow::Confirm);

    record_ = record;
    LoadPickLists();
    ShowRecord(record_, true);
    类别组合框->setFocus();
}

void ModifyGoodsWindow::Confirm() {
    if (!CheckEntries()) return;
    const GoodsEntries e = Entries();
    const double sold = record_.销售数量;
    const double stock = e.quantity - sold;
    // The stock-in date is not rewritten here.
    const bool changed = ChangeRecord(
        QStringLiteral("Update buy set 名称=?,型号=?,编码=?,类型=?,进货数量=?,进货单价=?,"
                       "进货金额=?,销售数量=?,销售单价=?,销售金额=?,存货数量=?,存货金额=?,"
                       "供货商=?,备注=?,首拼=? where ID=?"),
        {e.name, e.model, e.code, e.type, StatementNumber(e.quantity), StatementNumber(e.price),
         StatementNumber(e.quantity * e.price), StatementNumber(sold), StatementNumber(e.salePrice),
         StatementNumber(sold * e.salePrice), StatementNumber(stock),
         StatementNumber(e.price * stock), e.supplier, e.remark, NameInitials(e.name), record_.ID});
    if (!changed) return;
    RefreshStockList();
    ShowDone(QStringLiteral("修改商品完成"));
    RefreshGoodsLists();
    close();
}

ModifyGoodsWindow* OpenModifyGoodsWindow(QWidget* owner, const GoodsRow& row) {
    static QPointer<ModifyGoodsWindow> open;
    if (!IsRecordId(row.ID)) return nullptr;
    if (!open) {
        open = new ModifyGoodsWindow(owner, row);
        open->show();
    }
    open->raise();
    open->activateWindow();
    return open;
}
