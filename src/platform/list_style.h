#pragma once

#include <initializer_list>
// The look every list shares after a fill: selection and row colours, grid lines and the
// bold totals row, from the settings of config.ini.

class RecordGrid;

// A column's width as a fraction of its host's width, cut to whole pixels.
int ColumnWidth(double fraction, int hostWidth);

// Selected row and active cell yellow, selection border green, odd and even rows from
// bgone and bgtwo, white below the rows.
void ApplyListColours(RecordGrid* grid);

// Grid lines by the line setting over the given cells: "2" vertical lines only, "1"
// horizontal lines only (both on white cells), anything else grey lines everywhere.
void ApplyGridLines(RecordGrid* grid, int firstRow, int firstCol, int lastRow, int lastCol);

// Freezes the last row (the totals row) at the bottom and gives its columns firstCol to
// lastCol the lastcolor background and bold text.
void StyleTotalsRow(RecordGrid* grid, int firstCol, int lastCol);

// Starts a fill: the grid cut to its header rows, no frozen row, painting suspended.
void BeginListFill(RecordGrid* grid, int headerRows);

// A right-click or double-click on a list: the cell under (x, y) becomes the active cell,
// SelectedRow its row and SelectedId empty for the caller to fill. Returns row and column
// (-1 where there is none).
struct ClickedCell {
    int row = -1;
    int col = -1;
};
ClickedCell SelectClickedCell(RecordGrid* grid, int x, int y);

// A caption of header row 0 merged over its columns.
struct HeaderGroup {
    int first;
    int last;
    const char* caption;
};

// Starts a list with two header rows: rows and columns to begin with, user sizing and
// sorting, the last column stretched, header rows of 26 and 23 pixels, the groups of row 0
// and the captions of row 1 from firstCaptionColumn on. Painting stays suspended.
void SetUpTwoRowHeader(RecordGrid* grid, int rows, int cols,
                       std::initializer_list<HeaderGroup> groups, int firstCaptionColumn,
                       std::initializer_list<const char*> captions);

// A double-click on a list: SelectedRow becomes the row under the mouse and SelectedId the
// text of its ID column when the mouse is on a data cell (row 2 on, column 2 on); true when
// that text names a record.
bool SelectDoubleClickedRecord(RecordGrid* grid);
