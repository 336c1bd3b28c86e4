#include "ledger_fixture.h"

#include <sqlite3.h>

#include "store/statement.h"

void LedgerFixture::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(CreateDatabaseFile(Path()));
    ASSERT_TRUE(till1_.OpenFile(Path())) << till1_.GetErrorDescription().toStdString();
    ASSERT_TRUE(till2_.OpenFile(Path()));
}

qint64 LedgerFixture::AddGoods(double stock, double cost) {
    EXPECT_TRUE(till1_.Execute(
        "insert into buy (名称, 型号, 编码, 类型, 进货数量, 进货单价, 进货金额, 销售单价, "
        "存货数量, 存货金额, 首拼) values ('圆珠笔', 'B2', 'YZB', '文具', ?, ?, ?, 12.5, ?, ?, "
        "'YZB')",
        {stock, cost, stock * cost, stock, stock * cost}));
    return sqlite3_last_insert_rowid(till1_.GetHandle());
}

QVariant LedgerFixture::Value(const QString& table, const QString& column, qint64 id) {
    Statement st(till1_.GetHandle(),
                 QStringLiteral("select \"%1\" from \"%2\" where ID=?").arg(column, table));
    st.Bind({id});
    if (st.Step() != SQLITE_ROW) return QVariant();
    if (sqlite3_column_type(st.Get(), 0) == SQLITE_TEXT)
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.Get(), 0)));
    return sqlite3_column_double(st.Get(), 0);
}

qint64 LedgerFixture::Count(const QString& table) {
    Statement st(till1_.GetHandle(), QStringLiteral("select count(*) from \"%1\"").arg(table));
    return st.Step() == SQLITE_ROW ? sqlite3_column_int64(st.Get(), 0) : -1;
}

double LedgerFixture::Scalar(const QString& sql) {
    Statement st(till1_.GetHandle(), sql);
    EXPECT_EQ(st.Step(), SQLITE_ROW) << st.Error().toStdString();
    return sqlite3_column_double(st.Get(), 0);
}

void LedgerFixture::ExpectGoodsInvariants(DbConnection& db) {
    Statement st(db.GetHandle(),
                 QStringLiteral("select ID, 进货数量, 销售数量, 存货数量, "
                                "(select total(销售数量) from sell where UID=buy.ID) from buy"));
    int rows = 0;
    while (st.Step() == SQLITE_ROW) {
        ++rows;
        const double bought = sqlite3_column_double(st.Get(), 1);
        const double sold = sqlite3_column_double(st.Get(), 2);
        const double stock = sqlite3_column_double(st.Get(), 3);
        const double sales = sqlite3_column_double(st.Get(), 4);
        const qint64 id = sqlite3_column_int64(st.Get(), 0);
        EXPECT_NEAR(stock, bought - sold, 0.0000001) << "goods " << id;
        EXPECT_NEAR(sold, sales, 0.0000001) << "goods " << id;
    }
    EXPECT_TRUE(st.Error().isEmpty()) << st.Error().toStdString();
    EXPECT_GT(rows, 0);
}
