#include "admin/maintenance_window.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QThread>

#include "admin/super_admin.h"
#include "common/date_text.h"
#include "common/ini.h"
#include "common/program_dir.h"
#include "common/session.h"
#include "common/settings.h"
#include "common/text.h"
#include "common/workers.h"
#include "ledger/users.h"
#include "platform/dialogs.h"
#include "platform/list_refresh.h"
#include "platform/skin.h"
#include "store/db_files.h"
#include "store/migrate.h"
#include "store/server_session.h"
#include "store/shared_db.h"

namespace {

const QString kBackupName = QStringLiteral("BackupData.db");

QString DatabaseFile() {
    return ProgramFile(QStringLiteral("data.db"));
}

// Every list shows the ledger that is open now.
void RefillAllLists() {
    for (ListId list : {ListId::Stock, ListId::Sales, ListId::Other, ListId::Bank, ListId::Summary})
        RefillWholeList(list);
}

QLabel* Label(QWidget* parent, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

QPushButton* Button(QWidget* parent, const char16_t* name, const QString& text, int x, int y,
                    int w) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QString::fromUtf16(name));
    button->setGeometry(x, y, w, 24);
    return button;
}

QLineEdit* Edit(QWidget* parent, const char16_t* name, int x, int y, int w) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromUtf16(name));
    edit->setGeometry(x, y, w, 22);
    return edit;
}

// Restoring, compacting, initialising and moving the books replace or reshape all of them: the
// super administrator's alone, who types that password as well, so that a till left logged in
// does not let anyone do it. An ordinary user is refused before anything is touched.
bool SuperAdminOnly(const QString& action) {
    if (IsSuperAdmin()) return true;
    ShowMessage(
        QStringLiteral("只有超级管理员才能%1，\r\n请用超级管理员账号登录后再操作").arg(action), 1);
    return false;
}

QWidget* Group(QWidget* parent, const char16_t* name, int y) {
    auto* frame = new QFrame(parent);
    frame->setObjectName(QString::fromUtf16(name));
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setGeometry(8, y, 455, 43);
    return frame;
}

}  // namespace

QString BackupTargetFromSetting(const QString& stored) {
#ifndef Q_OS_WIN
    static const QRegularExpression drivePath(QStringLiteral("^[A-Za-z]:[\\\\/]"));
    if (drivePath.match(stored).hasMatch()) return ProgramFile(kBackupName);
#endif
    return stored;
}

MaintenanceWindow::MaintenanceWindow() : QDialog(nullptr) {
    setObjectName(QStringLiteral("MaintenanceWindow"));
    setWindowTitle(QStringLiteral("数据管理"));
    setFixedSize(477, 364);

    Label(this, QStringLiteral("备份当前数据库"), 10, 18);
    auto* hint = Label(this, QStringLiteral("温馨提示：经常备份数据，保证数据安全"), 235, 14);
    hint->setStyleSheet(QStringLiteral("color: rgb(200, 60, 40);"));
    图片框1 = Group(this, u"图片框1", 34);
    Label(图片框1, QStringLiteral("备份目录："), 8, 12);
    编辑框1 = Edit(图片框1, u"编辑框1", 74, 9, 176);
    按钮1 = Button(图片框1, u"按钮1", QStringLiteral("选择位置"), 253, 8, 60);
    按钮2 = Button(图片框1, u"按钮2", QStringLiteral("备份当前数据库"), 320, 8, 118);

    Label(this, QStringLiteral("恢复以前数据库"), 8, 88);
    图片框4 = Group(this, u"图片框4", 104);
    Label(图片框4, QStringLiteral("被恢复文件目录："), 8, 12);
    编辑框2 = Edit(图片框4, u"编辑框2", 106, 9, 133);
    按钮6 = Button(图片框4, u"按钮6", QStringLiteral("选择位置"), 253, 8, 60);
    按钮5 = Button(图片框4, u"按钮5", QStringLiteral("恢复数据库"), 328, 8, 118);

    Label(this, QStringLiteral("压缩当前数据库"), 10, 158);
    图片框2 = Group(this, u"图片框2", 174);
    Label(图片框2, QStringLiteral("温馨提示：压缩数据库，减少数据库体积，方便U盘携带"), 8, 12);
    按钮3 = Button(图片框2, u"按钮3", QStringLiteral("压缩当前数据库"), 320, 8, 118);

    Label(this, QStringLiteral("初始化当前数据库"), 10, 235);
    图片框3 = Group(this, u"图片框3", 251);
    Label(图片框3, QStringLiteral("将数据库还原为初始状态(清空所有数据)，请慎用。"), 8, 12);
    按钮4 = Button(图片框3, u"按钮4", QStringLiteral("初始化数据库"), 320, 8, 118);

    auto* note =
        new QLabel(QStringLiteral("提示：多台电脑共用一套账，可将数据迁移到数据库服务器"), this);
    note->setGeometry(10, 314, 320, 24);
    按钮7 = Button(this, u"按钮7", QStringLiteral("迁移到服务器"), 328, 312, 118);

    connect(按钮1, &QPushButton::clicked, this, [this] { ChooseBackupFolder(); });
    connect(按钮2, &QPushButton::clicked, this, [this] { BackUp(); });
    connect(按钮6, &QPushButton::clicked, this, [this] { ChooseRestoreFile(); });
    connect(按钮5, &QPushButton::clicked, this, [this] { Restore(); });
    connect(按钮3, &QPushButton::clicked, this, [this] { Compact(); });
    connect(按钮4, &QPushButton::clicked, this, [this] { Initialise(); });
    connect(按钮7, &QPushButton::clicked, this, [this] { MoveToServer(); });

    编辑框1->setText(BackupTargetFromSetting(ReadSetupKey(SetupKey::kBackPath)));
}

