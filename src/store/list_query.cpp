#include "store/list_query.h"

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
};

ListQuery::ListQuery(const QString& sql, const QVariantList& values)
    : ListQuery(sql, values, true) {}

ListQuery ListQuery::OneRow(const QString& table, qint64 id) {
    return ListQuery(QStringLiteral("select * from %1 where ID=?").arg(table), {id}, false);
}

ListQuery::ListQuery(const QString& sql, const QVariantList& values, bool inPieces)
    : state_(std::make_unique<State>()) {
    EnsureDatabaseOpen();
    SharedRecordSet().Close();
    // A file gives the rows of a table in the order they were added, a changed one where it
    // was; a server stores a changed row anew wherever there is room, and a refill would move
    // it in the list. A list that names its own order keeps it.
    const bool ordered = sql.contains(QLatin1String("order by"), Qt::CaseInsensitive);
    state_->statement = std::make_unique<Statement>(
        SharedConnection(), SharedConnection().Server() && inPieces && !ordered
                                ? sql + QStringLiteral(" order by ID")
                                : sql);
    // A list may have a million rows: a server sends them in pieces. One row comes whole, in
    // one round trip instead of a cursor's five.
    if (inPieces) state_->statement->ReadInPieces();
    if (!state_->statement->Bind(values)) return;
    const Statement& st = *state_->statement;
    const int columns = st.ColumnCount();
    state_->dates.resize(columns, false);
    for (int c = 0; c < columns; ++c) {
        QString table, origin;
        const TableDef* def = st.ColumnOrigin(c, &table, &origin) ? FindTable(table) : nullptr;
        const ColumnDef* column = def ? def->Find(origin) : nullptr;
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
    const int count = state_->statement->ColumnCount();
    for (int c = 0; c < count; ++c) {
        const QString name = state_->statement->ColumnName(c);
        for (qsizetype n = 0; n < names.size(); ++n)
            if (indexes[n] < 0 && name.compare(names[n], Qt::CaseInsensitive) == 0) indexes[n] = c;
    }
    return indexes;
}

bool ListQuery::Busy() const {
    return state_->statement->Busy();
}

bool ListQuery::Next() {
    return state_->statement->Next();
}

void ListQuery::AddCell(int column, CellRow* row) const {
    if (column < 0) return row->AddEmpty();
    AddStatementCell(*state_->statement, column, state_->dates[column], row);
}

void AddStatementCell(const Statement& st, int column, bool date, CellRow* row) {
    switch (st.Type(column)) {
        case ColumnType::Integer:
            return row->AddNumber(static_cast<double>(st.Int64(column)));
        case ColumnType::Real:
            return row->AddNumber(st.Double(column));
        case ColumnType::Text: {
            const QByteArrayView bytes = st.TextBytes(column);
            const char* text = bytes.data();
            const int length = static_cast<int>(bytes.size());
            qint64 packed = 0;
            if (date && PackStoredDate(text, length, &packed)) return row->AddDate(packed);
            return row->AddUtf8(text, length);
        }
        case ColumnType::Null:
            return row->AddEmpty();
    }
}

double ListQuery::Number(int column) const {
    if (column < 0) return 0.0;
    const ColumnType type = state_->statement->Type(column);
    return type == ColumnType::Integer || type == ColumnType::Real
               ? state_->statement->Double(column)
               : 0.0;
}
