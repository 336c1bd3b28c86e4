#include "app/open_database.h"

#include "common/ini.h"
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
    const QString store = IniRead(ConfigPath(), kServerSection, ServerKey::kStore).trimmed();
    if (store.compare(kServerStore, Qt::CaseInsensitive) == 0) {
        if (SharedConnection().OpenServer(
                IniRead(ConfigPath(), kServerSection, ServerKey::kConnection)))
            return;
        // The shop may go on at this computer with its own file; what is booked there stays
        // there, which the question says.
        const BoxAnswer answer = Dialogs().SystemMessage(
            nullptr,
            QStringLiteral("连接数据库服务器失败！\n") + SharedConnection().GetErrorDescription() +
                QStringLiteral("\n\n要改用本机的数据库文件 data.db 吗？\n"
                               "（只在这次使用，其中的数据不会与服务器上的同步）"),
            QStringLiteral("提示"), BoxIcon::Error, BoxButtons::YesNo);
        if (answer != BoxAnswer::Yes) return;
    }
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
