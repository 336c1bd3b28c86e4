#pragma once
// "选择打印机": where the scan-sale receipt is printed. Shown the first time a receipt is
// printed and whenever the user asks to change the printer.

#include <QDialog>

#include "sales/receipt_printer.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class PrinterChoiceWindow final : public QDialog {
    Q_OBJECT

  public:
    PrinterChoiceWindow(QWidget* owner, const PrinterChoice& current);

    // The choice as the controls show it.
    PrinterChoice Choice() const;
    // "确定": keeps the choice and closes; an ESC/POS printer without an address is refused.
    void Confirm();

    QRadioButton* 系统打印机选项;
    QComboBox* 系统打印机框;
    QRadioButton* 小票打印机选项;
    QLineEdit* 小票打印机地址框;
    QComboBox* 纸宽框;
    QCheckBox* 钱箱框;
    QPushButton* 确定按钮;
    QPushButton* 取消按钮;
};

// Lets the user choose the printer (starting from the kept choice, if any); true when a
// choice was kept.
bool ChoosePrinter(QWidget* owner);