void MaintenanceWindow::ChooseBackupFolder() {
    const QString start = QFileInfo(TrimSpaces(编辑框1->text())).absolutePath();
    const QString folder =
        Dialogs().FolderName(this, QStringLiteral("请选择要备份到的目录"), start);
    // A cancelled choice keeps the target that was there.
    if (folder.isEmpty()) return;
    编辑框1->setText(QDir(folder).filePath(kBackupName));
}

void MaintenanceWindow::BackUp() {
    const QString target = TrimSpaces(编辑框1->text());
    if (QFileInfo(target).isFile()) {
        const BoxAnswer answer = Dialogs().SystemMessage(
            this, QStringLiteral("目标文件已经存在：\n%1\n\n要用当前数据库替换它吗？").arg(target),
            QStringLiteral("确认替换文件"), BoxIcon::Question, BoxButtons::YesNo);
        if (answer != BoxAnswer::Yes) return;
    }
    SharedRecordSet().Close();
    QString error;
    if (!EnsureDatabaseOpen() || !BackupDatabase(SharedConnection(), target, &error)) {
        ShowMessage(QStringLiteral("备份数据库失败了"), 2);
        return;
    }
    const bool remembered = IniWrite(ConfigPath(), QStringLiteral("setup"), SetupKey::kBackPath,
                                     QFileInfo(target).absoluteFilePath());
    ShowMessage(QStringLiteral("备份数据库完成！"), 0);
    if (!remembered) ShowMessage(QStringLiteral("备份位置没有记住：无法写入 config.ini"), 1);
}

void MaintenanceWindow::ChooseRestoreFile() {
    编辑框2->setText(Dialogs().OpenFileName(this, QStringLiteral("选择被恢复文件目录"),
                                            ProgramDir(),
                                            QStringLiteral("BackupData.db (*.db);;所有文件 (*)")));
}

