#pragma once

#include <QString>
#include <QStringList>

class QComboBox;

// Empties the combo box (list and edit text) and lists values; no item is picked afterwards.
void FillCombo(QComboBox* combo, const QStringList& values);
