#pragma once
// The 汇总统计 page: one line per goods item with its purchase, sales and stock figures.

#include <QString>

class QAction;
class QFrame;
class QMenu;
class RecordGrid;

RecordGrid* SummaryGrid();  // nullptr until created

// Creates SummaryGrid in host at (0, 0) with the given size and runs SetUpSummaryGrid; does
// nothing when it exists.
void CreateSummaryGrid(QFrame* host, int width, int height);
void SetUpSummaryGrid();
// Shows every goods row in SummaryGrid (those out of stock only when the "zero" option is
// off), keeping the column widths and the order.
void FillSummaryGrid();
// Brings the row of goods record id up to date in SummaryGrid (added, changed or gone), with
// its totals; a list that shows a query or a sorted order is refilled whole instead.
void UpdateSummaryRow(qint64 id);
// Column widths as fractions of the host width; column 0 is 30 pixels when the grid is
// created and 20 after a resize of the main window.
void LayOutSummaryColumns(int firstColumnWidth);
void OnSummaryGridMouseUp(int button, int x, int y);
QMenu* SummaryMenu();
void ForgetSummaryPage();
