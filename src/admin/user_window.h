#pragma once
// The window "用户管理": the super administrator lists, adds, changes and deletes the
// accounts, changes the built-in account's password and forgets the remembered passwords.

#include <QDialog>
#include <QString>

class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class RecordGrid;

class UserWindow : public QDialog {
    Q_OBJECT

  public:
    UserWindow();

    // Fills UserGrid with the stored accounts, the built-in account left out.
    void FillUserGrid();
    // A mouse button released over UserGrid at (x, y); only the left button chooses.
    void OnGridMouseUp(int button, int x, int y);

    void AddUser();
    void ChangeUser();
    void DeleteSelectedUser();
    void ChangeBuiltInPassword();
    void ForgetRememberedPasswords();

    // The account last clicked: its ID text (empty when none) and its row.
    const QString& SelectedUserId() const { return selectedUserId_; }
    int SelectedUserRow() const { return selectedUserRow_; }

    QLabel* 透明标签1;
    QPushButton* 按钮4;
    QPushButton* 按钮3;
    QPushButton* 按钮5;
    QPushButton* 按钮6;
    QFrame* 图片框2;
    QFrame* 图片框1;
    QLineEdit* 编辑框1;
    QLineEdit* 编辑框6;
    QComboBox* 权限组合框1;
    QPushButton* 按钮1;
    QLineEdit* 编辑框4;
    QLineEdit* 编辑框5;
    QComboBox* 权限组合框2;
    QPushButton* 按钮2;
    RecordGrid* UserGrid;

  private:
    void SetUpUserGrid();
    void ClearSelection();

    QString selectedUserId_;
    int selectedUserRow_ = 0;
};

// Opens the window modal, without a parent.
void OpenUserWindow();
// The system menu's "用户管理": an ordinary user is told that only the super administrator
// may do this; the super administrator gets the window.
void OpenUserWindowFromMenu();
