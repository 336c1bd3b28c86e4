#include "admin/user_window.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>

#include "admin_fixture.h"
#include "common/ini.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/record_grid.h"

namespace {

class UserWindowTest : public AdminFixture {
  protected:
    void SetUp() override {
        AdminFixture::SetUp();
        CurrentSession().userRole = kSuperAdmin;
        clerk_ = AddAccount("店员", "1", kOrdinaryUser);
        boss_ = AddAccount("老板", "2", kSuperAdmin);
        window_ = std::make_unique<UserWindow>();
        window_->show();
    }
    void TearDown() override {
        window_.reset();
        AdminFixture::TearDown();
    }

    QStringList Names() const {
        QStringList names;
        for (int r = 1; r < window_->UserGrid->Rows(); ++r)
            names << window_->UserGrid->CellText(r, 2);
        return names;
    }
    void ClickRow(int row, Qt::MouseButton button = Qt::LeftButton) {
        RecordGrid* grid = window_->UserGrid;
        const QPoint at = grid->CellRect(row, 2).center() - grid->viewport()->pos();
        QTest::mouseClick(grid->viewport(), button, {}, at);
    }
    static void Type(QLineEdit* box, const QString& text) { box->setText(text); }
    QString LastSkinText() const { return SkinTexts().value(SkinTexts().size() - 1); }

