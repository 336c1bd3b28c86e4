#include "common/text.h"

#include "common/number_text.h"

namespace {
bool IsTrimmedSpace(QChar c) {
    return c == u' ' || c == QChar(0x3000);
}
}  // namespace

QString TrimSpaces(const QString& text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && IsTrimmedSpace(text[begin])) ++begin;
    while (end > begin && IsTrimmedSpace(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

QString InputErrorText(const QString& codeText, const QString& label, const QVariant& value,
                       bool number) {
    QString cause;
    if (value.typeId() == QMetaType::QString) {
        const QString text = value.toString();
        if (number && TrimSpaces(text).isEmpty())
            cause = QStringLiteral("不能为空");
        else if (number && !IsNumberText(text))
            cause = QStringLiteral("必须是数字");
        else if (text.size() > 50)
            cause = QStringLiteral("不能超过50个字");
    }
    return cause.isEmpty() ? codeText : codeText + QStringLiteral("\r\n") + label + cause;
}
