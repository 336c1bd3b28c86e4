#include "store/schema.h"

#include "store/change_log.h"
#include "store/password_hash.h"

namespace {

TableDef Table(const QString& name, QList<ColumnDef> columns, int since = 0) {
    columns.prepend(ColumnDef{QStringLiteral("ID"), ColumnKind::Id});
    for (ColumnDef& c : columns) c.since = qMax(c.since, since);
    return TableDef{name, columns, since};
}

ColumnDef T(const char* name) {
    return ColumnDef{QString::fromUtf8(name), ColumnKind::Text50};
}
ColumnDef M(const char* name) {
    return ColumnDef{QString::fromUtf8(name), ColumnKind::Memo};
}
ColumnDef R(const char* name) {
    return ColumnDef{QString::fromUtf8(name), ColumnKind::Real};
}
ColumnDef I(const char* name) {
    return ColumnDef{QString::fromUtf8(name), ColumnKind::Integer};
}
ColumnDef D(const char* name) {
    return ColumnDef{QString::fromUtf8(name), ColumnKind::Date};
}
ColumnDef Since(ColumnDef c, int version) {
    c.since = version;
    return c;
}
// columns, then who booked the row, at which till, how it was paid (unless the row has its own
// method) and when (version 7).
QList<ColumnDef> WithBooking(QList<ColumnDef> columns, bool payMethod) {
    columns << Since(T("操作员"), 7) << Since(T("收银台"), 7);
    if (payMethod) columns << Since(T("付款方式"), 7);
    return columns << Since(D("录入时间"), 7);
}

}  // namespace

QString ColumnText(const ColumnDef& c) {
    const QString q = QLatin1Char('"') + c.name + QLatin1Char('"');
    switch (c.kind) {
        case ColumnKind::Id:
            return q + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
        case ColumnKind::Text50:
            return q + QStringLiteral(" TEXT COLLATE NOCASE CHECK (length(%1) <= 50)").arg(q);
        case ColumnKind::Memo:
            return q + QStringLiteral(" TEXT COLLATE NOCASE");
        case ColumnKind::Real:
            return q + QStringLiteral(" REAL DEFAULT 0");
        case ColumnKind::Integer:
            return q + QStringLiteral(" INTEGER DEFAULT 0");
        case ColumnKind::Date:
            return q + QStringLiteral(
                           " TEXT CHECK (%1 GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9]' OR "
                           "%1 GLOB '[0-9][0-9][0-9][0-9]-[0-1][0-9]-[0-3][0-9] "
                           "[0-2][0-9]:[0-5][0-9]:[0-5][0-9]')")
                           .arg(q);
    }
    return q;
}

QString AddedIndexText() {
    // The sales charts sum one column of a year's or a month's sales; carrying both summed
    // columns in the date index lets them read the index alone, never the sales rows.
    // The sales page lists every type and customer of the sales for its filter boxes, the stock
    // page every type and supplier of the goods: with these indexes they step from one value
    // to the next instead of reading every row.
    return QStringLiteral(
        "CREATE INDEX IF NOT EXISTS \"销售日期\" ON sell(销售日期, 销售金额, 净利润);\n"
        "CREATE INDEX IF NOT EXISTS \"销售类型\" ON sell(类型);\n"
        "CREATE INDEX IF NOT EXISTS \"销售客户\" ON sell(客户名称);\n"
        "CREATE INDEX IF NOT EXISTS \"商品类型\" ON buy(类型);\n"
        "CREATE INDEX IF NOT EXISTS \"商品供货商\" ON buy(供货商);\n");
}

