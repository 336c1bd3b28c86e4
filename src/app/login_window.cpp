#include "app/login_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRandomGenerator>

#include "app/app_images.h"
#include "app/main_window.h"
#include "app/open_database.h"
#include "app/program_exit.h"
#include "app/provision.h"
#include "common/ini.h"
#include "common/session.h"
#include "common/settings.h"
#include "common/text.h"
#include "ledger/users.h"
#include "platform/dialogs.h"
#include "platform/placement.h"
#include "platform/skin.h"
#include "platform/till_keeper.h"
#include "sales/shift_window.h"
#include "store/shared_db.h"

namespace {

QString RandomDigits(int count) {
    QString digits;
    for (int i = 0; i < count; ++i) digits += QChar(u'0' + QRandomGenerator::global()->bounded(10));
    return digits;
}

void Refuse(QWidget* parent, const QString& text) {
    Dialogs().SystemMessage(parent, text, LoginMessage::kCaption, BoxIcon::Error, BoxButtons::Ok);
}

}  // namespace

QString WrapRememberedPassword(const QString& password) {
    return RandomDigits(12) + password + RandomDigits(24);
}

QString UnwrapRememberedPassword(const QString& value) {
    if (value.size() < 37) return QString();
    return value.mid(12, value.size() - 36);
}

