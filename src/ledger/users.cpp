#include "ledger/users.h"

#include "common/session.h"
#include "common/text.h"
#include "store/db_connection.h"
#include "store/password_hash.h"
#include "store/server_roles.h"
#include "store/server_session.h"
#include "store/statement.h"

namespace ledger {

namespace {

// The longest password taken: what the column held before passwords were hashed.
constexpr int kLongestPassword = 50;

bool ReadAccounts(DbConnection& db, const QString& sql, QList<UserAccount>* accounts,
                  QString* error) {
    accounts->clear();
    Statement st(db, sql);
    while (st.Next()) accounts->append({st.Int64(0), st.Text(1), st.Text(2)});
    if (st.Ok() && !st.Failed()) return true;
    *error = st.Error();
    accounts->clear();
    return false;
}

bool SeesHashes(DbConnection& db) {
    return !db.Server() || db.Server()->SeesCosts();
}

// A server on which each account has a login of its own, kept by the program.
bool KeepsLogins(DbConnection& db) {
    return db.Server() && db.Server()->KeepsRoles();
}

// On a server whose logins the program keeps, the account's own login follows the account in
// the change's transaction: created or given the typed password (its SCRAM form, made here),
// or kept when typed is empty, and made a member of the group its role belongs to.
bool KeepServerLogin(DbConnection& db, const QString& name, const QString& typed,
                     const QString& role) {
    if (!KeepsLogins(db)) return true;
    ServerSession* server = db.Server();
    QVariant verifier;
    if (!TrimSpaces(typed).isEmpty()) {
        const QString made =
            server->PasswordVerifier(ServerRoleName(server->Database(), name), TrimSpaces(typed));
        if (made.isEmpty()) return false;
        verifier = made;
    }
    return db.Execute(QStringLiteral("SELECT lk_set_login(?, ?, ? = 1)"),
                      {name, verifier, role == kSuperAdmin ? 1 : 0});
}

// The name of the account with ID id, empty when it is gone.
QString AccountName(DbConnection& db, qint64 id) {
    Statement st(db, QStringLiteral("SELECT 用户名 FROM UserName WHERE ID=?"));
    st.Bind({id});
    return st.Next() ? st.Text(0) : QString();
}

// The account named exactly name and its stored password: false with *error empty when
// there is none. The table compares names without regard to ASCII case; the login does not.
bool ReadStored(DbConnection& db, const QString& name, UserAccount* account, QString* stored,
                QString* error) {
    error->clear();
    // A login that may not read the hashes reads an empty text in their place.
    Statement st(db, SeesHashes(db) ? QStringLiteral("SELECT ID, 用户名, 权限, 密码 FROM UserName "
                                                     "WHERE 用户名=? ORDER BY ID")
                                    : QStringLiteral("SELECT ID, 用户名, 权限, '' FROM UserName "
                                                     "WHERE 用户名=? ORDER BY ID"));
    st.Bind({name});
    while (st.Next()) {
        if (st.Text(1) != name) continue;
        *account = {st.Int64(0), st.Text(1), st.Text(2)};
        *stored = st.Text(3);
        return true;
    }
    if (st.Failed() || !st.Ok()) *error = st.Error();
    return false;
}

// The tests that need no table, in the order the user is told about them.
UserResult CheckTyped(const UserInput& input, bool passwordKept) {
    const QString name = TrimSpaces(input.name);
    if (name.isEmpty()) return UserResult::EmptyName;
    if (name == kSuperAdmin) return UserResult::ReservedName;
    if (!passwordKept && TrimSpaces(input.password).isEmpty()) return UserResult::EmptyPassword;
    if (TrimSpaces(input.role).isEmpty()) return UserResult::EmptyRole;
    return UserResult::Done;
}

UserResult CheckWithTable(DbConnection& db, const UserInput& input, qint64 exceptId,
                          bool passwordKept) {
    const UserResult typed = CheckTyped(input, passwordKept);
    if (typed != UserResult::Done) return typed;
    // Another account of this name; the built-in account's name was refused before.
    Statement st(db, QStringLiteral("SELECT ID FROM UserName WHERE 用户名=? AND ID<>?"));
    st.Bind({TrimSpaces(input.name), exceptId});
    if (st.Next()) return UserResult::DuplicateName;
    return st.Ok() && !st.Failed() ? UserResult::Done : UserResult::Failed;
}

// The stored form of a typed password; empty when it is too long or cannot be hashed.
QString StoredPassword(const QString& typed, UserResult* refusal) {
    const QString password = TrimSpaces(typed);
    if (password.size() > kLongestPassword) {
        *refusal = UserResult::FieldError;
        return QString();
    }
    const QString hash = HashPassword(password);
    if (hash.isEmpty()) *refusal = UserResult::Failed;
    return hash;
}

// Runs one change of UserName in the caller's transaction: rows tells how many rows it touched.
UserResult Change(DbConnection& db, const QString& sql, const QVariantList& values) {
    qint64 rows = 0;
    if (!db.Execute(sql, values, &rows)) return UserResult::Failed;
    return rows == 0 ? UserResult::NoAccount : UserResult::Done;
}

UserResult Committed(DbTransaction& transaction, UserResult result) {
    if (result != UserResult::Done) return result;
    return transaction.Commit() ? UserResult::Done : UserResult::Failed;
}

}  // namespace

bool ReadUserAccounts(DbConnection& db, QList<UserAccount>* accounts, QString* error) {
    if (!ReadAccounts(db, QStringLiteral("SELECT ID, 用户名, 权限 FROM UserName ORDER BY ID"),
                      accounts, error))
        return false;
    // Exactly the built-in name: an account whose name differs in ASCII case alone is listed.
    accounts->removeIf([](const UserAccount& a) { return a.name == kSuperAdmin; });
    return true;
}

bool ReadLoginAccounts(DbConnection& db, QList<UserAccount>* accounts, QString* error) {
    return ReadAccounts(db,
                        QStringLiteral("SELECT ID, 用户名, 权限 FROM UserName ORDER BY ID DESC"),
                        accounts, error);
}

PasswordCheck CheckPassword(DbConnection& db, const QString& name, const QString& typed,
                            UserAccount* account, QString* error) {
    QString stored;
    if (!ReadStored(db, name, account, &stored, error))
        return error->isEmpty() ? PasswordCheck::NoAccount : PasswordCheck::Failed;
    ServerSession* server = db.Server();
    // The server checks the password of a user's own login.
    if (!SeesHashes(db)) {
        bool wrong = false;
        if (server->TryLogin(ServerRoleName(server->Database(), name), typed, &wrong, error))
            return PasswordCheck::Right;
        return wrong ? PasswordCheck::Wrong : PasswordCheck::Failed;
    }
    if (!PasswordMatches(stored, typed)) return PasswordCheck::Wrong;
    // Accounts of books moved to the server before it kept their logins get theirs at their
    // first login on the owner's connection. A failure here keeps the login, which the owner's
    // connection needs none for.
    if (KeepsLogins(db)) {
        DbTransaction transaction(db);
        if (transaction.IsActive() && KeepServerLogin(db, account->name, typed, account->role))
            transaction.Commit();
    }
    return PasswordCheck::Right;
}

bool SignIn(DbConnection& db, const QString& connection, const QString& name, const QString& typed,
            QString* error) {
    if (connection.isEmpty() || ConnectionNamesUser(connection)) return true;
    QString role, password;
    CurrentServerLogin(&role, &password);
    SetServerLogin(ServerRoleName(ConnectionDatabase(connection), name), typed);
    // Offline the till's keeper logs in so once the server is back.
    if (!db.Server()) return true;
    const QString text = db.Server()->ConnectionText();
    if (db.OpenServer(text)) return true;
    *error = db.GetErrorDescription();
    // A refused login leaves the one before it, and its connection, as they were.
    if (role.isEmpty())
        ClearServerLogin();
    else
        SetServerLogin(role, password);
    db.OpenServer(text);
    return false;
}

bool AccountStored(DbConnection& db, const QString& name, QString* error) {
    UserAccount account;
    QString stored;
    return ReadStored(db, name, &account, &stored, error);
}

UserResult CheckNewUser(DbConnection& db, const UserInput& input) {
    return CheckWithTable(db, input, 0, false);
}

UserOutcome AddUser(DbConnection& db, const UserInput& input) {
    // The duplicate test and the new row in one transaction: two copies adding one name at
    // the same moment cannot both store it.
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return {UserResult::Failed, {}};
    const UserResult checked = CheckNewUser(db, input);
    if (checked != UserResult::Done) return {checked, {}};
    const QString name = TrimSpaces(input.name);
    const QString role = input.role;
    if (name.size() > 50) return {UserResult::FieldError, QStringLiteral("[050]")};
    UserResult refusal = UserResult::Done;
    const QString password = StoredPassword(input.password, &refusal);
    if (refusal == UserResult::FieldError) return {refusal, QStringLiteral("[051]")};
    if (refusal != UserResult::Done) return {refusal, {}};
    if (role.size() > 50) return {UserResult::FieldError, QStringLiteral("[052]")};
    if (!db.Execute(QStringLiteral("INSERT INTO UserName (用户名, 密码, 权限) VALUES (?, ?, ?)"),
                    {name, password, role}) ||
        !KeepServerLogin(db, name, input.password, role))
        return {UserResult::Failed, {}};
    return {Committed(transaction, UserResult::Done), {}};
}

UserResult CheckUserChange(DbConnection& db, qint64 id, const UserInput& input) {
    if (id <= 0) return UserResult::NoAccount;
    return CheckWithTable(db, input, id, true);
}

UserResult ChangeUser(DbConnection& db, qint64 id, const UserInput& input) {
    if (id <= 0) return UserResult::NoAccount;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return UserResult::Failed;
    const UserResult checked = CheckUserChange(db, id, input);
    if (checked != UserResult::Done) return checked;
    const QString name = TrimSpaces(input.name);
    if (name.size() > 50 || input.role.size() > 50) return UserResult::FieldError;
    const QString before = AccountName(db, id);
    UserResult changed = UserResult::Done;
    if (TrimSpaces(input.password).isEmpty()) {
        changed = Change(db,
                         QStringLiteral("UPDATE UserName SET 用户名=?, 权限=? WHERE ID=? AND "
                                        "用户名<>?"),
                         {name, input.role, id, kSuperAdmin});
    } else {
        UserResult refusal = UserResult::Done;
        const QString password = StoredPassword(input.password, &refusal);
        if (refusal != UserResult::Done) return refusal;
        changed = Change(db,
                         QStringLiteral("UPDATE UserName SET 用户名=?, 密码=?, 权限=? WHERE ID=? "
                                        "AND 用户名<>?"),
                         {name, password, input.role, id, kSuperAdmin});
    }
    if (changed != UserResult::Done) return changed;
    if (KeepsLogins(db) &&
        !db.Execute(QStringLiteral("SELECT lk_rename_login(?, ?)"), {before, name}))
        return UserResult::Failed;
    if (!KeepServerLogin(db, name, input.password, input.role)) return UserResult::Failed;
    return Committed(transaction, UserResult::Done);
}

UserResult DeleteUser(DbConnection& db, qint64 id) {
    if (id <= 0) return UserResult::NoAccount;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return UserResult::Failed;
    const QString name = AccountName(db, id);
    const UserResult deleted = Change(
        db, QStringLiteral("DELETE FROM UserName WHERE ID=? AND 用户名<>?"), {id, kSuperAdmin});
    if (deleted == UserResult::Done && KeepsLogins(db) &&
        !db.Execute(QStringLiteral("SELECT lk_drop_login(?)"), {name}))
        return UserResult::Failed;
    return Committed(transaction, deleted);
}

UserResult ChangeBuiltInPassword(DbConnection& db, const QString& password) {
    if (TrimSpaces(password).isEmpty()) return UserResult::EmptyPassword;
    UserResult refusal = UserResult::Done;
    const QString hash = StoredPassword(password, &refusal);
    if (refusal != UserResult::Done) return refusal;
    DbTransaction transaction(db);
    if (!transaction.IsActive()) return UserResult::Failed;
    const UserResult changed = Change(
        db, QStringLiteral("UPDATE UserName SET 密码=? WHERE 用户名=?"), {hash, kSuperAdmin});
    if (changed == UserResult::Done && !KeepServerLogin(db, kSuperAdmin, password, kSuperAdmin))
        return UserResult::Failed;
    return Committed(transaction, changed);
}

}  // namespace ledger
