#include "admin/user_window.h"

#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

#include "admin/super_admin.h"
#include "common/session.h"
#include "common/settings.h"
#include "common/text.h"
#include "ledger/users.h"
#include "platform/dialogs.h"
#include "platform/placement.h"
#include "platform/record_grid.h"
#include "platform/skin.h"
#include "store/shared_db.h"

namespace {

using ledger::UserResult;

const QString kChooseAccount = QStringLiteral("请从上方表格选择要修改的用户名！");
const QString kEnterPassword = QStringLiteral("请输入用户密码！");
const QString kReservedName = QStringLiteral("不允许这么做,请不要使用超级管理员为用户名");
const QString kDuplicateName = QStringLiteral("发现重复用户名，请重新输入");

// The selection colours of config.ini; a missing key keeps the colours every other list
// selects with, since black would hide the chosen row's text.
qint64 SelectionColor(const QString& key, qint64 fallback) {
    return ReadSetupKey(key).isEmpty() ? fallback : SetupColor(key);
}

// One line of the add and change rows of 图片框1: name box, password box (hiding what is
// typed), role box and button.
struct EditLine {
    QLineEdit* name;
    QLineEdit* password;
    QComboBox* role;
    QPushButton* button;
};

EditLine PlaceEditLine(QFrame* frame, int top, const char16_t* nameBox, const char16_t* passwordBox,
                       const char16_t* roleBox, const char16_t* buttonName,
                       const char* buttonText) {
    PlaceLabel(frame, QStringLiteral("用户名："), 10, top, 52, 24);
    PlaceLabel(frame, QStringLiteral("密  码："), 202, top, 52, 24);
    PlaceLabel(frame, QStringLiteral("权 限："), 394, top, 46, 24);
    EditLine line;
    line.name = Place<QLineEdit>(frame, QString::fromUtf16(nameBox), 62, top, 130, 24);
    line.password = Place<QLineEdit>(frame, QString::fromUtf16(passwordBox), 254, top, 130, 24);
    line.password->setEchoMode(QLineEdit::Password);
    line.role = Place<QComboBox>(frame, QString::fromUtf16(roleBox), 440, top, 100, 24);
    line.role->addItems({kOrdinaryUser, kSuperAdmin});
    line.role->setCurrentIndex(0);
    line.button = Place<QPushButton>(frame, QString::fromUtf16(buttonName), 548, top, 60, 24);
    line.button->setText(QString::fromUtf8(buttonText));
    return line;
}

// The connection the accounts are kept on, opened when needed; the access layer's record set
// is closed first, since it may hold the table.
DbConnection& Books() {
    SharedRecordSet().Close();
    EnsureDatabaseOpen();
    return SharedConnection();
}

bool Confirmed(QWidget* parent, const QString& text, const QString& caption) {
    return Dialogs().SystemMessage(parent, text, caption, BoxIcon::None, BoxButtons::OkCancel) ==
           BoxAnswer::Ok;
}

}  // namespace

