#include <QApplication>

#include "app/login_window.h"
#include "app/open_database.h"
#include "app/program_exit.h"
#include "app/provision.h"
#include "common/program_dir.h"
#include "common/workers.h"
#include "platform/dialogs.h"
#include "platform/field_names.h"
#include "platform/placement.h"
#include "store/shared_db.h"

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("lankutong"));
    // The program ends by its exit button, its exit menu item or the main window's closing,
    // never because the last visible window went (the main window hidden to the tray while
    // the login window of "更换用户" is closed).
    QApplication::setQuitOnLastWindowClosed(false);
    InstallQtChinese();
    EndProgramOnSignals();
    SetDatabaseOpener(OpenDatabase);
    KeepWindowsOnScreen();
    NameFieldsOfEveryWindow();
    ReportSettingsFailures();
    const QString notice = SetAsideDataNotice(QCoreApplication::applicationDirPath());
    if (!notice.isEmpty())
        Dialogs().SystemMessage(nullptr, notice, QStringLiteral("提示"), BoxIcon::Warning,
                                BoxButtons::Ok);
    OpenLoginWindow();
    const int code = ProgramEndAsked() ? 0 : QApplication::exec();
    // However the event loop came to an end, no worker thread outlives main.
    StopWorkers();
    return code;
}
