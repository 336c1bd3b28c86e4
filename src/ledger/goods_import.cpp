#include "ledger/goods_import.h"

#include <QHash>
#include <QVariant>

#include "ledger/result.h"
#include "ledger/row_access.h"
#include "store/db_connection.h"
#include "store/statement.h"

bool ReadGoodsCodes(DbConnection& db, QHash<QString, qint64>* codes, QString* error) {
    Statement read(db, QStringLiteral("SELECT ID, 编码 FROM buy"));
    while (read.Next()) codes->insert(read.Text(1).toUpper(), read.Int64(0));
    *error = read.Error();
    return !read.Failed() && read.Ok();
}

namespace {

bool Run(Statement& statement, const QVariantList& values, QString* error) {
    statement.Reset();
    if (statement.Bind(values)) statement.Next();
    if (statement.Failed()) {
        *error = statement.Error();
        return false;
    }
    return true;
}

}  // namespace

GoodsImportResult ImportGoodsIntoStock(DbConnection& connection,
                                       const std::vector<GoodsImportRow>& rows,
                                       bool restockExisting,
                                       const std::function<bool(int)>& progress) {
    GoodsImportResult result;
    if (connection.SalesOnly()) {
        result.error = ServerNeededText();
        return result;
    }
    DbTransaction transaction(connection);
    if (!transaction.IsActive()) {
        result.error = connection.GetErrorDescription();
        return result;
    }
    QHash<QString, qint64> codes;
    if (!ReadGoodsCodes(connection, &codes, &result.error)) return result;

    Statement insert(
        connection,
        QStringLiteral("insert into buy (类型, 名称, 型号, 编码, 进货数量, 进货单价, 进货金额, "
                       "销售数量, 销售单价, 销售金额, 存货数量, 存货金额, 入库日期, 供货商, "
                       "备注, 首拼) values (?1, ?2, ?3, ?4, ?5, ?6, ?5 * ?6, 0, ?7, 0, ?5, "
                       "?5 * ?6, ?8, ?9, ?10, ?11)"));
    // At the stored purchase price, which a user who may not read it leaves to the server.
    Statement restock(
        connection,
        ledger::SeesCosts(connection)
            ? QStringLiteral("update buy set 进货数量 = 进货数量 + ?1, "
                             "进货金额 = 进货金额 + ?1 * 进货单价, 存货数量 = 存货数量 + "
                             "?1, 存货金额 = 存货金额 + ?1 * 进货单价 where ID = ?2")
            : QStringLiteral("select lk_restock(?2, ?1)"));
    if (!insert.Ok() || !restock.Ok()) {
        result.error = insert.Ok() ? restock.Error() : insert.Error();
        return result;
    }
    int done = 0;
    for (const GoodsImportRow& row : rows) {
        const QString key = row.编码.toUpper();
        const auto stored = codes.constFind(key);
        if (stored != codes.constEnd()) {
            if (!restockExisting) {
                result.skippedLines << row.line;
            } else if (!Run(restock, {row.进货数量, *stored}, &result.error)) {
                return result;
            } else {
                ++result.restocked;
            }
        } else {
            if (!Run(insert,
                     {row.类型, row.名称, row.型号, row.编码, row.进货数量, row.进货单价,
                      row.销售单价, row.入库日期, row.供货商, row.备注, row.首拼},
                     &result.error))
                return result;
            codes.insert(key, connection.LastInsertId());
            ++result.added;
        }
        if (progress && (++done % 500 == 0 || done == static_cast<int>(rows.size())) &&
            !progress(done)) {
            result.outcome = GoodsImportResult::Cancelled;
            return result;  // the transaction rolls back
        }
    }
    if (!transaction.Commit()) {
        result.error = connection.GetErrorDescription();
        return result;
    }
    result.outcome = GoodsImportResult::Done;
    return result;
}
