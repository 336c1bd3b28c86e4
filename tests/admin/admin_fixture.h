#pragma once
// A fresh program directory with its database and a shown, skinned owner window, so that the
// program's messages reach the scripted dialogs.

#include <QTest>
#include <QWidget>
#include <memory>

#include "platform/skin.h"
#include "store/password_hash.h"
#include "store/shared_db.h"
#include "support/program_fixture.h"

class AdminFixture : public ProgramFixture {
  protected:
    void SetUp() override {
        ProgramFixture::SetUp();
        Provision();
        owner_ = std::make_unique<QWidget>();
        owner_->setGeometry(20, 20, 800, 600);
        Skin::Instance().Attach(owner_.get());
        owner_->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(owner_.get()));
    }
    void TearDown() override {
        Skin::Instance().Detach();
        owner_.reset();
        ProgramFixture::TearDown();
    }

    static QString AddAccount(const QString& name, const QString& password, const QString& role) {
        SharedConnection().Execute("insert into UserName (用户名, 密码, 权限) values (?, ?, ?)",
                                   {name, HashPassword(password), role});
        return StoredText("select max(ID) from UserName");
    }
    static QString StoredText(const QString& sql, const QVariantList& values = {}) {
        if (!OpenSharedQuery(sql, values) || SharedRecordSet().GetRecordCount() == 0) return "-";
        const QString text = VariantText(SharedRecordSet().GetFieldByIndex(0));
        SharedRecordSet().Close();
        return text;
    }
    // Whether password is the stored one of the account named name.
    static bool PasswordIs(const QString& name, const QString& password) {
        return PasswordMatches(StoredText("select 密码 from UserName where 用户名=?", {name}),
                               password);
    }
    static QString Role(const QString& name) {
        return StoredText("select 权限 from UserName where 用户名=?", {name});
    }
    static int Accounts() { return StoredText("select count(*) from UserName").toInt(); }

    // The program's (skinned) messages shown so far, text and kind's icon.
    QStringList SkinTexts() const {
        QStringList texts;
        for (const ShownBox& box : dialogs_.Shown())
            if (box.kind == ShownBox::Kind::Skin) texts << box.text;
        return texts;
    }

    std::unique_ptr<QWidget> owner_;
};
