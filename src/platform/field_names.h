#pragma once
// Names for a screen reader: the windows place their labels beside their fields without
// linking the two, so a field would be read without saying what it asks for.

class QWidget;

// Every control of window that the keyboard reaches and that has no name a reader would say
// (a field, list or drawn control, a button or check box without a text; a combo box
// without a name of its own) takes the text of the label that stands for it: the nearest one
// to its left on its row (for a check box or option, to its right), else the one just above
// it; without its colon, nor the blanks that spread out a caption ("密  码：" names "密码").
// The label becomes the field's buddy, unless it has one. Without such a label, the control
// is named by its placeholder text, else its tooltip, else its object name when that says
// what it is for ("数量框" names "数量"; "组合框1" names nothing). A button whose text is
// spread out ("登  录") is named by it without the blanks.
void NameFieldsByLabels(QWidget* window);

// Does that for every control of the program as it is shown.
void NameFieldsOfEveryWindow();
