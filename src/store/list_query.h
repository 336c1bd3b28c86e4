#pragma once
// Reads the rows of a query straight from the database for filling a list: each value is
// taken in its list form without building a record set, so that a list of 100,000 goods
// fills in a fraction of a second.

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <memory>

class ListQuery {
  public:
    // Runs sql (values bound to its "?" parameters) on the shared connection, opening the
    // database first when it is closed.
    ListQuery(const QString& sql, const QVariantList& values = {});
    ~ListQuery();
    ListQuery(const ListQuery&) = delete;
    ListQuery& operator=(const ListQuery&) = delete;

    bool Ok() const;
    QString Error() const;

    // The column index of each name, -1 for a name the result does not have.
    QList<int> Columns(const QStringList& names) const;

    // Moves to the next row; false after the last one or on an error.
    bool Next();

    // The value of a column of the current row as a number (0 for empty and text).
    double Number(int column) const;
    // Appends the value as a list cell shows it: dates "2012年6月3日" (with the time of day
    // when it is not midnight), numbers in number text, texts as stored with a tab as a
    // space (a list row is joined with tabs), "" for empty.
    void AppendText(int column, QString* line) const;

  private:
    struct State;
    std::unique_ptr<State> state_;
};
