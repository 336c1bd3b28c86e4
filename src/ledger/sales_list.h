#pragma once
// The sales list: its columns (grid column c shows column c - 1), its totals and the
// searches of the sales page, as conditions on sell.

#include <QDate>
#include <QString>
#include <QStringList>

#include "ledger/list_read.h"

namespace ledger {

// The columns of the list, in the order the sales page shows them.
enum SalesColumn {
    kSaleId,
    kSaleUid,
    kSaleName,
    kSaleModel,
    kSaleCode,
    kSaleType,
    kSalePrice,
    kSaleQuantity,
    kSaleAmount,
    kSaleDate,
    kSaleDebt,
    kSaleProfit,
    kSaleCustomerNo,
    kSaleCustomerName,
    kSalePhone,
    kSaleAddress,
    kSaleRemark,
    kSaleColumns
};

// costs false: the profit is not read at all, for a user who may not see it.
ListSpec SalesListSpec(bool costs);

struct SalesFilter {
    enum class Kind {
        All,
        Contains,   // column holds text (a "%" or "_" in it stays a wildcard)
        Initials,   // the goods name's initials hold text, by any common reading
        Between,    // sold from `from` to `to`, both days whole
        OnDay,      // sold on `from`
        ThisMonth,  // sold in the month of the program's clock
        WithDebt,   // a debt is still open
        Oversold,   // made at a till while its server was away, beyond the stock it then had
    };
    Kind kind = Kind::All;
    int column = kSaleName;  // Contains: a text column of the list
    QString text;
    QDate from;
    QDate to;

    bool operator==(const SalesFilter&) const = default;
};

// The condition of a filter; a Contains on a column that is not a text column of the list
// gives a condition no row passes.
ListCondition SalesCondition(const SalesFilter& filter);

// Every value of a text column of sell once, in the column's order, empty ones left out: the
// pick lists of the sales page's type and customer boxes.
bool ReadSalesValues(DbConnection& db, int column, QStringList* values, QString* error);

}  // namespace ledger
