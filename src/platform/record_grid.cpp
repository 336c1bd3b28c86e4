#include "platform/record_grid.h"

#include <QCollator>
#include <QFont>
#include <QGuiApplication>
#include <algorithm>
#include <numeric>

#include "common/number_text.h"
#include "platform/grid_accessible.h"

QColor WinColor(qint64 value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

qint64 WinColorValue(const QColor& color) {
    return qint64(color.red()) | (qint64(color.green()) << 8) | (qint64(color.blue()) << 16);
}

RecordGrid::RecordGrid(QWidget* parent) : QAbstractScrollArea(parent), columns_(store_.Cols()) {
    // "Tahoma" is rarely installed here; the last family carries the Chinese glyphs.
    QFont gridFont;
    gridFont.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"),
                          QStringLiteral("WenQuanYi Zen Hei")});
    gridFont.setPointSize(8);
    setFont(gridFont);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    InstallGridAccessibility();
    viewport()->setMouseTracking(true);
    store_.SetRows(1);
    UpdateScrollBars();
}

RecordGrid::~RecordGrid() {
    if (setAside_) QGuiApplication::restoreOverrideCursor();
}

void RecordGrid::Changed() {
    if (!autoRedraw_) {
        layoutPending_ = true;
        return;
    }
    UpdateScrollBars();
    viewport()->update();
}

namespace {

// A window of a source's rows: a screen and a half around the row asked for, so that painting
// a screen, or export row after row, reads each row once.
constexpr int kWindowRows = 160;
constexpr int kWindowBefore = 40;

}  // namespace

int RecordGrid::SourceRows() const {
    return source_ ? source_->rowCount() : 0;
}

int RecordGrid::OwnRow(int row) const {
    if (!source_ || row < fixedRows_) return row;
    const int sourceRows = SourceRows();
    return row < fixedRows_ + sourceRows ? -1 : row - sourceRows;
}

RecordGrid::Place RecordGrid::At(int row) const {
    const int own = OwnRow(row);
    if (own >= 0) return {&store_, own};
    const int sourceRow = row - fixedRows_;
    if (windowFirst_ < 0 || sourceRow < windowFirst_ ||
        sourceRow >= windowFirst_ + window_.Rows()) {
        window_ = GridStore();
        window_.SetCols(store_.Cols());
        windowFirst_ = std::max(0, sourceRow - kWindowBefore);
        const int end = std::min(SourceRows(), windowFirst_ + kWindowRows);
        for (int r = windowFirst_; r < end; ++r) {
            const int at = r - windowFirst_;
            window_.InsertCells(at, source_->Row(r));
            for (const auto& [columns, patch] : sourceStyles_)
                window_.ApplyStyle({at, columns.left, at, columns.right}, patch);
            const qint64 colour = source_->RowColour(r);
            if (colour < 0) continue;
            StylePatch fore;
            fore.fields = StylePatch::kFore;
            fore.fore = static_cast<uint32_t>(colour & 0xFFFFFF);
            // Grid column c shows column c - 1 of the source.
            const auto [first, last] = source_->ColouredColumns();
            window_.ApplyStyle({at, first + 1, at, last < 0 ? Cols() - 1 : last + 1}, fore);
        }
    }
    return {&window_, sourceRow - windowFirst_};
}

std::vector<CellArea> RecordGrid::OwnParts(const CellArea& area, bool* touchesSource) const {
    *touchesSource = false;
    const int sourceRows = SourceRows();
    if (!source_) return {area};
    std::vector<CellArea> parts;
    if (area.top < fixedRows_)
        parts.push_back({area.top, area.left, std::min(area.bottom, fixedRows_ - 1), area.right});
    const int end = fixedRows_ + sourceRows;
    *touchesSource = area.bottom >= fixedRows_ && area.top < end;
    if (area.bottom >= end)
        parts.push_back({std::max(area.top, end) - sourceRows, area.left, area.bottom - sourceRows,
                         area.right});
    return parts;
}

void RecordGrid::ApplyStyle(const CellArea& area, const StylePatch& patch, bool sourceOnly) {
    bool touchesSource = sourceOnly;
    if (!sourceOnly)
        for (const CellArea& part : OwnParts(area, &touchesSource)) store_.ApplyStyle(part, patch);
    if (touchesSource) {
        sourceStyles_.push_back({area, patch});
        windowFirst_ = -1;
    }
    Changed();
}

