#pragma once
// Changes of the bank book: deposits, withdrawals and transfers, stored signed so that the
// plain sum over an account is its balance.

#include <QDate>
#include <QString>

#include "ledger/edited.h"
#include "ledger/result.h"

class DbConnection;

// The stored amount of an entry of type typeIndex (0 存款, 1 取款, 2 转入, 3 转出): kept for
// deposits and transfers in, negated for any other index, none selected (-1) included.
double SignedAmount(int typeIndex, double amount);

namespace ledger {

struct BankEntry {
    int typeIndex = -1;
    QString 方式;  // the type's text
    QString 银行;
    QString 账户;
    double amount = 0;  // the magnitude typed; the type gives the sign
    QDate 日期;
    QString 备注;
};

// Adds the entry. NegativeAmount when amount is below zero (the type gives the sign, a
// minus typed as well would turn a withdrawal into a deposit); any refused field "[099]".
LedgerResult RecordBankEntry(DbConnection& db, const BankEntry& entry);
// Rewrites entry entryId; NegativeAmount as above, RecordGone when it is not stored.
// RecordChanged when what the window saw of the entry (see edited.h) is no longer stored.
LedgerResult ChangeBankEntry(DbConnection& db, qint64 entryId, const BankEntry& entry,
                             const RowSeen& seen = {});
LedgerResult DeleteBankEntry(DbConnection& db, qint64 entryId);

}  // namespace ledger
