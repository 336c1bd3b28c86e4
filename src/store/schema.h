#pragma once
// The tables of data.db, their columns and how each column stores its values.

#include <QList>
#include <QString>
#include <utility>

enum class ColumnKind {
    Id,       // INTEGER PRIMARY KEY AUTOINCREMENT
    Text50,   // TEXT of at most 50 characters
    Memo,     // TEXT without a limit
    Real,     // REAL DEFAULT 0
    Integer,  // INTEGER DEFAULT 0
    Date,     // TEXT "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS"
};

// The schema version this program writes, kept in PRAGMA user_version (on a server, returned by
// lk_schema_version()). Files of version 0 were written before the customer accounts; files
// before version 4 kept passwords in clear.
constexpr int kSchemaVersion = 8;

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

// The totals of every row of a table, kept in the one row of table `kept` by triggers in the
// transaction of each change, so that a whole list's totals cost one row's read at any size:
// "rows", "in_stock" (the rows that meet inStock, when it is set) and the sum of each column
// in whole units of 1/scale, rounded per row as the lists sum them. The version 3 upgrade
// counts the rows stored.
struct KeptTotals {
    QString table;
    QString kept;
    QList<std::pair<QString, int>> columns;  // name, scale
    QString inStock;
};
const QList<KeptTotals>& KeptTotalsTables();
QString KeptTotalsText();
QString DropKeptTotalsText();
QString ServerKeptTotalsText();
QString ServerDropKeptTotalsText();

// The built-in account with the default password 642, hashed.
QString FirstUserText();
// The statements that create an empty database of the current version with its one user row.
QString SchemaText();
// CREATE TABLE for one table with all its columns.
QString CreateTableText(const TableDef& table);
// The column's definition as ALTER TABLE ... ADD COLUMN takes it.
QString ColumnText(const ColumnDef& column);
// The index of the sales made at the tills (version 6): one row per sale a till made.
QString TillSaleIndexText();
// The indexes of the customer accounts (version 1), each created only when missing.
QString CustomerIndexText();
// The indexes of the stocktakes (version 5).
QString StocktakeIndexText();
// The indexes of the shifts and of the bookings' till, user and time (version 7).
QString ShiftIndexText();
// The sales of a till and user deleted or modified, by when they were booked.
QString SaleEditIndexText();
// The indexes added since the first files were made, each created only when missing: part
// of SchemaText, and run when an existing file is opened.
QString AddedIndexText();
