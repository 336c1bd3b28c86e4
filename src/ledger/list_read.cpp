#include "ledger/list_read.h"

#include <algorithm>

#include "common/date_text.h"
#include "store/db_connection.h"
#include "store/list_query.h"
#include "store/statement.h"

namespace ledger {

namespace {

QString Quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

void AddCell(const Statement& st, int column, const ListColumn& layout, CellRow* row) {
    if (layout.withheld) return row->AddEmpty();
    AddStatementCell(st, column, layout.date, row);
}

}  // namespace

QString ListColumn::Read() const {
    return expression.isEmpty() ? Quoted(name) : QLatin1Char('(') + expression + QLatin1Char(')');
}

int ListSpec::Find(const QString& name) const {
    for (qsizetype c = 0; c < columns.size(); ++c)
        if (columns[c].name == name) return static_cast<int>(c);
    return -1;
}

double ListTotals::Figure(const ListSpec& layout, int column) const {
    const int scale = layout.columns[column].totalScale;
    if (scale <= 0 || column >= static_cast<int>(units.size())) return 0.0;
    // A whole number of units divided once gives the figure nearest to the exact sum.
    return static_cast<double>(units[column]) / scale;
}

ListRead::ListRead(DbConnection& connection, ListSpec layout)
    : connection_(connection), spec_(std::move(layout)) {}

QString ListRead::Select() const {
    QStringList names;
    // A withheld column is not even read: the figure never leaves the store.
    for (const ListColumn& c : spec_.columns)
        names << (c.withheld ? QStringLiteral("NULL") : c.Read());
    return QStringLiteral("SELECT %1 FROM %2").arg(names.join(QLatin1Char(',')), spec_.table);
}

QString ListRead::Where(const QString& extra) const {
    QStringList parts;
    if (!condition_.sql.isEmpty()) parts << QLatin1Char('(') + condition_.sql + QLatin1Char(')');
    if (!shown_.sql.isEmpty()) parts << QLatin1Char('(') + shown_.sql + QLatin1Char(')');
    if (!extra.isEmpty()) parts << extra;
    return parts.isEmpty() ? QString() : QStringLiteral(" WHERE ") + parts.join(" AND ");
}

QString ListRead::TotalsWhere() const {
    return condition_.sql.isEmpty() ? QString() : QStringLiteral(" WHERE ") + condition_.sql;
}

QString ListRead::OrderBy(bool reversed) const {
    const bool descending = order_.descending != reversed;
    const QString dir = descending ? QStringLiteral(" DESC") : QString();
    // Both stores put empty values first in an ascending order only when told.
    const QString nulls =
        descending ? QStringLiteral(" NULLS LAST") : QStringLiteral(" NULLS FIRST");
    QString text = QStringLiteral(" ORDER BY ");
    if (order_.column > 0)
        text += spec_.columns[order_.column].Read() + dir + nulls + QLatin1Char(',');
    return text + QStringLiteral("ID") + dir;
}

QVariantList ListRead::Values() const {
    return condition_.values + shown_.values;
}

bool ListRead::Run(const QString& sql, const QVariantList& values, std::vector<CellRow>* rows,
                   bool reversed) {
    error_.clear();
    busy_ = false;
    rows->clear();
    Statement st(connection_, sql);
    if (st.Bind(values)) {
        while (st.Next()) {
            rows->emplace_back();
            CellRow& row = rows->back();
            for (qsizetype c = 0; c < spec_.columns.size(); ++c)
                AddCell(st, static_cast<int>(c), spec_.columns[c], &row);
        }
    }
    if (st.Failed() || !st.Ok()) {
        error_ = st.Error().isEmpty() ? connection_.GetErrorDescription() : st.Error();
        busy_ = st.Busy();
        rows->clear();
        return false;
    }
    if (reversed) std::reverse(rows->begin(), rows->end());
    return true;
}

bool ListRead::ReadTotals(ListTotals* totals) {
    error_.clear();
    busy_ = false;
    // Every row: the kept totals, one row's read at any size.
    const bool kept = condition_.sql.isEmpty() && !spec_.keptTotals.isEmpty() &&
                      (shown_.sql.isEmpty() || !shown_.keptCount.isEmpty());
    const QString count =
        shown_.sql.isEmpty()
            ? QStringLiteral("count(*)")
            : QStringLiteral("sum(CASE WHEN %1 THEN 1 ELSE 0 END)").arg(shown_.sql);
    const QString keptCount = shown_.sql.isEmpty() ? QStringLiteral("rows") : shown_.keptCount;
    QStringList sums{kept ? keptCount : count,
                     QStringLiteral("(SELECT max(ID) FROM %1)").arg(spec_.table)};
    for (const ListColumn& c : spec_.columns) {
        if (c.totalScale <= 0 || c.withheld) continue;
        if (kept)
            sums << Quoted(c.name);
        else
            // Whole units per row, summed as integers: no binary fraction adds up a drift.
            sums << QStringLiteral("sum(cast(round(%1*%2) as bigint))")
                        .arg(c.Read())
                        .arg(c.totalScale);
    }
    Statement st(connection_,
                 QStringLiteral("SELECT %1 FROM %2")
                         .arg(sums.join(QLatin1Char(',')), kept ? spec_.keptTotals : spec_.table) +
                     (kept ? QString() : TotalsWhere()));
    // The count's values come first, in the select list.
    if (st.Bind(kept ? QVariantList() : shown_.values + condition_.values) && st.Next()) {
        totals->count = st.IsNull(0) ? 0 : st.Int64(0);
        totals->maxId = st.IsNull(1) ? 0 : st.Int64(1);
        totals->units.assign(spec_.columns.size(), 0);
        int at = 2;
        for (qsizetype c = 0; c < spec_.columns.size(); ++c) {
            if (spec_.columns[c].totalScale <= 0 || spec_.columns[c].withheld) continue;
            totals->units[c] = st.IsNull(at) ? 0 : st.Int64(at);
            ++at;
        }
        return true;
    }
    error_ = st.Error().isEmpty() ? connection_.GetErrorDescription() : st.Error();
    if (error_.isEmpty()) error_ = QStringLiteral("%1 holds no row").arg(spec_.keptTotals);
    busy_ = st.Busy();
    return false;
}

bool ListRead::ReadPage(qint64 offset, int count, qint64 total, std::vector<CellRow>* rows) {
    offset = std::max<qint64>(0, offset);
    // Skipping rows costs one step each: a page in the second half is nearer from the end.
    const bool fromEnd = offset > total / 2 && offset < total;
    qint64 skip = offset;
    int take = count;
    if (fromEnd) {
        const qint64 end = std::min(total, offset + count);
        skip = total - end;
        take = static_cast<int>(end - offset);
    }
    QVariantList values = Values();
    values << take << skip;
    return Run(Select() + Where(QString()) + OrderBy(fromEnd) + QStringLiteral(" LIMIT ? OFFSET ?"),
               values, rows, fromEnd);
}

bool ListRead::ReadPageAfter(qint64 afterId, int count, std::vector<CellRow>* rows) {
    QVariantList values = Values();
    values << afterId << count;
    const QString step = order_.descending ? QStringLiteral("ID < ?") : QStringLiteral("ID > ?");
    return Run(Select() + Where(step) + OrderBy(false) + QStringLiteral(" LIMIT ?"), values, rows,
               false);
}

bool ListRead::ReadRecord(qint64 id, CellRow* row, bool* counted, bool* shown) {
    // The record as the totals count it, and whether the rows show it, in one read.
    const QString shownColumn =
        shown_.sql.isEmpty() ? QStringLiteral("1")
                             : QStringLiteral("CASE WHEN %1 THEN 1 ELSE 0 END").arg(shown_.sql);
    QVariantList values = shown_.values + condition_.values;
    values << id;
    std::vector<CellRow> rows;
    const QString where = TotalsWhere();
    // After the layout's columns: a table that is a query of its own has FROMs of its own.
    QString sql = Select();
    sql.insert(sql.indexOf(QStringLiteral(" FROM ")), QLatin1Char(',') + shownColumn);
    sql +=
        where.isEmpty() ? QStringLiteral(" WHERE ID = ?") : where + QStringLiteral(" AND ID = ?");
    Statement st(connection_, sql);
    *counted = *shown = false;
    if (st.Bind(values) && st.Next()) {
        row->Clear();
        for (qsizetype c = 0; c < spec_.columns.size(); ++c)
            AddCell(st, static_cast<int>(c), spec_.columns[c], row);
        *counted = true;
        *shown = st.Int64(static_cast<int>(spec_.columns.size())) != 0;
    }
    if (!st.Ok() || st.Failed()) {
        error_ = st.Error().isEmpty() ? connection_.GetErrorDescription() : st.Error();
        busy_ = st.Busy();
        return false;
    }
    error_.clear();
    busy_ = false;
    return true;
}

bool ListRead::ReadEach(const std::function<bool(const CellRow&)>& take) {
    Statement st(connection_, Select() + Where(QString()) + OrderBy(false));
    st.ReadInPieces();
    CellRow row;
    bool more = st.Bind(Values());
    while (more && st.Next()) {
        row.Clear();
        for (qsizetype c = 0; c < spec_.columns.size(); ++c)
            AddCell(st, static_cast<int>(c), spec_.columns[c], &row);
        more = take(row);
    }
    if (!st.Ok() || st.Failed()) {
        error_ = st.Error().isEmpty() ? connection_.GetErrorDescription() : st.Error();
        busy_ = st.Busy();
        return false;
    }
    return true;
}

bool ReadValues(DbConnection& db, const QString& sql, QStringList* values, QString* error) {
    values->clear();
    Statement st(db, sql);
    while (st.Next()) {
        const QString value = st.Text(0);
        if (!value.isEmpty()) values->append(value);
    }
    if (st.Ok() && !st.Failed()) return true;
    *error = st.Error();
    values->clear();
    return false;
}

bool ReadColumnValues(DbConnection& db, const QString& table, const QString& column,
                      const QString& index, QStringList* values, QString* error) {
    Statement probe(db, db.Server() ? QStringLiteral("SELECT count(*) FROM pg_indexes WHERE "
                                                     "schemaname = current_schema() AND "
                                                     "indexname = ?")
                                    : QStringLiteral("SELECT count(*) FROM sqlite_master WHERE "
                                                     "type = 'index' AND name = ?"));
    const bool indexed = probe.Bind({index}) && probe.Next() && probe.Int64(0) > 0;
    const QString sql =
        indexed ? QStringLiteral(
                      "WITH RECURSIVE walk(v) AS (SELECT min(%1) FROM %2 UNION ALL "
                      "SELECT (SELECT min(%1) FROM %2 WHERE %1 > walk.v) FROM walk "
                      "WHERE walk.v IS NOT NULL) SELECT v FROM walk WHERE v IS NOT NULL")
                : QStringLiteral("SELECT max(%1) FROM %2 GROUP BY %1 ORDER BY 1");
    return ReadValues(db, sql.arg(column, table), values, error);
}

bool ListRead::BeginSnapshot() {
    return connection_.Execute(connection_.Server()
                                   ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ")
                                   : QStringLiteral("BEGIN"));
}

void ListRead::EndSnapshot() {
    connection_.Execute(QStringLiteral("COMMIT"));
}

}  // namespace ledger
