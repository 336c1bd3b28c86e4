#include "ledger/other_list.h"

#include "common/date_text.h"
#include "store/db_connection.h"

namespace ledger {

namespace {

constexpr int kFen = 100;

}  // namespace

ListSpec OtherListSpec(bool) {
    ListSpec layout;
    layout.table = QStringLiteral("other");
    const char* const names[kOtherColumns] = {"ID",   "类型", "编号", "项目",     "数量",    "单价",
                                              "金额", "日期", "备注", "收入金额", "支出金额"};
    for (int c = 0; c < kOtherColumns; ++c) {
        ListColumn column;
        column.name = QString::fromUtf8(names[c]);
        column.date = c == kOtherDate;
        if (c == kOtherAmount || c == kOtherIncome || c == kOtherExpense) column.totalScale = kFen;
        layout.columns << column;
    }
    const auto amountOf = [](const char* type) {
        return QStringLiteral("CASE WHEN 类型 = '%1' THEN 金额 ELSE 0 END")
            .arg(QString::fromUtf8(type));
    };
    layout.columns[kOtherIncome].expression = amountOf("收入");
    layout.columns[kOtherExpense].expression = amountOf("支出");
    return layout;
}

ListCondition OtherCondition(const OtherFilter& filter) {
    using Kind = OtherFilter::Kind;
    switch (filter.kind) {
        case Kind::All:
            return {};
        case Kind::Contains: {
            if (filter.column != kOtherType && filter.column != kOtherNumber &&
                filter.column != kOtherItem && filter.column != kOtherRemark)
                return {QStringLiteral("1 = 0"), {}};
            return {
                QStringLiteral("\"%1\" LIKE ?").arg(OtherListSpec().columns[filter.column].name),
                {QLatin1Char('%') + filter.text + QLatin1Char('%')}};
        }
        case Kind::Between:
            return {QStringLiteral("日期 >= ? AND 日期 <= ?"),
                    {StoredDateText(filter.from), StoredDateText(filter.to)}};
        case Kind::OnDay:
            return {QStringLiteral("日期 = ?"), {StoredDateText(filter.from)}};
        case Kind::ThisMonth: {
            const QDate today = CurrentDateTime().date();
            const QDate first(today.year(), today.month(), 1);
            return {QStringLiteral("日期 >= ? AND 日期 < ?"),
                    {StoredDateText(first), StoredDateText(first.addMonths(1))}};
        }
    }
    return {};
}

bool ReadOtherValues(DbConnection& db, int column, QStringList* values, QString* error) {
    if (column != kOtherItem && column != kOtherRemark) {
        *error = QStringLiteral("no pick list for column %1").arg(column);
        values->clear();
        return false;
    }
    const QString name = OtherListSpec().columns[column].name;
    return ReadValues(db,
                      QStringLiteral("SELECT max(%1) FROM other GROUP BY %1 ORDER BY 1").arg(name),
                      values, error);
}

}  // namespace ledger
