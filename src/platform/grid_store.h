#pragma once
// The cells of a record grid, kept compact: one UTF-16 buffer per row (cell kinds and lengths,
// then the texts, and the numbers and dates as their 8-byte values), styles only where set, as
// column spans per row, so they move with the row when the rows are sorted.

#include <QString>
#include <QStringView>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "common/cell_row.h"

// A rectangle of cells, all bounds inclusive.
struct CellArea {
    int top = 0;
    int left = 0;
    int bottom = 0;
    int right = 0;

    bool Contains(int row, int col) const {
        return row >= top && row <= bottom && col >= left && col <= right;
    }
    bool Intersects(const CellArea& other) const {
        return top <= other.bottom && other.top <= bottom && left <= other.right &&
               other.left <= right;
    }
    bool operator==(const CellArea&) const = default;
};

// What a style change sets; fields not named in `fields` stay as they are.
struct StylePatch {
    enum Field : uint16_t {
        kFore = 1,
        kBack = 2,
        kAlign = 4,
        kBold = 8,
        kLocked = 16,
        kInsideVertical = 32,  // lines between the columns of the span
        kBottom = 64,          // a line under the row
    };
    uint16_t fields = 0;
    uint32_t fore = 0;
    uint32_t back = 0;
    uint8_t align = 0;
    bool bold = false;
    bool locked = false;
    bool insideVertical = false;
    bool bottom = false;
};

// The style of one cell; -1 where nothing was set.
struct CellStyle {
    int64_t fore = -1;
    int64_t back = -1;
    int align = -1;
    bool bold = false;
    bool locked = false;
    bool rightBorder = false;
    bool bottomBorder = false;
};

class GridStore {
  public:
    int Rows() const { return static_cast<int>(rows_.size()); }
    int Cols() const { return cols_; }
    // Growing adds empty rows; shrinking cuts rows off the bottom (with their merges).
    void SetRows(int rows);
    // Shrinking drops the texts, styles and merges beyond the last column.
    void SetCols(int cols);

    // Appends a row: the tab-separated pieces fill columns 1, 2, ...; column 0 stays empty.
    void AppendTabbed(QStringView line);
    // Inserts a row before row at (Rows() appends): the cells fill columns 1, 2, ...
    void InsertCells(int at, const CellRow& cells);
    // Replaces the cells of a row (its styles stay): the cells fill columns 1, 2, ...
    void ReplaceCells(int row, const CellRow& cells);
    void RemoveRows(int first, int count);
    // Rows [first, first + order.size()) become the old rows first + order[i].
    void Reorder(int first, const std::vector<int>& order);
    // A store with the first rows of this one, their merges and its columns.
    GridStore Head(int rows) const;

    CellKind Kind(int row, int col) const;
    // The value of a number or date cell, 0 for a text.
    double Value(int row, int col) const;
    // What the cell shows: its text, or its number or date formatted.
    QString Text(int row, int col) const;
    // The text of a text cell, empty for a number or date.
    QStringView RawText(int row, int col) const;
    bool IsEmpty(int row, int col) const;
    void SetText(int row, int col, QStringView text);
    void SetNumber(int row, int col, double value);

    void ApplyStyle(const CellArea& area, const StylePatch& patch);
    // The fields go back to unset in the cells of area (set by spans inside it).
    void ClearStyle(const CellArea& area, uint16_t fields);
    CellStyle Style(int row, int col) const;

    int Height(int row) const { return rows_[row].height; }  // -1: the default height
    void SetHeight(int row, int height) { rows_[row].height = static_cast<int16_t>(height); }

    // Merging drops the merges it overlaps; a single cell merges nothing.
    void Merge(const CellArea& area);
    const std::vector<CellArea>& Merges() const { return merges_; }
    // Index into Merges() of the merge holding the cell, -1 when it is not merged.
    int MergeAt(int row, int col) const;

  private:
    struct Span {
        uint16_t first;
        uint16_t last;
        uint16_t fields;
        uint8_t align;
        uint8_t flags;  // the boolean fields
        uint32_t fore;
        uint32_t back;
    };
    // One cell of a row buffer: its kind and its units (a text, or the 8 bytes of a value).
    struct Piece {
        CellKind kind = CellKind::Text;
        QStringView units;
    };
    // A row costs 24 bytes and one allocation for its cells: a million-row list is held in a
    // few hundred megabytes.
    struct Row {
        // [cell count][kinds, 2 bits per cell][length of each cell][units of each cell]; null
        // for an empty row. A number's or date's units are its value in the fewest units that
        // give it back exactly (see EncodeValue).
        std::unique_ptr<char16_t[]> cells;
        std::unique_ptr<std::vector<Span>> spans;  // later spans win; null for none
        int16_t height = -1;

        Row() = default;
        Row(Row&&) noexcept = default;
        Row& operator=(Row&&) noexcept = default;
        Row(const Row& other);
        Row& operator=(const Row& other);
    };

    static int CellCount(const Row& row) { return row.cells ? row.cells[0] : 0; }
    static qsizetype Units(const Row& row);
    static void Build(Row& row, const std::vector<Piece>& pieces);
    static std::vector<Piece> Split(const Row& row);
    // Fills columns 1, 2, ... with the cells; those beyond the last column are dropped.
    void BuildFrom(Row& row, const CellRow& cells);
    Piece At(int row, int col) const;
    void SetPiece(int row, int col, const Piece& piece);

    std::vector<Row> rows_;
    std::vector<CellArea> merges_;
    int cols_ = 5;
    // Per cell of a row being built: its length, then a number's or date's encoded units.
    std::vector<std::array<char16_t, 5>> scratchValues_;
};
