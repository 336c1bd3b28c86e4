#include "sales/printer_choice_window.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>

#include "platform/dialogs.h"
#include "platform/placement.h"
#include "platform/skin.h"

PrinterChoiceWindow::PrinterChoiceWindow(QWidget* owner, const PrinterChoice& current)
    : QDialog(owner) {
    setObjectName(QStringLiteral("PrinterChoiceWindow"));
    setWindowTitle(QStringLiteral("选择打印机"));
    setFixedSize(420, 250);

    系统打印机选项 = Place<QRadioButton>(this, QStringLiteral("系统打印机选项"), 16, 14, 380, 22);
    系统打印机选项->setText(QStringLiteral("系统打印机（普通打印机，使用预览框的字体）"));
    PlaceLabel(this, QStringLiteral("打印机："), 36, 42, 70, 22);
    系统打印机框 = Place<QComboBox>(this, QStringLiteral("系统打印机框"), 108, 42, 290, 22);
    系统打印机框->addItem(QStringLiteral("系统默认打印机"), QString());
    for (const QString& name : QPrinterInfo::availablePrinterNames())
        系统打印机框->addItem(name, name);
    系统打印机框->setCurrentIndex(std::max(0, 系统打印机框->findData(current.systemPrinter)));

    小票打印机选项 = Place<QRadioButton>(this, QStringLiteral("小票打印机选项"), 16, 76, 380, 22);
    小票打印机选项->setText(QStringLiteral("小票打印机（ESC/POS 热敏打印机）"));
    PlaceLabel(this, QStringLiteral("地址："), 36, 104, 70, 22);
    小票打印机地址框 =
        Place<QLineEdit>(this, QStringLiteral("小票打印机地址框"), 108, 104, 290, 22);
    小票打印机地址框->setText(current.escPosTarget);
    小票打印机地址框->setPlaceholderText(
        QStringLiteral("/dev/usb/lp0、192.168.1.100:9100 或打印队列名"));
    PlaceLabel(this, QStringLiteral("纸宽："), 36, 132, 70, 22);
    纸宽框 = Place<QComboBox>(this, QStringLiteral("纸宽框"), 108, 132, 160, 22);
    纸宽框->addItem(QStringLiteral("58毫米（每行32字符）"), 58);
    纸宽框->addItem(QStringLiteral("80毫米（每行48字符）"), 80);
    纸宽框->setCurrentIndex(current.paperMm == 80 ? 1 : 0);
    钱箱框 = Place<QCheckBox>(this, QStringLiteral("钱箱框"), 108, 160, 200, 22);
    钱箱框->setText(QStringLiteral("打印后打开钱箱"));
    钱箱框->setChecked(current.openDrawer);

    (current.kind == PrinterChoice::Kind::EscPos ? 小票打印机选项 : 系统打印机选项)
        ->setChecked(true);

    确定按钮 = Place<QPushButton>(this, QStringLiteral("确定按钮"), 200, 206, 90, 28);
    确定按钮->setText(QStringLiteral("确定"));
    取消按钮 = Place<QPushButton>(this, QStringLiteral("取消按钮"), 306, 206, 90, 28);
    取消按钮->setText(QStringLiteral("取消"));
    connect(确定按钮, &QPushButton::clicked, this, &PrinterChoiceWindow::Confirm);
    connect(取消按钮, &QPushButton::clicked, this, &QDialog::reject);
}

PrinterChoice PrinterChoiceWindow::Choice() const {
    PrinterChoice choice;
    choice.kind =
        小票打印机选项->isChecked() ? PrinterChoice::Kind::EscPos : PrinterChoice::Kind::System;
    choice.systemPrinter = 系统打印机框->currentData().toString();
    choice.escPosTarget = 小票打印机地址框->text().trimmed();
    choice.paperMm = 纸宽框->currentData().toInt();
    choice.openDrawer = 钱箱框->isChecked();
    return choice;
}

void PrinterChoiceWindow::Confirm() {
    const PrinterChoice choice = Choice();
    if (choice.kind == PrinterChoice::Kind::EscPos && choice.escPosTarget.isEmpty()) {
        ShowMessage(QStringLiteral("请输入小票打印机的地址！"), 0);
        小票打印机地址框->setFocus();
        return;
    }
    WritePrinterChoice(choice);
    accept();
}

bool ChoosePrinter(QWidget* owner) {
    QPointer<PrinterChoiceWindow> window =
        new PrinterChoiceWindow(owner, ReadPrinterChoice().value_or(PrinterChoice{}));
    const int result = Dialogs().RunModal(window);
    delete window.data();
    return result == QDialog::Accepted;
}
