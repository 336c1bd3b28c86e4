#pragma once
// The stock-in window: books a new goods record ("新建入库") or adds a quantity to an
// existing one ("商品续存").

#include "stock/goods_entry_window.h"

class StockInWindow final : public GoodsEntryWindow {
    Q_OBJECT

  public:
    // New stock-in when restockRecord is null; otherwise a restock of that record, whose ID
    // is kept from now on, whatever the lists show meanwhile. The restock adds to the
    // figures stored when it is confirmed.
    StockInWindow(QWidget* owner, const GoodsRow* restockRecord);

    bool IsRestock() const { return restock_; }
    // A restock shows the record's purchase price to a user who may see it and "*" to
    // anyone else; a new stock-in leaves its price box to the user.
    void ShowPurchasePrice();

  protected:
    // Enter confirms, as in the sell window; a box that uses Enter itself keeps it.
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ProposeCode();
    void Confirm();

    bool restock_;
    QPushButton* 按钮1;
};

// Opens the stock-in window, not modal, owned by owner, and returns it. New stock-in when
// restock is false (row is not used then); a restock of row when restock is true, and
// nothing at all (nullptr) when row is null or names no record. A new stock-in and a restock
// can be open at once; opening one of a kind already open brings that window forward and
// returns it, with a message when it restocks other goods than row.
StockInWindow* OpenStockInWindow(QWidget* owner, bool restock, const GoodsRow* row);
