#pragma once
// The income and expense list: its columns (grid column c shows column c - 1), the income and
// expense totals and the searches of the 其他收支 page, as conditions on other.

#include <QDate>
#include <QString>
#include <QStringList>

#include "ledger/list_read.h"

namespace ledger {

enum OtherColumn {
    kOtherId,
    kOtherType,
    kOtherNumber,
    kOtherItem,
    kOtherQuantity,
    kOtherPrice,
    kOtherAmount,
    kOtherDate,
    kOtherRemark,
    // Not shown: the amount of an income, of an expense (0 for other rows), so that the
    // totals row sums each type exactly.
    kOtherIncome,
    kOtherExpense,
    kOtherColumns
};

ListSpec OtherListSpec(bool costs = false);

struct OtherFilter {
    enum class Kind {
        All,
        Contains,   // column holds text (a "%" or "_" in it stays a wildcard)
        Between,    // entered from `from` to `to`, both days whole
        OnDay,      // entered on `from`
        ThisMonth,  // entered in the month of the program's clock
    };
    Kind kind = Kind::All;
    int column = kOtherItem;  // Contains: kOtherType, kOtherNumber, kOtherItem or kOtherRemark
    QString text;
    QDate from;
    QDate to;

    bool operator==(const OtherFilter&) const = default;
};

ListCondition OtherCondition(const OtherFilter& filter);

// The pick lists of the page: every item (kOtherItem) or remark (kOtherRemark) once, in order.
bool ReadOtherValues(DbConnection& db, int column, QStringList* values, QString* error);

}  // namespace ledger
