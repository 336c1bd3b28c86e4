#pragma once
// The grid behind every list of records: a matrix of cells (texts, numbers and dates, each
// shown formatted and sorted and exported by its value) with header rows at the top,
// column 0 as a narrow fixed row-header column, frozen totals rows at the bottom, whole-row
// selection, sorting by a header click, column widths dragged on the header, and export to
// an Excel workbook. Names follow the grid control the lists were written against.

#include <QAbstractScrollArea>
#include <QColor>
#include <QList>
#include <QPointer>
#include <QRect>
#include <QString>
#include <memory>
#include <utility>

#include "lists/list_model.h"
#include "platform/grid_store.h"

class Progress;
class QLineEdit;
class QPainter;
class RecordGrid;

// Colours are Windows colour integers, 0x00BBGGRR (red in the low byte): 65535 is yellow.
QColor WinColor(qint64 value);
qint64 WinColorValue(const QColor& color);

// Cell(row, col): one cell.
class GridCell {
  public:
    int Alignment() const;  // the cell's own alignment, cellGeneral when none is set
    void SetAlignment(int alignment);
    // Makes the cell the active cell and selects its row; header rows are not selectable.
    void SetFocus();
    qint64 ForeColor() const;  // 0 (black) unless set
    qint64 BackColor() const;  // as painted when the row is not selected
    bool FontBold() const;
    bool Locked() const;
    int Border(int edge) const;  // cellThin or cellLineNone
    CellArea MergeArea() const;  // the cell alone when it is not merged

  private:
    friend class RecordGrid;
    GridCell(RecordGrid* grid, int row, int col) : grid_(grid), row_(row), col_(col) {}
    RecordGrid* grid_;
    int row_;
    int col_;
};

// Column(col): width in pixels (0 hides the column), alignment, input mask, decimal length.
class GridColumn {
  public:
    int Width() const;
    void SetWidth(int width);
    int Alignment() const;
    void SetAlignment(int alignment);
    int Mask() const;  // cellValue: numbers, which sort and export as numbers
    void SetMask(int mask);
    // Decimal places an edit may type into a cellValue column; 0 leaves them free.
    int DecimalLength() const;
    void SetDecimalLength(int length);
    // Sorts every row below the header rows by this column, frozen rows included: a fill
    // sorts before it appends its totals row, while FrozenBottomRows may still hold the
    // value of the last fill. A header click leaves the frozen rows in place.
    void Sort(int order);
    int UserSortIndicator() const;
    void SetUserSortIndicator(int indicator);

  private:
    friend class RecordGrid;
    GridColumn(RecordGrid* grid, int col) : grid_(grid), col_(col) {}
    RecordGrid* grid_;
    int col_;
};

// Range(first row, first col, last row, last col); bounds outside the grid are clipped.
class GridRange {
  public:
    void Merge();
    void SetForeColor(qint64 color);
    void SetBackColor(qint64 color);
    void SetFontBold(bool bold);
    void SetLocked(bool locked);
    // The cells go back to the default text colour.
    void ResetForeColor();
    // A line under each row of the range, the last one included.
    void SetBottomLines(bool on);
    // edge cellInsideVertical or cellInsideHorizontal; style cellThin or cellLineNone.
    void Borders(int edge, int style);

  private:
    friend class RecordGrid;
    friend class GridCell;
    GridRange(RecordGrid* grid, const CellArea& area) : grid_(grid), area_(area) {}
    void Apply(const StylePatch& patch);
    RecordGrid* grid_;
    CellArea area_;
    bool sourceOnly_ = false;  // styles every row of the grid's source, and no other
};

// Selection(): the selected rows, one contiguous block.
class GridSelection {
  public:
    int FirstRow() const;  // -1 when nothing is selected
    int LastRow() const;
    void DeleteByRow();  // removes the selected rows

  private:
    friend class RecordGrid;
    explicit GridSelection(RecordGrid* grid) : grid_(grid) {}
    RecordGrid* grid_;
};

class RecordGrid : public QAbstractScrollArea {
    Q_OBJECT

  public:
    enum AlignmentSetting {
        cellGeneral = 0,
        cellLeftTop = 5,
        cellLeftCenter = 6,
        cellLeftBottom = 7,
        cellCenterTop = 9,
        cellCenterCenter = 10,
        cellCenterBottom = 11,
        cellRightTop = 13,
        cellRightCenter = 14,
        cellRightBottom = 15,
    };
    enum MaskSetting { cellNoMask = 0, cellValue = 5 };
    enum SortSetting { cellAscending = 0, cellDescending = 1 };
    enum SortIndicatorSetting {
        cellSortIndicatorNone = 0,
        cellSortIndicatorAscending = 1,
        cellSortIndicatorDescending = 2,
    };
    enum EdgeSetting { cellInsideVertical = 4, cellInsideHorizontal = 5 };
    enum LineStyleSetting { cellLineNone = 0, cellThin = 1 };
    // MouseUp buttons and shift state.
    enum { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };
    enum { kShiftKey = 1, kCtrlKey = 2, kAltKey = 4 };
    // The two row-marker pictures.
    enum class RowMarker { Stock, Record };

