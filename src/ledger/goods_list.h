#pragma once
// The goods list of the stock page: its columns (grid column c shows column c - 1), its
// totals, the searches of the page, and the goods out of stock it leaves out.

#include <QDate>
#include <QString>
#include <QStringList>

#include "ledger/list_read.h"

namespace ledger {

enum GoodsColumn {
    kGoodsId,
    kGoodsName,
    kGoodsModel,
    kGoodsCode,
    kGoodsType,
    kGoodsBought,        // 进货数量
    kGoodsCost,          // 进货单价
    kGoodsBoughtAmount,  // 进货金额
    kGoodsSold,          // 销售数量
    kGoodsPrice,         // 销售单价
    kGoodsSoldAmount,    // 销售金额
    kGoodsStock,         // 存货数量
    kGoodsStockAmount,   // 存货金额
    kGoodsDate,          // 入库日期
    kGoodsSupplier,
    kGoodsRemark,
    kGoodsColumns
};

// costs false: the purchase price and the purchase and stock amounts are not read at all.
ListSpec GoodsListSpec(bool costs);

struct GoodsFilter {
    enum class Kind {
        All,
        Contains,  // column holds text (a "%" or "_" in it stays a wildcard)
        Initials,  // the name's initials hold text, by any common reading
        Between,   // stocked in from `from` to `to`
    };
    Kind kind = Kind::All;
    int column = kGoodsName;
    QString text;
    QDate from;
    QDate to;
};

ListCondition GoodsCondition(const GoodsFilter& filter);

// The summary of the goods: name, model, code, type, and the purchased, sold and stock
// quantities and amounts (columns kSummary...); costs as above.
enum SummaryColumn {
    kSummaryId,
    kSummaryName,
    kSummaryModel,
    kSummaryCode,
    kSummaryType,
    kSummaryBought,
    kSummaryBoughtAmount,
    kSummarySold,
    kSummarySoldAmount,
    kSummaryStock,
    kSummaryStockAmount,
    kSummaryColumns
};
ListSpec SummaryListSpec(bool costs);
// The goods shown when those out of stock are left out.
ListCondition GoodsInStock();

// Every value of a text column of buy once (类型, 供货商, 名称, 型号, 编码), in order, empty
// ones left out: the pick lists of the stock page and the goods window.
bool ReadGoodsValues(DbConnection& db, int column, QStringList* values, QString* error);

}  // namespace ledger
