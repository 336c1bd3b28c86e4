#pragma once
// Pieces the income/expense page, the deposit page and the deposit entry windows share: how
// their controls are placed, their pick lists, and the boxes they show.

#include <QString>
#include <QStringList>

#include "ledger/result.h"
#include "platform/placement.h"

class DbConnection;
class QComboBox;
class QDateEdit;
class QLabel;
class QWidget;
class RecordGrid;

// Deletes the record of the list row the user clicked (SelectedRow) with remove after
// asking; tells the user, with failure as text, when the delete fails. False when the row
// holds no record and nothing was asked.
bool DeleteSelectedRecord(RecordGrid* grid, LedgerResult (*remove)(DbConnection&, qint64),
                          const QString& failure);

// The delete question; true when the user answers OK.
bool ConfirmDelete(QWidget* parent);
// A required box left empty: tells the user and puts the focus on it.
void AskToFillIn(QWidget* parent, const QString& text, QWidget* focus);
// The skinned box with the success icon and the caption "提示".
void ShowDone(const QString& text);

// Header row 0 of grid: texts from column 0 on, every header cell centred.
void SetHeaderTexts(RecordGrid* grid, const QStringList& texts);
// The general look of the record lists: whole-row single selection, resizable and sortable
// columns, header row 0 of 26 pixels, flat header cells.
void SetListLook(RecordGrid* grid, int cols);

// Writes the whole list to a workbook chosen by the user and tells how it went.
void ExportWholeList(RecordGrid* grid);
