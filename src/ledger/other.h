#pragma once
// Changes of the income and expense book other.

#include <QDate>
#include <QString>

#include "ledger/result.h"

class DbConnection;

namespace ledger {

struct OtherEntry {
    QString 类型;  // "收入" or "支出"
    QString 编号;
    QString 项目;
    QString 数量;  // as typed: the column takes numbers only, so other text is refused
    double 单价 = 0;
    double 金额 = 0;
    QDate 日期;
    QString 备注;
    QString user;       // who booked it
    QString tillName;   // at which till
    QString payMethod;  // how it was paid or taken in; 现金 when empty
};

// Adds the entry. Refused fields: "[099]" type, "[098]" number, "[097]" item, "[096]"
// quantity, "[095]" unit price, "[094]" amount, "[093]" date or remark, "[092]" user, till or
// payment method.
LedgerResult RecordOtherEntry(DbConnection& db, const OtherEntry& entry);

LedgerResult DeleteOtherEntry(DbConnection& db, qint64 entryId);

}  // namespace ledger
