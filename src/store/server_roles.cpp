#include "store/server_roles.h"

#include <QCryptographicHash>
#include <QMutex>

#include "store/schema.h"

namespace {

QMutex loginMutex;
QString loginRole;
QString loginPassword;

// As the server names a table or column: ASCII letters folded to lower case, in quotes.
QString ServerName(const QString& name) {
    QString folded = name;
    for (QChar& c : folded)
        if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + 32);
    return QLatin1Char('"') + folded + QLatin1Char('"');
}

struct TableGrant {
    const char* table;
    bool insert;         // rows may be added (the cost columns left to the server)
    bool insertCosts;    // ... with their cost columns too: goods booked into stock
    QStringList update;  // the columns it may change; "*" for every one but ID and costs
};

// What an ordinary user does besides reading: sell, book goods into stock, enter income and
// expense and bank entries, take customers' payments, count a stocktake, keep its shift.
const QList<TableGrant>& ClerkGrants() {
    static const QList<TableGrant> grants = {
        {"buy", true, true, {}},
        {"sell", true, false, {QStringLiteral("欠款额")}},
        {"other", true, true, {}},
        {"bank", true, true, {}},
        {"UserName", false, false, {}},
        {"customer", true, true, {QStringLiteral("*")}},
        {"payment", true, true, {}},
        {"payment_part", true, true, {QStringLiteral("金额")}},
        {"stocktake", true, false, {QStringLiteral("*")}},
        {"stocktake_line", true, false, {QStringLiteral("*")}},
        {"stocktake_code", true, true, {QStringLiteral("*")}},
        {"till_sale", true, true, {QStringLiteral("短缺")}},
        {"shift", true, true, {QStringLiteral("*")}},
        {"sale_edit", false, false, {}},
    };
    return grants;
}

QString Columns(const QStringList& names) {
    QStringList quoted;
    for (const QString& n : names) quoted << ServerName(n);
    return quoted.join(QStringLiteral(", "));
}

// One grant to the group in variable `group` of the DO block below.
QString Grant(const QString& what, const QString& table, const QString& group) {
    QString statement = QStringLiteral("GRANT %1 ON %2 TO %I").arg(what, ServerName(table));
    statement.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QStringLiteral("EXECUTE format('%1', %2);\n").arg(statement, group);
}

QString ClerkGrantText() {
    QString sql;
    for (const TableGrant& g : ClerkGrants()) {
        const TableDef* t = FindTable(QString::fromLatin1(g.table));
        if (!t) continue;
        const QStringList costs = CostColumns(t->name);
        QStringList visible, written;
        for (const ColumnDef& c : t->columns) {
            if (costs.contains(c.name)) continue;
            visible << c.name;
            if (c.kind != ColumnKind::Id) written << c.name;
        }
        sql += Grant(QStringLiteral("SELECT (%1)").arg(Columns(visible)), t->name,
                     QStringLiteral("clerk"));
        if (g.insert) {
            QStringList inserted = written;
            if (g.insertCosts) inserted << costs;
            sql += Grant(QStringLiteral("INSERT (%1)").arg(Columns(inserted)), t->name,
                         QStringLiteral("clerk"));
        }
        const QStringList updated =
            g.update == QStringList{QStringLiteral("*")} ? written : g.update;
        if (!updated.isEmpty())
            sql += Grant(QStringLiteral("UPDATE (%1)").arg(Columns(updated)), t->name,
                         QStringLiteral("clerk"));
    }
    for (const KeptTotals& k : KeptTotalsTables()) {
        QStringList visible{QStringLiteral("rows")};
        if (!k.inStock.isEmpty()) visible << QStringLiteral("in_stock");
        const QStringList costs = CostColumns(k.table);
        for (const auto& [column, scale] : k.columns)
            if (!costs.contains(column)) visible << column;
        sql += Grant(QStringLiteral("SELECT (%1)").arg(Columns(visible)), k.kept,
                     QStringLiteral("clerk"));
    }
    return sql;
}

// The kept totals and the change log are written by triggers in the transaction of a change
// of any user: as the owner, since no user may write them directly.
QString DefinerTriggersText() {
    QString sql = QStringLiteral(
        "ALTER FUNCTION lk_log_change() SECURITY DEFINER SET search_path = public, pg_temp;\n"
        "ALTER FUNCTION lk_trim_change_log() SECURITY DEFINER SET search_path = public, "
        "pg_temp;\n");
    for (const KeptTotals& k : KeptTotalsTables())
        sql += QStringLiteral(
                   "ALTER FUNCTION lk_%1() SECURITY DEFINER SET search_path = public, "
                   "pg_temp;\n")
                   .arg(k.kept);
    return sql;
}

