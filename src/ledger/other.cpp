#include "ledger/other.h"

#include "common/date_text.h"
#include "ledger/row_access.h"
#include "ledger/shift.h"
#include "store/db_connection.h"

namespace ledger {

LedgerResult RecordOtherEntry(DbConnection& db, const OtherEntry& e) {
    LedgerResult result;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    const QList<FieldValue> fields = {
        {u"类型", e.类型, u"099"},
        {u"编号", e.编号, u"098"},
        {u"项目", e.项目, u"097"},
        {u"数量", e.数量, u"096"},
        {u"单价", e.单价, u"095"},
        {u"金额", e.金额, u"094"},
        {u"日期", e.日期, u"093"},
        {u"备注", e.备注, u"093"},
        {u"操作员", e.user.left(50), u"092"},
        {u"收银台", e.tillName.left(50), u"092"},
        {u"付款方式", PayMethodOrCash(e.payMethod), u"092"},
        {u"录入时间", CurrentDateTime(), u"092"},
    };
    if (!InsertRow(db, QStringLiteral("other"), fields, &result)) return result;
    return Finish(db, transaction, result);
}

LedgerResult DeleteOtherEntry(DbConnection& db, qint64 entryId) {
    LedgerResult result;
    result.id = entryId;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    if (!ChangeRows(db, QStringLiteral("DELETE FROM other WHERE ID=?"), {entryId}, &result))
        return result;
    return Finish(db, transaction, result);
}

}  // namespace ledger
