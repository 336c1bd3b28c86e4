#include "sales/sale_transaction.h"

#include <QVariant>

#include "common/number_text.h"
#include "platform/list_refresh.h"
#include "platform/skin.h"
#include "sales/scan_batch.h"
#include "stock/goods_entry_window.h"
#include "store/shared_db.h"

namespace {

const QString kNotRecorded = QStringLiteral("销售失败，库存和销售记录都没有改变");

// The goods' figures as they are stored now.
struct StoredGoods {
    QVariant id;
    double 进货单价 = 0;
    double 销售数量 = 0;
    double 销售金额 = 0;
    double 存货数量 = 0;
    QVariant 首拼;
};

// Reads the goods row; shows the warning and gives false when it cannot.
bool ReadGoods(const QString& goodsId, StoredGoods* goods) {
    DbRecordSet& records = SharedRecordSet();
    const bool read = OpenSharedQuery(
        QStringLiteral(
            "select ID,进货单价,销售数量,销售金额,存货数量,存货金额,首拼 from buy where ID=?"),
        {goodsId});
    if (!read || records.GetRecordCount() <= 0) {
        records.Close();
        ShowMessage(QStringLiteral("错误代码 [083]"), 2);
        return false;
    }
    goods->id = records.GetFieldByName(QStringLiteral("ID"));
    goods->进货单价 = FieldNumber(records, QStringLiteral("进货单价"));
    goods->销售数量 = FieldNumber(records, QStringLiteral("销售数量"));
    goods->销售金额 = FieldNumber(records, QStringLiteral("销售金额"));
    goods->存货数量 = FieldNumber(records, QStringLiteral("存货数量"));
    goods->首拼 = records.GetFieldByName(QStringLiteral("首拼"));
    records.Close();
    if (!IsZero(VariantNumber(goods->id) - TextToNumber(goodsId))) {
        ShowMessage(QStringLiteral("未知错误,错误代码[000]"), 2);
        return false;
    }
    return true;
}

bool UpdateGoods(const SaleInput& sale, const StoredGoods& goods) {
    const double stock = goods.存货数量 - sale.销售数量;
    qint64 changed = 0;
    return SharedConnection().Execute(
               QStringLiteral("Update buy set 销售数量=?,销售金额=?,存货数量=?,存货金额=? "
                              "where ID=?"),
               {StatementNumber(goods.销售数量 + sale.销售数量),
                StatementNumber(goods.销售金额 + sale.销售金额), StatementNumber(stock),
                StatementNumber(stock * goods.进货单价), goods.id},
               &changed) &&
           changed == 1;
}

// Appends the sales row field by field; a field that cannot be set shows its code.
bool AppendSale(const SaleInput& sale, const StoredGoods& goods) {
    DbRecordSet& records = SharedRecordSet();
    // No row is read: the record set only stands on the table for the new row.
    if (!records.Open(QStringLiteral("select * from sell where ID=0"), SharedConnection(), true) ||
        !records.AddNew()) {
        records.Close();
        ShowMessage(kNotRecorded, 2);
        return false;
    }
    const struct {
        const char* field;
        QVariant value;
        const char* code;
    } fields[] = {
        {"名称", sale.名称, "错误代码 [084]"},
        {"型号", sale.型号, "错误代码 [083]"},
        {"编码", sale.编码, "错误代码 [082]"},
        {"类型", sale.类型, "错误代码 [081]"},
        {"进货单价", goods.进货单价, "错误代码 [0801]"},
        {"存货数量", goods.存货数量 - sale.销售数量, "错误代码 [0802]"},
        {"销售单价", sale.销售单价, "错误代码 [0803]"},
        {"销售数量", sale.销售数量, "错误代码 [079]"},
        {"销售金额", sale.销售金额, "错误代码 [078]"},
        {"销售日期", sale.销售日期, "错误代码 [077]"},
        {"欠款额", sale.欠款额, "错误代码 [076]"},
        // The profit is that of price × quantity, whatever amount was typed.
        {"净利润", (sale.销售单价 - goods.进货单价) * sale.销售数量, "错误代码 [075]"},
        {"客户编号", sale.客户编号, "错误代码 [0755]"},
        {"客户名称", sale.客户名称, "错误代码 [074]"},
        {"联系方式", sale.联系方式, "错误代码 [073]"},
        {"客户地址", sale.客户地址, "错误代码 [072]"},
        {"备注", sale.备注, "错误代码 [071]"},
        {"首拼", goods.首拼, "错误代码 [0701]"},
        {"UID", goods.id, "错误代码 [07010]"},
    };
    for (const auto& f : fields) {
        if (!records.SetFieldByName(QString::fromUtf8(f.field), f.value)) {
            records.Close();
            ShowMessage(QString::fromUtf8(f.code), 2);
            return false;
        }
    }
    const bool stored = records.Update();
    records.Close();
    if (!stored) ShowMessage(kNotRecorded, 2);
    return stored;
}

}  // namespace

bool SaleTransaction(const SaleInput& sale) {
    if (IsZero(sale.销售数量)) {
        ShowMessage(QStringLiteral("销售数量不能是0"), 2);
        return false;
    }
    if (IsGreater(sale.销售数量, sale.shownStock)) {
        ShowMessage(QStringLiteral("库存不足，无法销售"), 2);
        return false;
    }
    StoredGoods goods;
    if (!ReadGoods(sale.goodsId, &goods)) return false;

    // The stock changes only together with its sales row.
    DbTransaction transaction(SharedConnection());
    if (!transaction.IsActive() || !UpdateGoods(sale, goods)) {
        ShowMessage(kNotRecorded, 2);
        return false;
    }
    if (!AppendSale(sale, goods)) return false;
    if (!transaction.Commit()) {
        ShowMessage(kNotRecorded, 2);
        return false;
    }

    if (!ScanBatchMode())
        Skin::Instance().SkinMessageBox(QStringLiteral("销售商品完成"), 1, 0, 1,
                                        QStringLiteral("提示"));
    RefillWholeList(ListId::Stock);
    RefillWholeList(ListId::Sales);
    RefillWholeList(ListId::Other);
    RefillWholeList(ListId::Summary);
    return true;
}