    std::unique_ptr<UserWindow> window_;
    QString clerk_;
    QString boss_;
};

TEST_F(UserWindowTest, OnlyTheSuperAdministratorGetsTheWindowFromTheMenu) {
    CurrentSession().userRole = kOrdinaryUser;
    OpenUserWindowFromMenu();
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    EXPECT_EQ(dialogs_.Shown()[0].kind, ShownBox::Kind::Skin);
    EXPECT_EQ(dialogs_.Shown()[0].text,
              "你不能这样做。。。。必须登录超级管理员才能修改！  谢谢配合！");
    EXPECT_EQ(dialogs_.Shown()[0].skinIcon, 2);

    dialogs_.Clear();
    CurrentSession().userRole = kSuperAdmin;
    OpenUserWindowFromMenu();
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    EXPECT_EQ(dialogs_.Shown()[0].kind, ShownBox::Kind::Window);
    EXPECT_EQ(dialogs_.Shown()[0].text, "用户管理");
}

TEST_F(UserWindowTest, TheListShowsEveryAccountButTheBuiltInOneInItsColumns) {
    EXPECT_EQ(window_->size(), QSize(650, 289));
    EXPECT_EQ(window_->图片框2->geometry(), QRect(15, 60, 617, 106));
    EXPECT_EQ(window_->图片框1->geometry(), QRect(15, 181, 617, 72));
    EXPECT_EQ(Names(), (QStringList{"店员", "老板"}));
    RecordGrid* grid = window_->UserGrid;
    EXPECT_EQ(grid->CellText(2, 1), boss_);
    EXPECT_EQ(grid->CellText(2, 3), "");  // the books hold a hash, never the password
    EXPECT_EQ(grid->CellText(2, 4), kSuperAdmin);
    const int widths[] = {0, 0, 200, 220, 130};
    for (int c = 0; c < 5; ++c) EXPECT_EQ(grid->Column(c).Width(), widths[c]) << c;
    EXPECT_EQ(window_->编辑框6->echoMode(), QLineEdit::Password);
    EXPECT_EQ(window_->编辑框5->echoMode(), QLineEdit::Password);
    // Without the keys the list selects as every list does; with them, in their colours.
    EXPECT_EQ(grid->BackColorSel(), 65535);
    WriteSetupKey(SetupKey::kSelectColor, "255");
    WriteSetupKey(SetupKey::kSelectLine, "0");
    window_->FillUserGrid();
    EXPECT_EQ(grid->BackColorSel(), 255);
    EXPECT_EQ(grid->SelectionBorderColor(), 0);
}

TEST_F(UserWindowTest, AddTellsWhatIsMissingOrTakenAndListsTheNewAccount) {
    QTest::mouseClick(window_->按钮1, Qt::LeftButton);
    EXPECT_EQ(LastSkinText(), "请输入用户名！");
    Type(window_->编辑框1, " 超级管理员 ");
    QTest::mouseClick(window_->按钮1, Qt::LeftButton);
    EXPECT_EQ(LastSkinText(), "不允许这么做,请不要使用超级管理员为用户名");
    Type(window_->编辑框1, "店员 ");
    QTest::mouseClick(window_->按钮1, Qt::LeftButton);
    EXPECT_EQ(LastSkinText(), "请输入用户密码！");
    Type(window_->编辑框6, "3");
    QTest::mouseClick(window_->按钮1, Qt::LeftButton);
    EXPECT_EQ(LastSkinText(), "发现重复用户名，请重新输入");
    EXPECT_EQ(dialogs_.Shown().last().skinIcon, 3);
    EXPECT_EQ(Accounts(), 3);

    Type(window_->编辑框1, "会计");
    window_->权限组合框1->setCurrentIndex(1);
    QTest::mouseClick(window_->按钮1, Qt::LeftButton);
    EXPECT_EQ(LastSkinText(), "添加用户成功");
    EXPECT_EQ(Names(), (QStringList{"店员", "老板", "会计"}));
    EXPECT_EQ(Role("会计"), kSuperAdmin);
    EXPECT_TRUE(window_->编辑框1->text().isEmpty());
    EXPECT_TRUE(window_->编辑框6->text().isEmpty());
}

TEST_F(UserWindowTest, AChangeStoresTheRoleTheBoxShowsForTheClickedAccount) {
    QTest::mouseClick(window_->按钮2, Qt::LeftButton);
    EXPECT_EQ(LastSkinText(), "请从上方表格选择要修改的用户名！");
    // A name typed without a click names no account either.
    Type(window_->编辑框4, "店员");
    Type(window_->编辑框5, "1");
    QTest::mouseClick(window_->按钮2, Qt::LeftButton);
    EXPECT_EQ(LastSkinText(), "请从上方表格选择要修改的用户名！");
    EXPECT_EQ(dialogs_.Shown().size(), 2);  // nothing asked

    ClickRow(2, Qt::RightButton);
    EXPECT_TRUE(window_->SelectedUserId().isEmpty());
    ClickRow(2);
    EXPECT_EQ(window_->SelectedUserId(), boss_);
    EXPECT_EQ(window_->编辑框4->text(), "老板");
    EXPECT_EQ(window_->编辑框5->text(), "");
    EXPECT_EQ(window_->权限组合框2->currentText(), kSuperAdmin);

    Type(window_->编辑框4, "店员");
    QTest::mouseClick(window_->按钮2, Qt::LeftButton);
    EXPECT_EQ(LastSkinText(), "发现重复用户名，请重新输入");
    Type(window_->编辑框4, "超级管理员");
    QTest::mouseClick(window_->按钮2, Qt::LeftButton);
    EXPECT_EQ(LastSkinText(), "不允许这么做,请不要使用超级管理员为用户名");

    dialogs_.Clear();
    Type(window_->编辑框4, "老板");
    Type(window_->编辑框5, "22");
    dialogs_.AnswerSystem(BoxAnswer::Cancel);
    QTest::mouseClick(window_->按钮2, Qt::LeftButton);
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    EXPECT_EQ(dialogs_.Shown()[0].text, "确定要修改 [老板] 这个用户名的密码或权限吗？");
    EXPECT_EQ(dialogs_.Shown()[0].caption, "友情提示");
    EXPECT_EQ(dialogs_.Shown()[0].buttons, BoxButtons::OkCancel);
    EXPECT_TRUE(PasswordIs("老板", "2"));
    EXPECT_TRUE(ReadSetupKey(SetupKey::kPassword).isEmpty());

    QTest::mouseClick(window_->按钮2, Qt::LeftButton);
    EXPECT_EQ(LastSkinText(), "修改数据完成");
    EXPECT_TRUE(PasswordIs("老板", "22"));
    EXPECT_EQ(Role("老板"), kSuperAdmin);
    EXPECT_EQ(ReadSetupKey(SetupKey::kPassword), "ture");
}

TEST_F(UserWindowTest, DeletingReloadsTheListAndLeavesNothingChosen) {
    ClickRow(1);
    dialogs_.AnswerSystem(BoxAnswer::Cancel);
    QTest::mouseClick(window_->按钮3, Qt::LeftButton);
    ASSERT_EQ(dialogs_.Shown().size(), 1);
    EXPECT_EQ(dialogs_.Shown()[0].text,
              "你确定要删除当前选中的资料吗？\r\n\r\n        一经删除无法恢复");
    EXPECT_EQ(dialogs_.Shown()[0].caption, "警告！");
    EXPECT_EQ(Accounts(), 3);

    QTest::mouseClick(window_->按钮3, Qt::LeftButton);
    EXPECT_EQ(Accounts(), 2);
    EXPECT_EQ(Names(), QStringList{"老板"});
    EXPECT_TRUE(window_->SelectedUserId().isEmpty());
    EXPECT_TRUE(window_->编辑框4->text().isEmpty());

    dialogs_.Clear();
    QTest::mouseClick(window_->按钮3, Qt::LeftButton);
    EXPECT_TRUE(dialogs_.Shown().isEmpty());
    EXPECT_EQ(Names(), QStringList{"老板"});
}

TEST_F(UserWindowTest, TheBuiltInPasswordChangesOnlyAfterTheOldOneAndNeverToEmpty) {
    dialogs_.AnswerInput(QString("641"));
    QTest::mouseClick(window_->按钮4, Qt::LeftButton);
    EXPECT_EQ(LastSkinText(), "超级管理员密码输入错误,无法完成您的请求");
    ASSERT_EQ(dialogs_.Shown()[0].kind, ShownBox::Kind::Input);
    EXPECT_EQ(dialogs_.Shown()[0].text, "请输入旧的超级管理员密码,默认超管密码 642");
    EXPECT_EQ(dialogs_.Shown()[0].caption, "旧的超管密码");

    dialogs_.Clear();
    dialogs_.AnswerInput(QString("642"));
    dialogs_.AnswerInput(QString(""));
    QTest::mouseClick(window_->按钮4, Qt::LeftButton);
    EXPECT_EQ(dialogs_.Shown()[1].text, "请输入新的超管密码");
    EXPECT_EQ(dialogs_.Shown()[1].caption, "新的超管密码");
    EXPECT_EQ(LastSkinText(), "超管密码不能为空，请重新修改");
    EXPECT_TRUE(PasswordIs(kSuperAdmin, "642"));
    EXPECT_TRUE(ReadSetupKey(SetupKey::kPassword).isEmpty());

    dialogs_.AnswerInput(QString("642"));
    dialogs_.AnswerInput(QString("新"));
    QTest::mouseClick(window_->按钮4, Qt::LeftButton);
    EXPECT_EQ(LastSkinText(), "超级管理密码修改成功");
    EXPECT_TRUE(PasswordIs(kSuperAdmin, "新"));
    EXPECT_EQ(ReadSetupKey(SetupKey::kPassword), "ture");
}

TEST_F(UserWindowTest, ForgettingRememberedPasswordsRemovesTheFileAndSaysSoEitherWay) {
    IniWrite(RememberPath(), "店员", "qwertyuiop：", "1234567890121000000000000000000000000");
    ASSERT_TRUE(QFile::exists(RememberPath()));
    for (int press = 0; press < 2; ++press) {
        QTest::mouseClick(window_->按钮5, Qt::LeftButton);
        EXPECT_FALSE(QFile::exists(RememberPath()));
        ASSERT_EQ(dialogs_.Shown().size(), press + 1);
        EXPECT_EQ(dialogs_.Shown()[press].kind, ShownBox::Kind::System);
        EXPECT_EQ(dialogs_.Shown()[press].text, "已删除");
        EXPECT_EQ(dialogs_.Shown()[press].caption, "提醒");
        EXPECT_EQ(dialogs_.Shown()[press].buttons, BoxButtons::Ok);
    }
}

}  // namespace