const char kRoleFunctions[] = R"SQL(
CREATE OR REPLACE FUNCTION lk_group(kind text) RETURNS text LANGUAGE sql STABLE AS
$$SELECT 'lk_' || left(encode(sha256(convert_to(current_database(), 'UTF8')), 'hex'), 12) || '_' || kind$$;
CREATE OR REPLACE FUNCTION lk_role_name(who text) RETURNS text LANGUAGE sql STABLE AS
$$SELECT 'lk_' || left(encode(sha256(convert_to(current_database() || '/' || who, 'UTF8')), 'hex'), 20)$$;
CREATE OR REPLACE FUNCTION lk_stored(x double precision) RETURNS double precision
LANGUAGE sql IMMUTABLE AS
$$SELECT CASE WHEN x IS NULL OR x = 0 THEN x
  ELSE round(x::numeric, 12 - floor(log(abs(x::numeric)))::integer)::double precision END$$;
-- The owner of the books and the super administrators see the cost figures; the others only
-- move them through the server's own functions.
CREATE OR REPLACE FUNCTION lk_sees_costs() RETURNS boolean LANGUAGE plpgsql STABLE AS $$
DECLARE admin text := lk_group('admin');
BEGIN
  IF pg_has_role(session_user, (SELECT relowner FROM pg_class WHERE oid = 'public.buy'::regclass),
                 'MEMBER') THEN
    RETURN true;
  END IF;
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = admin) THEN RETURN false; END IF;
  RETURN pg_has_role(session_user, admin, 'MEMBER');
END$$;
-- A sale of a user who may not read the purchase price: the goods' counters move here, relative
-- to the stored ones, and the sale gets its purchase price and profit. The stored stock decides,
-- unless a till sends a sale made while the server was away (lk.offline_sale).
CREATE OR REPLACE FUNCTION lk_sale_costs() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER
SET search_path = public, pg_temp AS $$
DECLARE cost double precision; stock double precision;
BEGIN
  IF lk_sees_costs() THEN RETURN NEW; END IF;
  UPDATE buy SET 销售数量 = lk_stored(销售数量 + NEW.销售数量),
                 销售金额 = lk_stored(销售金额 + NEW.销售金额),
                 存货数量 = lk_stored(存货数量 - NEW.销售数量),
                 存货金额 = lk_stored((存货数量 - NEW.销售数量) * 进货单价)
    WHERE id = NEW.uid RETURNING 进货单价, 存货数量 INTO cost, stock;
  IF FOUND THEN
    IF stock < -0.0000001 AND coalesce(current_setting('lk.offline_sale', true), '') <> 'on' THEN
      RAISE EXCEPTION '库存不足，这笔销售没有记录' USING ERRCODE = '23514';
    END IF;
    NEW.存货数量 := stock;
  END IF;
  NEW.进货单价 := coalesce(cost, 0);
  NEW.净利润 := lk_stored(NEW.销售金额 - NEW.进货单价 * NEW.销售数量);
  RETURN NEW;
END$$;
DROP TRIGGER IF EXISTS sell_costs ON sell;
CREATE TRIGGER sell_costs BEFORE INSERT ON sell FOR EACH ROW EXECUTE FUNCTION lk_sale_costs();
-- The purchase price and the difference's amount of a stocktake line counted by a user who may
-- not read them, and the stocktake's gain and loss amounts moved by what the line's changed.
CREATE OR REPLACE FUNCTION lk_count_costs() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER
SET search_path = public, pg_temp AS $$
DECLARE was_gain double precision := 0; was_loss double precision := 0;
BEGIN
  IF lk_sees_costs() THEN RETURN NEW; END IF;
  NEW.进货单价 := coalesce((SELECT 进货单价 FROM buy WHERE id = NEW.商品id), 0);
  NEW.盈亏金额 := lk_stored(NEW.盈亏数量 * NEW.进货单价);
  IF TG_OP = 'UPDATE' THEN
    IF OLD.盈亏数量 > 0 THEN was_gain := OLD.盈亏金额; ELSE was_loss := -OLD.盈亏金额; END IF;
  END IF;
  UPDATE stocktake SET
    盘盈金额 = lk_stored(盘盈金额 - was_gain +
                         CASE WHEN NEW.盈亏数量 > 0 THEN NEW.盈亏金额 ELSE 0 END),
    盘亏金额 = lk_stored(盘亏金额 - was_loss +
                         CASE WHEN NEW.盈亏数量 > 0 THEN 0 ELSE -NEW.盈亏金额 END)
    WHERE id = NEW.盘点id;
  RETURN NEW;
