#pragma once
// What a screen reader gets of a record grid: a table whose rows are the grid's rows below
// its header rows and whose columns are its shown columns after the row-header column, each
// column described by its header texts, each cell read as the grid shows it.

class RecordGrid;

// Makes the grids' tables known to the accessibility framework; once per process is enough,
// more calls do nothing.
void InstallGridAccessibility();

// Tells an assistive tool that the grid's current cell changed, when the grid has the focus.
void NotifyGridCellFocus(RecordGrid* grid);
