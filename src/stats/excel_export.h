#pragma once
// Export of a list to an Excel workbook from its context menu, and the lists' print notices.

class RecordGrid;

// Exports the whole list when the row of the last right-click (SelectedRow) holds a record;
// tells the user whether it worked.
void ExportGridToExcel(RecordGrid* grid);

enum class PrintNotice { Stock, Sales };
// Lists are not printed: the notice points to the Excel export.
void ShowPrintNotice(PrintNotice which);
