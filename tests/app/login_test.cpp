#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <csignal>

#include "app/login_window.h"
#include "app/main_window.h"
#include "app/program_exit.h"
#include "common/ini.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/field_names.h"
#include "platform/skin.h"
#include "store/open_checks.h"
#include "store/password_hash.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"

namespace {

class Login : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        SetProgramEnding([this] { ++ended_; });
    }
    void TearDown() override {
        if (login_) delete login_.data();
        delete TheMainWindow();
        SetProgramEnding(nullptr);
        ProgramFixture::TearDown();
    }
    LoginWindow* Open() {
        login_ = OpenLoginWindow();
        return login_;
    }
    QString Remembered(const QString& user) { return IniRead(RememberPath(), user, kRememberKey); }
    void AddUser(const QString& name, const QString& password, const QString& role) {
        ASSERT_TRUE(
            SharedConnection().Execute("insert into UserName (用户名, 密码, 权限) values (?, ?, ?)",
                                       {name, HashPassword(password), role}));
    }
    QPointer<LoginWindow> login_;
    int ended_ = 0;
};

TEST_F(Login, AFreshStartListsTheSuperAdministratorAndTheDefaultHint) {
    LoginWindow* w = Open();
    EXPECT_EQ(w->windowTitle(), kDefaultTitle);
    EXPECT_EQ(w->组合框1->currentText(), kSuperAdmin);
    EXPECT_EQ(w->密码提示标签->text(), QStringLiteral("默认超级管理员密码 642"));
    EXPECT_EQ(w->size(), QSize(423, 270));
    EXPECT_EQ(w->编辑框2->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(w->编辑框2->text().isEmpty());
    EXPECT_FALSE(w->选择框1->isChecked());
    // The first start asked about the tutorial while provisioning.
    EXPECT_EQ(dialogs_.Texts(), QStringList{QStringLiteral("第一次使用是否需要“视频教程”")});
}

// A screen reader says what each field asks for, by the label beside it.
TEST_F(Login, TheFieldsAreNamedByTheLabelsBesideThem) {
    LoginWindow* w = Open();
    NameFieldsByLabels(w);
    EXPECT_EQ(w->组合框1->accessibleName(), QStringLiteral("用户名"));
    EXPECT_EQ(w->透明标签1->buddy(), w->组合框1);
    QAccessibleInterface* password = QAccessible::queryAccessibleInterface(w->编辑框2);
    EXPECT_EQ(password->text(QAccessible::Name), QStringLiteral("密码"));
    EXPECT_EQ(password->role(), QAccessible::EditableText);
    EXPECT_EQ(w->选择框1->accessibleName(), QStringLiteral("记住密码"));  // the label to its right
}

TEST_F(Login, TheRightPasswordWithSpacesAroundItOpensTheMainWindow) {
    // A qwert.ini copied in readable by everyone becomes its owner's alone.
    ASSERT_TRUE(IniWrite(RememberPath(), "其他", kRememberKey, "1"));
    QFile::setPermissions(RememberPath(), QFile::permissions(RememberPath()) | QFile::ReadOther);
    LoginWindow* w = Open();
    w->编辑框2->setText(QStringLiteral(" 642\u3000"));
    w->选择框1->setChecked(true);
    QTest::keyClick(w->编辑框2, Qt::Key_Return);
    ASSERT_NE(TheMainWindow(), nullptr);
    EXPECT_TRUE(login_.isNull() || !login_->isVisible());
    EXPECT_EQ(CurrentSession().userName, kSuperAdmin);
    EXPECT_EQ(CurrentSession().userRole, kSuperAdmin);
    // Remembered as typed, spaces included.
    const QString value = Remembered(kSuperAdmin);
    EXPECT_EQ(value.size(), 12 + 5 + 24);
    EXPECT_EQ(UnwrapRememberedPassword(value), QStringLiteral(" 642\u3000"));
    EXPECT_TRUE(value.left(12).toULongLong() || value.left(12) == QString(12, u'0'));
    EXPECT_EQ(QFile::permissions(RememberPath()) &
                  (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther),
              QFileDevice::Permissions());
    Open();
    EXPECT_EQ(login_->编辑框2->text(), QStringLiteral(" 642\u3000"));
    EXPECT_TRUE(login_->选择框1->isChecked());
}

TEST_F(Login, RefusalsComeInTheirOrderAndAWrongPasswordIsRememberedAnyway) {
    LoginWindow* w = Open();
    dialogs_.Clear();
    w->Login();
    EXPECT_EQ(dialogs_.Texts(), QStringList{LoginMessage::kEnterPassword});
    EXPECT_EQ(dialogs_.Shown()[0].icon, BoxIcon::Error);
    EXPECT_EQ(dialogs_.Shown()[0].caption, LoginMessage::kCaption);

    w->编辑框2->setText("641");
    w->选择框1->setChecked(true);
    dialogs_.Clear();
    w->Login();
    EXPECT_EQ(dialogs_.Texts(), QStringList{LoginMessage::kWrongCredentials});
    EXPECT_EQ(TheMainWindow(), nullptr);
    EXPECT_EQ(UnwrapRememberedPassword(Remembered(kSuperAdmin)), "641");

    w->选择框1->setChecked(false);
    w->Login();
    EXPECT_EQ(Remembered(kSuperAdmin), "");  // unticked: forgotten, even on failure
}

TEST_F(Login, UsersAreListedHighestIdFirst) {
    Provision();
    AddUser("A", "1", kOrdinaryUser);
    AddUser("B", "2", kOrdinaryUser);
    LoginWindow* w = Open();
    ASSERT_EQ(w->组合框1->count(), 3);
    EXPECT_EQ(w->组合框1->itemText(0), "B");
    EXPECT_EQ(w->组合框1->currentText(), "B");
    EXPECT_EQ(w->组合框1->itemText(2), kSuperAdmin);
    EXPECT_EQ(w->组合框1->itemData(0).toString(), "3");
}

TEST_F(Login, RememberedValuesShorterThan37RestoreNothing) {
    Provision();
    IniWrite(RememberPath(), kSuperAdmin, kRememberKey, QString(36, u'1'));
    LoginWindow* w = Open();
    EXPECT_EQ(w->编辑框2->text(), "");
    EXPECT_FALSE(w->选择框1->isChecked());
    delete login_.data();
    IniWrite(RememberPath(), kSuperAdmin, kRememberKey,
             QString(12, u'1') + "x" + QString(24, u'2'));
    w = Open();
    EXPECT_EQ(w->编辑框2->text(), "x");
    EXPECT_TRUE(w->选择框1->isChecked());
}

TEST_F(Login, ChoosingAnotherUserRestoresThatUsersPassword) {
    Provision();
    AddUser("B", "2", kOrdinaryUser);
    IniWrite(RememberPath(), kSuperAdmin, kRememberKey, WrapRememberedPassword("642"));
    LoginWindow* w = Open();
    EXPECT_EQ(w->编辑框2->text(), "");
    w->组合框1->setCurrentIndex(1);
    w->On组合框1Selected();
    EXPECT_EQ(w->编辑框2->text(), "642");
}

TEST_F(Login, ExitWithAnEmptyBoxForgetsThePasswordAndOtherwiseKeepsIt) {
    Provision();
    const QString kept = WrapRememberedPassword("642");
    IniWrite(RememberPath(), kSuperAdmin, kRememberKey, kept);
    LoginWindow* w = Open();
    w->Exit();
    EXPECT_EQ(Remembered(kSuperAdmin), kept);
    EXPECT_EQ(ended_, 1);
    w->编辑框2->clear();
    w->Exit();
    EXPECT_EQ(Remembered(kSuperAdmin), "");
    EXPECT_EQ(ended_, 2);
}

TEST_F(Login, ANameMissingFromTheTableIsRefused) {
    LoginWindow* w = Open();
    ASSERT_TRUE(SharedConnection().Execute("update UserName set 用户名='改名' where ID=1"));
    w->编辑框2->setText("642");
    dialogs_.Clear();
    w->Login();
    EXPECT_EQ(dialogs_.Texts(), QStringList{LoginMessage::kWrongCredentials});
    EXPECT_EQ(CurrentSession().userName, "");
}

TEST_F(Login, AChangedPasswordSwitchesTheHint) {
    Provision();
    WriteSetupKey("password", "ture");
    EXPECT_EQ(Open()->密码提示标签->text(), QStringLiteral("请登录您的号码"));
}

TEST_F(Login, ANamelessAccountNeverLetsAnyoneIn) {
    Open();
    AddUser("", "", QStringLiteral("超级管理员"));
    delete login_.data();
    LoginWindow* w = Open();
    ASSERT_EQ(w->组合框1->currentText(), "");
    w->编辑框2->setText("   ");
    dialogs_.Clear();
    w->Login();
    EXPECT_EQ(TheMainWindow(), nullptr);
    EXPECT_EQ(dialogs_.Texts(), QStringList{LoginMessage::kWrongCredentials});
}

TEST_F(Login, AFailedOpeningIsToldOnceAndClosingTheWindowEndsTheProgram) {
    QFile damaged(File("data.db"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, '\x01'));
    damaged.close();
    LoginWindow* w = Open();
    ASSERT_EQ(dialogs_.Texts().size(), 1);
    EXPECT_TRUE(dialogs_.Texts()[0].startsWith(
        QStringLiteral("打开数据库文件 data.db 失败：这不是本程序的数据库文件")));
    EXPECT_EQ(w->组合框1->count(), 0);
    w->close();
    EXPECT_EQ(ended_, 1);
}

TEST_F(Login, ALogoutOrAShutdownEndsTheProgramAsItsExitDoesWithTheBooksClosed) {
    EndProgramOnSignals();
    Open();
    int ends = 0;
    for (const int signal : {SIGTERM, SIGHUP}) {
        ASSERT_TRUE(EnsureDatabaseOpen());
        ::raise(signal);
        EXPECT_TRUE(QTest::qWaitFor([&] { return ended_ == ends + 1; }, 60000)) << signal;
        ends = ended_;
        EXPECT_FALSE(SharedConnection().IsOpen()) << signal;
    }
}

TEST_F(Login, AfterACrashTheLoginWindowComesAtOnceAndOnlyDamageFoundLaterIsTold) {
    Provision();
    {
        DbTransaction transaction(SharedConnection());
        for (int i = 0; i < 1000; ++i)
            ASSERT_TRUE(SharedConnection().Execute("insert into buy (名称, 备注) values (?, ?)",
                                                   {QString("g%1").arg(i), QString(500, u'x')}));
        ASSERT_TRUE(transaction.Commit());
    }
    const auto crashWhileOpen = [this] {
        SharedRecordSet().Close();
        SharedConnection().Close();
        if (login_) delete login_.data();
        const pid_t child = fork();
        if (child == 0) {
            DbConnection crashed;
            _exit(crashed.OpenFile(File("data.db")) ? 0 : 1);
        }
        int status = -1;
        waitpid(child, &status, 0);
        return WIFEXITED(status) && WEXITSTATUS(status) == 0;
    };
    const auto leftBehind = [this] { return !OpenMarker(File("data.db")).LeftBehind().isEmpty(); };

    ASSERT_TRUE(crashWhileOpen());
    EXPECT_GT(Open()->组合框1->count(), 0);
    // The check runs on a worker: on a busy machine it takes what it takes.
    constexpr int kCheckMs = 120000;
    EXPECT_TRUE(QTest::qWaitFor([&] { return !leftBehind(); }, kCheckMs));
    EXPECT_EQ(dialogs_.Texts(), QStringList());

    ASSERT_TRUE(crashWhileOpen());
    // A page in the middle of the goods, none of the first pages of a table.
    QFile file(File("data.db"));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    file.seek(file.size() / 2 / 4096 * 4096);
    file.write(QByteArray(4096, '\x5a'));
    file.close();
    EXPECT_GT(Open()->组合框1->count(), 0);
    EXPECT_EQ(dialogs_.Texts(), QStringList());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialogs_.Texts().isEmpty(); }, kCheckMs));
    EXPECT_TRUE(dialogs_.Texts()[0].startsWith("检查数据库文件时发现损坏：数据库文件已损坏"))
        << dialogs_.Texts()[0].toStdString();
    EXPECT_TRUE(leftBehind());
}

}  // namespace
