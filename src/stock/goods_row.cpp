#include "stock/goods_row.h"

#include "common/cell_row.h"
#include "common/date_text.h"
#include "common/number_text.h"
#include "ledger/goods_list.h"
#include "platform/list_style.h"
#include "platform/skin.h"
#include "platform/till_keeper.h"
#include "store/shared_db.h"

bool LoadGoodsRow(const QString& id, GoodsRow* row, bool* readFailed) {
    if (readFailed) *readFailed = false;
    // A database that cannot be opened has been told by its opener.
    if (!EnsureDatabaseOpen()) {
        if (readFailed) *readFailed = true;
        return false;
    }
    bool isId = false;
    const qint64 recordId = id.toLongLong(&isId);
    if (!isId) return false;
    ledger::ListRead read(SharedConnection(), ledger::GoodsListSpec(CostFiguresVisible()));
    CellRow cells;
    bool found = false, shown = false;
    if (!read.ReadRecord(recordId, &cells, &found, &shown)) {
        // The server went away: the goods come from the till's copy, which sells on.
        if (SellOfflineAfterLoss()) return LoadGoodsRow(id, row, readFailed);
        ShowMessage(ReadFailureText(QStringLiteral("读取商品失败"), read.Error()), 2);
        if (readFailed) *readFailed = true;
        return false;
    }
    if (!found) return false;
    using namespace ledger;
    const auto text = [&cells](int c) { return cells.Text(c).toString(); };
    row->ID = QString::number(static_cast<qint64>(cells.Value(kGoodsId)));
    row->名称 = text(kGoodsName);
    row->型号 = text(kGoodsModel);
    row->编码 = text(kGoodsCode);
    row->类型 = text(kGoodsType);
    row->进货数量 = cells.Number(kGoodsBought);
    row->进货单价 = cells.Number(kGoodsCost);
    row->进货金额 = cells.Number(kGoodsBoughtAmount);
    row->销售数量 = cells.Number(kGoodsSold);
    row->销售单价 = cells.Number(kGoodsPrice);
    row->销售金额 = cells.Number(kGoodsSoldAmount);
    row->存货数量 = cells.Number(kGoodsStock);
    row->存货金额 = cells.Number(kGoodsStockAmount);
    row->入库日期 = cells.Kind(kGoodsDate) == CellKind::Date
                        ? UnpackedDate(static_cast<qint64>(cells.Value(kGoodsDate))).date()
                        : QDate();
    row->供货商 = text(kGoodsSupplier);
    row->备注 = text(kGoodsRemark);
    return true;
}
