#include "app/open_database.h"

#include "common/program_dir.h"
#include "common/session.h"
#include "common/settings.h"
#include "platform/dialogs.h"
#include "store/shared_db.h"

QString DatabasePath() {
    return ProgramFile(QStringLiteral("data.db"));
}

void OpenDatabase() {
    if (SharedConnection().IsOpen()) return;
    if (SharedConnection().OpenFile(DatabasePath())) return;
    Dialogs().SystemMessage(nullptr, QStringLiteral("打开数据库失败！"), QStringLiteral("提示"),
                            BoxIcon::Error, BoxButtons::Ok);
}

QString LoadAppTitle() {
    QString title = ReadSetupKey(SetupKey::kTitle);
    if (title.isEmpty()) {
        title = kDefaultTitle;
        WriteSetupKey(SetupKey::kTitle, title);
    }
    CurrentSession().appTitle = title;
    return title;
}
