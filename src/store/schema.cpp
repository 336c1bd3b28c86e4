#include "store/schema.h"

#include "store/change_log.h"

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
    // The sales page lists every type and customer of the sales for its filter boxes: with
    // these indexes it steps from one value to the next instead of reading every sale.
    return QStringLiteral(
        "CREATE INDEX IF NOT EXISTS \"销售日期\" ON sell(销售日期, 销售金额, 净利润);\n"
        "CREATE INDEX IF NOT EXISTS \"销售类型\" ON sell(类型);\n"
        "CREATE INDEX IF NOT EXISTS \"销售客户\" ON sell(客户名称);\n");
}

const ColumnDef* TableDef::Find(const QString& column) const {
    for (const ColumnDef& c : columns)
        if (c.name.compare(column, Qt::CaseInsensitive) == 0) return &c;
    return nullptr;
}

const QList<TableDef>& SchemaTables() {
    static const QList<TableDef> tables = {
        Table(QStringLiteral("buy"),
              {T("名称"), T("型号"), T("编码"), T("类型"), R("进货数量"), R("进货单价"),
               R("进货金额"), R("销售数量"), R("销售单价"), R("销售金额"), R("存货数量"),
               R("存货金额"), D("入库日期"), T("供货商"), M("备注"), T("首拼")}),
        Table(QStringLiteral("sell"),
              {T("名称"),     T("型号"),     T("编码"),     T("类型"),     R("进货单价"),
               R("存货数量"), R("销售单价"), R("销售数量"), R("销售金额"), D("销售日期"),
               R("欠款额"),   R("净利润"),   T("客户编号"), T("客户名称"), T("联系方式"),
               T("客户地址"), T("备注"),     T("首拼"),     I("UID"),      Since(I("客户ID"), 1)}),
        Table(QStringLiteral("other"), {T("类型"), T("编号"), T("项目"), R("数量"), R("单价"),
                                        R("金额"), D("日期"), T("备注")}),
        Table(QStringLiteral("bank"),
              {T("银行"), T("账户"), T("方式"), R("金额"), D("日期"), M("备注")}),
        Table(QStringLiteral("UserName"), {T("用户名"), T("密码"), T("权限")}),
        // A customer's sales carry its ID in sell.客户ID; 0 there is a sale to nobody known.
        Table(QStringLiteral("customer"),
              {T("编号"), T("名称"), T("联系方式"), T("地址"), M("备注")}, 1),
        Table(QStringLiteral("payment"), {I("客户ID"), D("日期"), R("金额"), T("方式"), T("备注")},
              1),
        // What one payment took off one sale's debt, so that deleting the payment gives back
        // exactly that.
        Table(QStringLiteral("payment_part"), {I("收款ID"), I("销售ID"), R("金额")}, 1),
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

namespace {

// "a + cast(...)" per kept column, for one side of a change (sign "+" or "-") of row `row`.
QString KeptSums(const QString& row, const QString& sign) {
    QStringList sets{QStringLiteral("rows = rows %1 1").arg(sign)};
    for (const auto& [column, scale] : kKeptSalesTotals) {
        const QString c = QString::fromUtf16(column);
        sets << QStringLiteral(
                    "\"%1\" = \"%1\" %2 coalesce(cast(round(%3.\"%1\" * %4) AS integer), 0)")
                    .arg(c, sign, row, QString::fromUtf16(scale));
    }
    return sets.join(QStringLiteral(", "));
}

QString KeptColumns(const QString& type) {
    QStringList columns{QStringLiteral("rows %1 NOT NULL").arg(type)};
    for (const auto& [column, scale] : kKeptSalesTotals)
        columns << QStringLiteral("\"%1\" %2 NOT NULL").arg(QString::fromUtf16(column), type);
    return columns.join(QStringLiteral(", "));
}

// The row of the sales stored now.
QString KeptSelect(const QString& type) {
    QStringList sums{QStringLiteral("count(*)")};
    for (const auto& [column, scale] : kKeptSalesTotals)
        sums << QStringLiteral("coalesce(sum(cast(round(\"%1\" * %2) AS %3)), 0)")
                    .arg(QString::fromUtf16(column), QString::fromUtf16(scale), type);
    return QStringLiteral("SELECT %1 FROM sell").arg(sums.join(QStringLiteral(", ")));
}

}  // namespace

QString SalesTotalsText() {
    const QString changed = QStringList{QString::fromUtf16(kKeptSalesTotals[0][0]),
                                        QString::fromUtf16(kKeptSalesTotals[1][0]),
                                        QString::fromUtf16(kKeptSalesTotals[2][0]),
                                        QString::fromUtf16(kKeptSalesTotals[3][0])}
                                .join(QStringLiteral(", "));
    return QStringLiteral(
               "CREATE TABLE sell_totals (%1) STRICT;\n"
               "INSERT INTO sell_totals %2;\n"
               "CREATE TRIGGER sell_totals_added AFTER INSERT ON sell BEGIN "
               "UPDATE sell_totals SET %3; END;\n"
               "CREATE TRIGGER sell_totals_deleted AFTER DELETE ON sell BEGIN "
               "UPDATE sell_totals SET %4; END;\n"
               "CREATE TRIGGER sell_totals_changed AFTER UPDATE OF %5 ON sell BEGIN "
               "UPDATE sell_totals SET %4; UPDATE sell_totals SET %3; END;\n")
        .arg(KeptColumns(QStringLiteral("INTEGER")), KeptSelect(QStringLiteral("integer")),
             KeptSums(QStringLiteral("NEW"), QStringLiteral("+")),
             KeptSums(QStringLiteral("OLD"), QStringLiteral("-")), changed);
}

QString ServerSalesTotalsText() {
    // One update per statement over its rows: a copy of a million sales costs a few hundred
    // updates, not a million.
    QStringList added{QStringLiteral("rows = sell_totals.rows + d.rows")},
        gone{QStringLiteral("rows = sell_totals.rows - d.rows")};
    QStringList sums{QStringLiteral("count(*) AS rows")};
    for (const auto& [column, scale] : kKeptSalesTotals) {
        const QString c = QString::fromUtf16(column);
        added << QStringLiteral("\"%1\" = sell_totals.\"%1\" + d.\"%1\"").arg(c);
        gone << QStringLiteral("\"%1\" = sell_totals.\"%1\" - d.\"%1\"").arg(c);
        sums << QStringLiteral("coalesce(sum(round(\"%1\" * %2)::bigint), 0) AS \"%1\"")
                    .arg(c, QString::fromUtf16(scale));
    }
    const QString of = sums.join(QStringLiteral(", "));
    return QStringLiteral(
               "CREATE TABLE sell_totals (%1);\n"
               "INSERT INTO sell_totals %2;\n"
               "CREATE FUNCTION lk_sell_totals() RETURNS trigger LANGUAGE plpgsql AS $$BEGIN "
               "IF TG_OP <> 'INSERT' THEN UPDATE sell_totals SET %3 FROM (SELECT %4 FROM old_rows) "
               "d; "
               "END IF; "
               "IF TG_OP <> 'DELETE' THEN UPDATE sell_totals SET %5 FROM (SELECT %4 FROM new_rows) "
               "d; "
               "END IF; RETURN NULL; END$$;\n"
               "CREATE TRIGGER sell_totals_added AFTER INSERT ON sell REFERENCING NEW TABLE AS "
               "new_rows FOR EACH STATEMENT EXECUTE FUNCTION lk_sell_totals();\n"
               "CREATE TRIGGER sell_totals_changed AFTER UPDATE ON sell REFERENCING OLD TABLE AS "
               "old_rows NEW TABLE AS new_rows FOR EACH STATEMENT EXECUTE FUNCTION "
               "lk_sell_totals();\n"
               "CREATE TRIGGER sell_totals_deleted AFTER DELETE ON sell REFERENCING OLD TABLE AS "
               "old_rows FOR EACH STATEMENT EXECUTE FUNCTION lk_sell_totals();\n")
        .arg(KeptColumns(QStringLiteral("bigint")), KeptSelect(QStringLiteral("bigint")),
             gone.join(QStringLiteral(", ")), of, added.join(QStringLiteral(", ")));
}

QString SchemaText() {
    QString sql;
    for (const TableDef& t : SchemaTables()) sql += CreateTableText(t);
    sql += QStringLiteral("CREATE INDEX \"UID\" ON sell(UID);\n");
    sql += AddedIndexText();
    sql += CustomerIndexText();
    sql += ChangeLogText();
    sql += SalesTotalsText();
    sql += QStringLiteral("PRAGMA user_version=%1;\n").arg(kSchemaVersion);
    sql += QStringLiteral(
        "INSERT INTO UserName (ID, 用户名, 密码, 权限) VALUES (1, '超级管理员', '642', "
        "'超级管理员');\n");
    return sql;
}
