// Shows the user window with a few accounts, or the settings window, for looking at them on a
// screen: admin_demo [users | settings].
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "admin/settings_window.h"
#include "admin/user_window.h"
#include "app/open_database.h"
#include "app/provision.h"
#include "common/program_dir.h"
#include "common/settings.h"
#include "platform/record_grid.h"
#include "store/password_hash.h"
#include "store/shared_db.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString what = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("users");
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    for (const auto& [path, bytes] : {std::pair{ConfigPath(), DefaultConfigBytes()},
                                      std::pair{ReceiptPath(), DefaultReceiptBytes()}}) {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly)) file.write(bytes);
    }
    CreateDatabaseFile(DatabasePath());
    SetDatabaseOpener(OpenDatabase);
    OpenDatabase();
    const char* accounts[][3] = {{"店员小王", "8866", "普通管理员"},
                                 {"店长", "2012", "超级管理员"},
                                 {"会计", "1234", "普通管理员"}};
    for (const auto& a : accounts)
        SharedConnection().Execute("insert into UserName (用户名, 密码, 权限) values (?, ?, ?)",
                                   {QString::fromUtf8(a[0]), HashPassword(QString::fromUtf8(a[1])),
                                    QString::fromUtf8(a[2])});
    if (what == QLatin1String("settings")) {
        SettingsWindow window;
        window.move(40, 40);
        return window.exec();
    }
    UserWindow window;
    window.move(40, 40);
    window.UserGrid->Cell(2, 2).SetFocus();
    return window.exec();
}
