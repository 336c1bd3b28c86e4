#include "store/statement.h"

#include <QDate>
#include <QDateTime>

#include "common/date_text.h"

Statement::Statement(sqlite3* db, const QString& sql) : db_(db) {
    if (!db_) {
        error_ = QStringLiteral("数据库没有打开");
        return;
    }
    const QByteArray text = sql.toUtf8();
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db_, text.constData(), static_cast<int>(text.size()), &stmt_, &tail) !=
        SQLITE_OK) {
        error_ = QString::fromUtf8(sqlite3_errmsg(db_));
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

Statement::~Statement() { sqlite3_finalize(stmt_); }

QVariant StorableValue(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return QVariant();
    switch (value.typeId()) {
        case QMetaType::QDate: return StoredDateText(value.toDate());
        case QMetaType::QDateTime: return StoredDateText(value.toDateTime());
        case QMetaType::Bool: return QVariant(static_cast<qint64>(value.toBool()));
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Long:
        case QMetaType::ULong: return QVariant(value.toLongLong());
        case QMetaType::Double:
        case QMetaType::Float: return QVariant(value.toDouble());
        default: return QVariant(value.toString());
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

int Statement::Step() {
    if (!Ok()) return SQLITE_MISUSE;
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) error_ = QString::fromUtf8(sqlite3_errmsg(db_));
    return rc;
}