END$$;
DROP TRIGGER IF EXISTS stocktake_line_costs ON stocktake_line;
CREATE TRIGGER stocktake_line_costs BEFORE INSERT OR UPDATE ON stocktake_line FOR EACH ROW
EXECUTE FUNCTION lk_count_costs();
-- A restock at the stored purchase price, for a user who may not read it.
CREATE OR REPLACE FUNCTION lk_restock(goods bigint, quantity double precision) RETURNS boolean
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
  UPDATE buy SET 进货数量 = lk_stored(进货数量 + quantity),
                 进货金额 = lk_stored(进货金额 + quantity * 进货单价),
                 存货数量 = lk_stored(存货数量 + quantity),
                 存货金额 = lk_stored(存货金额 + quantity * 进货单价)
    WHERE id = goods;
  RETURN FOUND;
END$$;
-- Whether role who was granted membership of role grp (a superuser is a member of every role).
CREATE OR REPLACE FUNCTION lk_granted(who text, grp text) RETURNS boolean LANGUAGE sql STABLE AS
$$SELECT EXISTS (SELECT FROM pg_auth_members a JOIN pg_roles g ON g.oid = a.roleid
                 JOIN pg_roles m ON m.oid = a.member WHERE m.rolname = who AND g.rolname = grp)$$;
-- The server logins of the program's users, kept by the user window of a super administrator:
-- verifier is the password's SCRAM form (made by the program, never sent in clear), null to
-- keep the password.
CREATE OR REPLACE FUNCTION lk_set_login(who text, verifier text, admin boolean) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE r text := lk_role_name(who);
BEGIN
  IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = r) THEN
    EXECUTE format('CREATE ROLE %I LOGIN', r);
  END IF;
  IF verifier IS NOT NULL THEN
    EXECUTE format('ALTER ROLE %I LOGIN PASSWORD %L', r, verifier);
  END IF;
  IF NOT lk_granted(r, CASE WHEN admin THEN lk_group('admin') ELSE lk_group('clerk') END) THEN
    EXECUTE format('GRANT %I TO %I', CASE WHEN admin THEN lk_group('admin')
                                          ELSE lk_group('clerk') END, r);
  END IF;
  IF lk_granted(r, CASE WHEN admin THEN lk_group('clerk') ELSE lk_group('admin') END) THEN
    EXECUTE format('REVOKE %I FROM %I', CASE WHEN admin THEN lk_group('clerk')
                                             ELSE lk_group('admin') END, r);
  END IF;
END$$;
CREATE OR REPLACE FUNCTION lk_drop_login(who text) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
  IF EXISTS (SELECT FROM pg_roles WHERE rolname = lk_role_name(who)) THEN
    EXECUTE format('DROP ROLE %I', lk_role_name(who));
  END IF;
END$$;
CREATE OR REPLACE FUNCTION lk_rename_login(old text, new text) RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
BEGIN
  IF lk_role_name(old) = lk_role_name(new) THEN RETURN; END IF;
  IF EXISTS (SELECT FROM pg_roles WHERE rolname = lk_role_name(new)) THEN
    EXECUTE format('DROP ROLE %I', lk_role_name(new));
  END IF;
  IF EXISTS (SELECT FROM pg_roles WHERE rolname = lk_role_name(old)) THEN
    EXECUTE format('ALTER ROLE %I RENAME TO %I', lk_role_name(old), lk_role_name(new));
  END IF;
END$$;
-- After books were replaced whole (a restore, an initialisation): the logins of users no longer
-- in them go, and the others follow their role in them.
CREATE OR REPLACE FUNCTION lk_follow_users() RETURNS void
LANGUAGE plpgsql SECURITY DEFINER SET search_path = public, pg_temp AS $$
DECLARE r record;
BEGIN
  FOR r IN SELECT m.rolname, u.用户名::text AS who, u.权限::text AS role FROM pg_roles m
      LEFT JOIN username u ON lk_role_name(u.用户名::text) = m.rolname
      WHERE lk_granted(m.rolname, lk_group('clerk')) OR lk_granted(m.rolname, lk_group('admin'))
      LOOP
    IF r.who IS NULL THEN
      EXECUTE format('DROP ROLE %I', r.rolname);
    ELSE
      PERFORM lk_set_login(r.who, NULL, r.role = '超级管理员');
    END IF;
  END LOOP;
END$$;
REVOKE ALL ON FUNCTION lk_restock(bigint, double precision), lk_set_login(text, text, boolean),
  lk_drop_login(text), lk_rename_login(text, text), lk_follow_users() FROM PUBLIC;
)SQL";

}  // namespace

