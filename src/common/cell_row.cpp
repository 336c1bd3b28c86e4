#include "common/cell_row.h"

void CellRow::Clear() {
    cells_.clear();
    texts_.truncate(0);  // keeps the capacity
}

void CellRow::AddText(QStringView text) {
    cells_.push_back({CellKind::Text, 0.0, texts_.size(), text.size()});
    texts_.append(text);
}

void CellRow::AddUtf8(const char* bytes, qsizetype length) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes);
    const qsizetype start = texts_.size();
    texts_.resize(start + length);  // never more UTF-16 units than UTF-8 bytes
    QChar* out = texts_.data() + start;
    qsizetype written = 0;
    qsizetype i = 0;
    while (i < length) {
        const unsigned char c = s[i];
        char32_t code;
        int extra;
        if (c < 0x80) {
            out[written++] = QChar(c);
            ++i;
            continue;
        }
        if ((c & 0xE0) == 0xC0)
            code = c & 0x1F, extra = 1;
        else if ((c & 0xF0) == 0xE0)
            code = c & 0x0F, extra = 2;
        else if ((c & 0xF8) == 0xF0)
            code = c & 0x07, extra = 3;
        else
            code = 0xFFFD, extra = 0;
        int k = 1;
        for (; k <= extra; ++k) {
            if (i + k >= length || (s[i + k] & 0xC0) != 0x80) break;
            code = (code << 6) | (s[i + k] & 0x3F);
        }
        if (k <= extra) code = 0xFFFD;
        i += k;
        if (code >= 0x10000 && code <= 0x10FFFF) {
            out[written++] = QChar(static_cast<char16_t>(0xD800 + ((code - 0x10000) >> 10)));
            out[written++] = QChar(static_cast<char16_t>(0xDC00 + ((code - 0x10000) & 0x3FF)));
        } else {
            out[written++] = QChar(static_cast<char16_t>(code > 0x10FFFF ? 0xFFFD : code));
        }
    }
    texts_.truncate(start + written);
    cells_.push_back({CellKind::Text, 0.0, start, written});
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
