#include "store/statement.h"

#include <libpq-fe.h>
#include <sqlite3.h>

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <vector>

#include "common/date_text.h"
#include "store/db_connection.h"
#include "store/schema.h"
#include "store/server_session.h"

namespace {

bool IsBusyCode(int code) {
    return (code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED;
}

// The server's type numbers of the results the program reads.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701,
              kNumeric = 1700;

}  // namespace

struct Statement::Server {
    ServerSession* session = nullptr;
    QByteArray sql;
    int parameters = 0;
    std::vector<QByteArray> values;  // text form of each bound value
    std::vector<bool> nulls;
    std::vector<Oid> types;  // 0 lets the server infer the type, as for text and null
    PGresult* result = nullptr;
    int row = -1;
    qint64 changes = 0;
    bool writes = false;  // an INSERT, UPDATE or DELETE
    QString insertTable;  // the table of an INSERT
    bool pieces = false;  // asked to read in pieces
    QByteArray cursor;    // the open cursor of a read in pieces; empty once its last piece came

    ~Server() { PQclear(result); }
    // The bound values as libpq takes them: no text for null.
    std::vector<const char*> ValueTexts() const {
        std::vector<const char*> texts(parameters, nullptr);
        for (size_t i = 0; i < values.size(); ++i)
            if (!nulls[i]) texts[i] = values[i].constData();
        return texts;
    }
    std::vector<Oid> ValueTypes() const {
        std::vector<Oid> all = types;
        all.resize(parameters, 0);
        return all;
    }
    const char* Value(int column) const { return PQgetvalue(result, row, column); }
};

Statement::Statement(const DbConnection& connection, const QString& sql)
    : db_(connection.GetHandle()) {
    if (ServerSession* session = connection.Server()) {
        server_ = new Server;
        server_->session = session;
        ServerSql(sql, &server_->sql, &server_->parameters, &error_);
        const QByteArray verb = server_->sql.trimmed().left(6).toLower();
        server_->writes = verb == "insert" || verb == "update" || verb == "delete";
        static const QRegularExpression insert(
            QStringLiteral(R"(^\s*insert\s+into\s+("[^"]+"|[^\s(]+))"),
            QRegularExpression::CaseInsensitiveOption);
        const QRegularExpressionMatch m = insert.match(QString::fromUtf8(server_->sql));
        if (m.hasMatch()) server_->insertTable = m.captured(1);
        return;
    }
    Prepare(sql);
}

Statement::Statement(sqlite3* db, const QString& sql) : db_(db) {
    Prepare(sql);
}

void Statement::Prepare(const QString& sql) {
    if (!db_) {
        error_ = QStringLiteral("数据库没有打开");
        return;
    }
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &stmt_, &tail) !=
        SQLITE_OK) {
        error_ = QString::fromUtf8(sqlite3_errmsg(db_));
        busy_ = IsBusyCode(sqlite3_extended_errcode(db_));
        return;
    }
    if (!stmt_) {
        error_ = QStringLiteral("语句为空");
        return;
    }
    // One statement per call: anything but spaces after it is refused.
    if (tail && QByteArray(tail).trimmed().size() > 0 && QByteArray(tail).trimmed() != ";")
        error_ = QStringLiteral("一次只能执行一条语句");
}

Statement::~Statement() {
    if (server_) CloseCursor();
    sqlite3_finalize(stmt_);
    delete server_;
}

QVariant StorableValue(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return QVariant();
    switch (value.typeId()) {
        case QMetaType::QDate:
            return StoredDateText(value.toDate());
        case QMetaType::QDateTime:
            return StoredDateText(value.toDateTime());
        case QMetaType::Bool:
            return QVariant(static_cast<qint64>(value.toBool()));
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::ULong:
            return QVariant(value.toLongLong());
        case QMetaType::Double:
        case QMetaType::Float:
            return QVariant(value.toDouble());
        default:
            return QVariant(value.toString());
    }
}

bool Statement::Bind(const QVariantList& values) {
    if (!Ok()) return false;
    if (server_) {
        if (values.size() != server_->parameters) {
            error_ = QStringLiteral("参数个数不符");
            return false;
        }
        server_->values.clear();
        server_->nulls.clear();
        server_->types.clear();
        for (const QVariant& value : values) {
            const QVariant v = StorableValue(value);
            server_->nulls.push_back(!v.isValid());
            if (!v.isValid()) {
                server_->values.emplace_back();
                server_->types.push_back(0);
            } else if (v.typeId() == QMetaType::LongLong) {
                server_->values.push_back(QByteArray::number(v.toLongLong()));
                server_->types.push_back(kInt8);
            } else if (v.typeId() == QMetaType::Double) {
                // Enough digits that the server reads back the very same double.
                server_->values.push_back(QByteArray::number(v.toDouble(), 'g', 17));
                server_->types.push_back(kFloat8);
            } else {
                server_->values.push_back(v.toString().toUtf8());
                server_->types.push_back(0);
            }
        }
        return true;
    }
    if (values.size() != sqlite3_bind_parameter_count(stmt_)) {
        error_ = QStringLiteral("参数个数不符");
        return false;
    }
    for (int i = 0; i < values.size(); ++i) {
        const QVariant v = StorableValue(values[i]);
        int rc = SQLITE_OK;
        if (!v.isValid()) {
            rc = sqlite3_bind_null(stmt_, i + 1);
        } else if (v.typeId() == QMetaType::LongLong) {
            rc = sqlite3_bind_int64(stmt_, i + 1, v.toLongLong());
        } else if (v.typeId() == QMetaType::Double) {
            rc = sqlite3_bind_double(stmt_, i + 1, v.toDouble());
        } else {
            const QByteArray text = v.toString().toUtf8();
            rc = sqlite3_bind_text(stmt_, i + 1, text.constData(), static_cast<int>(text.size()),
                                   SQLITE_TRANSIENT);
        }
        if (rc != SQLITE_OK) {
            error_ = QString::fromUtf8(sqlite3_errmsg(db_));
            return false;
        }
    }
    return true;
}

