#include "ledger/goods_list.h"

#include "common/date_text.h"
#include "store/db_connection.h"
#include "store/statement.h"

namespace ledger {

namespace {

constexpr int kFen = 100;
constexpr int kThousandths = 1000;

const QList<int> kTextColumns = {kGoodsName, kGoodsModel,    kGoodsCode,
                                 kGoodsType, kGoodsSupplier, kGoodsRemark};

}  // namespace

ListSpec GoodsListSpec(bool costs) {
    ListSpec layout;
    layout.table = QStringLiteral("buy");
    // Kept by the store in the units below (see KeptTotalsTables).
    layout.keptTotals = QStringLiteral("buy_totals");
    const char* const names[kGoodsColumns] = {"ID",       "名称",     "型号",     "编码",
                                              "类型",     "进货数量", "进货单价", "进货金额",
                                              "销售数量", "销售单价", "销售金额", "存货数量",
                                              "存货金额", "入库日期", "供货商",   "备注"};
    for (int c = 0; c < kGoodsColumns; ++c) {
        ListColumn column;
        column.name = QString::fromUtf8(names[c]);
        column.date = c == kGoodsDate;
        column.withheld =
            !costs && (c == kGoodsCost || c == kGoodsBoughtAmount || c == kGoodsStockAmount);
        if (c == kGoodsBought || c == kGoodsSold || c == kGoodsStock)
            column.totalScale = kThousandths;
        if (c == kGoodsBoughtAmount || c == kGoodsSoldAmount || c == kGoodsStockAmount)
            column.totalScale = kFen;
        layout.columns << column;
    }
    return layout;
}

ListSpec SummaryListSpec(bool costs) {
    const ListSpec goods = GoodsListSpec(costs);
    ListSpec layout;
    layout.table = goods.table;
    layout.keptTotals = goods.keptTotals;
    for (int c : {kGoodsId, kGoodsName, kGoodsModel, kGoodsCode, kGoodsType, kGoodsBought,
                  kGoodsBoughtAmount, kGoodsSold, kGoodsSoldAmount, kGoodsStock, kGoodsStockAmount})
        layout.columns << goods.columns[c];
    return layout;
}

ListCondition GoodsCondition(const GoodsFilter& filter) {
    using Kind = GoodsFilter::Kind;
    switch (filter.kind) {
        case Kind::All:
            return {};
        case Kind::Contains:
            if (!kTextColumns.contains(filter.column)) return {QStringLiteral("1 = 0"), {}};
            return {QStringLiteral("\"%1\" LIKE ?")
                        .arg(GoodsListSpec(false).columns[filter.column].name),
                    {QLatin1Char('%') + filter.text + QLatin1Char('%')}};
        case Kind::Initials:
            // The stored initials follow the customary readings; the name is also tried by
            // the other common readings of its hanzi (空调 by KT as well as KD).
            return {QStringLiteral("首拼 LIKE ? OR InitialsMatch(名称, ?)"),
                    {QLatin1Char('%') + filter.text + QLatin1Char('%'), filter.text}};
        case Kind::Between:
            return {QStringLiteral("入库日期 >= ? AND 入库日期 <= ?"),
                    {StoredDateText(filter.from), StoredDateText(filter.to)}};
    }
    return {};
}

ListCondition GoodsInStock() {
    // Above the tolerance the figures are compared with everywhere.
    return {QStringLiteral("存货数量 > 0.0000001"), {}, QStringLiteral("in_stock")};
}

bool ReadGoodsValues(DbConnection& db, int column, QStringList* values, QString* error) {
    values->clear();
    if (!kTextColumns.contains(column) || column == kGoodsRemark) {
        *error = QStringLiteral("no pick list for column %1").arg(column);
        return false;
    }
    // The panel's two lists step along their indexes.
    if (column == kGoodsType || column == kGoodsSupplier) {
        const QString name = GoodsListSpec(false).columns[column].name;
        return ReadColumnValues(
            db, QStringLiteral("buy"), name,
            column == kGoodsType ? QStringLiteral("商品类型") : QStringLiteral("商品供货商"),
            values, error);
    }
    // Grouped as the column compares, case ignored: one item per value a search finds.
    return ReadValues(db,
                      QStringLiteral("SELECT max(%1) FROM buy GROUP BY %1 ORDER BY %1")
                          .arg(GoodsListSpec(false).columns[column].name),
                      values, error);
}

}  // namespace ledger
