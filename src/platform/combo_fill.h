#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

// Empties the combo box (list and edit text), runs the query on the shared record set and
// lists the text of its column exp of every row, in result order, leaving out empty texts.
// No item is picked afterwards. False when the query failed (the list then stays empty).
bool FillComboFromQuery(QComboBox* combo, const QString& sql);

// Empties the combo box (list and edit text) and lists values; no item is picked afterwards.
void FillCombo(QComboBox* combo, const QStringList& values);
