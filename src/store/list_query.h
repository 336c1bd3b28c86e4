#pragma once
// Reads the rows of a query straight from the database for filling a list: each value is
// taken in its list form without building a record set, so that a list of 100,000 goods
// fills in a fraction of a second.

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>

class CellRow;
class Statement;

class ListQuery {
  public:
    // Runs sql (values bound to its "?" parameters) on the shared connection, opening the
    // database first when it is closed. sql selects rows of one table; without an order of its
    // own ("order by"), on a server they come by ID, as a file gives them.
    ListQuery(const QString& sql, const QVariantList& values = {});
    // The row id of table, as a list updates one row after a change.
    static ListQuery OneRow(const QString& table, qint64 id);
    ~ListQuery();
    ListQuery(const ListQuery&) = delete;
    ListQuery& operator=(const ListQuery&) = delete;

    // False once the query failed: prepared, bound or stepped.
    bool Ok() const;
    QString Error() const;
    // The failure was another connection holding the database past the busy wait.
    bool Busy() const;

    // The column index of each name, -1 for a name the result does not have.
    QList<int> Columns(const QStringList& names) const;

    // Moves to the next row; false after the last one or on an error.
    bool Next();

    // The value of a column of the current row as a number (0 for empty and text).
    double Number(int column) const;
    // Adds the value to row as a list cell keeps it: stored dates as dates, numbers as numbers,
    // texts as stored (a tab included), an empty text for empty.
    void AddCell(int column, CellRow* row) const;

  private:
    ListQuery(const QString& sql, const QVariantList& values, bool inPieces);
    struct State;
    std::unique_ptr<State> state_;
};

// Adds column of the statement's current row to row as a list cell keeps it: numbers as
// numbers, a stored date text as a date when date is set, other texts as stored, null empty.
void AddStatementCell(const Statement& st, int column, bool date, CellRow* row);