void MaintenanceWindow::Restore() {
    if (!SuperAdminOnly(QStringLiteral("恢复数据库"))) return;
    const QString failed = QStringLiteral("恢复以前数据库失败！");
    const QString chosen = TrimSpaces(编辑框2->text());
    // The chosen file is copied beside data.db first and checked there, so that a file that
    // changes or goes away meanwhile cannot reach the ledger; a backup of an earlier version
    // is upgraded there too, so that a failed upgrade leaves data.db as it was.
    const QString staged = TemporaryPathBeside(DatabaseFile());
    QString error;
    if (chosen.isEmpty() || !CopyDatabaseFile(chosen, staged, &error) ||
        !CheckLedgerFile(staged, &error) || !UpgradeLedgerFile(staged, &error)) {
        QFile::remove(staged);
        ShowMessage(failed, 0);
        return;
    }
    if (!VerifySuperAdminPassword(QStringLiteral("请输入超级管理员密码,才能恢复数据库"),
                                  QStringLiteral("恢复以前数据库"))) {
        QFile::remove(staged);
        return;
    }
    const int answer = Skin::Instance().SkinMessageBox(
        QStringLiteral("恢复会用所选文件替换当前全部数据，\r\n当前数据先另存到“备份”文件夹。"
                       "\r\n确定要恢复吗？"),
        0, 4, 2, QStringLiteral("恢复以前数据库"));
    if (answer != 1) {
        QFile::remove(staged);
        return;
    }
    SharedRecordSet().Close();
    if (!EnsureDatabaseOpen() ||
        SafetyCopy(SharedConnection(), BackupFolder(DatabaseFile()), QStringLiteral("恢复前"),
                   &error)
            .isEmpty() ||
        !ReplaceDatabase(SharedConnection(), staged, &error)) {
        QFile::remove(staged);
        EnsureDatabaseOpen();
        RefillAllLists();
        ShowMessage(failed, 0);
        return;
    }
    RefillAllLists();
    ShowMessage(QStringLiteral("恢复以前数据库成功！"), 0);
}

void MaintenanceWindow::Compact() {
    if (!SuperAdminOnly(QStringLiteral("压缩数据库")) ||
        !VerifySuperAdminPassword(QStringLiteral("请输入超级管理员密码,才能压缩数据库"),
                                  QStringLiteral("压缩当前数据库")))
        return;
    SharedRecordSet().Close();
    QString error;
    const bool ok = EnsureDatabaseOpen() && CompactDatabase(SharedConnection(), &error);
    if (ok)
        ShowMessage(QStringLiteral("压缩数据库成功"), 0);
    else
        // The cause, when the store gave one, and with it what to do.
        ShowMessage(error.isEmpty() ? QStringLiteral("压缩数据库失败了")
                                    : QStringLiteral("压缩数据库失败了：") + error,
                    2);
    EnsureDatabaseOpen();
}

void MaintenanceWindow::Initialise() {
    SharedRecordSet().Close();
    if (!SuperAdminOnly(QStringLiteral("初始化数据库")) ||
        !VerifySuperAdminPassword(QStringLiteral("请输入超级管理员密码,才能进行初始化操作"),
                                  QStringLiteral("初始化数据库")))
        return;
    // The old ledger is kept first: a mistyped click must not lose it for good.
    QString error;
    if (SafetyCopy(SharedConnection(), BackupFolder(DatabaseFile()), QStringLiteral("初始化前"),
                   &error)
            .isEmpty() ||
        !InitialiseDatabase(SharedConnection(), &error)) {
        EnsureDatabaseOpen();
        ShowMessage(error.isEmpty() ? QStringLiteral("初始化数据库失败")
                                    : QStringLiteral("初始化数据库失败：") + error,
                    0);
        return;
    }
    RefillAllLists();
    ShowMessage(QStringLiteral("初始化数据库完成"), 0);
}

