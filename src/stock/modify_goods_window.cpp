#include "stock/modify_goods_window.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "stock/goods_refresh.h"
#include "store/shared_db.h"

ModifyGoodsWindow::ModifyGoodsWindow(QWidget* owner, const GoodsRow& record)
    : GoodsEntryWindow(owner, QStringLiteral("确认修改")) {
    setObjectName(QStringLiteral("ModifyGoodsWindow"));
    auto* note = new QLabel(QStringLiteral("数据修改需谨慎"), this);
    note->setGeometry(15, 按钮2->y(), 150, 按钮2->height());
    connect(按钮2, &QPushButton::clicked, this, &ModifyGoodsWindow::Confirm);

    record_ = record;
    seen_ =
        ledger::ReadEdited(SharedConnection(), ledger::EditedRow::Goods, RecordIdValue(record_.ID));
    LoadPickLists();
    ShowRecord(record_, true);
    类别组合框->setFocus();
    entries_.Note(this);
}

void ModifyGoodsWindow::Confirm() {
    if (!CheckEntries()) return;
    if (!EnsureDatabaseOpen()) return;  // the opener has told the user
    // The stock-in date is not rewritten here.
    if (!ReportChange(
            ledger::ModifyGoods(SharedConnection(), RecordIdValue(record_.ID), Entries(), seen_)))
        return;
    const qint64 goodsId = RecordIdValue(record_.ID);
    RefreshStockRow(goodsId);
    ShowDone(QStringLiteral("修改商品完成"));
    RefreshSummaryRow(goodsId);
    close();
}

ModifyGoodsWindow* OpenModifyGoodsWindow(QWidget* owner, const GoodsRow& row) {
    static QPointer<ModifyGoodsWindow> open;
    if (!IsRecordId(row.ID)) return nullptr;
    // A closed window is only deleted later; it does not count as open.
    if (open && !open->isVisible()) open = nullptr;
    if (!open) {
        open = new ModifyGoodsWindow(owner, row);
        open->show();
    }
    open->raise();
    open->activateWindow();
    return open;
}