void RecordGrid::ClearStyle(const CellArea& area, uint16_t fields) {
    bool touchesSource = false;
    for (const CellArea& part : OwnParts(area, &touchesSource)) store_.ClearStyle(part, fields);
    Changed();
}

QString RecordGrid::TextAt(int row, int col) const {
    const Place at = At(row);
    return at.store->Text(at.row, col);
}

QStringView RecordGrid::RawTextAt(int row, int col) const {
    const Place at = At(row);
    return at.store->RawText(at.row, col);
}

bool RecordGrid::EmptyAt(int row, int col) const {
    const Place at = At(row);
    return at.store->IsEmpty(at.row, col);
}

CellStyle RecordGrid::StyleAt(int row, int col) const {
    const Place at = At(row);
    return at.store->Style(at.row, col);
}

CellKind RecordGrid::CellKindAt(int row, int col) const {
    const Place at = At(row);
    return at.store->Kind(at.row, col);
}

double RecordGrid::CellValue(int row, int col) const {
    const Place at = At(row);
    return at.store->Value(at.row, col);
}

std::vector<CellArea> RecordGrid::Merges() const {
    std::vector<CellArea> merges = store_.Merges();
    const int sourceRows = SourceRows();
    if (sourceRows == 0) return merges;
    for (CellArea& m : merges) {
        if (m.top >= fixedRows_) m.top += sourceRows;
        if (m.bottom >= fixedRows_) m.bottom += sourceRows;
    }
    return merges;
}

int RecordGrid::MergeIndex(int row, int col) const {
    const int own = OwnRow(row);
    return own < 0 ? -1 : store_.MergeAt(own, col);
}

CellArea RecordGrid::MergeAreaOf(int row, int col) const {
    const int merge = MergeIndex(row, col);
    return merge < 0 ? CellArea{row, col, row, col} : Merges()[merge];
}

void RecordGrid::SetRowSource(ListModel* source) {
    FinishEdit(true);
    sourceStyles_.clear();
    windowFirst_ = -1;
    if (source == source_) return Changed();
    if (source_) disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    selFirst_ = selLast_ = activeRow_ = activeCol_ = -1;
    if (source) {
        // The rows read anew: those around the selection too.
        connect(source, &QAbstractItemModel::modelReset, this, [this] {
            windowFirst_ = -1;
            if (selFirst_ >= 0 && !IsSelectable(selLast_))
                selFirst_ = selLast_ = activeRow_ = activeCol_ = -1;
            Changed();
        });
    }
    Changed();
}

void RecordGrid::SetRows(int rows) {
    FinishEdit(true);
    store_.SetRows(std::max(0, rows - SourceRows()));
    if (selFirst_ >= Rows() || !IsSelectable(selFirst_)) {
        selFirst_ = selLast_ = activeRow_ = activeCol_ = -1;
    } else {
        selLast_ = std::min(selLast_, Rows() - 1);
        activeRow_ = std::min(activeRow_, selLast_);
    }
    Changed();
}

void RecordGrid::SetCols(int cols) {
    FinishEdit(true);
    store_.SetCols(cols);
    columns_.resize(store_.Cols());
    activeCol_ = std::min(activeCol_, Cols() - 1);
    Changed();
}

void RecordGrid::SetFixedRows(int rows) {
    fixedRows_ = std::max(rows, 0);
    if (selFirst_ >= 0 && !IsSelectable(selFirst_)) selFirst_ = selLast_ = activeRow_ = -1;
    Changed();
}

void RecordGrid::SetFrozenBottomRows(int rows) {
    frozenBottomRows_ = std::max(rows, 0);
    Changed();
}

int RecordGrid::ScrollFirst() const {
    return std::min(fixedRows_, Rows());
}

int RecordGrid::ScrollEnd() const {
    return std::max(ScrollFirst(), Rows() - frozenBottomRows_);
}

bool RecordGrid::IsSelectable(int row) const {
    return row >= fixedRows_ && row < Rows();
}

void RecordGrid::AddItem(const QString& text) {
    store_.AppendTabbed(text);
    Changed();
}

void RecordGrid::AddRow(const CellRow& cells) {
    store_.InsertCells(store_.Rows(), cells);
    Changed();
}

