#include "admin/super_admin.h"

#include "common/session.h"
#include "ledger/users.h"
#include "platform/dialogs.h"
#include "platform/skin.h"
#include "store/shared_db.h"

bool VerifySuperAdminPassword(const QString& prompt, const QString& title, QString* typedPassword) {
    SharedRecordSet().Close();
    EnsureDatabaseOpen();
    QString error;
    if (!ledger::AccountStored(SharedConnection(), kSuperAdmin, &error)) {
        ShowMessage(error.isEmpty() ? QStringLiteral("没有发现超级管理员账号的存在")
                                    : QStringLiteral("读取超级管理员账号失败：") + error,
                    2);
        return false;
    }
    const std::optional<QString> typed =
        Dialogs().InputText(nullptr, prompt, title, QString(), true);
    if (!typed) return false;
    ledger::UserAccount account;
    switch (ledger::CheckPassword(SharedConnection(), kSuperAdmin, *typed, &account, &error)) {
        case ledger::PasswordCheck::Right:
            if (typedPassword) *typedPassword = *typed;
            return true;
        case ledger::PasswordCheck::Failed:
            ShowMessage(QStringLiteral("读取超级管理员账号失败：") + error, 2);
            return false;
        case ledger::PasswordCheck::NoAccount:
            ShowMessage(QStringLiteral("没有发现超级管理员账号的存在"), 2);
            return false;
        case ledger::PasswordCheck::Wrong:
            break;
    }
    ShowMessage(QStringLiteral("超级管理员密码输入错误,无法完成您的请求"), 2);
    return false;
}
