#include "ledger/result.h"

#include "common/text.h"

QString RefusedFieldText(const LedgerResult& result) {
    return InputErrorText(QStringLiteral("错误代码 ") + result.fieldCode, result.fieldName,
                          result.fieldValue, result.fieldIsNumber);
}
