#pragma once
// The five tables of data.db, their columns and how each column stores its values.

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

struct ColumnDef {
    QString name;
    ColumnKind kind;
};

struct TableDef {
    QString name;
    QList<ColumnDef> columns;
    const ColumnDef* Find(const QString& column) const;  // ASCII case ignored
};

const QList<TableDef>& SchemaTables();
const TableDef* FindTable(const QString& name);  // ASCII case ignored

// The statements that create an empty database with its one user row.
QString SchemaText();
// The indexes added since the first files were made, each created only when missing: part
// of SchemaText, and run when an existing file is opened.
QString AddedIndexText();
