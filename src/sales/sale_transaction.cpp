#include "sales/sale_transaction.h"

#include "common/session.h"
#include "ledger/till_copy.h"
#include "platform/list_refresh.h"
#include "platform/skin.h"
#include "platform/till_keeper.h"
#include "sales/scan_batch.h"
#include "store/shared_db.h"

namespace {

// The warning for a sale the ledger did not record.
QString RefusalText(const LedgerResult& result) {
    switch (result.outcome) {
        case LedgerResult::ZeroQuantity:
            return QStringLiteral("销售数量不能是0");
        case LedgerResult::NotEnoughStock:
            return QStringLiteral("库存不足，无法销售");
        case LedgerResult::RecordGone:
            return QStringLiteral("错误代码 [083]");
        case LedgerResult::FieldRefused:
            return RefusedFieldText(result);
        default:
            return QStringLiteral("销售失败，库存和销售记录都没有改变");
    }
}

}  // namespace

bool SaleTransaction(const SaleInput& input) {
    if (!EnsureDatabaseOpen()) return false;  // the opener has told the user
    SaleInput sale = input;
    DbConnection& db = SharedConnection();
    // A till of several numbers each sale, so that one sent again after a lost answer, or
    // made on the till's copy while the server was away, is booked once.
    if (db.Server() || db.SalesOnly()) sale.tillSaleId = ledger::NewTillSaleId();
    sale.tillName = TillName();
    sale.user = CurrentSession().userName;
    LedgerResult result = ledger::RecordSale(db, sale);
    // The server went away: the till sells on from its own copy, under the same number.
    if (result.outcome == LedgerResult::StoreFailed && SellOfflineAfterLoss())
        result = ledger::RecordSale(SharedConnection(), sale);
    if (!result.IsDone()) {
        ShowMessage(RefusalText(result), 2);
        return false;
    }
    if (!ScanBatchMode())
        Skin::Instance().SkinMessageBox(QStringLiteral("销售商品完成"), 1, 0, 1,
                                        QStringLiteral("提示"));
    // The sale changed one goods row and added one sales row; the other lists stay as they are.
    UpdateListRow(ListId::Stock, result.goodsId);
    UpdateListRow(ListId::Sales, result.saleId);
    UpdateListRow(ListId::Summary, result.goodsId);
    if (SharedConnection().SalesOnly()) NotifyOfflineChange();
    return true;
}