UserWindow::UserWindow() {
    setObjectName(QStringLiteral("用户管理"));
    setWindowTitle(QStringLiteral("用户管理"));
    setFixedSize(650, 289);
    setModal(true);

    透明标签1 =
        PlaceLabel(this, QStringLiteral("超级管理员非要不可（最高高权限）"), 15, 20, 226, 24);
    透明标签1->setObjectName(QStringLiteral("透明标签1"));
    const struct {
        QPushButton** button;
        const char16_t* name;
        const char* text;
        int x;
        int w;
        void (UserWindow::*action)();
    } buttons[] = {
        {&按钮4, u"按钮4", "修改超管密码", 248, 96, &UserWindow::ChangeBuiltInPassword},
        {&按钮3, u"按钮3", "删除选中用户", 352, 96, &UserWindow::DeleteSelectedUser},
        {&按钮5, u"按钮5", "删除记住密码", 456, 96, &UserWindow::ForgetRememberedPasswords},
        {&按钮6, u"按钮6", "退出", 560, 72, nullptr},
    };
    for (const auto& b : buttons) {
        *b.button = Place<QPushButton>(this, QString::fromUtf16(b.name), b.x, 18, b.w, 28);
        (*b.button)->setText(QString::fromUtf8(b.text));
        (*b.button)->setAutoDefault(false);
    }
    for (const auto& b : buttons)
        if (b.action) connect(*b.button, &QPushButton::clicked, this, b.action);
    connect(按钮6, &QPushButton::clicked, this, &QDialog::reject);

    图片框2 = Place<QFrame>(this, QStringLiteral("图片框2"), 15, 60, 617, 106);
    图片框1 = Place<QFrame>(this, QStringLiteral("图片框1"), 15, 181, 617, 72);
    图片框1->setFrameShape(QFrame::StyledPanel);
    const EditLine add =
        PlaceEditLine(图片框1, 8, u"编辑框1", u"编辑框6", u"权限组合框1", u"按钮1", "添加");
    const EditLine change =
        PlaceEditLine(图片框1, 40, u"编辑框4", u"编辑框5", u"权限组合框2", u"按钮2", "修改");
    编辑框1 = add.name;
    编辑框6 = add.password;
    权限组合框1 = add.role;
    按钮1 = add.button;
    编辑框4 = change.name;
    编辑框5 = change.password;
    权限组合框2 = change.role;
    按钮2 = change.button;
    for (QPushButton* b : {按钮1, 按钮2}) b->setAutoDefault(false);
    connect(按钮1, &QPushButton::clicked, this, &UserWindow::AddUser);
    connect(按钮2, &QPushButton::clicked, this, &UserWindow::ChangeUser);

    SetUpUserGrid();
    FillUserGrid();
}

void UserWindow::SetUpUserGrid() {
    UserGrid = new RecordGrid(图片框2);
    UserGrid->setObjectName(QStringLiteral("UserGrid"));
    UserGrid->setGeometry(0, 0, 图片框2->width(), 图片框2->height());
    UserGrid->SetAutoRedraw(false);
    UserGrid->SetCols(5);
    UserGrid->SetRows(5);
    UserGrid->SetFixedRows(1);
    UserGrid->SetAllowUserResizing(true);
    UserGrid->SetAllowUserSort(false);
    UserGrid->SetExtendLastCol(true);
    UserGrid->SetReadOnly(true);
    const char16_t* const headers[] = {u"", u"", u"用户名", u"密码", u"权限"};
    const int widths[] = {0, 0, 200, 220, 130};
    for (int c = 0; c < 5; ++c) {
        UserGrid->SetCellText(0, c, QString::fromUtf16(headers[c]));
        UserGrid->Column(c).SetWidth(widths[c]);
    }
    connect(UserGrid, &RecordGrid::MouseUp, this,
            [this](int button, int, int x, int y) { OnGridMouseUp(button, x, y); });
    UserGrid->SetAutoRedraw(true);
    UserGrid->Refresh();
}

void UserWindow::FillUserGrid() {
    UserGrid->SetRows(1);
    UserGrid->SetAutoRedraw(false);
    QList<ledger::UserAccount> accounts;
    QString error;
    if (!ledger::ReadUserAccounts(Books(), &accounts, &error))
        ShowMessage(QStringLiteral("读取用户列表失败：") + error, 2);
    // The password column stays empty: the books keep only a hash of each password.
    for (const ledger::UserAccount& a : accounts)
        UserGrid->AddItem(QString::number(a.id) + u'\t' + a.name + QStringLiteral("\t\t") + a.role);
    const qint64 selection = SelectionColor(SetupKey::kSelectColor, 65535);
    UserGrid->SetBackColorSel(selection);
    UserGrid->SetBackColorActiveCellSel(selection);
    UserGrid->SetSelectionBorderColor(SelectionColor(SetupKey::kSelectLine, 57472));
    UserGrid->SetBackColorBkg(0xFFFFFF);
    UserGrid->Range(0, 1, UserGrid->Rows() - 1, 4).SetLocked(true);
    UserGrid->SetAutoRedraw(true);
    UserGrid->Refresh();
}

