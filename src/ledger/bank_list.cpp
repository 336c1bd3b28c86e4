#include "ledger/bank_list.h"

#include "common/date_text.h"
#include "store/db_connection.h"
#include "store/statement.h"

namespace ledger {

ListSpec BankListSpec(bool) {
    ListSpec layout;
    layout.table = QStringLiteral("bank");
    const char* const names[kBankColumns] = {"ID", "银行", "账户", "方式", "金额", "日期", "备注"};
    for (int c = 0; c < kBankColumns; ++c) {
        ListColumn column;
        column.name = QString::fromUtf8(names[c]);
        column.date = c == kBankDate;
        layout.columns << column;
    }
    return layout;
}

ListCondition BankCondition(const BankFilter& filter) {
    using Kind = BankFilter::Kind;
    switch (filter.kind) {
        case Kind::All:
            return {};
        case Kind::BankContains:
            return {QStringLiteral("银行 LIKE ?"),
                    {QLatin1Char('%') + filter.text + QLatin1Char('%')}};
        case Kind::Between:
            return {QStringLiteral("日期 >= ? AND 日期 <= ?"),
                    {StoredDateText(filter.from), StoredDateText(filter.to)}};
    }
    return {};
}

bool IsBankOutflow(QStringView kind) {
    return kind == u"取款" || kind == u"转出";
}

bool ReadBankBalances(DbConnection& db, std::vector<BankBalance>* balances, QString* error) {
    balances->clear();
    // Whole fen per entry, summed as integers: a balance never drifts by a binary fraction.
    Statement st(db, QStringLiteral("SELECT 银行, 账户, sum(cast(round(金额*100) as bigint)) "
                                    "FROM bank GROUP BY 银行, 账户 ORDER BY 银行, 账户"));
    while (st.Next()) balances->push_back({st.Text(0), st.Text(1), st.IsNull(2) ? 0 : st.Int64(2)});
    if (st.Ok() && !st.Failed()) return true;
    *error = st.Error().isEmpty() ? db.GetErrorDescription() : st.Error();
    balances->clear();
    return false;
}

bool ReadBankValues(DbConnection& db, int column, QStringList* values, QString* error) {
    if (column != kBankName && column != kBankAccount) {
        *error = QStringLiteral("no pick list for column %1").arg(column);
        values->clear();
        return false;
    }
    const QString name = BankListSpec().columns[column].name;
    return ReadValues(db,
                      QStringLiteral("SELECT max(%1) FROM bank GROUP BY %1 ORDER BY 1").arg(name),
                      values, error);
}

}  // namespace ledger