void MaintenanceWindow::MoveToServer() {
    if (!SuperAdminOnly(QStringLiteral("迁移到服务器"))) return;
    SharedRecordSet().Close();
    if (!EnsureDatabaseOpen()) return;
    if (SharedConnection().Server()) {
        ShowMessage(QStringLiteral("数据已经在数据库服务器上了"), 1);
        return;
    }
    QString adminPassword;
    if (!VerifySuperAdminPassword(QStringLiteral("请输入超级管理员密码,才能迁移到服务器"),
                                  QStringLiteral("迁移到服务器"), &adminPassword))
        return;
    const std::optional<QString> typed = Dialogs().InputText(
        this,
        QStringLiteral("请输入数据库服务器的连接（例如：host=192.168.1.10 dbname=shop "
                       "user=shop password=...），数据库必须是空的："),
        QStringLiteral("迁移到服务器"),
        IniRead(ConfigPath(), kServerSection, ServerKey::kConnection), false);
    if (!typed || typed->trimmed().isEmpty()) return;
    const QString connection = typed->trimmed();
    DbConnection server;
    if (!server.OpenServer(connection)) {
        Dialogs().SystemMessage(
            this, QStringLiteral("连接数据库服务器失败！\n") + server.GetErrorDescription(),
            QStringLiteral("迁移到服务器"), BoxIcon::Error, BoxButtons::Ok);
        return;
    }
    QList<TableTally> tallies;
    QString error;
    bool moved;
    {
        const std::unique_ptr<Progress> progress =
            Dialogs().StartProgress(this, QStringLiteral("正在迁移到服务器，请稍候……"));
        moved = MigrateToServer(
            SharedConnection(), server,
            [&](qint64 done, qint64 total) { return progress->Advance(done, total); }, &tallies,
            &error);
    }
    // The owner's login served the move alone where the server keeps a login per user: the
    // settings keep host and database, and the program goes on as the super administrator's
    // login (its first login on the owner's connection made it).
    QString kept = connection;
    if (moved && server.Server()->KeepsRoles()) {
        ledger::UserAccount account;
        QString unused;
        if (ledger::CheckPassword(server, kSuperAdmin, adminPassword, &account, &unused) ==
            ledger::PasswordCheck::Right)
            kept = ConnectionWithoutLogin(connection);
    }
    server.Close();
    if (!moved) {
        Dialogs().SystemMessage(
            this, QStringLiteral("迁移到服务器失败，服务器上没有留下任何数据：\n") + error,
            QStringLiteral("迁移到服务器"), BoxIcon::Error, BoxButtons::Ok);
        return;
    }
    // The connection first: a store switched without it would point nowhere.
    if (!IniWrite(ConfigPath(), kServerSection, ServerKey::kConnection, kept) ||
        !IniWrite(ConfigPath(), kServerSection, ServerKey::kStore, kServerStore)) {
        Dialogs().SystemMessage(this,
                                QStringLiteral("数据已复制到服务器，但设置文件没能写入，"
                                               "程序仍使用本机的数据库文件"),
                                QStringLiteral("迁移到服务器"), BoxIcon::Error, BoxButtons::Ok);
        return;
    }
    SharedConnection().Close();
    QString unused;
    ledger::SignIn(SharedConnection(), kept, kSuperAdmin, adminPassword, &unused);
    if (!EnsureDatabaseOpen()) return;  // the opener has told the user why
    RefillAllLists();
    qint64 rows = 0;
    for (const TableTally& t : tallies) rows += t.rows;
    Dialogs().SystemMessage(
        this,
        QStringLiteral("迁移到服务器完成：共 %1 条记录，每张表的行数和合计都已核对无误。\n"
                       "从现在起本程序使用服务器上的数据，原来的 data.db 保留不动。")
            .arg(rows),
        QStringLiteral("迁移到服务器"), BoxIcon::Information, BoxButtons::Ok);
}

void OpenMaintenanceWindow() {
    QPointer<MaintenanceWindow> window = new MaintenanceWindow;
    Dialogs().RunModal(window);
    delete window.data();
}

QThread* StartDailyBackup(QObject* context) {
    if (ReadSetupKey(kAutoBackupKey) == QStringLiteral("否")) return nullptr;
    const QString database = DatabaseFile();
    // Books on a server are copied from there into this computer's backup folder: each till
    // then keeps copies of its own.
    const QString server = SharedConnection().Server()
                               ? IniRead(ConfigPath(), kServerSection, ServerKey::kConnection)
                               : QString();
    const QDate today = CurrentDateTime().date();
    auto result = std::make_shared<std::pair<DailyBackup, QString>>(DailyBackup::NotDue, QString());
    // A copy once begun is made whole: the program's end waits for it rather than stop it.
    return StartWorker(
        [database, server, today, result](const std::atomic<bool>*) {
            result->first = RunDailyBackup(database, today, &result->second, 10, server);
        },
        context,
        [result] {
            if (result->first == DailyBackup::Failed)
                ShowMessage(
                    QStringLiteral("今天的自动备份没有完成，\r\n请在“数据管理”中手动备份。"), 1);
        },
        QThread::LowPriority);
}
