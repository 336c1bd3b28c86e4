#include "platform/placement.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLabel>

#include "common/date_text.h"

QLabel* PlaceLabel(QWidget* parent, const QString& text, int x, int y, int w, int h,
                   Qt::Alignment alignment) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(x, y, w, h);
    label->setAlignment(alignment);
    return label;
}

QDateEdit* PlaceDateBox(QWidget* parent, const QString& name, int x, int y, int w, int h) {
    auto* box = Place<QDateEdit>(parent, name, x, y, w, h);
    box->setCalendarPopup(true);
    box->setDisplayFormat(QStringLiteral("yyyy-M-d"));
    box->setDate(CurrentDateTime().date());
    return box;
}

QComboBox* PlaceSearchCombo(QWidget* parent, const QString& name, int x, int y, int w, int h) {
    auto* box = Place<QComboBox>(parent, name, x, y, w, h);
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    return box;
}
