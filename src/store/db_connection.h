#pragma once
// The connection to data.db. Operations report success as a boolean and keep the text of
// the last error; nothing here shows a message.

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>

struct sqlite3;
class ServerSession;

class DbConnection {
  public:
    DbConnection();
    DbConnection(const DbConnection& other);  // shares the open database, copies the texts
    DbConnection& operator=(const DbConnection& other);
    virtual ~DbConnection();

    virtual bool IsValid() const;
    virtual QString GetErrorDescription() const;
    virtual sqlite3* GetHandle() const;
    // Stores error as last error; true exactly when it is empty.
    virtual bool CheckError(const QString& error);
    virtual int GetState() const;  // 1 open, 0 closed

    // Opens an existing database file of this program for reading and writing. Fails, and
    // leaves the file untouched, when it is missing, not a database, has a damaged header or
    // first page of a table or index, or lacks one of the program's tables or columns. After
    // a connection ended without closing the file the opening is not held up by the check of
    // every page: FullCheckDue tells that it is to run (see CheckEveryPage).
    virtual bool OpenFile(const QString& path);
    // The markers of connections that ended without closing the open file, found at its
    // opening: while there are any, the file awaits its check of every page.
    QStringList FullCheckDue() const;
    // Opens the books on a PostgreSQL server named by a libpq connection string ("host=...
    // dbname=... user=..."; a password may come from the user's ~/.pgpass). An empty database
    // gets the program's tables first; one with other tables, or of a later version, is refused.
    bool OpenServer(const QString& connection);
    // The same, logged in as role with password (see ServerSession::OpenAs).
    bool OpenServerAs(const QString& connection, const QString& role, const QString& password);
    // The server connection the books are on; null for a data.db file. Inside the store only.
    ServerSession* Server() const;
    virtual bool Close();

    // Runs one statement with its values bound to the "?" parameters.
    virtual bool Execute(const QString& sql, const QVariantList& values = {},
                         qint64* rowsAffected = nullptr);
    // The ID of the row the last INSERT on this connection added.
    qint64 LastInsertId() const;

    // How long a statement waits for a locked database, in milliseconds.
    virtual void SetConnectionTimeout(int milliseconds);
    virtual int GetConnectionTimeout() const;

    virtual bool BeginTrans();
    virtual bool CommitTrans();
    virtual bool RollbackTrans();

    virtual bool IsOpen() const;
    virtual QString GetProvider() const;
    virtual QString GetVersion() const;
    QString Path() const;  // empty for a server
    // A till's own copy of what it sells, used while the server is away: the ledger books sales
    // on it and refuses every other change, which would never reach the server.
    void SetSalesOnly(bool salesOnly);
    bool SalesOnly() const;
    // The books are on a server that cannot be reached now, tried once more (outside a
    // transaction).
    bool ServerLost();

  private:
    struct Handle;
    std::shared_ptr<Handle> handle_;
    QString lastError_;
};

// Empty when every table and column of the program is in db, else what is missing.
QString SchemaProblem(sqlite3* db);

// Creates a new database file at path from the program's schema text, with its one user
// row. The file appears whole or not at all; an existing file is never replaced.
bool CreateDatabaseFile(const QString& path, QString* error = nullptr);

// Writes that belong together: begun on construction, rolled back on destruction unless
// Commit() succeeded.
class DbTransaction {
  public:
    explicit DbTransaction(DbConnection& connection);
    ~DbTransaction();
    DbTransaction(const DbTransaction&) = delete;
    DbTransaction& operator=(const DbTransaction&) = delete;

    bool IsActive() const { return active_; }
    bool Commit();

  private:
    DbConnection& connection_;
    bool active_ = false;
};