const ColumnDef* TableDef::Find(const QString& column) const {
    for (const ColumnDef& c : columns)
        if (c.name.compare(column, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

const QList<TableDef>& SchemaTables() {
    // 原欠款额 is the debt the sale gave, which payments and corrections of 欠款额 keep.
    const QList<ColumnDef> sell = {
        T("名称"),     T("型号"),     T("编码"),     T("类型"),     R("进货单价"),
        R("存货数量"), R("销售单价"), R("销售数量"), R("销售金额"), D("销售日期"),
        R("欠款额"),   R("净利润"),   T("客户编号"), T("客户名称"), T("联系方式"),
        T("客户地址"), T("备注"),     T("首拼"),     I("UID"),      Since(I("客户ID"), 1)};
    static const QList<TableDef> tables = {
        Table(QStringLiteral("buy"),
              {T("名称"), T("型号"), T("编码"), T("类型"), R("进货数量"), R("进货单价"),
               R("进货金额"), R("销售数量"), R("销售单价"), R("销售金额"), R("存货数量"),
               R("存货金额"), D("入库日期"), T("供货商"), M("备注"), T("首拼")}),
        Table(QStringLiteral("sell"), WithBooking(sell, true) << Since(R("原欠款额"), 7)),
        Table(QStringLiteral("other"), WithBooking({T("类型"), T("编号"), T("项目"), R("数量"),
                                                    R("单价"), R("金额"), D("日期"), T("备注")},
                                                   true)),
        Table(QStringLiteral("bank"),
              {T("银行"), T("账户"), T("方式"), R("金额"), D("日期"), M("备注")}),
        // 密码 holds a password's hash (store/password_hash.h), longer than a Text(50).
        Table(QStringLiteral("UserName"), {T("用户名"), M("密码"), T("权限")}),
        // A customer's sales carry its ID in sell.客户ID; 0 there is a sale to nobody known.
        Table(QStringLiteral("customer"),
              {T("编号"), T("名称"), T("联系方式"), T("地址"), M("备注")}, 1),
        Table(QStringLiteral("payment"),
              WithBooking({I("客户ID"), D("日期"), R("金额"), T("方式"), T("备注")}, false), 1),
        // What one payment took off one sale's debt, so that deleting the payment gives back
        // exactly that.
        Table(QStringLiteral("payment_part"), {I("收款ID"), I("销售ID"), R("金额")}, 1),
        // A stocktake is open while 确认时间 is empty; booking fills it and the gain and loss.
        Table(QStringLiteral("stocktake"),
              {T("范围"), T("范围值"), T("开始人"), D("开始时间"), T("确认人"), D("确认时间"),
               I("盘点种数"), R("盘盈数量"), R("盘盈金额"), R("盘亏数量"), R("盘亏金额")},
              5),
        // One row per goods counted: the book stock when it was first counted (or its count
        // typed), so that booking keeps what was sold meanwhile. 盈亏数量 and 盈亏金额 are the
        // difference as counted, and after booking what was booked.
        Table(QStringLiteral("stocktake_line"),
              {I("盘点ID"), I("商品ID"), T("名称"), T("型号"), T("编码"), T("类型"), T("供货商"),
               R("账面数量"), R("实盘数量"), R("盈亏数量"), R("进货单价"), R("盈亏金额"),
               D("盘点时间"), T("盘点人"), T("状态")},
              5),
        // Codes scanned that name no goods of the stocktake, with how often each came.
        Table(QStringLiteral("stocktake_code"), {I("盘点ID"), T("编码"), R("数量"), D("盘点时间")},
              5),
        // Each sale a till made on a server or while the server was away, by the number the
        // till gave it: a sale sent twice is booked once. 短缺 is what the stock lacked when a
        // sale made while the server was away reached it.
        Table(QStringLiteral("till_sale"),
              {T("编号"), I("销售ID"), R("短缺"), T("收银台"), D("日期")}, 6),
        // One row per shift of a user at a till, open while 结束时间 is empty; the handover
        // stores the figures from 开始时间 to 结束时间. Amounts by payment method are what came
        // in at the counter in that method less what was paid out in it.
        Table(QStringLiteral("shift"),
              {T("收银台"),   T("操作员"),   D("开始时间"), D("结束时间"), R("备用金"),
               R("实点现金"), R("应有现金"), R("差额"),     I("销售笔数"), R("销售数量"),
               R("销售金额"), R("欠款额"),   I("收款笔数"), R("收款金额"), R("收入"),
               R("支出"),     R("现金"),     R("微信"),     R("支付宝"),   R("银行卡"),
               R("其他")},
              7),
        // One row per sale deleted or modified, with who booked the sale, at which till and
        // when, so that a shift's report tells what was taken off it after the sale.
        Table(QStringLiteral("sale_edit"),
              {I("销售ID"), T("操作"), D("时间"), T("收银台"), T("操作员"), D("录入时间"),
               R("销售金额"), R("欠款额"), R("新欠款额")},
              8),
    };
    return tables;
}

const TableDef* FindTable(const QString& name) {
    for (const TableDef& t : SchemaTables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0) return &t;
    return nullptr;
}

QString CreateTableText(const TableDef& t) {
    QStringList columns;
    for (const ColumnDef& c : t.columns) columns << ColumnText(c);
    return QStringLiteral("CREATE TABLE \"%1\" (\n  %2\n) STRICT;\n")
        .arg(t.name, columns.join(QStringLiteral(",\n  ")));
}

QString TillSaleIndexText() {
    return QStringLiteral("CREATE UNIQUE INDEX IF NOT EXISTS \"收银台销售\" ON till_sale(编号);\n");
}

QString CustomerIndexText() {
    // The debt list sums the open debts per customer: the partial index holds only the sales
    // with a debt, so the list reads those and never the paid-up sales.
    return QStringLiteral(
        "CREATE INDEX IF NOT EXISTS \"客户欠款\" ON sell(客户ID, 欠款额) WHERE 欠款额>0;\n"
        "CREATE INDEX IF NOT EXISTS \"客户销售\" ON sell(客户ID);\n"
        "CREATE INDEX IF NOT EXISTS \"客户名称\" ON customer(名称, 联系方式);\n"
        "CREATE INDEX IF NOT EXISTS \"客户收款\" ON payment(客户ID);\n"
        "CREATE INDEX IF NOT EXISTS \"收款明细\" ON payment_part(收款ID);\n"
        "CREATE INDEX IF NOT EXISTS \"销售收款\" ON payment_part(销售ID);\n");
}

QString StocktakeIndexText() {
    // Unique per stocktake and goods: a count finds its line, and the window's join of the
    // goods with their lines reads one line per goods. A scanned code finds its goods by the
    // code's index, not by reading every goods.
    return QStringLiteral(
        "CREATE INDEX IF NOT EXISTS \"商品编码\" ON buy(编码);\n"
        "CREATE UNIQUE INDEX IF NOT EXISTS \"盘点商品\" ON stocktake_line(盘点ID, 商品ID);\n"
        "CREATE INDEX IF NOT EXISTS \"盘点编码\" ON stocktake_code(盘点ID, 编码);\n"
        "CREATE INDEX IF NOT EXISTS \"盘点确认\" ON stocktake(确认时间);\n");
}

QString SaleEditIndexText() {
    return QStringLiteral(
        "CREATE INDEX IF NOT EXISTS \"修改销售\" ON sale_edit(收银台, 操作员, 录入时间);\n");
}

QString ShiftIndexText() {
    // A shift reads the bookings of one till and user in a time range, a day those of every
    // till in one.
    QString sql;
    for (const char* table : {"sell", "payment", "other"})
        sql += QStringLiteral(
                   "CREATE INDEX IF NOT EXISTS \"%1收银台\" ON %1(收银台, 操作员, 录入时间);\n"
                   "CREATE INDEX IF NOT EXISTS \"%1录入时间\" ON %1(录入时间);\n")
                   .arg(QLatin1String(table));
    return sql + QStringLiteral(
                     "CREATE INDEX IF NOT EXISTS \"交班收银台\" ON shift(收银台, 操作员, "
                     "结束时间);\n"
                     "CREATE INDEX IF NOT EXISTS \"交班开始\" ON shift(开始时间);\n");
}

const QList<KeptTotals>& KeptTotalsTables() {
    static const QList<KeptTotals> tables = {
        {QStringLiteral("sell"),
         QStringLiteral("sell_totals"),
         {{QStringLiteral("销售数量"), 1000},
          {QStringLiteral("销售金额"), 100},
          {QStringLiteral("欠款额"), 100},
          {QStringLiteral("净利润"), 100}},
         {}},
        {QStringLiteral("buy"),
         QStringLiteral("buy_totals"),
         {{QStringLiteral("进货数量"), 1000},
          {QStringLiteral("进货金额"), 100},
          {QStringLiteral("销售数量"), 1000},
          {QStringLiteral("销售金额"), 100},
          {QStringLiteral("存货数量"), 1000},
          {QStringLiteral("存货金额"), 100}},
         QStringLiteral("存货数量 > 0.0000001")},
    };
    return tables;
}

namespace {

QString Quote(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QString KeptColumns(const KeptTotals& t, const QString& type) {
    QStringList columns{QStringLiteral("rows %1 NOT NULL").arg(type)};
    if (!t.inStock.isEmpty()) columns << QStringLiteral("in_stock %1 NOT NULL").arg(type);
    for (const auto& [column, scale] : t.columns)
        columns << QStringLiteral("%1 %2 NOT NULL").arg(Quote(column), type);
    return columns.join(QStringLiteral(", "));
}

// The kept row of the rows stored now (on a server over the transition table `from`).
QString KeptSelect(const KeptTotals& t, const QString& type, const QString& from) {
    QStringList sums{QStringLiteral("count(*)")};
    if (!t.inStock.isEmpty())
        sums << QStringLiteral("coalesce(sum(CASE WHEN %1 THEN 1 ELSE 0 END), 0)").arg(t.inStock);
    for (const auto& [column, scale] : t.columns)
        sums << QStringLiteral("coalesce(sum(cast(round(%1 * %2) AS %3)), 0)")
                    .arg(Quote(column))
                    .arg(scale)
                    .arg(type);
    return QStringLiteral("SELECT %1 FROM %2").arg(sums.join(QStringLiteral(", ")), from);
}

// The kept row moved by one row (row NEW or OLD) added (sign "+") or taken away ("-").
QString KeptStep(const KeptTotals& t, const QString& row, const QString& sign) {
    QStringList sets{QStringLiteral("rows = rows %1 1").arg(sign)};
    if (!t.inStock.isEmpty())
        sets << QStringLiteral("in_stock = in_stock %1 coalesce((%2), 0)")
                    .arg(sign, QString(t.inStock).replace(QStringLiteral("存货数量"),
                                                          row + QStringLiteral(".存货数量")));
    for (const auto& [column, scale] : t.columns)
        sets << QStringLiteral("%1 = %1 %2 coalesce(cast(round(%3.%1 * %4) AS integer), 0)")
                    .arg(Quote(column), sign, row)
                    .arg(scale);
    return sets.join(QStringLiteral(", "));
}

}  // namespace

QString KeptTotalsText() {
    QString sql;
    for (const KeptTotals& t : KeptTotalsTables()) {
        QStringList watched;
        for (const auto& [column, scale] : t.columns) watched << Quote(column);
        const QString add = KeptStep(t, QStringLiteral("NEW"), QStringLiteral("+"));
        const QString take = KeptStep(t, QStringLiteral("OLD"), QStringLiteral("-"));
        sql += QStringLiteral(
                   "CREATE TABLE %2 (%3) STRICT;\n"
                   "INSERT INTO %2 %4;\n"
                   "CREATE TRIGGER %2_added AFTER INSERT ON %1 BEGIN UPDATE %2 SET %5; END;\n"
                   "CREATE TRIGGER %2_deleted AFTER DELETE ON %1 BEGIN UPDATE %2 SET %6; END;\n"
                   "CREATE TRIGGER %2_changed AFTER UPDATE OF %7 ON %1 BEGIN "
                   "UPDATE %2 SET %6; UPDATE %2 SET %5; END;\n")
                   .arg(t.table, t.kept, KeptColumns(t, QStringLiteral("INTEGER")),
                        KeptSelect(t, QStringLiteral("integer"), t.table), add, take,
                        watched.join(QStringLiteral(", ")));
    }
    return sql;
}

QString DropKeptTotalsText() {
    QString sql;
    for (const KeptTotals& t : KeptTotalsTables())
        sql += QStringLiteral(
                   "DROP TRIGGER IF EXISTS %1_added;\nDROP TRIGGER IF EXISTS "
                   "%1_deleted;\nDROP TRIGGER IF EXISTS %1_changed;\nDROP TABLE IF "
                   "EXISTS %1;\n")
                   .arg(t.kept);
    return sql;
}

QString ServerDropKeptTotalsText() {
    // Quietly: a table that is not there is what an upgrade expects.
    QString sql = QStringLiteral("SET LOCAL client_min_messages = warning;\n");
    for (const KeptTotals& t : KeptTotalsTables())
        sql += QStringLiteral(
                   "DROP FUNCTION IF EXISTS lk_%1() CASCADE;\nDROP TABLE IF EXISTS "
                   "%1;\n")
                   .arg(t.kept);
    return sql;
}

QString ServerKeptTotalsText() {
    QString sql;
    for (const KeptTotals& t : KeptTotalsTables()) {
        // One update per statement over its rows: a copy of a million sales costs a few
        // hundred updates, not a million.
        QStringList added{QStringLiteral("rows = %1.rows + d.rows").arg(t.kept)},
            gone{QStringLiteral("rows = %1.rows - d.rows").arg(t.kept)};
        QStringList names{QStringLiteral("rows")};
        if (!t.inStock.isEmpty()) names << QStringLiteral("in_stock");
        for (const auto& [column, scale] : t.columns) names << Quote(column);
        for (qsizetype n = 1; n < names.size(); ++n) {
            added << QStringLiteral("%1 = %2.%1 + d.%1").arg(names[n], t.kept);
            gone << QStringLiteral("%1 = %2.%1 - d.%1").arg(names[n], t.kept);
        }
        const QString function = QStringLiteral("lk_%1").arg(t.kept);
        auto of = [&](const QString& rows) {
            return QStringLiteral("(SELECT * FROM (%1) s(%2)) d")
                .arg(KeptSelect(t, QStringLiteral("bigint"), rows), names.join(QLatin1Char(',')));
        };
        sql += QStringLiteral(
                   "CREATE TABLE %1 (%2);\n"
                   "INSERT INTO %1 %3;\n"
                   "CREATE FUNCTION %4() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN "
                   "IF TG_OP <> 'INSERT' THEN UPDATE %1 SET %5 FROM %6; END IF; "
                   "IF TG_OP <> 'DELETE' THEN UPDATE %1 SET %7 FROM %8; END IF; "
                   "RETURN NULL; END$$;\n")
                   .arg(t.kept, KeptColumns(t, QStringLiteral("bigint")),
                        KeptSelect(t, QStringLiteral("bigint"), t.table), function,
                        gone.join(QStringLiteral(", ")), of(QStringLiteral("old_rows")),
                        added.join(QStringLiteral(", ")), of(QStringLiteral("new_rows")));
        sql += QStringLiteral(
                   "CREATE TRIGGER %2_added AFTER INSERT ON %1 REFERENCING NEW TABLE AS "
                   "new_rows FOR EACH STATEMENT EXECUTE FUNCTION %3();\n"
                   "CREATE TRIGGER %2_changed AFTER UPDATE ON %1 REFERENCING OLD TABLE AS "
                   "old_rows NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION %3();\n"
                   "CREATE TRIGGER %2_deleted AFTER DELETE ON %1 REFERENCING OLD TABLE AS "
                   "old_rows FOR EACH STATEMENT EXECUTE FUNCTION %3();\n")
                   .arg(t.table, t.kept, function);
    }
    return sql;
}

QString FirstUserText() {
    // A hash is written in letters, digits and "$,=+/." alone: it needs no quoting.
    return QStringLiteral(
               "INSERT INTO UserName (用户名, 密码, 权限) VALUES ('超级管理员', '%1', "
               "'超级管理员');\n")
        .arg(HashPassword(QStringLiteral("642")));
}

QString SchemaText() {
    QString sql;
    for (const TableDef& t : SchemaTables()) sql += CreateTableText(t);
    sql += QStringLiteral("CREATE INDEX \"UID\" ON sell(UID);\n");
    sql += AddedIndexText();
    sql += CustomerIndexText();
    sql += TillSaleIndexText();
    sql += StocktakeIndexText();
    sql += ShiftIndexText();
    sql += SaleEditIndexText();
    sql += ChangeLogText();
    sql += KeptTotalsText();
    sql += QStringLiteral("PRAGMA user_version=%1;\n").arg(kSchemaVersion);
    sql += FirstUserText();
    return sql;
}
