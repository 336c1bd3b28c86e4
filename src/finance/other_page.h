#pragma once
// The 其他收支 page: the book of miscellaneous income and expense (table other), with its
// list, the income and expense entry panels and the query bar.

#include <QString>

#include "ledger/other_list.h"

class QFrame;
class QMenu;
class RecordGrid;

// Builds the query bar into 其他图片框 and the income and expense panels into 其他图片库右一
// and 其他图片库右二; 其他收支框架 later holds the list. The frames stay the caller's.
void BuildOtherPage(QFrame* 其他收支框架, QFrame* 其他图片框, QFrame* 其他图片库右一,
                    QFrame* 其他图片库右二);
// First show of the page: creates OtherGrid in 其他收支框架 at (0, 0) with the given size
// and runs SetupOtherGrid. Does nothing when the grid exists or the page was not built.
void CreateOtherGrid(int width, int height);
RecordGrid* OtherGrid();  // nullptr until created
QMenu* OtherMenu();       // 其他快捷菜单, nullptr until the grid is created

// Look and events of the list, all entries, the pick lists and both entry numbers.
void SetupOtherGrid();
// Shows the entries the filter finds, with the totals row (income, expense and other types).
// Does nothing before the grid exists.
void FillOtherGrid(const ledger::OtherFilter& filter = {});
// Brings the row of entry id and the totals up to date after it was added, changed or deleted.
void UpdateOtherRow(qint64 id);
// Column widths after a resize of the main window, from the width of 其他收支框架.
void LayOutOtherColumns();

enum class EntryKind { Income, Expense };
// The suggested entry number of the current moment: year, month, day, hour, minute, second
// without padding; an expense swaps the last two.
QString NewEntryNumber(EntryKind kind);

// Drops the page's state (before its frames go away).
void ForgetOtherPage();
