#include <QApplication>

#include "app/open_database.h"
#include "app/provision.h"
#include "store/shared_db.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lankutong"));
    SetDatabaseOpener(OpenDatabase);

    ProvisionFiles();
    LoadAppTitle();
    OpenDatabase();
    return 0;
}
