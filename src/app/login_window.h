#pragma once
// The first window: picks a user, checks the password, remembers it when asked, and opens
// the main window.

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The key of every user's section in qwert.ini (ends in a full-width colon).
inline const QString kRememberKey = QStringLiteral("qwertyuiop：");

// 12 random digits + password + 24 random digits.
QString WrapRememberedPassword(const QString& password);
// The characters from position 13 with length (length − 36); "" for a value shorter than 37.
QString UnwrapRememberedPassword(const QString& value);

// The three refusals of a login, shown with the error icon.
namespace LoginMessage {
inline const QString kCaption = QStringLiteral("登录失败");
inline const QString kChooseUser = QStringLiteral("请先选择用户名！");
inline const QString kEnterPassword = QStringLiteral("请输入密码！");
inline const QString kWrongCredentials = QStringLiteral("用户名或密码错误，请重新输入！");
}  // namespace LoginMessage

class LoginWindow : public QWidget {
    Q_OBJECT

  public:
    LoginWindow();

    // Window "created": provisioning, title, hint, user list, focus, remembered password.
    void OnCreated();
    void On组合框1Selected();
    void Login();
    void Exit();

    QLabel* 透明标签1;
    QComboBox* 组合框1;
    QLabel* 透明标签2;
    QLineEdit* 编辑框2;
    QLabel* 密码提示标签;
    QCheckBox* 选择框1;
    QLabel* 透明标签3;
    QPushButton* 图形按钮1;
    QPushButton* 图形按钮2;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void FillUserList();
    void RestoreRememberedPassword();
    void RememberOrForget();
};

// Opens a login window without a parent (at start and for "更换用户"); while one is open it
// is brought forward instead.
LoginWindow* OpenLoginWindow();
