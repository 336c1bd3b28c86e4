#pragma once
// Reads of a list of records a window of rows at a time: the rows that pass a condition, in
// an order, counted and totalled by the store, read a page at a time. The statement texts are
// written here once for both stores; a list's own file (sales_list.h) names its table, its
// columns and its conditions, so that no window writes a statement.

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <functional>
#include <vector>

#include "common/cell_row.h"

class DbConnection;

namespace ledger {

// How a column's values are totalled exactly: as whole units of 1/scale (fen for money).
struct ListColumn {
    QString name;
    bool date = false;      // a stored date text, read as a date cell
    bool withheld = false;  // read as an empty cell: a figure the user may not see
    int totalScale = 0;     // 0: not totalled
    // Read in place of the column `name`: an SQL expression over the table's columns (a
    // figure summed apart, say), then `name` only names it.
    QString expression;
    QString Read() const;
};

struct ListSpec {
    QString table;
    QList<ListColumn> columns;  // the first one is the table's ID
    // A table whose one row keeps the totals of every row of the table ("rows", and each
    // totalled column under its name, in the same units); empty for none.
    QString keptTotals;
    int Find(const QString& name) const;
};

// Which rows: an SQL condition with "?" for each value, written by a list's own read file.
struct ListCondition {
    ListCondition() = default;
    ListCondition(QString sql, QVariantList values, QString keptCount = {})
        : sql(std::move(sql)), values(std::move(values)), keptCount(std::move(keptCount)) {}

    QString sql;  // empty: every row
    QVariantList values;
    // The column of the layout's kept totals that counts the rows passing it; empty for none.
    QString keptCount;
};

// In which order: by a column (ties by ID), or by ID alone (column 0).
struct ListOrder {
    int column = 0;
    bool descending = false;
};

struct ListTotals {
    qint64 count = 0;
    qint64 maxId = 0;  // of the whole table: a record above it was added since
    // By column of the layout: the sum in units of 1/totalScale (0 where not totalled).
    std::vector<qint64> units;
    // The sum of a column as a figure, exact to its scale.
    double Figure(const ListSpec& layout, int column) const;
};

class ListRead {
  public:
    ListRead(DbConnection& connection, ListSpec layout);

    const ListSpec& Layout() const { return spec_; }
    void SetCondition(ListCondition condition) { condition_ = std::move(condition); }
    // Rows that pass the condition but not shown: they count in the totals, not in the rows
    // (the stock list's goods out of stock).
    void SetShownOnly(ListCondition shown) { shown_ = std::move(shown); }
    bool ShowsAll() const { return shown_.sql.isEmpty(); }
    void SetOrder(ListOrder order) { order_ = order; }
    const ListOrder& Order() const { return order_; }

    // The count of the rows shown and the totals of the rows that pass the condition; false
    // when the read failed.
    bool ReadTotals(ListTotals* totals);
    // count rows from the offset'th in the list's order, of a list that holds total rows (as
    // ReadTotals gave: a page near the end is read from the end backwards).
    bool ReadPage(qint64 offset, int count, qint64 total, std::vector<CellRow>* rows);
    // The rows after the row of ID afterId in ID order (before it, descending): the next page
    // of a list in ID order without counting the rows before it.
    bool ReadPageAfter(qint64 afterId, int count, std::vector<CellRow>* rows);
    // Every row shown, in the list's order, in one read (on a server in pieces), each handed
    // to take until it returns false; false when the read failed.
    bool ReadEach(const std::function<bool(const CellRow&)>& take);
    // The row of record id when it passes the condition (counted tells whether it does), and
    // whether it is shown too.
    bool ReadRecord(qint64 id, CellRow* row, bool* counted, bool* shown);

    // Reads until EndSnapshot see the books as they were at the first of them. False when
    // the connection cannot (it is inside a transaction already): the reads then see each
    // its own moment.
    bool BeginSnapshot();
    void EndSnapshot();

    QString Error() const { return error_; }
    // The failure was another connection holding the books past the busy wait.
    bool Busy() const { return busy_; }

  private:
    QString Select() const;
    // The rows shown: condition, shown and extra.
    QString Where(const QString& extra) const;
    QVariantList Values() const;
    QString TotalsWhere() const;
    QString OrderBy(bool reversed) const;
    bool Run(const QString& sql, const QVariantList& values, std::vector<CellRow>* rows,
             bool reversed);

    DbConnection& connection_;
    ListSpec spec_;
    ListCondition condition_;
    ListCondition shown_;
    ListOrder order_;
    QString error_;
    bool busy_ = false;
};

// The texts of the first column of a statement's rows, empty ones left out: a pick list.
bool ReadValues(DbConnection& db, const QString& sql, QStringList* values, QString* error);
// Every value of a text column once (case ignored, as the column compares), in order. Along the
// column's index, when the books have it, the read steps from one value to the next, a few
// index entries per value; without it the rows are grouped in one pass.
bool ReadColumnValues(DbConnection& db, const QString& table, const QString& column,
                      const QString& index, QStringList* values, QString* error);

}  // namespace ledger