    explicit RecordGrid(QWidget* parent = nullptr);
    ~RecordGrid() override;

    int Rows() const { return store_.Rows() + SourceRows(); }
    void SetRows(int rows);  // fewer rows cuts rows off the bottom
    int Cols() const { return store_.Cols(); }
    void SetCols(int cols);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int rows);
    int FrozenBottomRows() const { return frozenBottomRows_; }
    void SetFrozenBottomRows(int rows);

    // Appends a row whose columns 1, 2, ... take the tab-separated pieces of text.
    void AddItem(const QString& text);
    // Appends a row whose columns 1, 2, ... take the cells, each as its own value.
    void AddRow(const CellRow& cells);
    // Inserts a row of cells before row at; the rows below move down with their styles.
    void InsertRow(int at, const CellRow& cells);
    // Gives a row new cells; its styles stay.
    void ReplaceRow(int row, const CellRow& cells);
    void RemoveItem(int row);
    // What the cell shows: numbers and dates formatted. Texts longer than 65535 characters
    // are cut to that length.
    QString CellText(int row, int col) const;
    void SetCellText(int row, int col, const QString& text);
    void SetCellNumber(int row, int col, double value);
    CellKind CellKindAt(int row, int col) const;
    // The value of a number or date cell (a date as PackedDate), 0 for a text.
    double CellValue(int row, int col) const;

    // The rows below the header rows come from source, read as they are shown; the grid's own
    // rows after the header rows (the totals row) follow them. Null makes every row the
    // grid's own again. Rows of a source are read-only, take the styles given to any of them
    // (the source gives each its text colour), and a header click orders the source.
    void SetRowSource(ListModel* source);
    ListModel* RowSource() const { return source_; }

    // A refill that can be taken back: the rows below headerRows are set aside (with the
    // frozen rows, the selection and the sort indicators) and the grid keeps only its header
    // rows with painting suspended and a busy cursor. EndRefill drops what was set aside;
    // CancelRefill brings it back in place of whatever the refill added.
    void BeginRefill(int headerRows);
    void EndRefill();
    // Lets the set-aside rows go before the refill ends, so that a long list is not held twice;
    // a CancelRefill after it leaves only the header rows.
    void ReleaseSetAside();
    void CancelRefill();
    // True when the rows were sorted since the last BeginRefill, so that they no longer stand
    // in the order their query gave.
    bool SortedSinceRefill() const { return sortedSinceRefill_; }

    GridCell Cell(int row, int col) { return GridCell(this, row, col); }
    GridColumn Column(int col) { return GridColumn(this, col); }
    GridRange Range(int firstRow, int firstCol, int lastRow, int lastCol);
    // The columns of every row of the row source, however many it has now or later.
    GridRange SourceRange(int firstCol, int lastCol);
    GridSelection Selection() { return GridSelection(this); }

    qint64 BackColor1() const { return backColor1_; }  // odd data rows
    void SetBackColor1(qint64 color);
    qint64 BackColor2() const { return backColor2_; }  // even data rows
    void SetBackColor2(qint64 color);
    qint64 BackColorBkg() const { return backColorBkg_; }  // below the last row
    void SetBackColorBkg(qint64 color);
    qint64 BackColorSel() const { return backColorSel_; }
    void SetBackColorSel(qint64 color);
    qint64 BackColorActiveCellSel() const { return backColorActiveCellSel_; }
    void SetBackColorActiveCellSel(qint64 color);
    qint64 SelectionBorderColor() const { return selectionBorderColor_; }
    void SetSelectionBorderColor(qint64 color);
    qint64 GridColor() const { return gridColor_; }
    void SetGridColor(qint64 color);
    // When true, no grid lines over cells that have their own background colour.
    bool HideGridLines() const { return hideGridLines_; }
    void SetHideGridLines(bool hide);

    int RowHeight(int row) const;
    void SetRowHeight(int row, int height);
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height);

    bool ExtendLastCol() const { return extendLastCol_; }
    void SetExtendLastCol(bool extend);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool readOnly);
    bool AllowUserSort() const { return allowUserSort_; }
    void SetAllowUserSort(bool allow);
    bool AllowUserResizing() const { return allowUserResizing_; }
    void SetAllowUserResizing(bool allow);
    // False suspends painting (and the scroll bar layout) until it is true again.
    bool AutoRedraw() const { return autoRedraw_; }
    void SetAutoRedraw(bool redraw);
    void Refresh();

    // The cell under the mouse at the last mouse event or HitTest, -1 where there is none.
    int MouseRow() const { return mouseRow_; }
    int MouseCol() const { return mouseCol_; }
    // x and y in the grid's own coordinates, as MouseUp reports them.
    void HitTest(int x, int y);
    // The cell (row, column) at x and y as HitTest finds it, without moving MouseRow and
    // MouseCol; -1 where there is none.
    std::pair<int, int> CellAt(int x, int y) const;
    // The current cell, -1 when there is none.
    int ActiveRow() const { return activeRow_; }
    int ActiveCol() const { return activeCol_; }
    // Where the cell (its merged area) is painted, in the grid's coordinates; empty when it is
    // scrolled out of view or hidden.
    QRect CellRect(int row, int col) const;

    // The text as painted in the cell at its present width, and the tooltip the cell shows:
    // the whole text when what is painted is cut or an overflow mark, else nothing.
    QString ShownText(int row, int col) const;
    QString CellToolTip(int row, int col) const;

    // Draws marker centred in the cell when col is 0 and row (> 0) is the selection's first
    // row; true when it drew. Meant for OwnerDrawCell handlers.
    bool DrawRowMarker(int row, int col, QPainter& painter, const QRect& cell,
                       RowMarker marker) const;

    // Writes the rows and columns as shown now (a hidden column never) to an .xlsx workbook;
    // an empty name asks for one. The columns in leftOut are not written whatever their
    // width. False on a cancelled dialog or a failed write, which leaves no file behind.
    bool ExportToExcel(const QString& fileName, bool exportFixedRows, bool exportFixedCol,
                       const QList<int>& leftOut = {});
    // The list's name ("库存", "销售记录"): the exported sheet's name, and with the day's date
    // the file name the save dialog suggests.
    void SetListName(const QString& name) { listName_ = name; }
    QString ListName() const { return listName_; }

  signals:
    void DblClick();
    // button kLeftButton, kRightButton or kMiddleButton; shift the kShiftKey... flags.
    void MouseUp(int button, int shift, int x, int y);
    // After the grid painted a visible cell (a merged area once), with the painter clipped
    // to the cell's band.
    void OwnerDrawCell(int row, int col, QPainter& painter, const QRect& rect);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    friend class GridCell;
    friend class GridColumn;
    friend class GridRange;
    friend class GridSelection;

    struct ColumnInfo {
        int width = 64;
        int alignment = cellGeneral;
        int mask = cellNoMask;
        int decimalLength = 0;
        int sortIndicator = cellSortIndicatorNone;
    };
    // Rows painted in one band, top to bottom, in viewport coordinates.
    struct BandRow {
        int row;
        int top;
        int height;
    };
    struct Band {
        int top = 0;
        int bottom = 0;  // exclusive; the band is clipped here
        std::vector<BandRow> rows;
    };

    // Model (record_grid.cpp).
    void Changed();
    // Rows of a source: grid rows [fixedRows_, fixedRows_ + SourceRows()).
    int SourceRows() const;
    // The row of store_ a grid row is, -1 for a row of the source.
    int OwnRow(int row) const;
    // Where the cells of a grid row are: in store_, or in the window of the source's rows
    // read around it.
    struct Place {
        const GridStore* store;
        int row;
    };
    Place At(int row) const;
    // The parts of area in store_'s rows, in its rows; whether area holds rows of a source.
    std::vector<CellArea> OwnParts(const CellArea& area, bool* touchesSource) const;
    void ApplyStyle(const CellArea& area, const StylePatch& patch, bool sourceOnly);
    void ClearStyle(const CellArea& area, uint16_t fields);
    QString TextAt(int row, int col) const;
    QStringView RawTextAt(int row, int col) const;  // valid until the next read of a cell
    bool EmptyAt(int row, int col) const;
    CellStyle StyleAt(int row, int col) const;
    // The merges in grid rows, and the index among them of the merge holding a cell (-1).
    std::vector<CellArea> Merges() const;
    int MergeIndex(int row, int col) const;
    CellArea MergeAreaOf(int row, int col) const;
    void SortRows(int col, int order, bool keepFrozenRows);
    void SelectRows(int first, int last, int activeRow, int activeCol);
    void RemoveRows(int first, int count);
    bool IsSelectable(int row) const;
    int ScrollFirst() const;  // first row that scrolls
    int ScrollEnd() const;    // one past the last row that scrolls

    // Geometry (record_grid_view.cpp).
    int HeightOf(int row) const;
    int WidthOf(int col) const;  // with the last column stretched
    int TotalWidth() const;      // without the stretch
    int ColumnLeft(int col) const;
    int TopRow() const;
    int AvailableHeight() const;  // for the rows that scroll
    // The fixed, the scrolling and the frozen band, in that order.
    std::vector<Band> Bands() const;
    void UpdateScrollBars();
    void ScrollToRow(int row);
    void MoveToRow(int row);
    void MoveToCol(int step);
    void OpenMenuByKey();
    void UserSort(int row, int col);
    int RowAt(int y) const;
    int ColAt(int x) const;
    int ResizeColumnAt(const QPoint& pos) const;  // column whose right edge is under pos
    QRect AreaRect(const CellArea& area, const Band& band) const;
    void UpdateMouseCell(const QPoint& viewportPos);

    // Painting (record_grid_paint.cpp).
    void PaintBand(QPainter& painter, const Band& band, const QRect& clip, bool fixedColumn);
    // area: the cell alone or its merge, painted with the style of its top-left cell.
    void PaintCell(QPainter& painter, const CellArea& area, const QRect& rect);
    void PaintSelectionFrame(QPainter& painter, const Band& band);
    QColor CellBackground(int row, int col, const CellStyle& style, bool* own) const;
    // The rectangle the text of the cell (its merge) is drawn in, within rect.
    QRect TextRect(const CellArea& area, const QRect& rect) const;
    // The lowest header cell of a sorted column shows a triangle at its right.
    bool ShowsSortIndicator(const CellArea& area) const;
    // A figure: a number, or a number text in a numeric column below the header rows.
    bool IsFigure(int row, int col) const;
    // What fits of the cell's text in width: the text, a text cut with "…", or for a figure
    // that does not fit the overflow mark "###", never fewer of its digits. cut tells whether
    // the text was shortened.
    QString FittedText(int row, int col, const QString& text, const QFont& font, int width,
                       bool* cut) const;
    // The font a cell is drawn in: font, or for a figure of the frozen totals rows too wide for
    // its column, font made smaller until it fits (down to 5 points): a total is what the shop
    // keeper looks for, and hashes would hide it.
    QFont CellFont(int row, int col, QFont font, int width) const;
    int EffectiveAlignment(int col, const CellStyle& style) const;

    // Export (grid_excel.cpp).
    // progress hears of the rows written and may stop the writing, which then fails.
    bool WriteWorkbook(const QString& path, bool withFixedRows, bool withFixedCol,
                       const QList<int>& leftOut, Progress* progress) const;
    QString listName_;

    // Editing (record_grid_view.cpp).
    bool CanEdit(int row, int col) const;
    void BeginEdit(const QString& typed);
    void FinishEdit(bool commit);

    struct SetAside {
        GridStore store;
        int frozenBottomRows = 0;
        int selFirst = -1, selLast = -1, activeRow = -1, activeCol = -1;
        std::vector<int> sortIndicators;
        bool sortedSinceRefill = false;
        int headerRows = 0;
        bool released = false;  // the rows were let go before the refill ended
    };

    GridStore store_;
    QPointer<ListModel> source_;
    mutable GridStore window_;
    mutable int windowFirst_ = -1;  // the source row of window_'s first row; -1: none read
    // The styles given to the rows of the source: their columns, and the patch.
    std::vector<std::pair<CellArea, StylePatch>> sourceStyles_;
    std::vector<ColumnInfo> columns_;
    std::unique_ptr<SetAside> setAside_;
    bool sortedSinceRefill_ = false;
    int fixedRows_ = 1;
    int frozenBottomRows_ = 0;
    int defaultRowHeight_ = 18;

    qint64 backColor1_ = 0xFFFFFF;
    qint64 backColor2_ = 0xFFFFFF;
    qint64 backColorBkg_ = 0xFFFFFF;
    qint64 backColorSel_ = 0xD77800;
    qint64 backColorActiveCellSel_ = 0xD77800;
    qint64 selectionBorderColor_ = 0;
    qint64 gridColor_ = 0xC0C0C0;
    bool hideGridLines_ = false;
    bool extendLastCol_ = false;
    bool readOnly_ = false;
    bool allowUserSort_ = false;
    bool allowUserResizing_ = false;
    bool autoRedraw_ = true;
    bool layoutPending_ = false;

    int selFirst_ = -1;
    int selLast_ = -1;
    int activeRow_ = -1;
    int activeCol_ = -1;
    int mouseRow_ = -1;
    int mouseCol_ = -1;

    int resizingCol_ = -1;
    int resizeStartX_ = 0;
    int resizeStartWidth_ = 0;
    int pressedHeaderRow_ = -1;
    int pressedHeaderCol_ = -1;

    QPointer<QLineEdit> editor_;
    int editRow_ = -1;
    int editCol_ = -1;
};
