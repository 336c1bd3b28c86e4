#include "ledger/edited.h"

#include <QStringList>

#include "ledger/row_access.h"

namespace ledger {

namespace {

// The query of the columns each kind of window overwrites.
QString EditedQuery(EditedRow kind) {
    switch (kind) {
        case EditedRow::Goods:
            return QStringLiteral(
                "SELECT 名称,型号,编码,类型,进货数量,进货单价,销售单价,供货商,备注 FROM buy "
                "WHERE ID=?");
        case EditedRow::Sale:
            return QStringLiteral(
                "SELECT 欠款额,客户名称,联系方式,客户地址,备注 FROM sell WHERE ID=?");
        case EditedRow::BankEntry:
            break;
    }
    return QStringLiteral("SELECT 银行,账户,方式,金额,日期,备注 FROM bank WHERE ID=?");
}

// A number may come back as an integer from one store and as a double from another.
bool SameValue(const QVariant& a, const QVariant& b) {
    if (a.isNull() || b.isNull()) return a.isNull() == b.isNull();
    const bool numbers = a.typeId() != QMetaType::QString && b.typeId() != QMetaType::QString;
    if (numbers) return a.toDouble() == b.toDouble();
    return a.typeId() == b.typeId() && a.toString() == b.toString();
}

}  // namespace

RowSeen ReadEdited(DbConnection& db, EditedRow kind, qint64 id) {
    RowSeen seen;
    LedgerResult ignored;
    seen.known = ReadRow(db, EditedQuery(kind), {id}, &seen.values, &ignored);
    return seen;
}

bool StillAsSeen(DbConnection& db, EditedRow kind, qint64 id, const RowSeen& seen,
                 LedgerResult* result) {
    if (!seen.known) return true;
    QVariantList stored;
    if (!ReadRow(db, EditedQuery(kind), {id}, &stored, result)) return false;
    bool same = stored.size() == seen.values.size();
    for (qsizetype i = 0; same && i < stored.size(); ++i)
        same = SameValue(stored[i], seen.values[i]);
    if (!same) result->outcome = LedgerResult::RecordChanged;
    return same;
}

}  // namespace ledger