void RecordGrid::InsertRow(int at, const CellRow& cells) {
    FinishEdit(true);
    at = std::clamp(at, 0, Rows());
    if (OwnRow(at) < 0 && at != fixedRows_) return;
    store_.InsertCells(at == fixedRows_ ? fixedRows_ : OwnRow(at), cells);
    if (selFirst_ >= at) {
        ++selFirst_;
        ++selLast_;
        ++activeRow_;
    }
    Changed();
}

void RecordGrid::ReplaceRow(int row, const CellRow& cells) {
    FinishEdit(true);
    if (OwnRow(row) < 0) return;
    store_.ReplaceCells(OwnRow(row), cells);
    Changed();
}

void RecordGrid::BeginRefill(int headerRows) {
    FinishEdit(true);
    // A refill of a long list takes a moment: the cursor says so until it ends.
    if (!setAside_) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    auto aside = std::make_unique<SetAside>();
    aside->store = store_.Head(headerRows);
    std::swap(aside->store, store_);
    aside->frozenBottomRows = frozenBottomRows_;
    aside->selFirst = selFirst_;
    aside->selLast = selLast_;
    aside->activeRow = activeRow_;
    aside->activeCol = activeCol_;
    aside->sortedSinceRefill = sortedSinceRefill_;
    aside->headerRows = std::min(headerRows, Rows());
    for (const ColumnInfo& column : columns_) aside->sortIndicators.push_back(column.sortIndicator);
    // The new rows come in the query's order: an arrow left from a header click would claim a
    // sort that no longer holds (a failed refill brings the arrows back with the old rows).
    for (ColumnInfo& column : columns_) column.sortIndicator = cellSortIndicatorNone;
    setAside_ = std::move(aside);
    sortedSinceRefill_ = false;
    // The previous totals row must not stay frozen while the new rows are added and sorted.
    frozenBottomRows_ = 0;
    if (selFirst_ >= Rows()) selFirst_ = selLast_ = activeRow_ = activeCol_ = -1;
    SetAutoRedraw(false);
}

void RecordGrid::EndRefill() {
    if (!setAside_) return;
    setAside_.reset();
    QGuiApplication::restoreOverrideCursor();
}

void RecordGrid::ReleaseSetAside() {
    if (!setAside_ || setAside_->released) return;
    setAside_->store = GridStore();
    setAside_->released = true;
}

void RecordGrid::CancelRefill() {
    if (!setAside_) return;
    FinishEdit(false);
    SetAside& aside = *setAside_;
    if (aside.released) {
        // The previous rows are gone: rather no rows than a part of them.
        const int headerRows = aside.headerRows;
        setAside_.reset();
        QGuiApplication::restoreOverrideCursor();
        SetRows(headerRows);
        SetAutoRedraw(true);
        return;
    }
    store_ = std::move(aside.store);
    frozenBottomRows_ = aside.frozenBottomRows;
    selFirst_ = aside.selFirst;
    selLast_ = aside.selLast;
    activeRow_ = aside.activeRow;
    activeCol_ = aside.activeCol;
    sortedSinceRefill_ = aside.sortedSinceRefill;
    for (size_t c = 0; c < columns_.size() && c < aside.sortIndicators.size(); ++c)
        columns_[c].sortIndicator = aside.sortIndicators[c];
    setAside_.reset();
    QGuiApplication::restoreOverrideCursor();
    SetAutoRedraw(true);
    Changed();
}

void RecordGrid::RemoveItem(int row) {
    if (row < 0 || row >= Rows()) return;
    RemoveRows(row, 1);
}

void RecordGrid::RemoveRows(int first, int count) {
    FinishEdit(true);
    // The rows of a source go only when the source no longer has them.
    if (OwnRow(first) < 0 || OwnRow(first + count - 1) < 0) return;
    store_.RemoveRows(OwnRow(first), count);
    if (selFirst_ >= 0) {
        const int last = first + count - 1;
        auto shift = [&](int row) {
            if (row > last) return row - count;
            return row >= first ? first : row;  // a removed row gives way to the next one
        };
        selFirst_ = shift(selFirst_);
        selLast_ = shift(selLast_);
        activeRow_ = shift(activeRow_);
        if (selFirst_ >= Rows()) selFirst_ = selLast_ = activeRow_ = Rows() - 1;
        if (!IsSelectable(selFirst_)) selFirst_ = selLast_ = activeRow_ = activeCol_ = -1;
    }
    Changed();
}

QString RecordGrid::CellText(int row, int col) const {
    if (col >= Cols() || row < 0 || row >= Rows()) return {};
    return TextAt(row, col);
}

