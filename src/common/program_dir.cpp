#include "common/program_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {
QString& ChosenDir() {
    static QString dir;
    return dir;
}

// CMake leaves its cache in the build tree's top directory, where the program is built.
bool IsBuildTree(const QString& dir) {
    return QFileInfo::exists(dir + QStringLiteral("/CMakeCache.txt"));
}

// An installed program: in the system's program folders, or in a folder of another account
// (root may write /usr/bin, which must still never hold a ledger).
bool IsInstalled(const QString& dir) {
    const QString path = QFileInfo(dir).canonicalFilePath() + QLatin1Char('/');
    for (const char* system : {"/usr/", "/opt/", "/bin/", "/sbin/", "/snap/", "/app/"})
        if (path.startsWith(QLatin1String(system))) return true;
#ifdef Q_OS_UNIX
    return QFileInfo(dir).ownerId() != geteuid();
#else
    return false;
#endif
}
}  // namespace

QString ChooseProgramDir(const QString& exeDir) {
    if (!exeDir.isEmpty() && QFileInfo(exeDir).isWritable() && !IsInstalled(exeDir) &&
        !IsBuildTree(exeDir))
        return exeDir;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!QFileInfo::exists(data) && QDir().mkpath(data))
        QFile::setPermissions(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return data;
}

QString ProgramDir() {
    QString& dir = ChosenDir();
    if (dir.isEmpty()) dir = ChooseProgramDir(QCoreApplication::applicationDirPath());
    return dir;
}

void SetProgramDir(const QString& dir) {
    ChosenDir() = QDir::cleanPath(dir);
}

QString ProgramFile(const QString& name) {
    return ProgramDir() + QLatin1Char('/') + name;
}
