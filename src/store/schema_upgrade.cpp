#include "store/schema_upgrade.h"

#include <sqlite3.h>

#include <QList>
#include <utility>

#include "store/change_log.h"
#include "store/password_hash.h"
#include "store/schema.h"
#include "store/statement.h"

namespace {

bool Run(sqlite3* db, const QString& sql, QString* error) {
    char* message = nullptr;
    if (sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &message) == SQLITE_OK)
        return true;
    *error = QString::fromUtf8(message);
    sqlite3_free(message);
    return false;
}

// Version 1: customers and their payments. Every sale with a customer name is linked to a
// customer: one per name and phone; a name's sales without a phone go to its one customer
// with a phone when there is exactly one, else to a customer of that name without a phone.
QString CustomerUpgradeText() {
    QString sql;
    for (const QString& name :
         {QStringLiteral("customer"), QStringLiteral("payment"), QStringLiteral("payment_part")})
        sql += CreateTableText(*FindTable(name));
    sql += QStringLiteral("ALTER TABLE sell ADD COLUMN %1;\n")
               .arg(ColumnText(*FindTable(QStringLiteral("sell"))->Find(QStringLiteral("客户ID"))));
    sql += QStringLiteral(
        "CREATE INDEX \"客户名称\" ON customer(名称, 联系方式);\n"
        "INSERT INTO customer (名称, 联系方式, 地址) "
        "SELECT 客户名称, 联系方式, max(coalesce(客户地址, '')) FROM sell "
        "WHERE trim(客户名称) <> '' AND coalesce(联系方式, '') <> '' "
        "GROUP BY 客户名称, 联系方式 ORDER BY min(ID);\n"
        "INSERT INTO customer (名称, 联系方式, 地址) "
        "SELECT 客户名称, '', max(coalesce(客户地址, '')) FROM sell "
        "WHERE trim(客户名称) <> '' AND coalesce(联系方式, '') = '' GROUP BY 客户名称 "
        "HAVING (SELECT count(*) FROM customer c WHERE c.名称 = sell.客户名称) <> 1 "
        "ORDER BY min(ID);\n"
        "UPDATE customer SET 编号 = ID;\n"
        "UPDATE sell SET 客户ID = coalesce("
        "(SELECT ID FROM customer c WHERE c.名称 = sell.客户名称 "
        "AND c.联系方式 = coalesce(sell.联系方式, '')), "
        "(SELECT min(ID) FROM customer c WHERE c.名称 = sell.客户名称), 0) "
        "WHERE trim(客户名称) <> '';\n");
    // Built once over the linked sales, instead of kept up to date through every link above.
    sql += CustomerIndexText();
    return sql;
}

// Version 4: passwords kept as hashes. The column, a Text(50) before, is one without a limit
// in a table built anew; every clear password is then hashed as it was stored.
bool HashPasswordsUpgrade(sqlite3* db, QString* error) {
    TableDef users = *FindTable(QStringLiteral("UserName"));
    users.name = QStringLiteral("UserName_v4");
    if (!Run(db,
             CreateTableText(users) +
                 QStringLiteral("INSERT INTO UserName_v4 (ID, 用户名, 密码, 权限) "
                                "SELECT ID, 用户名, 密码, 权限 FROM UserName;\n"
                                "DROP TABLE UserName;\n"
                                "ALTER TABLE UserName_v4 RENAME TO UserName;\n"),
             error))
        return false;
    QList<std::pair<qint64, QString>> clear;
    {
        Statement st(db, QStringLiteral("SELECT ID, 密码 FROM UserName"));
        while (st.Next())
            if (!IsPasswordHash(st.Text(1))) clear.append({st.Int64(0), st.Text(1)});
        if (st.Failed()) {
            *error = st.Error();
            return false;
        }
    }
    for (const auto& [id, password] : clear) {
        const QString hash = HashPassword(password);
        if (hash.isEmpty()) {
            *error = QStringLiteral("内存不足，无法转换登录密码");
            return false;
        }
        Statement st(db, QStringLiteral("UPDATE UserName SET 密码=? WHERE ID=?"));
        st.Bind({hash, id});
        st.Next();
        if (st.Failed()) {
            *error = st.Error();
            return false;
        }
    }
    return true;
}