void RecordGrid::SetCellText(int row, int col, const QString& text) {
    if (OwnRow(row) < 0) return;
    store_.SetText(OwnRow(row), col, text);
    Changed();
}

void RecordGrid::SetCellNumber(int row, int col, double value) {
    if (OwnRow(row) < 0) return;
    store_.SetNumber(OwnRow(row), col, value);
    Changed();
}

GridRange RecordGrid::SourceRange(int firstCol, int lastCol) {
    GridRange range(this,
                    {fixedRows_, firstCol, fixedRows_ + std::max(SourceRows(), 1) - 1, lastCol});
    range.sourceOnly_ = true;
    return range;
}

GridRange RecordGrid::Range(int firstRow, int firstCol, int lastRow, int lastCol) {
    return GridRange(this, {std::min(firstRow, lastRow), std::min(firstCol, lastCol),
                            std::max(firstRow, lastRow), std::max(firstCol, lastCol)});
}

void RecordGrid::SelectRows(int first, int last, int activeRow, int activeCol) {
    selFirst_ = std::min(first, last);
    selLast_ = std::max(first, last);
    activeRow_ = activeRow;
    activeCol_ = activeCol;
    viewport()->update();
    NotifyGridCellFocus(this);
}

void RecordGrid::SortRows(int col, int order, bool keepFrozenRows) {
    FinishEdit(true);
    if (source_) {
        // A source orders its rows itself, and the selected row is another record then.
        if (col < 1 || col > source_->columnCount()) return;
        selFirst_ = selLast_ = activeRow_ = activeCol_ = -1;
        source_->sort(col - 1, order == cellDescending ? Qt::DescendingOrder : Qt::AscendingOrder);
        sortedSinceRefill_ = true;
        return;
    }
    const int first = ScrollFirst();
    const int count = (keepFrozenRows ? ScrollEnd() : Rows()) - first;
    if (col < 0 || col >= Cols() || count < 2) return;
    std::vector<int> orderOfRows(count);
    std::iota(orderOfRows.begin(), orderOfRows.end(), 0);
    const bool descending = order == cellDescending;
    // Empty cells come first, then numbers and dates by value, then texts by the collation.
    // In a numeric column a text counts as the number it starts with (rows added as text).
    const bool numeric = columns_[col].mask == cellValue;
    std::vector<double> values(count);
    std::vector<int> rank(count, 1);
    QCollator collator;
    std::vector<QCollatorSortKey> keys;
    std::vector<int> keyOf(count, -1);
    for (int i = 0; i < count; ++i) {
        const int row = first + i;
        if (store_.Kind(row, col) != CellKind::Text)
            values[i] = store_.Value(row, col);
        else if (numeric)
            values[i] = TextToNumber(store_.RawText(row, col).toString());
        else if (store_.IsEmpty(row, col))
            rank[i] = 0;
        else
            rank[i] = 2;
        if (rank[i] != 2) continue;
        keyOf[i] = static_cast<int>(keys.size());
        keys.push_back(collator.sortKey(store_.RawText(row, col).toString()));
    }
    auto less = [&](int a, int b) {
        if (rank[a] != rank[b]) return rank[a] < rank[b];
        if (rank[a] == 1) return values[a] < values[b];
        return keys[keyOf[a]].compare(keys[keyOf[b]]) < 0;
    };
    std::stable_sort(orderOfRows.begin(), orderOfRows.end(),
                     [&](int a, int b) { return descending ? less(b, a) : less(a, b); });
    store_.Reorder(first, orderOfRows);
    sortedSinceRefill_ = true;
    // The selection follows its record.
    if (selFirst_ >= first && selFirst_ < first + count) {
        const auto at = std::find(orderOfRows.begin(), orderOfRows.end(), selFirst_ - first);
        selFirst_ = selLast_ = activeRow_ = first + static_cast<int>(at - orderOfRows.begin());
    }
    Changed();
}

void RecordGrid::SetBackColor1(qint64 color) {
    backColor1_ = color;
    Changed();
}
void RecordGrid::SetBackColor2(qint64 color) {
    backColor2_ = color;
    Changed();
}
void RecordGrid::SetBackColorBkg(qint64 color) {
    backColorBkg_ = color;
    Changed();
}
void RecordGrid::SetBackColorSel(qint64 color) {
    backColorSel_ = color;
    Changed();
}
void RecordGrid::SetBackColorActiveCellSel(qint64 color) {
    backColorActiveCellSel_ = color;
    Changed();
}
void RecordGrid::SetSelectionBorderColor(qint64 color) {
    selectionBorderColor_ = color;
    Changed();
}
void RecordGrid::SetGridColor(qint64 color) {
    gridColor_ = color;
    Changed();
}
void RecordGrid::SetHideGridLines(bool hide) {
    hideGridLines_ = hide;
    Changed();
}

