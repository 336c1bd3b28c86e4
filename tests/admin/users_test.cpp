#include "ledger/users.h"

#include "admin_fixture.h"
#include "common/session.h"

namespace {

using Users = AdminFixture;
using ledger::UserInput;
using ledger::UserOutcome;
using ledger::UserResult;

UserOutcome AddUser(const UserInput& input) {
    return ledger::AddUser(SharedConnection(), input);
}
UserResult ChangeUser(const QString& id, const UserInput& input) {
    return ledger::ChangeUser(SharedConnection(), RecordIdValue(id), input);
}
UserResult DeleteUser(const QString& id) {
    return ledger::DeleteUser(SharedConnection(), RecordIdValue(id));
}
UserResult ChangeBuiltInPassword(const QString& password) {
    return ledger::ChangeBuiltInPassword(SharedConnection(), password);
}

TEST_F(Users, AddRefusesEachIncompleteOrTakenNameAndStoresTrimmedTexts) {
    ASSERT_EQ(AddUser({"abc", "1", kOrdinaryUser}).result, UserResult::Done);
    const struct {
        UserInput input;
        UserResult expected;
    } cases[] = {
        {{" \u3000", "1", kOrdinaryUser}, UserResult::EmptyName},
        {{" 超级管理员\u3000", "1", kOrdinaryUser}, UserResult::ReservedName},
        {{"新人", " \u3000", kOrdinaryUser}, UserResult::EmptyPassword},
        {{"新人", "1", " "}, UserResult::EmptyRole},
        {{"abc ", "2", kOrdinaryUser}, UserResult::DuplicateName},
        {{"ABC", "2", kOrdinaryUser}, UserResult::DuplicateName},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AddUser(c.input).result, c.expected) << qPrintable(c.input.name);
    EXPECT_EQ(Accounts(), 2);

    ASSERT_EQ(AddUser({"\u3000李'四 ", " 9 9 ", kSuperAdmin}).result, UserResult::Done);
    EXPECT_TRUE(PasswordIs("李'四", "9 9"));
    EXPECT_EQ(Role("李'四"), kSuperAdmin);
}

TEST_F(Users, AFieldTheTableRefusesNamesItsCodeAndWritesNoRow) {
    const QString longText(51, u'长');
    EXPECT_EQ(AddUser({longText, "1", kOrdinaryUser}).fieldCode, "[050]");
    EXPECT_EQ(AddUser({"甲", longText, kOrdinaryUser}).fieldCode, "[051]");
    const UserOutcome role = AddUser({"甲", "1", longText});
    EXPECT_EQ(role.result, UserResult::FieldError);
    EXPECT_EQ(role.fieldCode, "[052]");
    ASSERT_TRUE(SharedConnection().Execute(
        "create trigger refuse before insert on UserName begin select raise(abort, '拒绝'); end"));
    EXPECT_EQ(AddUser({"甲", "1", kOrdinaryUser}).result, UserResult::Failed);
    EXPECT_EQ(Accounts(), 1);
}

TEST_F(Users, AChangeKeepsNamesUniqueAndNeverTouchesTheBuiltInAccount) {
    const QString abc = AddAccount("abc", "1", kOrdinaryUser);
    const QString other = AddAccount("other", "2", kOrdinaryUser);
    EXPECT_EQ(ChangeUser("", {"abc", "1", kOrdinaryUser}), UserResult::NoAccount);
    EXPECT_EQ(ChangeUser(other, {"abc ", "2", kOrdinaryUser}), UserResult::DuplicateName);
    EXPECT_EQ(ChangeUser(other, {"超级管理员", "2", kOrdinaryUser}), UserResult::ReservedName);
    EXPECT_EQ(ChangeUser("1", {"x", "2", kOrdinaryUser}), UserResult::NoAccount);
    EXPECT_TRUE(PasswordIs(kSuperAdmin, "642"));
    EXPECT_EQ(ChangeUser("999", {"x", "2", kOrdinaryUser}), UserResult::NoAccount);

    // Its own name again, with a new password and role.
    EXPECT_EQ(ChangeUser(abc, {" abc", " 7 ", kSuperAdmin}), UserResult::Done);
    EXPECT_TRUE(PasswordIs("abc", "7"));
    EXPECT_EQ(Role("abc"), kSuperAdmin);
    // The window cannot show a stored password: left empty, the change keeps it.
    EXPECT_EQ(ChangeUser(abc, {"abc", " ", kOrdinaryUser}), UserResult::Done);
    EXPECT_TRUE(PasswordIs("abc", "7"));
    EXPECT_EQ(Role("abc"), kOrdinaryUser);

    ASSERT_TRUE(SharedConnection().Execute(
        "create trigger refuse before update on UserName begin select raise(abort, '拒绝'); end"));
    EXPECT_EQ(ChangeUser(abc, {"abc", "8", kSuperAdmin}), UserResult::Failed);
    EXPECT_TRUE(PasswordIs("abc", "7"));
}

TEST_F(Users, DeleteReportsWhatHappenedAndSparesTheBuiltInAccount) {
    const QString abc = AddAccount("abc", "1", kOrdinaryUser);
    EXPECT_EQ(DeleteUser("1"), UserResult::NoAccount);
    ASSERT_TRUE(SharedConnection().Execute(
        "create trigger refuse before delete on UserName begin select raise(abort, '拒绝'); end"));
    EXPECT_EQ(DeleteUser(abc), UserResult::Failed);
    EXPECT_EQ(Accounts(), 2);
    ASSERT_TRUE(SharedConnection().Execute("drop trigger refuse"));
    EXPECT_EQ(DeleteUser(abc), UserResult::Done);
    EXPECT_EQ(DeleteUser(abc), UserResult::NoAccount);
    EXPECT_EQ(Accounts(), 1);
}

TEST_F(Users, TheBuiltInPasswordIsStoredAsTheLoginComparesItAndNeverEmpty) {
    EXPECT_EQ(ChangeBuiltInPassword(" \u3000"), UserResult::EmptyPassword);
    EXPECT_TRUE(PasswordIs(kSuperAdmin, "642"));
    EXPECT_EQ(ChangeBuiltInPassword(" 新密码 "), UserResult::Done);
    EXPECT_TRUE(PasswordIs(kSuperAdmin, "新密码"));
    ASSERT_TRUE(SharedConnection().Execute("delete from UserName"));
    EXPECT_EQ(ChangeBuiltInPassword("1"), UserResult::NoAccount);
}

}  // namespace
