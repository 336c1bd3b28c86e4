#pragma once
// The window "数据管理": backup, restore, compaction and initialisation of the ledger file,
// and the automatic daily backup at start.

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QThread;
class QWidget;

class MaintenanceWindow final : public QDialog {
    Q_OBJECT

  public:
    MaintenanceWindow();

    void ChooseBackupFolder();  // 按钮1
    void BackUp();              // 按钮2
    void ChooseRestoreFile();   // 按钮6
    void Restore();             // 按钮5
    void Compact();             // 按钮3
    void Initialise();          // 按钮4
    // 按钮7: the books of data.db move to an empty database on a server, which this copy and
    // every other then uses.
    void MoveToServer();

    QWidget* 图片框1;
    QWidget* 图片框2;
    QWidget* 图片框3;
    QWidget* 图片框4;
    QLineEdit* 编辑框1;
    QLineEdit* 编辑框2;
    QPushButton* 按钮1;
    QPushButton* 按钮2;
    QPushButton* 按钮3;
    QPushButton* 按钮4;
    QPushButton* 按钮5;
    QPushButton* 按钮6;
    QPushButton* 按钮7;
};

// The stored backup target as a path of this system: a Windows drive path such as the
// default "d:\BackupData.mdb" becomes program directory + "/BackupData.db".
QString BackupTargetFromSetting(const QString& stored);

// Opens the window modally, without a parent.
void OpenMaintenanceWindow();

// The key of [setup] that switches the automatic backup off with the value "否".
inline const QString kAutoBackupKey = QStringLiteral("自动备份");

// Starts the day's automatic backup of data.db on a worker thread, unless it is switched off
// or done already today; a failure is reported once, when the copy ends, unless context is
// gone by then. Returns the thread (deleted when it ends), or nullptr when nothing started.
QThread* StartDailyBackup(QObject* context);
