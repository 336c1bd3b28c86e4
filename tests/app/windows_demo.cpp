// Shows the data management window or the feedback window, for looking at them on a screen:
// windows_demo [maintenance | feedback].
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>

#include "admin/maintenance_window.h"
#include "app/help.h"
#include "app/open_database.h"
#include "app/provision.h"
#include "common/program_dir.h"
#include "common/settings.h"
#include "store/db_connection.h"
#include "store/shared_db.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString what = argc > 1 ? QString::fromUtf8(argv[1]) : QStringLiteral("maintenance");
    QTemporaryDir dir;
    SetProgramDir(dir.path());
    QFile config(ConfigPath());
    if (config.open(QIODevice::WriteOnly)) config.write(DefaultConfigBytes());
    config.close();
    CreateDatabaseFile(DatabasePath());
    SetDatabaseOpener(OpenDatabase);
    OpenDatabase();

    if (what == QLatin1String("feedback")) {
        FeedbackWindow window;
        window.move(40, 40);
        window.show();
        return app.exec();
    }
    MaintenanceWindow window;
    window.move(40, 40);
    window.show();
    return app.exec();
}