QString ServerRoleName(const QString& database, const QString& user) {
    const QByteArray hash =
        QCryptographicHash::hash((database + u'/' + user).toUtf8(), QCryptographicHash::Sha256);
    return QStringLiteral("lk_") + QString::fromLatin1(hash.toHex().left(20));
}

QStringList CostColumns(const QString& table) {
    const QString t = table.toLower();
    if (t == QLatin1String("buy"))
        return {QStringLiteral("进货单价"), QStringLiteral("进货金额"), QStringLiteral("存货金额")};
    if (t == QLatin1String("sell")) return {QStringLiteral("进货单价"), QStringLiteral("净利润")};
    if (t == QLatin1String("stocktake"))
        return {QStringLiteral("盘盈金额"), QStringLiteral("盘亏金额")};
    if (t == QLatin1String("stocktake_line"))
        return {QStringLiteral("进货单价"), QStringLiteral("盈亏金额")};
    if (t == QLatin1String("username")) return {QStringLiteral("密码")};
    return {};
}

void SetServerLogin(const QString& role, const QString& password) {
    const QMutexLocker lock(&loginMutex);
    loginRole = role;
    loginPassword = password;
}

void ClearServerLogin() {
    SetServerLogin(QString(), QString());
}

void CurrentServerLogin(QString* role, QString* password) {
    const QMutexLocker lock(&loginMutex);
    *role = loginRole.isEmpty() ? QString::fromLatin1(kGuestRole) : loginRole;
    *password = loginRole.isEmpty() ? QString::fromLatin1(kGuestPassword) : loginPassword;
}

QString ServerRolesText() {
    QString sql = QStringLiteral("SET LOCAL client_min_messages = warning;\n") +
                  QString::fromUtf8(kRoleFunctions) + DefinerTriggersText();
    sql += QStringLiteral(
               "DO $$DECLARE clerk text := lk_group('clerk'); admin text := lk_group('admin');\n"
               "owner oid := (SELECT relowner FROM pg_class WHERE oid = 'public.buy'::regclass);\n"
               "BEGIN\n"
               "IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = clerk) THEN "
               "EXECUTE format('CREATE ROLE %I NOLOGIN', clerk); END IF;\n"
               "IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = admin) THEN "
               "EXECUTE format('CREATE ROLE %I NOLOGIN', admin); END IF;\n"
               "IF NOT EXISTS (SELECT FROM pg_roles WHERE rolname = '%1') THEN "
               "CREATE ROLE %1 LOGIN PASSWORD '%2'; END IF;\n"
               "EXECUTE format('GRANT CONNECT ON DATABASE %I TO %1, %I, %I', current_database(), "
               "clerk, admin);\n"
               "EXECUTE format('GRANT USAGE ON SCHEMA public TO %1, %I, %I', clerk, admin);\n"
               "GRANT SELECT (\"id\", \"用户名\", \"权限\") ON \"username\" TO %1;\n"
               "GRANT SELECT ON change_log TO %1;\n"
               "EXECUTE format('GRANT ALL ON ALL TABLES IN SCHEMA public TO %I', admin);\n"
               "EXECUTE format('GRANT ALL ON ALL SEQUENCES IN SCHEMA public TO %I', admin);\n"
               "EXECUTE format('GRANT EXECUTE ON FUNCTION lk_restock(bigint, double precision), "
               "lk_set_login(text, text, boolean), lk_drop_login(text), "
               "lk_rename_login(text, text), lk_follow_users() TO %I', admin);\n"
               // The super administrators reshape the books (compaction, restore) as their
               // owner does; an owner that is a superuser keeps that to itself, since its role
               // owns far more than these books.
               "IF NOT (SELECT rolsuper FROM pg_roles WHERE oid = owner) THEN "
               "EXECUTE format('GRANT %I TO %I', (SELECT rolname FROM pg_roles WHERE oid = owner), "
               "admin); END IF;\n"
               "EXECUTE format('GRANT USAGE, SELECT ON ALL SEQUENCES IN SCHEMA public TO %I', "
               "clerk);\n"
               "EXECUTE format('GRANT SELECT ON change_log TO %I', clerk);\n"
               "EXECUTE format('GRANT EXECUTE ON FUNCTION lk_restock(bigint, double precision) "
               "TO %I', clerk);\n")
               .arg(QString::fromLatin1(kGuestRole), QString::fromLatin1(kGuestPassword));
    sql += ClerkGrantText();
    sql += QStringLiteral("END$$;\n");
    return sql;
}
