#include "store/change_log.h"

#include <sqlite3.h>

#include "store/db_connection.h"
#include "store/statement.h"

namespace {

const char* const kLoggedTables[] = {"buy", "sell", "other", "bank", "customer", "payment"};

qint64 Scalar(DbConnection& db, const QString& sql) {
    Statement st(db.GetHandle(), sql);
    if (!st.Ok() || st.Step() != SQLITE_ROW) return -1;
    return sqlite3_column_int64(st.Get(), 0);
}

}  // namespace

QString ChangeLogText() {
    QString sql =
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS change_log (seq INTEGER PRIMARY KEY AUTOINCREMENT, "
            "tbl TEXT NOT NULL, row_id INTEGER NOT NULL) STRICT;\n"
            "CREATE TRIGGER IF NOT EXISTS change_log_trim AFTER INSERT ON change_log BEGIN "
            "DELETE FROM change_log WHERE seq <= NEW.seq - %1; END;\n")
            .arg(kChangesKept);
    for (const char* table : kLoggedTables) {
        const QString t = QString::fromLatin1(table);
        sql +=
            QStringLiteral(
                "CREATE TRIGGER IF NOT EXISTS %1_added AFTER INSERT ON %1 BEGIN "
                "INSERT INTO change_log (tbl, row_id) VALUES ('%1', NEW.ID); END;\n"
                "CREATE TRIGGER IF NOT EXISTS %1_changed AFTER UPDATE ON %1 BEGIN "
                "INSERT INTO change_log (tbl, row_id) SELECT '%1', OLD.ID WHERE OLD.ID <> NEW.ID; "
                "INSERT INTO change_log (tbl, row_id) VALUES ('%1', NEW.ID); END;\n"
                "CREATE TRIGGER IF NOT EXISTS %1_deleted AFTER DELETE ON %1 BEGIN "
                "INSERT INTO change_log (tbl, row_id) VALUES ('%1', OLD.ID); END;\n")
                .arg(t);
    }
    return sql;
}

ChangesRead ReadChanges(DbConnection& db, qint64 after, int limit) {
    ChangesRead read;
    read.last = after;
    // One read transaction, so that the oldest entry and the entries agree.
    if (!db.Execute(QStringLiteral("BEGIN"))) return read;
    const qint64 oldest =
        Scalar(db, QStringLiteral("SELECT coalesce(min(seq), 0) FROM change_log"));
    Statement st(db.GetHandle(),
                 QStringLiteral("SELECT seq, tbl, row_id FROM change_log WHERE seq > ? "
                                "ORDER BY seq LIMIT ?"));
    bool ok = oldest >= 0 && st.Ok() && st.Bind({after, limit + 1});
    int rc = SQLITE_DONE;
    while (ok && (rc = st.Step()) == SQLITE_ROW) {
        if (read.changes.size() == limit) {
            read.complete = false;
            break;
        }
        read.last = sqlite3_column_int64(st.Get(), 0);
        read.changes.append(
            {QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.Get(), 1))),
             sqlite3_column_int64(st.Get(), 2)});
    }
    ok = ok && (rc == SQLITE_ROW || rc == SQLITE_DONE);
    db.Execute(QStringLiteral("COMMIT"));
    if (!ok) return ChangesRead{false, true, after, {}};
    if (oldest > after + 1) read.complete = false;
    if (!read.complete) read.last = LastChange(db);
    read.ok = read.last >= 0;
    return read;
}

qint64 LastChange(DbConnection& db) {
    return Scalar(db, QStringLiteral("SELECT coalesce(max(seq), 0) FROM change_log"));
}

qint64 DataVersion(DbConnection& db) {
    return Scalar(db, QStringLiteral("PRAGMA data_version"));
}
