#include "platform/grid_store.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "common/date_text.h"
#include "common/number_text.h"

namespace {

enum SpanFlag : uint8_t {
    kFlagBold = 1,
    kFlagLocked = 2,
    kFlagInsideVertical = 4,
    kFlagBottom = 8,
};

// A cell length is one UTF-16 unit in the row buffer.
constexpr qsizetype kMaxCellLength = 0xFFFF;
constexpr int kMaxCols = 0xFFFF;

}  // namespace

void GridStore::SetRows(int rows) {
    rows = std::max(rows, 0);
    if (rows < Rows()) {
        std::erase_if(merges_, [rows](const CellArea& m) { return m.top >= rows; });
        for (CellArea& m : merges_) m.bottom = std::min(m.bottom, rows - 1);
        std::erase_if(merges_,
                      [](const CellArea& m) { return m.top == m.bottom && m.left == m.right; });
    }
    rows_.resize(rows);
}

void GridStore::SetCols(int cols) {
    cols = std::clamp(cols, 1, kMaxCols);
    if (cols < cols_) {
        for (Row& row : rows_) {
            if (CellCount(row) > cols) {
                std::vector<Piece> pieces = Split(row);
                pieces.resize(cols);
                const QString old = row.cells;  // keeps the views alive while rebuilding
                Build(row, pieces);
            }
            std::erase_if(row.spans, [cols](const Span& s) { return s.first >= cols; });
            for (Span& s : row.spans) s.last = std::min<int>(s.last, cols - 1);
        }
        std::erase_if(merges_, [cols](const CellArea& m) { return m.left >= cols; });
        for (CellArea& m : merges_) m.right = std::min(m.right, cols - 1);
        std::erase_if(merges_,
                      [](const CellArea& m) { return m.top == m.bottom && m.left == m.right; });
    }
    cols_ = cols;
}

namespace {

constexpr qsizetype kValueUnits = sizeof(double) / sizeof(char16_t);

int KindUnits(int count) {
    return (count + 7) / 8;
}

// The units of a number or date: the bytes of its value.
void ValueUnits(double value, char16_t (&units)[kValueUnits]) {
    std::memcpy(units, &value, sizeof value);
}

double UnitsValue(QStringView units) {
    double value = 0;
    if (units.size() == kValueUnits) std::memcpy(&value, units.data(), sizeof value);
    return value;
}

}  // namespace

void GridStore::Build(Row& row, const std::vector<Piece>& pieces) {
    qsizetype count = static_cast<qsizetype>(pieces.size());
    while (count > 0 && pieces[count - 1].kind == CellKind::Text &&
           pieces[count - 1].units.isEmpty())
        --count;
    if (count == 0) {
        row.cells = QString();
        return;
    }
    const int kindUnits = KindUnits(static_cast<int>(count));
    qsizetype total = 1 + kindUnits + count;
    for (qsizetype i = 0; i < count; ++i) total += std::min(pieces[i].units.size(), kMaxCellLength);
    QString cells(total, Qt::Uninitialized);
    QChar* out = cells.data();
    *out++ = QChar(static_cast<char16_t>(count));
    for (int k = 0; k < kindUnits; ++k) {
        char16_t bits = 0;
        for (int j = 0; j < 8 && k * 8 + j < count; ++j)
            bits |= static_cast<char16_t>(static_cast<int>(pieces[k * 8 + j].kind) << (2 * j));
        *out++ = QChar(bits);
    }
    for (qsizetype i = 0; i < count; ++i)
        *out++ = QChar(static_cast<char16_t>(std::min(pieces[i].units.size(), kMaxCellLength)));
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype n = std::min(pieces[i].units.size(), kMaxCellLength);
        std::copy_n(pieces[i].units.data(), n, out);
        out += n;
    }
    row.cells = std::move(cells);
}

std::vector<GridStore::Piece> GridStore::Split(const Row& row) {
    const int count = CellCount(row);
    std::vector<Piece> pieces;
    pieces.reserve(count);
    const QChar* data = row.cells.constData();
    const int kindUnits = KindUnits(count);
    const QChar* lengths = data + 1 + kindUnits;
    qsizetype offset = 1 + kindUnits + count;
    for (int i = 0; i < count; ++i) {
        const qsizetype n = lengths[i].unicode();
        const auto kind = static_cast<CellKind>((data[1 + i / 8].unicode() >> (2 * (i % 8))) & 3);
        pieces.push_back({kind, QStringView(data + offset, n)});
        offset += n;
    }
    return pieces;
}