int RecordGrid::RowHeight(int row) const {
    return row >= 0 && row < Rows() ? HeightOf(row) : defaultRowHeight_;
}

void RecordGrid::SetRowHeight(int row, int height) {
    if (row < 0 || row >= Rows() || OwnRow(row) < 0) return;
    store_.SetHeight(OwnRow(row), std::clamp(height, 0, 0x7FFF));
    Changed();
}

void RecordGrid::SetDefaultRowHeight(int height) {
    defaultRowHeight_ = std::clamp(height, 1, 0x7FFF);
    Changed();
}

void RecordGrid::SetExtendLastCol(bool extend) {
    extendLastCol_ = extend;
    Changed();
}
void RecordGrid::SetReadOnly(bool readOnly) {
    readOnly_ = readOnly;
    if (readOnly) FinishEdit(false);
}
void RecordGrid::SetAllowUserSort(bool allow) {
    allowUserSort_ = allow;
}
void RecordGrid::SetAllowUserResizing(bool allow) {
    allowUserResizing_ = allow;
}

void RecordGrid::SetAutoRedraw(bool redraw) {
    autoRedraw_ = redraw;
    if (redraw && layoutPending_) {
        layoutPending_ = false;
        Changed();
    }
}

void RecordGrid::Refresh() {
    if (!autoRedraw_) return;
    UpdateScrollBars();
    viewport()->update();
}

// --- Cell ---

int GridCell::Alignment() const {
    const int align = grid_->StyleAt(row_, col_).align;
    return align < 0 ? RecordGrid::cellGeneral : align;
}

void GridCell::SetAlignment(int alignment) {
    StylePatch patch;
    patch.fields = StylePatch::kAlign;
    patch.align = static_cast<uint8_t>(alignment);
    grid_->Range(row_, col_, row_, col_).Apply(patch);
}

void GridCell::SetFocus() {
    if (!grid_->IsSelectable(row_) || col_ < 0 || col_ >= grid_->Cols()) return;
    grid_->FinishEdit(true);
    grid_->SelectRows(row_, row_, row_, col_);
    grid_->ScrollToRow(row_);
}

qint64 GridCell::ForeColor() const {
    const int64_t fore = grid_->StyleAt(row_, col_).fore;
    return fore < 0 ? 0 : fore;
}

qint64 GridCell::BackColor() const {
    bool own = false;
    return WinColorValue(grid_->CellBackground(row_, col_, grid_->StyleAt(row_, col_), &own));
}

bool GridCell::FontBold() const {
    return grid_->StyleAt(row_, col_).bold;
}
bool GridCell::Locked() const {
    return grid_->StyleAt(row_, col_).locked;
}

int GridCell::Border(int edge) const {
    const CellStyle style = grid_->StyleAt(row_, col_);
    if (edge == RecordGrid::cellInsideVertical)
        return style.rightBorder ? RecordGrid::cellThin : RecordGrid::cellLineNone;
    if (edge == RecordGrid::cellInsideHorizontal)
        return style.bottomBorder ? RecordGrid::cellThin : RecordGrid::cellLineNone;
    return RecordGrid::cellLineNone;
}

CellArea GridCell::MergeArea() const {
    return grid_->MergeAreaOf(row_, col_);
}

// --- Column ---

int GridColumn::Width() const {
    return col_ >= 0 && col_ < grid_->Cols() ? grid_->columns_[col_].width : 0;
}

void GridColumn::SetWidth(int width) {
    if (col_ < 0 || col_ >= grid_->Cols()) return;
    grid_->columns_[col_].width = std::max(width, 0);
    grid_->Changed();
}

int GridColumn::Alignment() const {
    return col_ >= 0 && col_ < grid_->Cols() ? grid_->columns_[col_].alignment
                                             : RecordGrid::cellGeneral;
}

void GridColumn::SetAlignment(int alignment) {
    if (col_ < 0 || col_ >= grid_->Cols()) return;
    grid_->columns_[col_].alignment = alignment;
    grid_->Changed();
}

