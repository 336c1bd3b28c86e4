#include "app/open_database.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>
#include <memory>

#include "common/ini.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "common/settings.h"
#include "common/workers.h"
#include "platform/dialogs.h"
#include "platform/till_keeper.h"
#include "store/db_files.h"
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

// data.db would not open: the user hears why, and may put the newest sound copy of the backup
// folder, or one of their choosing, in its place; the file that would not open is kept.
void OfferRestore(const QString& reason) {
    const QString path = DatabasePath();
    const QString folder = BackupFolder(path);
    const QString newest = NewestSoundBackup(folder);
    QString text = QStringLiteral("打开数据库文件 data.db 失败：") + reason + QStringLiteral("。");
    BoxAnswer answer;
    if (newest.isEmpty()) {
        text += QStringLiteral("\n\n“备份”文件夹中没有完好的备份。要自己选择一份备份来恢复吗？");
        if (Dialogs().SystemMessage(nullptr, text, QStringLiteral("提示"), BoxIcon::Error,
                                    BoxButtons::YesNo) != BoxAnswer::Yes)
            return;
        answer = BoxAnswer::No;  // as "否" below: the user chooses the copy
    } else {
        text += QStringLiteral(
                    "\n\n“备份”文件夹中最近的完好备份是 %1。\n"
                    "选“是”用它恢复（原来的 data.db 先另存到“备份”文件夹），"
                    "选“否”自己选择一份备份，选“取消”不恢复。")
                    .arg(QFileInfo(newest).fileName());
        answer = Dialogs().SystemMessage(nullptr, text, QStringLiteral("提示"), BoxIcon::Error,
                                         BoxButtons::YesNoCancel);
    }
    QString backup;
    if (answer == BoxAnswer::Yes)
        backup = newest;
    else if (answer == BoxAnswer::No)
        backup = Dialogs().OpenFileName(nullptr, QStringLiteral("选择要恢复的备份"), folder,
                                        QStringLiteral("数据库文件 (*.db)"));
    if (backup.isEmpty()) return;
    QString kept;
    QString error;
    if (!RestoreBackupOver(path, backup, &kept, &error)) {
        Dialogs().SystemMessage(nullptr,
                                QStringLiteral("恢复备份失败：") + error +
                                    QStringLiteral("。\n\ndata.db 没有改变。请选择另一份备份，"
                                                   "或把 data.db 交给技术支持检查。"),
                                QStringLiteral("提示"), BoxIcon::Error, BoxButtons::Ok);
        return;
    }
    if (!SharedConnection().OpenFile(path)) {
        Dialogs().SystemMessage(nullptr,
                                QStringLiteral("恢复后仍然打不开数据库文件：") +
                                    SharedConnection().GetErrorDescription() +
                                    QStringLiteral("。\n\n请把 data.db 交给技术支持检查。"),
                                QStringLiteral("提示"), BoxIcon::Error, BoxButtons::Ok);
        return;
    }
    Dialogs().SystemMessage(
        nullptr,
        QStringLiteral("已用备份 %1 恢复数据库。").arg(QFileInfo(backup).fileName()) +
            (kept.isEmpty()
                 ? QString()
                 : QStringLiteral("\n打不开的文件另存为 %1。").arg(QFileInfo(kept).fileName())) +
            QStringLiteral("\n\n备份之后录入的数据需要重新录入。"),
        QStringLiteral("提示"), BoxIcon::Information, BoxButtons::Ok);
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
        const QString cause = SharedConnection().GetErrorDescription();
        // The till sells on from its own copy; its sales reach the server once it is back.
        QString offline;
        if (StartSellingOffline(&offline)) return;
        // A till that never reached its server has no copy: the shop may go on at this
        // computer with its own file; what is booked there stays there, which the question says.
        const BoxAnswer answer = Dialogs().SystemMessage(
            nullptr,
            QStringLiteral("连接数据库服务器失败！\n") + cause + QStringLiteral("\n") + offline +
                QStringLiteral("。\n\n要改用本机的数据库文件 data.db 吗？\n"
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
    OfferRestore(SharedConnection().GetErrorDescription());
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
