#include "ledger/goods.h"

#include "common/session.h"
#include "ledger/row_access.h"
#include "store/db_connection.h"
#include "store/server_roles.h"
#include "store/server_session.h"
#include "store/statement.h"

namespace ledger {

LedgerResult StockIn(DbConnection& db, const GoodsInput& g) {
    LedgerResult result;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    const double amount = StoredNumber(g.quantity * g.price);
    const QList<FieldValue> fields = {
        {u"类型", g.type, u"099"},          {u"名称", g.name, u"098"},
        {u"型号", g.model, u"097"},         {u"编码", g.code, u"096"},
        {u"进货数量", g.quantity, u"095"},  {u"进货单价", g.price, u"094"},
        {u"进货金额", amount, u"093"},      {u"销售数量", 0.0, u"093"},
        {u"销售单价", g.salePrice, u"091"}, {u"销售金额", 0.0, u"090"},
        {u"存货数量", g.quantity, u"089"},  {u"存货金额", amount, u"088"},
        {u"入库日期", g.date, u"087"},      {u"供货商", g.supplier, u"086"},
        {u"备注", g.remark, u"085"},        {u"首拼", g.initials, u"085"},
    };
    if (!InsertRow(db, QStringLiteral("buy"), fields, &result)) return result;
    result.goodsId = result.id;
    return Finish(db, transaction, result);
}

LedgerResult Restock(DbConnection& db, qint64 goodsId, double quantity) {
    LedgerResult result;
    result.id = result.goodsId = goodsId;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    // At the stored purchase price, which a user who may not read it leaves to the server.
    if (!SeesCosts(db)) {
        Statement st(db, QStringLiteral("SELECT CASE WHEN lk_restock(?, ?) THEN 1 ELSE 0 END"));
        st.Bind({goodsId, StoredNumber(quantity)});
        if (!st.Next()) {
            result.outcome = LedgerResult::StoreFailed;
            result.error = st.Error();
            return result;
        }
        if (st.Int64(0) == 0) {
            result.outcome = LedgerResult::RecordGone;
            return result;
        }
        return Finish(db, transaction, result);
    }
    QVariantList s;
    if (!ReadRow(db,
                 ForChange(db, QStringLiteral("SELECT 进货数量,进货单价,进货金额,存货数量,存货金额 "
                                              "FROM buy WHERE ID=?")),
                 {goodsId}, &s, &result))
        return result;
    const double added = quantity * s[1].toDouble();
    if (!ChangeRows(
            db,
            QStringLiteral("UPDATE buy SET 进货数量=?,进货金额=?,存货数量=?,存货金额=? "
                           "WHERE ID=?"),
            {StoredNumber(s[0].toDouble() + quantity), StoredNumber(s[2].toDouble() + added),
             StoredNumber(s[3].toDouble() + quantity), StoredNumber(s[4].toDouble() + added),
             goodsId},
            &result))
        return result;
    return Finish(db, transaction, result);
}

bool ReadPurchasePrice(DbConnection& db, qint64 goodsId, const QString& adminPassword,
                       double* price, QString* error) {
    DbConnection admin;
    DbConnection* reader = &db;
    if (!SeesCosts(db)) {
        ServerSession* server = db.Server();
        if (!admin.OpenServerAs(server->ConnectionText(),
                                ServerRoleName(server->Database(), kSuperAdmin), adminPassword)) {
            *error = admin.GetErrorDescription();
            return false;
        }
        reader = &admin;
    }
    Statement st(*reader, QStringLiteral("SELECT 进货单价 FROM buy WHERE ID=?"));
    st.Bind({goodsId});
    if (st.Next()) {
        *price = st.Double(0);
        return true;
    }
    *error = st.Failed() || !st.Ok() ? st.Error() : QString();
    return false;
}

LedgerResult ModifyGoods(DbConnection& db, qint64 goodsId, const GoodsInput& g,
                         const RowSeen& seen) {
    LedgerResult result;
    result.id = result.goodsId = goodsId;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    if (!StillAsSeen(db, EditedRow::Goods, goodsId, seen, &result)) return result;
    QVariantList s;
    if (!ReadRow(db, ForChange(db, QStringLiteral("SELECT 销售数量 FROM buy WHERE ID=?")),
                 {goodsId}, &s, &result))
        return result;
    const double stock = g.quantity - s[0].toDouble();
    if (!ChangeRows(
            db,
            QStringLiteral("UPDATE buy SET 名称=?,型号=?,编码=?,类型=?,进货数量=?,"
                           "进货单价=?,进货金额=?,销售单价=?,存货数量=?,存货金额=?,"
                           "供货商=?,备注=?,首拼=? WHERE ID=?"),
            {g.name, g.model, g.code, g.type, StoredNumber(g.quantity), StoredNumber(g.price),
             StoredNumber(g.quantity * g.price), StoredNumber(g.salePrice), StoredNumber(stock),
             StoredNumber(g.price * stock), g.supplier, g.remark, g.initials, goodsId},
            &result))
        return result;
    return Finish(db, transaction, result);
}

LedgerResult DeleteGoods(DbConnection& db, qint64 goodsId) {
    LedgerResult result;
    result.id = result.goodsId = goodsId;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return StoreFailure(db, &result), result;
    if (!ChangeRows(db, QStringLiteral("DELETE FROM buy WHERE ID=?"), {goodsId}, &result))
        return result;
    return Finish(db, transaction, result);
}

}  // namespace ledger
