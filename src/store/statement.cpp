#include "store/statement.h"

#include <sqlite3.h>

#include <QDate>
#include <QDateTime>

#include "common/date_text.h"
#include "store/db_connection.h"

namespace {

bool IsBusyCode(int code) {
    return (code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED;
}

}  // namespace

Statement::Statement(const DbConnection& connection, const QString& sql)
    : db_(connection.GetHandle()) {
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
    sqlite3_finalize(stmt_);
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

bool Statement::Next() {
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
    if (!stmt_) return;
    sqlite3_reset(stmt_);
    // A failed run does not spoil the next one: the statement itself was prepared.
    error_.clear();
    busy_ = false;
    done_ = false;
}

int Statement::ColumnCount() const {
    return stmt_ ? sqlite3_column_count(stmt_) : 0;
}

QString Statement::ColumnName(int column) const {
    return QString::fromUtf8(sqlite3_column_name(stmt_, column));
}

bool Statement::ColumnOrigin(int column, QString* table, QString* name) const {
    const char* owner = sqlite3_column_table_name(stmt_, column);
    const char* origin = sqlite3_column_origin_name(stmt_, column);
    if (!owner || !origin) return false;
    *table = QString::fromUtf8(owner);
    *name = QString::fromUtf8(origin);
    return true;
}

ColumnType Statement::Type(int column) const {
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
    return sqlite3_column_int64(stmt_, column);
}

double Statement::Double(int column) const {
    return sqlite3_column_double(stmt_, column);
}

QByteArrayView Statement::TextBytes(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? QByteArrayView(text, sqlite3_column_bytes(stmt_, column)) : QByteArrayView();
}

QString Statement::Text(int column) const {
    return QString::fromUtf8(TextBytes(column));
}
