#include "admin/users.h"

#include "common/number_text.h"
#include "common/session.h"
#include "common/text.h"
#include "store/shared_db.h"

namespace {

const QString kName = QStringLiteral("用户名");
const QString kPassword = QStringLiteral("密码");
const QString kRole = QStringLiteral("权限");

qint64 IdValue(const QString& id) {
    return static_cast<qint64>(TextToNumber(id) + 0.5);
}

// The tests that need no table, in the order the user is told about them.
UserResult CheckTyped(const UserInput& input) {
    const QString name = TrimSpaces(input.name);
    if (name.isEmpty()) return UserResult::EmptyName;
    if (name == kSuperAdmin) return UserResult::ReservedName;
    if (TrimSpaces(input.password).isEmpty()) return UserResult::EmptyPassword;
    if (TrimSpaces(input.role).isEmpty()) return UserResult::EmptyRole;
    return UserResult::Done;
}

// Whether an account other than the one with ID exceptId is named name; the built-in
// account's name was refused before.
bool NameTaken(const QString& name, qint64 exceptId, bool* failed) {
    DbRecordSet& records = SharedRecordSet();
    records.Close();
    *failed = !records.Open(QStringLiteral("select ID from UserName where 用户名=? and ID<>?"),
                            SharedConnection(), true, {TrimSpaces(name), exceptId});
    const bool taken = !*failed && records.GetRecordCount() > 0;
    records.Close();
    return taken;
}

UserResult CheckWithTable(const UserInput& input, qint64 exceptId) {
    const UserResult typed = CheckTyped(input);
    if (typed != UserResult::Done) return typed;
    if (!EnsureDatabaseOpen()) return UserResult::Failed;
    bool failed = false;
    if (NameTaken(input.name, exceptId, &failed)) return UserResult::DuplicateName;
    return failed ? UserResult::Failed : UserResult::Done;
}

// Runs one change of UserName in its own write transaction: rows tells how many rows it
// touched.
bool RunChange(const QString& sql, const QVariantList& values, qint64* rows) {
    DbTransaction transaction(SharedConnection());
    return transaction.IsActive() && SharedConnection().Execute(sql, values, rows) &&
           transaction.Commit();
}

}  // namespace

QList<UserAccount> ReadUserAccounts(const QString& sql) {
    QList<UserAccount> accounts;
    if (OpenSharedQuery(sql)) {
        DbRecordSet& records = SharedRecordSet();
        const int count = records.GetRecordCount();
        for (int i = 0; i < count; ++i, records.MoveNext()) {
            UserAccount account{FieldText(records, QStringLiteral("ID")), FieldText(records, kName),
                                FieldText(records, kPassword), FieldText(records, kRole)};
            if (account.name != kSuperAdmin) accounts.append(account);
        }
    }
    SharedRecordSet().Close();
    return accounts;
}

UserResult CheckNewUser(const UserInput& input) {
    return CheckWithTable(input, 0);
}

UserOutcome AddUser(const UserInput& input) {
    if (!EnsureDatabaseOpen()) return {UserResult::Failed, {}};
    SharedRecordSet().Close();
    // The duplicate test and the new row in one transaction: two copies adding one name at
    // the same moment cannot both store it.
    DbTransaction transaction(SharedConnection());
    if (!transaction.IsActive()) return {UserResult::Failed, {}};
    const UserResult checked = CheckNewUser(input);
    if (checked != UserResult::Done) return {checked, {}};
    DbRecordSet& records = SharedRecordSet();
    records.Open(QStringLiteral("select * from UserName where 0"), SharedConnection(), true);
    records.AddNew();
    const std::pair<QString, QString> fields[] = {{kName, TrimSpaces(input.name)},
                                                  {kPassword, TrimSpaces(input.password)},
                                                  {kRole, input.role}};
    const char* const codes[] = {"[050]", "[051]", "[052]"};
    for (int f = 0; f < 3; ++f) {
        if (!records.SetFieldByName(fields[f].first, fields[f].second)) {
            records.Close();  // abandons the pending row
            return {UserResult::FieldError, QString::fromLatin1(codes[f])};
        }
    }
    const bool stored = records.Update();
    records.Close();
    if (!stored || !transaction.Commit()) return {UserResult::Failed, {}};
    return {UserResult::Done, {}};
}

UserResult CheckUserChange(const QString& id, const UserInput& input) {
    if (!IsRecordId(id)) return UserResult::NoAccount;
    return CheckWithTable(input, IdValue(id));
}

UserResult ChangeUser(const QString& id, const UserInput& input) {
    if (!IsRecordId(id)) return UserResult::NoAccount;
    if (!EnsureDatabaseOpen()) return UserResult::Failed;
    SharedRecordSet().Close();
    DbTransaction transaction(SharedConnection());
    if (!transaction.IsActive()) return UserResult::Failed;
    const UserResult checked = CheckUserChange(id, input);
    if (checked != UserResult::Done) return checked;
    qint64 rows = 0;
    if (!SharedConnection().Execute(
            QStringLiteral("Update UserName set 用户名=?,密码=?,权限=? where ID=? and 用户名<>?"),
            {TrimSpaces(input.name), TrimSpaces(input.password), input.role, IdValue(id),
             kSuperAdmin},
            &rows))
        return UserResult::Failed;
    if (rows == 0) return UserResult::NoAccount;
    return transaction.Commit() ? UserResult::Done : UserResult::Failed;
}

UserResult DeleteUser(const QString& id) {
    if (!IsRecordId(id)) return UserResult::NoAccount;
    if (!EnsureDatabaseOpen()) return UserResult::Failed;
    SharedRecordSet().Close();
    qint64 rows = 0;
    if (!RunChange(QStringLiteral("Delete from UserName where ID=? and 用户名<>?"),
                   {IdValue(id), kSuperAdmin}, &rows))
        return UserResult::Failed;
    return rows == 0 ? UserResult::NoAccount : UserResult::Done;
}

UserResult ChangeBuiltInPassword(const QString& password) {
    const QString trimmed = TrimSpaces(password);
    if (trimmed.isEmpty()) return UserResult::EmptyPassword;
    if (!EnsureDatabaseOpen()) return UserResult::Failed;
    SharedRecordSet().Close();
    qint64 rows = 0;
    if (!RunChange(QStringLiteral("Update UserName set 密码=? where 用户名=?"),
                   {trimmed, kSuperAdmin}, &rows))
        return UserResult::Failed;
    return rows == 0 ? UserResult::NoAccount : UserResult::Done;
}
