#include "platform/combo_fill.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <QStringList>

#include "store/shared_db.h"

bool FillComboFromQuery(QComboBox* combo, const QString& sql) {
    DbRecordSet& records = SharedRecordSet();
    const bool ok = OpenSharedQuery(sql);
    QStringList values;
    const int count = records.GetRecordCount();
    for (int i = 0; i < count; ++i) {
        const QString value = FieldText(records, QStringLiteral("exp"));
        if (!value.isEmpty()) values << value;
        records.MoveNext();
    }
    records.Close();
    FillCombo(combo, values);
    return ok;
}

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