int GridColumn::Mask() const {
    return col_ >= 0 && col_ < grid_->Cols() ? grid_->columns_[col_].mask : RecordGrid::cellNoMask;
}

void GridColumn::SetMask(int mask) {
    if (col_ >= 0 && col_ < grid_->Cols()) grid_->columns_[col_].mask = mask;
}

int GridColumn::DecimalLength() const {
    return col_ >= 0 && col_ < grid_->Cols() ? grid_->columns_[col_].decimalLength : 0;
}

void GridColumn::SetDecimalLength(int length) {
    if (col_ >= 0 && col_ < grid_->Cols())
        grid_->columns_[col_].decimalLength = std::max(length, 0);
}

void GridColumn::Sort(int order) {
    grid_->SortRows(col_, order, false);
}

int GridColumn::UserSortIndicator() const {
    return col_ >= 0 && col_ < grid_->Cols() ? grid_->columns_[col_].sortIndicator
                                             : RecordGrid::cellSortIndicatorNone;
}

void GridColumn::SetUserSortIndicator(int indicator) {
    if (col_ < 0 || col_ >= grid_->Cols()) return;
    // One arrow at most: the rows are in one column's order only.
    if (indicator != RecordGrid::cellSortIndicatorNone)
        for (RecordGrid::ColumnInfo& column : grid_->columns_)
            column.sortIndicator = RecordGrid::cellSortIndicatorNone;
    grid_->columns_[col_].sortIndicator = indicator;
    grid_->Changed();
}

// --- Range ---

void GridRange::Apply(const StylePatch& patch) {
    grid_->ApplyStyle(area_, patch, sourceOnly_);
}

void GridRange::Merge() {
    bool touchesSource = false;
    const std::vector<CellArea> parts = grid_->OwnParts(area_, &touchesSource);
    // A merge over a source's rows would hide records.
    if (touchesSource || parts.size() != 1) return;
    grid_->store_.Merge(parts.front());
    grid_->Changed();
}

void GridRange::SetForeColor(qint64 color) {
    StylePatch patch;
    patch.fields = StylePatch::kFore;
    patch.fore = static_cast<uint32_t>(color & 0xFFFFFF);
    Apply(patch);
}

void GridRange::SetBackColor(qint64 color) {
    StylePatch patch;
    patch.fields = StylePatch::kBack;
    patch.back = static_cast<uint32_t>(color & 0xFFFFFF);
    Apply(patch);
}

void GridRange::SetFontBold(bool bold) {
    StylePatch patch;
    patch.fields = StylePatch::kBold;
    patch.bold = bold;
    Apply(patch);
}

void GridRange::SetLocked(bool locked) {
    StylePatch patch;
    patch.fields = StylePatch::kLocked;
    patch.locked = locked;
    Apply(patch);
}

void GridRange::ResetForeColor() {
    grid_->ClearStyle(area_, StylePatch::kFore);
}

void GridRange::SetBottomLines(bool on) {
    StylePatch patch;
    patch.fields = StylePatch::kBottom;
    patch.bottom = on;
    Apply(patch);
}

void GridRange::Borders(int edge, int style) {
    const bool on = style != RecordGrid::cellLineNone;
    StylePatch patch;
    if (edge == RecordGrid::cellInsideVertical) {
        patch.fields = StylePatch::kInsideVertical;
        patch.insideVertical = on;
        Apply(patch);
    } else if (edge == RecordGrid::cellInsideHorizontal && sourceOnly_) {
        // The rows of a source come and go: each has its line.
        patch.fields = StylePatch::kBottom;
        patch.bottom = on;
        Apply(patch);
    } else if (edge == RecordGrid::cellInsideHorizontal && area_.bottom > area_.top) {
        // The lines between the rows: under every row but the last.
        patch.fields = StylePatch::kBottom;
        patch.bottom = on;
        GridRange(grid_, {area_.top, area_.left, area_.bottom - 1, area_.right}).Apply(patch);
    }
}

// --- Selection ---

int GridSelection::FirstRow() const {
    return grid_->selFirst_;
}
int GridSelection::LastRow() const {
    return grid_->selLast_;
}

void GridSelection::DeleteByRow() {
    if (grid_->selFirst_ < 0) return;
    grid_->RemoveRows(grid_->selFirst_, grid_->selLast_ - grid_->selFirst_ + 1);
}
