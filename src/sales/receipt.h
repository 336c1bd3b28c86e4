#pragma once
// The till receipt of a scan sale as plain text lines. Widths are counted in GBK bytes, the
// width a receipt printer gives a character (one column for ASCII, two for a hanzi).

#include <QString>
#include <QStringList>

// The three texts of 配置.ini [程序配置] printed on every receipt.
struct ReceiptTexts {
    QString 票头;
    QString 宣传1;
    QString 宣传2;
};
ReceiptTexts ReadReceiptTexts();

// The two header lines: the shop's heading, then the column captions.
QStringList ReceiptHeaderLines(const ReceiptTexts& texts);

// One goods line: the name in 15 bytes, the quantity in 7, the unit price in number text. A
// name longer than 15 bytes is cut to at most 10 bytes without splitting a hanzi.
QString ReceiptGoodsLine(const QString& name, double quantity, double price);

// The closing lines: the rule, the quantity and total, the double rule and the two slogans.
QStringList ReceiptClosingLines(double quantity, double total, const ReceiptTexts& texts);

// The preview of the lines: each line preceded by a line break, so it opens with an empty line.
QString ReceiptPreviewText(const QStringList& lines);
