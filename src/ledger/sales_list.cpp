#include "ledger/sales_list.h"

#include "common/date_text.h"
#include "store/db_connection.h"
#include "store/statement.h"

namespace ledger {

namespace {

constexpr int kFen = 100;
// Quantities are weighed as well as counted: to the gram.
constexpr int kThousandths = 1000;

}  // namespace

ListSpec SalesListSpec(bool costs) {
    ListSpec layout;
    layout.table = QStringLiteral("sell");
    // Kept by the store in the units below (see KeptTotalsTables).
    layout.keptTotals = QStringLiteral("sell_totals");
    const char* const names[kSaleColumns] = {
        "ID",       "UID",      "名称",     "型号",     "编码",   "类型",
        "销售单价", "销售数量", "销售金额", "销售日期", "欠款额", "净利润",
        "客户编号", "客户名称", "联系方式", "客户地址", "备注"};
    for (int c = 0; c < kSaleColumns; ++c) {
        ListColumn column;
        column.name = QString::fromUtf8(names[c]);
        column.date = c == kSaleDate;
        column.withheld = c == kSaleProfit && !costs;
        if (c == kSaleQuantity) column.totalScale = kThousandths;
        if (c == kSaleAmount || c == kSaleDebt || c == kSaleProfit) column.totalScale = kFen;
        layout.columns << column;
    }
    return layout;
}

ListCondition SalesCondition(const SalesFilter& filter) {
    using Kind = SalesFilter::Kind;
    switch (filter.kind) {
        case Kind::All:
            return {};
        case Kind::Contains: {
            static const QList<int> kTextColumns = {kSaleName,  kSaleModel,      kSaleCode,
                                                    kSaleType,  kSaleCustomerNo, kSaleCustomerName,
                                                    kSalePhone, kSaleAddress,    kSaleRemark};
            if (!kTextColumns.contains(filter.column)) return {QStringLiteral("1 = 0"), {}};
            return {QStringLiteral("\"%1\" LIKE ?")
                        .arg(SalesListSpec(false).columns[filter.column].name),
                    {QLatin1Char('%') + filter.text + QLatin1Char('%')}};
        }
        case Kind::Initials:
            // The stored initials follow the customary readings; the name is also tried by
            // the other common readings of its hanzi (空调 by KT as well as KD).
            return {QStringLiteral("首拼 LIKE ? OR InitialsMatch(名称, ?)"),
                    {QLatin1Char('%') + filter.text + QLatin1Char('%'), filter.text}};
        case Kind::Between:
            return {QStringLiteral("销售日期 >= ? AND 销售日期 <= ?"),
                    {StoredDateText(filter.from), StoredDateText(filter.to)}};
        case Kind::OnDay:
            return {QStringLiteral("销售日期 = ?"), {StoredDateText(filter.from)}};
        case Kind::ThisMonth: {
            const QDate today = CurrentDateTime().date();
            const QDate first(today.year(), today.month(), 1);
            return {QStringLiteral("销售日期 >= ? AND 销售日期 < ?"),
                    {StoredDateText(first), StoredDateText(first.addMonths(1))}};
        }
        case Kind::WithDebt:
            return {QStringLiteral("欠款额 > 0"), {}};
        case Kind::Oversold:
            return {QStringLiteral("ID IN (SELECT 销售ID FROM till_sale WHERE 短缺 > 0)"), {}};
    }
    return {};
}

bool ReadSalesValues(DbConnection& db, int column, QStringList* values, QString* error) {
    values->clear();
    const QString name = SalesListSpec(false).columns.value(column).name;
    if (column != kSaleType && column != kSaleCustomerName) {
        *error = QStringLiteral("no pick list for %1").arg(name);
        return false;
    }
    return ReadColumnValues(
        db, QStringLiteral("sell"), name,
        column == kSaleType ? QStringLiteral("销售类型") : QStringLiteral("销售客户"), values,
        error);
}

}  // namespace ledger
