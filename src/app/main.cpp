#include <QApplication>

#include "app/login_window.h"
#include "app/open_database.h"
#include "platform/placement.h"
#include "store/shared_db.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lankutong"));
    SetDatabaseOpener(OpenDatabase);
    KeepWindowsOnScreen();
    OpenLoginWindow();
    return QApplication::exec();
}
