#pragma once
// The accounts of table UserName as the user window keeps them. The built-in super
// administrator's account is never listed, added, renamed, given away as a name or deleted
// here; only its password changes.

#include <QList>
#include <QString>

struct UserAccount {
    QString id;
    QString name;
    QString password;
    QString role;
};

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

// The accounts sql returns, the built-in one left out; empty when the query failed.
QList<UserAccount> ReadUserAccounts(const QString& sql);

// Tests a new account without storing it; the duplicate test reads the table.
UserResult CheckNewUser(const UserInput& input);
// Stores a new account after the tests of CheckNewUser, all in one write transaction.
UserOutcome AddUser(const UserInput& input);

// Tests a change of the account with ID id without storing it.
UserResult CheckUserChange(const QString& id, const UserInput& input);
// Renames the account, sets its password and role, after the tests of CheckUserChange, in one
// write transaction.
UserResult ChangeUser(const QString& id, const UserInput& input);

// Deletes the account with ID id: NoAccount when it is gone (or is the built-in one).
UserResult DeleteUser(const QString& id);

// Sets the built-in account's password, trimmed as the login trims what is typed. An empty
// password is refused (EmptyPassword): the login asks for a password, so that account could
// never log in again. NoAccount when the built-in account is missing.
UserResult ChangeBuiltInPassword(const QString& password);
