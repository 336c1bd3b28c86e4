#pragma once
// Who may do what on a server, enforced by the server itself. Each program user logs in to the
// server as a role of its own, named from the database and the user (ServerRoleName), whose
// password is the user's; that role is a member of the database's group of ordinary users or of
// super administrators. Before a login the program is connected as the guest role, which reads
// the list of user names and nothing else. An ordinary user's role reads no cost column and no
// password hash, deletes and modifies no sale, goods or entry, and changes the goods' counters
// only through the server's own sale trigger and restock function.

#include <QString>
#include <QStringList>

// The guest login before a user logs in, the same on every database: it reads user names only.
inline constexpr char kGuestRole[] = "lk_guest";
inline constexpr char kGuestPassword[] = "lk_guest";

// "lk_" and the first 20 hexadecimal digits of SHA-256 of "<database>/<user>" in UTF-8: a role
// name holds at most 63 bytes, a user name up to 50 characters of any script.
QString ServerRoleName(const QString& database, const QString& user);

// The columns of table an ordinary user may not read (purchase prices, purchase and stock
// amounts, net profit, gain and loss amounts, password hashes); also their kept totals.
QStringList CostColumns(const QString& table);

// The login every server connection of this process makes when its connection string names
// no user: the logged-in user's role and password, else the guest. Safe from any thread.
void SetServerLogin(const QString& role, const QString& password);
void ClearServerLogin();
void CurrentServerLogin(QString* role, QString* password);

// The groups, grants, functions and triggers of the roles, run by the owner of the books at
// each open: every statement may run again.
QString ServerRolesText();
