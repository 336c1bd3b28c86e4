#include "ledger/users.h"

#include <sqlite3.h>

#include "ledger_fixture.h"
#include "store/password_hash.h"
#include "store/schema.h"
#include "store/statement.h"

namespace {

using OldPasswords = OnBothStores<LedgerFixture>;

// Books of version 3 kept each password in clear in a Text(50) column; the first opening by
// this version hashes them, and each account logs in with what it typed before.
TEST_P(OldPasswords, AreHashedAtTheFirstOpeningAndStillLogIn) {
    const char* clear[][2] = {{"超级管理员", "642"}, {"店员", " 1 "}, {"Ab", "甲乙"}};
    if (store_ == StoreKind::File) {
        till1_.Close();
        till2_.Close();
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(Path().toUtf8().constData(), &db), SQLITE_OK);
        QString sql = QStringLiteral(
            "DROP TABLE UserName; CREATE TABLE UserName (ID INTEGER PRIMARY KEY AUTOINCREMENT, "
            "用户名 TEXT COLLATE NOCASE CHECK (length(用户名) <= 50), 密码 TEXT COLLATE NOCASE "
            "CHECK (length(密码) <= 50), 权限 TEXT COLLATE NOCASE CHECK (length(权限) <= 50)) "
            "STRICT; PRAGMA user_version=3;");
        for (const auto& c : clear)
            sql += QStringLiteral(
                       "INSERT INTO UserName (用户名, 密码, 权限) VALUES ('%1', '%2', "
                       "'普通管理员');")
                       .arg(QString::fromUtf8(c[0]), QString::fromUtf8(c[1]));
        ASSERT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK)
            << sqlite3_errmsg(db);
        sqlite3_close(db);
    } else {
        // The column's limit as version 3 made it, by the name the server gives it.
        ASSERT_TRUE(till1_.Execute("DELETE FROM UserName"));
        ASSERT_TRUE(till1_.Execute("ALTER TABLE UserName ADD CHECK (char_length(密码) <= 50)"));
        for (const auto& c : clear)
            ASSERT_TRUE(
                till1_.Execute("INSERT INTO UserName (用户名, 密码, 权限) VALUES (?, ?, "
                               "'普通管理员')",
                               {QString::fromUtf8(c[0]), QString::fromUtf8(c[1])}));
        ASSERT_TRUE(
            till1_.Execute("CREATE OR REPLACE FUNCTION lk_schema_version() RETURNS "
                           "integer LANGUAGE sql IMMUTABLE AS 'SELECT 3'"));
        till2_.Close();
    }
    ASSERT_TRUE(OpenTill(till2_)) << till2_.GetErrorDescription().toStdString();

    Statement stored(till2_, QStringLiteral("SELECT 密码 FROM UserName"));
    int hashes = 0;
    while (stored.Next()) hashes += IsPasswordHash(stored.Text(0)) ? 1 : 0;
    EXPECT_EQ(hashes, 3);
    QString error;
    for (const auto& c : clear) {
        ledger::UserAccount account;
        EXPECT_EQ(ledger::CheckPassword(till2_, QString::fromUtf8(c[0]), QString::fromUtf8(c[1]),
                                        &account, &error),
                  ledger::PasswordCheck::Right)
            << c[0] << qPrintable(error);
        EXPECT_EQ(account.name, QString::fromUtf8(c[0]));
    }
    ledger::UserAccount account;
    EXPECT_EQ(ledger::CheckPassword(till2_, "店员", "1", &account, &error),
              ledger::PasswordCheck::Wrong);
    // Exactly the stored name: the table's comparison ignores ASCII case, the login does not.
    EXPECT_EQ(ledger::CheckPassword(till2_, "ab", "甲乙", &account, &error),
              ledger::PasswordCheck::NoAccount);
    // The hash is longer than the column's former limit, so a new password is stored too.
    EXPECT_EQ(ledger::ChangeBuiltInPassword(till2_, "新的"), ledger::UserResult::Done);
    EXPECT_EQ(ledger::CheckPassword(till2_, "超级管理员", "新的", &account, &error),
              ledger::PasswordCheck::Right);
}

LK_ON_BOTH_STORES(OldPasswords);

}  // namespace
