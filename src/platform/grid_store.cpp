#include "platform/grid_store.h"

#include <algorithm>
#include <array>
#include <cmath>
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
                const auto old = std::move(row.cells);  // keeps the views alive while rebuilding
                Build(row, pieces);
            }
            if (!row.spans) continue;
            std::erase_if(*row.spans, [cols](const Span& s) { return s.first >= cols; });
            for (Span& s : *row.spans) s.last = std::min<int>(s.last, cols - 1);
            if (row.spans->empty()) row.spans.reset();
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

// A number or date in the fewest units that give it back exactly: a whole number up to 65535
// in one unit, a number of whole hundredths (a price, most amounts) in two, a date's packed
// form in three, any other number as the 4 units of its double. The length tells them apart.
int EncodeValue(CellKind kind, double value, char16_t* units) {
    if (kind == CellKind::Date && value >= 0 && value < 281474976710656.0 &&
        value == std::floor(value)) {
        const auto packed = static_cast<uint64_t>(value);
        units[0] = static_cast<char16_t>(packed & 0xFFFF);
        units[1] = static_cast<char16_t>((packed >> 16) & 0xFFFF);
        units[2] = static_cast<char16_t>(packed >> 32);
        return 3;
    }
    if (kind == CellKind::Number && !std::signbit(value)) {
        if (value <= 65535 && value == std::floor(value)) {
            units[0] = static_cast<char16_t>(value);
            return 1;
        }
    }
    if (kind == CellKind::Number && !(value == 0 && std::signbit(value))) {
        const double hundredths = std::round(value * 100.0);
        if (std::fabs(hundredths) <= 2147483647.0) {
            const auto whole = static_cast<int32_t>(hundredths);
            if (static_cast<double>(whole) / 100.0 == value) {
                std::memcpy(units, &whole, sizeof whole);
                return 2;
            }
        }
    }
    std::memcpy(units, &value, sizeof value);
    return kValueUnits;
}

double UnitsValue(QStringView units) {
    switch (units.size()) {
        case 1:
            return units[0].unicode();
        case 2: {
            int32_t whole = 0;
            std::memcpy(&whole, units.data(), sizeof whole);
            return static_cast<double>(whole) / 100.0;
        }
        case 3:
            return static_cast<double>(uint64_t(units[0].unicode()) |
                                       uint64_t(units[1].unicode()) << 16 |
                                       uint64_t(units[2].unicode()) << 32);
        case kValueUnits: {
            double value = 0;
            std::memcpy(&value, units.data(), sizeof value);
            return value;
        }
    }
    return 0;
}

}  // namespace

qsizetype GridStore::Units(const Row& row) {
    const int count = CellCount(row);
    if (count == 0) return 0;
    const char16_t* lengths = row.cells.get() + 1 + KindUnits(count);
    qsizetype total = 1 + KindUnits(count) + count;
    for (int i = 0; i < count; ++i) total += lengths[i];
    return total;
}

GridStore::Row::Row(const Row& other) : height(other.height) {
    *this = other;
}

GridStore::Row& GridStore::Row::operator=(const Row& other) {
    if (this == &other) return *this;
    const qsizetype units = Units(other);
    cells.reset(units ? new char16_t[units] : nullptr);
    if (units) std::copy_n(other.cells.get(), units, cells.get());
    spans = other.spans ? std::make_unique<std::vector<Span>>(*other.spans) : nullptr;
    height = other.height;
    return *this;
}

void GridStore::Build(Row& row, const std::vector<Piece>& pieces) {
    qsizetype count = static_cast<qsizetype>(pieces.size());
    while (count > 0 && pieces[count - 1].kind == CellKind::Text &&
           pieces[count - 1].units.isEmpty())
        --count;
    if (count == 0) {
        row.cells.reset();
        return;
    }
    const int kindUnits = KindUnits(static_cast<int>(count));
    qsizetype total = 1 + kindUnits + count;
    for (qsizetype i = 0; i < count; ++i) total += std::min(pieces[i].units.size(), kMaxCellLength);
    auto cells = std::make_unique_for_overwrite<char16_t[]>(total);
    char16_t* out = cells.get();
    *out++ = static_cast<char16_t>(count);
    for (int k = 0; k < kindUnits; ++k) {
        char16_t bits = 0;
        for (int j = 0; j < 8 && k * 8 + j < count; ++j)
            bits |= static_cast<char16_t>(static_cast<int>(pieces[k * 8 + j].kind) << (2 * j));
        *out++ = bits;
    }
    for (qsizetype i = 0; i < count; ++i)
        *out++ = static_cast<char16_t>(std::min(pieces[i].units.size(), kMaxCellLength));
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype n = std::min(pieces[i].units.size(), kMaxCellLength);
        std::copy_n(pieces[i].units.utf16(), n, out);
        out += n;
    }
    row.cells = std::move(cells);
}

