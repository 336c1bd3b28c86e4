#pragma once
// Names for a screen reader: the windows place their labels beside their fields without
// linking the two, so a field would be read without saying what it asks for.

class QWidget;

// Every field of window (edit box, combo box, date or number box, text box, and a check box or
// option without a text of its own) that has no accessible name takes the text of the label
// that stands for it: the nearest one to its left on its row (for a check box or option, to
// its right), else the one just above it; without its colon, nor the blanks that spread out
// a caption ("密  码：" names "密码").
// The label becomes the field's buddy, unless it has one.
void NameFieldsByLabels(QWidget* window);

// Does that for every window of the program when it is shown.
void NameFieldsOfEveryWindow();
