#include "app/open_database.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "common/ini.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "common/settings.h"
#include "common/workers.h"
#include "platform/dialogs.h"
#include "store/open_checks.h"
#include "store/shared_db.h"

namespace {

// After a crash every page of the file is read once, on a worker, so that the login window
// shows at once; the user hears of it only when the check finds damage.
void CheckEveryPageLater() {
    static QPointer<QThread> running;
    const QStringList markers = SharedConnection().FullCheckDue();
    if (markers.isEmpty()) return;
    if (running) {
        // One check at a time: this one follows the one still ending.
        QObject::connect(running, &QObject::destroyed, QCoreApplication::instance(), [] {
            QTimer::singleShot(0, QCoreApplication::instance(), CheckEveryPageLater);
        });
        return;
    }
    const QString path = SharedConnection().Path();
    auto finding = std::make_shared<QString>();
    running = StartWorker(
        [path, markers, finding](const std::atomic<bool>* stop) {
            *finding = CheckEveryPage(path, markers, stop);
        },
        QCoreApplication::instance(),
        [finding] {
            if (finding->isEmpty()) return;
            Dialogs().SystemMessage(
                nullptr,
                QStringLiteral("检查数据库文件时发现损坏：") + *finding +
                    QStringLiteral("\n\n请不要继续录入，先在“数据管理”中用“恢复以前数据库”"
                                   "恢复最近的备份。"),
                QStringLiteral("提示"), BoxIcon::Error, BoxButtons::Ok);
        },
        QThread::LowPriority);
}

}  // namespace

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
    if (SharedConnection().OpenFile(DatabasePath())) {
        // Once the event loop runs again, after the window that needed the books has shown.
        if (!SharedConnection().FullCheckDue().isEmpty())
            QTimer::singleShot(0, QCoreApplication::instance(), CheckEveryPageLater);
        return;
    }
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
