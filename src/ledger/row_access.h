#pragma once
// The steps every change of the books is made of: read one stored row, add a row whose
// fields are checked one by one in a given order, change rows. Inside the ledger only.

#include <QList>
#include <QString>
#include <QVariant>
#include <QVariantList>

#include "ledger/edited.h"
#include "ledger/result.h"

class DbConnection;
class DbTransaction;

namespace ledger {

// One field of a new row, with the code the user is shown when its value is refused.
struct FieldValue {
    const char16_t* column;
    QVariant value;
    const char16_t* code;
};

// The numbers a statement text would carry: at most 13 significant digits, so that
// 0.1 × 3 is stored as 0.3.
double StoredNumber(double value);

// sql, a read of rows that the change then writes from what it read, locking those rows on a
// server (FOR UPDATE): a writer outside the program, which takes no advisory lock, then waits
// for the change instead of having its own update overwritten by figures read before it. A
// file's write transaction holds the whole file already.
QString ForChange(DbConnection& db, const QString& sql);

// Whether the connection may read and write the cost columns (store/server_roles.h): always on a
// file; on a server for the owner and the super administrators' roles.
bool SeesCosts(DbConnection& db);

// Reads the first row of a query into columns. False with result set to RecordGone when
// there is none, or to StoreFailed when the query failed.
bool ReadRow(DbConnection& db, const QString& sql, const QVariantList& values,
             QVariantList* columns, LedgerResult* result);

// Checks every field in order against its column of table and inserts the row. False with
// result set to FieldRefused (at the first refused field) or StoreFailed; result->id is the
// new row's ID otherwise.
bool InsertRow(DbConnection& db, const QString& table, const QList<FieldValue>& fields,
               LedgerResult* result);

// Runs a change that must hit at least one row. False with result set to StoreFailed or,
// when it hit none, RecordGone.
bool ChangeRows(DbConnection& db, const QString& sql, const QVariantList& values,
                LedgerResult* result);

// Ends a change: commits, and result is Done; or StoreFailed when the commit failed. On a till's
// copy that books sales only (DbConnection::SalesOnly) nothing is committed: ServerNeeded.
LedgerResult Finish(DbConnection& db, DbTransaction& transaction, LedgerResult result);
// Ends a sale, on any store.
LedgerResult FinishSale(DbConnection& db, DbTransaction& transaction, LedgerResult result);

// Inside a change's transaction: true when record id still holds what the window that edits
// it saw (always, when it saw nothing); else false with result set to RecordChanged, or to
// RecordGone or StoreFailed when it cannot be read.
bool StillAsSeen(DbConnection& db, EditedRow kind, qint64 id, const RowSeen& seen,
                 LedgerResult* result);

// Sets result to StoreFailed with the connection's last error; false.
bool StoreFailure(DbConnection& db, LedgerResult* result);

}  // namespace ledger
