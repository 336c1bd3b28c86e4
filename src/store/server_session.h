#pragma once
// The store's side of a PostgreSQL connection: the books on a database server, reached through
// libpq. Inside the store only; everything above it speaks through DbConnection and Statement.

#include <QHash>
#include <QString>

struct pg_conn;
using PGconn = pg_conn;
struct pg_result;
using PGresult = pg_result;

// The advisory lock every change of the books takes on the server, so that the tills write one
// after another as on an SQLite file and each reads the stored figures after the one before.
constexpr qint64 kServerWriteLock = 7020240301;

class ServerSession {
  public:
    ~ServerSession();

    // Connects with a libpq connection string, creates the program's tables and functions on a
    // database that has none of them, and checks them on one that has. False with *error.
    // A connection string that names no user logs in as CurrentServerLogin() (server_roles.h).
    bool Open(const QString& connection, int lockTimeoutMs, QString* error);
    // Open as role with password, whatever the process's login: a read a super administrator's
    // password allowed at another user's till.
    bool OpenAs(const QString& connection, const QString& role, const QString& password,
                int lockTimeoutMs, QString* error);
    PGconn* Connection() const { return conn_; }
    // The connection string Open was given, and the database it named.
    const QString& ConnectionText() const { return connection_; }
    QString Database() const;
    // The connection logs in as a program user's role or the guest (its string names no user),
    // not as a login of the owner's choosing.
    bool UsesProgramLogin() const { return programLogin_; }
    // The login may read the cost columns and the password hashes: the owner of the books or a
    // super administrator's role.
    bool SeesCosts() const { return seesCosts_; }
    // The server keeps a login per program user (server_roles.h).
    bool KeepsRoles() const { return keepsRoles_; }
    // Whether role logs in with password on this connection's server and database: false with
    // *wrongPassword when the server refused that login, else with *error.
    bool TryLogin(const QString& role, const QString& password, bool* wrongPassword,
                  QString* error) const;
    // The SCRAM form of role's password, for lk_set_login: the password never reaches the
    // server in clear. Empty on failure.
    QString PasswordVerifier(const QString& role, const QString& password) const;

    // How long a change waits for another connection's lock, in milliseconds.
    bool SetLockTimeout(int milliseconds, QString* error);

    // The program's table and column a result column comes from, by the server's numbers.
    bool Origin(unsigned table, int column, QString* tableName, QString* columnName) const;

    // Runs text (one or more statements without parameters); false with *error.
    bool Run(const QString& text, QString* error);
    // Begins a transaction that changes the books: it waits for the lock every writer takes,
    // as long as the lock timeout allows. False with *error (and busy) when it cannot.
    bool BeginWrite(QString* error);
    // Commits the transaction; false with *error when the server rolled it back instead, as it
    // does once any statement inside it failed.
    bool Commit(QString* error);
    // Ends the transaction without its changes.
    void Rollback();
    // Before every statement: a connection that was lost is made again, but never in the middle
    // of a transaction, whose earlier steps died with the connection: then false, and every
    // statement fails until the transaction is ended.
    bool Usable(QString* error);
    // Makes the connection again now, also one libpq still takes for sound; never in the
    // middle of a transaction.
    bool Reconnect(QString* error);
    // A read in pieces may begin: the connection is in no transaction, or in a read's own.
    bool CanReadInPieces() const;
    // Begins a read in pieces: the first of them begins a read-only transaction, in which
    // the reads' cursors live, and the last one to end commits it. False with *error.
    bool BeginRead(QString* error);
    void EndRead();
    // A read in pieces is open, and no change of the books may run until it ends: true with
    // *error then.
    bool WriteRefused(QString* error) const;
    // A name for a read's cursor, unique on this connection.
    QByteArray NewCursorName();
    // Listens for the notice of every committed change, also on a connection made again.
    bool Listen(QString* error);

    // What the last statement on this connection changed, and whether it failed on a lock.
    qint64 changes = 0;
    bool busy = false;
    // The table the last INSERT on this connection added a row to, as the server names it.
    QString insertTable;

  private:
    PGconn* conn_ = nullptr;
    QString connection_;
    bool programLogin_ = false;
    bool seesCosts_ = true;
    bool keepsRoles_ = false;
    int lockTimeoutMs_ = 0;
    bool inTransaction_ = false;
    bool listening_ = false;
    int reads_ = 0;                 // reads in pieces not yet ended
    bool readTransaction_ = false;  // the transaction is the reads' own
    quint64 cursors_ = 0;

    // Begins a transaction with begin ("BEGIN ..."); false with *error.
    bool Begin(const char* begin, QString* error);
    // What a connection is told after it is made: encoding, lock wait, time zone, notices.
    bool SetUp(QString* error);
    // After the tables are made or brought up to date: the owner sets up the roles and grants
    // (server_roles.h); every login learns whether it sees the cost figures.
    bool SetUpRoles(QString* error);
    QHash<quint64, QString> columns_;  // table oid << 16 | column number -> column name
    QHash<unsigned, QString> tables_;

    // Brings the books of an earlier version up to this one, inside the open's write
    // transaction.
    bool Upgrade(QString* error);
    bool LoadCatalog(QString* error);
    QString SchemaProblem();
};

// True when result failed because the connection to the server is gone. libpq does not always
// mark the connection bad when it finds the server gone while sending.
bool ServerConnectionLost(PGconn* conn, const PGresult* result);

// sql in the server's dialect: "?" and "?N" parameters as "$N", identifiers folded to lower
// case the way the server's tables are named, Now() and Date() as the program's own clock
// functions. False with *error for a statement only an SQLite file knows (PRAGMA, the SQLite
// catalog, VACUUM INTO).
bool ServerSql(const QString& sql, QByteArray* text, int* parameters, QString* error);

// connection with sslmode=require added when it names a server that is not on this computer
// and asks for no stronger mode than "prefer": the books and the logins never cross a network
// in clear, and a man in the middle without the server's key is refused. A socket or the
// loopback address may stay plain.
QString SecuredConnection(const QString& connection);

// Whether a libpq connection string names the user it logs in as; the database it names.
bool ConnectionNamesUser(const QString& connection);
QString ConnectionDatabase(const QString& connection);
// connection without its user and password: what the tills keep once the server knows their
// users' logins.
QString ConnectionWithoutLogin(const QString& connection);

// The statements that create the program's tables, indexes, functions and first user on an
// empty server database.
QString ServerSchemaText();
