#pragma once
// Copies the books between a data.db file and a database on a server, in one transaction of
// the target, and checks that every row arrived.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

class DbConnection;

// What one table holds: its rows and the sums of its number columns and of its texts' lengths.
struct TableTally {
    QString table;
    qint64 rows = 0;
    QList<double> sums;
    bool operator==(const TableTally&) const = default;
};

// The tally of every table of the books, in schema order; false with error when a read fails.
bool TallyTables(DbConnection& db, QList<TableTally>* tallies, QString* error);

// Copies every table of file into server, which must hold no books yet (its first user aside),
// keeping each row's ID. Nothing stays on the server unless the server's tally equals the
// file's for every table. progress hears of the rows copied (done, total) and may stop the
// copy (false), which then fails. tallies receives the checked figures.
bool MigrateToServer(DbConnection& file, DbConnection& server,
                     const std::function<bool(qint64, qint64)>& progress,
                     QList<TableTally>* tallies, QString* error);

// Puts the books of file in place of every book on server, in one server transaction checked
// by the tallies like a move; on failure the server's books stay as they were. The other tills
// on the server hear of it and fill their lists again.
bool ReplaceServerBooks(DbConnection& server, DbConnection& file, QString* error);

// Puts the rows of the named tables of `from` in place of those of `to`, keeping each row's ID,
// in one transaction of `to` from one snapshot of `from`; alsoInside runs in that transaction
// after the copy and may stop it (false with *error). A till's own copy of what it sells.
bool ReplaceTables(DbConnection& from, DbConnection& to, const QStringList& tables,
                   const std::function<bool(QString*)>& alsoInside, QString* error);

// Inside the caller's transaction of `to`: the rows of table with these IDs as `from` holds them
// now (a row gone from `from` goes from `to`). False with *error.
bool ReplaceRows(DbConnection& from, DbConnection& to, const QString& table,
                 const QList<qint64>& ids, QString* error);

// Writes the books of a server into a new data.db file at path (which must not exist), in the
// same portable form as every ledger file, checked by the tallies like a move.
bool CopyServerBooksToFile(DbConnection& server, const QString& path, QString* error);
