#include "platform/grid_store.h"

#include <algorithm>

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
                std::vector<QStringView> texts = Split(row);
                texts.resize(cols);
                const QString old = row.cells;  // keeps the views alive while rebuilding
                Build(row, texts);
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

void GridStore::Build(Row& row, const std::vector<QStringView>& texts) {
    qsizetype count = static_cast<qsizetype>(texts.size());
    while (count > 0 && texts[count - 1].isEmpty()) --count;
    if (count == 0) {
        row.cells = QString();
        return;
    }
    qsizetype total = 1 + count;
    for (qsizetype i = 0; i < count; ++i) total += std::min(texts[i].size(), kMaxCellLength);
    QString cells(total, Qt::Uninitialized);
    QChar* out = cells.data();
    *out++ = QChar(static_cast<char16_t>(count));
    for (qsizetype i = 0; i < count; ++i)
        *out++ = QChar(static_cast<char16_t>(std::min(texts[i].size(), kMaxCellLength)));
    for (qsizetype i = 0; i < count; ++i) {
        const qsizetype n = std::min(texts[i].size(), kMaxCellLength);
        std::copy_n(texts[i].data(), n, out);
        out += n;
    }
    row.cells = std::move(cells);
}

std::vector<QStringView> GridStore::Split(const Row& row) const {
    const int count = CellCount(row);
    std::vector<QStringView> texts;
    texts.reserve(count);
    const QChar* data = row.cells.constData();
    qsizetype offset = 1 + count;
    for (int i = 0; i < count; ++i) {
        const qsizetype n = data[1 + i].unicode();
        texts.emplace_back(data + offset, n);
        offset += n;
    }
    return texts;
}

void GridStore::AppendTabbed(QStringView line) {
    std::vector<QStringView> texts;
    texts.reserve(cols_);
    texts.emplace_back();  // column 0
    for (QStringView piece : line.tokenize(u'\t')) {
        if (static_cast<int>(texts.size()) >= cols_) break;
        texts.push_back(piece);
    }
    rows_.emplace_back();
    Build(rows_.back(), texts);
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

QStringView GridStore::Text(int row, int col) const {
    if (row < 0 || row >= Rows() || col < 0) return {};
    const Row& r = rows_[row];
    const int count = CellCount(r);
    if (col >= count) return {};
    const QChar* data = r.cells.constData();
    qsizetype offset = 1 + count;
    for (int i = 0; i < col; ++i) offset += data[1 + i].unicode();
    return QStringView(data + offset, data[1 + col].unicode());
}

void GridStore::SetText(int row, int col, QStringView text) {
    if (row < 0 || row >= Rows() || col < 0 || col >= cols_) return;
    Row& r = rows_[row];
    std::vector<QStringView> texts = Split(r);
    if (static_cast<int>(texts.size()) <= col) texts.resize(col + 1);
    texts[col] = text;
    const QString old = r.cells;  // keeps the views alive while rebuilding
    Build(r, texts);
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
