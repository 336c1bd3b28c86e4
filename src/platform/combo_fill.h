#pragma once

#include <QString>

class QComboBox;

// Empties the combo box (list and edit text), runs the query on the shared record set and
// lists the text of its column exp of every row, in result order, leaving out empty texts.
// No item is picked afterwards. False when the query failed (the list then stays empty).
bool FillComboFromQuery(QComboBox* combo, const QString& sql);
