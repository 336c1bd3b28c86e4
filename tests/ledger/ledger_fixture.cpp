#include "ledger_fixture.h"

#include "store/statement.h"
#include "support/test_server.h"

void LedgerFixture::SetUp() {
    ASSERT_TRUE(dir_.isValid());
    if (store_ == StoreKind::Server) {
        // No server is a failure, never a skip: CI installs PostgreSQL for these tests.
        TestServer& server = TestServer::Instance();
        ASSERT_TRUE(server.Running()) << server.Error().toStdString();
        server_ = server.NewDatabase();
        ASSERT_FALSE(server_.isEmpty()) << server.Error().toStdString();
    } else {
        ASSERT_TRUE(CreateDatabaseFile(Path()));
    }
    ASSERT_TRUE(OpenTill(till1_)) << till1_.GetErrorDescription().toStdString();
    ASSERT_TRUE(OpenTill(till2_)) << till2_.GetErrorDescription().toStdString();
}

bool LedgerFixture::OpenTill(DbConnection& till) const {
    return store_ == StoreKind::Server ? till.OpenServer(server_) : till.OpenFile(Path());
}

qint64 LedgerFixture::AddGoods(double stock, double cost) {
    EXPECT_TRUE(till1_.Execute(
        "insert into buy (名称, 型号, 编码, 类型, 进货数量, 进货单价, 进货金额, 销售单价, "
        "存货数量, 存货金额, 首拼) values ('圆珠笔', 'B2', 'YZB', '文具', ?, ?, ?, 12.5, ?, ?, "
        "'YZB')",
        {stock, cost, stock * cost, stock, stock * cost}));
    return till1_.LastInsertId();
}

QVariant LedgerFixture::Value(const QString& table, const QString& column, qint64 id) {
    Statement st(till1_, QStringLiteral("select \"%1\" from \"%2\" where ID=?").arg(column, table));
    st.Bind({id});
    if (!st.Next()) return QVariant();
    if (st.Type(0) == ColumnType::Text) return st.Text(0);
    return st.Double(0);
}

qint64 LedgerFixture::Count(const QString& table) {
    Statement st(till1_, QStringLiteral("select count(*) from \"%1\"").arg(table));
    return st.Next() ? st.Int64(0) : -1;
}

double LedgerFixture::Scalar(const QString& sql) {
    Statement st(till1_, sql);
    EXPECT_TRUE(st.Next()) << st.Error().toStdString();
    return st.Double(0);
}

void LedgerFixture::ExpectGoodsInvariants(DbConnection& db) {
    Statement st(db,
                 QStringLiteral("select ID, 进货数量, 销售数量, 存货数量, "
                                "(select total(销售数量) from sell where UID=buy.ID) from buy"));
    int rows = 0;
    while (st.Next()) {
        ++rows;
        const double bought = st.Double(1);
        const double sold = st.Double(2);
        const double stock = st.Double(3);
        const double sales = st.Double(4);
        const qint64 id = st.Int64(0);
        EXPECT_NEAR(stock, bought - sold, 0.0000001) << "goods " << id;
        EXPECT_NEAR(sold, sales, 0.0000001) << "goods " << id;
    }
    EXPECT_TRUE(st.Error().isEmpty()) << st.Error().toStdString();
    EXPECT_GT(rows, 0);
}