// A table added by a version: a file whose version was set back keeps the one it has.
QString CreateMissingTableText(const TableDef& t) {
    return CreateTableText(t).replace(QStringLiteral("CREATE TABLE "),
                                      QStringLiteral("CREATE TABLE IF NOT EXISTS "));
}

// Version 7: who booked each sale, payment and income or expense entry, at which till, how it
// was paid and when, and the shifts. Older rows keep these empty: an unknown user and till,
// paid in cash. A file whose version was set back keeps its columns and tables.
bool ShiftUpgrade(sqlite3* db, QString* error) {
    QString sql;
    for (const TableDef& t : SchemaTables()) {
        if (t.since == 7) {
            sql += CreateMissingTableText(t);
            continue;
        }
        QStringList present;
        Statement st(db, QStringLiteral("SELECT name FROM pragma_table_info(?)"));
        st.Bind({t.name});
        while (st.Next()) present << st.Text(0);
        if (st.Failed()) {
            *error = st.Error();
            return false;
        }
        for (const ColumnDef& c : t.columns)
            if (c.since == 7 && !present.contains(c.name, Qt::CaseInsensitive))
                sql += QStringLiteral("ALTER TABLE %1 ADD COLUMN %2;\n").arg(t.name, ColumnText(c));
    }
    return Run(db, sql + ShiftIndexText(), error);
}

}  // namespace

int StoredSchemaVersion(sqlite3* db) {
    Statement st(db, QStringLiteral("PRAGMA user_version"));
    if (!st.Next()) return -1;
    return static_cast<int>(st.Int64(0));
}

bool UpgradeSchema(sqlite3* db, QString* error) {
    if (StoredSchemaVersion(db) == kSchemaVersion) return true;
    if (!Run(db, QStringLiteral("BEGIN IMMEDIATE"), error)) return false;
    const int version = StoredSchemaVersion(db);
    bool ok = version >= 0;
    if (!ok) *error = QString::fromUtf8(sqlite3_errmsg(db));
    if (ok && version < 1) ok = Run(db, CustomerUpgradeText(), error);
    // Version 2: the change log through which copies of the program on one ledger follow
    // one another.
    if (ok && version < 2) ok = Run(db, ChangeLogText(), error);
    // Version 3: the kept totals of the sales and goods lists, counted from the rows stored
    // whatever an earlier copy left of them.
    if (ok && version < 3) ok = Run(db, DropKeptTotalsText() + KeptTotalsText(), error);
    if (ok && version < 4) ok = HashPasswordsUpgrade(db, error);
    // Version 5: the stocktakes. A file whose version was set back keeps its tables.
    if (ok && version < 5) {
        QString sql;
        for (const TableDef& t : SchemaTables())
            if (t.since == 5) sql += CreateMissingTableText(t);
        ok = Run(db, sql + StocktakeIndexText(), error);
    }
    if (ok && version < 6)
        ok = Run(
            db,
            CreateMissingTableText(*FindTable(QStringLiteral("till_sale"))) + TillSaleIndexText(),
            error);
    if (ok && version < 7) ok = ShiftUpgrade(db, error);
    if (ok && version < 8)
        ok = Run(
            db,
            CreateMissingTableText(*FindTable(QStringLiteral("sale_edit"))) + SaleEditIndexText(),
            error);
    if (ok && version < kSchemaVersion)
        ok = Run(db, QStringLiteral("PRAGMA user_version=%1").arg(kSchemaVersion), error);
    if (ok && Run(db, QStringLiteral("COMMIT"), error)) return true;
    sqlite3_exec(db, "ROLLBACK", nullptr, nullptr, nullptr);
    return false;
}