LoginWindow::LoginWindow() {
    setObjectName(QStringLiteral("登录窗口"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(ProgramIcon());
    setFixedSize(423, 270);

    透明标签1 = Place<QLabel>(this, QStringLiteral("透明标签1"), 197, 146, 48, 24);
    透明标签1->setText(QStringLiteral("用户名："));
    组合框1 = Place<QComboBox>(this, QStringLiteral("组合框1"), 254, 148, 158, 20);
    透明标签2 = Place<QLabel>(this, QStringLiteral("透明标签2"), 197, 175, 48, 24);
    透明标签2->setText(QStringLiteral("密  码："));
    编辑框2 = Place<QLineEdit>(this, QStringLiteral("编辑框2"), 254, 177, 158, 20);
    编辑框2->setEchoMode(QLineEdit::Password);
    密码提示标签 = Place<QLabel>(this, QStringLiteral("密码提示标签"), 273, 124, 136, 28);
    密码提示标签->setText(QStringLiteral("默认超级管理员密码 642"));
    选择框1 = Place<QCheckBox>(this, QStringLiteral("选择框1"), 336, 202, 13, 13);
    透明标签3 = Place<QLabel>(this, QStringLiteral("透明标签3"), 360, 200, 48, 16);
    透明标签3->setText(QStringLiteral("记住密码"));
    图形按钮1 = Place<QPushButton>(this, QStringLiteral("图形按钮1"), 216, 218, 80, 32);
    图形按钮1->setText(QStringLiteral("登  录"));
    图形按钮2 = Place<QPushButton>(this, QStringLiteral("图形按钮2"), 320, 218, 80, 32);
    图形按钮2->setText(QStringLiteral("退  出"));

    QLabel* logo = Place<QLabel>(this, QStringLiteral("登录图标"), 30, 40, 128, 128);
    logo->setPixmap(ProgramIcon().pixmap(64, 64).scaled(128, 128, Qt::KeepAspectRatio,
                                                        Qt::SmoothTransformation));

    connect(组合框1, &QComboBox::activated, this, [this] { On组合框1Selected(); });
    connect(编辑框2, &QLineEdit::returnPressed, this, [this] { Login(); });
    connect(图形按钮1, &QPushButton::clicked, this, [this] { Login(); });
    connect(图形按钮2, &QPushButton::clicked, this, [this] { Exit(); });
}

void LoginWindow::OnCreated() {
    ProvisionFiles();
    setWindowTitle(LoadAppTitle());
    if (ReadSetupKey(SetupKey::kPassword) == QString::fromUtf16(kFlagOn))
        密码提示标签->setText(QStringLiteral("请登录您的号码"));
    OpenDatabase();
    // A failed opening was told once; listing the users would try and tell it again.
    if (SharedConnection().IsOpen()) FillUserList();
    编辑框2->setFocus();
    RestoreRememberedPassword();
}

void LoginWindow::FillUserList() {
    组合框1->clear();
    SharedRecordSet().Close();
    QList<ledger::UserAccount> accounts;
    QString error;
    if (!ledger::ReadLoginAccounts(SharedConnection(), &accounts, &error))
        ShowMessage(QStringLiteral("读取用户列表失败：") + error, 2);
    for (const ledger::UserAccount& a : accounts) 组合框1->addItem(a.name, QString::number(a.id));
    if (组合框1->count() > 0) 组合框1->setCurrentIndex(0);
}

void LoginWindow::RestoreRememberedPassword() {
    编辑框2->setText(
        UnwrapRememberedPassword(IniRead(RememberPath(), 组合框1->currentText(), kRememberKey)));
    选择框1->setChecked(!编辑框2->text().isEmpty());
}

void LoginWindow::On组合框1Selected() {
    RestoreRememberedPassword();
}

void LoginWindow::RememberOrForget() {
    const QString value =
        选择框1->isChecked() ? WrapRememberedPassword(编辑框2->text()) : QString();
    IniWrite(RememberPath(), 组合框1->currentText(), kRememberKey, value);
    // The file keeps passwords as typed: its owner's alone, also when it came readable by others.
    QFile::setPermissions(RememberPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void LoginWindow::Login() {
    RememberOrForget();
    if (组合框1->currentIndex() < 0) return Refuse(this, LoginMessage::kChooseUser);
    if (编辑框2->text().isEmpty()) {
        Refuse(this, LoginMessage::kEnterPassword);
        编辑框2->setFocus();
        return;
    }
    const QString name = 组合框1->currentText();
    // A refused login leaves the user logged in before it, role included: after "更换用户"
    // the main window stays usable behind this window. A nameless row lets nobody in.
    EnsureDatabaseOpen();
    SharedRecordSet().Close();
    ledger::UserAccount account;
    QString error;
    const ledger::PasswordCheck check =
        name.isEmpty() ? ledger::PasswordCheck::NoAccount
                       : ledger::CheckPassword(SharedConnection(), name,
                                               TrimSpaces(编辑框2->text()), &account, &error);
    if (check == ledger::PasswordCheck::NoAccount || check == ledger::PasswordCheck::Failed)
        ShowMessage(QStringLiteral("账号不存在或打开失败"), 2);
    if (check != ledger::PasswordCheck::Right) return Refuse(this, LoginMessage::kWrongCredentials);
    if (!ledger::SignIn(SharedConnection(), ServerConnectionText(), account.name,
                        TrimSpaces(编辑框2->text()), &error)) {
        ShowMessage(QStringLiteral("无法以这个账号登录数据库服务器，请稍后再试。\n") + error, 2);
        return;
    }
    Session& session = CurrentSession();
    session.userName = account.name;
    session.userRole = account.role;
    BeginShift(this);
    MainWindow* main = OpenMainWindow();
    main->WriteStatusText();
    main->ApplyRole();
    close();
}

void LoginWindow::Exit() {
    if (编辑框2->text().isEmpty())
        IniWrite(RememberPath(), 组合框1->currentText(), kRememberKey, QString());
    EndProgram();
}

void LoginWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    // Before the first login the login window is the program: closing it ends the program
    // like its exit button, rather than leaving a process without a window.
    if (!TheMainWindow()) EndProgram();
}

LoginWindow* OpenLoginWindow() {
    static QPointer<LoginWindow> open;
    if (open && open->isVisible()) {  // "更换用户" while one is open brings that one forward
        open->raise();
        open->activateWindow();
        return open;
    }
    auto* window = new LoginWindow;
    open = window;
    window->OnCreated();
    window->show();
    return window;
}
