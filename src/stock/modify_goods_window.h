#pragma once
// The modify window ("修改(退货)"): rewrites the fields of one goods record, for a
// correction or a return to the supplier.

#include "stock/goods_entry_window.h"

class ModifyGoodsWindow final : public GoodsEntryWindow {
    Q_OBJECT

  public:
    // Works on record, whose ID is kept from now on, whatever the lists show meanwhile; the
    // sold figures are those stored when the change is confirmed.
    ModifyGoodsWindow(QWidget* owner, const GoodsRow& record);

  private:
    ledger::RowSeen seen_;  // what the window shows of the stored record
    void Confirm();
};

// Opens the modify window for row, not modal, owned by owner, and returns it; nothing
// (nullptr) when row names no record. While a modify window is open, opening one only brings
// that window forward and returns it.
ModifyGoodsWindow* OpenModifyGoodsWindow(QWidget* owner, const GoodsRow& row);
