#include "store/migrate.h"

#include <cmath>

#include "store/db_connection.h"
#include "store/schema.h"
#include "store/server_roles.h"
#include "store/server_session.h"
#include "store/statement.h"

namespace {

QString Quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

bool IsNumber(const ColumnDef& c) {
    return c.kind == ColumnKind::Id || c.kind == ColumnKind::Real || c.kind == ColumnKind::Integer;
}

// One statement reading a table's tally: count, each number column's sum, and the summed
// lengths of its texts and dates.
QString TallyQuery(const TableDef& t) {
    QStringList parts{QStringLiteral("count(*)")};
    for (const ColumnDef& c : t.columns)
        parts << (IsNumber(c) ? QStringLiteral("coalesce(sum(%1), 0)").arg(Quoted(c.name))
                              : QStringLiteral("coalesce(sum(length(%1)), 0)").arg(Quoted(c.name)));
    return QStringLiteral("SELECT %1 FROM %2")
        .arg(parts.join(QStringLiteral(", ")), Quoted(t.name));
}

bool SameSums(const QList<double>& a, const QList<double>& b) {
    if (a.size() != b.size()) return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        // Sums of the same values in another order may differ in their last bits.
        const double scale = std::max({1.0, std::fabs(a[i]), std::fabs(b[i])});
        if (std::fabs(a[i] - b[i]) > 1e-9 * scale) return false;
    }
    return true;
}

// Up to this many parameters in one INSERT: a few hundred rows a statement.
constexpr int kParametersPerInsert = 20000;

}  // namespace

bool TallyTables(DbConnection& db, QList<TableTally>* tallies, QString* error) {
    tallies->clear();
    for (const TableDef& t : SchemaTables()) {
        Statement st(db, TallyQuery(t));
        if (!st.Ok() || !st.Next()) {
            *error = st.Error().isEmpty() ? db.GetErrorDescription() : st.Error();
            return false;
        }
        TableTally tally{t.name, st.Int64(0), {}};
        for (int c = 1; c < st.ColumnCount(); ++c) tally.sums << st.Double(c);
        tallies->append(tally);
    }
    return true;
}