std::vector<GridStore::Piece> GridStore::Split(const Row& row) {
    const int count = CellCount(row);
    std::vector<Piece> pieces;
    pieces.reserve(count);
    const char16_t* data = row.cells.get();
    const int kindUnits = KindUnits(count);
    const char16_t* lengths = data + 1 + kindUnits;
    qsizetype offset = 1 + kindUnits + count;
    for (int i = 0; i < count; ++i) {
        const qsizetype n = lengths[i];
        const auto kind = static_cast<CellKind>((data[1 + i / 8] >> (2 * (i % 8))) & 3);
        pieces.push_back({kind, QStringView(data + offset, n)});
        offset += n;
    }
    return pieces;
}

void GridStore::BuildFrom(Row& row, const CellRow& cells) {
    // Written straight from the cells: a list fill builds a million rows this way. Column 0
    // stays empty; empty cells at the end are left out as Build leaves them.
    int given = std::min(cells.Count(), cols_ - 1);
    while (given > 0 && cells.Kind(given - 1) == CellKind::Text && cells.Text(given - 1).isEmpty())
        --given;
    if (given == 0) {
        row.cells.reset();
        return;
    }
    const int count = given + 1;
    scratchValues_.resize(count);  // keeps its capacity from row to row
    const int kindUnits = KindUnits(count);
    qsizetype total = 1 + kindUnits + count;
    for (int i = 0; i < given; ++i) {
        auto& value = scratchValues_[i + 1];
        if (cells.Kind(i) == CellKind::Text) {
            value[0] = static_cast<char16_t>(std::min(cells.Text(i).size(), kMaxCellLength));
        } else {
            value[0] = static_cast<char16_t>(EncodeValue(cells.Kind(i), cells.Value(i), &value[1]));
        }
        total += value[0];
    }
    auto buffer = std::make_unique_for_overwrite<char16_t[]>(total);
    char16_t* out = buffer.get();
    *out++ = static_cast<char16_t>(count);
    std::fill_n(out, kindUnits, char16_t(0));
    for (int i = 0; i < given; ++i)
        out[(i + 1) / 8] |=
            static_cast<char16_t>(static_cast<int>(cells.Kind(i)) << (2 * ((i + 1) % 8)));
    out += kindUnits;
    *out++ = 0;  // column 0
    for (int i = 0; i < given; ++i) *out++ = scratchValues_[i + 1][0];
    for (int i = 0; i < given; ++i) {
        const auto& value = scratchValues_[i + 1];
        const char16_t* units = cells.Kind(i) == CellKind::Text ? cells.Text(i).utf16() : &value[1];
        out = std::copy_n(units, value[0], out);
    }
    row.cells = std::move(buffer);
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
    const char16_t* data = r.cells.get();
    const int kindUnits = KindUnits(count);
    const char16_t* lengths = data + 1 + kindUnits;
    qsizetype offset = 1 + kindUnits + count;
    for (int i = 0; i < col; ++i) offset += lengths[i];
    const auto kind = static_cast<CellKind>((data[1 + col / 8] >> (2 * (col % 8))) & 3);
    return {kind, QStringView(data + offset, lengths[col])};
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
    const auto old = std::move(r.cells);  // keeps the views alive while rebuilding
    Build(r, pieces);
}

void GridStore::SetText(int row, int col, QStringView text) {
    SetPiece(row, col, {CellKind::Text, text});
}

void GridStore::SetNumber(int row, int col, double value) {
    char16_t units[kValueUnits];
    const int n = EncodeValue(CellKind::Number, value, units);
    SetPiece(row, col, {CellKind::Number, QStringView(units, n)});
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
        if (!rows_[r].spans) rows_[r].spans = std::make_unique<std::vector<Span>>();
        std::vector<Span>& spans = *rows_[r].spans;
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
        if (!rows_[r].spans) continue;
        std::vector<Span>& spans = *rows_[r].spans;
        for (Span& s : spans)
            if (s.first >= area.left && s.last <= area.right) s.fields &= ~fields;
        std::erase_if(spans, [](const Span& s) { return s.fields == 0; });
        if (spans.empty()) rows_[r].spans.reset();
    }
}

CellStyle GridStore::Style(int row, int col) const {
    CellStyle style;
    if (row < 0 || row >= Rows() || !rows_[row].spans) return style;
    for (const Span& s : *rows_[row].spans) {
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
