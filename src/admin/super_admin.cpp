#include "admin/super_admin.h"

#include "common/session.h"
#include "platform/dialogs.h"
#include "platform/skin.h"
#include "store/shared_db.h"

bool VerifySuperAdminPassword(const QString& prompt, const QString& title) {
    QString password;
    bool found = false;
    if (OpenSharedQuery(QStringLiteral("select * from UserName where 用户名=?"), {kSuperAdmin}) &&
        SharedRecordSet().GetRecordCount() > 0) {
        found = true;
        password = FieldText(SharedRecordSet(), QStringLiteral("密码"));
    }
    SharedRecordSet().Close();
    if (!found) {
        ShowMessage(QStringLiteral("没有发现超级管理员账号的存在"), 2);
        return false;
    }
    const std::optional<QString> typed =
        Dialogs().InputText(nullptr, prompt, title, QString(), true);
    if (!typed) return false;
    if (*typed != password) {
        ShowMessage(QStringLiteral("超级管理员密码输入错误,无法完成您的请求"), 2);
        return false;
    }
    return true;
}
