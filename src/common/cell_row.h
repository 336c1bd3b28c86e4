#pragma once
// One row of list cells on its way into a list: each cell keeps its value (a text, a number
// or a date) rather than display text, so that a character typed into a field can never move
// a cell, and sorting and export see numbers and dates for what they are.

#include <QString>
#include <QStringView>
#include <cstdint>
#include <vector>

enum class CellKind : uint8_t { Text = 0, Number = 1, Date = 2 };

class CellRow {
  public:
    // Empties the row and keeps its buffers for the next one.
    void Clear();
    void AddText(QStringView text);
    // A text given as UTF-8, decoded straight into the row; malformed bytes become U+FFFD.
    void AddUtf8(const char* bytes, qsizetype length);
    void AddNumber(double value);
    // packed: PackedDate form (YYYYMMDDhhmmss).
    void AddDate(qint64 packed);
    void AddEmpty() { AddText({}); }

    int Count() const { return static_cast<int>(cells_.size()); }
    CellKind Kind(int i) const { return cells_[i].kind; }
    // The value of a number or date cell.
    double Value(int i) const { return cells_[i].value; }
    // The value of a number cell, 0 for the others.
    double Number(int i) const { return cells_[i].kind == CellKind::Number ? cells_[i].value : 0; }
    // The text of a text cell; empty for the others.
    QStringView Text(int i) const;

  private:
    struct Cell {
        CellKind kind;
        double value;
        qsizetype offset;
        qsizetype length;
    };
    std::vector<Cell> cells_;
    QString texts_;
};
