#pragma once
// The tables of data.db, their columns and how each column stores its values.

#include <QList>
#include <QString>

enum class ColumnKind {
    Id,       // INTEGER PRIMARY KEY AUTOINCREMENT
    Text50,   // TEXT of at most 50 characters
    Memo,     // TEXT without a limit
    Real,     // REAL DEFAULT 0
    Integer,  // INTEGER DEFAULT 0
    Date,     // TEXT "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS"
};

// The schema version this program writes, kept in PRAGMA user_version (on a server, returned by
// lk_schema_version()). Files of version 0 were written before the customer accounts.
constexpr int kSchemaVersion = 3;

struct ColumnDef {
    QString name;
    ColumnKind kind;
    int since = 0;  // the schema version that added the column
};

struct TableDef {
    QString name;
    QList<ColumnDef> columns;
    int since = 0;                                       // the schema version that added the table
    const ColumnDef* Find(const QString& column) const;  // ASCII case ignored
};

const QList<TableDef>& SchemaTables();
const TableDef* FindTable(const QString& name);  // ASCII case ignored

// The totals of every sale, kept in the one row of sell_totals by triggers in the transaction
// of each change of sell, so that the sales list's totals cost one row's read at any size:
// the row count, and the sum of each totalled column in whole units, rounded per sale as the
// list sums them (销售数量 in thousandths, the money columns in fen). kKeptSalesTotals names the
// columns; the version 3 upgrade computes the row of the sales stored.
inline constexpr const char16_t* kKeptSalesTotals[][2] = {
    {u"销售数量", u"1000"}, {u"销售金额", u"100"}, {u"欠款额", u"100"}, {u"净利润", u"100"}};
QString SalesTotalsText();
QString ServerSalesTotalsText();

// The statements that create an empty database of the current version with its one user row.
QString SchemaText();
// CREATE TABLE for one table with all its columns.
QString CreateTableText(const TableDef& table);
// The column's definition as ALTER TABLE ... ADD COLUMN takes it.
QString ColumnText(const ColumnDef& column);
// The indexes of the customer accounts (version 1), each created only when missing.
QString CustomerIndexText();
// The indexes added since the first files were made, each created only when missing: part
// of SchemaText, and run when an existing file is opened.
QString AddedIndexText();
