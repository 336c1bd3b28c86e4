#include "lists/list_model.h"

#include <algorithm>
#include <cmath>

#include "common/date_text.h"

ListModel::ListModel(DbConnection& connection, ledger::ListSpec layout, QObject* parent)
    : QAbstractTableModel(parent), read_(connection, std::move(layout)) {}

bool ListModel::Show(ledger::ListCondition condition) {
    read_.SetCondition(std::move(condition));
    return Reload();
}

bool ListModel::Reload() {
    // The pages on show are read again with the count, in one snapshot, so that a change of
    // one of their records later moves the totals by what they held of it.
    std::vector<std::pair<quint64, qint64>> recent;
    for (const auto& [index, page] : pages_) recent.push_back({page.used, index});
    std::sort(recent.rbegin(), recent.rend());
    if (recent.size() > 2) recent.resize(2);

    const bool snapshot = read_.BeginSnapshot();
    ledger::ListTotals totals;
    bool ok = read_.ReadTotals(&totals);
    std::vector<std::pair<qint64, std::vector<CellRow>>> fresh;
    for (const auto& [used, index] : recent) {
        std::vector<CellRow> rows;
        ok = ok && read_.ReadPage(index * kPageRows, kPageRows, totals.count, &rows);
        if (ok) fresh.push_back({index, std::move(rows)});
    }
    if (snapshot) read_.EndSnapshot();
    if (!ok) {
        Failed();
        return false;
    }
    TakeTotals(std::move(totals));
    failedSinceRead_ = false;
    beginResetModel();
    // The other rows held stay on show until their pages are read anew: a read that fails
    // then leaves the rows the user saw.
    for (auto& [index, page] : pages_) {
        page.stale = true;
        page.withCount = false;
    }
    for (auto& [index, rows] : fresh) KeepPage(index, std::move(rows), snapshot);
    endResetModel();
    return true;
}

void ListModel::SortBy(ledger::ListOrder order) {
    read_.SetOrder(order);
    beginResetModel();
    // Rows held in another order are no rows of this one.
    pages_.clear();
    failedSinceRead_ = false;
    endResetModel();
}

void ListModel::sort(int column, Qt::SortOrder order) {
    if (column < 0 || column >= Layout().columns.size()) return;
    SortBy({column, order == Qt::DescendingOrder});
}

std::vector<qint64> ListModel::Units(const CellRow& row) const {
    std::vector<qint64> units(Layout().columns.size(), 0);
    for (qsizetype c = 0; c < Layout().columns.size(); ++c) {
        const ledger::ListColumn& column = Layout().columns[c];
        if (column.totalScale <= 0 || column.withheld || c >= row.Count()) continue;
        // As the store rounds each row: half away from zero.
        units[c] = std::llround(row.Number(static_cast<int>(c)) * column.totalScale);
    }
    return units;
}

bool ListModel::FindHeld(qint64 id, CellRow* row) const {
    for (const auto& [index, page] : pages_) {
        if (!page.withCount) continue;
        for (const CellRow& r : page.rows)
            if (r.Count() > 0 && static_cast<qint64>(r.Value(0)) == id) {
                *row = r;
                return true;
            }
    }
    return false;
}

bool ListModel::UpdateRecord(qint64 id) {
    // What the totals and the count hold of the record: known when it was updated since the
    // count, or read with the count, or when it was added after the count.
    Counted before;
    bool known = true;
    if (const auto it = counted_.find(id); it != counted_.end()) {
        before = it->second;
    } else if (CellRow held; FindHeld(id, &held)) {
        before = {true, true, Units(held)};  // a row shown is counted too
    } else if (id > maxIdCounted_) {
        before = {};
    } else {
        known = false;
    }
    if (!known) return Recount(id);

    CellRow now;
    bool counted = false, shown = false;
    if (!read_.ReadRecord(id, &now, &counted, &shown)) {
        Failed();
        return false;
    }
    Counted after{counted, shown, counted ? Units(now) : std::vector<qint64>()};
    totals_.count += (after.shown ? 1 : 0) - (before.shown ? 1 : 0);
    totals_.units.resize(Layout().columns.size(), 0);
    for (size_t c = 0; c < totals_.units.size(); ++c) {
        if (before.counted) totals_.units[c] -= before.units[c];
        if (after.counted) totals_.units[c] += after.units[c];
    }
    const bool stays = before.shown && after.shown;
    counted_[id] = std::move(after);
    beginResetModel();
    // A record that stays where it was is changed in its page; any other change moves rows.
    if (!stays || !PatchHeld(id, now))
        for (auto& [index, page] : pages_) page.stale = true;
    failedSinceRead_ = false;
    endResetModel();
    return true;
}

void ListModel::TakeTotals(ledger::ListTotals&& totals) {
    totals_ = std::move(totals);
    maxIdCounted_ = totals_.maxId;
    counted_.clear();
}

