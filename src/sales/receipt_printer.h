#pragma once
// Where the receipt goes: the system's printer (through CUPS) or an ESC/POS receipt printer
// reached as a device file, a raw CUPS queue or a network printer. The choice is kept in
// 配置.ini [程序配置] beside the receipt texts.

#include <QString>
#include <optional>

class QByteArray;
class QFont;
class QPrinter;

struct PrinterChoice {
    enum class Kind { System, EscPos };
    Kind kind = Kind::System;
    QString systemPrinter;  // empty: the system's default printer
    // "/dev/usb/lp0" (a device file), "192.168.1.50" or "host:9100" (a network printer),
    // anything else the name of a raw CUPS queue.
    QString escPosTarget;
    int paperMm = 58;  // 58 or 80
    bool openDrawer = false;
};

// Keys of 配置.ini [程序配置].
namespace PrinterKey {
inline const QString kKind = QStringLiteral("打印方式");  // "系统打印机" or "小票打印机"
inline const QString kSystemPrinter = QStringLiteral("系统打印机");
inline const QString kEscPosTarget = QStringLiteral("小票打印机");
inline const QString kPaper = QStringLiteral("小票纸宽");   // 58 or 80
inline const QString kDrawer = QStringLiteral("打开钱箱");  // "ture" or "false"
}  // namespace PrinterKey

// The font of a receipt on screen and on a system printer: its lines line up only when a hanzi
// is exactly two ASCII characters wide.
QFont ReceiptFont();

// nullopt until a printer has been chosen.
std::optional<PrinterChoice> ReadPrinterChoice();
void WritePrinterChoice(const PrinterChoice& choice);

// Single-byte columns of a receipt line on that paper.
int ReceiptColumns(int paperMm);

// Sends the bytes to the ESC/POS printer at target. On failure gives false and a message for
// the shop keeper in *failure.
bool SendToEscPosPrinter(const QString& target, const QByteArray& bytes, QString* failure);

// Prints the text line by line in font on printer as one job, starting a new page when one is
// full. On failure gives false and a message in *failure.
bool PrintTextOnPrinter(QPrinter* printer, const QString& text, const QFont& font,
                        QString* failure);

// Prints the text as the choice says; a failure is shown to the user. True when printed.
bool PrintReceipt(const PrinterChoice& choice, const QString& text, const QFont& font);
