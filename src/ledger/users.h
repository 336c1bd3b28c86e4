#pragma once
// The accounts of table UserName: who may log in, with which password and role. The built-in
// super administrator's account is never listed, added, renamed, given away as a name or
// deleted here; only its password changes. Passwords are stored as hashes (store/
// password_hash.h) and compared with what is typed through them alone.

#include <QList>
#include <QString>

class DbConnection;

namespace ledger {

struct UserAccount {
    qint64 id = 0;
    QString name;
    QString role;
};

// Every account but the built-in one, in ID order.
bool ReadUserAccounts(DbConnection& db, QList<UserAccount>* accounts, QString* error);
// Every account the login offers, the newest first.
bool ReadLoginAccounts(DbConnection& db, QList<UserAccount>* accounts, QString* error);

enum class PasswordCheck {
    Right,
    Wrong,
    NoAccount,  // no account of exactly that name
    Failed,     // the table could not be read; error says why
};
// Whether typed (compared as given) is the password of the account named exactly name;
// *account is that account when it is stored.
PasswordCheck CheckPassword(DbConnection& db, const QString& name, const QString& typed,
                            UserAccount* account, QString* error);
// On a server where each user logs in as its own role (the connection string names no user):
// from now on this process's server connections log in as the user named name with the password
// typed, and db, when it is on the server, is made again so. False with *error when the server
// refuses that; true at once on a file, or on a connection string that names its own user.
bool SignIn(DbConnection& db, const QString& connection, const QString& name, const QString& typed,
            QString* error);
// Whether the account named exactly name is stored: false with *error empty when it is not.
bool AccountStored(DbConnection& db, const QString& name, QString* error);

// What the user typed: name and password are trimmed of ASCII and full-width spaces before
// they are tested and stored; the role is stored as given.
struct UserInput {
    QString name;
    QString password;
    QString role;
};

enum class UserResult {
    Done,
    NoAccount,  // no account chosen, or the chosen one is no longer stored
    EmptyName,
    ReservedName,  // the built-in account's name
    EmptyPassword,
    EmptyRole,
    DuplicateName,  // another account has this name (the database's text equality)
    FieldError,     // a value the column refuses; fieldCode says which
    Failed,         // the database refused the change
};

struct UserOutcome {
    UserResult result = UserResult::Done;
    QString fieldCode;  // "[050]" name, "[051]" password, "[052]" role
};

// Tests a new account without storing it; the duplicate test reads the table.
UserResult CheckNewUser(DbConnection& db, const UserInput& input);
// Stores a new account after the tests of CheckNewUser, all in one write transaction. A
// password longer than 50 characters is refused as "[051]", as the column once refused it.
UserOutcome AddUser(DbConnection& db, const UserInput& input);

// Tests a change of the account with ID id without storing it. An empty password keeps the
// stored one: the window cannot show it to be kept.
UserResult CheckUserChange(DbConnection& db, qint64 id, const UserInput& input);
// Renames the account, sets its password (unless empty) and role, after the tests of
// CheckUserChange, in one write transaction.
UserResult ChangeUser(DbConnection& db, qint64 id, const UserInput& input);

// Deletes the account with ID id: NoAccount when it is gone (or is the built-in one).
UserResult DeleteUser(DbConnection& db, qint64 id);

// Sets the built-in account's password, trimmed as the login trims what is typed. An empty
// password is refused (EmptyPassword): the login asks for a password, so that account could
// never log in again. NoAccount when the built-in account is missing.
UserResult ChangeBuiltInPassword(DbConnection& db, const QString& password);

}  // namespace ledger
