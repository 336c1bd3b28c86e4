#include "platform/combo_fill.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStringList>

void FillCombo(QComboBox* combo, const QStringList& values) {
    combo->clear();
    if (combo->isEditable()) combo->clearEditText();
    {
        // Qt picks the first item added to an empty box; the box is to stay empty, so nobody
        // needs to hear of that passing pick.
        const QSignalBlocker quiet(combo);
        combo->addItems(values);
        combo->setCurrentIndex(-1);
        if (combo->isEditable()) combo->clearEditText();
    }
}
