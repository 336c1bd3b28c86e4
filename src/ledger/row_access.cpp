#include "ledger/row_access.h"

#include "common/number_text.h"
#include "store/db_connection.h"
#include "store/db_recordset.h"
#include "store/schema.h"
#include "store/server_session.h"
#include "store/statement.h"

namespace ledger {

double StoredNumber(double value) {
    return TextToNumber(NumberText(value));
}

bool StoreFailure(DbConnection& db, LedgerResult* result) {
    result->outcome = LedgerResult::StoreFailed;
    result->error = db.GetErrorDescription();
    return false;
}

LedgerResult Finish(DbConnection& db, DbTransaction& transaction, LedgerResult result) {
    // A till's own copy, while the server is away, books sales only: any other change would
    // never reach the server. The transaction ends without it.
    if (db.SalesOnly()) {
        result.outcome = LedgerResult::ServerNeeded;
        result.error = ServerNeededText();
        return result;
    }
    return FinishSale(db, transaction, std::move(result));
}

LedgerResult FinishSale(DbConnection& db, DbTransaction& transaction, LedgerResult result) {
    if (!transaction.Commit()) {
        StoreFailure(db, &result);
        return result;
    }
    result.outcome = LedgerResult::Done;
    return result;
}

QString ForChange(DbConnection& db, const QString& sql) {
    return db.Server() ? sql + QStringLiteral(" FOR UPDATE") : sql;
}

bool SeesCosts(DbConnection& db) {
    return !db.Server() || db.Server()->SeesCosts();
}

bool ReadRow(DbConnection& db, const QString& sql, const QVariantList& values,
             QVariantList* columns, LedgerResult* result) {
    Statement st(db, sql);
    st.Bind(values);
    if (!st.Next()) {
        result->outcome = st.Failed() ? LedgerResult::StoreFailed : LedgerResult::RecordGone;
        result->error = st.Error();
        return false;
    }
    columns->clear();
    for (int c = 0; c < st.ColumnCount(); ++c) {
        switch (st.Type(c)) {
            case ColumnType::Integer:
                columns->append(st.Int64(c));
                break;
            case ColumnType::Real:
                columns->append(st.Double(c));
                break;
            case ColumnType::Null:
                columns->append(QVariant());
                break;
            case ColumnType::Text:
                columns->append(st.Text(c));
                break;
        }
    }
    return true;
}

bool InsertRow(DbConnection& db, const QString& table, const QList<FieldValue>& fields,
               LedgerResult* result) {
    const TableDef* def = FindTable(table);
    QStringList names;
    QStringList marks;
    QVariantList values;
    for (const FieldValue& f : fields) {
        const QString column = QString::fromUtf16(f.column);
        const ColumnDef* c = def ? def->Find(column) : nullptr;
        QVariant stored;
        QString error;
        if (!c || !CheckValue(column, c->kind, f.value, &stored, &error)) {
            result->outcome = LedgerResult::FieldRefused;
            result->fieldCode = QStringLiteral("[%1]").arg(QString::fromUtf16(f.code));
            result->fieldName = column;
            result->fieldValue = f.value;
            result->fieldIsNumber =
                c && (c->kind == ColumnKind::Real || c->kind == ColumnKind::Integer);
            result->error = c ? error : QStringLiteral("找不到字段 ") + column;
            return false;
        }
        names << QLatin1Char('"') + column + QLatin1Char('"');
        marks << QStringLiteral("?");
        values << stored;
    }
    if (!db.Execute(QStringLiteral("INSERT INTO \"%1\" (%2) VALUES (%3)")
                        .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(','))),
                    values))
        return StoreFailure(db, result);
    result->id = db.LastInsertId();
    return true;
}

bool ChangeRows(DbConnection& db, const QString& sql, const QVariantList& values,
                LedgerResult* result) {
    qint64 changed = 0;
    if (!db.Execute(sql, values, &changed)) return StoreFailure(db, result);
    if (changed == 0) {
        result->outcome = LedgerResult::RecordGone;
        return false;
    }
    return true;
}

}  // namespace ledger
