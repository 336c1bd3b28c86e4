#pragma once
// A prepared statement with bound values, on whichever store the connection runs; finalised
// when it goes out of scope. Callers outside the store read rows only through this class, so
// that none of them knows which engine holds the books.

#include <QByteArrayView>
#include <QString>
#include <QVariant>
#include <QVariantList>

struct pg_result;
using PGresult = pg_result;
struct sqlite3;
struct sqlite3_stmt;
class DbConnection;

// The rows a read in pieces holds at once on a server.
constexpr int kRowsPerPiece = 10000;

// How a column's value of the current row is stored.
enum class ColumnType : quint8 { Null, Integer, Real, Text };

class Statement {
  public:
    Statement(const DbConnection& connection, const QString& sql);
    // On an SQLite handle of the store's own (checks, upgrades and copies of a file).
    Statement(sqlite3* db, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Ok() const { return error_.isEmpty() && (stmt_ != nullptr || server_ != nullptr); }
    const QString& Error() const { return error_; }

    // On a server, a SELECT whose rows are many: they come through a cursor in pieces of
    // kRowsPerPiece, so that the whole result is never held at once. Until its last piece is
    // read (or the statement ends), the connection reads in a transaction of its own in which
    // no change of the books may run. Called before the statement runs; nothing on a file.
    void ReadInPieces();
    // Binds values in order to the statement's parameters; dates go in their stored form.
    bool Bind(const QVariantList& values);
    // Moves to the next row: true on a row, false after the last one or when it failed (then
    // Failed() and Error() say so).
    bool Next();
    bool Failed() const { return !error_.isEmpty(); }
    // The failure was another connection holding the database past the wait.
    bool Busy() const { return busy_; }
    // Runs the statement again from its start, with new values to bind.
    void Reset();
    // The rows the statement changed, once it ran.
    qint64 Changes() const;

    int ColumnCount() const;
    QString ColumnName(int column) const;
    // The table and column a result column reads straight from; false for an expression.
    bool ColumnOrigin(int column, QString* table, QString* name) const;
    ColumnType Type(int column) const;
    bool IsNull(int column) const { return Type(column) == ColumnType::Null; }
    qint64 Int64(int column) const;
    double Double(int column) const;
    QString Text(int column) const;
    // The UTF-8 bytes of a text column, valid until the next step.
    QByteArrayView TextBytes(int column) const;

    // The SQLite statement, for the store's checks of a file; null on a server.
    sqlite3_stmt* Get() const { return stmt_; }

  private:
    struct Server;
    sqlite3* db_ = nullptr;
    sqlite3_stmt* stmt_ = nullptr;
    Server* server_ = nullptr;
    // A server runs the statement when its first row or its columns are asked for.
    mutable QString error_;
    mutable bool busy_ = false;
    bool done_ = false;

    void Prepare(const QString& sql);
    bool RunOnServer() const;
    bool OpenCursor() const;
    bool FetchPiece() const;
    void CloseCursor() const;
    // Takes the failure of result as the statement's error.
    void TakeServerError(PGresult* result) const;
};

// The value a QVariant stands for in a store: text, a number, a stored date or null.
QVariant StorableValue(const QVariant& value);
