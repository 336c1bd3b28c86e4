#include "app/provision.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

#include "common/gbk.h"
#include "common/ini.h"
#include "common/program_dir.h"
#include "common/settings.h"
#include "platform/dialogs.h"
#include "store/db_connection.h"

namespace {

QByteArray CrLfGbk(const char* utf8Lines) {
    QByteArray bytes = ToGbk(QString::fromUtf8(utf8Lines));
    bytes.replace("\n", "\r\n");
    return bytes;
}

// An empty file is what an earlier failed write may have left: it is written again.
void WriteIfMissing(const QString& path, const QByteArray& bytes) {
    const QFileInfo info(path);
    if (info.exists() && info.size() > 0) return;
    WriteSettingsFile(path, bytes);
}

}  // namespace

QByteArray DefaultConfigBytes() {
    return CrLfGbk(
        "[setup]\n"
        "password=\n"
        "beep=2\n"
        "beepview=false\n"
        "beepcolor=255\n"
        "line=0\n"
        "bgtwo=16777215\n"
        "bgone=55512\n"
        "lastcolor=33023\n"
        "zero=\n"
        "zerocolor=8421504\n"
        "rmbcolor=16711824\n"
        "outcolor=255\n"
        "backpath=d:\\BackupData.mdb\n"
        "name=\n"
        "adress=\n"
        "tell=\n"
        "[System]\n"
        "Version=1.1\n"
        "[Skin]\n"
        "style=1\n"
        "color=13998394\n"
        "picid=6\n");
}

QByteArray DefaultReceiptBytes() {
    return CrLfGbk(
        "[程序配置]\n"
        "宣传1=管理软件\n"
        "宣传2=岚库通管理软件\n"
        "票头=岚库通\n");
}

void StartTutorial() {
    const QString program = ProgramFile(QStringLiteral("视频教程"));
    const QFileInfo info(program);
    if (info.isFile() && info.isExecutable()) {
        QProcess::startDetached(program, {}, ProgramDir());
        return;
    }
    const QStringList found =
        QDir(ProgramDir()).entryList({QStringLiteral("视频教程.*")}, QDir::Files);
    if (!found.isEmpty())
        QDesktopServices::openUrl(QUrl::fromLocalFile(ProgramFile(found.first())));
}

void ReportSettingsFailures() {
    SetSettingsFailureHandler([](const QString& file, const QString& reason) {
        Dialogs().SystemMessage(nullptr,
                                QStringLiteral("设置文件“%1”无法保存：%2。\n原来的设置保持不变。")
                                    .arg(QDir::toNativeSeparators(file), reason),
                                QStringLiteral("提示"), BoxIcon::Warning, BoxButtons::Ok);
    });
}

void ProvisionFiles() {
    WriteIfMissing(ConfigPath(), DefaultConfigBytes());

    const QString database = ProgramFile(QStringLiteral("data.db"));
    if (!QFileInfo::exists(database)) {
        CreateDatabaseFile(database);
        const BoxAnswer answer = Dialogs().SystemMessage(
            nullptr, QStringLiteral("第一次使用是否需要“视频教程”"), QStringLiteral("提示"),
            BoxIcon::Question, BoxButtons::OkCancel);
        if (answer == BoxAnswer::Ok) StartTutorial();
    }

    WriteIfMissing(ReceiptPath(), DefaultReceiptBytes());
}