namespace {

// Whether the target may hold books already, which the copy then replaces.
enum class Target { Empty, Replaced };

// Reads that see the books as one moment, from its making to its end.
struct SnapshotRead {
    explicit SnapshotRead(DbConnection& connection) : db(connection) {
        ok = db.Execute(db.Server() ? QStringLiteral("BEGIN ISOLATION LEVEL REPEATABLE READ")
                                    : QStringLiteral("BEGIN"));
    }
    ~SnapshotRead() {
        if (ok) db.Execute(QStringLiteral("COMMIT"));
    }
    DbConnection& db;
    bool ok = false;
};

// Copies every row of table t from one store into another, keeping each row's ID, inside the
// target's open transaction; done counts the rows copied, of total.
bool CopyRows(DbConnection& from, DbConnection& to, const TableDef& t,
              const std::function<bool(qint64, qint64)>& progress, qint64* done, qint64 total,
              QString* error, const QString& where = {}, const QVariantList& whereValues = {}) {
    QStringList names;
    // A login that may not read the cost columns copies the rest: they stay empty in the copy.
    const bool seesCosts = !from.Server() || from.Server()->SeesCosts();
    const QStringList costs = seesCosts ? QStringList() : CostColumns(t.name);
    for (const ColumnDef& c : t.columns)
        if (!costs.contains(c.name)) names << Quoted(c.name);
    const int width = static_cast<int>(names.size());
    const int rowsPerInsert = std::max(1, kParametersPerInsert / width);
    const QString placeholders = QLatin1Char('(') +
                                 QStringList(width, QStringLiteral("?")).join(QLatin1Char(',')) +
                                 QLatin1Char(')');
    const QString head = QStringLiteral("INSERT INTO %1 (%2) VALUES ")
                             .arg(Quoted(t.name), names.join(QStringLiteral(", ")));
    Statement read(from, QStringLiteral("SELECT %1 FROM %2%3 ORDER BY \"ID\"")
                             .arg(names.join(QStringLiteral(", ")), Quoted(t.name), where));
    read.Bind(whereValues);
    QVariantList values;
    int rows = 0;
    auto flush = [&] {
        if (rows == 0) return true;
        QStringList tuples(rows, placeholders);
        const bool ok = to.Execute(head + tuples.join(QLatin1Char(',')), values);
        if (!ok) *error = to.GetErrorDescription();
        *done += rows;
        values.clear();
        rows = 0;
        return ok && (!progress || progress(*done, total));
    };
    while (read.Next()) {
        for (int c = 0; c < width; ++c) {
            switch (read.Type(c)) {
                case ColumnType::Null:
                    values << QVariant();
                    break;
                case ColumnType::Integer:
                    values << read.Int64(c);
                    break;
                case ColumnType::Real:
                    values << read.Double(c);
                    break;
                case ColumnType::Text:
                    values << read.Text(c);
                    break;
            }
        }
        if (++rows == rowsPerInsert && !flush()) return false;
    }
    if (read.Failed()) {
        *error = read.Error();
        return false;
    }
    if (!flush()) return false;
    // New rows made on a server continue after the IDs copied; a file's own counter
    // follows the IDs written into it.
    if (!to.Server() || !where.isEmpty()) return true;
    Statement next(to, QStringLiteral("SELECT setval(pg_get_serial_sequence(?, 'id'), "
                                      "(SELECT coalesce(max(\"ID\"), 0) + 1 FROM %1), false)")
                           .arg(Quoted(t.name)));
    if (!next.Ok() || !next.Bind({t.name.toLower()}) || !next.Next()) {
        *error = next.Error().isEmpty() ? to.GetErrorDescription() : next.Error();
        return false;
    }
    return true;
}

// Copies every table of the books from one store into another, in one transaction of the
// target, checked by the tallies; see MigrateToServer.
bool CopyBooks(DbConnection& from, DbConnection& to, Target target,
               const std::function<bool(qint64, qint64)>& progress, QList<TableTally>* tallies,
               QString* error) {
    // One read transaction over every table: another till's change lands wholly before or
    // wholly after the copy.
    const SnapshotRead snapshot(from);
    if (!snapshot.ok) return *error = from.GetErrorDescription(), false;
    QList<TableTally> fromTally;
    if (!TallyTables(from, &fromTally, error)) return false;
    qint64 total = 0;
    for (const TableTally& t : fromTally) total += t.rows;

    DbTransaction transaction(to);
    if (!transaction.IsActive()) {
        *error = to.GetErrorDescription();
        return false;
    }
    // Read inside the transaction: another till that filled the database meanwhile stops
    // the move instead of being mixed with the copied books.
    QList<TableTally> before;
    if (!TallyTables(to, &before, error)) return false;
    for (const TableTally& t : before) {
        const bool firstUserOnly = t.table == QLatin1String("UserName") && t.rows <= 1;
        if (target == Target::Empty && t.rows > 0 && !firstUserOnly) {
            *error =
                QStringLiteral("目标数据库已经有数据（%1），只能复制到空的数据库").arg(t.table);
            return false;
        }
    }
    if (to.Server() && !to.Execute(QStringLiteral("SET LOCAL lk.copy = 'on'"))) {
        *error = to.GetErrorDescription();
        return false;
    }
    for (const TableDef& t : SchemaTables()) {
        if (!to.Execute(QStringLiteral("DELETE FROM %1").arg(Quoted(t.name)))) {
            *error = to.GetErrorDescription();
            return false;
        }
    }

    qint64 done = 0;
    for (const TableDef& t : SchemaTables())
        if (!CopyRows(from, to, t, progress, &done, total, error)) return false;
    // The copy is not a change other tills need to follow row by row (a server's log leaves
    // it out already).
    if (!to.Execute(QStringLiteral("DELETE FROM change_log"))) {
        *error = to.GetErrorDescription();
        return false;
    }
    // Books replaced under other tills: the log skips one number, so that no till takes the
    // next change for the one after those it followed, and the tills hear of it at once; each
    // then fills its lists again.
    // The users' server logins follow the users of the books that replaced theirs.
    if (target == Target::Replaced && to.Server() && to.Server()->KeepsRoles() &&
        !to.Execute(QStringLiteral("SELECT lk_follow_users()"))) {
        *error = to.GetErrorDescription();
        return false;
    }
    if (target == Target::Replaced && to.Server()) {
        Statement skip(to, QStringLiteral("SELECT nextval(pg_get_serial_sequence('change_log', "
                                          "'seq')), pg_notify('lk_changes', '')"));
        if (!skip.Next()) {
            *error = skip.Error().isEmpty() ? to.GetErrorDescription() : skip.Error();
            return false;
        }
    }
    if (!TallyTables(to, tallies, error)) return false;
    for (qsizetype i = 0; i < fromTally.size(); ++i) {
        if (fromTally[i].rows != (*tallies)[i].rows ||
            !SameSums(fromTally[i].sums, (*tallies)[i].sums)) {
            *error = QStringLiteral("%1 表的数据没有完整复制过去（原有 %2 行，复制后 %3 行）")
                         .arg(fromTally[i].table)
                         .arg(fromTally[i].rows)
                         .arg((*tallies)[i].rows);
            return false;
        }
    }
    if (!transaction.Commit()) {
        *error = to.GetErrorDescription();
        return false;
    }
    // Rows written in bulk leave a server without its statistics and without the map of pages
    // whose rows every transaction sees, so that the charts' index-only reads would visit every
    // sale until the next autovacuum. A failure here costs only speed: the books are whole.
    if (to.Server()) {
        QStringList tables;
        for (const TableDef& t : SchemaTables()) tables << Quoted(t.name);
        to.Execute(QStringLiteral("VACUUM (ANALYZE) ") + tables.join(QStringLiteral(", ")));
    }
    return true;
}

}  // namespace

