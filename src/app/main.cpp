#include <QApplication>

#include "app/login_window.h"
#include "app/open_database.h"
#include "app/provision.h"
#include "store/shared_db.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lankutong"));
    SetDatabaseOpener(OpenDatabase);
    ReportSettingsFailures();
    OpenLoginWindow();
    return QApplication::exec();
}
