#pragma once
// Export of a list to an Excel workbook from its context menu, and the lists' print notices.

#include <QList>

class RecordGrid;

// Exports the whole list when the row of the last right-click (SelectedRow) holds a record;
// tells the user whether it worked. costColumns are the list's columns of purchase prices,
// purchase and stock amounts and net profit: written only for a user who may see them,
// whatever their width on screen.
void ExportGridToExcel(RecordGrid* grid, const QList<int>& costColumns = {});

enum class PrintNotice { Stock, Sales };
// Lists are not printed: the notice points to the Excel export.
void ShowPrintNotice(PrintNotice which);
