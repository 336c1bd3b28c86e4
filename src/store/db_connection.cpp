#include "store/db_connection.h"

#include <fcntl.h>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryFile>

#include "store/jet_functions.h"
#include "store/open_checks.h"
#include "store/schema.h"
#include "store/schema_upgrade.h"
#include "store/server_session.h"
#include "store/statement.h"

struct DbConnection::Handle {
    sqlite3* db = nullptr;
    std::unique_ptr<ServerSession> server;
    QString path;
    int timeoutMs = 15000;
    std::unique_ptr<OpenMarker> marker;  // removed after the database is closed
    QStringList leftOpen;                // markers of crashed connections, found at opening
    bool salesOnly = false;
    ~Handle() { sqlite3_close_v2(db); }
};

namespace {

QString ErrorOf(sqlite3* db) {
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// Why SQLite would not open a file, in the words the user reads at the program's start; any
// other reason as it is.
QString InUserWords(const QString& reason) {
    static const std::pair<int, const char16_t*> kWords[] = {
        {SQLITE_NOTADB, u"这不是本程序的数据库文件，或者文件头已损坏"},
        {SQLITE_CORRUPT, u"数据库文件已损坏"},
        {SQLITE_CANTOPEN, u"无法打开文件，可能没有读写它的权限"},
        {SQLITE_PERM, u"没有读写这个文件的权限"},
        {SQLITE_READONLY, u"没有写入这个文件的权限"},
        {SQLITE_AUTH, u"没有读写这个文件的权限"},
        {SQLITE_IOERR, u"读写磁盘出错"},
        {SQLITE_FULL, u"磁盘已满"},
        {SQLITE_BUSY, u"文件正被另一个程序占用"},
        {SQLITE_LOCKED, u"文件正被另一个程序占用"},
        {SQLITE_NOMEM, u"内存不足"},
    };
    for (const auto& [code, words] : kWords)
        if (reason == QLatin1String(sqlite3_errstr(code))) return QString::fromUtf16(words);
    return reason;
}

// Text of the first column of the first row, or the statement's error.
bool ScalarText(sqlite3* db, const QString& sql, QString* result) {
    Statement st(db, sql);
    if (!st.Next()) {
        *result = st.Error();
        return false;
    }
    *result = st.Text(0);
    return true;
}

}  // namespace

QString SchemaProblem(sqlite3* db) {
    // A file of an earlier version lacks what later versions added until it is upgraded; a
    // file of a later program may keep its books by rules this one does not know.
    const int version = StoredSchemaVersion(db);
    if (version < 0) return InUserWords(ErrorOf(db));
    if (version > kSchemaVersion) return QStringLiteral("数据库文件来自较新版本的程序");
    for (const TableDef& table : SchemaTables()) {
        if (table.since > version) continue;
        Statement st(db, QStringLiteral("SELECT name FROM pragma_table_info(?)"));
        st.Bind({table.name});
        QSet<QString> present;
        while (st.Next()) present.insert(st.Text(0).toLower());
        if (!st.Error().isEmpty()) return st.Error();
        for (const ColumnDef& c : table.columns)
            if (c.since <= version && !present.contains(c.name.toLower()))
                return QStringLiteral("数据库缺少 %1.%2").arg(table.name, c.name);
    }
    return QString();
}

namespace {

// Durable commits: a rollback journal synced in full survives a crash or a power cut.
bool ApplyDurability(sqlite3* db, QString* error) {
    QString mode;
    if (!ScalarText(db, QStringLiteral("PRAGMA journal_mode=DELETE"), &mode)) {
        *error = mode;
        return false;
    }
    char* message = nullptr;
    if (sqlite3_exec(db, "PRAGMA synchronous=FULL", nullptr, nullptr, &message) != SQLITE_OK) {
        *error = QString::fromUtf8(message);
        sqlite3_free(message);
        return false;
    }
    return true;
}

// A new name in a directory lasts through a power cut only once the directory is synced.
void SyncDirectoryOf(const QString& path) {
    const QByteArray dir = QFile::encodeName(QFileInfo(path).absolutePath());
    const int fd = ::open(dir.constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

}  // namespace

DbConnection::DbConnection() : handle_(std::make_shared<Handle>()) {}
DbConnection::DbConnection(const DbConnection& other) = default;
DbConnection& DbConnection::operator=(const DbConnection& other) = default;
DbConnection::~DbConnection() = default;

bool DbConnection::IsValid() const {
    return handle_ != nullptr;
}
QString DbConnection::GetErrorDescription() const {
    return lastError_;
}
sqlite3* DbConnection::GetHandle() const {
    return handle_->db;
}
int DbConnection::GetState() const {
    return IsOpen() ? 1 : 0;
}
bool DbConnection::IsOpen() const {
    return handle_->db != nullptr || handle_->server != nullptr;
}
ServerSession* DbConnection::Server() const {
    return handle_->server.get();
}
QString DbConnection::Path() const {
    return handle_->path;
}

void DbConnection::SetSalesOnly(bool salesOnly) {
    if (handle_) handle_->salesOnly = salesOnly;
}

bool DbConnection::SalesOnly() const {
    return handle_ && handle_->salesOnly;
}

bool DbConnection::ServerLost() {
    if (!handle_ || !handle_->server) return false;
    QString error;
    return !handle_->server->Usable(&error);
}
QString DbConnection::GetProvider() const {
    return handle_->server ? QStringLiteral("PostgreSQL") : QStringLiteral("SQLite");
}
QString DbConnection::GetVersion() const {
    if (handle_->server) return QString::number(PQserverVersion(handle_->server->Connection()));
    return QString::fromLatin1(sqlite3_libversion());
}

bool DbConnection::CheckError(const QString& error) {
    lastError_ = error;
    return error.isEmpty();
}

bool DbConnection::OpenFile(const QString& path) {
    if (IsOpen()) Close();
    if (!QFileInfo(path).isFile()) return CheckError(QStringLiteral("找不到文件 ") + path);

    // The marker is in place before anything reads or writes the file, so that a crash from
    // here on is found at the next opening.
    auto marker = std::make_unique<OpenMarker>(path);
    const QStringList leftOpen = marker->LeftBehind();
    sqlite3* db = nullptr;
    const QByteArray file = path.toUtf8();
    // One thread uses the connection, so SQLite need not lock around every call.
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX,
                        nullptr) != SQLITE_OK) {
        const QString error = InUserWords(ErrorOf(db));
        sqlite3_close_v2(db);
        return CheckError(error);
    }
    // Another copy of the program may hold the file locked for a moment: every check below
    // waits for it like any statement does, instead of failing at once.
    sqlite3_busy_timeout(db, handle_->timeoutMs);
    // A damaged or foreign file is only read here, and closed again before anything writes.
    // The opening costs the same for a large ledger as for a small one; the check of every
    // page after a crash runs apart, on a worker, once the program is usable.
    QString problem = StructureProblem(db);
    problem = InUserWords(problem);
    if (problem.isEmpty()) problem = SchemaProblem(db);
    if (problem.isEmpty() && !ApplyDurability(db, &problem) && problem.isEmpty())
        problem = QStringLiteral("无法设置数据库日志方式");
    // A file of an earlier version is brought up to date before anything uses it; when that
    // cannot be stored now, the file stays as it was and is not opened.
    if (problem.isEmpty() && !UpgradeSchema(db, &problem))
        problem = QStringLiteral("数据库升级失败：") + problem;
    if (!problem.isEmpty()) {
        sqlite3_close_v2(db);
        return CheckError(problem);
    }
    // A file made before an index existed gains it here, once. When it cannot be written now
    // (read-only, held by another till) the file is still sound: only reading it is slower.
    sqlite3_exec(db, AddedIndexText().toUtf8().constData(), nullptr, nullptr, nullptr);
    RegisterJetFunctions(db);
    const int timeout = handle_->timeoutMs;
    handle_ = std::make_shared<Handle>();
    handle_->timeoutMs = timeout;
    handle_->db = db;
    handle_->path = path;
    handle_->marker = std::move(marker);
    handle_->leftOpen = leftOpen;
    return CheckError(QString());
}

QStringList DbConnection::FullCheckDue() const {
    return handle_->leftOpen;
}

bool DbConnection::OpenServer(const QString& connection) {
    return OpenServerAs(connection, QString(), QString());
}

bool DbConnection::OpenServerAs(const QString& connection, const QString& role,
                                const QString& password) {
    if (IsOpen()) Close();
    auto server = std::make_unique<ServerSession>();
    QString error;
    const bool opened =
        role.isEmpty() ? server->Open(connection, handle_->timeoutMs, &error)
                       : server->OpenAs(connection, role, password, handle_->timeoutMs, &error);
    if (!opened) return CheckError(error);
    const int timeout = handle_->timeoutMs;
    handle_ = std::make_shared<Handle>();
    handle_->timeoutMs = timeout;
    handle_->server = std::move(server);
    return CheckError(QString());
}

bool DbConnection::Close() {
    if (!IsOpen()) return CheckError(QString());
    const int timeout = handle_->timeoutMs;
    // Copies that share this database keep it; this connection starts afresh.
    handle_ = std::make_shared<Handle>();
    handle_->timeoutMs = timeout;
    return CheckError(QString());
}

bool DbConnection::Execute(const QString& sql, const QVariantList& values, qint64* rowsAffected) {
    if (rowsAffected) *rowsAffected = 0;
    Statement st(*this, sql);
    if (!st.Bind(values)) return CheckError(st.Error());
    while (st.Next()) {
    }
    if (st.Failed()) return CheckError(st.Error());
    if (rowsAffected) *rowsAffected = st.Changes();
    return CheckError(QString());
}

qint64 DbConnection::LastInsertId() const {
    if (handle_->server) {
        // The IDs come from each table's identity sequence: the value this connection drew
        // last from the sequence of the table it last added to, whatever other tills drew
        // meanwhile. Not lastval(): the change log's trigger draws from its own sequence after.
        if (handle_->server->insertTable.isEmpty()) return 0;
        Statement st(*this, QStringLiteral("SELECT currval(pg_get_serial_sequence(?, 'id'))"));
        st.Bind({handle_->server->insertTable});
        return st.Next() ? st.Int64(0) : 0;
    }
    return handle_->db ? sqlite3_last_insert_rowid(handle_->db) : 0;
}

void DbConnection::SetConnectionTimeout(int milliseconds) {
    handle_->timeoutMs = milliseconds < 0 ? 0 : milliseconds;
    if (handle_->db) sqlite3_busy_timeout(handle_->db, handle_->timeoutMs);
    QString ignored;  // a connection that is gone reports that at its next statement
    if (handle_->server) handle_->server->SetLockTimeout(handle_->timeoutMs, &ignored);
}

int DbConnection::GetConnectionTimeout() const {
    return handle_->timeoutMs;
}

bool DbConnection::BeginTrans() {
    if (!handle_->server) return Execute(QStringLiteral("BEGIN IMMEDIATE"));
    // One writer at a time, as BEGIN IMMEDIATE on a file: the lock is held to the end of the
    // transaction, and every statement after it sees what the writer before committed.
    QString error;
    handle_->server->BeginWrite(&error);
    return CheckError(error);
}
bool DbConnection::CommitTrans() {
    if (!handle_->server) return Execute(QStringLiteral("COMMIT"));
    QString error;
    handle_->server->Commit(&error);
    return CheckError(error);
}
bool DbConnection::RollbackTrans() {
    if (!handle_->server) return Execute(QStringLiteral("ROLLBACK"));
    handle_->server->Rollback();
    return CheckError(QString());
}

bool CreateDatabaseFile(const QString& path, QString* error) {
    auto fail = [error](const QString& text) {
        if (error) *error = text;
        return false;
    };
    if (QFileInfo::exists(path)) return fail(QStringLiteral("文件已存在 ") + path);
    // A name of its own, so that two copies started at once never write one file; created
    // for its owner alone, and the journal SQLite keeps beside it takes the same mode.
    QTemporaryFile temp(path + QStringLiteral(".XXXXXX.new"));
    if (!temp.open()) return fail(QStringLiteral("无法写入 ") + path);
    temp.close();
    sqlite3* db = nullptr;
    const QByteArray file = temp.fileName().toUtf8();
    if (sqlite3_open_v2(file.constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        const QString text = ErrorOf(db);
        sqlite3_close_v2(db);
        return fail(text);
    }
    const QByteArray schema = (QStringLiteral("PRAGMA synchronous=FULL;BEGIN;") + SchemaText() +
                               QStringLiteral("COMMIT;"))
                                  .toUtf8();
    char* message = nullptr;
    const bool ok = sqlite3_exec(db, schema.constData(), nullptr, nullptr, &message) == SQLITE_OK;
    const QString text = QString::fromUtf8(message);
    sqlite3_free(message);
    const bool closed = sqlite3_close(db) == SQLITE_OK;
    if (!ok || !closed) return fail(ok ? QStringLiteral("无法关闭新数据库") : text);
    // A journal left by a crash beside a database that is gone belongs to no file: SQLite
    // would roll it into the new one and spoil it.
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
    // The rename never replaces a file: a copy started at the same moment may have been first,
    // and its database is as good as this one.
    if (!QFile::rename(temp.fileName(), path))
        return QFileInfo::exists(path) || fail(QStringLiteral("无法写入 ") + path);
    temp.setAutoRemove(false);
    SyncDirectoryOf(path);
    return true;
}

DbTransaction::DbTransaction(DbConnection& connection) : connection_(connection) {
    active_ = connection_.IsOpen() && connection_.BeginTrans();
}

DbTransaction::~DbTransaction() {
    if (active_) connection_.RollbackTrans();
}

bool DbTransaction::Commit() {
    if (!active_) return false;
    if (!connection_.CommitTrans()) return false;
    active_ = false;
    return true;
}
