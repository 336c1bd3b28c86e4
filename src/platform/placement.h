#pragma once
// Controls placed at the absolute positions the windows and panels give them, named as the
// windows name them.

#include <QString>
#include <Qt>

class QComboBox;
class QDateEdit;
class QLabel;
class QWidget;

// A control of type T named name, at (x, y) with size w x h in parent.
template <typename T>
T* Place(QWidget* parent, const QString& name, int x, int y, int w, int h) {
    T* control = new T(parent);
    control->setObjectName(name);
    control->setGeometry(x, y, w, h);
    return control;
}

QLabel* PlaceLabel(QWidget* parent, const QString& text, int x, int y, int w, int h,
                   Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter);
// A date box in parent, named name, with a calendar pop-up, showing today in format. Qt refuses a
// digit typed over the whole date (selected with the mouse or Ctrl+A); here the digits type the
// date afresh from its first part.
QDateEdit* NewDateBox(QWidget* parent, const QString& name, const QString& format);
// A date box with a calendar pop-up, showing today in the form 2012-6-3.
QDateEdit* PlaceDateBox(QWidget* parent, const QString& name, int x, int y, int w, int h);
// A combo box the user types a search into; its list offers values and adds none.
QComboBox* PlaceSearchCombo(QWidget* parent, const QString& name, int x, int y, int w, int h);

// Moves a window as little as needed to bring its frame fully onto the available area of the
// screen that holds its owner's window (its own screen when it has no owner); a window larger
// than that area keeps its top left corner on it.
void KeepOnScreen(QWidget* window);
// From now on, every window of the program is kept on screen so as it is shown.
void KeepWindowsOnScreen();