void Statement::ReadInPieces() {
    if (server_) server_->pieces = true;
}

void Statement::TakeServerError(PGresult* result) const {
    PGconn* conn = server_->session->Connection();
    const char* primary = PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY);
    error_ =
        primary ? QString::fromUtf8(primary) : QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    if (ServerConnectionLost(conn, result))
        error_ = QStringLiteral("与数据库服务器的连接已断开：") + error_;
    else if (error_.isEmpty())
        error_ = QStringLiteral("数据库服务器没有执行这条语句");
    // Another connection held a lock past the wait (or the two waited for each other).
    const QByteArray state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    busy_ = state == "55P03" || state == "40P01";
    server_->session->busy = busy_;
}

bool Statement::RunOnServer() const {
    Server& s = *server_;
    if (s.result || !error_.isEmpty()) return error_.isEmpty();
    if (!s.session->Usable(&error_)) return false;
    if (s.writes && s.session->WriteRefused(&error_)) return false;
    // Inside a change of the books the rows are read whole: its transaction is not the read's
    // to end, and a read there is short.
    if (s.pieces && !s.writes && s.session->CanReadInPieces()) return OpenCursor();
    const std::vector<const char*> values = s.ValueTexts();
    const std::vector<Oid> types = s.ValueTypes();
    PGconn* conn = s.session->Connection();
    // A change outside a transaction waits for the writer of the moment, as it takes the write
    // lock on an SQLite file: it never lands between another till's reading and writing.
    const bool idle = PQtransactionStatus(conn) == PQTRANS_IDLE;
    const bool ownTransaction = s.writes && idle;
    if (ownTransaction && !s.session->BeginWrite(&error_)) {
        busy_ = s.session->busy;
        return false;
    }
    const auto send = [&] {
        return PQexecParams(conn, s.sql.constData(), s.parameters, types.data(), values.data(),
                            nullptr, nullptr, 0);
    };
    s.result = send();
    // A connection is found lost only by what is sent on it: after the server restarted, or
    // the network dropped a quiet connection. A statement that is no part of a transaction
    // had not run, so it is sent once more on a connection made again.
    if (idle && !ownTransaction && PQresultStatus(s.result) == PGRES_FATAL_ERROR &&
        ServerConnectionLost(conn, s.result)) {
        PQclear(s.result);
        s.result = nullptr;
        if (!s.session->Reconnect(&error_)) return false;
        s.result = send();
    }
    const ExecStatusType status = PQresultStatus(s.result);
    s.session->busy = false;
    if (status == PGRES_TUPLES_OK || status == PGRES_COMMAND_OK) {
        s.changes = QByteArray(PQcmdTuples(s.result)).toLongLong();
        s.session->changes = s.changes;
        if (!s.insertTable.isEmpty()) s.session->insertTable = s.insertTable;
        if (!ownTransaction || s.session->Commit(&error_)) return true;
        PQclear(s.result);
        s.result = nullptr;
        return false;
    }
    TakeServerError(s.result);
    PQclear(s.result);
    s.result = nullptr;
    if (ownTransaction) s.session->Rollback();
    return false;
}

bool Statement::OpenCursor() const {
    Server& s = *server_;
    if (!s.session->BeginRead(&error_)) return false;
    const std::vector<const char*> values = s.ValueTexts();
    const std::vector<Oid> types = s.ValueTypes();
    s.cursor = s.session->NewCursorName();
    PGresult* declared = PQexecParams(
        s.session->Connection(), "DECLARE " + s.cursor + " NO SCROLL CURSOR FOR " + s.sql,
        s.parameters, types.data(), values.data(), nullptr, nullptr, 0);
    const bool ok = PQresultStatus(declared) == PGRES_COMMAND_OK;
    if (!ok) TakeServerError(declared);
    PQclear(declared);
    if (!ok) {
        s.cursor.clear();
        s.session->EndRead();
        return false;
    }
    return FetchPiece();
}

