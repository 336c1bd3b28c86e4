#include "stock/delete_goods.h"

#include "ledger/goods.h"
#include "platform/skin.h"
#include "platform/skin_caption.h"
#include "stock/goods_row.h"
#include "store/shared_db.h"

bool DeleteGoods(const QString& id) {
    if (!IsRecordId(id)) return false;
    const QString question = QStringLiteral("你确定要删除当前选中的资料吗？") +
                             QStringLiteral("\r\n\r\n") + QString(11, u' ') +
                             QStringLiteral("一经删除无法恢复");
    if (Skin::Instance().SkinMessageBox(question, 0, 2, 1, ProgramCaption()) != 1) return false;
    if (!EnsureDatabaseOpen()) return false;  // the opener has told the user
    const LedgerResult result = ledger::DeleteGoods(SharedConnection(), RecordIdValue(id));
    if (result.outcome == LedgerResult::RecordGone) {
        ShowMessage(QStringLiteral("找不到这件商品的记录，它可能已被删除"), 2);
        return false;
    }
    if (!result.IsDone()) {
        ShowMessage(FailureText(result, QStringLiteral("删除失败，商品资料没有删除")), 2);
        return false;
    }
    return true;
}
