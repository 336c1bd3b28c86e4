#include "platform/list_style.h"

#include <cmath>

#include "common/session.h"
#include "common/settings.h"
#include "platform/record_grid.h"

int ColumnWidth(double fraction, int hostWidth) {
    return static_cast<int>(std::floor(fraction * hostWidth));
}

void ApplyListColours(RecordGrid* grid) {
    grid->SetBackColorSel(65535);
    grid->SetBackColorActiveCellSel(65535);
    grid->SetSelectionBorderColor(57472);
    grid->SetBackColor2(SetupColor(SetupKey::kBgTwo));
    grid->SetBackColor1(SetupColor(SetupKey::kBgOne));
    grid->SetBackColorBkg(16777215);
}

void ApplyGridLines(RecordGrid* grid, int firstRow, int firstCol, int lastRow, int lastCol) {
    const QString line = ReadSetupKey(SetupKey::kLine);
    if (line == QLatin1String("1") || line == QLatin1String("2")) {
        grid->SetGridColor(16777215);
        grid->SetHideGridLines(false);
        GridRange range = grid->Range(firstRow, firstCol, lastRow, lastCol);
        range.SetBackColor(16777215);
        range.Borders(line == QLatin1String("2") ? RecordGrid::cellInsideVertical
                                                 : RecordGrid::cellInsideHorizontal,
                      RecordGrid::cellThin);
    } else {
        grid->SetGridColor(8421504);
        grid->SetHideGridLines(true);
    }
}

void StyleTotalsRow(RecordGrid* grid, int firstCol, int lastCol) {
    const int row = grid->Rows() - 1;
    grid->SetFrozenBottomRows(1);
    GridRange range = grid->Range(row, firstCol, row, lastCol);
    range.SetBackColor(SetupColor(SetupKey::kLastColor));
    range.SetFontBold(true);
}

void BeginListFill(RecordGrid* grid, int headerRows) {
    // The previous totals row must not stay frozen while the new rows are added and sorted.
    grid->SetFrozenBottomRows(0);
    grid->SetRows(headerRows);
    grid->SetAutoRedraw(false);
    // The new rows come in the query's order: an arrow left from a header click would claim a
    // sort that no longer holds.
    for (int c = 0; c < grid->Cols(); ++c)
        grid->Column(c).SetUserSortIndicator(RecordGrid::cellSortIndicatorNone);
}

ClickedCell SelectClickedCell(RecordGrid* grid, int x, int y) {
    grid->HitTest(x, y);
    const ClickedCell cell{grid->MouseRow(), grid->MouseCol()};
    if (cell.row >= 0 && cell.col >= 0) grid->Cell(cell.row, cell.col).SetFocus();
    Session& session = CurrentSession();
    session.selectedId.clear();
    session.selectedRow = cell.row;
    return cell;
}

void SetUpTwoRowHeader(RecordGrid* grid, int rows, int cols,
                       std::initializer_list<HeaderGroup> groups, int firstCaptionColumn,
                       std::initializer_list<const char*> captions) {
    grid->SetAutoRedraw(false);
    grid->SetRows(rows);
    grid->SetCols(cols);
    grid->SetFixedRows(2);
    grid->SetAllowUserResizing(true);
    grid->SetAllowUserSort(true);
    grid->SetExtendLastCol(true);
    grid->SetRowHeight(0, 26);
    grid->SetRowHeight(1, 23);
    for (const HeaderGroup& group : groups) {
        grid->SetCellText(0, group.first, QString::fromUtf8(group.caption));
        grid->Range(0, group.first, 0, group.last).Merge();
    }
    int column = firstCaptionColumn;
    for (const char* caption : captions) grid->SetCellText(1, column++, QString::fromUtf8(caption));
}

bool SelectDoubleClickedRecord(RecordGrid* grid) {
    Session& session = CurrentSession();
    session.selectedId.clear();
    session.selectedRow = grid->MouseRow();
    if (grid->MouseRow() < 2 || grid->MouseCol() < 2) return false;
    session.selectedId = grid->CellText(grid->MouseRow(), 1);
    return IsRecordId(session.selectedId);
}