void UserWindow::OnGridMouseUp(int button, int x, int y) {
    if (button != RecordGrid::kLeftButton) return;
    UserGrid->HitTest(x, y);
    selectedUserId_.clear();
    selectedUserRow_ = UserGrid->MouseRow();
    if (selectedUserRow_ < 1) return;
    const QString id = UserGrid->CellText(selectedUserRow_, 1);
    if (!IsRecordId(id)) return;
    selectedUserId_ = id;
    编辑框4->setText(UserGrid->CellText(selectedUserRow_, 2));
    // Left empty, a change keeps the stored password.
    编辑框5->clear();
    // The role box shows the stored role, so that "修改" keeps it unless the user picks
    // another; a role of neither item leaves the box empty for the user to choose.
    权限组合框2->setCurrentIndex(权限组合框2->findText(UserGrid->CellText(selectedUserRow_, 4)));
}

void UserWindow::ClearSelection() {
    selectedUserId_.clear();
    selectedUserRow_ = 0;
    编辑框4->clear();
    编辑框5->clear();
    权限组合框2->setCurrentIndex(0);
}

void UserWindow::AddUser() {
    const ledger::UserOutcome outcome =
        ledger::AddUser(Books(), {编辑框1->text(), 编辑框6->text(), 权限组合框1->currentText()});
    switch (outcome.result) {
        case UserResult::Done:
            FillUserGrid();
            编辑框1->clear();
            编辑框6->clear();
            ShowMessage(QStringLiteral("添加用户成功"), 0);
            return;
        case UserResult::NoAccount:
        case UserResult::EmptyName:
            ShowMessage(QStringLiteral("请输入用户名！"), 0);
            编辑框1->setFocus();
            return;
        case UserResult::ReservedName:
            ShowMessage(kReservedName, 0);
            编辑框1->setFocus();
            return;
        case UserResult::EmptyPassword:
            ShowMessage(kEnterPassword, 0);
            编辑框6->setFocus();
            return;
        case UserResult::EmptyRole:
            ShowMessage(QStringLiteral("请输入用户权限！"), 0);
            权限组合框1->setFocus();
            return;
        case UserResult::DuplicateName:
            ShowMessage(kDuplicateName, 2);
            编辑框1->setFocus();
            return;
        case UserResult::FieldError:
            ShowMessage(QStringLiteral("错误代码 ") + outcome.fieldCode, 2);
            return;
        case UserResult::Failed:
            ShowMessage(QStringLiteral("添加用户失败"), 2);
            return;
    }
}

void UserWindow::ChangeUser() {
    const ledger::UserInput input{编辑框4->text(), 编辑框5->text(), 权限组合框2->currentText()};
    const qint64 id = IsRecordId(selectedUserId_) ? RecordIdValue(selectedUserId_) : 0;
    // The input is tested before the question, and again with the change itself.
    UserResult result = ledger::CheckUserChange(Books(), id, input);
    if (result == UserResult::Done) {
        const QString question = QStringLiteral("确定要修改 [") + TrimSpaces(input.name) +
                                 QStringLiteral("] 这个用户名的密码或权限吗？");
        if (!Confirmed(this, question, QStringLiteral("友情提示"))) return;
        result = ledger::ChangeUser(Books(), id, input);
        if (result == UserResult::NoAccount) {
            // Deleted meanwhile (by another copy of the program): the list shows what is left.
            FillUserGrid();
            ClearSelection();
            ShowMessage(QStringLiteral("修改数据失败，这个用户已不存在"), 2);
            return;
        }
    }
    switch (result) {
        case UserResult::Done:
            FillUserGrid();
            WriteSetupKey(SetupKey::kPassword, QString::fromUtf16(kFlagOn));
            ShowMessage(QStringLiteral("修改数据完成"), 0);
            return;
        case UserResult::NoAccount:
        case UserResult::EmptyName:
            ShowMessage(kChooseAccount, 0);
            编辑框4->setFocus();
            return;
        case UserResult::ReservedName:
            ShowMessage(kReservedName, 0);
            编辑框4->setFocus();
            return;
        case UserResult::EmptyPassword:
            ShowMessage(kEnterPassword, 0);
            编辑框5->setFocus();
            return;
        case UserResult::EmptyRole:
            ShowMessage(QStringLiteral("请输入用户所用权限！"), 0);
            权限组合框2->setFocus();
            return;
        case UserResult::DuplicateName:
            ShowMessage(kDuplicateName, 2);
            编辑框4->setFocus();
            return;
        case UserResult::FieldError:
        case UserResult::Failed:
            ShowMessage(QStringLiteral("修改数据失败"), 2);
            return;
    }
}

