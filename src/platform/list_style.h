#pragma once

#include <QList>
#include <QPointer>
#include <QString>
#include <initializer_list>

#include "ledger/list_read.h"
#include "lists/list_model.h"

class CellRow;
class ListQuery;
// The look every list shares after a fill: selection and row colours, grid lines and the
// bold totals row, from the settings of config.ini.

class RecordGrid;
class GridRange;

// A column's width as a fraction of its host's width, cut to whole pixels.
int ColumnWidth(double fraction, int hostWidth);
// Column 0 (the row headers) 20 wide, columns 1 to first - 1 hidden, first to last the given
// fractions of the grid's width (widths[0] is first's), and costColumns 0 wide for a user who
// may not see costs.
void LayOutColumns(RecordGrid* g, const double* widths, int first, int last,
                   const QList<int>& costColumns);
// Widens a shown column col of grid to hold widest (a 13-digit code, the longest date) in the
// grid's font, taking the pixels from column donor, which keeps at least 40.
void WidenToFit(RecordGrid* grid, int col, const QString& widest, int donor);
// The widest text of a barcode and of a date as the lists show them.
inline const QString kWidestCode = QStringLiteral("6901234567890");
inline const QString kWidestDate = QStringLiteral("2026年12月28日");

// Selected row and active cell yellow, selection border green, odd and even rows from
// bgone and bgtwo, white below the rows.
void ApplyListColours(RecordGrid* grid);

// Grid lines by the line setting over the given cells: "2" vertical lines only, "1"
// horizontal lines only (both on white cells), anything else grey lines everywhere.
void ApplyGridLines(RecordGrid* grid, int firstRow, int firstCol, int lastRow, int lastCol);
// The same over the columns of every row of the grid's row source.
void ApplySourceGridLines(RecordGrid* grid, int firstCol, int lastCol);

// Freezes the last row (the totals row) at the bottom and gives its columns firstCol to
// lastCol the lastcolor background and bold text.
void StyleTotalsRow(RecordGrid* grid, int firstCol, int lastCol);

// Starts a fill: the grid cut to its header rows, no frozen row, painting suspended; the
// previous rows are kept aside until FinishListFill or FailListFill.
void BeginListFill(RecordGrid* grid, int headerRows);
// Ends a fill that read all its rows: painting resumes.
void FinishListFill(RecordGrid* grid);
// Ends a fill whose query failed: the list keeps its previous rows and the user is told that
// the database is busy (busy) or could not be read, and why (cause). A list never shows a
// failed read as an empty ledger.
void FailListFill(RecordGrid* grid, bool busy, const QString& cause);
// Tells the user that a list could not be brought up to date, and why; its rows stay as they
// were.
void ReportListReadFailure(bool busy, const QString& cause);
// What failed ("读取商品失败"), the first line of the store's cause and what to do about it on
// the store in use: "读取商品失败：<cause>。请检查网络或服务器后再试。"
QString ReadFailureText(const QString& failed, const QString& cause);

// The grid lines ApplyGridLines gives a data row, for one row added on its own.
void ApplyRowGridLines(RecordGrid* grid, int row, int firstCol, int lastCol);

// Brings the row of record id up to date in a list whose data rows, from firstRow to the
// totals row (the last row), stand in ID order with the ID in column 1: cells (nullptr when
// the record is gone or not shown) replace its row, are inserted where it belongs, or its row
// is removed. The numbers in totalColumns of the totals row move by the difference (a total
// left empty, withheld from the user, stays empty). Returns the row of the record, -1 when it
// has none now; inserted tells whether that row is new.
// Whether such a list has a row for record id.
bool HasRecordRow(RecordGrid* grid, int firstRow, qint64 id);
int PutRecordRow(RecordGrid* grid, int firstRow, qint64 id, const CellRow* cells,
                 const QList<int>& totalColumns, bool* inserted);

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

// How a goods row shows in the stock and summary lists, read once per fill or update: the alarm
// and zero-stock colours, the "zero" option, and the cost fields a user who may not see them
// gets empty (not even in a hidden cell).
struct GoodsRowLook {
    GoodsRowLook(int fieldCount, const QList<int>& costColumns);
    bool zeroOption;
    qint64 beepColor;
    qint64 zeroColor;
    double level;
    QList<bool> withheld;  // by field, column - 1
};

// The current row of rows as list cells, withheld fields left empty; returns the stock
// quantity in field stockField.
double ReadGoodsRow(const ListQuery& rows, const QList<int>& fields, const GoodsRowLook& look,
                    int stockField, CellRow* cells);

// Colours columns 1..lastCol of row by its stock: below the alarm level, or none at all.
void ColourGoodsRow(RecordGrid* grid, int row, int lastCol, double stock, const GoodsRowLook& look);

// The list model a page shows and whether it reads the cost figures. For() makes it anew when
// the user's right to see them changed, so that they are never read for a user who may not
// see them; the new model keeps the order of the one before and tells of a failed read.
struct PageList {
    QPointer<ListModel> model;
    bool withCosts = false;

    ListModel* For(QObject* grid, ledger::ListSpec (*layout)(bool costs));
    // Whether the model was made for another user's rights than the present ones.
    bool Outdated() const;
};
