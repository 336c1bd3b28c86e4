#include "common/cell_row.h"

void CellRow::Clear() {
    cells_.clear();
    texts_.truncate(0);  // keeps the capacity
}

void CellRow::AddText(QStringView text) {
    cells_.push_back({CellKind::Text, 0.0, texts_.size(), text.size()});
    texts_.append(text);
}

void CellRow::AddNumber(double value) {
    cells_.push_back({CellKind::Number, value, 0, 0});
}

void CellRow::AddDate(qint64 packed) {
    cells_.push_back({CellKind::Date, static_cast<double>(packed), 0, 0});
}

QStringView CellRow::Text(int i) const {
    const Cell& cell = cells_[i];
    if (cell.kind != CellKind::Text) return {};
    return QStringView(texts_).mid(cell.offset, cell.length);
}