bool ListModel::Recount(qint64 id) {
    // The count and totals read again with the record, in one snapshot; the rows held stay,
    // for only this record changed.
    const bool snapshot = read_.BeginSnapshot();
    ledger::ListTotals totals;
    CellRow now;
    bool counted = false, shown = false;
    const bool ok = read_.ReadTotals(&totals) && read_.ReadRecord(id, &now, &counted, &shown);
    if (snapshot) read_.EndSnapshot();
    if (!ok) {
        Failed();
        return false;
    }
    TakeTotals(std::move(totals));
    counted_[id] = {counted, shown, counted ? Units(now) : std::vector<qint64>()};
    beginResetModel();
    // The pages held were read before this count.
    bool held = false;
    for (auto& [index, page] : pages_) {
        page.withCount = false;
        for (const CellRow& row : page.rows)
            held = held || (row.Count() > 0 && static_cast<qint64>(row.Value(0)) == id);
    }
    // A record held and shown still stays where it was unless the list's order may move it;
    // of one not held it is not known whether it was shown before: the rows may move.
    if (!held || !shown || !PatchHeld(id, now))
        for (auto& [index, page] : pages_) page.stale = true;
    failedSinceRead_ = false;
    endResetModel();
    return true;
}

bool ListModel::PatchHeld(qint64 id, const CellRow& now) {
    const int order = read_.Order().column;
    for (auto& [index, page] : pages_) {
        for (size_t r = 0; r < page.rows.size(); ++r) {
            CellRow& held = page.rows[r];
            if (held.Count() == 0 || static_cast<qint64>(held.Value(0)) != id) continue;
            // In another column's order a new value may belong elsewhere.
            if (order > 0 &&
                (held.Kind(order) != now.Kind(order) || held.Value(order) != now.Value(order) ||
                 held.Text(order) != now.Text(order)))
                return false;
            held = now;
            page.colours[r] = colour_ ? colour_(now) : -1;
            return true;
        }
    }
    return false;
}

void ListModel::Failed() {
    error_ = read_.Error();
    busy_ = read_.Busy();
}

void ListModel::KeepPage(qint64 index, std::vector<CellRow> rows, bool withCount) {
    Page& page = pages_[index];
    page.withCount = withCount;
    page.rows = std::move(rows);
    page.colours.clear();
    for (const CellRow& row : page.rows) page.colours.push_back(colour_ ? colour_(row) : -1);
    page.stale = false;
    page.used = ++clock_;
    DropPagesBeyondKept();
}

void ListModel::DropPagesBeyondKept() {
    while (pages_.size() > static_cast<size_t>(kPagesKept)) {
        auto oldest = std::min_element(
            pages_.begin(), pages_.end(),
            [](const auto& a, const auto& b) { return a.second.used < b.second.used; });
        pages_.erase(oldest);
    }
}

ListModel::Page* ListModel::PageFor(qint64 index) {
    auto it = pages_.find(index);
    if (it != pages_.end() && !it->second.stale) {
        it->second.used = ++clock_;
        return &it->second;
    }
    if (failedSinceRead_) return it != pages_.end() ? &it->second : nullptr;
    std::vector<CellRow> rows;
    bool read = false;
    // In ID order the page after one held is read from that page's last ID, along the
    // table's key, without stepping over the rows before it.
    const auto previous = pages_.find(index - 1);
    if (read_.Order().column == 0 && previous != pages_.end() && !previous->second.stale &&
        previous->second.rows.size() == static_cast<size_t>(kPageRows)) {
        const qint64 lastId = static_cast<qint64>(previous->second.rows.back().Value(0));
        read = read_.ReadPageAfter(lastId, kPageRows, &rows);
    } else {
        read = read_.ReadPage(index * kPageRows, kPageRows, totals_.count, &rows);
    }
    if (!read) {
        failedSinceRead_ = true;
        Failed();
        emit ReadFailed(busy_);
        it = pages_.find(index);
        return it != pages_.end() ? &it->second : nullptr;
    }
    KeepPage(index, std::move(rows), false);
    return &pages_[index];
}

const CellRow& ListModel::Row(int row) {
    if (row < 0 || row >= rowCount()) return empty_;
    Page* page = PageFor(row / kPageRows);
    const size_t at = static_cast<size_t>(row % kPageRows);
    return page && at < page->rows.size() ? page->rows[at] : empty_;
}

qint64 ListModel::RowColour(int row) {
    if (row < 0 || row >= rowCount()) return -1;
    Page* page = PageFor(row / kPageRows);
    const size_t at = static_cast<size_t>(row % kPageRows);
    return page && at < page->colours.size() ? page->colours[at] : -1;
}

bool ListModel::ForEachRow(const std::function<bool(const CellRow&)>& take) {
    if (read_.ReadEach(take)) return true;
    Failed();
    return false;
}

int ListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(totals_.count);
}

int ListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(Layout().columns.size());
}

QVariant ListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid()) return {};
    // The pages are a cache of the store: reading one changes nothing a caller can see.
    auto* self = const_cast<ListModel*>(this);
    if (role == kForeColorRole) {
        const qint64 colour = self->RowColour(index.row());
        return colour < 0 ? QVariant() : QVariant(colour);
    }
    if (role != Qt::DisplayRole) return {};
    const CellRow& row = self->Row(index.row());
    const int c = index.column();
    if (c >= row.Count()) return {};
    switch (row.Kind(c)) {
        case CellKind::Number:
            return row.Value(c);
        case CellKind::Date:
            return UnpackedDate(static_cast<qint64>(row.Value(c)));
        case CellKind::Text:
            return row.Text(c).toString();
    }
    return {};
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 ||
        section >= Layout().columns.size())
        return {};
    return Layout().columns[section].name;
}