bool ReplaceRows(DbConnection& from, DbConnection& to, const QString& table,
                 const QList<qint64>& ids, QString* error) {
    const TableDef* t = FindTable(table);
    if (!t) {
        *error = QStringLiteral("no table %1").arg(table);
        return false;
    }
    qint64 done = 0;
    for (qint64 id : ids) {
        if (!to.Execute(QStringLiteral("DELETE FROM %1 WHERE \"ID\" = ?").arg(Quoted(t->name)),
                        {id})) {
            *error = to.GetErrorDescription();
            return false;
        }
        if (!CopyRows(from, to, *t, {}, &done, 0, error, QStringLiteral(" WHERE \"ID\" = ?"), {id}))
            return false;
    }
    return true;
}

bool ReplaceTables(DbConnection& from, DbConnection& to, const QStringList& tables,
                   const std::function<bool(QString*)>& alsoInside, QString* error) {
    const SnapshotRead snapshot(from);
    if (!snapshot.ok) return *error = from.GetErrorDescription(), false;
    DbTransaction transaction(to);
    if (!transaction.IsActive()) {
        *error = to.GetErrorDescription();
        return false;
    }
    qint64 done = 0;
    for (const QString& name : tables) {
        const TableDef* t = FindTable(name);
        if (!t) {
            *error = QStringLiteral("no table %1").arg(name);
            return false;
        }
        if (!to.Execute(QStringLiteral("DELETE FROM %1").arg(Quoted(t->name)))) {
            *error = to.GetErrorDescription();
            return false;
        }
        if (!CopyRows(from, to, *t, {}, &done, 0, error)) return false;
    }
    if (alsoInside && !alsoInside(error)) return false;
    if (!transaction.Commit()) {
        *error = to.GetErrorDescription();
        return false;
    }
    return true;
}

bool MigrateToServer(DbConnection& file, DbConnection& server,
                     const std::function<bool(qint64, qint64)>& progress,
                     QList<TableTally>* tallies, QString* error) {
    return CopyBooks(file, server, Target::Empty, progress, tallies, error);
}

bool ReplaceServerBooks(DbConnection& server, DbConnection& file, QString* error) {
    QList<TableTally> tallies;
    return CopyBooks(file, server, Target::Replaced, {}, &tallies, error);
}

bool CopyServerBooksToFile(DbConnection& server, const QString& path, QString* error) {
    if (!CreateDatabaseFile(path, error)) return false;
    DbConnection file;
    if (!file.OpenFile(path)) {
        *error = file.GetErrorDescription();
        return false;
    }
    QList<TableTally> tallies;
    const bool copied = CopyBooks(server, file, Target::Empty, {}, &tallies, error);
    file.Close();
    return copied;
}