void GridStore::BuildFrom(Row& row, const CellRow& cells) {
    // The scratch vectors keep their capacity from row to row of a fill.
    const int count = std::min(cells.Count(), cols_ - 1);
    scratchPieces_.clear();
    scratchPieces_.emplace_back();  // column 0
    scratchValues_.resize(count);
    for (int i = 0; i < count; ++i) {
        if (cells.Kind(i) == CellKind::Text) {
            scratchPieces_.push_back({CellKind::Text, cells.Text(i)});
            continue;
        }
        char16_t units[kValueUnits];
        ValueUnits(cells.Value(i), units);
        std::copy_n(units, kValueUnits, scratchValues_[i].begin());
        scratchPieces_.push_back(
            {cells.Kind(i), QStringView(scratchValues_[i].data(), kValueUnits)});
    }
    Build(row, scratchPieces_);
}

void GridStore::AppendTabbed(QStringView line) {
    std::vector<Piece> pieces;
    pieces.reserve(cols_);
    pieces.emplace_back();  // column 0
    for (QStringView piece : line.tokenize(u'\t')) {
        if (static_cast<int>(pieces.size()) >= cols_) break;
        pieces.push_back({CellKind::Text, piece});
    }
    rows_.emplace_back();
    Build(rows_.back(), pieces);
}

void GridStore::InsertCells(int at, const CellRow& cells) {
    at = std::clamp(at, 0, Rows());
    Row row;
    BuildFrom(row, cells);
    rows_.insert(rows_.begin() + at, std::move(row));
    for (CellArea& m : merges_) {
        if (m.top >= at) ++m.top;
        if (m.bottom >= at) ++m.bottom;
    }
}

void GridStore::ReplaceCells(int row, const CellRow& cells) {
    if (row < 0 || row >= Rows()) return;
    BuildFrom(rows_[row], cells);
}

void GridStore::RemoveRows(int first, int count) {
    if (first < 0 || count <= 0 || first >= Rows()) return;
    count = std::min(count, Rows() - first);
    rows_.erase(rows_.begin() + first, rows_.begin() + first + count);
    const int last = first + count - 1;
    for (CellArea& m : merges_) {
        // Rows of a merge that are removed leave it; rows below it move up.
        const int removedInside =
            std::max(0, std::min(m.bottom, last) - std::max(m.top, first) + 1);
        const int removedAbove = std::max(0, std::min(m.top - 1, last) - first + 1);
        m.top -= removedAbove;
        m.bottom -= removedAbove + removedInside;
    }
    std::erase_if(merges_, [](const CellArea& m) {
        return m.bottom < m.top || (m.top == m.bottom && m.left == m.right);
    });
}

void GridStore::Reorder(int first, const std::vector<int>& order) {
    std::vector<Row> moved;
    moved.reserve(order.size());
    for (int from : order) moved.push_back(std::move(rows_[first + from]));
    std::move(moved.begin(), moved.end(), rows_.begin() + first);
}

GridStore GridStore::Head(int rows) const {
    GridStore head;
    head.cols_ = cols_;
    rows = std::clamp(rows, 0, Rows());
    head.rows_.assign(rows_.begin(), rows_.begin() + rows);
    for (const CellArea& m : merges_)
        if (m.bottom < rows) head.merges_.push_back(m);
    return head;
}

GridStore::Piece GridStore::At(int row, int col) const {
    if (row < 0 || row >= Rows() || col < 0) return {};
    const Row& r = rows_[row];
    const int count = CellCount(r);
    if (col >= count) return {};
    const QChar* data = r.cells.constData();
    const int kindUnits = KindUnits(count);
    const QChar* lengths = data + 1 + kindUnits;
    qsizetype offset = 1 + kindUnits + count;
    for (int i = 0; i < col; ++i) offset += lengths[i].unicode();
    const auto kind = static_cast<CellKind>((data[1 + col / 8].unicode() >> (2 * (col % 8))) & 3);
    return {kind, QStringView(data + offset, lengths[col].unicode())};
}

CellKind GridStore::Kind(int row, int col) const {
    return At(row, col).kind;
}

double GridStore::Value(int row, int col) const {
    const Piece piece = At(row, col);
    return piece.kind == CellKind::Text ? 0.0 : UnitsValue(piece.units);
}

QString GridStore::Text(int row, int col) const {
    const Piece piece = At(row, col);
    QString text;
    switch (piece.kind) {
        case CellKind::Text:
            return piece.units.toString();
        case CellKind::Number:
            AppendNumberText(UnitsValue(piece.units), &text);
            return text;
        case CellKind::Date:
            AppendPackedDateText(static_cast<qint64>(UnitsValue(piece.units)), &text);
            return text;
    }
    return text;
}

