#include "common/program_dir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "common/settings.h"

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

// A folder chosen for a portable copy: the marker, or the program's own files already there.
bool MarkedPortable(const QString& dir) {
    for (const char16_t* name :
         {kPortableMarker, u"data.db", kConfigFile, kReceiptFile, kRememberFile})
        if (QFileInfo::exists(dir + QLatin1Char('/') + QString::fromUtf16(name))) return true;
    return false;
}

// Why the executable's directory cannot hold the program's files; "" when it can (once it is
// marked as a portable copy's).
QString Unusable(const QString& exeDir) {
    if (exeDir.isEmpty()) return QStringLiteral("程序目录未知");
    if (!QFileInfo(exeDir).isWritable()) return QStringLiteral("该目录不能写入");
    if (IsInstalled(exeDir)) return QStringLiteral("该目录是系统目录或属于其他用户");
    if (IsBuildTree(exeDir)) return QStringLiteral("该目录是程序的编译目录");
    return QString();
}

// A folder of installed programs (/usr/local/bin, ~/.local/bin, /opt/…/bin) is no place for a
// shop's books unless it was chosen for a portable copy.
bool InstallFolder(const QString& dir) {
    return QFileInfo(dir).fileName() == QStringLiteral("bin");
}

}  // namespace

QString UserDataDir() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || QDir::isRelativePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return QDir::cleanPath(base + QStringLiteral("/lankutong"));
}

QString ChooseProgramDir(const QString& exeDir) {
    // A copy put in a folder of its own keeps its files there.
    if ((MarkedPortable(exeDir) || !InstallFolder(exeDir)) && Unusable(exeDir).isEmpty())
        return exeDir;
    const QString data = UserDataDir();
    // Made with its mode, never readable by others for a moment; the folders above it as usual.
    if (!QFileInfo::exists(data) && QDir().mkpath(QFileInfo(data).path()))
        QDir().mkdir(data, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return data;
}

QString SetAsideDataNotice(const QString& exeDir) {
    const QString database = exeDir + QStringLiteral("/data.db");
    const QString reason = Unusable(exeDir);
    if (reason.isEmpty() || !QFileInfo(database).isFile()) return QString();
    return QStringLiteral(
               "“%1”中有数据库，但%2，本程序不能在那里保存数据。\n"
               "本次使用的数据目录是“%3”。如需继续使用原来的数据，请把 data.db "
               "复制到该目录，或把程序复制到您可以写入的文件夹中运行。")
        .arg(QDir::toNativeSeparators(database), reason,
             QDir::toNativeSeparators(ChooseProgramDir(exeDir)));
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
