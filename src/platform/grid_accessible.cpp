#include "platform/grid_accessible.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <algorithm>

#include "platform/record_grid.h"

namespace {

// The cells a table keeps before it lets go of them all: an assistive tool that walks a long
// list does not hold every cell it passed.
constexpr int kCachedCells = 4096;

// The grid's shown columns after the row-header column, in their order.
QList<int> ShownColumns(RecordGrid* grid) {
    QList<int> shown;
    for (int col = 1; col < grid->Cols(); ++col)
        if (grid->Column(col).Width() > 0) shown << col;
    return shown;
}

class GridCellAccessible : public QAccessibleInterface, public QAccessibleTableCellInterface {
  public:
    GridCellAccessible(RecordGrid* grid, int row, int col) : grid_(grid), row_(row), col_(col) {}

    bool isValid() const override {
        return grid_ && row_ >= grid_->FixedRows() && row_ < grid_->Rows() && col_ >= 1 &&
               col_ < grid_->Cols();
    }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return grid_ ? QAccessible::queryAccessibleInterface(grid_) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override {
        if (t != QAccessible::Name || !isValid()) return QString();
        return grid_->CellText(row_, col_);
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override {
        if (!isValid()) return QRect();
        const QRect cell = grid_->CellRect(row_, col_);
        if (cell.isEmpty()) return QRect();
        return QRect(grid_->mapToGlobal(cell.topLeft()), cell.size());
    }
    QAccessible::Role role() const override { return QAccessible::Cell; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        state.selected = isSelected();
        state.focused =
            grid_->hasFocus() && grid_->ActiveRow() == row_ && grid_->ActiveCol() == col_;
        state.invisible = grid_->CellRect(row_, col_).isEmpty();
        state.readOnly = true;
        return state;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override {
        GridSelection selection = grid_->Selection();
        return selection.FirstRow() >= 0 && row_ >= selection.FirstRow() &&
               row_ <= selection.LastRow();
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return grid_ ? ShownColumns(grid_).indexOf(col_) : -1; }
    int rowIndex() const override { return grid_ ? row_ - grid_->FixedRows() : -1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

  private:
    QPointer<RecordGrid> grid_;
    int row_;
    int col_;
};

class GridTable : public QAccessibleWidget, public QAccessibleTableInterface {
  public:
    explicit GridTable(RecordGrid* grid) : QAccessibleWidget(grid, QAccessible::Table) {}
    ~GridTable() override { Forget(); }

    RecordGrid* Grid() const { return static_cast<RecordGrid*>(widget()); }

    QString text(QAccessible::Text t) const override {
        QString text = QAccessibleWidget::text(t);
        if (t == QAccessible::Name && text.isEmpty()) text = Grid()->ListName();
        if (t == QAccessible::Name && text.isEmpty()) text = QStringLiteral("列表");
        return text;
    }
    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The cells are the table's children, row by row.
    int childCount() const override { return rowCount() * columnCount(); }
    QAccessibleInterface* child(int index) const override {
        const int columns = columnCount();
        if (index < 0 || columns == 0 || index >= childCount()) return nullptr;
        return cellAt(index / columns, index % columns);
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child || child->role() != QAccessible::Cell || child->parent() != this) return -1;
        auto* cell = const_cast<QAccessibleInterface*>(child)->tableCellInterface();
        if (!cell || cell->rowIndex() < 0 || cell->columnIndex() < 0) return -1;
        return cell->rowIndex() * columnCount() + cell->columnIndex();
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        RecordGrid* grid = Grid();
        const QPoint local = grid->mapFromGlobal(QPoint(x, y));
        const auto [row, col] = grid->CellAt(local.x(), local.y());
        const int column = ShownColumns(grid).indexOf(col);
        return column < 0 ? nullptr : cellAt(row - grid->FixedRows(), column);
    }

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override {
        const QList<int> shown = ShownColumns(Grid());
        if (row < 0 || row >= rowCount() || column < 0 || column >= shown.size()) return nullptr;
        MakeRoom(1);
        return Cell(Grid()->FixedRows() + row, shown[column]);
    }
    int rowCount() const override { return std::max(0, Grid()->Rows() - Grid()->FixedRows()); }
    int columnCount() const override { return static_cast<int>(ShownColumns(Grid()).size()); }
    QString columnDescription(int column) const override {
        const QList<int> shown = ShownColumns(Grid());
        if (column < 0 || column >= shown.size()) return QString();
        // The header rows' texts from the top: a group's caption merged over several columns,
        // then the column's own ("进货 数量" and "销售 数量" are two columns).
        QStringList texts;
        for (int row = 0; row < Grid()->FixedRows(); ++row) {
            const CellArea area = Grid()->Cell(row, shown[column]).MergeArea();
            if (area.top != row) continue;  // a merge over the rows was read at its top
            const QString text = Grid()->CellText(area.top, area.left);
            if (!text.isEmpty() && !texts.contains(text)) texts << text;
        }
        return texts.join(QLatin1Char(' '));
    }
    QString rowDescription(int) const override { return QString(); }
    int selectedCellCount() const override { return selectedRowCount() * columnCount(); }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return static_cast<int>(selectedRows().size()); }
    // The selection is one block of rows; a long one is given by its first rows, as many as
    // the cache holds the cells of at once.
    QList<QAccessibleInterface*> selectedCells() const override {
        const QList<int> shown = ShownColumns(Grid());
        const QList<int> rows = selectedRows();
        QList<QAccessibleInterface*> cells;
        MakeRoom(static_cast<int>(rows.size() * shown.size()));
        for (int row : rows)
            for (int col : shown) cells << Cell(Grid()->FixedRows() + row, col);
        return cells;
    }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override {
        GridSelection selection = Grid()->Selection();
        QList<int> rows;
        if (selection.FirstRow() < 0) return rows;
        const int first = std::max(selection.FirstRow(), Grid()->FixedRows());
        const int most = kCachedCells / std::max<int>(1, columnCount());
        for (int row = first; row <= selection.LastRow() && rows.size() < most; ++row)
            rows << row - Grid()->FixedRows();
        return rows;
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override { return selectedRows().contains(row); }
    bool selectRow(int row) override {
        const QList<int> shown = ShownColumns(Grid());
        if (row < 0 || row >= rowCount() || shown.isEmpty()) return false;
        Grid()->Cell(Grid()->FixedRows() + row, shown.first()).SetFocus();
        return true;
    }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent*) override {}

  private:
    // One interface per cell while the cache holds it, so that a tool sees the same cell twice
    // as the same object. The cache is emptied only before a call hands out cells, never
    // while it collects them.
    void MakeRoom(int count) const {
        if (cells_.size() + count > kCachedCells) Forget();
    }
    QAccessibleInterface* Cell(int row, int col) const {
        const qint64 key = (static_cast<qint64>(row) << 16) | col;
        if (const auto found = cells_.constFind(key); found != cells_.constEnd())
            return QAccessible::accessibleInterface(*found);
        auto* cell = new GridCellAccessible(Grid(), row, col);
        cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }
    void Forget() const {
        for (QAccessible::Id id : std::as_const(cells_)) QAccessible::deleteAccessibleInterface(id);
        cells_.clear();
    }

    mutable QHash<qint64, QAccessible::Id> cells_;
};

QAccessibleInterface* GridFactory(const QString& className, QObject* object) {
    if (className != QLatin1String("RecordGrid")) return nullptr;
    auto* grid = qobject_cast<RecordGrid*>(object);
    return grid ? new GridTable(grid) : nullptr;
}

}  // namespace

void InstallGridAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(GridFactory);
        return true;
    }();
    (void)installed;
}

void NotifyGridCellFocus(RecordGrid* grid) {
    if (!QAccessible::isActive() || !grid->hasFocus()) return;
    const int row = grid->ActiveRow() - grid->FixedRows();
    const int column = ShownColumns(grid).indexOf(grid->ActiveCol());
    if (row < 0 || column < 0) return;
    QAccessibleEvent event(grid, QAccessible::Focus);
    event.setChild(row * static_cast<int>(ShownColumns(grid).size()) + column);
    QAccessible::updateAccessibility(&event);
}
