#include "ledger/bank.h"

#include "ledger/row_access.h"
#include "store/db_connection.h"

double SignedAmount(int typeIndex, double amount) {
    return typeIndex == 0 || typeIndex == 2 ? amount : -amount;
}

namespace ledger {

namespace {

QList<FieldValue> Fields(const BankEntry& e) {
    return {
        {u"银行", e.银行, u"099"},
        {u"账户", e.账户, u"099"},
        {u"方式", e.方式, u"099"},
        {u"金额", StoredNumber(SignedAmount(e.typeIndex, e.amount)), u"099"},
        {u"日期", e.日期, u"099"},
        {u"备注", e.备注, u"099"},
    };
}

}  // namespace

LedgerResult RecordBankEntry(DbConnection& db, const BankEntry& entry) {
    LedgerResult result;
    if (entry.amount < 0) {
        result.outcome = LedgerResult::NegativeAmount;
        return result;
    }
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    if (!InsertRow(db, QStringLiteral("bank"), Fields(entry), &result)) return result;
    return Finish(db, transaction, result);
}

LedgerResult ChangeBankEntry(DbConnection& db, qint64 entryId, const BankEntry& entry,
                             const RowSeen& seen) {
    LedgerResult result;
    result.id = entryId;
    if (entry.amount < 0) {
        result.outcome = LedgerResult::NegativeAmount;
        return result;
    }
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    if (!StillAsSeen(db, EditedRow::BankEntry, entryId, seen, &result)) return result;
    QVariantList values;
    for (const FieldValue& f : Fields(entry)) values << f.value;
    values << entryId;
    if (!ChangeRows(db,
                    QStringLiteral("UPDATE bank SET 银行=?,账户=?,方式=?,金额=?,日期=?,备注=? "
                                   "WHERE ID=?"),
                    values, &result))
        return result;
    return Finish(db, transaction, result);
}

LedgerResult DeleteBankEntry(DbConnection& db, qint64 entryId) {
    LedgerResult result;
    result.id = entryId;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    if (!ChangeRows(db, QStringLiteral("DELETE FROM bank WHERE ID=?"), {entryId}, &result))
        return result;
    return Finish(db, transaction, result);
}

}  // namespace ledger
