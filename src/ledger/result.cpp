#include "ledger/result.h"

#include "common/text.h"

QString RefusedFieldText(const LedgerResult& result) {
    return InputErrorText(QStringLiteral("错误代码 ") + result.fieldCode, result.fieldName,
                          result.fieldValue, result.fieldIsNumber);
}

QString RecordChangedText(const QString& record) {
    return record + QStringLiteral(
                        "刚被另一台电脑修改过，\r\n您的修改没有保存。\r\n"
                        "请关闭窗口，重新打开后再修改。");
}

QString ServerNeededText() {
    return QStringLiteral(
        "服务器暂时连接不上，这台收银台现在只能销售。入库、修改、删除、收款和数据管理"
        "请等服务器恢复后再做。");
}

QString FailureText(const LedgerResult& result, const QString& failed) {
    return result.outcome == LedgerResult::ServerNeeded ? ServerNeededText() : failed;
}