bool Statement::FetchPiece() const {
    Server& s = *server_;
    PQclear(s.result);
    s.result = PQexec(s.session->Connection(),
                      "FETCH " + QByteArray::number(kRowsPerPiece) + " FROM " + s.cursor);
    s.row = -1;
    if (PQresultStatus(s.result) != PGRES_TUPLES_OK) {
        TakeServerError(s.result);
        PQclear(s.result);
        s.result = nullptr;
        CloseCursor();
        return false;
    }
    // A short piece is the last: the server's side of the read ends before its rows are walked.
    if (PQntuples(s.result) < kRowsPerPiece) CloseCursor();
    return true;
}

void Statement::CloseCursor() const {
    Server& s = *server_;
    if (s.cursor.isEmpty()) return;
    if (PQstatus(s.session->Connection()) == CONNECTION_OK)
        PQclear(PQexec(s.session->Connection(), "CLOSE " + s.cursor));
    s.cursor.clear();
    s.session->EndRead();
}

bool Statement::Next() {
    if (server_) {
        if (!Ok() || done_ || !RunOnServer()) return false;
        if (++server_->row < PQntuples(server_->result)) return true;
        if (!server_->cursor.isEmpty()) {
            if (!FetchPiece()) return false;
            if (++server_->row < PQntuples(server_->result)) return true;
        }
        done_ = true;
        return false;
    }
    if (!Ok() || done_) return false;
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    done_ = true;
    if (rc != SQLITE_DONE) {
        error_ = QString::fromUtf8(sqlite3_errmsg(db_));
        busy_ = IsBusyCode(rc);
    }
    return false;
}

void Statement::Reset() {
    if (server_) {
        CloseCursor();
        PQclear(server_->result);
        server_->result = nullptr;
        server_->row = -1;
        // A statement that cannot run on a server at all stays refused.
        if (server_->sql.isEmpty()) return;
    } else if (stmt_) {
        sqlite3_reset(stmt_);
    } else {
        return;
    }
    // A failed run does not spoil the next one: the statement itself was prepared.
    error_.clear();
    busy_ = false;
    done_ = false;
}

qint64 Statement::Changes() const {
    if (server_) return server_->changes;
    return db_ ? sqlite3_changes64(db_) : 0;
}

int Statement::ColumnCount() const {
    if (server_) return Ok() && RunOnServer() ? PQnfields(server_->result) : 0;
    return stmt_ ? sqlite3_column_count(stmt_) : 0;
}

QString Statement::ColumnName(int column) const {
    if (server_) {
        const QString name = QString::fromUtf8(PQfname(server_->result, column));
        // A column read straight from a table keeps the name as the program spells it.
        QString table, origin;
        if (ColumnOrigin(column, &table, &origin) && name == origin)
            if (const TableDef* def = FindTable(table))
                if (const ColumnDef* c = def->Find(origin)) return c->name;
        return name;
    }
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

bool Statement::ColumnOrigin(int column, QString* table, QString* name) const {
    if (server_)
        return server_->session->Origin(PQftable(server_->result, column),
                                        PQftablecol(server_->result, column), table, name);
    const char* owner = sqlite3_column_table_name(stmt_, column);
    const char* origin = sqlite3_column_origin_name(stmt_, column);
    if (!owner || !origin) return false;
    *table = QString::fromUtf8(owner);
    *name = QString::fromUtf8(origin);
    return true;
}

ColumnType Statement::Type(int column) const {
    if (server_) {
        if (PQgetisnull(server_->result, server_->row, column)) return ColumnType::Null;
        switch (PQftype(server_->result, column)) {
            case kBool:
            case kInt2:
            case kInt4:
            case kInt8:
                return ColumnType::Integer;
            case kFloat4:
            case kFloat8:
                return ColumnType::Real;
            // A sum of whole numbers is whole, as on the embedded store.
            case kNumeric:
                return strpbrk(server_->Value(column), ".eEN") ? ColumnType::Real
                                                               : ColumnType::Integer;
            default:
                return ColumnType::Text;
        }
    }
    switch (sqlite3_column_type(stmt_, column)) {
        case SQLITE_INTEGER:
            return ColumnType::Integer;
        case SQLITE_FLOAT:
            return ColumnType::Real;
        case SQLITE_NULL:
            return ColumnType::Null;
        default:
            return ColumnType::Text;
    }
}

qint64 Statement::Int64(int column) const {
    if (server_) {
        const char* text = server_->Value(column);
        if (text[0] == 't' || text[0] == 'f') return text[0] == 't';
        bool whole = false;
        const qint64 value = QByteArray(text).toLongLong(&whole);
        return whole ? value : static_cast<qint64>(QByteArray(text).toDouble());
    }
    return sqlite3_column_int64(stmt_, column);
}

double Statement::Double(int column) const {
    if (server_) {
        const char* text = server_->Value(column);
        if (text[0] == 't' || text[0] == 'f') return text[0] == 't';
        return QByteArray(text).toDouble();
    }
    return sqlite3_column_double(stmt_, column);
}

QByteArrayView Statement::TextBytes(int column) const {
    if (server_)
        return QByteArrayView(server_->Value(column),
                              PQgetlength(server_->result, server_->row, column));
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? QByteArrayView(text, sqlite3_column_bytes(stmt_, column)) : QByteArrayView();
}

QString Statement::Text(int column) const {
    return QString::fromUtf8(TextBytes(column));
}
