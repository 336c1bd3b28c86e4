#include "stock/goods_row.h"

#include "common/number_text.h"
#include "platform/list_style.h"
#include "platform/skin.h"
#include "store/shared_db.h"

bool LoadGoodsRow(const QString& id, GoodsRow* row, bool* readFailed) {
    if (readFailed) *readFailed = false;
    DbRecordSet& records = SharedRecordSet();
    // A database that cannot be opened has been told by its opener.
    const bool open = EnsureDatabaseOpen();
    if (!open || !OpenSharedQuery(QStringLiteral("select * from buy where ID=?"), {id})) {
        if (open)
            ShowMessage(ReadFailureText(QStringLiteral("读取商品失败"), records.GetLastError()), 2);
        records.Close();
        if (readFailed) *readFailed = true;
        return false;
    }
    const bool found = records.GetRecordCount() > 0;
    if (found) {
        row->ID = FieldText(records, QStringLiteral("ID"));
        row->名称 = FieldText(records, QStringLiteral("名称"));
        row->型号 = FieldText(records, QStringLiteral("型号"));
        row->编码 = FieldText(records, QStringLiteral("编码"));
        row->类型 = FieldText(records, QStringLiteral("类型"));
        row->进货数量 = FieldNumber(records, QStringLiteral("进货数量"));
        row->进货单价 = FieldNumber(records, QStringLiteral("进货单价"));
        row->进货金额 = FieldNumber(records, QStringLiteral("进货金额"));
        row->销售数量 = FieldNumber(records, QStringLiteral("销售数量"));
        row->销售单价 = FieldNumber(records, QStringLiteral("销售单价"));
        row->销售金额 = FieldNumber(records, QStringLiteral("销售金额"));
        row->存货数量 = FieldNumber(records, QStringLiteral("存货数量"));
        row->存货金额 = FieldNumber(records, QStringLiteral("存货金额"));
        row->入库日期 = FieldDate(records, QStringLiteral("入库日期")).date();
        row->供货商 = FieldText(records, QStringLiteral("供货商"));
        row->备注 = FieldText(records, QStringLiteral("备注"));
    }
    records.Close();
    return found;
}
