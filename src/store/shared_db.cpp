#include "store/shared_db.h"

#include <sqlite3.h>

#include "common/date_text.h"
#include "common/number_text.h"
#include "store/server_session.h"

DbConnection& SharedConnection() {
    static DbConnection connection;
    return connection;
}

DbRecordSet& SharedRecordSet() {
    static DbRecordSet records;
    return records;
}

namespace {
std::function<void()>& Opener() {
    static std::function<void()> opener;
    return opener;
}
}  // namespace

void SetDatabaseOpener(std::function<void()> opener) {
    Opener() = std::move(opener);
}

bool EnsureDatabaseOpen() {
    if (!SharedConnection().IsOpen() && Opener()) Opener()();
    return SharedConnection().IsOpen();
}

bool OpenSharedQuery(const QString& sql, const QVariantList& values) {
    EnsureDatabaseOpen();
    DbRecordSet& records = SharedRecordSet();
    records.Close();
    if (!records.Open(sql, SharedConnection(), true, values)) return false;
    records.MoveFirst();
    return true;
}

bool SharedConnectionBusy() {
    if (ServerSession* server = SharedConnection().Server()) return server->busy;
    sqlite3* db = SharedConnection().GetHandle();
    const int code = db ? sqlite3_errcode(db) : SQLITE_OK;
    return code == SQLITE_BUSY || code == SQLITE_LOCKED;
}

QString VariantText(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return QString();
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
            return NumberText(value.toDouble());
        case QMetaType::QDateTime:
            return StoredDateText(value.toDateTime());
        case QMetaType::QDate:
            return StoredDateText(value.toDate());
        default:
            return value.toString();
    }
}

double VariantNumber(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return 0.0;
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Int:
        case QMetaType::LongLong:
            return value.toDouble();
        default:
            return TextToNumber(value.toString());
    }
}

QString FieldText(DbRecordSet& records, const QString& name) {
    return VariantText(records.GetFieldByName(name));
}

double FieldNumber(DbRecordSet& records, const QString& name) {
    return VariantNumber(records.GetFieldByName(name));
}

QDateTime FieldDate(DbRecordSet& records, const QString& name) {
    const QVariant v = records.GetFieldByName(name);
    if (v.typeId() == QMetaType::QDateTime) return v.toDateTime();
    return ParseDateText(v.toString());
}
