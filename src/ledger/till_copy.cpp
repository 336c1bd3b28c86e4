#include "ledger/till_copy.h"

#include <QFileInfo>
#include <QMap>
#include <QUuid>
#include <vector>

#include "common/date_text.h"
#include "ledger/result.h"
#include "ledger/row_access.h"
#include "ledger/sales.h"
#include "store/change_log.h"
#include "store/db_connection.h"
#include "store/migrate.h"
#include "store/password_hash.h"
#include "store/server_roles.h"
#include "store/server_session.h"
#include "store/statement.h"

namespace ledger {

namespace {

// The server's rows a till sells from; the users, so that the clerks log in without the server.
const QStringList kCopiedTables = {QStringLiteral("buy"), QStringLiteral("customer"),
                                   QStringLiteral("UserName")};
// More changes than this since the last look copy the tables whole.
constexpr int kChangesFollowed = 2000;
const QString kLastChange = QStringLiteral("last_change");

bool Failed(DbConnection& db, const Statement& st, QString* error) {
    *error = st.Error().isEmpty() ? db.GetErrorDescription() : st.Error();
    return false;
}

bool ReadState(DbConnection& copy, const QString& name, QString* value, QString* error) {
    Statement st(copy, QStringLiteral("SELECT 值 FROM till_state WHERE 名称 = ?"));
    value->clear();
    if (st.Bind({name}) && st.Next()) *value = st.Text(0);
    return st.Ok() && !st.Failed() ? true : Failed(copy, st, error);
}

bool WriteState(DbConnection& copy, const QString& name, const QString& value, QString* error) {
    if (copy.Execute(QStringLiteral("INSERT OR REPLACE INTO till_state (名称, 值) VALUES (?, ?)"),
                     {name, value}))
        return true;
    *error = copy.GetErrorDescription();
    return false;
}

// Inside the copy's write transaction, which keeps new sales out until it ends.
bool NoneWaiting(DbConnection& copy, bool* none, QString* error) {
    const qint64 waiting = CountWaitingSales(copy);
    if (waiting < 0) {
        *error = copy.GetErrorDescription();
        return false;
    }
    *none = waiting == 0;
    return true;
}

QString RefusalText(const LedgerResult& result) {
    switch (result.outcome) {
        case LedgerResult::RecordGone:
            return QStringLiteral("这件商品已在服务器上删除");
        case LedgerResult::FieldRefused:
            return RefusedFieldText(result);
        case LedgerResult::ZeroQuantity:
            return QStringLiteral("销售数量是0");
        default:
            return result.error;
    }
}

struct WaitingSale {
    qint64 copyId = 0;
    SaleInput sale;
};

bool ReadWaiting(DbConnection& copy, std::vector<WaitingSale>* waiting, QString* error) {
    Statement st(
        copy, QStringLiteral(
                  "SELECT s.ID, t.编号, t.收银台, s.UID, s.名称, s.型号, s.编码, s.类型, "
                  "s.销售单价, s.销售数量, s.销售金额, s.销售日期, s.欠款额, s.客户编号, "
                  "s.客户名称, s.联系方式, s.客户地址, s.备注, s.操作员, s.付款方式, s.录入时间, "
                  "s.进货单价 "
                  "FROM till_sale t JOIN sell s ON s.ID = t.销售ID ORDER BY t.ID"));
    while (st.Next()) {
        WaitingSale w;
        w.copyId = st.Int64(0);
        SaleInput& s = w.sale;
        s.tillSaleId = st.Text(1);
        s.tillName = st.Text(2);
        s.goodsId = QString::number(st.Int64(3));
        s.名称 = st.Text(4);
        s.型号 = st.Text(5);
        s.编码 = st.Text(6);
        s.类型 = st.Text(7);
        s.销售单价 = st.Double(8);
        s.销售数量 = st.Double(9);
        s.销售金额 = st.Double(10);
        s.销售日期 = QDate::fromString(st.Text(11).left(10), QStringLiteral("yyyy-MM-dd"));
        s.欠款额 = st.Double(12);
        s.客户编号 = st.Text(13);
        s.客户名称 = st.Text(14);
        s.联系方式 = st.Text(15);
        s.客户地址 = st.Text(16);
        s.备注 = st.Text(17);
        s.user = st.Text(18);
        s.payMethod = st.Text(19);
        s.bookedAt = ParseDateText(st.Text(20));
        s.tillCost = st.Double(21);
        s.madeOffline = true;
        waiting->push_back(std::move(w));
    }
    return st.Ok() && !st.Failed() ? true : Failed(copy, st, error);
}

}  // namespace

bool OpenTillCopy(DbConnection& copy, const QString& path, QString* error) {
    if (!QFileInfo::exists(path) && !CreateDatabaseFile(path, error)) return false;
    if (!copy.OpenFile(path) ||
        !copy.Execute(QStringLiteral(
            "CREATE TABLE IF NOT EXISTS till_state (名称 TEXT PRIMARY KEY, 值 TEXT) STRICT"))) {
        *error = copy.GetErrorDescription();
        copy.Close();
        return false;
    }
    return true;
}

bool TillCopyReady(DbConnection& copy) {
    QString stored, error;
    return ReadState(copy, kLastChange, &stored, &error) && !stored.isEmpty();
}

qint64 CountWaitingSales(DbConnection& copy) {
    Statement st(copy, QStringLiteral("SELECT count(*) FROM till_sale"));
    return st.Next() ? st.Int64(0) : -1;
}

namespace {

// A login that may not read the password hashes copies the users without them: the signed-in
// user's own is made here from the password it logged in with, so that the user logs in at this
// till while the server is away. Only for a row that holds none, so rarely.
bool KeepOwnPassword(DbConnection& server, DbConnection& copy, QString* error) {
    if (SeesCosts(server)) return true;
    QString role, password;
    CurrentServerLogin(&role, &password);
    const QString database = server.Server()->Database();
    qint64 id = 0;
    {
        Statement st(copy, QStringLiteral("SELECT ID, 用户名 FROM UserName WHERE 密码 IS NULL OR "
                                          "密码 = ''"));
        while (!id && st.Next())
            if (ServerRoleName(database, st.Text(1)) == role) id = st.Int64(0);
        if (st.Failed()) return Failed(copy, st, error);
    }
    if (id == 0) return true;
    const QString hash = HashPassword(password);
    if (!hash.isEmpty() &&
        !copy.Execute(QStringLiteral("UPDATE UserName SET 密码 = ? WHERE ID = ?"), {hash, id})) {
        *error = copy.GetErrorDescription();
        return false;
    }
    return true;
}

bool RefreshRows(DbConnection& server, DbConnection& copy, QString* error);

}  // namespace

bool RefreshTillCopy(DbConnection& server, DbConnection& copy, QString* error) {
    return RefreshRows(server, copy, error) && KeepOwnPassword(server, copy, error);
}

namespace {

bool RefreshRows(DbConnection& server, DbConnection& copy, QString* error) {
    QString stored;
    if (!ReadState(copy, kLastChange, &stored, error)) return false;
    // Read before the copy: a change made while it runs is followed again next time.
    const qint64 newest = LastChange(server);
    if (newest < 0) {
        *error = server.GetErrorDescription();
        return false;
    }
    ChangesRead read;
    bool whole = stored.isEmpty();
    if (!whole) {
        read = ReadChanges(server, stored.toLongLong(), kChangesFollowed);
        if (!read.ok) {
            *error = server.GetErrorDescription();
            return false;
        }
        whole = !read.complete;
    }
    if (whole) {
        bool none = true;
        QString unused;
        const bool copied = ReplaceTables(
            server, copy, kCopiedTables,
            [&](QString* e) {
                // A sale booked on the copy meanwhile: its stock stays until it is sent.
                if (!NoneWaiting(copy, &none, e)) return false;
                if (!none) return *e = QStringLiteral("waiting"), false;
                return WriteState(copy, kLastChange, QString::number(newest), e);
            },
            error);
        if (!copied && !none) return error->clear(), true;
        return copied;
    }
    if (read.changes.isEmpty()) return true;
    QMap<QString, QList<qint64>> changed;
    for (const RowChange& change : read.changes)
        if (kCopiedTables.contains(change.table) && !changed[change.table].contains(change.id))
            changed[change.table] << change.id;
    DbTransaction transaction(copy);
    if (!transaction.IsActive()) {
        *error = copy.GetErrorDescription();
        return false;
    }
    bool none = true;
    if (!NoneWaiting(copy, &none, error)) return false;
    if (!none) return true;
    for (auto it = changed.cbegin(); it != changed.cend(); ++it)
        if (!ReplaceRows(server, copy, it.key(), it.value(), error)) return false;
    if (!WriteState(copy, kLastChange, QString::number(read.last), error)) return false;
    if (!transaction.Commit()) {
        *error = copy.GetErrorDescription();
        return false;
    }
    return true;
}

}  // namespace

bool SendWaitingSales(DbConnection& copy, DbConnection& server, SentSales* sent, QString* error,
                      const std::function<bool()>& step) {
    std::vector<WaitingSale> waiting;
    if (!ReadWaiting(copy, &waiting, error)) return false;
    // On a server each sale commits without waiting for the disk; after a batch one small
    // synced commit flushes every commit before it. Only then does the batch leave the copy, in
    // one synced commit of the copy: a server that crashes loses none of what the copy no
    // longer holds, and a sale still on the copy after a crash is found booked by its number.
    constexpr size_t kBatch = 200;
    const bool remote = server.Server() != nullptr;
    const auto syncCommits = [&](bool sync) {
        return !remote || server.Execute(sync ? QStringLiteral("SET synchronous_commit = on")
                                              : QStringLiteral("SET synchronous_commit = off"));
    };
    std::vector<const WaitingSale*> booked;
    bool flushed = true;  // every sale in booked is on the server's disk
    const auto flush = [&] {
        if (!remote || flushed || booked.empty()) return flushed = true;
        DbTransaction transaction(server);
        flushed = transaction.IsActive() &&
                  server.Execute(QStringLiteral("SET LOCAL synchronous_commit = on")) &&
                  server.Execute(QStringLiteral("UPDATE till_sale SET 短缺 = 短缺 WHERE 编号 = ?"),
                                 {booked.back()->sale.tillSaleId}) &&
                  transaction.Commit();
        if (!flushed) *error = server.GetErrorDescription();
        return flushed;
    };
    const auto takeOff = [&] {
        if (!flush()) return false;
        DbTransaction transaction(copy);
        bool ok = transaction.IsActive();
        for (const WaitingSale* w : booked)
            ok = ok &&
                 copy.Execute(QStringLiteral("DELETE FROM till_sale WHERE 编号 = ?"),
                              {w->sale.tillSaleId}) &&
                 copy.Execute(QStringLiteral("DELETE FROM sell WHERE ID = ?"), {w->copyId});
        if (!ok || !transaction.Commit()) {
            *error = copy.GetErrorDescription();
            return false;
        }
        booked.clear();
        return true;
    };
    const auto end = [&](bool ok) {
        const bool off = takeOff();
        syncCommits(true);
        return off && ok;
    };
    if (!syncCommits(false)) {
        *error = server.GetErrorDescription();
        return false;
    }
    for (const WaitingSale& w : waiting) {
        if (step && !step()) return end(true);
        const LedgerResult result = RecordSale(server, w.sale);
        if (result.outcome == LedgerResult::StoreFailed) {
            *error = result.error;
            return end(false);
        }
        if (!result.IsDone()) {
            if (sent->refused++ == 0) sent->refusal = RefusalText(result);
            continue;
        }
        ++(result.alreadyBooked ? sent->before : sent->sent);
        if (result.shortfall > 0) ++sent->oversold;
        booked.push_back(&w);
        flushed = false;
        if (booked.size() >= kBatch && !takeOff()) return end(false);
    }
    return end(true);
}

QString NewTillSaleId() {
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

}  // namespace ledger
