#pragma once
// The 存款管理 page: the bank book (table bank) as a detail list of deposits, withdrawals
// and transfers, or as a summary with the balance of every bank and account.

#include <QString>

#include "ledger/bank_list.h"

class QFrame;
class QMenu;
class RecordGrid;

// Builds the query bar into 存款图片框; 存款框架 later holds the list. The frames stay the
// caller's; the entry windows open over the window that holds them.
void BuildBankPage(QFrame* 存款框架, QFrame* 存款图片框);
// First show of the page: creates BankGrid in 存款框架 at (0, 0) with the given size and
// runs SetupBankDetailGrid. Does nothing when the grid exists or the page was not built.
void CreateBankGrid(int width, int height);
RecordGrid* BankGrid();  // nullptr until created
QMenu* BankMenu();       // 存款快捷菜单, nullptr until the grid is created

// "细节" while the grid shows the detail list, "汇总" while it shows the summary.
QString BankListMode();

// Detail layout, all rows, and the bank names of the query bar.
void SetupBankDetailGrid();
// Shows the entries the filter finds. The summary layout, when shown, gives way to the detail
// layout once they were read.
void FillBankGrid(const ledger::BankFilter& filter = {});
void SetupBankSummaryGrid();
// Fills the summary with the balance of every bank and account, in the summary layout.
void FillBankSummaryGrid();
// Column widths after a resize of the main window, from the width of 存款框架.
void LayOutBankColumns();

// Drops the page's state and closes its entry windows (before its frames go away).
void ForgetBankPage();