QStringView GridStore::RawText(int row, int col) const {
    const Piece piece = At(row, col);
    return piece.kind == CellKind::Text ? piece.units : QStringView();
}

bool GridStore::IsEmpty(int row, int col) const {
    const Piece piece = At(row, col);
    return piece.kind == CellKind::Text && piece.units.isEmpty();
}

void GridStore::SetPiece(int row, int col, const Piece& piece) {
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_) return;
    Row& r = rows_[row];
    std::vector<Piece> pieces = Split(r);
    if (static_cast<int>(pieces.size()) <= col) pieces.resize(col + 1);
    pieces[col] = piece;
    const QString old = r.cells;  // keeps the views alive while rebuilding
    Build(r, pieces);
}

void GridStore::SetText(int row, int col, QStringView text) {
    SetPiece(row, col, {CellKind::Text, text});
}

void GridStore::SetNumber(int row, int col, double value) {
    char16_t units[kValueUnits];
    ValueUnits(value, units);
    SetPiece(row, col, {CellKind::Number, QStringView(units, kValueUnits)});
}

void GridStore::ApplyStyle(const CellArea& area, const StylePatch& patch) {
    const int top = std::max(area.top, 0);
    const int bottom = std::min(area.bottom, Rows() - 1);
    const int left = std::max(area.left, 0);
    const int right = std::min(area.right, cols_ - 1);
    if (top > bottom || left > right || patch.fields == 0) return;
    Span span{static_cast<uint16_t>(left),
              static_cast<uint16_t>(right),
              patch.fields,
              patch.align,
              0,
              patch.fore,
              patch.back};
    if (patch.bold) span.flags |= kFlagBold;
    if (patch.locked) span.flags |= kFlagLocked;
    if (patch.insideVertical) span.flags |= kFlagInsideVertical;
    if (patch.bottom) span.flags |= kFlagBottom;
    for (int r = top; r <= bottom; ++r) {
        std::vector<Span>& spans = rows_[r].spans;
        // An earlier span inside the new one no longer shows the fields the new one sets, so
        // repeated fills do not pile spans up.
        for (Span& old : spans)
            if (old.first >= span.first && old.last <= span.last) old.fields &= ~span.fields;
        std::erase_if(spans, [](const Span& s) { return s.fields == 0; });
        spans.push_back(span);
    }
}

void GridStore::ClearStyle(const CellArea& area, uint16_t fields) {
    const int top = std::max(area.top, 0);
    const int bottom = std::min(area.bottom, Rows() - 1);
    for (int r = top; r <= bottom; ++r) {
        std::vector<Span>& spans = rows_[r].spans;
        for (Span& s : spans)
            if (s.first >= area.left && s.last <= area.right) s.fields &= ~fields;
        std::erase_if(spans, [](const Span& s) { return s.fields == 0; });
    }
}

CellStyle GridStore::Style(int row, int col) const {
    CellStyle style;
    if (row < 0 || row >= Rows()) return style;
    for (const Span& s : rows_[row].spans) {
        if (col < s.first || col > s.last) continue;
        if (s.fields & StylePatch::kFore) style.fore = s.fore;
        if (s.fields & StylePatch::kBack) style.back = s.back;
        if (s.fields & StylePatch::kAlign) style.align = s.align;
        if (s.fields & StylePatch::kBold) style.bold = s.flags & kFlagBold;
        if (s.fields & StylePatch::kLocked) style.locked = s.flags & kFlagLocked;
        if ((s.fields & StylePatch::kInsideVertical) && col < s.last)
            style.rightBorder = s.flags & kFlagInsideVertical;
        if (s.fields & StylePatch::kBottom) style.bottomBorder = s.flags & kFlagBottom;
    }
    return style;
}

void GridStore::Merge(const CellArea& area) {
    CellArea m{std::max(area.top, 0), std::max(area.left, 0), std::min(area.bottom, Rows() - 1),
               std::min(area.right, cols_ - 1)};
    if (m.top > m.bottom || m.left > m.right) return;
    std::erase_if(merges_, [&m](const CellArea& old) { return old.Intersects(m); });
    if (m.top == m.bottom && m.left == m.right) return;
    merges_.push_back(m);
}

int GridStore::MergeAt(int row, int col) const {
    for (size_t i = 0; i < merges_.size(); ++i)
        if (merges_[i].Contains(row, col)) return static_cast<int>(i);
    return -1;
}
