#include "ledger/goods_code.h"

#include "ledger/goods_list.h"
#include "store/db_connection.h"
#include "store/statement.h"

namespace ledger {

namespace {

// The first goods that pass match (with its value) and the lookup's condition; false when
// the read failed.
bool FirstGoods(DbConnection& db, const QString& match, const QString& value,
                const CodeLookup& lookup, CodedGoods* goods, QString* error) {
    QString sql = QStringLiteral("SELECT ID, 名称, 销售单价 FROM buy WHERE ") + match;
    if (!lookup.among.sql.isEmpty())
        sql += QStringLiteral(" AND (") + lookup.among.sql + QLatin1Char(')');
    sql += lookup.leastStockFirst ? QStringLiteral(" ORDER BY 存货数量, ID LIMIT 1")
                                  : QStringLiteral(" ORDER BY ID LIMIT 1");
    Statement st(db, sql);
    st.Bind(QVariantList{value} + lookup.among.values);
    if (st.Next()) {
        goods->id = st.Int64(0);
        goods->name = st.Text(1);
        goods->salePrice = st.Double(2);
    }
    if (st.Ok() && !st.Failed()) return true;
    *error = st.Error().isEmpty() ? db.GetErrorDescription() : st.Error();
    return false;
}

}  // namespace

CodeLookup SaleLookup(bool inStockOnly, bool leastStockFirst) {
    CodeLookup lookup;
    lookup.among.sql = QStringLiteral("coalesce(名称, '') <> ''");
    if (inStockOnly) lookup.among.sql += QStringLiteral(" AND ") + GoodsInStock().sql;
    lookup.leastStockFirst = leastStockFirst;
    return lookup;
}

bool FindGoodsByCode(DbConnection& db, const QString& code, const CodeLookup& lookup,
                     CodedGoods* goods, QString* error) {
    *goods = CodedGoods{};
    if (!FirstGoods(db, QStringLiteral("编码 = ?"), code, lookup, goods, error)) return false;
    if (goods->id != 0) return true;
    return FirstGoods(db, QStringLiteral("编码 LIKE ?"), QLatin1Char('%') + code + QLatin1Char('%'),
                      lookup, goods, error);
}

}  // namespace ledger
