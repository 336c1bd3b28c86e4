#include "store/list_query.h"

#include <sqlite3.h>

#include <vector>

#include "common/cell_row.h"
#include "common/date_text.h"
#include "common/number_text.h"
#include "store/schema.h"
#include "store/shared_db.h"
#include "store/statement.h"

struct ListQuery::State {
    std::unique_ptr<Statement> statement;
    std::vector<bool> dates;  // columns that hold stored dates
    bool busy = false;
};

namespace {
bool IsBusyCode(int code) {
    return (code & 0xFF) == SQLITE_BUSY || (code & 0xFF) == SQLITE_LOCKED;
}
}  // namespace

namespace {

int Digits(const char* text, int count) {
    int value = 0;
    for (int i = 0; i < count; ++i) value = value * 10 + (text[i] - '0');
    return value;
}

bool AllDigits(const char* text, int count) {
    for (int i = 0; i < count; ++i)
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

// "2012-06-03" or "2012-06-03 09:03:07" as a PackedDate; false for any other text.
bool PackStoredDate(const char* t, int length, qint64* packed) {
    if (length != 10 && length != 19) return false;
    if (t[4] != '-' || t[7] != '-' || !AllDigits(t, 4) || !AllDigits(t + 5, 2) ||
        !AllDigits(t + 8, 2))
        return false;
    int hour = 0, minute = 0, second = 0;
    if (length == 19) {
        if (t[10] != ' ' || t[13] != ':' || t[16] != ':' || !AllDigits(t + 11, 2) ||
            !AllDigits(t + 14, 2) || !AllDigits(t + 17, 2))
            return false;
        hour = Digits(t + 11, 2);
        minute = Digits(t + 14, 2);
        second = Digits(t + 17, 2);
    }
    *packed = PackedDate(Digits(t, 4), Digits(t + 5, 2), Digits(t + 8, 2), hour, minute, second);
    return true;
}

}  // namespace

ListQuery::ListQuery(const QString& sql, const QVariantList& values)
    : state_(std::make_unique<State>()) {
    EnsureDatabaseOpen();
    SharedRecordSet().Close();
    sqlite3* db = SharedConnection().GetHandle();
    state_->statement = std::make_unique<Statement>(db, sql);
    if (!state_->statement->Ok()) {
        state_->busy = db && IsBusyCode(sqlite3_extended_errcode(db));
        return;
    }
    if (!state_->statement->Bind(values)) return;
    sqlite3_stmt* stmt = state_->statement->Get();
    const int columns = sqlite3_column_count(stmt);
    state_->dates.resize(columns, false);
    for (int c = 0; c < columns; ++c) {
        const char* table = sqlite3_column_table_name(stmt, c);
        const char* origin = sqlite3_column_origin_name(stmt, c);
        const TableDef* def = table ? FindTable(QString::fromUtf8(table)) : nullptr;
        const ColumnDef* column = def && origin ? def->Find(QString::fromUtf8(origin)) : nullptr;
        state_->dates[c] = column && column->kind == ColumnKind::Date;
    }
}

ListQuery::~ListQuery() = default;

bool ListQuery::Ok() const {
    return state_->statement->Ok();
}
QString ListQuery::Error() const {
    return state_->statement->Error();
}

QList<int> ListQuery::Columns(const QStringList& names) const {
    QList<int> indexes(names.size(), -1);
    if (!Ok()) return indexes;
    sqlite3_stmt* stmt = state_->statement->Get();
    const int count = sqlite3_column_count(stmt);
    for (int c = 0; c < count; ++c) {
        const QString name = QString::fromUtf8(sqlite3_column_name(stmt, c));
        for (qsizetype n = 0; n < names.size(); ++n)
            if (indexes[n] < 0 && name.compare(names[n], Qt::CaseInsensitive) == 0) indexes[n] = c;
    }
    return indexes;
}

bool ListQuery::Busy() const {
    return state_->busy;
}

bool ListQuery::Next() {
    if (!Ok()) return false;
    const int rc = state_->statement->Step();
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) state_->busy = IsBusyCode(rc);
    return rc == SQLITE_ROW;
}

void ListQuery::AddCell(int column, CellRow* row) const {
    if (column < 0) return row->AddEmpty();
    sqlite3_stmt* stmt = state_->statement->Get();
    switch (sqlite3_column_type(stmt, column)) {
        case SQLITE_INTEGER:
            return row->AddNumber(static_cast<double>(sqlite3_column_int64(stmt, column)));
        case SQLITE_FLOAT:
            return row->AddNumber(sqlite3_column_double(stmt, column));
        case SQLITE_TEXT: {
            const char* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
            const int length = sqlite3_column_bytes(stmt, column);
            qint64 packed = 0;
            if (state_->dates[column] && PackStoredDate(text, length, &packed))
                return row->AddDate(packed);
            return row->AddUtf8(text, length);
        }
        default:
            return row->AddEmpty();
    }
}

double ListQuery::Number(int column) const {
    if (column < 0) return 0.0;
    sqlite3_stmt* stmt = state_->statement->Get();
    const int type = sqlite3_column_type(stmt, column);
    return type == SQLITE_INTEGER || type == SQLITE_FLOAT ? sqlite3_column_double(stmt, column)
                                                          : 0.0;
}
