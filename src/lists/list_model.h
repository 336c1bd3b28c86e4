#pragma once
// A list of records for a view, read a window of rows at a time: the count and the totals
// come from the store, the rows a page at a time as the view asks for them, so a list of
// millions shows its first screen for what a screen costs. After a change of one record the
// list reads that record and moves its totals by the difference.

#include <QAbstractTableModel>
#include <functional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/cell_row.h"
#include "ledger/list_read.h"

class DbConnection;

class ListModel : public QAbstractTableModel {
    Q_OBJECT

  public:
    // The text colour of a row, as a Windows colour integer; absent for the default.
    static constexpr int kForeColorRole = Qt::UserRole + 1;
    // The rows a page holds, and how many pages are kept.
    static constexpr int kPageRows = 200;
    static constexpr int kPagesKept = 24;

    // A row's colour from its cells: a Windows colour, or -1 for the default.
    using Colour = std::function<qint64(const CellRow&)>;

    ListModel(DbConnection& connection, ledger::ListSpec layout, QObject* parent = nullptr);

    const ledger::ListSpec& Layout() const { return read_.Layout(); }
    void SetColour(Colour colour) { colour_ = std::move(colour); }
    // The columns of the layout a row's colour covers (last -1: to the end); every one unless
    // told.
    void SetColouredColumns(int first, int last) { coloured_ = {first, last}; }
    std::pair<int, int> ColouredColumns() const { return coloured_; }

    // Shows the rows that pass condition in the list's present order. False when the count
    // could not be read: the list then shows what it showed before.
    bool Show(ledger::ListCondition condition);
    // Leaves out of the rows, not of the totals, those that fail shown; takes effect at the
    // next Show or Reload.
    void SetShownOnly(ledger::ListCondition shown) { read_.SetShownOnly(std::move(shown)); }
    // Reads the count and totals again and every row anew as it is asked for.
    bool Reload();
    // Orders the rows by a column of the layout (0: by ID), ties by ID.
    void SortBy(ledger::ListOrder order);
    const ledger::ListOrder& Order() const { return read_.Order(); }
    // Brings the list up to date after record id was added, changed or deleted.
    bool UpdateRecord(qint64 id);

    // The cells of row, read with its page when not held. When the page cannot be read the
    // row shows what it showed before, or nothing, and ReadFailed is emitted once.
    const CellRow& Row(int row);
    qint64 RowColour(int row);  // -1 for the default
    // Every row in the list's order, in one read that holds none of them after it (an export):
    // each is handed to take until it returns false. False when the read failed.
    bool ForEachRow(const std::function<bool(const CellRow&)>& take);
    const ledger::ListTotals& Totals() const { return totals_; }
    // The sum of a totalled column, exact to its scale.
    double Total(int column) const { return totals_.Figure(Layout(), column); }
    // The failure of the last read that failed.
    QString Error() const { return error_; }
    bool Busy() const { return busy_; }

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    // Numbers as double, dates as QDateTime, texts as QString; kForeColorRole as above.
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  signals:
    void ReadFailed(bool busy);

  private:
    struct Page {
        std::vector<CellRow> rows;
        std::vector<qint64> colours;
        bool stale = false;
        // Read with the count, in one snapshot: what the totals hold of each of its records
        // (unless one was updated since, see counted_).
        bool withCount = false;
        quint64 used = 0;
    };
    // What the totals and the count hold of a record changed since the last count.
    struct Counted {
        bool counted = false;  // in the totals
        bool shown = false;    // in the rows
        std::vector<qint64> units;
    };

    Page* PageFor(qint64 page);
    void KeepPage(qint64 index, std::vector<CellRow> rows, bool withCount);
    void DropPagesBeyondKept();
    std::vector<qint64> Units(const CellRow& row) const;
    // The record's row among the pages read with the count, and whether one was found.
    bool FindHeld(qint64 id, CellRow* row) const;
    // After a change of a record whose part in the totals is not known: the count and totals
    // read again with it, without reading the rows held anew.
    bool Recount(qint64 id);
    // Puts now in place of the record's held row, unless the list's order may move it; false
    // when it did not.
    bool PatchHeld(qint64 id, const CellRow& now);
    void Failed();
    // Holds totals as the count of every row, with no record's part in them known yet.
    void TakeTotals(ledger::ListTotals&& totals);

    ledger::ListRead read_;
    Colour colour_;
    std::pair<int, int> coloured_{0, -1};
    ledger::ListTotals totals_;
    qint64 maxIdCounted_ = 0;  // records above it were not there at the last count
    std::unordered_map<qint64, Page> pages_;
    std::unordered_map<qint64, Counted> counted_;
    quint64 clock_ = 0;
    bool failedSinceRead_ = false;
    QString error_;
    bool busy_ = false;
    CellRow empty_;
};
