#include "ledger/sales.h"

#include <algorithm>

#include "common/date_text.h"
#include "common/name_initials.h"
#include "common/number_text.h"
#include "ledger/customers.h"
#include "ledger/row_access.h"
#include "ledger/shift.h"
#include "store/db_connection.h"

namespace ledger {

LedgerResult RecordSale(DbConnection& db, const SaleInput& sale) {
    LedgerResult result;
    if (IsZero(sale.销售数量)) {
        result.outcome = LedgerResult::ZeroQuantity;
        return result;
    }
    bool isNumber = false;
    const qint64 goodsId = sale.goodsId.trimmed().toLongLong(&isNumber);
    if (!isNumber) {
        result.outcome = LedgerResult::RecordGone;
        return result;
    }
    result.goodsId = goodsId;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    if (!sale.tillSaleId.isEmpty()) {
        QVariantList booked;
        LedgerResult lookup;
        if (ReadRow(db, QStringLiteral("SELECT 销售ID FROM till_sale WHERE 编号=?"),
                    {sale.tillSaleId}, &booked, &lookup)) {
            result.outcome = LedgerResult::Done;
            result.alreadyBooked = true;
            result.id = result.saleId = booked[0].toLongLong();
            return result;
        }
        if (lookup.outcome != LedgerResult::RecordGone) return lookup;
    }
    QVariantList s;
    // A user who may not read the purchase price leaves the goods' counters, the purchase price
    // and the profit to the server's sale trigger, which moves them as below.
    const bool seesCosts = SeesCosts(db);
    const bool stored =
        seesCosts
            ? ReadRow(db,
                      ForChange(db, QStringLiteral("SELECT 进货单价,销售数量,销售金额,存货数量,"
                                                   "首拼 FROM buy WHERE ID=?")),
                      {goodsId}, &s, &result)
            : ReadRow(db,
                      QStringLiteral("SELECT 0,销售数量,销售金额,存货数量,首拼 FROM buy "
                                     "WHERE ID=?"),
                      {goodsId}, &s, &result);
    // Goods deleted on the server after a till sold them offline have left the shop all the
    // same: the sale is booked at the till's purchase price with all of it short, never dropped.
    const bool goneAfterOfflineSale =
        !stored && sale.madeOffline && result.outcome == LedgerResult::RecordGone;
    if (!stored && !goneAfterOfflineSale) return result;
    if (goneAfterOfflineSale) s = {sale.tillCost, 0.0, 0.0, 0.0, NameInitials(sale.名称)};
    const double cost = s[0].toDouble();
    const double stock = s[3].toDouble() - sale.销售数量;
    if (IsGreater(sale.销售数量, s[3].toDouble())) {
        if (!sale.madeOffline) {
            result.outcome = LedgerResult::NotEnoughStock;
            return result;
        }
        result.shortfall = StoredNumber(sale.销售数量 - std::max(0.0, s[3].toDouble()));
    }
    if (sale.madeOffline && !seesCosts &&
        !db.Execute(QStringLiteral("SET LOCAL lk.offline_sale = 'on'")))
        return StoreFailure(db, &result), result;
    if (!goneAfterOfflineSale && seesCosts &&
        !ChangeRows(db,
                    QStringLiteral("UPDATE buy SET 销售数量=?,销售金额=?,存货数量=?,存货金额=? "
                                   "WHERE ID=?"),
                    {StoredNumber(s[1].toDouble() + sale.销售数量),
                     StoredNumber(s[2].toDouble() + sale.销售金额), StoredNumber(stock),
                     StoredNumber(stock * cost), goodsId},
                    &result))
        return result;
    qint64 customerId = 0;
    if (!CustomerForSale(db, sale.客户名称, sale.联系方式, sale.客户地址, &customerId, &result))
        return result;
    QList<FieldValue> fields = {
        {u"名称", sale.名称, u"084"},
        {u"型号", sale.型号, u"083"},
        {u"编码", sale.编码, u"082"},
        {u"类型", sale.类型, u"081"},
        {u"进货单价", cost, u"0801"},
        {u"存货数量", StoredNumber(stock), u"0802"},
        {u"销售单价", sale.销售单价, u"0803"},
        {u"销售数量", sale.销售数量, u"079"},
        {u"销售金额", sale.销售金额, u"078"},
        {u"销售日期", sale.销售日期, u"077"},
        {u"欠款额", sale.欠款额, u"076"},
        {u"净利润", StoredNumber(sale.销售金额 - cost * sale.销售数量), u"075"},
        {u"客户编号", sale.客户编号, u"0755"},
        {u"客户名称", sale.客户名称, u"074"},
        {u"联系方式", sale.联系方式, u"073"},
        {u"客户地址", sale.客户地址, u"072"},
        {u"备注", sale.备注, u"071"},
        {u"首拼", s[4], u"0701"},
        {u"UID", goodsId, u"07010"},
        {u"客户ID", customerId, u"074"},
        {u"操作员", sale.user.left(50), u"0703"},
        {u"收银台", sale.tillName.left(50), u"0703"},
        {u"付款方式", PayMethodOrCash(sale.payMethod), u"0703"},
        {u"原欠款额", sale.欠款额, u"076"},
        {u"录入时间", sale.bookedAt.isValid() ? sale.bookedAt : CurrentDateTime(), u"0703"},
    };
    if (!seesCosts)
        fields.removeIf([](const FieldValue& f) {
            return QStringView(f.column) == u"进货单价" || QStringView(f.column) == u"净利润";
        });
    if (!InsertRow(db, QStringLiteral("sell"), fields, &result)) return result;
    result.saleId = result.id;
    if (!sale.tillSaleId.isEmpty() && !InsertRow(db, QStringLiteral("till_sale"),
                                                 {{u"编号", sale.tillSaleId, u"0702"},
                                                  {u"销售ID", result.saleId, u"0702"},
                                                  {u"短缺", result.shortfall, u"0702"},
                                                  {u"收银台", sale.tillName.left(50), u"0702"},
                                                  {u"日期", CurrentDateTime(), u"0702"}},
                                                 &result))
        return result;
    result.id = result.saleId;
    return FinishSale(db, transaction, result);
}

namespace {

// Notes in sale_edit that sale (销售金额, 欠款额, 收银台, 操作员, 录入时间 as read before the
// change) was deleted or had its debt set to newDebt, in the change's transaction.
bool NoteSaleEdit(DbConnection& db, qint64 saleId, const QString& what, const QVariantList& sale,
                  const QVariant& newDebt, LedgerResult* result) {
    LedgerResult noted;
    if (InsertRow(db, QStringLiteral("sale_edit"),
                  {{u"销售ID", saleId, u"0901"},
                   {u"操作", what, u"0901"},
                   {u"时间", CurrentDateTime(), u"0901"},
                   {u"销售金额", sale[0], u"0901"},
                   {u"欠款额", sale[1], u"0901"},
                   {u"收银台", sale[2], u"0901"},
                   {u"操作员", sale[3], u"0901"},
                   {u"录入时间", sale[4], u"0901"},
                   {u"新欠款额", newDebt, u"0901"}},
                  &noted))
        return true;
    noted.id = noted.saleId = saleId;
    *result = noted;
    return false;
}

const QString kEditedSaleColumns = QStringLiteral("销售金额,欠款额,收银台,操作员,录入时间");

}  // namespace

LedgerResult ModifySale(DbConnection& db, qint64 saleId, const SaleChange& change,
                        const RowSeen& seen) {
    LedgerResult result;
    result.id = result.saleId = saleId;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    if (!StillAsSeen(db, EditedRow::Sale, saleId, seen, &result)) return result;
    // A corrected name or phone moves the sale to the customer it names.
    qint64 customerId = 0;
    if (!CustomerForSale(db, change.客户名称, change.联系方式, change.客户地址, &customerId,
                         &result))
        return result;
    QVariantList before;
    if (!ReadRow(db, QStringLiteral("SELECT %1 FROM sell WHERE ID=?").arg(kEditedSaleColumns),
                 {saleId}, &before, &result) ||
        !NoteSaleEdit(db, saleId, QStringLiteral("修改"), before, StoredNumber(change.欠款额),
                      &result))
        return result;
    if (!ChangeRows(db,
                    QStringLiteral("UPDATE sell SET 欠款额=?,客户名称=?,联系方式=?,客户地址=?,"
                                   "备注=?,客户ID=? WHERE ID=?"),
                    {StoredNumber(change.欠款额), change.客户名称, change.联系方式, change.客户地址,
                     change.备注, customerId, saleId},
                    &result) ||
        !ResettlePayments(db, saleId, &result))
        return result;
    return Finish(db, transaction, result);
}

LedgerResult DeleteSale(DbConnection& db, qint64 saleId) {
    LedgerResult result;
    result.id = result.saleId = saleId;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    QVariantList sale;
    if (!ReadRow(
            db,
            QStringLiteral("SELECT UID,销售数量,%1 FROM sell WHERE ID=?").arg(kEditedSaleColumns),
            {saleId}, &sale, &result) ||
        !NoteSaleEdit(db, saleId, QStringLiteral("删除"), sale.mid(2), QVariant(), &result))
        return result;
    if (!ChangeRows(db, QStringLiteral("DELETE FROM sell WHERE ID=?"), {saleId}, &result) ||
        !ResettlePayments(db, saleId, &result))
        return result;
    const qint64 goodsId = sale[0].toLongLong();
    QVariantList goods;
    LedgerResult lookup;
    if (ReadRow(db,
                ForChange(db, QStringLiteral("SELECT 销售数量,销售金额,存货数量,进货单价 FROM buy "
                                             "WHERE ID=?")),
                {goodsId}, &goods, &lookup)) {
        const double stock = goods[2].toDouble() + sale[1].toDouble();
        if (!ChangeRows(db,
                        QStringLiteral("UPDATE buy SET 销售数量=?,销售金额=?,存货数量=?,"
                                       "存货金额=? WHERE ID=?"),
                        {StoredNumber(goods[0].toDouble() - sale[1].toDouble()),
                         StoredNumber(goods[1].toDouble() - sale[2].toDouble()),
                         StoredNumber(stock), StoredNumber(stock * goods[3].toDouble()), goodsId},
                        &result))
            return result;
        result.goodsId = goodsId;
    } else if (lookup.outcome != LedgerResult::RecordGone) {
        result.outcome = lookup.outcome;
        result.error = lookup.error;
        return result;
    }
    return Finish(db, transaction, result);
}

}  // namespace ledger
