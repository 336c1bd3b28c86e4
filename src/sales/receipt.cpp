#include "sales/receipt.h"

#include "common/gbk.h"
#include "common/ini.h"
#include "common/number_text.h"
#include "common/settings.h"

namespace {

QString Spaces(qsizetype count) {
    return QString(std::max<qsizetype>(count, 0), u' ');
}

}  // namespace

ReceiptTexts ReadReceiptTexts() {
    const QString file = ReceiptPath();
    return {IniRead(file, kReceiptSection, QStringLiteral("票头")),
            IniRead(file, kReceiptSection, QStringLiteral("宣传1")),
            IniRead(file, kReceiptSection, QStringLiteral("宣传2"))};
}

QStringList ReceiptHeaderLines(const ReceiptTexts& texts) {
    return {Spaces(13) + texts.票头, QStringLiteral("名 称       数 量   单 价（元）")};
}

QString ReceiptGoodsLine(const QString& name, double quantity, double price) {
    const QString shown = GbkByteCount(name) > 15 ? GbkCut(name, 10) : name;
    const QString count = NumberText(quantity);
    return shown + Spaces(15 - GbkByteCount(shown)) + count + Spaces(7 - count.size()) +
           NumberText(price);
}

QStringList ReceiptClosingLines(double quantity, double total, const ReceiptTexts& texts) {
    return {
        QString(26, u'-'),
        QStringLiteral("合计：") + Spaces(9) + NumberText(quantity) + Spaces(6) + NumberText(total),
        QString(26, u'='), texts.宣传1, texts.宣传2};
}

QString ReceiptPreviewText(const QStringList& lines) {
    QString text;
    for (const QString& line : lines) text += u'\n' + line;
    return text;
}