void UserWindow::DeleteSelectedUser() {
    if (!IsRecordId(selectedUserId_)) return;
    const QString question = QStringLiteral("你确定要删除当前选中的资料吗？\r\n\r\n") +
                             QString(8, u' ') + QStringLiteral("一经删除无法恢复");
    if (!Confirmed(this, question, QStringLiteral("警告！"))) return;
    if (ledger::DeleteUser(Books(), RecordIdValue(selectedUserId_)) == UserResult::Failed) {
        ShowMessage(QStringLiteral("删除用户失败"), 2);
        return;
    }
    // Deleted now or by another copy meanwhile: either way the list shows what is stored and
    // nothing stays chosen.
    FillUserGrid();
    ClearSelection();
}

void UserWindow::ChangeBuiltInPassword() {
    if (!VerifySuperAdminPassword(QStringLiteral("请输入旧的超级管理员密码,默认超管密码 642"),
                                  QStringLiteral("旧的超管密码")))
        return;
    const std::optional<QString> typed =
        Dialogs().InputText(this, QStringLiteral("请输入新的超管密码"),
                            QStringLiteral("新的超管密码"), QString(), true);
    if (!typed) return;
    switch (ledger::ChangeBuiltInPassword(Books(), *typed)) {
        case UserResult::Done:
            WriteSetupKey(SetupKey::kPassword, QString::fromUtf16(kFlagOn));
            ShowMessage(QStringLiteral("超级管理密码修改成功"), 0);
            return;
        case UserResult::EmptyPassword:
            ShowMessage(QStringLiteral("超管密码不能为空，请重新修改"), 1);
            return;
        case UserResult::NoAccount:
            ShowMessage(QStringLiteral("没有发现超级管理员账号的存在"), 2);
            return;
        default:
            ShowMessage(QStringLiteral("超级管理密码修改失败"), 2);
            return;
    }
}

void UserWindow::ForgetRememberedPasswords() {
    const QString path = RememberPath();
    if (QFile::exists(path) && !QFile::remove(path)) {
        Dialogs().SystemMessage(this, QStringLiteral("记住的密码删除失败，请检查文件是否被占用"),
                                QStringLiteral("提醒"), BoxIcon::Error, BoxButtons::Ok);
        return;
    }
    Dialogs().SystemMessage(this, QStringLiteral("已删除"), QStringLiteral("提醒"), BoxIcon::None,
                            BoxButtons::Ok);
}

void OpenUserWindow() {
    // On the heap: the window goes with the end of its modal loop, whatever closed it.
    QPointer<UserWindow> window = new UserWindow;
    Dialogs().RunModal(window);
    delete window.data();
}

void OpenUserWindowFromMenu() {
    if (!IsSuperAdmin()) {
        ShowMessage(QStringLiteral("你不能这样做。。。。必须登录超级管理员才能修改！  谢谢配合！"),
                    1);
        return;
    }
    OpenUserWindow();
}
