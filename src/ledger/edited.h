#pragma once
// The records a window edits with values of its own (goods, a sale's debt and customer, a bank
// entry). Another till may change the same record while the window is open; its change must
// not be overwritten unseen. A window reads what it edits when it opens, and its change is
// refused when the stored values differ at confirm.

#include <QVariantList>

class DbConnection;

namespace ledger {

enum class EditedRow { Goods, Sale, BankEntry };

// The stored values of the columns a window overwrites in a record, as read when it opened.
struct RowSeen {
    bool known = false;  // false: nothing to compare with (the record could not be read)
    QVariantList values;
};

// Reads what a window of kind overwrites in record id.
RowSeen ReadEdited(DbConnection& db, EditedRow kind, qint64 id);

}  // namespace ledger
